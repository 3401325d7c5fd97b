#pragma once

#include "coefview/coefficient_table.h"
#include "coefview/coefficient_values.h"
#include "common/table_reading.h"

#include <memory>
#include <string>

namespace tarvo {

// The table the coefficient viewer has drawn and what its readings need: plain data the
// windows show, kept as it was when a load fails.
struct CoefficientSession {
    std::unique_ptr<CoefficientTable> table = std::make_unique<CoefficientTable>();
    ReadingTable reading;
    bool loaded = false;
    bool material = false;  // a material table, with its composition
    std::string drawnPath;  // the table's path, which the spline tool is asked to read
    std::string graphTitle; // "<name>   Density = <density> [g/cm3]"
    CoefficientExtremes extremes;

    // Loads the table at `path` (a material's with its composition); on failure nothing
    // changes and `error` says why.
    bool load(const std::string& path, std::string& error);
};

} // namespace tarvo
