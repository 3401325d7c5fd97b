#pragma once

#include <string_view>

namespace tarvo {

// Numeric value of a text box's text: blanks are ignored wherever they stand, then the
// longest leading decimal number (sign, digits, point, decimals, E exponent) is taken;
// a text that does not start with a number gives 0.
double numericValue(std::string_view text);

// Numeric value of a table field: as numericValue, but tabs and line ends are ignored as
// well and the exponent may be written with E or D.
double tableNumericValue(std::string_view text);

} // namespace tarvo
