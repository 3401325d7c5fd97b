#include "common/table_reader.h"

#include <cstddef>
#include <cstdint>

// "Start.dat" and "ele\user.txt" as the two parts of the input around its first NUL byte.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t split = text.find('\0');
    const std::string_view marker = text.substr(0, split);
    const std::string_view user =
        split == std::string_view::npos ? std::string_view{} : text.substr(split + 1);
    tarvo::parseStartFiles(marker, user);
    return 0;
}
