#include "composition_row.h"

#include "common/number_format.h"
#include "common/numeric_text.h"

#include <algorithm>
#include <cmath>

namespace tarvo {
namespace {

// What is wrong with one row's amount; empty when nothing is.
std::string rowProblem(const CompositionRow& row) {
    const std::string quoted = "\"" + row.amountCell + "\"";
    if (!row.amountCell.empty() && !startsWithNumber(row.amountCell)) {
        return quoted + " is not a number";
    }
    if (holdsComma(row.amountCell)) {
        return quoted + " holds a comma; the decimal point is \".\"";
    }
    if (!std::isfinite(row.amount)) {
        return "the amount is not finite";
    }
    if (row.amount < 0.0) {
        return "the amount must be a number of at least 0";
    }
    if (row.amount > kLargestAmount) {
        return "the amount " + formatNumber(row.amount, "0.000E+00") +
               " is too large (at most 1E+100)";
    }
    return {};
}

} // namespace

std::string amountProblem(std::span<const CompositionRow> rows) {
    for (size_t k = 0; k < rows.size(); ++k) {
        if (const std::string problem = rowProblem(rows[k]); !problem.empty()) {
            return "row " + std::to_string(k + 1) + ": " + problem;
        }
    }
    return {};
}

std::vector<CompositionRow> mergeRepeatedElements(std::span<const CompositionRow> rows) {
    std::vector<CompositionRow> merged;
    for (const CompositionRow& row : rows) {
        auto same = std::find_if(merged.begin(), merged.end(), [&](const CompositionRow& m) {
            return !row.elementFile.empty() && m.elementFile == row.elementFile;
        });
        if (same == merged.end()) {
            merged.push_back(row);
        } else {
            same->amount += row.amount;
        }
    }
    return merged;
}

std::optional<double> typedDensity(std::string_view text, std::string& reason) {
    reason.clear();
    const double density = numericValue(text);
    if (holdsComma(text) || !(density > 0) || !std::isfinite(density)) {
        return std::nullopt;
    }
    reason = densityProblem(density);
    return reason.empty() ? std::make_optional(density) : std::nullopt;
}

std::optional<double> typedElementCount(std::string_view text, int rows) {
    const double count = numericValue(text);
    if (holdsComma(text) || !(count > 0) || count > rows) {
        return std::nullopt;
    }
    return count;
}

std::optional<double> typedAtomCount(std::string_view text) {
    const double amount = numericValue(text);
    if (holdsComma(text) || !(amount > 0 && amount <= kLargestAmount)) {
        return std::nullopt;
    }
    return amount;
}

std::optional<int> rowsToCombine(double count, int rows, std::string& reason) {
    if (!(count >= 1 && count < rows + 1.0)) {
        reason = "the number of elements must lie between 1 and " + std::to_string(rows);
        return std::nullopt;
    }
    return static_cast<int>(std::floor(count));
}

} // namespace tarvo
