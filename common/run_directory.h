#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarvo {

// Where a read-only installation runs from: a per-user copy of its run directory under the
// XDG data directory ($XDG_DATA_HOME/tarvo, else ~/.local/share/tarvo).
std::filesystem::path userRunDirectory();

// Whether the programs may write new tables beside themselves in `directory`.
bool isWritableDirectory(const std::filesystem::path& directory);

// Brings the per-user copy up to date with the installed run directory: the programs and
// the shipped tables are copied when the copy is missing or was made from another build
// (told by the file "Tarvo.build"); tables the user created there stay. Nothing, with
// `error` set, on failure; else the copy's directory.
std::optional<std::filesystem::path> refreshUserCopy(const std::filesystem::path& installed,
                                                     const std::filesystem::path& copy,
                                                     std::string& error);

} // namespace tarvo
