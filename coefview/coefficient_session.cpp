#include "coefficient_session.h"

namespace tarvo {

bool CoefficientSession::load(const std::string& path, std::string& error) {
    const bool isMaterial = isMaterialCoefficientPath(path);
    std::optional<CoefficientTable> loadedTable = loadCoefficientTable(path, isMaterial, error);
    if (!loadedTable) {
        return false;
    }
    *table = std::move(*loadedTable);
    reading = readingTableOf(*table);
    loaded = true;
    material = isMaterial;
    drawnPath = path;
    graphTitle = coefficientTitle(*table);
    extremes = extremesOf(*table);
    return true;
}

} // namespace tarvo
