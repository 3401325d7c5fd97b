#include "number_text.h"

#include "common/number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tarvo::cli {
namespace {

// Digits the fast path gives: the scaled value stays below 1e9, where the scaling moves it
// by less than 3e-7 (a power of ten rounded once, the product rounded once), far inside
// the margin kept from a tie; a value nearer a tie goes the slow, exact way.
constexpr int kFastDigits = 9;
constexpr double kTieMargin = 1e-6;
constexpr int kLowestPower = -308;
constexpr int kHighestPower = 308;

// 10^k for kLowestPower <= k <= kHighestPower, each the double nearest to it.
const std::array<double, kHighestPower - kLowestPower + 1>& powersOfTen() {
    static const auto powers = [] {
        std::array<double, kHighestPower - kLowestPower + 1> table{};
        for (int k = kLowestPower; k <= kHighestPower; ++k) {
            table[static_cast<size_t>(k - kLowestPower)] =
                static_cast<double>(std::pow(10.0L, static_cast<long double>(k)));
        }
        return table;
    }();
    return powers;
}

// Room for any number the routines below write.
constexpr std::size_t kLongest = 48;

char* writeSlow(char* out, double value, int digits) {
    char* end =
        std::to_chars(out, out + kLongest, value, std::chars_format::scientific, digits - 1).ptr;
    std::replace(out, end, 'e', 'E');
    return end;
}

char* writeExponent(char* out, int exponent) {
    *out++ = 'E';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    if (magnitude >= 100) {
        *out++ = static_cast<char>('0' + magnitude / 100);
    }
    *out++ = static_cast<char>('0' + magnitude / 10 % 10);
    *out++ = static_cast<char>('0' + magnitude % 10);
    return out;
}

// The digits as a whole number m of `digits` figures and the exponent, value ~ m 10^(e-digits+1);
// false where the value lies too near a tie to round it safely this way.
bool fastDigits(double magnitude, int digits, std::uint64_t& mantissa, int& exponent) {
    // floor(log10) from the binary exponent, right or one too low (the check below mends it);
    // read from the bits (a normal double: subnormals go the slow way) and floor(k log10 2)
    // as (k 78913) >> 18, exact for |k| < 1700.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &magnitude, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0) {
        return false;
    }
    const int binary = biased - 1023;
    exponent = (binary * 78913) >> 18;
    const auto& powers = powersOfTen();
    const auto power = [&](int k) { return powers[static_cast<size_t>(k - kLowestPower)]; };
    // Powers beyond the normal doubles are not held; such values go the slow way.
    if (std::abs(digits - exponent) > 306) {
        return false;
    }
    const double low = power(digits - 1);
    double x = magnitude * power(digits - 1 - exponent);
    if (x < low * (1 - 1e-9)) {
        return false;
    }
    if (x >= 10 * low) {
        ++exponent;
        x = magnitude * power(digits - 1 - exponent);
    }
    const auto whole = static_cast<std::uint64_t>(x);
    const double fraction = x - static_cast<double>(whole);
    if (std::fabs(fraction - 0.5) < kTieMargin) {
        return false;
    }
    mantissa = whole + (fraction > 0.5 ? 1 : 0);
    if (mantissa >= static_cast<std::uint64_t>(10 * low)) {
        mantissa /= 10;
        ++exponent;
    }
    return true;
}

char* writeScientific(char* out, double value, int digits) {
    if (!std::isfinite(value)) {
        const char* word = std::isnan(value) ? "nan" : value > 0 ? "inf" : "-inf";
        return std::copy(word, word + std::strlen(word), out);
    }
    std::uint64_t mantissa = 0;
    int exponent = 0;
    if (value == 0 || digits > kFastDigits ||
        !fastDigits(std::fabs(value), digits, mantissa, exponent)) {
        return writeSlow(out, value, digits);
    }
    if (value < 0) {
        *out++ = '-';
    }
    char figures[kFastDigits];
    for (int i = digits - 1; i >= 0; --i) {
        figures[i] = static_cast<char>('0' + mantissa % 10);
        mantissa /= 10;
    }
    *out++ = figures[0];
    if (digits > 1) {
        *out++ = '.';
        out = std::copy(figures + 1, figures + digits, out);
    }
    return writeExponent(out, exponent);
}

} // namespace

void appendScientific(std::string& text, double value, int digits) {
    char number[kLongest];
    text.append(number, writeScientific(number, value, std::clamp(digits, 1, 17)));
}

void appendShortest(std::string& text, double value) {
    text += shortestText(value);
}

} // namespace tarvo::cli
