#pragma once

#include "common/table_reading.h"
#include "xsview/cross_section_table.h"

#include <span>
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

// Energies a typed reading may ask for (MeV).
inline constexpr double kLowestReadingEnergy = 0.001;
inline constexpr double kHighestReadingEnergy = 100000.0;

// The table as the reading engine reads it: the columns coherent to total, in the order
// of CrossSectionColumn, the two pair columns 0 below their thresholds.
ReadingTable readingTableOf(const CrossSectionTable& table);
// The same of rows in order, their totals filled in.
ReadingTable readingTableOf(std::span<const CrossSectionRow> rows);

// The graph title: " Water   Density = 1.000 [g/cm3]".
std::string graphTitle(const CrossSectionTable& table);

} // namespace tarvo
