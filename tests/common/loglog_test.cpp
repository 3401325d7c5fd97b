#include "common/loglog.h"

#include <gtest/gtest.h>

#include <array>

namespace tarvo {
namespace {

TEST(LogLogInterpolate, GivesThePowerLawThroughBothRows) {
    EXPECT_NEAR(logLogInterpolate(0.031623, 0.01, 10.0, 0.1, 1.0), 3.162, 5e-4);
    EXPECT_DOUBLE_EQ(logLogInterpolate(0.1, 0.01, 10.0, 0.1, 1.0), 1.0);
    EXPECT_NEAR(logLogInterpolate(0.01, 0.01, 10.0, 0.1, 1.0), 10.0, 1e-12);
    // Outside the rows the same line is extended.
    EXPECT_NEAR(logLogInterpolate(0.001, 0.01, 10.0, 0.1, 1.0), 100.0, 1e-9);
}

TEST(LogLogInterpolateOrZero, IsZeroWhenEitherRowIsZero) {
    EXPECT_EQ(logLogInterpolateOrZero(1.5, 1.0, 0.0, 2.0, 3.0), 0.0);
    EXPECT_EQ(logLogInterpolateOrZero(1.5, 1.0, 3.0, 2.0, 0.0), 0.0);
    EXPECT_NEAR(logLogInterpolateOrZero(2.0, 1.0, 3.0, 4.0, 12.0), 6.0, 1e-12);
}

TEST(BracketingRow, FindsTheFirstRowAtOrAboveAndNeverRowOne) {
    const std::array<double, 6> energies{0.0, 0.001, 0.002, 0.005, 0.005, 0.01};
    const auto at = [&](int j) { return energies[static_cast<size_t>(j)]; };
    EXPECT_EQ(bracketingRow(5, 0.001, at), 2);
    EXPECT_EQ(bracketingRow(5, 0.0005, at), 2);
    EXPECT_EQ(bracketingRow(5, 0.002, at), 2);
    EXPECT_EQ(bracketingRow(5, 0.003, at), 3);
    EXPECT_EQ(bracketingRow(5, 0.005, at), 3); // an edge energy takes the first of its rows
    EXPECT_EQ(bracketingRow(5, 0.006, at), 5);
    EXPECT_EQ(bracketingRow(5, 0.011, at), 0);
    EXPECT_EQ(bracketingRow(1, 0.001, at), 0);
}

} // namespace
} // namespace tarvo
