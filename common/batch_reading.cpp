#include "batch_reading.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvo {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr std::size_t kBlock = 256;
// From this many energies the values are written past the caches: a caller's columns are
// then larger than a core's cache, which they would only fill.
constexpr std::size_t kStreamFrom = std::size_t{1} << 17;
// The most doubles a vector of the machine holds (AVX-512); blocks are read in whole vectors.
constexpr std::size_t kWidestVector = 8;
// Cells of the index a row (and at least kFewestCells): from a cell's first interval an
// energy lies at most two intervals on (the search takes two steps), but for rows closer
// than a cell's width (at an edge), which are read one at a time.
constexpr int kCellsPerRow = 8;
constexpr int kFewestCells = 2048;
// A cell starts its search a little below its lower bound, so that a logarithm a few units
// in the last place low still starts at or before its interval.
constexpr double kIndexMargin = 1e-9;

// A block's working arrays, left unset: every value read is written first (a column only
// where it is needed), and setting 29 KB at each call would cost a short batch dearly.
struct Block {
    std::array<double, kBlock> logEnergies;
    std::array<double, kBlock> t;
    std::array<std::int32_t, kBlock> intervals;
    std::array<std::array<double, kBlock>, kMaxReadingColumns> values;
    std::array<double, kBlock * 4> exponents; // four columns a value, where read together
    std::array<double, kBlock> even;          // 1: the interval keeps mu >= mu_tr >= mu_en
    std::array<double, kBlock> oneAtATime;    // 1: the energy needs a one-at-a-time reading
};

// The interval of every energy of a block, and t from its origin. The steps from an index
// cell's first interval are taken as comparisons with the two rows after it, so that no
// load waits for another; an energy further on, at or below the first row, at a row's own
// energy, outside the range or in an interval read one at a time is marked, and read in
// interval 2 until its one-at-a-time reading replaces it.
void locate(const BatchCurves& c, const double* energies, std::size_t count, Block& block) {
    const double* rows = c.energies.data();
    for (std::size_t i = 0; i < count; ++i) {
        const double e = energies[i];
        const bool inRange = e >= c.lowest && e <= c.highest;
        double cell = (block.logEnergies[i] - c.indexStart) * c.indexScale;
        cell = cell > 0 ? cell : 0.0;
        cell = cell < c.lastCell ? cell : c.lastCell;
        block.intervals[i] = c.firstInterval[inRange ? static_cast<std::size_t>(cell) : 0];
        block.oneAtATime[i] = inRange ? 0.0 : 1.0;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const double e = energies[i];
        const auto first = static_cast<std::size_t>(block.intervals[i]);
        const double r0 = rows[first];
        const double r1 = rows[first + 1];
        const double r2 = rows[first + 2];
        const std::size_t j = first + (r0 < e ? 1 : 0) + (r1 < e ? 1 : 0);
        const bool plain = rows[first - 1] < e && r2 >= e && r0 != e && r1 != e && r2 != e &&
                           (c.flags[j] & kScalarOnly) == 0;
        const std::size_t read = plain ? j : 2;
        block.oneAtATime[i] = plain ? block.oneAtATime[i] : 1.0;
        block.intervals[i] = static_cast<std::int32_t>(read);
        block.even[i] = (c.flags[read] & kEvenOut) != 0 ? 1.0 : 0.0;
        block.t[i] = block.logEnergies[i] - c.originLogEnergies[read];
    }
}

// The interval every energy of a block lies strictly inside, where they share one (as
// ascending energies mostly do); 0 where they do not.
int sharedInterval(const BatchCurves& c, const double* energies, std::size_t count,
                   const Block& block) {
    const double first = energies[0];
    if (!(first >= c.lowest && first <= c.highest)) {
        return 0;
    }
    const double cell =
        std::clamp((block.logEnergies[0] - c.indexStart) * c.indexScale, 0.0, c.lastCell);
    auto j = static_cast<std::size_t>(c.firstInterval[static_cast<std::size_t>(cell)]);
    while (c.energies[j] < first) {
        ++j;
    }
    const double low = c.energies[j - 1];
    const double high = c.energies[j];
    // Inside the interval is inside the range where the interval is.
    const bool readable =
        (c.flags[j] & (kScalarOnly | kFarFromIndex)) == 0 && c.lowest <= low && high <= c.highest;
    return readable && batch::allInside(energies, count, low, high) ? static_cast<int>(j) : 0;
}

// The columns a request needs computed: those asked for, all fitted columns for their sum,
// and the columns below an evened-out one.
std::array<bool, kMaxReadingColumns> neededColumns(const BatchCurves& c,
                                                   std::span<const int> columns) {
    std::array<bool, kMaxReadingColumns> needed{};
    for (const int column : columns) {
        const int last = column >= c.fittedColumns ? c.fittedColumns - 1 : column;
        const int first = column >= c.fittedColumns || column <= 2 ? 0 : column;
        for (int k = first; k <= last; ++k) {
            needed[static_cast<std::size_t>(k)] = true;
        }
    }
    return needed;
}

