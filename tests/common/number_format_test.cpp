#include "common/number_format.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

struct FormatCase {
    double value;
    const char* pattern;
    const char* expected;
};

class FormatNumberTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumberTest, GivesTheWrittenForm) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(formatNumber(c.value, c.pattern), c.expected)
        << c.value << " with \"" << c.pattern << "\"";
}

INSTANTIATE_TEST_SUITE_P(Exponent, FormatNumberTest,
                         ::testing::Values(FormatCase{0.001, "0.000E+00", "1.000E-03"},
                                           FormatCase{0.0015, "0.000E+00", "1.500E-03"},
                                           FormatCase{100000, "0.000E+00", "1.000E+05"},
                                           FormatCase{12.34, " 0.000E+00", " 1.234E+01"},
                                           FormatCase{0.0, "0.000E+00", "0.000E+00"},
                                           FormatCase{0.0, " 0.000E+00", " 0.000E+00"},
                                           FormatCase{9.9995, "0.000E+00", "1.000E+01"},
                                           FormatCase{9.9994, "0.000E+00", "9.999E+00"},
                                           FormatCase{1.2345e-100, "0.000E+00", "1.235E-100"},
                                           FormatCase{-4076.4, "0.000E+00", "-4.076E+03"},
                                           FormatCase{0.001, "0.0000E+00", "1.0000E-03"},
                                           FormatCase{0.001, "0.00000E+00", "1.00000E-03"},
                                           FormatCase{1.0, "   0.000E+00", "   1.000E+00"},
                                           FormatCase{500.0, "0.000E+00", "5.000E+02"},
                                           FormatCase{0.0234, "0.000E+00", "2.340E-02"},
                                           FormatCase{4242.4, " 0.0000E+00", " 4.2424E+03"}));

INSTANTIATE_TEST_SUITE_P(
    Fixed, FormatNumberTest,
    ::testing::Values(
        FormatCase{0.5, "##.######", ".5"}, FormatCase{1.0, "##.######", "1."},
        FormatCase{0.001205, "##.######", ".001205"}, FormatCase{1.06, "##.######", "1.06"},
        FormatCase{11.35, "##.######", "11.35"}, FormatCase{0.00120479, "##.######", ".001205"},
        FormatCase{1.0, "#0.000###", "1.000"}, FormatCase{0.001205, "#0.000###", "0.001205"},
        FormatCase{0.00120479, "#0.000###", "0.001205"}, FormatCase{1.06, "#0.000####", "1.060"},
        FormatCase{0.00120479, "#0.000####", "0.0012048"}, FormatCase{19.3, "#0.000###", "19.300"},
        FormatCase{80, "000", "080"}, FormatCase{1000, "000", "1000"}, FormatCase{4, "00", "04"},
        FormatCase{1, "00", "01"}, FormatCase{500, "000.0", "500.0"},
        FormatCase{0.5, "000.0", "000.5"}, FormatCase{0.26, "000.0", "000.3"},
        FormatCase{0.25, "000.0", "000.3"}, FormatCase{1.06, "00.000000", "01.060000"},
        FormatCase{0.001205, "00.000000", "00.001205"},
        FormatCase{0.101172, "0.000000", "0.101172"}, FormatCase{1.0 / 0.9, "0.000", "1.111"},
        FormatCase{0.0006, "0.000", "0.001"}, FormatCase{0.00049, "0.000", "0.000"},
        FormatCase{0.101172, "0.00000", "0.10117"}, FormatCase{1.0005, "0.000", "1.001"},
        FormatCase{999.96, "000.0", "1000.0"}, FormatCase{80, "###", "80"},
        FormatCase{150, "###", "150"}));

} // namespace
} // namespace tarvo
