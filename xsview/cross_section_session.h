#pragma once

#include "common/table_reading.h"
#include "xsview/cross_section_table.h"

#include <memory>
#include <string>

namespace tarvo {

// The table the cross-section viewer has loaded and what its readings need: plain data the
// windows show, kept as it was when a load fails.
struct CrossSectionSession {
    std::unique_ptr<CrossSectionTable> table = std::make_unique<CrossSectionTable>();
    ReadingTable reading;
    bool loaded = false;
    std::string graphTitle; // "<name>   Density = <density> [g/cm3]"

    // Loads the table at `path`; on failure nothing changes and `error` says why.
    bool load(const std::string& path, std::string& error);
};

} // namespace tarvo
