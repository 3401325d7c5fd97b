#pragma once

#include "common/data_directory.h"
#include "common/recipe.h"
#include "xsview/cross_section_table.h"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvo {

// Largest number of rows an element table may hold for a combination.
inline constexpr int kMaxElementRows = 120;
// Largest number of elements a combination takes.
inline constexpr int kMaxCombinedElements = 15;

// Edge factors: the second row of an absorption edge is moved up by factor x energy.
inline constexpr double kCompoundEdgeFactor = 1.0e-4;
inline constexpr double kMixtureEdgeFactor = 1.0e-5;

// Combines the element cross-section tables of a recipe ("08_O.ele" in the data directory's
// "ele") by the Bragg additivity rule: merged energy grid (MeV), each element log-log
// interpolated onto it, weighted and summed (cm2/g). Only energy and the five partial
// values of the returned rows are set. An element named twice counts once with its amounts
// added. On failure nothing is returned and `error` says why.
std::optional<std::vector<CrossSectionRow>> combineElementTables(const DataDirectory& data,
                                                                 const Recipe& recipe,
                                                                 double edgeFactor,
                                                                 std::string& error);

} // namespace tarvo
