#pragma once

#include <span>
#include <string>

namespace tarvo {

// One row of a creator window's element table.
struct CompositionRow {
    std::string elementFile; // element table file name without directory; empty until picked
    double amount = 0.0;     // atoms in a compound, share by weight in a mixture; 0 until set
    std::string elementCell; // the texts the row's two cells show
    std::string amountCell;
    bool visible = false;
};

// Why the amounts of these rows cannot be combined (one is negative, infinite or not a
// number), naming the row from 1; empty when they can.
std::string amountProblem(std::span<const CompositionRow> rows);

} // namespace tarvo
