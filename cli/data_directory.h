#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace tarvo::cli {

// The run directory whose tables the tool reads: `given` (--data) when set; else the
// directory of the executable, or the per-user copy of a read-only installation where one
// was made (it holds the tables the user created). Nothing, with `error` set, when the
// directory holds no tables.
std::optional<std::filesystem::path> dataDirectory(const std::optional<std::string>& given,
                                                   std::string& error);

} // namespace tarvo::cli
