#include "common/number_format.h"
#include "common/numeric_text.h"
#include "splinetool/spline_tool.h"

#include <cstddef>
#include <cstdint>

// Any text as a typed number, a table field and an exponent-style field; the values then
// go through every number pattern.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double values[] = {tarvo::numericValue(text), tarvo::tableNumericValue(text),
                             tarvo::spline::readExponentField(text, 5).value_or(0.0f)};
    static const char* const patterns[] = {
        "0.000E+00", " 0.0000E+00", "0.00000E+00", "##.######", "#0.000###", "#0.000####", "000",
        "00",        "000.0",       "00.000000",   "0.000",     "0.00000",   "###"};
    for (double value : values) {
        for (const char* pattern : patterns) {
            tarvo::formatNumber(value, pattern);
        }
    }
    return 0;
}
