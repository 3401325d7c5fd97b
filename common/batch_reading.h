#pragma once

#include "common/table_reading.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace tarvo {

// The coefficients of an interval's cubics: four for each column.
inline constexpr int kCubicStride = kMaxReadingColumns * 4;

// A table's curves prepared once for reading many energies at a time. Between rows j - 1 and
// j (interval j) each column's natural logarithm is a cubic in t = ln E - ln E(j - 1); the log-
// log line is the cubic of degree one. An interval is found in O(1) through an index over ln E,
// and a block of energies is read with the SIMD logarithm and exponential of the machine's
// instruction set, chosen at run time (AVX-512, AVX2, SSE4, or a scalar path elsewhere).
struct BatchCurves {
    int rowCount = 0;
    int columnCount = 0;          // columns a reading gives
    int fittedColumns = 0;        // columns with their own curves; a further column is their sum
    double lowest = 0.0;          // MeV: readings from here ...
    double highest = 0.0;         // ... to here, and no further than the last row
    std::vector<double> energies; // rows from 1, two of +infinity after the last
    // By interval, and two more after the last (read one at a time): the ln E that t is
    // measured from (ln E(j - 1) for a spline, ln E(j) for a
    // log-log line, as the one-at-a-time readings take them).
    std::vector<double> originLogEnergies;
    // By interval: the cubic's coefficients, column c and power p at [c * 4 + p]; a column
    // that reads 0 in the interval has -infinity as its constant.
    std::vector<std::array<double, kCubicStride>> cubics;
    // By interval, where there are at most four fitted columns: the same coefficients power
    // by power, power p of column c at [p * 4 + c] (0 beyond the fitted columns), so that
    // one value's columns are read together.
    std::vector<std::array<double, 16>> cubicsByPower;
    // By interval: kEvenOut (mu >= mu_tr >= mu_en kept by evening out), kScalarOnly (the
    // interval is read one energy at a time: it cannot be read in a batch), kFarFromIndex
    // (some of its energies are too far from their index cell's first interval: a block is
    // searched energy by energy even where all its energies lie inside it).
    std::vector<std::uint8_t> flags;

    // The index: cell k of ln E from ln E(1) in steps of 1 / indexScale starts its search at
    // interval firstInterval[k].
    double indexStart = 0.0;
    double indexScale = 0.0;
    double lastCell = 0.0;
    std::vector<std::int32_t> firstInterval;
};

inline constexpr std::uint8_t kEvenOut = 1;
inline constexpr std::uint8_t kScalarOnly = 2;
inline constexpr std::uint8_t kFarFromIndex = 4;

// Makes the index and sets the bounds of curves whose rows and cubics are filled in.
void indexBatchCurves(BatchCurves& curves, double lowest, double highest);

// The log-log lines of a table with prepared logarithms (a column marked zeroBelowThreshold
// reads 0 where either row is 0), read from `lowest` to `highest` MeV.
BatchCurves logLogBatchCurves(const ReadingTable& table, double lowest, double highest);

// Reads `columns` at every energy (MeV) into `outputs` (one array per column, as many values
// as energies), each value times `factor`. An energy that needs more than an interval's
// curve (a row's own energy, an edge, outside the intervals, an interval read one at a time,
// a value that is not finite) is handed to `oneAtATime` with its position, which writes its
// values; so every reading is the one-at-a-time reading's, within rounding.
void readBatch(const BatchCurves& curves, std::span<const double> energies,
               std::span<const int> columns, std::span<double* const> outputs, double factor,
               const std::function<void(std::size_t)>& oneAtATime);

namespace batch {

// ln x of every value, by SIMD where the machine has it.
void logarithms(const double* x, double* out, std::size_t count);

// exp(cubic(t_i)) of each value, the cubic of column `column` of its own interval
// (`cubics` holds kCubicStride coefficients an interval); a cubic of -infinity reads 0. By
// SIMD where the machine has it.
void intervalCurveValues(const double* cubics, std::size_t column, const std::int32_t* intervals,
                         const double* t, double* out, std::size_t count);

// The exponents of the columns of each value at once: cubic(t_i) of its own interval's
// coefficients power by power (`byPower`, 16 an interval), four to a value in `out`.
void intervalExponents(const double* byPower, const std::int32_t* intervals, const double* t,
                       double* out, std::size_t count);

// exp of four exponents a value (0 for one of -infinity) into the column arrays, one a
// column; a column of nullptr is not wanted.
void exponentialsByColumn(const double* exponents, std::size_t count,
                          const std::array<double*, 4>& columns);

// exp(cubic(ln E - origin)) of each logarithm with one cubic (four coefficients) for all.
void oneCurveValues(const double* cubic, double origin, const double* logEnergies, double* out,
                    std::size_t count);

// Where even[i] > 0: mu_tr = min(mu_tr, mu) and then mu_en = min(mu_en, mu_tr).
void evenOut(const double* even, double* mu, double* transfer, double* absorption,
             std::size_t count);

// out = values x factor; notFinite set to 1 where the result is not finite. Whether any
// value's notFinite is set. With `stream` the values go to memory past the caches (for a
// batch larger than they are); flushStreams() then orders them before what follows.
bool writeColumn(const double* values, double factor, double* out, double* notFinite,
                 std::size_t count, bool stream);
void flushStreams();

// Whether every x lies strictly between low and high (no NaN does).
bool allInside(const double* x, std::size_t count, double low, double high);

} // namespace batch

} // namespace tarvo
