#include "recipe.h"

#include "common/elements.h"
#include "common/formula_mixture.h"

#include <algorithm>
#include <cctype>

namespace tarvo {
namespace {

// The atomic number a table's file name starts with ("08_O.ele" gives 8), 0 for none.
int atomicNumberOfFile(const std::string& file) {
    if (file.size() < 3 || !std::isdigit(static_cast<unsigned char>(file[0])) ||
        !std::isdigit(static_cast<unsigned char>(file[1])) || file[2] != '_') {
        return 0;
    }
    return (file[0] - '0') * 10 + (file[1] - '0');
}

} // namespace

std::optional<Recipe> recipeOfRows(std::span<const CompositionRow> rows, Weighting weighting,
                                   std::string& error) {
    if (const std::string problem = amountProblem(rows); !problem.empty()) {
        error = problem;
        return std::nullopt;
    }
    Recipe recipe{weighting, {}};
    for (size_t k = 0; k < rows.size(); ++k) {
        const int z = atomicNumberOfFile(rows[k].elementFile);
        if (z < 1 || z > kLastElement) {
            error = "row " + std::to_string(k + 1) +
                    (rows[k].elementFile.empty()
                         ? std::string(" has no element")
                         : ": \"" + rows[k].elementFile + "\" is no element's table");
            return std::nullopt;
        }
        recipe.items.push_back({z, rows[k].amount});
    }
    return recipe;
}

std::optional<Recipe> formulaRecipe(std::string_view text, Weighting weighting,
                                    const std::function<std::optional<double>(int z)>& atomicWeight,
                                    std::string& error, std::string& note) {
    const auto rows = formulaRows(text, weighting == Weighting::byAtoms, atomicWeight, error, note);
    if (!rows) {
        return std::nullopt;
    }
    Recipe recipe{weighting, {}};
    for (const FormulaRow& row : *rows) {
        recipe.items.push_back({row.atomicNumber, row.value});
    }
    return recipe;
}

std::optional<std::vector<CompositionRow>>
recipeRows(const Recipe& recipe, const std::string& extension, std::string& error) {
    std::vector<CompositionRow> rows;
    for (size_t k = 0; k < recipe.items.size(); ++k) {
        const RecipeItem& item = recipe.items[k];
        if (item.atomicNumber < 1 || item.atomicNumber > kLastElement) {
            error = "element " + std::to_string(k + 1) + ": no element has the atomic number " +
                    std::to_string(item.atomicNumber);
            return std::nullopt;
        }
        const std::string file = elementStem(item.atomicNumber) + extension;
        rows.push_back({file, item.amount, file, "", true});
    }
    if (const std::string problem = amountProblem(rows); !problem.empty()) {
        error = problem;
        return std::nullopt;
    }
    return mergeRepeatedElements(rows);
}

} // namespace tarvo
