#pragma once

#include "common/composition_row.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// How the amounts of a recipe become fractions by weight.
enum class Weighting {
    byAtoms,  // amount = atoms in the formula, weighted by the element's atomic weight
    byWeight, // amount = share by weight, of any scale
};

// One element of a combination: its atomic number and its amount (atoms or a share).
struct RecipeItem {
    int atomicNumber = 0;
    double amount = 0.0;
};

// What the Bragg combination takes: the elements with their amounts, and how to read them.
struct Recipe {
    Weighting weighting = Weighting::byWeight;
    std::vector<RecipeItem> items;
};

// The recipe of a creator's rows: each row's element by the number its table's file name
// starts with ("08_O.ele"), its amount as typed; nothing, with `error` naming the row, where
// an amount is refused (see amountProblem) or a row picks no element's table.
std::optional<Recipe> recipeOfRows(std::span<const CompositionRow> rows, Weighting weighting,
                                   std::string& error);

// The recipe of one formula by its atoms (byAtoms), or of formulas with shares by weight as
// weight % (byWeight, "H2O 90; NaCl 10"), with the amounts as exact doubles; `note` gets how
// a formula that reads two ways was read. Nothing, with `error` naming the place, otherwise.
std::optional<Recipe> formulaRecipe(std::string_view text, Weighting weighting,
                                    const std::function<std::optional<double>(int z)>& atomicWeight,
                                    std::string& error, std::string& note);

// The rows a combination reads: each element's table ("08_O" and `extension`) with its
// amount, an element named twice once with its amounts added; nothing, with `error`, where
// an atomic number lies outside 1 to 92.
std::optional<std::vector<CompositionRow>>
recipeRows(const Recipe& recipe, const std::string& extension, std::string& error);

} // namespace tarvo
