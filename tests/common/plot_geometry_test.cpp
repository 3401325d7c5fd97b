#include "common/plot_geometry.h"

#include "coefview/plot_frames.h"
#include "xsview/plot_frames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace tarvo {
namespace {

struct ClipCase {
    const char* what;
    PixelSegment segment;
    std::optional<PixelSegment> expected;
};

// The rectangle is [10, 20] x [10, 20].
TEST(ClipSegment, KeepsThePartInsideTheRectangle) {
    const ClipCase cases[] = {
        {"inside", {{12, 12}, {18, 15}}, PixelSegment{{12, 12}, {18, 15}}},
        {"through two sides", {{0, 15}, {30, 15}}, PixelSegment{{10, 15}, {20, 15}}},
        {"leaving below", {{15, 15}, {15, 40}}, PixelSegment{{15, 15}, {15, 20}}},
        {"diagonal through corners", {{0, 0}, {30, 30}}, PixelSegment{{10, 10}, {20, 20}}},
        {"entering from the right", {{30, 12}, {15, 12}}, PixelSegment{{20, 12}, {15, 12}}},
        {"wholly left", {{0, 0}, {5, 30}}, std::nullopt},
        {"parallel above", {{0, 5}, {30, 5}}, std::nullopt},
        {"passing a corner outside", {{0, 25}, {15, 35}}, std::nullopt},
        {"a point inside", {{15, 15}, {15, 15}}, PixelSegment{{15, 15}, {15, 15}}},
        {"a point outside", {{5, 15}, {5, 15}}, std::nullopt},
    };
    for (const ClipCase& c : cases) {
        const auto clipped = clipSegment(c.segment, 10, 10, 20, 20);
        ASSERT_EQ(clipped.has_value(), c.expected.has_value()) << c.what;
        if (clipped) {
            EXPECT_DOUBLE_EQ(clipped->from.x, c.expected->from.x) << c.what;
            EXPECT_DOUBLE_EQ(clipped->from.y, c.expected->from.y) << c.what;
            EXPECT_DOUBLE_EQ(clipped->to.x, c.expected->to.x) << c.what;
            EXPECT_DOUBLE_EQ(clipped->to.y, c.expected->to.y) << c.what;
        }
    }
}

// Rows stand at ln E + 6.909 compared in single precision; the nearer of the two rows
// around x wins, a tie the later one.
TEST(NearestRow, TakesTheNearerRowATieKeepingTheLaterOne) {
    ReadingTable t;
    t.rowCount = 6;
    t.energies = {0.0, 0.001, 0.01, 0.01, 0.1, 1.0, 10.0};
    const auto x = [&](int row) {
        return static_cast<double>(
            static_cast<float>(std::log(t.energies[static_cast<size_t>(row)])) + 6.909f);
    };
    EXPECT_EQ(nearestRow(t, x(1) - 0.5), 1);
    EXPECT_TRUE(leftOfFirstRow(t, x(1) - 0.5));
    EXPECT_FALSE(leftOfFirstRow(t, x(1)));
    EXPECT_EQ(nearestRow(t, x(4) + 0.1), 4);
    EXPECT_EQ(nearestRow(t, x(5) - 0.1), 5);
    EXPECT_EQ(nearestRow(t, (x(4) + x(5)) / 2), 5);
    EXPECT_EQ(nearestRow(t, x(6) + 0.01), 0); // no row right of x
    EXPECT_TRUE(leftOfFirstRow(ReadingTable{}, 0.0));
}

// The plot areas of both viewers and the read-out's lines.
TEST(PlotFrames, PlotAreasAndReadOutPositions) {
    const struct {
        double x, y;
        bool crossSection, fraction, cursor;
    } pointers[] = {{0.0, 0.0, true, true, false},     {11.5, 18.5, true, false, false},
                    {-0.01, 5.0, false, false, false}, {5.0, 18.6, false, false, false},
                    {9.9, 16.0, true, false, true},    {9.903, 5.0, true, true, false},
                    {5.0, 10.0, true, true, true},     {11.6, 5.0, false, false, false}};
    for (const auto& p : pointers) {
        EXPECT_EQ(overCrossSectionPlot(p.x, p.y), p.crossSection) << p.x << " " << p.y;
        EXPECT_EQ(overFractionPlot(p.x, p.y), p.fraction) << p.x << " " << p.y;
        EXPECT_EQ(cursorInside(p.x, p.y), p.cursor) << p.x << " " << p.y;
    }
    EXPECT_DOUBLE_EQ(readOutX(0.001), std::log(0.001) + 6.909);
    EXPECT_DOUBLE_EQ(readOutTotalY(1.0), 9.212);
    EXPECT_DOUBLE_EQ(cursorY(1.0), 6.909);
    // The frames put 1 keV at the left of the plot and 100 MeV near its right end.
    const PixelPoint left = toPixel(crossSectionPlotFrame(), energyX(0.001), 0);
    EXPECT_NEAR(left.x, 1.5 / 13.5 * 525, 1e-9);
    EXPECT_LT(std::fabs(energyX(100.0) - crossSectionFrame::plotRight), 0.02);
    EXPECT_LT(std::fabs(toPixel(coefficientPlotFrame(), 0, coefficientFrame::plotTop).y -
                        0.5 / 18.5 * 513),
              1e-9);
}

} // namespace
} // namespace tarvo
