#pragma once

#include "common/table_files.h"
#include "materials/material_source.h"

#include <optional>
#include <string>
#include <vector>

namespace tarvo {

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
