#pragma once

#include "common/data_directory.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// The elements the tables hold: hydrogen (1) to uranium (92).
inline constexpr int kLastElement = 92;

// The symbol of element z ("H" for 1 to "U" for 92), "?" outside.
std::string elementSymbol(int z);

// The atomic number of a symbol as written ("Pb" gives 82), 0 for none.
int atomicNumberOf(std::string_view symbol);

// "82_Pb": the file stem of element z's tables.
std::string elementStem(int z);

// The atomic weight (g/mol) of element z from its cross-section table in a data directory
// ("ele\82_Pb.ele"); nothing when the table cannot be read.
std::optional<double> shippedAtomicWeight(const DataDirectory& data, int z);

} // namespace tarvo