// mu >= mu_tr >= mu_en where the rows keep it, and the sum of the fitted columns, where
// the columns asked for need them.
void finishColumns(const BatchCurves& c, std::size_t count, bool evenOut, bool sum, Block& block) {
    auto& v = block.values;
    if (evenOut) {
        batch::evenOut(block.even.data(), v[0].data(), v[1].data(), v[2].data(), count);
    }
    if (sum) {
        auto& total = v[static_cast<std::size_t>(c.fittedColumns)];
        std::fill_n(total.begin(), count, 0.0);
        for (std::size_t k = 0; k < static_cast<std::size_t>(c.fittedColumns); ++k) {
            for (std::size_t i = 0; i < count; ++i) {
                total[i] += v[k][i];
            }
        }
    }
}

// The needed columns of a block: where all its energies share one interval, with that
// interval's cubics for all; else each energy with its own.
void blockValues(const BatchCurves& c, const double* energies, std::size_t count,
                 const std::array<bool, kMaxReadingColumns>& needed, Block& block) {
    if (const int shared = sharedInterval(c, energies, count, block); shared != 0) {
        const auto j = static_cast<std::size_t>(shared);
        std::fill_n(block.oneAtATime.begin(), count, 0.0);
        std::fill_n(block.even.begin(), count, (c.flags[j] & kEvenOut) != 0 ? 1.0 : 0.0);
        for (int k = 0; k < c.fittedColumns; ++k) {
            if (needed[static_cast<std::size_t>(k)]) {
                batch::oneCurveValues(&c.cubics[j][static_cast<std::size_t>(k) * 4],
                                      c.originLogEnergies[j], block.logEnergies.data(),
                                      block.values[static_cast<std::size_t>(k)].data(), count);
            }
        }
        return;
    }
    locate(c, energies, count, block);
    const auto wanted = static_cast<std::size_t>(std::count(needed.begin(), needed.end(), true));
    if (wanted > 1 && !c.cubicsByPower.empty()) {
        // Several columns: each value's interval is read once for all of them.
        batch::intervalExponents(c.cubicsByPower.front().data(), block.intervals.data(),
                                 block.t.data(), block.exponents.data(), count);
        std::array<double*, 4> columns{};
        for (std::size_t k = 0; k < columns.size(); ++k) {
            columns[k] = needed[k] ? block.values[k].data() : nullptr;
        }
        batch::exponentialsByColumn(block.exponents.data(), count, columns);
        return;
    }
    for (std::size_t k = 0; k < static_cast<std::size_t>(c.fittedColumns); ++k) {
        if (needed[k]) {
            batch::intervalCurveValues(c.cubics.front().data(), k, block.intervals.data(),
                                       block.t.data(), block.values[k].data(), count);
        }
    }
}

} // namespace

void indexBatchCurves(BatchCurves& c, double lowest, double highest) {
    c.lowest = lowest;
    c.highest = highest;
    // Two rows of +infinity after the last: the search looks up to two rows on.
    c.energies.resize(static_cast<std::size_t>(c.rowCount) + 1);
    c.energies.resize(static_cast<std::size_t>(c.rowCount) + 3, kInfinity);
    // Without rows to read between, every energy is read one at a time.
    c.firstInterval.assign(1, 2);
    c.lastCell = 0;
    c.indexScale = 0.0;
    if (c.rowCount < 2) {
        c.lowest = 1.0;
        c.highest = 0.0;
        return;
    }
    c.indexStart = std::log(c.energies[1]);
    const double span = std::log(c.energies[static_cast<std::size_t>(c.rowCount)]) - c.indexStart;
    if (!(span > 0) || !std::isfinite(span)) {
        c.lowest = 1.0;
        c.highest = 0.0;
        return;
    }
    c.cubicsByPower.clear();
    if (c.fittedColumns <= 4) {
        c.cubicsByPower.assign(c.cubics.size(), {});
        for (std::size_t j = 0; j < c.cubics.size(); ++j) {
            for (std::size_t k = 0; k < static_cast<std::size_t>(c.fittedColumns); ++k) {
                for (std::size_t p = 0; p < 4; ++p) {
                    c.cubicsByPower[j][p * 4 + k] = c.cubics[j][k * 4 + p];
                }
            }
        }
    }
    const int cells = std::max(kFewestCells, kCellsPerRow * c.rowCount);
    c.indexScale = cells / span;
    c.lastCell = cells - 1;
    c.firstInterval.resize(static_cast<std::size_t>(cells));
    int j = 2;
    for (int cell = 0; cell < cells; ++cell) {
        const double bound = std::exp(c.indexStart + cell / c.indexScale - kIndexMargin);
        while (j <= c.rowCount && c.energies[static_cast<std::size_t>(j)] < bound) {
            ++j;
        }
        c.firstInterval[static_cast<std::size_t>(cell)] = std::max(2, j - 1);
    }
    // Where an energy of an interval can lie more than two intervals past its cell's first
    // (a cell lower for a logarithm a unit low), the search hands it to the one-at-a-time
    // reading; a block inside that interval is then searched too, so that it reads the same.
    for (std::size_t j = 2; j <= static_cast<std::size_t>(c.rowCount); ++j) {
        const double lowestCell = (std::log(c.energies[j - 1]) - c.indexStart) * c.indexScale - 1.0;
        // Comparisons that a NaN fails: no cell is made of one.
        const auto cell =
            static_cast<std::size_t>(lowestCell > 0 ? std::min(lowestCell, c.lastCell) : 0.0);
        if (static_cast<std::int64_t>(j) - c.firstInterval[cell] > 2) {
            c.flags[j] |= kFarFromIndex;
        }
    }
}

