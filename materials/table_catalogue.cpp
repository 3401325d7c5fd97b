#include "table_catalogue.h"

#include "coefview/coefficient_table.h"
#include "common/table_kinds.h"
#include "common/text_file.h"
#include "xsview/cross_section_table.h"

#include <map>
#include <string_view>
#include <vector>

namespace tarvo {
namespace {

// Adds the tables of a directory with one of the extensions; `tables` names their kind.
void addTables(std::map<std::string, CatalogueEntry>& listed, const DataDirectory& data,
               std::string_view directory, const std::vector<std::string_view>& extensions,
               const std::string& kind, const std::string& tables) {
    for (const std::string_view extension : extensions) {
        for (const std::string& file : listFiles(data.path(directory), std::string(extension))) {
            const std::string stem = file.substr(0, file.size() - extension.size());
            const std::string path = data.path(formPath(std::string(directory), file));
            std::string error;
            const auto header = kind == "element" || tables == "mu"
                                    ? readCoefficientHeader(path, error)
                                    : readTableHeader(path, error);
            // A material's tables of one category share an entry; a stem in two categories
            // is two tables.
            const std::string category = categoryOfExtension(std::string(extension));
            CatalogueEntry& entry = listed[stem + '\n' + category];
            entry.stem = stem;
            entry.tables = entry.tables.empty() ? tables : entry.tables + "+" + tables;
            if (header) {
                entry.kind = kind;
                entry.category = category;
                entry.name = header->name;
                entry.density = header->density;
            }
        }
    }
}

} // namespace

std::string categoryOfExtension(const std::string& extension) {
    const auto table = tableExtension(extension);
    if (!table || !table->category) {
        return {};
    }
    return std::string(kCategoryNames[static_cast<std::size_t>(categoryIndex(*table->category))]);
}

std::vector<CatalogueEntry> catalogueTables(const DataDirectory& data, TableSelection selection,
                                            const std::string& category) {
    std::map<std::string, CatalogueEntry> listed;
    if (selection != TableSelection::materials && category.empty()) {
        addTables(listed, data, kCrossSectionTables.elementFolder,
                  {kCrossSectionTables.elementExtension}, "element", "xs");
        addTables(listed, data, kCoefficientTables.elementFolder,
                  {kCoefficientTables.elementExtension}, "element", "mu");
    }
    if (selection != TableSelection::elements) {
        addTables(listed, data, kCrossSectionTables.materialFolder,
                  {kCrossSectionTables.materialExtensions.begin(),
                   kCrossSectionTables.materialExtensions.end()},
                  "material", "xs");
        addTables(listed, data, kCoefficientTables.materialFolder,
                  {kCoefficientTables.materialExtensions.begin(),
                   kCoefficientTables.materialExtensions.end()},
                  "material", "mu");
    }
    std::vector<CatalogueEntry> entries;
    for (auto& [stem, entry] : listed) {
        if (category.empty() || entry.category == category) {
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

} // namespace tarvo
