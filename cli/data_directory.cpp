#include "data_directory.h"

#include "common/data_directory.h"

#include <system_error>

namespace tarvo::cli {

std::optional<std::filesystem::path> dataDirectory(const std::optional<std::string>& given,
                                                   std::string& error) {
    std::error_code ignored;
    const auto directory =
        given ? tablesDirectory(*given, true, error)
              : tablesDirectory(std::filesystem::canonical("/proc/self/exe", ignored).parent_path(),
                                false, error);
    if (!directory) {
        error += " (use --data DIRECTORY)";
    }
    return directory;
}

} // namespace tarvo::cli
