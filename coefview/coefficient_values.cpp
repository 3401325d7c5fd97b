#include "coefficient_values.h"

#include "common/loglog.h"
#include "common/number_format.h"
#include "common/text_fields.h"

#include <array>
#include <cmath>

namespace tarvo {
namespace {

float readOutX(double energy) {
    return static_cast<float>(std::log(energy)) + 6.909f;
}

// The three coefficients at `energy`, log-log between rows j - 1 and j.
bool interpolateRows(const CoefficientTable& table, int j, double energy, double values[3]) {
    const CoefficientRow& low = table.rows[static_cast<size_t>(j - 1)];
    const CoefficientRow& high = table.rows[static_cast<size_t>(j)];
    if (low.energy == high.energy) {
        return false;
    }
    for (int c = 0; c < 3; ++c) {
        const auto which = static_cast<Coefficient>(c);
        values[c] = logLogInterpolate(energy, low.energy, coefficientOf(low, which), high.energy,
                                      coefficientOf(high, which));
        if (!std::isfinite(values[c])) {
            return false;
        }
    }
    return true;
}

} // namespace

double coefficientOf(const CoefficientRow& row, Coefficient which) {
    switch (which) {
    case Coefficient::attenuation:
        return row.attenuation;
    case Coefficient::energyTransfer:
        return row.energyTransfer;
    case Coefficient::energyAbsorption:
        return row.energyAbsorption;
    }
    return 0.0;
}

CoefficientExtremes extremesOf(const CoefficientTable& table) {
    CoefficientExtremes extremes;
    for (int i = 1; i <= table.energyCount; ++i) {
        for (int c = 0; c < 3; ++c) {
            const double value =
                coefficientOf(table.rows[static_cast<size_t>(i)], static_cast<Coefficient>(c));
            extremes.largest[c] = value > extremes.largest[c] ? value : extremes.largest[c];
            extremes.smallest[c] = value < extremes.smallest[c] ? value : extremes.smallest[c];
        }
    }
    return extremes;
}

std::string tableDisplayRow(const std::string& line) {
    return std::string(columnSlice(line, 1, 11)) + "  " + std::string(columnSlice(line, 13, 9)) +
           "  " + std::string(columnSlice(line, 23, 9)) + "  " + std::string(lastColumns(line, 9));
}

std::string coefficientTitle(const CoefficientTable& table) {
    return " " + table.name + "  Density = " + formatNumber(table.density, "#0.000###") +
           " [g/cm3]";
}

std::string compositionTitle(const CoefficientTable& table) {
    return " " + table.name + "  \xcf\x81=" + formatNumber(table.density, "#0.000###") + " [g/cm3]";
}

CoefficientsAtEnergy coefficientsAtEnergy(const CoefficientTable& table, double energy) {
    CoefficientsAtEnergy out;
    if (!(energy >= 0.001 && energy <= 20.0)) {
        return out;
    }
    const int j = bracketingRow(table.energyCount, energy,
                                [&](int i) { return table.rows[static_cast<size_t>(i)].energy; });
    if (j == 0) {
        return out;
    }
    out.energy = energy;
    out.result = interpolateRows(table, j, energy, out.values)
                     ? CoefficientLookup::found
                     : CoefficientLookup::calculationError;
    return out;
}

CoefficientsAtEnergy energyAtCoefficient(const CoefficientTable& table,
                                         const CoefficientExtremes& extremes, Coefficient key,
                                         double value) {
    CoefficientsAtEnergy out;
    out.result = CoefficientLookup::valueOutOfRange;
    const int k = static_cast<int>(key);
    if (!(value >= extremes.smallest[k] && value <= extremes.largest[k]) || table.energyCount < 2) {
        return out;
    }
    int j = 1;
    while (j <= table.energyCount &&
           !(coefficientOf(table.rows[static_cast<size_t>(j)], key) <= value)) {
        ++j;
    }
    if (j > table.energyCount) {
        return out;
    }
    j = j == 1 ? 2 : j;
    const CoefficientRow& low = table.rows[static_cast<size_t>(j - 1)];
    const CoefficientRow& high = table.rows[static_cast<size_t>(j)];
    const double lowKey = coefficientOf(low, key);
    const double highKey = coefficientOf(high, key);
    out.result = CoefficientLookup::calculationError;
    if (lowKey == highKey) {
        return out; // no crossing to find between equal values
    }
    const double energy =
        std::exp(std::log(low.energy) - (std::log(lowKey) - std::log(value)) *
                                            (std::log(low.energy) - std::log(high.energy)) /
                                            (std::log(lowKey) - std::log(highKey)));
    if (!(energy >= 0.001 && energy <= 20.0) || !interpolateRows(table, j, energy, out.values)) {
        return out;
    }
    out.values[k] = value;
    out.energy = energy;
    out.result = CoefficientLookup::found;
    return out;
}

int cursorRow(const CoefficientTable& table, double x, double y) {
    const float pointerX = static_cast<float>(x);
    const float pointerY = static_cast<float>(y);
    if (pointerX <= 0.0f || pointerX >= 9.903f || pointerY <= 0.0f || pointerY >= 16.1f) {
        return 0;
    }
    int i = 1;
    while (i <= table.energyCount &&
           !(readOutX(table.rows[static_cast<size_t>(i)].energy) > pointerX)) {
        ++i;
    }
    if (i > table.energyCount || i == 1) {
        return 0;
    }
    const float here = std::fabs(pointerX - readOutX(table.rows[static_cast<size_t>(i)].energy));
    const float before =
        std::fabs(pointerX - readOutX(table.rows[static_cast<size_t>(i - 1)].energy));
    return here > before ? i - 1 : i;
}

std::string elementSymbol(int z) {
    static const std::array<const char*, 92> symbols{
        "H",  "He", "Li", "Be", "B",  "C",  "N",  "O",  "F",  "Ne", "Na", "Mg", "Al", "Si",
        "P",  "S",  "Cl", "Ar", "K",  "Ca", "Sc", "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni",
        "Cu", "Zn", "Ga", "Ge", "As", "Se", "Br", "Kr", "Rb", "Sr", "Y",  "Zr", "Nb", "Mo",
        "Tc", "Ru", "Rh", "Pd", "Ag", "Cd", "In", "Sn", "Sb", "Te", "I",  "Xe", "Cs", "Ba",
        "La", "Ce", "Pr", "Nd", "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho", "Er", "Tm", "Yb",
        "Lu", "Hf", "Ta", "W",  "Re", "Os", "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po",
        "At", "Rn", "Fr", "Ra", "Ac", "Th", "Pa", "U"};
    return z >= 1 && z <= 92 ? symbols[static_cast<size_t>(z - 1)] : "?";
}

} // namespace tarvo
