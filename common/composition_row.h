#pragma once

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

} // namespace tarvo
