#pragma once

#include <array>
#include <vector>

namespace tarvo {

// Most value columns a table hands to the reading engine (five partial cross sections and
// their total).
inline constexpr int kMaxReadingColumns = 6;

// A table as the reading engine reads it: rows from 1, as the tables count them, each an
// energy (MeV) and up to six value columns. A column marked `zeroBelowThreshold` (pair
// production) reads 0 wherever either row around an energy is 0.
struct ReadingTable {
    int rowCount = 0;
    int columnCount = 0;
    std::vector<double> energies;                               // index 0 unused
    std::vector<std::array<double, kMaxReadingColumns>> values; // index 0 unused
    std::array<bool, kMaxReadingColumns> zeroBelowThreshold{};
    // Where prepareLogarithms made them: the natural logarithms of the energies and values,
    // and each column's slope in log-log from the row before (index i for rows i - 1, i);
    // a reading then takes one logarithm and one exponential a column.
    std::vector<double> logEnergies;
    std::vector<std::array<double, kMaxReadingColumns>> logValues;
    std::vector<std::array<double, kMaxReadingColumns>> slopes;
    bool logarithmsPrepared = false;
};

// The first row (from 1) of `count` ascending energies (MeV, index 0 unused) at or above
// `energy`; count + 1 when none is.
int firstRowAtOrAbove(const std::vector<double>& energies, int count, double energy);

// Fills in the logarithms and slopes of a table (of a value 0, -infinity).
void prepareLogarithms(ReadingTable& table);

enum class ReadingResult { found, outOfRange, calculationError };

// A reading: the energy (MeV) and the value of every column there.
struct Reading {
    ReadingResult result = ReadingResult::outOfRange;
    double energy = 0.0;
    std::array<double, kMaxReadingColumns> values{};
};

// The columns at a typed energy (MeV) from `lowest` to `highest`: log-log between the first
// row at or above it and the row before (rows 1 and 2 below the first row, so an edge
// energy reads the row below the edge). Out of range above the last row; a calculation
// error where the two rows share an energy or a value is not finite.
Reading readAtEnergy(const ReadingTable& table, double energy, double lowest, double highest);

// The lowest energy at which `column` falls to `value` (which must lie from `smallest` to
// `largest`): ln E linear in the column's ln between the first row at or below the value and
// the row before; the other columns are read there, the column itself is `value`. Out of
// range where no row falls to the value; a calculation error where the two rows' values are
// equal or the energy lies outside `lowest` to `highest`.
Reading readEnergyAt(const ReadingTable& table, int column, double value, double smallest,
                     double largest, double lowest, double highest);

// At an absorption edge energy (two rows of that energy) the upper row, which holds the
// values just above the edge; 0 where `energy` is no edge energy of the table.
int upperEdgeRow(const ReadingTable& table, double energy);

// The row across an absorption edge from the values shown, and whether it lies above the
// edge; row 0 where the shown values are not at an edge.
struct OtherSide {
    int row = 0;
    bool above = false;
};

// For a shown row: the row of the same energy next to it.
OtherSide otherSideOfRow(const ReadingTable& table, int row);

// For a reading at an edge energy: the side it does not show (above, for a typed energy,
// which reads the row below the edge).
OtherSide otherSideOfReading(const ReadingTable& table, const Reading& reading);

// Where a column's curve meets a value: at an energy between two rows (or at a row), or
// at an edge, where the curve jumps past the value.
enum class CrossingKind { between, atEdge };
struct Crossing {
    double energy = 0.0; // MeV
    CrossingKind kind = CrossingKind::between;
};

// Every energy at which `column` takes `value`, ascending: log-log between each pair of
// rows that holds it, and every edge it jumps across. A stretch where the column equals
// the value counts once, at its start.
std::vector<Crossing> everyEnergyAt(const ReadingTable& table, int column, double value);

} // namespace tarvo
