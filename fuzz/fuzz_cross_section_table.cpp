#include "xsview/cross_section_table.h"

#include <cstddef>
#include <cstdint>

// Any bytes as a cross-section table file: parse without crashing or reading past a row.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto table = tarvo::parseCrossSectionTable(text, "fuzz.mix", error);
    if (table && (table->rowCount < 1 || table->rowCount > tarvo::kMaxCrossSectionRows)) {
        __builtin_trap();
    }
    tarvo::parseTableHeader(text, "fuzz.mix", error);
    return 0;
}
