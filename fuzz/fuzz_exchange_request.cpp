#include "splinetool/spline_tool.h"

#include <cstddef>
#include <cstdint>

// Any bytes as "B2F.dat"; a request that reads holds a path of at most 30 characters.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string error;
    const auto request = tarvo::spline::readExchangeRequest(
        std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (request) {
        if (request->tablePath.size() > 30) {
            __builtin_trap();
        }
        tarvo::spline::gridSize(request->top, request->step);
    }
    return 0;
}
