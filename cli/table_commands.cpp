#include "commands.h"

#include "coefview/combine_coefficient_tables.h"
#include "common/elements.h"
#include "common/text_file.h"
#include "xsview/combine_element_tables.h"

#include <filesystem>
#include <map>
#include <ostream>

namespace tarvo::cli {
namespace {

struct ListedTable {
    std::string kind;
    std::string category;
    std::string name;
    double density = 0.0;
    std::string tables;
};

const char* categoryOf(const std::string& extension) {
    static const std::map<std::string, const char*> categories{
        {".mix", "human"},    {".mucm", "human"}, {".mix2", "phantom"},
        {".muc2", "phantom"}, {".mix3", "other"}, {".muc3", "other"}};
    const auto found = categories.find(extension);
    return found == categories.end() ? "" : found->second;
}

// Adds the tables of a directory with one of the extensions; `tables` names their kind.
void addTables(std::map<std::string, ListedTable>& listed, const DataDirectory& data,
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
            ListedTable& entry = listed[stem];
            entry.tables = entry.tables.empty() ? tables : entry.tables + "+" + tables;
            if (header) {
                entry = {kind, categoryOf(extension), header->name, header->density, entry.tables};
            }
        }
    }
}

} // namespace

int listTables(const std::string& which, const std::string& category, const CommandContext& c) {
    if ((!which.empty() && which != "elements" && which != "materials") ||
        (!category.empty() && category != "human" && category != "phantom" &&
         category != "other")) {
        return fail(c, "list takes elements or materials and --category human, phantom or other",
                    kUsageError);
    }
    std::map<std::string, ListedTable> listed;
    if (which != "materials" && category.empty()) {
        addTables(listed, c.data, "ele", {".ele"}, "element", "xs");
        addTables(listed, c.data, "mu_ele", {".mut"}, "element", "mu");
    }
    if (which != "elements") {
        addTables(listed, c.data, "mix", {".mix", ".mix2", ".mix3"}, "material", "xs");
        addTables(listed, c.data, "mu_mix", {".mucm", ".muc2", ".muc3"}, "material", "mu");
    }
    OutputTable table;
    table.material = "tables";
    table.columns = {{"stem", "Stem", ""},
                     {"kind", "Kind", ""},
                     {"category", "Category", ""},
                     {"name", "Name", ""},
                     {"density", "Density", "g/cm3"},
                     {"tables", "Tables", ""}};
    for (const auto& [stem, entry] : listed) {
        if (category.empty() || entry.category == category) {
            table.rows.push_back(
                {stem, entry.kind, entry.category, entry.name, entry.density, entry.tables});
        }
    }
    writeTable(c.out, table, c.format, c.digits);
    return table.rows.empty() ? kDataError : 0;
}

namespace {

enum class TableKind { crossSections, coefficients };

std::optional<TableKind> kindOf(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension == ".mix" || extension == ".mix2" || extension == ".mix3") {
        return TableKind::crossSections;
    }
    if (extension == ".mucm" || extension == ".muc2" || extension == ".muc3") {
        return TableKind::coefficients;
    }
    return std::nullopt;
}

// The recipe the creators would take: a formula by its atoms as the compound creator reads
// it, or as 100 weight % as the material creator reads it; a mixture by weight.
std::optional<Recipe> combinationRecipe(const DataDirectory& data, const MaterialRequest& request,
                                        TableKind kind, std::string& error,
                                        std::vector<std::string>& notes) {
    if (request.mixture.empty()) {
        const bool byAtoms = kind == TableKind::crossSections;
        std::string note;
        auto recipe = formulaRecipe(
            byAtoms ? request.formula : request.formula + " 100",
            byAtoms ? Weighting::byAtoms : Weighting::byWeight,
            [&data](int z) { return shippedAtomicWeight(data, z); }, error, note);
        if (!note.empty()) {
            notes.push_back(note);
        }
        if (!recipe) {
            error = "--formula " + error;
        }
        return recipe;
    }
    const auto composition = compositionOf(data, request, error, notes);
    return composition ? std::make_optional(recipeOf(*composition)) : std::nullopt;
}

bool writeCombined(const DataDirectory& data, const Recipe& recipe, TableKind kind, bool compound,
                   const std::string& name, double density, const std::string& path,
                   std::string& error) {
    if (kind == TableKind::coefficients) {
        const auto combined = combineCoefficientTables(data, recipe, error);
        return combined && writeMaterialCoefficientTable(path, name, density, combined->rows,
                                                         combined->composition, error);
    }
    // A formula is a compound, combined as the compound creator combines.
    const auto rows = combineElementTables(
        data, recipe, compound ? kCompoundEdgeFactor : kMixtureEdgeFactor, error);
    return rows && writeMaterialTable(path, name, density, *rows, error);
}

} // namespace

int combineTables(const MaterialRequest& request, const std::string& name, double density,
                  const std::string& out, const CommandContext& c) {
    const std::optional<TableKind> kind = kindOf(out);
    if (!kind || name.empty() || !(density > 0) || !request.name.empty()) {
        return fail(c,
                    "combine takes --formula or --mixture, a --name, a --density above 0 and "
                    "an --out ending in .mix, .mix2, .mix3, .mucm, .muc2 or .muc3",
                    kUsageError);
    }
    // A bare file name goes where the viewers list it.
    const std::string path =
        std::filesystem::path(out).has_parent_path()
            ? out
            : c.data.path(formPath(*kind == TableKind::coefficients ? "mu_mix" : "mix", out));
    std::string error;
    std::vector<std::string> notes;
    const auto recipe = combinationRecipe(c.data, request, *kind, error, notes);
    for (const std::string& note : notes) {
        c.err << "tarvo: note: " << note << '\n';
    }
    if (!recipe || !writeCombined(c.data, *recipe, *kind, request.mixture.empty(), name, density,
                                  path, error)) {
        return fail(c, error, kDataError);
    }
    c.out << "wrote " << nativePath(path) << '\n';
    return 0;
}

} // namespace tarvo::cli
