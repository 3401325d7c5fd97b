#include "combine_element_tables.h"

#include "common/table_kinds.h"
#include "common/text_fields.h"
#include "common/text_file.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarvo {
namespace {

constexpr int kColumns = 5;

// One element table as the combination reads it, rows from index 1.
struct ElementTable {
    int rowCount = 0;
    std::array<double, kMaxElementRows + 1> energies{};
    std::array<std::array<double, kMaxElementRows + 1>, kColumns> values{};
    double atomicWeight = 0.0;
};

std::optional<double> nextNumber(TextCursor& cursor) {
    return readNumberField(cursor);
}

// Reads name (a text field), density, row count, the rows as six free-format numbers and
// the atomic weight; the second row of an edge is moved up by edgeFactor x energy.
bool readElementTable(const std::string& path, double edgeFactor, ElementTable& table,
                      std::string& error) {
    std::string readError;
    const std::optional<std::string> content = readTextFile(path, readError);
    if (!content) {
        error = path + ": " + readError;
        return false;
    }
    TextCursor cursor{*content};
    const bool hasName = readTextField(cursor).has_value();
    const std::optional<double> density = nextNumber(cursor);
    const std::optional<double> count = nextNumber(cursor);
    if (!hasName || !density || !count) {
        error = path + ": the file is empty or its head is incomplete";
        return false;
    }
    if (!(*count >= 2 && *count <= kMaxElementRows) || *count != std::floor(*count)) {
        error =
            path + ": an element table must hold 2 to " + std::to_string(kMaxElementRows) + " rows";
        return false;
    }
    table.rowCount = static_cast<int>(*count);
    for (int i = 1; i <= table.rowCount; ++i) {
        std::array<std::optional<double>, kColumns + 1> fields;
        for (std::optional<double>& field : fields) {
            field = nextNumber(cursor);
        }
        if (std::any_of(fields.begin(), fields.end(), [](const auto& f) { return !f; })) {
            error = path + ": the file ends in row " + std::to_string(i);
            return false;
        }
        double energy = *fields[0];
        if (i >= 2 && energy == table.energies[static_cast<size_t>(i - 1)]) {
            energy += edgeFactor * energy;
        }
        table.energies[static_cast<size_t>(i)] = energy;
        for (int c = 0; c < kColumns; ++c) {
            table.values[static_cast<size_t>(c)][static_cast<size_t>(i)] =
                *fields[static_cast<size_t>(c + 1)];
        }
    }
    const std::optional<double> atomicWeight = nextNumber(cursor);
    if (!atomicWeight) {
        error = path + ": the atomic weight after the last row is missing";
        return false;
    }
    table.atomicWeight = *atomicWeight;
    return true;
}

// Element k's value of column c at grid energy g, log-log between the bracketing rows.
bool interpolate(const ElementTable& table, int column, double g, const std::string& file,
                 double& value, std::string& error) {
    int j = 2;
    while (j <= table.rowCount && table.energies[static_cast<size_t>(j)] < g) {
        ++j;
    }
    if (j > table.rowCount) {
        error = file + ": the energy " + std::to_string(g) + " MeV lies above its last row";
        return false;
    }
    const auto& values = table.values[static_cast<size_t>(column)];
    const double low = values[static_cast<size_t>(j - 1)];
    const double high = values[static_cast<size_t>(j)];
    if (low == 0.0 || high == 0.0) {
        value = 0.0;
        return true;
    }
    const double lowEnergy = table.energies[static_cast<size_t>(j - 1)];
    const double highEnergy = table.energies[static_cast<size_t>(j)];
    if (low < 0.0 || high < 0.0 || lowEnergy <= 0.0 || g <= 0.0 || lowEnergy == highEnergy) {
        error = file + ": a logarithm of a value that is not positive near " + std::to_string(g) +
                " MeV";
        return false;
    }
    value = std::exp(std::log(low) + (std::log(g) - std::log(lowEnergy)) /
                                         (std::log(highEnergy) - std::log(lowEnergy)) *
                                         (std::log(high) - std::log(low)));
    return true;
}

// Fractions by weight of the rows; nothing when the amounts sum to 0.
std::optional<std::vector<double>> weightsOf(std::span<const CompositionRow> rows,
                                             const std::vector<ElementTable>& tables,
                                             Weighting weighting) {
    std::vector<double> parts;
    double sum = 0.0;
    for (size_t k = 0; k < rows.size(); ++k) {
        const double part = weighting == Weighting::byAtoms
                                ? rows[k].amount * tables[k].atomicWeight
                                : rows[k].amount;
        parts.push_back(part);
        sum += part;
    }
    if (sum == 0.0 || !std::isfinite(sum)) {
        return std::nullopt;
    }
    for (double& part : parts) {
        part /= sum;
    }
    return parts;
}

// All energies of the first table, then each energy of the others not yet present.
std::optional<std::vector<double>> mergedGrid(const std::vector<ElementTable>& tables) {
    std::vector<double> grid;
    for (const ElementTable& table : tables) {
        for (int i = 1; i <= table.rowCount; ++i) {
            const double energy = table.energies[static_cast<size_t>(i)];
            if (&table == &tables.front() ||
                std::find(grid.begin(), grid.end(), energy) == grid.end()) {
                grid.push_back(energy);
            }
            if (grid.size() > static_cast<size_t>(kMaxCrossSectionRows)) {
                return std::nullopt;
            }
        }
    }
    std::sort(grid.begin(), grid.end());
    return grid;
}

} // namespace

