#include "coefview/coefficient_table.h"
#include "coefview/coefficient_values.h"
#include "common/text_file.h"
#include "splinetool/grid_interpolation.h"
#include "splinetool/spline_reading.h"
#include "xsview/cross_section_table.h"
#include "xsview/values_at_energy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>

namespace tarvo {
namespace {

constexpr double kEverywhere = 1e300;

struct ShippedTable {
    std::string name;
    ReadingTable table;
    SplineColumns kind = SplineColumns::coefficients;
};

ShippedTable shipped(const std::filesystem::path& path) {
    std::string error;
    const std::string extension = path.extension().string();
    ShippedTable result{path.filename().string(), {}, SplineColumns::coefficients};
    if (extension == ".mut" || extension.rfind(".mu", 0) == 0) {
        const auto table =
            loadCoefficientTable(path.string(), isMaterialCoefficientPath(path.string()), error);
        EXPECT_TRUE(table) << path << ": " << error;
        result.table = table ? readingTableOf(*table) : ReadingTable{};
    } else {
        const auto table = loadCrossSectionTable(path.string(), error);
        EXPECT_TRUE(table) << path << ": " << error;
        result.table = table ? readingTableOf(*table) : ReadingTable{};
        result.kind = SplineColumns::crossSections;
    }
    return result;
}

std::vector<ShippedTable> everyShippedTable() {
    std::vector<ShippedTable> tables;
    for (const char* directory : {"mu_ele", "mu_mix", "ele", "mix"}) {
        for (const auto& entry : std::filesystem::directory_iterator(
                 std::filesystem::path(TARVO_SHIPPED_DATA) / directory)) {
            if (entry.path().extension() != ".txt") {
                tables.push_back(shipped(entry.path()));
            }
        }
    }
    return tables;
}

SplineReadings prepared(const ShippedTable& t) {
    std::string error;
    auto readings = prepareSplineReadings(t.table, t.kind, error);
    EXPECT_TRUE(readings) << t.name << ": " << error;
    return readings.value_or(SplineReadings{});
}

double value(const ReadingTable& t, int row, size_t c) {
    return t.values[static_cast<size_t>(row)][c];
}

// Whether column c rises or falls steadily from row j - 2 to j + 1, as far as the rows
// of the segment first..last reach, over at least three rows.
bool steady(const ReadingTable& t, size_t c, int j, int first, int last) {
    const int from = std::max(first, j - 2);
    const int to = std::min(last, j + 1);
    bool rising = to - from >= 2;
    bool falling = rising;
    for (int r = from + 1; r <= to; ++r) {
        rising = rising && value(t, r, c) > value(t, r - 1, c);
        falling = falling && value(t, r, c) < value(t, r - 1, c);
    }
    return rising || falling;
}

// The first row of the edge-free segment holding rows j - 1 and j, and its last.
std::pair<int, int> segmentOf(const ReadingTable& t, int j) {
    int first = j - 1;
    while (first > 1 &&
           t.energies[static_cast<size_t>(first - 1)] != t.energies[static_cast<size_t>(first)]) {
        --first;
    }
    int last = j;
    while (last < t.rowCount &&
           t.energies[static_cast<size_t>(last + 1)] != t.energies[static_cast<size_t>(last)]) {
        ++last;
    }
    return {first, last};
}

// The edge-free stretches of a table: first and last row of each.
std::vector<std::pair<int, int>> segmentsOf(const ReadingTable& t) {
    std::vector<std::pair<int, int>> segments{{1, 1}};
    for (int j = 2; j <= t.rowCount; ++j) {
        if (t.energies[static_cast<size_t>(j)] == t.energies[static_cast<size_t>(j - 1)]) {
            segments.push_back({j, j});
        } else {
            segments.back().second = j;
        }
    }
    return segments;
}

void checkInterval(const ShippedTable& t, const SplineReadings& s, int j, int& points) {
    const ReadingTable& table = t.table;
    const auto [first, last] = segmentOf(table, j);
    const double low = table.energies[static_cast<size_t>(j - 1)];
    const double high = table.energies[static_cast<size_t>(j)];
    const int fitted = t.kind == SplineColumns::crossSections ? 5 : 3;
    for (int k = 1; k < 7; ++k) {
        const double energy = low * std::pow(high / low, k / 7.0);
        const Reading r = readSpline(s, energy, 0, kEverywhere);
        ASSERT_EQ(r.result, ReadingResult::found) << t.name << " at " << energy;
        ++points;
        double sum = 0;
        for (size_t c = 0; c < static_cast<size_t>(fitted); ++c) {
            const double a = value(table, j - 1, c);
            const double b = value(table, j, c);
            sum += r.values[c];
            if (a == 0 || b == 0) {
                EXPECT_EQ(r.values[c], 0.0) << t.name << " at " << energy << " column " << c;
                continue;
            }
            const double slack = steady(table, c, j, first, last) ? 1 + 1e-9 : 1.1;
            EXPECT_LE(r.values[c], slack * std::max(a, b)) << t.name << " " << energy << " " << c;
            EXPECT_GE(r.values[c], std::min(a, b) / slack) << t.name << " " << energy << " " << c;
        }
        if (t.kind == SplineColumns::crossSections) {
            EXPECT_DOUBLE_EQ(r.values[5], sum) << t.name << " at " << energy;
        } else if (value(table, j - 1, 0) >= value(table, j - 1, 1) &&
                   value(table, j - 1, 1) >= value(table, j - 1, 2) &&
                   value(table, j, 0) >= value(table, j, 1) &&
                   value(table, j, 1) >= value(table, j, 2)) {
            EXPECT_TRUE(r.values[0] >= r.values[1] && r.values[1] >= r.values[2])
                << t.name << " at " << energy;
        }
    }
}

// Every shipped table of both kinds read by the spline between every two rows: each value
// within the two rows around it where they rise or fall steadily, else within 10 % of
// them; 0 where a row is (pair production below threshold); the coefficients in the order
// of their rows; the total the sum of the partials; each row's own values at its energy.
TEST(SplineReading, EveryShippedTableBetweenEveryTwoRows) {
    const std::vector<ShippedTable> tables = everyShippedTable();
    ASSERT_EQ(tables.size(), 280U);
    int points = 0;
    int monotone = 0;
    for (const ShippedTable& t : tables) {
        const SplineReadings s = prepared(t);
        monotone += static_cast<int>(s.monotoneSegments.size());
        for (int j = 2; j <= t.table.rowCount; ++j) {
            const Reading atRow =
                readSpline(s, t.table.energies[static_cast<size_t>(j)], 0, kEverywhere);
            if (t.table.energies[static_cast<size_t>(j - 1)] ==
                t.table.energies[static_cast<size_t>(j)]) {
                continue; // the edge reads its lower row, checked with it
            }
            for (size_t c = 0; c < 5 && c < static_cast<size_t>(t.table.columnCount); ++c) {
                EXPECT_EQ(atRow.values[c], value(t.table, j, c)) << t.name << " row " << j;
            }
            checkInterval(t, s, j, points);
        }
    }
    std::cout << points << " points between rows; " << monotone
              << " segments read by the monotone cubic\n";
}

std::optional<spline::SplineTable> splineTableOf(const std::string& path) {
    std::string error;
    const auto text = readTextFile(std::string(TARVO_SHIPPED_DATA) + "/" + path, error);
    return text ? spline::readSplineTable(*text, error) : std::nullopt;
}

// Where the spline tool keeps the not-a-knot spline, the point reading gives its values.
TEST(SplineReading, GivesTheSplineToolsValuesOnItsGrid) {
    int compared = 0;
    for (const char* path : {"mu_mix/Water.muc2", "mu_ele/82_Pb.mut", "mu_mix/Bone_Cortical.mucm",
                             "mu_ele/29_Cu.mut"}) {
        const auto table = splineTableOf(path);
        ASSERT_TRUE(table) << path;
        std::string error;
        const auto segments = spline::splitSegments(*table, error);
        const auto grid = spline::interpolateGrid(*table, *segments, 0.5, 999, error);
        ASSERT_TRUE(grid) << error;
        const SplineReadings s = prepared(shipped(std::string(TARVO_SHIPPED_DATA) + "/" + path));
        for (int i = 1; i <= 999; ++i) {
            const double keV = gridEnergy(i, 0.5);
            const auto inRange = [keV](const auto& range) {
                return keV >= range[0] * 1000 - 1e-9 && keV <= range[1] * 1000 + 1e-9;
            };
            const bool repaired =
                std::any_of(s.monotoneSegments.begin(), s.monotoneSegments.end(), inRange) ||
                std::any_of(grid->repairs.begin(), grid->repairs.end(),
                            [keV](const spline::SegmentRepair& r) {
                                return keV >= r.from - 1e-9 && keV <= r.to + 1e-9;
                            });
            if (repaired) {
                continue;
            }
            const Reading r = readSpline(s, keV / 1000, 0, kEverywhere);
            for (size_t c = 0; c < 3; ++c) {
                const double expected = grid->values[static_cast<size_t>(i - 1)][c];
                EXPECT_NEAR(r.values[c], expected, 1e-12 * expected) << path << " " << keV;
            }
            ++compared;
        }
    }
    EXPECT_GT(compared, 3000);
}

// Every other row left out of an edge-free stretch, the spline reads the rows left out far
// closer than the log-log line does, across every shipped coefficient table.
TEST(SplineReading, ReadsRowsLeftOutCloserThanTheLogLogLine) {
    double splineError = 0;
    double loglogError = 0;
    int rows = 0;
    for (const ShippedTable& t : everyShippedTable()) {
        if (t.kind != SplineColumns::coefficients) {
            continue;
        }
        ReadingTable thinned = t.table;
        std::vector<int> leftOut;
        thinned.energies.assign(1, 0.0);
        thinned.values.assign(1, {});
        const auto keep = [&](int j) {
            thinned.energies.push_back(t.table.energies[static_cast<size_t>(j)]);
            thinned.values.push_back(t.table.values[static_cast<size_t>(j)]);
        };
        for (const auto& [first, last] : segmentsOf(t.table)) {
            for (int j = first; j <= last; ++j) {
                // Stretches of seven rows or more lose every other inner row.
                if (last - first >= 6 && j > first + 1 && j < last - 1 && (j - first) % 2 == 0) {
                    leftOut.push_back(j);
                } else {
                    keep(j);
                }
            }
        }
        thinned.rowCount = static_cast<int>(thinned.energies.size()) - 1;
        thinned.logarithmsPrepared = false;
        const SplineReadings s = prepared({t.name, thinned, t.kind});
        for (int j : leftOut) {
            const double energy = t.table.energies[static_cast<size_t>(j)];
            const double truth = value(t.table, j, 0);
            const double bySpline = readSpline(s, energy, 0, kEverywhere).values[0];
            const double byLine = readAtEnergy(thinned, energy, 0, kEverywhere).values[0];
            splineError += std::pow(bySpline / truth - 1, 2);
            loglogError += std::pow(byLine / truth - 1, 2);
            ++rows;
        }
    }
    ASSERT_GT(rows, 1000);
    const double splineRms = std::sqrt(splineError / rows);
    const double loglogRms = std::sqrt(loglogError / rows);
    std::cout << rows << " rows left out: rms error " << splineRms << " by the spline, "
              << loglogRms << " by the log-log line\n";
    EXPECT_LT(splineRms, loglogRms / 3);
}

// Water between its 20 and 30 keV rows, where the photo-electric effect gives way to
// Compton scattering: XCOM's total with coherent scattering at 25 keV is 0.5082 cm2/g; the
// log-log line through the rows reads 4 % high. Under the spline the partials add up to
// the total they are read beside.
TEST(SplineReading, WaterAt25keVAndItsPartialsAddUp) {
    const ShippedTable water = shipped(std::string(TARVO_SHIPPED_DATA) + "/mu_mix/Water.muc2");
    const Reading mu = readSpline(prepared(water), 0.025, 0, kEverywhere);
    EXPECT_NEAR(mu.values[0], 0.5082, 0.003 * 0.5082);
    EXPECT_GT(readAtEnergy(water.table, 0.025, 0, kEverywhere).values[0], 0.5082 * 1.03);
    const ShippedTable xs = shipped(std::string(TARVO_SHIPPED_DATA) + "/mix/Water.mix2");
    const Reading partials = readSpline(prepared(xs), 0.025, 0, kEverywhere);
    EXPECT_NEAR(partials.values[5], mu.values[0], 0.003 * mu.values[0]);
}

// Every crossing of the spline curves reads back the value; an edge the curve jumps across
// is found as with the log-log reading.
TEST(SplineReading, EveryCrossingReadsBackItsValue) {
    const struct {
        const char* path;
        int column;
        double value;
        size_t crossings;
    } cases[] = {{"mu_ele/82_Pb.mut", 0, 100.0, 3},
                 {"mu_ele/82_Pb.mut", 0, 0.05, 2},
                 {"ele/82_Pb.ele", 5, 100.0, 3},
                 {"mu_mix/Water.muc2", 2, 0.03, 3},
                 {"mu_mix/Water.muc2", 0, 1e9, 0}};
    for (const auto& c : cases) {
        const ShippedTable t = shipped(std::string(TARVO_SHIPPED_DATA) + "/" + c.path);
        const SplineReadings s = prepared(t);
        const std::vector<Crossing> found = everySplineEnergyAt(s, c.column, c.value);
        EXPECT_EQ(found.size(), c.crossings) << c.path << " " << c.value;
        EXPECT_EQ(found.size(), everyEnergyAt(t.table, c.column, c.value).size()) << c.path;
        for (const Crossing& crossing : found) {
            if (crossing.kind == CrossingKind::between) {
                const Reading r = readSpline(s, crossing.energy, 0, kEverywhere);
                EXPECT_NEAR(r.values[static_cast<size_t>(c.column)], c.value, 1e-9 * c.value)
                    << c.path << " at " << crossing.energy;
            }
        }
    }
}

} // namespace
} // namespace tarvo
