#include "splinetool/grid_interpolation.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include "common/text_file.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

namespace tarvo::spline {
namespace {

// Steffen's cubic keeps every interval's values between its two ends, follows straight
// lines exactly and continues the end intervals straight.
TEST(Steffen, StaysWithinEachIntervalAndKeepsStraightLines) {
    const std::vector<double> x{0.0, 1.0, 1.001, 2.0, 4.0, 5.0};
    const std::vector<double> y{3.0, 2.0, 2.5, 0.5, 0.4, 1.0};
    for (double at = 0.0; at <= 5.0; at += 0.01) {
        size_t i = 0;
        while (i + 2 < x.size() && at > x[i + 1]) {
            ++i;
        }
        const double value = steffen(x, y, at);
        EXPECT_GE(value, std::min(y[i], y[i + 1]) - 1e-12) << at;
        EXPECT_LE(value, std::max(y[i], y[i + 1]) + 1e-12) << at;
    }
    const std::vector<double> line{1.0, 3.0, 3.002, 5.0, 9.0, 11.0};
    for (double at : {-1.0, 0.5, 1.0005, 3.3, 6.0}) {
        EXPECT_NEAR(steffen(x, line, at), 2 * at + 1, 1e-9) << at;
    }
    EXPECT_DOUBLE_EQ(steffen({1.0, 2.0}, {1.0, 3.0}, 1.5), 2.0);
}

// A table with rows a fraction of an eV apart above an edge (as molybdenum's at 19.9995
// and 20 keV), the coefficients rising between them: the not-a-knot spline of that segment
// would be wildly wrong, so the segment is done by the monotone cubic and reported.
SplineTable nearlyDoubledRowTable() {
    SplineTable table;
    const double rows[][4] = {{10.0, 100.0, 90.0, 80.0},   {19.9995, 15.0, 13.0, 12.0},
                              {19.9995, 80.0, 40.0, 38.0}, {20.0, 80.5, 40.3, 38.5},
                              {30.0, 28.0, 14.0, 13.5},    {50.0, 7.0, 4.0, 3.9},
                              {100.0, 1.2, 0.7, 0.69}};
    table.rowCount = 7;
    for (int j = 1; j <= 7; ++j) {
        table.x[static_cast<size_t>(j)] = rows[j - 1][0];
        for (size_t k = 0; k < 3; ++k) {
            table.y[k][static_cast<size_t>(j)] = rows[j - 1][k + 1];
        }
    }
    return table;
}

TEST(InterpolateGrid, AWildSplineSegmentTakesTheMonotoneCubicAndIsReported) {
    const SplineTable table = nearlyDoubledRowTable();
    std::string error;
    const auto segments = splitSegments(table, error);
    ASSERT_TRUE(segments) << error;
    const std::optional<GridValues> computed =
        interpolateGrid(table, *segments, 0.5, gridSize(100.0, 0.5), error);
    ASSERT_TRUE(computed) << error;
    const GridValues& grid = *computed;
    ASSERT_EQ(grid.repairs.size(), 1U);
    EXPECT_TRUE(grid.repairs[0].overshoot);
    EXPECT_DOUBLE_EQ(grid.repairs[0].from, 20.0);
    EXPECT_DOUBLE_EQ(grid.repairs[0].to, 100.0);
    EXPECT_EQ(repairText(grid.repairs[0]),
              "20.0 to 100.0 keV interpolated by a monotone cubic: the spline left the range of "
              "the table rows by more than 10 % and it broke mu >= mu_tr >= mu_en");
    // 23.5 keV lies between the rows at 20 and 30 keV.
    const auto& at = grid.values[static_cast<size_t>((23.5 - 1.0) / 0.5)];
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_LT(at[k], table.y[k][4]) << k;
        EXPECT_GT(at[k], table.y[k][5]) << k;
    }
    EXPECT_TRUE(at[0] >= at[1] && at[1] >= at[2]);
    // Below the edge the two-row segment keeps its spline: the power law through its rows.
    const double t = std::log(15.0 / 10.0) / std::log(19.9995 / 10.0);
    EXPECT_NEAR(grid.values[static_cast<size_t>((15.0 - 1.0) / 0.5)][0],
                std::exp((1 - t) * std::log(100.0) + t * std::log(15.0)), 1e-9);
}

// Two rows of one segment at the same energy, not side by side (so no edge), make the
// spline routines stop: reached through the library, that is an error with their report,
// and the process goes on to interpolate the next table.
TEST(InterpolateGrid, WhereTheSplineRoutinesStopTheErrorIsReturned) {
    SplineTable unordered = nearlyDoubledRowTable();
    unordered.x[7] = unordered.x[5]; // 30 keV again after 50 keV
    std::string error;
    const auto segments = splitSegments(unordered, error);
    ASSERT_TRUE(segments) << error;
    EXPECT_EQ(interpolateGrid(unordered, *segments, 0.5, gridSize(100.0, 0.5), error),
              std::nullopt);
    EXPECT_NE(error.find("the spline routines stopped: "), std::string::npos) << error;
    EXPECT_NE(error.find("must be distinct"), std::string::npos) << error;
    const SplineTable table = nearlyDoubledRowTable();
    const auto good = splitSegments(table, error);
    ASSERT_TRUE(good) << error;
    EXPECT_TRUE(interpolateGrid(table, *good, 0.5, gridSize(100.0, 0.5), error));
}

// Every value the tool lowers is named in a note: across the shipped coefficient tables on
// a 0.5 keV grid, a grid value equal to the coefficient above it lies in a noted range,
// unless the rows around it are equal in those coefficients too (ytterbium at 1.1 to
// 1.4 keV, barite concrete at 2.6 keV were lowered without a word).
TEST(InterpolateGrid, EveryLoweredValueIsNamed) {
    int lowered = 0;
    for (const char* directory : {"mu_ele", "mu_mix"}) {
        for (const auto& entry : std::filesystem::directory_iterator(
                 std::filesystem::path(TARVO_SHIPPED_DATA) / directory)) {
            std::string error;
            const auto text = readTextFile(entry.path().string(), error);
            const auto table = text ? readSplineTable(*text, error) : std::nullopt;
            ASSERT_TRUE(table) << entry.path() << ": " << error;
            const auto segments = splitSegments(*table, error);
            const int points = gridSize(table->x[static_cast<size_t>(table->rowCount)] - 1, 0.5);
            const auto grid =
                interpolateGrid(*table, *segments, 0.5, std::min(points, 1999), error);
            ASSERT_TRUE(grid) << error;
            for (size_t p = 0; p < grid->values.size(); ++p) {
                const double keV = gridEnergy(static_cast<int>(p) + 1, 0.5);
                size_t j = 1;
                while (j < static_cast<size_t>(table->rowCount) && table->x[j] < keV) {
                    ++j;
                }
                const auto& v = grid->values[p];
                for (size_t k = 1; k < 3; ++k) {
                    const bool rowsEqual = table->y[k][j] == table->y[k - 1][j] &&
                                           (std::fabs(table->x[j] / keV - 1) < 1e-9 ||
                                            table->y[k][j - 1] == table->y[k - 1][j - 1]);
                    if (v[k] != v[k - 1] || rowsEqual) {
                        continue;
                    }
                    const bool named =
                        std::any_of(grid->evened.begin(), grid->evened.end(), [&](const auto& e) {
                            return keV >= e.from && keV <= e.to &&
                                   (k == 1 ? e.transfer : e.absorption);
                        });
                    EXPECT_TRUE(named) << entry.path().filename() << " at " << keV << " keV";
                    ++lowered;
                }
            }
        }
    }
    EXPECT_GT(lowered, 10);
}

} // namespace
} // namespace tarvo::spline
