#pragma once

#include "coefview/coefficient_table.h"
#include "common/composition_row.h"
#include "common/data_directory.h"

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

// Combines the element coefficient tables of `rows` (files in the data directory's
// "mu_ele"; amounts are shares by weight) by the Bragg additivity rule on
// the energy grid of "01_H.mut" plus every energy of the elements that it lacks. Values on
// the hydrogen grid are taken as tabulated; only added energies are interpolated. The
// atomic number of row k is the number in the first two characters of its file name; a
// table picked in several rows counts once with their amounts added. On failure nothing is
// returned and `error` says why.
std::optional<CombinedCoefficients> combineCoefficientTables(const DataDirectory& data,
                                                             std::span<const CompositionRow> rows,
                                                             std::string& error);

} // namespace tarvo
