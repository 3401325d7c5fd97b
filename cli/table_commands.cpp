#include "commands.h"

#include "coefview/combine_coefficient_tables.h"
#include "common/elements.h"
#include "common/numeric_text.h"
#include "common/shipped_tables.h"
#include "common/text_file.h"
#include "xsview/combine_element_tables.h"

#include <algorithm>
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
    table.heading.material = "tables";
    table.heading.columns = {{"stem", "Stem", "", ColumnKind::text},
                             {"kind", "Kind", "", ColumnKind::text},
                             {"category", "Category", "", ColumnKind::text},
                             {"name", "Name", "", ColumnKind::text},
                             {"density", "Density", "g/cm3"},
                             {"tables", "Tables", "", ColumnKind::text}};
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
                                        TableKind kind, RequestError& error,
                                        std::vector<std::string>& notes) {
    if (request.mixture.empty()) {
        const bool byAtoms = kind == TableKind::crossSections;
        std::string note;
        auto recipe = formulaRecipe(
            byAtoms ? request.formula : request.formula + " 100",
            byAtoms ? Weighting::byAtoms : Weighting::byWeight,
            [&data](int z) { return shippedAtomicWeight(data, z); }, error.message, note);
        if (!note.empty()) {
            notes.push_back(note);
        }
        if (!recipe) {
            error = {RequestProblem::syntax, "--formula " + error.message};
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

namespace {

// Where a new table goes: a bare file name where the viewers list it, any other path as
// the shell means it.
std::string tablePath(const DataDirectory& data, const std::string& out, TableKind kind) {
    if (std::filesystem::path(out).has_parent_path()) {
        return out;
    }
    return data.path(formPath(kind == TableKind::coefficients ? "mu_mix" : "mix", out));
}

// The path relative to the run directory where it lies in it; empty where not.
std::string inRunDirectory(const DataDirectory& data, const std::string& path) {
    std::error_code ignored;
    const auto root = std::filesystem::weakly_canonical(data.path("."), ignored);
    const auto file = std::filesystem::weakly_canonical(path, ignored);
    const auto relative = file.lexically_relative(root);
    return relative.empty() || *relative.begin() == ".." ? std::string()
                                                         : relative.generic_string();
}

// Why the combination may not be written to `path`; empty when it may.
std::string writeRefusal(const DataDirectory& data, const std::string& path, bool force) {
    if (isShippedTable(inRunDirectory(data, path))) {
        return "\"" + nativePath(path) +
               "\" is a table the suite ships and is never replaced; choose another name";
    }
    std::error_code ignored;
    if (std::filesystem::exists(path, ignored) && !force) {
        return "\"" + nativePath(path) + "\" exists; give --force to replace it";
    }
    return {};
}

std::string optionsProblem(const MaterialRequest& request, const CombineOptions& o) {
    const bool oneLine = std::none_of(o.name.begin(), o.name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (!kindOf(o.out) || !request.name.empty()) {
        return "combine takes --formula or --mixture and an --out ending in .mix, .mix2, .mix3, "
               ".mucm, .muc2 or .muc3";
    }
    if (trimBlanks(o.name).empty() || !oneLine) {
        return "--name must be one line of text that is not blank";
    }
    return usableDensity(o.density) ? "" : "--density must be a finite number above 0 (g/cm3)";
}

} // namespace

int combineTables(const MaterialRequest& request, const CombineOptions& o,
                  const CommandContext& c) {
    if (const std::string problem = optionsProblem(request, o); !problem.empty()) {
        return fail(c, problem, kUsageError);
    }
    const TableKind kind = *kindOf(o.out);
    const std::string path = tablePath(c.data, o.out, kind);
    if (const std::string refusal = writeRefusal(c.data, path, o.force); !refusal.empty()) {
        return fail(c, refusal, kDataError);
    }
    RequestError error;
    std::vector<std::string> notes;
    const auto recipe = combinationRecipe(c.data, request, kind, error, notes);
    for (const std::string& note : notes) {
        c.err << "tarvo: note: " << printable(note) << '\n';
    }
    if (!recipe) {
        return fail(c, error.message,
                    error.problem == RequestProblem::syntax ? kUsageError : kDataError);
    }
    if (!writeCombined(c.data, *recipe, kind, request.mixture.empty(), o.name, o.density, path,
                       error.message)) {
        return fail(c, error.message, kDataError);
    }
    c.out << "wrote " << nativePath(path) << '\n';
    return 0;
}

} // namespace tarvo::cli
