#include "tools/reference_data.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

namespace tarvo::tools {
namespace {

using testing::WorkingDirectory;
using testing::writeBytes;

TEST(SplitCsvLine, KeepsCommasInsideQuotes) {
    EXPECT_EQ(splitCsvLine("Blood_Whole,Human tissues,1.06,\"Blood, Whole (ICRU-44)\",x"),
              (std::vector<std::string>{"Blood_Whole", "Human tissues", "1.06",
                                        "Blood, Whole (ICRU-44)", "x"}));
    EXPECT_EQ(splitCsvLine("1.000e-03,4.078e+03,4.065e+03").size(), 3U);
}

// Z = 6 with one edge, three energies; barns become cm2/g with the file's atomic weight.
TEST(ReadXcomElement, ReadsEdgesEnergiesAndConvertsUnits) {
    WorkingDirectory directory;
    writeBytes("MDATX3.006", "     6   12.011000\n     1     4\n     3\n K\n   2000.0\n"
                             " 1.00000E+03 1.99990E+03 2.00000E+03 1.00000E+06\n"
                             " 10 10 10 10\n 20 20 20 20\n 1000 100 800 1\n 0 0 0 0\n 0 0 0 5\n"
                             " 9.9 9.9\n");
    std::string error;
    const auto carbon = readXcomElement("MDATX3.006", error);
    ASSERT_TRUE(carbon) << error;
    EXPECT_EQ(carbon->atomicWeightText, "12.011");
    ASSERT_EQ(carbon->edges.size(), 1U);
    EXPECT_EQ(carbon->edges[0].label, "K");
    EXPECT_DOUBLE_EQ(carbon->edges[0].energy, 0.002);
    EXPECT_EQ(carbon->edges[0].upperRow, 2U);
    EXPECT_EQ(carbon->upperEdgeRow, (std::vector<bool>{false, false, true, false}));
    ASSERT_EQ(carbon->rows.size(), 4U);
    EXPECT_DOUBLE_EQ(carbon->rows[1].energy, 0.0019999);
    EXPECT_DOUBLE_EQ(carbon->rows[0].values[0], 10 * 0.60221367 / 12.011);
    EXPECT_DOUBLE_EQ(carbon->rows[2].values[2], 800 * 0.60221367 / 12.011);
    EXPECT_DOUBLE_EQ(carbon->rows[3].values[4], 5 * 0.60221367 / 12.011);
}

TEST(SinglePrecisionText, IsTheShortestDecimalOfTheStoredNumber) {
    EXPECT_EQ(singlePrecisionText(207.199997), "207.2");
    EXPECT_EQ(singlePrecisionText(63.546001), "63.546");
    EXPECT_EQ(singlePrecisionText(51.995998), "51.996");
    EXPECT_EQ(singlePrecisionText(1.00794), "1.00794");
}

// xraylib's density where it agrees within 1 % with more digits, else the published one.
TEST(RefinedDensity, TakesFullPrecisionOnlyWhereItAgrees) {
    const struct {
        int z;
        double published;
        double expected;
    } cases[] = {{82, 11.4, 11.35}, {92, 19.0, 18.95},     {26, 7.87, 7.874}, {80, 13.6, 13.546},
                 {6, 1.70, 1.70},   {1, 8.38e-5, 8.38e-5}, {87, 10.0, 10.0},  {85, 10.0, 10.0}};
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(refinedDensity(c.z, c.published), c.expected) << "Z = " << c.z;
    }
}

TEST(ReadXcomElement, RefusesATruncatedFile) {
    WorkingDirectory directory;
    writeBytes("MDATX3.006", "     6   12.011000\n     0    80\n 1.0E+03\n");
    std::string error;
    EXPECT_EQ(readXcomElement("MDATX3.006", error), std::nullopt);
    EXPECT_NE(error.find("MDATX3.006"), std::string::npos);
}

} // namespace
} // namespace tarvo::tools