BatchCurves logLogBatchCurves(const ReadingTable& table, double lowest, double highest) {
    BatchCurves c;
    c.rowCount = table.rowCount;
    c.columnCount = c.fittedColumns = table.columnCount;
    const auto rows = static_cast<std::size_t>(table.rowCount) + 1;
    c.energies.assign(table.energies.begin(), table.energies.begin() + rows);
    c.originLogEnergies.assign(rows + 2, 0.0);
    c.cubics.assign(rows + 2, {});
    c.flags.assign(rows + 2, kScalarOnly);
    for (std::size_t j = 2; j < rows; ++j) {
        const double low = table.energies[j - 1];
        const double high = table.energies[j];
        if (!(low > 0) || !(high > low) || !std::isfinite(high)) {
            continue;
        }
        c.flags[j] = 0;
        c.originLogEnergies[j] = std::log(high);
        const double run = c.originLogEnergies[j] - std::log(low);
        for (std::size_t k = 0; k < static_cast<std::size_t>(table.columnCount); ++k) {
            const double below = table.values[j - 1][k];
            const double above = table.values[j][k];
            auto* cubic = &c.cubics[j][k * 4];
            if (table.zeroBelowThreshold[k] && below * above == 0.0) {
                cubic[0] = -kInfinity;
            } else if (below > 0 && above > 0 && std::isfinite(below * above)) {
                cubic[0] = std::log(above);
                cubic[1] = (cubic[0] - std::log(below)) / run;
            } else {
                c.flags[j] = kScalarOnly;
            }
        }
    }
    indexBatchCurves(c, lowest, highest);
    return c;
}

void readBatch(const BatchCurves& c, std::span<const double> energies, std::span<const int> columns,
               std::span<double* const> outputs, double factor,
               const std::function<void(std::size_t)>& oneAtATime) {
    const auto needed = neededColumns(c, columns);
    const bool sum = c.fittedColumns < c.columnCount &&
                     std::find(columns.begin(), columns.end(), c.fittedColumns) != columns.end();
    const bool evenOut = c.fittedColumns == 3 && (needed[1] || needed[2]);
    const bool stream = energies.size() >= kStreamFrom;
    Block block;
    std::array<double, kBlock> padded;
    for (std::size_t start = 0; start < energies.size(); start += kBlock) {
        const std::size_t count = std::min(kBlock, energies.size() - start);
        const double* e = energies.data() + start;
        // Whole vectors only, so that an energy reads the same wherever it stands: a short
        // block is padded with its first energy, and the padding is not written.
        const std::size_t lanes = (count + kWidestVector - 1) / kWidestVector * kWidestVector;
        if (lanes != count) {
            std::copy_n(e, count, padded.begin());
            std::fill(padded.begin() + static_cast<std::ptrdiff_t>(count),
                      padded.begin() + static_cast<std::ptrdiff_t>(lanes), e[0]);
            e = padded.data();
        }
        batch::logarithms(e, block.logEnergies.data(), lanes);
        blockValues(c, e, lanes, needed, block);
        finishColumns(c, lanes, evenOut, sum, block);
        bool alone = false;
        for (std::size_t n = 0; n < columns.size(); ++n) {
            alone = batch::writeColumn(block.values[static_cast<std::size_t>(columns[n])].data(),
                                       factor, outputs[n] + start, block.oneAtATime.data(), count,
                                       stream);
        }
        for (std::size_t i = 0; alone && i < count; ++i) {
            if (block.oneAtATime[i] != 0.0) {
                oneAtATime(start + i);
            }
        }
    }
    if (stream) {
        batch::flushStreams();
    }
}

} // namespace tarvo
