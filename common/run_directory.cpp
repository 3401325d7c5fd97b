#include "run_directory.h"

#include "common/text_file.h"

#include <cstdlib>
#include <system_error>

#include <unistd.h>

namespace tarvo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBuildStamp = "Tarvo.build";

std::string stampOf(const fs::path& directory) {
    std::string error;
    return readTextFile((directory / kBuildStamp).string(), error).value_or("");
}

} // namespace

fs::path userRunDirectory() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && *dataHome == '/') {
        return fs::path(dataHome) / "tarvo";
    }
    const char* home = std::getenv("HOME");
    return fs::path(home != nullptr ? home : ".") / ".local" / "share" / "tarvo";
}

bool isWritableDirectory(const fs::path& directory) {
    return ::access(directory.c_str(), W_OK | X_OK) == 0;
}

std::optional<fs::path> refreshUserCopy(const fs::path& installed, const fs::path& copy,
                                        std::string& error) {
    const std::string stamp = stampOf(installed);
    if (fs::exists(copy / "Tarvo_V7S") && !stamp.empty() && stampOf(copy) == stamp) {
        return copy;
    }
    std::error_code code;
    fs::create_directories(copy, code);
    // Programs and shipped tables are replaced; files only the copy has are kept.
    fs::copy(installed, copy, fs::copy_options::recursive | fs::copy_options::overwrite_existing,
             code);
    if (code) {
        error =
            "cannot copy " + installed.string() + " to " + copy.string() + ": " + code.message();
        return std::nullopt;
    }
    for (const auto& entry : fs::recursive_directory_iterator(copy, code)) {
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, code);
    }
    fs::permissions(copy, fs::perms::owner_all, fs::perm_options::add, code);
    return copy;
}

} // namespace tarvo
