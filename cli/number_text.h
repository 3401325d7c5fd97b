#pragma once

#include <string>

namespace tarvo::cli {

// Appends `value` with `digits` (1 to 17) significant digits in exponent form, correctly
// rounded: 6.323E-02; "nan", "inf" and "-inf" for values that are no number.
void appendScientific(std::string& text, double value, int digits);

// Appends the shortest decimal text that reads back as exactly `value` (for JSON).
void appendShortest(std::string& text, double value);

} // namespace tarvo::cli
