#include "combine_coefficient_tables.h"

#include "common/loglog.h"
#include "common/numeric_text.h"
#include "common/table_kinds.h"
#include "common/text_file.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarvo {
namespace {

constexpr int kMaxElements = 15;

using Values = std::array<double, 3>;

Values coefficientsOf(const CoefficientRow& row) {
    return {row.attenuation, row.energyTransfer, row.energyAbsorption};
}

// Fractions by weight of the rows; nothing when the shares add up to 0.
std::optional<std::vector<double>> weightsOf(std::span<const CompositionRow> rows) {
    double sum = 0.0;
    for (const CompositionRow& row : rows) {
        sum += row.amount;
    }
    if (sum == 0.0 || !std::isfinite(sum)) {
        return std::nullopt;
    }
    std::vector<double> weights;
    for (const CompositionRow& row : rows) {
        weights.push_back(row.amount / sum);
    }
    return weights;
}

// Adds the tabulated values of every element at each hydrogen energy.
bool addOnBaseGrid(const CoefficientTable& hydrogen, const std::vector<CoefficientTable>& tables,
                   const std::vector<double>& weights, std::span<const CompositionRow> rows,
                   std::vector<CoefficientRow>& result, std::string& error) {
    for (int i = 1; i <= hydrogen.energyCount; ++i) {
        const double energy = hydrogen.rows[static_cast<size_t>(i)].energy;
        Values sums{};
        for (size_t k = 0; k < tables.size(); ++k) {
            const auto begin = tables[k].rows.begin() + 1;
            const auto end = begin + tables[k].energyCount;
            const auto row = std::find_if(
                begin, end, [&](const CoefficientRow& r) { return r.energy == energy; });
            if (row == end) {
                error = rows[k].elementFile + ": the hydrogen energy " + std::to_string(energy) +
                        " MeV is missing";
                return false;
            }
            const Values values = coefficientsOf(*row);
            for (size_t q = 0; q < 3; ++q) {
                sums[q] += weights[k] * values[q];
            }
        }
        result.push_back({energy, sums[0], sums[1], sums[2]});
    }
    return true;
}

// Element k2's values at an energy it may lack, log-log between its bracketing rows.
bool interpolateAt(const CoefficientTable& table, double energy, const std::string& file,
                   Values& values, std::string& error) {
    int j = 2;
    while (j <= table.energyCount && energy > table.rows[static_cast<size_t>(j)].energy) {
        ++j;
    }
    if (j > table.energyCount) {
        error = file + ": the energy " + std::to_string(energy) + " MeV lies above its last row";
        return false;
    }
    const CoefficientRow& low = table.rows[static_cast<size_t>(j - 1)];
    const CoefficientRow& high = table.rows[static_cast<size_t>(j)];
    if (low.energy == high.energy) {
        error = file + ": two rows of equal energy bracket " + std::to_string(energy) + " MeV";
        return false;
    }
    const Values lows = coefficientsOf(low);
    const Values highs = coefficientsOf(high);
    for (size_t q = 0; q < 3; ++q) {
        values[q] = logLogInterpolateOrZero(energy, low.energy, lows[q], high.energy, highs[q]);
    }
    return true;
}

// Appends every element energy that the hydrogen grid lacks, with all elements' values.
bool addElementEnergies(const CoefficientTable& hydrogen,
                        const std::vector<CoefficientTable>& tables,
                        const std::vector<double>& weights, std::span<const CompositionRow> rows,
                        std::vector<CoefficientRow>& result, std::string& error) {
    const auto baseBegin = hydrogen.rows.begin() + 1;
    const auto baseEnd = baseBegin + hydrogen.energyCount;
    for (size_t k = 0; k < tables.size(); ++k) {
        for (int i = 1; i <= tables[k].energyCount; ++i) {
            const CoefficientRow& row = tables[k].rows[static_cast<size_t>(i)];
            if (std::any_of(baseBegin, baseEnd,
                            [&](const CoefficientRow& b) { return b.energy == row.energy; })) {
                continue;
            }
            if (result.size() >= static_cast<size_t>(kMaxCoefficientRows)) {
                error = "the new table would exceed " + std::to_string(kMaxCoefficientRows) +
                        " energies";
                return false;
            }
            Values sums = coefficientsOf(row);
            for (double& sum : sums) {
                sum *= weights[k];
            }
            for (size_t k2 = 0; k2 < tables.size(); ++k2) {
                Values values{};
                if (k2 == k) {
                    continue;
                }
                if (!interpolateAt(tables[k2], row.energy, rows[k2].elementFile, values, error)) {
                    return false;
                }
                for (size_t q = 0; q < 3; ++q) {
                    sums[q] += weights[k2] * values[q];
                }
            }
            result.push_back({row.energy, sums[0], sums[1], sums[2]});
        }
    }
    return true;
}

} // namespace

std::optional<CombinedCoefficients>
combineCoefficientTables(const DataDirectory& data, const Recipe& recipe, std::string& error) {
    if (recipe.items.empty() || recipe.items.size() > static_cast<size_t>(kMaxElements)) {
        error = "a combination takes 1 to " + std::to_string(kMaxElements) + " elements";
        return std::nullopt;
    }
    if (recipe.weighting != Weighting::byWeight) {
        error = "coefficient tables combine by shares by weight";
        return std::nullopt;
    }
    // An element named twice would add its edge rows twice.
    const std::optional<std::vector<CompositionRow>> merged =
        recipeRows(recipe, std::string(kCoefficientTables.elementExtension), error);
    if (!merged) {
        return std::nullopt;
    }
    const std::span<const CompositionRow> rows = *merged;
    std::vector<CoefficientTable> tables;
    for (const CompositionRow& row : rows) {
        auto table = loadCoefficientTable(
            data.path(formPath(kCoefficientTables.elementFolder, row.elementFile)), false, error);
        if (!table) {
            return std::nullopt;
        }
        tables.push_back(std::move(*table));
    }
    const std::optional<std::vector<double>> weights = weightsOf(rows);
    if (!weights) {
        error = "the shares add up to 0";
        return std::nullopt;
    }
    const auto hydrogen = loadCoefficientTable(
        data.path(formPath(kCoefficientTables.elementFolder,
                           "01_H" + std::string(kCoefficientTables.elementExtension))),
        false, error);
    if (!hydrogen) {
        return std::nullopt;
    }
    if (hydrogen->energyCount > kMaxBaseEnergies) {
        error =
            "the hydrogen table holds more than " + std::to_string(kMaxBaseEnergies) + " energies";
        return std::nullopt;
    }
    CombinedCoefficients combined;
    if (!addOnBaseGrid(*hydrogen, tables, *weights, rows, combined.rows, error) ||
        !addElementEnergies(*hydrogen, tables, *weights, rows, combined.rows, error)) {
        return std::nullopt;
    }
    std::stable_sort(
        combined.rows.begin(), combined.rows.end(),
        [](const CoefficientRow& a, const CoefficientRow& b) { return a.energy < b.energy; });
    for (size_t k = 0; k < rows.size(); ++k) {
        const double z = numericValue(rows[k].elementFile.substr(0, 2));
        combined.composition.push_back({static_cast<int>(z), (*weights)[k]});
    }
    return combined;
}

} // namespace tarvo
