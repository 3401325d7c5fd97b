#include "common/plot_geometry.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace tarvo
