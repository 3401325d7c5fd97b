#include "common/numeric_text.h"

#include <gtest/gtest.h>

#include <optional>

#include <cmath>

namespace tarvo {
namespace {

struct ParseCase {
    const char* text;
    double plain;
    double table;
};

class NumericValueTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(NumericValueTest, TakesTheLongestLeadingNumber) {
    const ParseCase& c = GetParam();
    EXPECT_DOUBLE_EQ(numericValue(c.text), c.plain) << '"' << c.text << '"';
    EXPECT_DOUBLE_EQ(tableNumericValue(c.text), c.table) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, NumericValueTest,
    ::testing::Values(ParseCase{"", 0, 0}, ParseCase{"abc", 0, 0}, ParseCase{"0.662", 0.662, 0.662},
                      ParseCase{" 1 . 5 ", 1.5, 1.5}, ParseCase{"-2.5e-3", -2.5e-3, -2.5e-3},
                      ParseCase{"+7", 7, 7}, ParseCase{".5", 0.5, 0.5}, ParseCase{"5.", 5, 5},
                      ParseCase{"1.5E", 1.5, 1.5}, ParseCase{"1.5E+", 1.5, 1.5},
                      ParseCase{"12abc", 12, 12}, ParseCase{"1.2.3", 1.2, 1.2},
                      ParseCase{"4.076E+03", 4076, 4076}, ParseCase{"1.0D-3", 1.0, 1.0e-3},
                      ParseCase{"1\t2", 1, 12}, ParseCase{"3\r\n", 3, 3},
                      ParseCase{"0.10000E-02", 0.001, 0.001}, ParseCase{"-", 0, 0},
                      ParseCase{"1E-999", 0, 0}));

TEST(NumericValue, HugeExponentOverflowsToInfinityWithoutFailing) {
    EXPECT_TRUE(std::isinf(numericValue("1E999")));
}

// Shares, counts and energies that scripts and formulas give: the whole text one finite
// number, nothing else.
TEST(StrictNumber, TakesOnlyAWholeFiniteNumber) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"1.5", 1.5},
        {"+2", 2.0},
        {"-0.25", -0.25},
        {"3e-2", 0.03},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {" 1", std::nullopt},
        {"1,5", std::nullopt},
        {"0x10", std::nullopt},
        {"", std::nullopt},
        {"1e400", std::nullopt},
        {"2 ", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(strictNumber(text), expected) << text;
    }
}

} // namespace
} // namespace tarvo
