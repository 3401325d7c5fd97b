#pragma once

#include "common/recipe.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace tarvo::testing {

// A recipe of elements named by their tables' files ("08_O.ele" and "08_O.mut" are oxygen).
inline Recipe recipeOfFiles(Weighting weighting,
                            const std::vector<std::pair<const char*, double>>& entries) {
    Recipe recipe{weighting, {}};
    for (const auto& [file, amount] : entries) {
        recipe.items.push_back({std::atoi(std::string(file).substr(0, 2).c_str()), amount});
    }
    return recipe;
}

// A combination that must fail: its elements by file with their amounts, and a part of the
// reason expected.
struct CombinationFailure {
    const char* label;
    std::vector<std::pair<const char*, double>> rows;
    const char* expected;
};

} // namespace tarvo::testing
