#include "table_combination.h"

#include "coefview/combine_coefficient_tables.h"
#include "common/elements.h"
#include "common/numeric_text.h"
#include "common/shipped_tables.h"
#include "common/text_file.h"
#include "xsview/combine_element_tables.h"

#include <filesystem>
#include <system_error>

namespace tarvo {
namespace {

// Whether a path relative to the run directory lies in the folder where tables of its
// kind are looked up by name.
bool inLookupFolder(const std::string& relative, TableKind kind) {
    const std::filesystem::path path(relative);
    return path.parent_path() == tableFolders(kind).materialFolder;
}

} // namespace

std::optional<TableClash> clashOf(const DataDirectory& data, const std::string& path,
                                  const std::string& name, bool overwrite) {
    const auto kind = tableKindOf(path);
    if (!kind || !inLookupFolder(tableInRunDirectory(data, path), *kind)) {
        return std::nullopt;
    }
    const std::string stem = std::filesystem::path(path).stem().string();
    const std::string ownName(trimBlanks(name));
    const TableKind quantities =
        *kind == TableKind::coefficients ? TableKind::coefficients : TableKind::crossSections;
    for (const TableKeys& table : everyTable(data, quantities)) {
        std::error_code ignored;
        const bool shipped = isShippedTable(tableInRunDirectory(data, table.path));
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
