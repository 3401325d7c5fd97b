#include "materials/material_source.h"
#include "materials/table_catalogue.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numeric>
#include <random>

namespace tarvo {
namespace {

const DataDirectory kShipped(TARVO_SHIPPED_DATA);
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The reading of one energy as the one-at-a-time path gives it; NaN where it gives none.
std::array<double, kMaxReadingColumns> oneReading(const Material& material, double energy,
                                                  ReadingMethod method, EdgeSide side) {
    const Reading reading = readMaterial(material, energy, method);
    if (reading.result != ReadingResult::found) {
        std::array<double, kMaxReadingColumns> none;
        none.fill(kNaN);
        return none;
    }
    const int upper = side == EdgeSide::above ? upperEdgeRow(material.readings, energy) : 0;
    return upper != 0 ? valuesAboveEdge(material, upper, method) : reading.values;
}

// 10^5 energies: log-uniform over the table's range and a little beyond, every row's own
// energy, sorted runs, and energies that have no reading.
std::vector<double> energiesFor(const Material& material, std::mt19937_64& random) {
    const double highest = highestEnergy(material.quantities);
    std::uniform_real_distribution<double> exponent(std::log(0.9e-3), std::log(highest * 1.1));
    std::vector<double> energies(100000);
    for (double& energy : energies) {
        energy = std::exp(exponent(random));
    }
    const auto& rows = material.readings.energies;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        energies[i] = rows[i];
    }
    std::sort(energies.begin() + 50000, energies.begin() + 60000);
    const double odd[] = {kNaN,
                          -1.0,
                          0.0,
                          std::numeric_limits<double>::infinity(),
                          1e-300,
                          highest,
                          std::nextafter(highest, 1e9),
                          kLowestEnergy};
    std::copy(std::begin(odd), std::end(odd), energies.end() - std::size(odd));
    return energies;
}

// Every shipped table, by both methods and both edge sides: every batch reading is the
// one-at-a-time reading within 1e-12, a row's own energy reads the row's value to the bit,
// and an energy without a reading gives NaN in the batch too.
TEST(BatchReadings, EveryShippedTableReadsAsOneAtATime) {
    std::mt19937_64 random(2026);
    int tables = 0;
    for (const CatalogueEntry& entry : catalogueTables(kShipped, TableSelection::all, "")) {
        for (const TableKind kind : {TableKind::coefficients, TableKind::crossSections}) {
            if (entry.tables.find(kind == TableKind::coefficients ? "mu" : "xs") ==
                std::string::npos) {
                continue;
            }
            RequestError error;
            const auto material = sharedMaterial(kShipped, {entry.stem, "", ""}, kind, error);
            ASSERT_TRUE(material) << entry.stem << ": " << error.message;
            ++tables;
            const std::vector<double> energies = energiesFor(*material, random);
            std::vector<int> columns(static_cast<std::size_t>(material->readings.columnCount));
            std::iota(columns.begin(), columns.end(), 0);
            std::vector<std::vector<double>> values(columns.size(),
                                                    std::vector<double>(energies.size()));
            std::vector<double*> outputs;
            for (auto& column : values) {
                outputs.push_back(column.data());
            }
            for (const ReadingMethod method : {ReadingMethod::loglog, ReadingMethod::spline}) {
                const EdgeSide side = tables % 2 ? EdgeSide::above : EdgeSide::below;
                readMaterialBatch(*material, method, side, energies, columns, outputs);
                int faults = 0;
                for (std::size_t i = 0; i < energies.size() && faults < 5; ++i) {
                    const auto expected = oneReading(*material, energies[i], method, side);
                    for (std::size_t c = 0; c < columns.size(); ++c) {
                        const double got = values[c][i];
                        const double want = expected[c];
                        const bool same = std::isnan(want)
                                              ? std::isnan(got)
                                              : std::abs(got - want) <= 1e-12 * std::abs(want);
                        faults += same ? 0 : 1;
                        EXPECT_TRUE(same) << entry.stem << " " << readingMethodName(method)
                                          << " at " << energies[i] << " MeV, column " << c << ": "
                                          << got << ", one at a time " << want;
                    }
                }
                for (std::size_t i = 1; i <= static_cast<std::size_t>(material->readings.rowCount);
                     ++i) {
                    const auto expected = oneReading(*material, energies[i], method, side);
                    for (std::size_t c = 0; c < columns.size(); ++c) {
                        ASSERT_EQ(values[c][i], expected[c]) << entry.stem << " row " << i;
                    }
                }
            }
        }
    }
    EXPECT_EQ(tables, 2 * 92 + 2 * 48);
}

// A value does not depend on the company it is read in: a column read alone, in short
// batches, equals the same column read with all the others in one long batch (written past
// the caches), to the bit, whatever the alignment of the arrays it is written to.
TEST(BatchReadings, AValueIsTheSameAloneOrWithOthersInShortOrLongBatches) {
    std::mt19937_64 random(36);
    std::uniform_real_distribution<double> exponent(std::log(0.9e-3), std::log(25.0));
    std::vector<double> energies(300000);
    for (double& energy : energies) {
        energy = std::exp(exponent(random));
    }
    std::sort(energies.begin() + 100000, energies.begin() + 200000);
    for (const char* name : {"Pb", "Water", "Bone_Cortical"}) {
        for (const TableKind kind : {TableKind::coefficients, TableKind::crossSections}) {
            RequestError error;
            const auto material = sharedMaterial(kShipped, {name, "", ""}, kind, error);
            ASSERT_TRUE(material) << error.message;
            const auto columnCount = static_cast<std::size_t>(material->readings.columnCount);
            std::vector<int> columns(columnCount);
            std::iota(columns.begin(), columns.end(), 0);
            for (const std::size_t shift : {0U, 1U}) {
                std::vector<std::vector<double>> together(
                    columnCount, std::vector<double>(energies.size() + shift));
                std::vector<double*> outputs;
                for (auto& column : together) {
                    outputs.push_back(column.data() + shift);
                }
                readMaterialBatch(*material, ReadingMethod::spline, EdgeSide::below, energies,
                                  columns, outputs);
                for (const int column : columns) {
                    std::vector<double> alone(energies.size());
                    for (std::size_t start = 0; start < energies.size(); start += 1000) {
                        double* output = alone.data() + start;
                        readMaterialBatch(*material, ReadingMethod::spline, EdgeSide::below,
                                          std::span(energies).subspan(start, 1000),
                                          std::span(&column, 1), std::span(&output, 1));
                    }
                    const auto& other = together[static_cast<std::size_t>(column)];
                    for (std::size_t i = 0; i < energies.size(); ++i) {
                        ASSERT_EQ(std::bit_cast<std::uint64_t>(alone[i]),
                                  std::bit_cast<std::uint64_t>(other[i + shift]))
                            << name << " column " << column << " at " << energies[i] << " MeV, i " << i;
                    }
                }
            }
        }
    }
}

// A short batch of energies in one interval with one that has no reading among them (the
// SIMD logarithm of a NaN is no NaN): that one still reads NaN, the others their values.
TEST(BatchReadings, AnEnergyWithoutAReadingAmongOthersOfOneInterval) {
    const double odd[] = {kNaN, -1.0, 0.0, std::numeric_limits<double>::infinity(), 1e-300, 25.0};
    for (const char* name : {"Pb", "Water"}) {
        RequestError error;
        const auto lead = sharedMaterial(kShipped, {name, "", ""}, TableKind::coefficients, error);
        ASSERT_TRUE(lead) << error.message;
        for (const double bad : odd) {
            for (const std::size_t count : {2U, 9U, 300U}) {
                std::vector<double> energies(count, 3.4289140624653083);
                energies[count / 2] = bad;
                std::vector<double> mu(count);
                double* output = mu.data();
                const int column = 0;
                readMaterialBatch(*lead, ReadingMethod::spline, EdgeSide::below, energies,
                                  std::span(&column, 1), std::span(&output, 1));
                const double expected =
                    oneReading(*lead, energies[0], ReadingMethod::spline, EdgeSide::below)[0];
                for (std::size_t i = 0; i < count; ++i) {
                    if (i == count / 2) {
                        EXPECT_TRUE(std::isnan(mu[i])) << name << " " << bad << " " << count;
                    } else {
                        EXPECT_NEAR(mu[i], expected, 1e-12 * expected) << name << " " << i;
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace tarvo
