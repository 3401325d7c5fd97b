#pragma once

#include "xsview/cross_section_table.h"

#include <string>

namespace tarvo {

// The columns of a cross-section table that the plots and the read-out use.
enum class CrossSectionColumn {
    coherent,
    incoherent,
    photoelectric,
    pairNuclear,
    pairElectron,
    total,
    fracCoherent,
    fracIncoherent,
    fracPhotoelectric,
    fracPairNuclear,
    fracPairElectron,
};

// The value of one column of a row (cm2/g, or a fraction).
double columnValue(const CrossSectionRow& row, CrossSectionColumn column);

// Whether a column is one of the two pair-production columns (zero below threshold).
bool isPairColumn(CrossSectionColumn column);

enum class LookupResult { found, outOfRange, calculationError };

// The six cross sections (cm2/g) at one energy (MeV).
struct ValuesAtEnergy {
    LookupResult result = LookupResult::outOfRange;
    double energy = 0.0;
    double coherent = 0.0;
    double incoherent = 0.0;
    double photoelectric = 0.0;
    double pairNuclear = 0.0;
    double pairElectron = 0.0;
    double total = 0.0;
};

// Log-log interpolation of the six columns at a typed energy (0.001 to 100000 MeV and not
// above the last row), the pair columns 0 where either bracketing row is 0.
ValuesAtEnergy valuesAtEnergy(const CrossSectionTable& table, double energy);

// The lowest energy at which the total falls to `total` (between minTotal and maxTotal),
// ln E linear in ln total between the bracketing rows, with the partial values there.
ValuesAtEnergy energyAtTotal(const CrossSectionTable& table, double total);

// The row the mouse read-out marks at plot abscissa x: the first row right of x, or the
// one before it when that is nearer (a tie keeps the later row); 0 when there is none.
int nearestRow(const CrossSectionTable& table, double x);

// The graph title: " Water   Density = 1.000 [g/cm3]".
std::string graphTitle(const CrossSectionTable& table);

} // namespace tarvo
