#pragma once

#include "common/batch_reading.h"
#include "common/table_reading.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// How a point reading between table rows is made.
enum class ReadingMethod {
    loglog, // the straight line in log-log through the two rows around the energy
    spline, // the not-a-knot cubic spline in ln E - ln value of each edge-free segment
};

// The method a word names, "spline" or "loglog", in any case.
std::optional<ReadingMethod> readingMethodNamed(std::string_view word);

// The word of a method: "spline" or "loglog".
const char* readingMethodName(ReadingMethod method);

// Which columns a table holds: the three coefficients, or the five partial cross sections
// and their total.
enum class SplineColumns { coefficients, crossSections };

// One interval between rows j - 1 and j: each column's cubic in t = ln E - ln E(j - 1),
// giving the natural logarithm of the value.
struct SplineInterval {
    std::array<std::array<double, 4>, kMaxReadingColumns> cubic{};
    unsigned zeroColumns = 0; // bit c set: column c reads 0 here (a row of 0 at either end)
    bool evenOut = false;     // both rows keep mu >= mu_tr >= mu_en: a crossing within the
                              // rounding of the rows is evened out
};

// A table's spline fits, made once; a reading is then a binary search and one cubic a
// column. Each edge-free segment takes the spline tool's safeguards: where its not-a-knot
// spline leaves the range of two rows by more than 10 % (at all where the rows rise or fall
// steadily), or breaks mu >= mu_tr >= mu_en where the rows keep it, the whole segment is
// read by Steffen's monotone cubic, and an interval where even that breaks the order by the
// straight line.
struct SplineReadings {
    int rowCount = 0;
    int columnCount = 0;             // columns a reading gives
    int fittedColumns = 0;           // columns with their own spline; a further column (the total
                                     // cross section) is their sum
    std::vector<double> energies;    // MeV, rows from 1
    std::vector<double> logEnergies; // ln of the energies
    std::vector<std::array<double, kMaxReadingColumns>> values; // rows from 1
    std::vector<SplineInterval> intervals;                      // index j: rows j - 1 and j
    std::vector<std::array<double, 2>> monotoneSegments;        // MeV ranges read monotone
};

// Prepares the fits of a reading table (energies in MeV, values in cm2/g); nothing, with
// `error` saying why, when its rows cannot be fitted (energies not ascending).
std::optional<SplineReadings> prepareSplineReadings(const ReadingTable& table, SplineColumns kind,
                                                    std::string& error);

// The columns at an energy (MeV) from `lowest` to `highest` by the spline: a row's energy
// reads that row (at an edge, the row below it, as readAtEnergy does), out of range above
// the last row; below the first row the log-log line of the first two.
Reading readSpline(const SplineReadings& readings, double energy, double lowest, double highest);

// The spline's intervals as batch curves read from `lowest` to `highest` MeV; an edge and
// the energies below the first row stay one-at-a-time readings.
BatchCurves splineBatchCurves(const SplineReadings& readings, double lowest, double highest);

// Every energy (MeV) at which `column` takes `value` on the spline curves, ascending, with
// the edges the curve jumps across.
std::vector<Crossing> everySplineEnergyAt(const SplineReadings& readings, int column, double value);

} // namespace tarvo
