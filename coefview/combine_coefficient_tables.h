#pragma once

#include "coefview/coefficient_table.h"
#include "common/data_directory.h"
#include "common/recipe.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvo {

// Largest number of energies of the hydrogen table that gives the base grid.
inline constexpr int kMaxBaseEnergies = 50;

// A new material's coefficient table: rows (MeV, cm2/g) and composition by weight.
struct CombinedCoefficients {
    std::vector<CoefficientRow> rows;
    std::vector<CompositionEntry> composition;
};

// Combines the element coefficient tables of a recipe by weight ("08_O.mut" in the data
// directory's "mu_ele") by the Bragg additivity rule on the energy grid of "01_H.mut" plus
// every energy of the elements that it lacks. Values on the hydrogen grid are taken as
// tabulated; only added energies are interpolated. An element named twice counts once with
// its shares added. On failure nothing is returned and `error` says why.
std::optional<CombinedCoefficients>
combineCoefficientTables(const DataDirectory& data, const Recipe& recipe, std::string& error);

} // namespace tarvo
