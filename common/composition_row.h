#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// One row of a creator window's element table.
struct CompositionRow {
    std::string elementFile; // element table file name without directory; empty until picked
    double amount = 0.0;     // atoms in a compound, share by weight in a mixture; 0 until set
    std::string elementCell; // the texts the row's two cells show
    std::string amountCell;
    bool visible = false;
};

// The largest amount a row may hold: larger ones are typing errors, and their weighted sum
// would leave the range of a double.
inline constexpr double kLargestAmount = 1e100;

// Why the amounts of these rows cannot be combined (a cell that is not a number or holds a
// comma, an amount that is negative, not finite or above kLargestAmount), naming the row
// from 1; empty when they can.
std::string amountProblem(std::span<const CompositionRow> rows);

// The density (g/cm3) a creator's density box gives; nothing when it is no positive number
// or holds a comma (`reason` empty), or when a table's six-decimal field would hold it as 0
// (`reason` says the smallest it holds).
std::optional<double> typedDensity(std::string_view text, std::string& reason);

// The number of elements a creator's count box asks for: a number above 0 and at most
// `rows`, without a comma; its whole part is the number of rows shown.
std::optional<double> typedElementCount(std::string_view text, int rows);

// An amount typed for a compound row (atoms): a number above 0 and at most kLargestAmount,
// without a comma.
std::optional<double> typedAtomCount(std::string_view text);

// The rows a save combines for an element count: its whole part, from 1 to `rows`;
// nothing, with `reason`, otherwise.
std::optional<int> rowsToCombine(double count, int rows, std::string& reason);

// The rows with each element table once, in the order they first appear, its amounts
// added: a table picked in two rows counts once, as the merged recipe does.
std::vector<CompositionRow> mergeRepeatedElements(std::span<const CompositionRow> rows);

} // namespace tarvo
