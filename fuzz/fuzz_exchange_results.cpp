#include "coefview/equal_interval.h"
#include "coefview/spline_exchange.h"

#include <cstddef>
#include <cstdint>

// Any bytes as "F2B.dat", asked for as many points as the first byte says.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const int points = data[0] * 4;
    const auto values = tarvo::readExchangeResults(
        std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1), points);
    if (values && values->size() != static_cast<size_t>(points)) {
        __builtin_trap();
    }
    return 0;
}
