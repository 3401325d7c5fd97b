#include "composition_row.h"

#include <cmath>

namespace tarvo {

std::string amountProblem(std::span<const CompositionRow> rows) {
    for (size_t k = 0; k < rows.size(); ++k) {
        if (!std::isfinite(rows[k].amount) || rows[k].amount < 0.0) {
            return "row " + std::to_string(k + 1) + ": the amount must be a number of at least 0";
        }
    }
    return {};
}

} // namespace tarvo
