#pragma once

#include "coefview/coefficient_table.h"
#include "common/elements.h"
#include "common/table_reading.h"

#include <span>
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

// Energies a typed reading may ask for (MeV).
inline constexpr double kLowestCoefficientEnergy = 0.001;
inline constexpr double kHighestCoefficientEnergy = 20.0;

// The table as the reading engine reads it: the three coefficients in the order of
// Coefficient.
ReadingTable readingTableOf(const CoefficientTable& table);
// The same of rows in order.
ReadingTable readingTableOf(std::span<const CoefficientRow> rows);

} // namespace tarvo
