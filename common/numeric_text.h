#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Numeric value of a text box's text: blanks are ignored wherever they stand, then the
// longest leading decimal number (sign, digits, point, decimals, E exponent) is taken;
// a text that does not start with a number gives 0.
double numericValue(std::string_view text);

// Numeric value of a table field: as numericValue, but tabs and line ends are ignored as
// well and the exponent may be written with E or D.
double tableNumericValue(std::string_view text);

// Whether a box's text, blanks ignored, starts with a decimal number (numericValue reads a
// number from it, not the 0 of a text that is none).
bool startsWithNumber(std::string_view text);

// Whether a box's text holds a comma: "1,5" would read as 1, so such a text is refused
// rather than cut.
bool holdsComma(std::string_view text);

// A whole text as one finite decimal number (a leading "+" allowed, no blanks, no
// "inf" or "nan"): how scripts and formulas give shares, counts and energies. Nothing when
// the text holds anything else.
std::optional<double> strictNumber(std::string_view text);

// The text without the blanks, tabs and carriage returns around it.
std::string_view trimBlanks(std::string_view text);

// A text a message quotes: as it is up to 80 bytes, else its first 60 (whole UTF-8
// characters) and its length, so that a message never fills a screen.
std::string elided(std::string_view text);

// Whether two texts are the same but for the case of ASCII letters.
bool sameTextAnyCase(std::string_view a, std::string_view b);

// numericValue (or tableNumericValue, `tableStyle`) of a box's text, but not a number (NaN)
// where the text holds a comma, so that no range admits "1,5" as 1.
double boxNumericValue(std::string_view text, bool tableStyle = false);

} // namespace tarvo
