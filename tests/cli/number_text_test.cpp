#include "cli/number_text.h"
#include "cli/output_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <string>

namespace tarvo::cli {
namespace {

// The correctly rounded text the standard library gives, with the exponent's "E".
std::string reference(double value, int digits) {
    char text[64];
    char* end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, digits - 1)
            .ptr;
    std::replace(text, end, 'e', 'E');
    return {text, end};
}

// The fast formatting agrees with the correctly rounded one everywhere: on values typed in
// decimal (whose last digit sits on a tie), at powers of ten and their neighbours, at the
// ends of the double range, and on random values of every magnitude.
TEST(NumberText, ScientificTextIsCorrectlyRounded) {
    std::vector<double> values{0.0,
                               -0.0,
                               1.0,
                               9.9995,
                               9.99949999,
                               0.12345,
                               1.2345,
                               2.5e-5,
                               1e-300,
                               4.9e-324,
                               1.7976931348623157e308,
                               1e22,
                               1e23,
                               0.5305,
                               -6.323e-2,
                               123456789.5,
                               0.000999999999,
                               5e-310};
    std::mt19937_64 generator(20261209);
    std::uniform_real_distribution<double> exponent(-40.0, 40.0);
    std::uniform_int_distribution<int> decimals(1, 999999);
    for (int i = 0; i < 20000; ++i) {
        values.push_back(std::pow(10.0, exponent(generator)));
        // A decimal of a few digits ending in 5: a tie at one digit fewer.
        values.push_back((decimals(generator) * 10 + 5) * std::pow(10.0, (i % 30) - 20));
        values.push_back(std::nextafter(std::pow(10.0, i % 40 - 20), 0.0));
    }
    for (const double value : values) {
        for (int digits = 1; digits <= 17; ++digits) {
            std::string text;
            appendScientific(text, value, digits);
            ASSERT_EQ(text, reference(value, digits)) << value << " to " << digits;
        }
    }
    std::string special;
    for (const double value : {NAN, INFINITY, -INFINITY}) {
        appendScientific(special, value, 4);
        special += ' ';
    }
    EXPECT_EQ(special, "nan inf -inf ");
}

// Every byte that is no part of a valid UTF-8 character, and every control character, is
// shown as U+FFFD; valid text passes unchanged.
TEST(NumberText, PrintableKeepsValidTextAndMarksTheRest) {
    const std::pair<std::string, std::string> cases[] = {
        {"H₂O, ＰＭＭＡ", "H₂O, ＰＭＭＡ"},
        {"H\xE2O", "H\xEF\xBF\xBDO"},
        {"line\nbreak", "line\xEF\xBF\xBD"
                        "break"},
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xED\xA0\x80", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"}};
    for (const auto& [given, shown] : cases) {
        EXPECT_EQ(printable(given), shown) << given;
    }
}

} // namespace
} // namespace tarvo::cli
