#include "data_directory.h"

#include "common/run_directory.h"

#include <system_error>

namespace tarvo::cli {
namespace {

bool holdsTables(const std::filesystem::path& directory) {
    std::error_code ignored;
    return std::filesystem::is_directory(directory / "mu_ele", ignored) ||
           std::filesystem::is_directory(directory / "ele", ignored);
}

std::filesystem::path executableDirectory() {
    std::error_code ignored;
    return std::filesystem::canonical("/proc/self/exe", ignored).parent_path();
}

} // namespace

std::optional<std::filesystem::path> dataDirectory(const std::optional<std::string>& given,
                                                   std::string& error) {
    std::filesystem::path directory;
    if (given) {
        directory = std::filesystem::absolute(*given);
    } else {
        directory = executableDirectory();
        const std::filesystem::path copy = userRunDirectory();
        if (!isWritableDirectory(directory) && std::filesystem::exists(copy / "Tarvo.build")) {
            directory = copy;
        }
    }
    if (!holdsTables(directory)) {
        error = "no tables in \"" + directory.string() + "\" (use --data DIRECTORY)";
        return std::nullopt;
    }
    return directory;
}

} // namespace tarvo::cli
