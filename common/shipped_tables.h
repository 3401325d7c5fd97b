#pragma once

#include <string_view>

namespace tarvo {

// Whether a path relative to the run directory ("mu_mix/Water.muc2") is one of the tables
// the suite ships.
bool isShippedTable(std::string_view relativePath);

} // namespace tarvo
