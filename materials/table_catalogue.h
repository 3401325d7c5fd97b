#pragma once

#include "common/data_directory.h"

#include <string>
#include <vector>

namespace tarvo {

// Which tables a catalogue lists.
enum class TableSelection { all, elements, materials };

// One table of a run directory as a list shows it; a material's cross-section and
// coefficient tables share one entry.
struct CatalogueEntry {
    std::string stem;     // the file name without its extension ("82_Pb", "Water")
    std::string kind;     // "element" or "material"
    std::string category; // "human", "phantom" or "other"; empty for an element
    std::string name;     // the table's own name
    double density = 0.0; // g/cm3
    std::string tables;   // "xs", "mu" or "xs+mu": which of the two kinds exist
};

// The tables of the data directory, by stem; a category ("human", "phantom", "other")
// keeps materials of that category only, an empty one keeps every table.
std::vector<CatalogueEntry> catalogueTables(const DataDirectory& data, TableSelection selection,
                                            const std::string& category);

// The category of a material table's extension (".mix2": "phantom"); empty for any other.
std::string categoryOfExtension(const std::string& extension);

} // namespace tarvo
