#pragma once

#include "common/material_source.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

// The two kinds of material table a combination writes: cross sections (.mix, .mix2,
// .mix3) for the cross-section viewer, coefficients (.mucm, .muc2, .muc3) for the
// coefficient viewer.
enum class TableKind { crossSections, coefficients };

// The kind of table a file name's extension stands for; nothing for any other extension.
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

// A table of the data directory that a new table would answer to a name together with:
// the new table's stem or own name is a key of the other (its stem, own name, or an
// element's symbol or atomic number), any case.
struct TableClash {
    std::string key;      // the shared text
    bool byStem = false;  // the new table's stem shares it (else its name)
    std::string existing; // the other table's path
    bool shipped = false; // the other table is one the suite ships
};

// The first clash of a new table to be written at `path` under `name`: with a table the suite
// ships always, with any other only when not `overwrite`; the file at `path` itself clashes
// with nothing, and a table outside the data directory's folders is found by its path alone.
std::optional<TableClash> clashOf(const DataDirectory& data, const std::string& path,
                                  const std::string& name, bool overwrite);

// The message of a clash: `stemChoice` and `nameChoice` say how to choose another file name
// or name, `howToOverwrite` how to let the tables share the name anyway.
std::string clashMessage(const TableClash& clash, const std::string& stemChoice,
                         const std::string& nameChoice, const std::string& howToOverwrite);

// The recipe the creators would take for a formula or a mixture request: a formula by its
// atoms as the compound creator reads it (cross sections), or as 100 weight % as the
// material creator reads it (coefficients); a mixture by weight. `notes` gets how a formula
// that reads two ways was read.
std::optional<Recipe> combinationRecipe(const DataDirectory& data, const MaterialRequest& request,
                                        TableKind kind, RequestError& error,
                                        std::vector<std::string>& notes);

// Combines the element tables of the data directory by the recipe and writes the table of
// `kind` to `path` with its name and density (g/cm3), as the creators write it; a formula
// (`compound`) keeps the compound creator's edge spacing. False, with `error` set, when it
// cannot.
bool writeCombinedTable(const DataDirectory& data, const Recipe& recipe, TableKind kind,
                        bool compound, const std::string& name, double density,
                        const std::string& path, std::string& error);

} // namespace tarvo
