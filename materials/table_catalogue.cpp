#include "table_catalogue.h"

#include "coefview/coefficient_table.h"
#include "common/text_file.h"
#include "xsview/cross_section_table.h"

#include <initializer_list>
#include <map>

namespace tarvo {
namespace {

// Adds the tables of a directory with one of the extensions; `tables` names their kind.
void addTables(std::map<std::string, CatalogueEntry>& listed, const DataDirectory& data,
               const std::string& directory, std::initializer_list<const char*> extensions,
               const std::string& kind, const std::string& tables) {
    for (const char* extension : extensions) {
        for (const std::string& file : listFiles(data.path(directory), extension)) {
            const std::string stem = file.substr(0, file.size() - std::string(extension).size());
            const std::string path = data.path(formPath(directory, file));
            std::string error;
            const auto header = kind == "element" || tables == "mu"
                                    ? readCoefficientHeader(path, error)
                                    : readTableHeader(path, error);
            // A material's tables of one category share an entry; a stem in two categories
            // is two tables.
            CatalogueEntry& entry = listed[stem + '\n' + categoryOfExtension(extension)];
            entry.stem = stem;
            entry.tables = entry.tables.empty() ? tables : entry.tables + "+" + tables;
            if (header) {
                entry.kind = kind;
                entry.category = categoryOfExtension(extension);
                entry.name = header->name;
                entry.density = header->density;
            }
        }
    }
}

} // namespace

std::string categoryOfExtension(const std::string& extension) {
    static const std::map<std::string, std::string> categories{
        {".mix", "human"},    {".mucm", "human"}, {".mix2", "phantom"},
        {".muc2", "phantom"}, {".mix3", "other"}, {".muc3", "other"}};
    const auto found = categories.find(extension);
    return found == categories.end() ? std::string() : found->second;
}

std::vector<CatalogueEntry> catalogueTables(const DataDirectory& data, TableSelection selection,
                                            const std::string& category) {
    std::map<std::string, CatalogueEntry> listed;
    if (selection != TableSelection::materials && category.empty()) {
        addTables(listed, data, "ele", {".ele"}, "element", "xs");
        addTables(listed, data, "mu_ele", {".mut"}, "element", "mu");
    }
    if (selection != TableSelection::elements) {
        addTables(listed, data, "mix", {".mix", ".mix2", ".mix3"}, "material", "xs");
        addTables(listed, data, "mu_mix", {".mucm", ".muc2", ".muc3"}, "material", "mu");
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
