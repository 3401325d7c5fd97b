#include "number_format.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tarvo {
namespace {

// A finite value as sign, significant digits and a decimal exponent:
// value = 0.d1 d2 d3 ... x 10^pointPosition. The shortest decimal form that reads back
// as the same double supplies the digits (at most 17).
struct DecimalDigits {
    bool negative = false;
    std::array<char, 24> digits{};
    int count = 0; // no leading or trailing zeros; 0 for zero
    int pointPosition = 0;

    char at(int index) const { return index >= 0 && index < count ? digits[index] : '0'; }
};

DecimalDigits toDecimal(double value) {
    DecimalDigits result;
    std::array<char, 40> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(),
                                            std::fabs(value), std::chars_format::scientific);
    if (error != std::errc{}) {
        return result;
    }
    const char* c = buffer.data();
    for (; c != end && *c != 'e'; ++c) {
        if (*c != '.') {
            result.digits[static_cast<size_t>(result.count++)] = *c;
        }
    }
    int exponent = 0;
    std::from_chars(c + (c[1] == '+' ? 2 : 1), end, exponent);
    result.pointPosition = exponent + 1;
    while (result.count > 0 && result.digits[static_cast<size_t>(result.count - 1)] == '0') {
        --result.count;
    }
    result.negative = std::signbit(value) && result.count > 0;
    return result;
}

// Keeps the first `kept` digits (kept may be zero or negative), rounding half away from zero.
void roundToDigits(DecimalDigits& number, int kept) {
    if (kept >= number.count) {
        return;
    }
    if (kept < 0) {
        number.count = 0;
    } else {
        const bool roundUp = number.digits[static_cast<size_t>(kept)] >= '5';
        number.count = kept;
        int i = kept - 1;
        while (roundUp && i >= 0 && number.digits[static_cast<size_t>(i)] == '9') {
            --i;
        }
        if (roundUp && i >= 0) {
            ++number.digits[static_cast<size_t>(i)];
            number.count = i + 1;
        } else if (roundUp) {
            number.digits[0] = '1';
            number.count = 1;
            ++number.pointPosition;
        }
        while (number.count > 0 && number.digits[static_cast<size_t>(number.count - 1)] == '0') {
            --number.count;
        }
    }
    number.negative = number.negative && number.count > 0;
}

void appendScientific(std::string& text, double value, int decimals, int exponentDigits) {
    DecimalDigits number = toDecimal(value);
    roundToDigits(number, decimals + 1);
    if (number.negative) {
        text.push_back('-');
    }
    text.push_back(number.at(0));
    text.push_back('.');
    for (int i = 1; i <= decimals; ++i) {
        text.push_back(number.at(i));
    }
    const int exponent = number.count == 0 ? 0 : number.pointPosition - 1;
    text += exponent < 0 ? "E-" : "E+";
    std::array<char, 8> exponentText{};
    const auto [end, error] = std::to_chars(
        exponentText.data(), exponentText.data() + exponentText.size(), std::abs(exponent));
    const int length = static_cast<int>(end - exponentText.data());
    text.append(static_cast<size_t>(exponentDigits > length ? exponentDigits - length : 0), '0');
    text.append(exponentText.data(), static_cast<size_t>(length));
}

struct FixedLayout {
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool point = false;
};

FixedLayout fixedLayoutOf(std::string_view pattern) {
    FixedLayout layout;
    bool afterPoint = false;
    for (char c : pattern) {
        if (c == '.') {
            afterPoint = layout.point = true;
        } else if (!afterPoint) {
            layout.minIntegerDigits += c == '0' ? 1 : 0;
        } else {
            layout.minDecimals += c == '0' ? 1 : 0;
            layout.maxDecimals += (c == '0' || c == '#') ? 1 : 0;
        }
    }
    return layout;
}

void appendFixed(std::string& text, double value, const FixedLayout& layout) {
    DecimalDigits number = toDecimal(value);
    roundToDigits(number, number.pointPosition + layout.maxDecimals);
    if (number.negative) {
        text.push_back('-');
    }
    const int integerDigits = number.pointPosition > 0 ? number.pointPosition : 0;
    if (integerDigits < layout.minIntegerDigits) {
        text.append(static_cast<size_t>(layout.minIntegerDigits - integerDigits), '0');
    }
    for (int i = 0; i < integerDigits; ++i) {
        text.push_back(number.at(i));
    }
    if (!layout.point) {
        return;
    }
    text.push_back('.');
    int decimals = layout.maxDecimals;
    while (decimals > layout.minDecimals && number.at(number.pointPosition + decimals - 1) == '0') {
        --decimals;
    }
    for (int i = 0; i < decimals; ++i) {
        text.push_back(number.at(number.pointPosition + i));
    }
}

} // namespace

void appendNumber(std::string& text, double value, std::string_view pattern) {
    size_t lead = 0;
    while (lead < pattern.size() && pattern[lead] == ' ') {
        ++lead;
    }
    text.append(lead, ' ');
    const std::string_view body = pattern.substr(lead);
    if (!std::isfinite(value)) {
        text += std::isnan(value) ? "NaN" : (value < 0 ? "-Inf" : "Inf");
        return;
    }
    size_t exponentAt = 0;
    while (exponentAt < body.size() && body[exponentAt] != 'E' && body[exponentAt] != 'e') {
        ++exponentAt;
    }
    if (exponentAt == body.size()) {
        appendFixed(text, value, fixedLayoutOf(body));
        return;
    }
    const size_t point = body.find('.');
    const int decimals = point < exponentAt ? static_cast<int>(exponentAt - point - 1) : 0;
    const int exponentDigits = static_cast<int>(body.size() - exponentAt) - 2;
    appendScientific(text, value, decimals, exponentDigits);
}

std::string formatNumber(double value, std::string_view pattern) {
    std::string text;
    appendNumber(text, value, pattern);
    return text;
}

std::string densityProblem(double density) {
    if (!(density > 0.0) || !std::isfinite(density)) {
        return "the density must be a positive number";
    }
    if (formatNumber(density, "0.000000") == "0.000000") {
        return "the density " + formatNumber(density, "0.000E+00") +
               " g/cm3 is below the smallest a table holds, 0.000001 g/cm3";
    }
    return {};
}

std::string shortestText(double value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    return std::string(text, written.ptr);
}

} // namespace tarvo
