#pragma once

#include "common/formula.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// One component of a mixture by weight: a formula and its share.
struct ComponentShare {
    std::string formula;
    double share = 0.0;
    std::size_t position = 0; // where the formula starts in the text, from 1
};

// Parses components by weight: "H2O 90; NaCl 10" or "H2O:0.9, NaCl:0.1" (components
// separated by ";", "," or line ends, each a formula, then blanks or ":" and a share above
// 0). Nothing, with `error` set (its position counted in the whole text), otherwise.
std::optional<std::vector<ComponentShare>> parseComponents(std::string_view text,
                                                           FormulaError& error);

// An element's fraction by weight in a mixture.
struct ElementWeight {
    int atomicNumber = 0;
    double fraction = 0.0;
};

// The elements of a mixture of formulas with their fractions by weight (summing to 1), in
// the order they first appear; nothing, with `error` set, where a formula cannot be read or
// an atomic weight is missing.
std::optional<std::vector<ElementWeight>>
mixtureWeights(std::string_view text,
               const std::function<std::optional<double>(int z)>& atomicWeight,
               FormulaError& error);

// A creator row a formula fills: an element and its amount as it would be typed.
struct FormulaRow {
    int atomicNumber = 0;
    std::string amount; // atoms ("2", "0.5") or weight % to 8 digits ("11.189839")
    double value = 0.0; // the same amount exactly
};

// The rows of one formula by its atoms (`byAtoms`), or of formulas with shares by weight
// (see parseComponents) by weight %; nothing, with `error` naming the place, otherwise.
// `note` gets the notes of formulas that could be read two ways (see readFormula).
std::optional<std::vector<FormulaRow>>
formulaRows(std::string_view text, bool byAtoms,
            const std::function<std::optional<double>(int z)>& atomicWeight, std::string& error,
            std::string& note);

} // namespace tarvo
