#include "common/composition_row.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tarvo {
namespace {

// What a creator takes from its boxes: a number where it can stand in the table, nothing
// (with the reason where one is given) otherwise; a comma is never cut.
TEST(CreatorBoxes, AcceptTheNumbersATableCanHold) {
    const double none = std::numeric_limits<double>::quiet_NaN();
    const struct {
        const char* text;
        double density, count, atoms; // NaN: refused
    } boxes[] = {
        {"1.06", 1.06, 1.06, 1.06},  {"0.000001", 1e-6, 1e-6, 1e-6}, {"4e-7", none, 4e-7, 4e-7},
        {"0", none, none, none},     {"-2", none, none, none},       {"1,5", none, none, none},
        {"two", none, none, none},   {"16", 16.0, none, 16.0},       {"1e308", 1e308, none, none},
        {"1e999", none, none, none},
    };
    const auto expectRead = [](std::optional<double> read, double expected, const char* text) {
        EXPECT_EQ(read.has_value(), !std::isnan(expected)) << text;
        if (read && !std::isnan(expected)) {
            EXPECT_DOUBLE_EQ(*read, expected) << text;
        }
    };
    for (const auto& box : boxes) {
        std::string reason;
        expectRead(typedDensity(box.text, reason), box.density, box.text);
        expectRead(typedElementCount(box.text, 15), box.count, box.text);
        expectRead(typedAtomCount(box.text), box.atoms, box.text);
    }
    std::string reason;
    EXPECT_FALSE(typedDensity("4e-7", reason));
    EXPECT_NE(reason.find("0.000001 g/cm3"), std::string::npos) << reason;
    EXPECT_FALSE(typedDensity("-1", reason));
    EXPECT_TRUE(reason.empty());
    const struct {
        double count;
        int rows; // 0: refused
    } counts[] = {{2.5, 2}, {15.9, 15}, {16.0, 0}, {0.5, 0}, {none, 0}, {1e300, 0}};
    for (const auto& [count, rows] : counts) {
        EXPECT_EQ(rowsToCombine(count, 15, reason).value_or(0), rows) << count;
    }
}

} // namespace
} // namespace tarvo
