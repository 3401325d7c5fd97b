#pragma once

#include "coefview/coefficient_table.h"

#include <string>

namespace tarvo {

// The three coefficient columns.
enum class Coefficient { attenuation, energyTransfer, energyAbsorption };

// A coefficient of a row (cm2/g).
double coefficientOf(const CoefficientRow& row, Coefficient which);

// Largest and smallest value of each coefficient over a table, starting from 0 and 100000.
struct CoefficientExtremes {
    double largest[3] = {0.0, 0.0, 0.0};
    double smallest[3] = {100000.0, 100000.0, 100000.0};
};
CoefficientExtremes extremesOf(const CoefficientTable& table);

// The list text of a row: E, mu/rho, mu_tr/rho and mu_en/rho separated by two blanks.
std::string tableDisplayRow(const std::string& line);

// " Water  Density = 1.000 [g/cm3]" and " Water  ρ=1.000 [g/cm3]".
std::string coefficientTitle(const CoefficientTable& table);
std::string compositionTitle(const CoefficientTable& table);

enum class CoefficientLookup { found, energyOutOfRange, valueOutOfRange, calculationError };

// The three coefficients at one energy (MeV).
struct CoefficientsAtEnergy {
    CoefficientLookup result = CoefficientLookup::energyOutOfRange;
    double energy = 0.0;
    double values[3] = {0.0, 0.0, 0.0};
};

// Log-log interpolation at a typed energy, 0.001 to 20 MeV and not above the last row.
CoefficientsAtEnergy coefficientsAtEnergy(const CoefficientTable& table, double energy);

// The lowest energy at which the key coefficient falls to `value` (within its extremes),
// with the other two coefficients there.
CoefficientsAtEnergy energyAtCoefficient(const CoefficientTable& table,
                                         const CoefficientExtremes& extremes, Coefficient key,
                                         double value);

// The row the cursor read-out marks at abscissa x, or 0 when the pointer counts as outside
// (x <= 0 or x >= 9.903, y <= 0 or y >= 16.1, all in single precision, no row right of x,
// or the first row already right of it).
int cursorRow(const CoefficientTable& table, double x, double y);

// The symbol of element z (H for 1 to U for 92), "?" outside.
std::string elementSymbol(int z);

} // namespace tarvo
