// The library's default point reading of every element's mu/rho against independent
// evidence: the log-log line through the rows and xraylib's CS_Total.
#include "common/elements.h"
#include "materials/material_source.h"

#include <gtest/gtest.h>
#include <xraylib.h>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace tarvo {
namespace {

Material elementMaterial(int z) {
    RequestError error;
    auto material = loadMaterial(DataDirectory(TARVO_SHIPPED_DATA), {elementSymbol(z), "", ""},
                                 TableKind::coefficients, error);
    EXPECT_TRUE(material) << z << ": " << error.message;
    return material ? *material : Material{};
}

std::vector<double> edgeEnergies(const ReadingTable& table) {
    std::vector<double> edges;
    for (int j = 2; j <= table.rowCount; ++j) {
        if (table.energies[static_cast<size_t>(j)] == table.energies[static_cast<size_t>(j - 1)]) {
            edges.push_back(table.energies[static_cast<size_t>(j)]);
        }
    }
    return edges;
}

// The first and last rows of each stretch between edges.
std::vector<std::pair<int, int>> stretchesOf(const ReadingTable& table) {
    std::vector<std::pair<int, int>> stretches{{1, table.rowCount}};
    for (int j = 2; j <= table.rowCount; ++j) {
        if (table.energies[static_cast<size_t>(j)] == table.energies[static_cast<size_t>(j - 1)]) {
            stretches.back().second = j - 1;
            stretches.emplace_back(j, table.rowCount);
        }
    }
    return stretches;
}

bool nearAnEdge(const std::vector<double>& edges, double energy) {
    return std::any_of(edges.begin(), edges.end(),
                       [energy](double edge) { return std::fabs(energy / edge - 1) <= 0.005; });
}

// Between neighbouring rows (1-800 keV, clear of the edges) the reading lies within the
// span of the log-log line and xraylib, widened by 2 %: a cubic that bulges away from both
// is caught wherever the rows are few or nearly coincide.
TEST(ReadingAccuracy, EveryElementBetweenItsRowsAgreesWithTheLineOrXraylib) {
    xrl_error* ignored = nullptr;
    int points = 0;
    int outside = 0;
    double worst = 0;
    std::string worstAt;
    for (int z = 1; z <= kLastElement; ++z) {
        const Material material = elementMaterial(z);
        const ReadingTable& table = material.readings;
        const std::vector<double> edges = edgeEnergies(table);
        for (int j = 2; j <= table.rowCount; ++j) {
            const double low = table.energies[static_cast<size_t>(j - 1)];
            const double high = table.energies[static_cast<size_t>(j)];
            for (const double fraction : {0.25, 0.5, 0.75}) {
                const double energy = low * std::pow(high / low, fraction);
                if (low == high || energy < 0.001 || energy > 0.8 || nearAnEdge(edges, energy)) {
                    continue;
                }
                const double reading =
                    readMaterial(material, energy, ReadingMethod::spline).values[0];
                const double line = readMaterial(material, energy, ReadingMethod::loglog).values[0];
                const double xraylib = CS_Total(z, energy * 1000, &ignored);
                const double lowest = 0.98 * std::min(line, xraylib);
                const double highest = 1.02 * std::max(line, xraylib);
                ++points;
                if (!(reading >= lowest && reading <= highest)) {
                    ++outside;
                    const double off =
                        reading < lowest ? lowest / reading - 1 : reading / highest - 1;
                    if (off > worst) {
                        worst = off;
                        worstAt =
                            elementSymbol(z) + " at " + std::to_string(energy * 1000) + " keV";
                    }
                    ADD_FAILURE() << elementSymbol(z) << " at " << energy * 1000 << " keV reads "
                                  << reading << ", the line " << line << ", xraylib " << xraylib;
                }
            }
        }
    }
    std::cout << points << " points, " << outside << " outside, worst " << worst * 100 << " % ("
              << worstAt << ")\n";
    EXPECT_GT(points, 7000);
}

// Every other row of each stretch between edges left out (the edge rows and the stretch's
// ends kept), the reading recovers the rows left out of the 92 element tables.
TEST(ReadingAccuracy, RowsLeftOutOfTheElementTablesAreRecovered) {
    double squares = 0;
    double lineSquares = 0;
    int rows = 0;
    for (int z = 1; z <= kLastElement; ++z) {
        const Material material = elementMaterial(z);
        const ReadingTable& table = material.readings;
        ReadingTable thinned = table;
        thinned.energies.assign(1, 0.0);
        thinned.values.assign(1, {});
        thinned.logarithmsPrepared = false;
        std::vector<int> leftOut;
        for (const auto& [first, last] : stretchesOf(table)) {
            for (int j = first; j <= last; ++j) {
                // A stretch of seven rows or more loses every other row but its two rows at
                // either end; a shorter one keeps its rows.
                if (last - first >= 6 && j > first + 1 && j < last - 1 && (j - first) % 2 == 0) {
                    leftOut.push_back(j);
                    continue;
                }
                thinned.energies.push_back(table.energies[static_cast<size_t>(j)]);
                thinned.values.push_back(table.values[static_cast<size_t>(j)]);
            }
        }
        thinned.rowCount = static_cast<int>(thinned.energies.size()) - 1;
        std::string error;
        const auto splines = prepareSplineReadings(thinned, SplineColumns::coefficients, error);
        ASSERT_TRUE(splines) << z << ": " << error;
        for (const int j : leftOut) {
            const double energy = table.energies[static_cast<size_t>(j)];
            const double truth = table.values[static_cast<size_t>(j)][0];
            const double reading = readSpline(*splines, energy, 0, 1e300).values[0];
            const double line = readAtEnergy(thinned, energy, 0, 1e300).values[0];
            squares += std::pow(reading / truth - 1, 2);
            lineSquares += std::pow(line / truth - 1, 2);
            ++rows;
        }
    }
    const double rms = std::sqrt(squares / rows);
    std::cout << rows << " rows left out: rms " << rms * 100 << " % (log-log line "
              << std::sqrt(lineSquares / rows) * 100 << " %)\n";
    EXPECT_GT(rows, 1200);
    EXPECT_LE(rms, 0.0075);
}

} // namespace
} // namespace tarvo
