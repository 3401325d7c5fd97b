#include "splinetool/spline_tool.h"

#include <cstddef>
#include <cstdint>

// Any bytes as the table the spline tool reads; the segments of a table that reads stay
// within its rows.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto table = tarvo::spline::readSplineTable(
        std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (!table) {
        return 0;
    }
    const auto segments = tarvo::spline::splitSegments(*table, error);
    if (segments) {
        int rows = 0;
        for (int s = 1; s <= segments->count; ++s) {
            rows += segments->size[static_cast<size_t>(s)];
        }
        if (rows != table->rowCount) {
            __builtin_trap();
        }
    }
    return 0;
}
