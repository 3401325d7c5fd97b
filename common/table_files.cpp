#include "table_files.h"

#include "common/run_directory.h"
#include "common/shipped_tables.h"
#include "common/text_file.h"

#include <filesystem>
#include <system_error>

namespace tarvo {
// An installation's folders are links to its tables under share, so a file is placed by the
// folder it lies in, the links followed on both sides.
std::string tableInRunDirectory(const DataDirectory& data, const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path file = std::filesystem::absolute(path, ignored);
    const auto folder = std::filesystem::weakly_canonical(file.parent_path(), ignored);
    for (const TableFolders& kind : {kCrossSectionTables, kCoefficientTables}) {
        for (const std::string_view name : {kind.elementFolder, kind.materialFolder}) {
            if (folder == std::filesystem::weakly_canonical(data.path(name), ignored)) {
                return std::string(name) + '/' + file.filename().string();
            }
        }
    }
    return {};
}

std::optional<TableKind> tableKindOf(const std::string& path) {
    const auto extension = tableExtension(std::filesystem::path(path).extension().string());
    if (!extension || !extension->category) {
        return std::nullopt;
    }
    return extension->kind;
}

std::string combinedTablePath(const DataDirectory& data, const std::string& out, TableKind kind) {
    if (std::filesystem::path(out).has_parent_path()) {
        return out;
    }
    return data.path(formPath(std::string(tableFolders(kind).materialFolder), out));
}

std::optional<std::string> userCopyTablePath(const DataDirectory& data, const std::string& path) {
    std::error_code ignored;
    const std::string relative = tableInRunDirectory(data, path);
    const std::filesystem::path root = data.path(".");
    if (relative.empty() || isWritableDirectory(root) ||
        !std::filesystem::exists(root / "Tarvo.build", ignored)) {
        return std::nullopt;
    }
    return (userRunDirectory() / relative).string();
}

std::string userCopyNote(const DataDirectory& data) {
    return "the tables of \"" + (data.root().empty() ? std::string(".") : data.root().string()) +
           "\" cannot be written: the new table is in the per-user run directory \"" +
           userRunDirectory().string() +
           "\" that the viewers use (tarvo reads it by its path until the launcher has first "
           "copied the installation there)";
}

bool makeTableFolder(const std::string& path, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), code);
    if (code) {
        error = "cannot make the folder of \"" + path + "\": " + code.message();
        return false;
    }
    return true;
}

WriteRefusal writeRefusal(const DataDirectory& data, const std::string& path, bool overwrite) {
    if (isShippedTable(tableInRunDirectory(data, path))) {
        return WriteRefusal::shippedTable;
    }
    std::error_code ignored;
    return std::filesystem::exists(path, ignored) && !overwrite ? WriteRefusal::exists
                                                                : WriteRefusal::none;
}

std::string refusalMessage(WriteRefusal refusal, const std::string& path,
                           const std::string& howToOverwrite) {
    switch (refusal) {
    case WriteRefusal::shippedTable:
        return "\"" + nativePath(path) +
               "\" is a table the suite ships and is never replaced; choose another name";
    case WriteRefusal::exists:
        return "\"" + nativePath(path) + "\" exists; " + howToOverwrite;
    case WriteRefusal::none:
        break;
    }
    return {};
}

} // namespace tarvo
