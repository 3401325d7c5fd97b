#include "coefview/coefficient_table.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

// Any bytes as a coefficient table file: a table that loads holds only positive values.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    for (bool composition : {false, true}) {
        const auto table = tarvo::parseCoefficientTable(text, "fuzz.muc3", composition, error);
        if (!table) {
            continue;
        }
        for (int i = 1; i <= table->energyCount; ++i) {
            const tarvo::CoefficientRow& row = table->rows[static_cast<size_t>(i)];
            if (!(row.energy > 0 && row.attenuation > 0 && row.energyTransfer > 0 &&
                  row.energyAbsorption > 0 && std::isfinite(row.energy))) {
                __builtin_trap();
            }
        }
    }
    tarvo::parseCoefficientHeader(text, "fuzz.muc3", error);
    return 0;
}