std::optional<std::vector<CrossSectionRow>> combineElementTables(const DataDirectory& data,
                                                                 const Recipe& recipe,
                                                                 double edgeFactor,
                                                                 std::string& error) {
    if (recipe.items.empty() || recipe.items.size() > static_cast<size_t>(kMaxCombinedElements)) {
        error = "a combination takes 1 to " + std::to_string(kMaxCombinedElements) + " elements";
        return std::nullopt;
    }
    // An element named twice counts once, with its amounts added.
    const std::optional<std::vector<CompositionRow>> merged =
        recipeRows(recipe, std::string(kCrossSectionTables.elementExtension), error);
    if (!merged) {
        return std::nullopt;
    }
    const std::span<const CompositionRow> rows = *merged;
    std::vector<ElementTable> tables(rows.size());
    for (size_t k = 0; k < rows.size(); ++k) {
        const std::string path =
            data.path(formPath(kCrossSectionTables.elementFolder, rows[k].elementFile));
        if (!readElementTable(path, edgeFactor, tables[k], error)) {
            return std::nullopt;
        }
    }
    const std::optional<std::vector<double>> grid = mergedGrid(tables);
    if (!grid) {
        error =
            "the merged energy grid exceeds " + std::to_string(kMaxCrossSectionRows) + " energies";
        return std::nullopt;
    }
    const std::optional<std::vector<double>> weights = weightsOf(rows, tables, recipe.weighting);
    if (!weights) {
        error = "the amounts add up to 0";
        return std::nullopt;
    }
    std::vector<CrossSectionRow> result(grid->size());
    for (size_t m = 0; m < grid->size(); ++m) {
        std::array<double, kColumns> sums{};
        for (size_t k = 0; k < rows.size(); ++k) {
            for (int c = 0; c < kColumns; ++c) {
                double value = 0.0;
                if (!interpolate(tables[k], c, (*grid)[m], rows[k].elementFile, value, error)) {
                    return std::nullopt;
                }
                sums[static_cast<size_t>(c)] += (*weights)[k] * value;
            }
        }
        if (!std::all_of(sums.begin(), sums.end(), [](double s) { return std::isfinite(s); })) {
            error = "the values at " + std::to_string((*grid)[m]) + " MeV are not finite";
            return std::nullopt;
        }
        result[m] = {(*grid)[m], sums[0], sums[1], sums[2], sums[3], sums[4]};
    }
    return result;
}

} // namespace tarvo
