#include "data_directory.h"

#include "common/run_directory.h"
#include "common/table_kinds.h"
#include "common/text_file.h"

#include <system_error>

namespace tarvo {
namespace {

bool holdsTables(const std::filesystem::path& directory) {
    std::error_code ignored;
    return std::filesystem::is_directory(directory / kCoefficientTables.elementFolder, ignored) ||
           std::filesystem::is_directory(directory / kCrossSectionTables.elementFolder, ignored);
}

} // namespace

std::optional<std::filesystem::path> tablesDirectory(const std::filesystem::path& given, bool named,
                                                     std::string& error) {
    std::error_code ignored;
    std::filesystem::path directory = std::filesystem::absolute(given, ignored);
    if (!named) {
        const std::filesystem::path copy = userRunDirectory();
        if (!isWritableDirectory(directory) && std::filesystem::exists(copy / "Tarvo.build")) {
            directory = copy;
        }
    }
    if (!holdsTables(directory)) {
        error = "no tables in \"" + directory.string() + "\"";
        return std::nullopt;
    }
    return directory;
}

std::string DataDirectory::path(std::string_view relative) const {
    if (m_root.empty()) {
        return std::string(relative);
    }
    std::string native = nativePath(relative);
    if (native.empty() || native.front() == '/') {
        return (m_root / native).string();
    }
    // Joined as text, as the path operator joins a relative path: every lookup makes paths.
    std::string joined = m_root.native();
    if (joined.back() != '/') {
        joined += '/';
    }
    return joined + native;
}

} // namespace tarvo
