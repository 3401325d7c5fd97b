#include "elements.h"

#include "common/table_kinds.h"
#include "common/table_reader.h"
#include "common/text_file.h"

#include <array>
#include <cstdio>

namespace tarvo {
namespace {

constexpr std::array<const char*, kLastElement> kSymbols{
    "H",  "He", "Li", "Be", "B",  "C",  "N",  "O",  "F",  "Ne", "Na", "Mg", "Al", "Si", "P",  "S",
    "Cl", "Ar", "K",  "Ca", "Sc", "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn", "Ga", "Ge",
    "As", "Se", "Br", "Kr", "Rb", "Sr", "Y",  "Zr", "Nb", "Mo", "Tc", "Ru", "Rh", "Pd", "Ag", "Cd",
    "In", "Sn", "Sb", "Te", "I",  "Xe", "Cs", "Ba", "La", "Ce", "Pr", "Nd", "Pm", "Sm", "Eu", "Gd",
    "Tb", "Dy", "Ho", "Er", "Tm", "Yb", "Lu", "Hf", "Ta", "W",  "Re", "Os", "Ir", "Pt", "Au", "Hg",
    "Tl", "Pb", "Bi", "Po", "At", "Rn", "Fr", "Ra", "Ac", "Th", "Pa", "U"};

} // namespace

std::string elementSymbol(int z) {
    return z >= 1 && z <= kLastElement ? kSymbols[static_cast<size_t>(z - 1)] : "?";
}

int atomicNumberOf(std::string_view symbol) {
    for (int z = 1; z <= kLastElement; ++z) {
        if (symbol == kSymbols[static_cast<size_t>(z - 1)]) {
            return z;
        }
    }
    return 0;
}

std::string elementStem(int z) {
    char number[8];
    std::snprintf(number, sizeof number, "%02d", z);
    return number + std::string("_") + elementSymbol(z);
}

std::optional<double> shippedAtomicWeight(const DataDirectory& data, int z) {
    std::string ignored;
    return readAtomicWeight(
        data.path(formPath(kCrossSectionTables.elementFolder,
                           elementStem(z) + std::string(kCrossSectionTables.elementExtension))),
        ignored);
}

} // namespace tarvo
