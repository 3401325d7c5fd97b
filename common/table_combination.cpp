#include "table_combination.h"

#include "coefview/combine_coefficient_tables.h"
#include "common/elements.h"
#include "common/numeric_text.h"
#include "common/run_directory.h"
#include "common/shipped_tables.h"
#include "common/text_file.h"
#include "xsview/combine_element_tables.h"

#include <filesystem>
#include <system_error>

namespace tarvo {
namespace {

// The folders of a run directory that hold tables.
constexpr const char* kTableFolders[] = {"ele", "mix", "mu_ele", "mu_mix"};

// The path relative to the run directory ("mu_mix/Air.muc3") of a file in one of its table
// folders; empty where not. An installation's folders are links to its tables under share,
// so a file is placed by the folder it lies in, the links followed on both sides.
std::string inRunDirectory(const DataDirectory& data, const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path file = std::filesystem::absolute(path, ignored);
    const auto folder = std::filesystem::weakly_canonical(file.parent_path(), ignored);
    for (const char* name : kTableFolders) {
        if (folder == std::filesystem::weakly_canonical(data.path(name), ignored)) {
            return std::string(name) + '/' + file.filename().string();
        }
    }
    return {};
}

} // namespace

std::optional<TableKind> tableKindOf(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension == ".mix" || extension == ".mix2" || extension == ".mix3") {
        return TableKind::crossSections;
    }
    if (extension == ".mucm" || extension == ".muc2" || extension == ".muc3") {
        return TableKind::coefficients;
    }
    return std::nullopt;
}

std::string combinedTablePath(const DataDirectory& data, const std::string& out, TableKind kind) {
    if (std::filesystem::path(out).has_parent_path()) {
        return out;
    }
    return data.path(formPath(kind == TableKind::coefficients ? "mu_mix" : "mix", out));
}

std::optional<std::string> userCopyTablePath(const DataDirectory& data, const std::string& path) {
    std::error_code ignored;
    const std::string relative = inRunDirectory(data, path);
    const std::filesystem::path root = data.path(".");
    if (relative.empty() || isWritableDirectory(root) ||
        !std::filesystem::exists(root / "Tarvo.build", ignored)) {
        return std::nullopt;
    }
    return (userRunDirectory() / relative).string();
}

std::string userCopyNote(const DataDirectory& data) {
    return "the tables of \"" + (data.root().empty() ? std::string(".") : data.root().string()) +
           "\" cannot be written: the new table is in the per-user run directory \"" +
           userRunDirectory().string() +
           "\" that the viewers use (tarvo reads it by its path until the launcher has first "
           "copied the installation there)";
}

bool makeTableFolder(const std::string& path, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), code);
    if (code) {
        error = "cannot make the folder of \"" + path + "\": " + code.message();
        return false;
    }
    return true;
}

WriteRefusal writeRefusal(const DataDirectory& data, const std::string& path, bool overwrite) {
    if (isShippedTable(inRunDirectory(data, path))) {
        return WriteRefusal::shippedTable;
    }
    std::error_code ignored;
    return std::filesystem::exists(path, ignored) && !overwrite ? WriteRefusal::exists
                                                                : WriteRefusal::none;
}

std::string refusalMessage(WriteRefusal refusal, const std::string& path,
                           const std::string& howToOverwrite) {
    switch (refusal) {
    case WriteRefusal::shippedTable:
        return "\"" + nativePath(path) +
               "\" is a table the suite ships and is never replaced; choose another name";
    case WriteRefusal::exists:
        return "\"" + nativePath(path) + "\" exists; " + howToOverwrite;
    case WriteRefusal::none:
        break;
    }
    return {};
}

namespace {

// Whether a path relative to the run directory lies in the folder where tables of its
// kind are looked up by name.
bool inLookupFolder(const std::string& relative, TableKind kind) {
    const std::filesystem::path path(relative);
    return path.parent_path() == (kind == TableKind::coefficients ? "mu_mix" : "mix");
}

} // namespace

std::optional<TableClash> clashOf(const DataDirectory& data, const std::string& path,
                                  const std::string& name, bool overwrite) {
    const auto kind = tableKindOf(path);
    if (!kind || !inLookupFolder(inRunDirectory(data, path), *kind)) {
        return std::nullopt;
    }
    const std::string stem = std::filesystem::path(path).stem().string();
    const std::string ownName(trimBlanks(name));
    const Quantities quantities =
        *kind == TableKind::coefficients ? Quantities::coefficients : Quantities::crossSections;
    for (const TableKeys& table : everyTable(data, quantities)) {
        std::error_code ignored;
        const bool shipped = isShippedTable(inRunDirectory(data, table.path));
        if ((overwrite && !shipped) || std::filesystem::equivalent(table.path, path, ignored)) {
            continue;
        }
        for (const std::string& key : table.keys) {
            if (!key.empty() && (sameTextAnyCase(key, stem) || sameTextAnyCase(key, ownName))) {
                return TableClash{key, sameTextAnyCase(key, stem), table.path, shipped};
            }
        }
    }
    return std::nullopt;
}

std::string clashMessage(const TableClash& clash, const std::string& stemChoice,
                         const std::string& nameChoice, const std::string& howToOverwrite) {
    std::string message = "the " + std::string(clash.byStem ? "file name" : "name") + " \"" +
                          clash.key + "\" is taken by " +
                          (clash.shipped ? "the table the suite ships \"" : "the table \"") +
                          nativePath(clash.existing) + "\" (a lookup of \"" + clash.key +
                          "\" could not tell the two apart): choose another " +
                          (clash.byStem ? stemChoice : nameChoice);
    return clash.shipped ? message : message + ", or " + howToOverwrite;
}

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

bool writeCombinedTable(const DataDirectory& data, const Recipe& recipe, TableKind kind,
                        bool compound, const std::string& name, double density,
                        const std::string& path, std::string& error) {
    if (kind == TableKind::coefficients) {
        const auto combined = combineCoefficientTables(data, recipe, error);
        return combined && writeMaterialCoefficientTable(path, name, density, combined->rows,
                                                         combined->composition, error);
    }
    const auto rows = combineElementTables(
        data, recipe, compound ? kCompoundEdgeFactor : kMixtureEdgeFactor, error);
    return rows && writeMaterialTable(path, name, density, *rows, error);
}

} // namespace tarvo
