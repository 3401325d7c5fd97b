#pragma once

#include <string>
#include <string_view>

namespace tarvo {

// Formats a value by one of the system's number patterns:
//   "0.000E+00", "0.0000E+00", "0.00000E+00"  one digit, point, decimals, signed exponent
//   "##.######", "#0.000###", "#0.000####"    optional integer digits, 3..7 decimals
//   "000", "00", "000.0", "00.000000", "0.000", "0.00000", "###"
// Blanks in front of a pattern are copied in front of the number. Rounding is half away
// from zero on the shortest decimal form of the value (0.0015 rounds to 0.002).
std::string formatNumber(double value, std::string_view pattern);

// The shortest decimal text that reads back as exactly `value` ("0.1", "-0.2", "1e+308").
std::string shortestText(double value);

// Appends formatNumber(value, pattern) to `text`.
void appendNumber(std::string& text, double value, std::string_view pattern);

// Why a density (g/cm3) cannot be written into a table's six-decimal density field (not a
// positive number, or so small that the field would round it to 0); empty when it can.
std::string densityProblem(double density);

} // namespace tarvo
