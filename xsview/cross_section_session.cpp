#include "cross_section_session.h"

#include "xsview/values_at_energy.h"

namespace tarvo {

bool CrossSectionSession::load(const std::string& path, std::string& error) {
    std::optional<CrossSectionTable> loadedTable = loadCrossSectionTable(path, error);
    if (!loadedTable) {
        return false;
    }
    *table = std::move(*loadedTable);
    reading = readingTableOf(*table);
    loaded = true;
    graphTitle = tarvo::graphTitle(*table);
    return true;
}

} // namespace tarvo
