#include "coefview/equal_interval.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvo {
namespace {

struct IntervalCase {
    double top;
    double step;
    bool spline;
    IntervalProblem problem;
    int points; // -1: no count
};

class CheckIntervalTest : public ::testing::TestWithParam<IntervalCase> {};

TEST_P(CheckIntervalTest, AcceptsOrRefusesLikeOk) {
    const IntervalCheck check =
        checkInterval(1.0, GetParam().top, GetParam().step, GetParam().spline);
    EXPECT_EQ(check.problem, GetParam().problem);
    ASSERT_EQ(check.pointCount.has_value(), GetParam().points >= 0);
    if (check.pointCount) {
        EXPECT_EQ(pointsOf(*check.pointCount), GetParam().points);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CheckIntervalTest,
    ::testing::Values(IntervalCase{500.0, 0.5, false, IntervalProblem::none, 999},
                      IntervalCase{10.0, 0.4, false, IntervalProblem::none, 23},
                      IntervalCase{500.0, 0.4, false, IntervalProblem::tooManyPoints, 1248},
                      IntervalCase{500.0, 0.09, false, IntervalProblem::badRange, -1},
                      IntervalCase{500.1, 0.5, false, IntervalProblem::badRange, -1},
                      IntervalCase{1.0, 0.5, false, IntervalProblem::badRange, -1},
                      IntervalCase{1.7, 0.1, false, IntervalProblem::none, 7},
                      IntervalCase{1.6, 0.1, false, IntervalProblem::none, 7},
                      IntervalCase{100.0, 0.26, false, IntervalProblem::none, 381},
                      IntervalCase{100.0, 0.26, true, IntervalProblem::stepNotTenth, 381},
                      IntervalCase{100.0, 0.3, true, IntervalProblem::none, 331},
                      IntervalCase{std::nan(""), 0.5, false, IntervalProblem::badRange, -1},
                      IntervalCase{10.0, std::nan(""), true, IntervalProblem::badRange, -1}));

TEST(IntervalOutput, ListLinesAndCsvHaveTheirPatterns) {
    EXPECT_EQ(intervalListLine(1.0, {4242.4, 4064.0, 0.0123}),
              "1.000E+00   4.242E+03   4.064E+03   1.230E-02");
    testing::WorkingDirectory directory;
    std::string error;
    ASSERT_TRUE(
        writeIntervalCsv("out.csv", 0.5, {{4242.4, 4064.0, 4063.0}, {1.0, 2.0, 3.0}}, error))
        << error;
    EXPECT_EQ(testing::readBytes("out.csv"),
              "   keV    ,   \xce\xbc/\xcf\x81   ,  \xce\xbctr/\xcf\x81  ,  \xce\xbc"
              "en/\xcf\x81\r\n"
              " 1.000E+00, 4.2424E+03, 4.0640E+03, 4.0630E+03\r\n"
              " 1.500E+00, 1.0000E+00, 2.0000E+00, 3.0000E+00\r\n");
}

TEST(InterpolateLinear, TakesTheBelowEdgeValueAtAnEdgeEnergy) {
    CoefficientTable table;
    table.energyCount = 4;
    table.rows[1] = {0.001, 1000, 900, 800};
    table.rows[2] = {0.002, 100, 90, 80};
    table.rows[3] = {0.002, 500, 450, 400};
    table.rows[4] = {0.004, 125, 112.5, 100};
    const auto rows = [&] { return std::span(table.rows).subspan(1, table.energyCount); };
    std::string error;
    const auto values = interpolateLinear(rows(), 0.5, 6, error); // 1.0, 1.5, ... 3.5 keV
    ASSERT_TRUE(values);
    EXPECT_NEAR((*values)[0][0], 1000, 1e-9);
    EXPECT_NEAR((*values)[2][0], 100, 1e-9); // 2.0 keV: the first of the edge rows
    EXPECT_NEAR((*values)[3][0], 500 * std::pow(2.5 / 2.0, -2.0), 1e-9); // above it
    EXPECT_FALSE(interpolateLinear(rows(), 0.5, 8, error)); // 4.5 keV lies above the last row
    EXPECT_EQ(error, "4.5 keV lies outside the table");
    // Steps of tenths meet an edge exactly: lead's L2 edge at 15.2 keV is grid point 143 of
    // 0.1 keV steps, and (143 - 1) * 0.1 + 1.0 would be 15.200000000000001.
    table.rows[1] = {0.0152 * 0.5, 1000, 900, 800};
    table.rows[2] = {0.0152, 100, 90, 80};
    table.rows[3] = {0.0152, 500, 450, 400};
    table.rows[4] = {0.03, 125, 112.5, 100};
    const auto tenths = interpolateLinear(rows(), 0.1, 144, error);
    ASSERT_TRUE(tenths);
    EXPECT_NEAR((*tenths)[142][0], 100, 1e-9);
    EXPECT_EQ(gridEnergy(143, 0.1), 15.2);
    EXPECT_EQ(gridEnergyMeV(143, 0.1), 0.0152);
}

} // namespace
} // namespace tarvo
