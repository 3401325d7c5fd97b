#pragma once

#include "common/data_directory.h"
#include "common/table_kinds.h"

#include <optional>
#include <string>

namespace tarvo {

// The kind of material table a file name's extension stands for; nothing for any other
// extension, an element table's included.
std::optional<TableKind> tableKindOf(const std::string& path);

// Where a new table goes: a bare file name into the data directory's folder of its kind,
// where the viewers list it; any other path as given.
std::string combinedTablePath(const DataDirectory& data, const std::string& out, TableKind kind);

// Where a new table at `path` in the data directory goes instead when that directory is an
// installation of the suite the user cannot write to (it holds "Tarvo.build"): the same
// place in the per-user run directory, which the viewers of such an installation use and
// the launcher's later copy keeps. Nothing where the table may stay where it is.
std::optional<std::string> userCopyTablePath(const DataDirectory& data, const std::string& path);

// Why a new table went to the per-user run directory, and how to read it there.
std::string userCopyNote(const DataDirectory& data);

// Makes the folder a new table goes into, and only that; false, with `error`, on failure.
bool makeTableFolder(const std::string& path, std::string& error);

// Why a new table may not be written to a path: a table the suite ships is never replaced,
// an existing file only when overwriting was asked for.
enum class WriteRefusal { none, shippedTable, exists };
WriteRefusal writeRefusal(const DataDirectory& data, const std::string& path, bool overwrite);

// The message of a refusal, naming the file; `howToOverwrite` says how to ask for it.
std::string refusalMessage(WriteRefusal refusal, const std::string& path,
                           const std::string& howToOverwrite);

// The path relative to the run directory ("mu_mix/Air.muc3") of a file in one of its table
// folders; empty where not.
std::string tableInRunDirectory(const DataDirectory& data, const std::string& path);

} // namespace tarvo
