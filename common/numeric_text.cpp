#include "numeric_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace tarvo {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest leading part of `text` that forms a decimal number.
size_t numberLength(std::string_view text, bool allowD) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return 0;
    }
    if (i < text.size()) {
        const char marker = text[i];
        if (marker == 'E' || marker == 'e' || (allowD && (marker == 'D' || marker == 'd'))) {
            size_t j = i + 1;
            if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
                ++j;
            }
            const size_t exponentStart = j;
            while (j < text.size() && isDigit(text[j])) {
                ++j;
            }
            if (j > exponentStart) {
                i = j;
            }
        }
    }
    return i;
}

enum class Ignored { Blanks, BlanksTabsLineEnds };

bool isIgnored(char c, Ignored ignored) {
    return c == ' ' ||
           (ignored == Ignored::BlanksTabsLineEnds && (c == '\t' || c == '\r' || c == '\n'));
}

// Converts a complete decimal number (sign, mantissa, optional exponent marked E or D).
double convertNumber(std::string_view number) {
    std::string spelled;
    size_t marker = std::string_view::npos;
    for (size_t i = 0; i < number.size() && marker == std::string_view::npos; ++i) {
        const char c = number[i];
        marker = (c == 'D' || c == 'd' || c == 'E' || c == 'e') ? i : marker;
    }
    if (marker != std::string_view::npos && (number[marker] == 'D' || number[marker] == 'd')) {
        spelled = number;
        spelled[marker] = 'E';
        number = spelled;
    }
    const bool negative = number.front() == '-';
    const size_t skip = (number.front() == '+' || negative) ? 1 : 0;
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data() + skip, number.data() + number.size(),
                                              value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Decide between overflow and underflow by the sign of the exponent.
        const bool tiny =
            marker != std::string_view::npos && number.find('-', marker) != std::string_view::npos;
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (error != std::errc{}) {
        return 0.0;
    }
    return negative ? -value : value;
}

double parseNumber(std::string_view text, Ignored ignored, bool allowD) {
    std::string compact;
    bool hasIgnored = false;
    for (char c : text) {
        hasIgnored = hasIgnored || isIgnored(c, ignored);
    }
    if (hasIgnored) {
        for (char c : text) {
            if (!isIgnored(c, ignored)) {
                compact.push_back(c);
            }
        }
        text = compact;
    }
    const size_t length = numberLength(text, allowD);
    return length == 0 ? 0.0 : convertNumber(text.substr(0, length));
}

} // namespace

double numericValue(std::string_view text) {
    return parseNumber(text, Ignored::Blanks, false);
}

double tableNumericValue(std::string_view text) {
    return parseNumber(text, Ignored::BlanksTabsLineEnds, true);
}

bool startsWithNumber(std::string_view text) {
    std::string compact;
    for (char c : text) {
        if (!isIgnored(c, Ignored::Blanks)) {
            compact.push_back(c);
        }
    }
    return numberLength(compact, false) > 0;
}

bool holdsComma(std::string_view text) {
    return text.find(',') != std::string_view::npos;
}

double boxNumericValue(std::string_view text, bool tableStyle) {
    if (holdsComma(text)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return tableStyle ? tableNumericValue(text) : numericValue(text);
}

std::string_view trimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string elided(std::string_view text) {
    constexpr size_t kShown = 60;
    if (text.size() <= kShown + 20) {
        return std::string(text);
    }
    size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(text.substr(0, cut)) + "... (" + std::to_string(text.size()) +
           " characters)";
}

bool sameTextAnyCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<double> strictNumber(std::string_view text) {
    // from_chars takes no leading "+", which people write.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || problem != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace tarvo
