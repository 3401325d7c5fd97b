#include "table_combination.h"

#include "coefview/combine_coefficient_tables.h"
#include "common/elements.h"
#include "common/shipped_tables.h"
#include "common/text_file.h"
#include "xsview/combine_element_tables.h"

#include <filesystem>
#include <system_error>

namespace tarvo {
namespace {

// The path relative to the run directory where it lies in it; empty where not.
std::string inRunDirectory(const DataDirectory& data, const std::string& path) {
    std::error_code ignored;
    const auto root = std::filesystem::weakly_canonical(data.path("."), ignored);
    const auto file = std::filesystem::weakly_canonical(path, ignored);
    const auto relative = file.lexically_relative(root);
    return relative.empty() || *relative.begin() == ".." ? std::string()
                                                         : relative.generic_string();
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
