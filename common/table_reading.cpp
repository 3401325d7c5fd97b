#include "table_reading.h"

#include "common/loglog.h"

#include <algorithm>
#include <cmath>

namespace tarvo {
namespace {

// ln c(E) = ln c_b - (ln E_b - ln E) s, with s the slope between the rows: the line of
// logLogInterpolate, from prepared logarithms.
double interpolatePrepared(const ReadingTable& table, int j, size_t c, double logEnergy) {
    const auto high = static_cast<size_t>(j);
    return std::exp(table.logValues[high][c] -
                    (table.logEnergies[high] - logEnergy) * table.slopes[high][c]);
}

double interpolateColumn(const ReadingTable& table, int j, size_t c, double energy,
                         double logEnergy, bool fast) {
    const double low = table.values[static_cast<size_t>(j - 1)][c];
    const double high = table.values[static_cast<size_t>(j)][c];
    if (table.zeroBelowThreshold[c] && low * high == 0.0) {
        return 0.0;
    }
    // At a row's energy the published value itself, not its logarithm's round trip.
    if (energy == table.energies[static_cast<size_t>(j)]) {
        return high;
    }
    if (energy == table.energies[static_cast<size_t>(j - 1)]) {
        return low;
    }
    if (fast) {
        return interpolatePrepared(table, j, c, logEnergy);
    }
    return logLogInterpolate(energy, table.energies[static_cast<size_t>(j - 1)], low,
                             table.energies[static_cast<size_t>(j)], high);
}

// The columns at `energy` between rows j - 1 and j.
bool interpolateRows(const ReadingTable& table, int j, double energy, Reading& reading) {
    const double lowEnergy = table.energies[static_cast<size_t>(j - 1)];
    const double highEnergy = table.energies[static_cast<size_t>(j)];
    if (!(lowEnergy > 0) || !(highEnergy > 0) || lowEnergy == highEnergy) {
        return false;
    }
    const double logEnergy = std::log(energy);
    // The size check keeps a table whose rows grew after preparing from reading past the logs.
    const bool fast = table.logarithmsPrepared && table.logEnergies.size() == table.energies.size();
    for (size_t c = 0; c < static_cast<size_t>(table.columnCount); ++c) {
        reading.values[c] = interpolateColumn(table, j, c, energy, logEnergy, fast);
        if (!std::isfinite(reading.values[c])) {
            return false;
        }
    }
    return true;
}

// The first row at or above `energy` (the lower row of an edge at its energy), and 2 in
// place of 1; 0 when none is or the table has fewer than 2 rows.
int bracketingRowOf(const ReadingTable& table, double energy) {
    if (table.rowCount < 2) {
        return 0;
    }
    const int j = firstRowAtOrAbove(table.energies, table.rowCount, energy);
    if (j > table.rowCount) {
        return 0;
    }
    return j == 1 ? 2 : j;
}

} // namespace

int firstRowAtOrAbove(const std::vector<double>& energies, int count, double energy) {
    if (count < 1) {
        return 1;
    }
    // A binary search without branches on the energy (random energies defeat a predicted
    // one).
    const double* row = energies.data() + 1;
    for (size_t n = static_cast<size_t>(count); n > 1;) {
        const size_t half = n / 2;
        row = row[half - 1] < energy ? row + half : row;
        n -= half;
    }
    return static_cast<int>(row - energies.data()) + (*row < energy ? 1 : 0);
}

void prepareLogarithms(ReadingTable& table) {
    const size_t rows = table.energies.size();
    table.logEnergies.assign(rows, 0.0);
    table.logValues.assign(rows, {});
    table.slopes.assign(rows, {});
    for (size_t i = 0; i < rows; ++i) {
        table.logEnergies[i] = std::log(table.energies[i]);
        for (size_t c = 0; c < static_cast<size_t>(table.columnCount); ++c) {
            table.logValues[i][c] = std::log(table.values[i][c]);
            if (i >= 2) {
                table.slopes[i][c] = (table.logValues[i][c] - table.logValues[i - 1][c]) /
                                     (table.logEnergies[i] - table.logEnergies[i - 1]);
            }
        }
    }
    table.logarithmsPrepared = true;
}

Reading readAtEnergy(const ReadingTable& table, double energy, double lowest, double highest) {
    Reading reading;
    if (!(energy >= lowest && energy <= highest)) {
        return reading;
    }
    if (table.rowCount == 1 && energy == table.energies[1]) {
        // A table of one row reads that row at its own energy, and nothing else.
        reading.energy = energy;
        reading.result = ReadingResult::found;
        reading.values = table.values[1];
        return reading;
    }
    const int j = bracketingRowOf(table, energy);
    if (j == 0) {
        return reading; // above the last row: nothing brackets it
    }
    reading.energy = energy;
    reading.result = interpolateRows(table, j, energy, reading) ? ReadingResult::found
                                                                : ReadingResult::calculationError;
    return reading;
}

Reading readEnergyAt(const ReadingTable& table, int column, double value, double smallest,
                     double largest, double lowest, double highest) {
    Reading reading;
    const auto c = static_cast<size_t>(column);
    if (!(value >= smallest && value <= largest) || table.rowCount < 2) {
        return reading;
    }
    int i = 1;
    while (i <= table.rowCount && !(table.values[static_cast<size_t>(i)][c] <= value)) {
        ++i;
    }
    if (i > table.rowCount) {
        return reading;
    }
    i = i == 1 ? 2 : i;
    reading.result = ReadingResult::calculationError;
    const double lowValue = table.values[static_cast<size_t>(i - 1)][c];
    const double highValue = table.values[static_cast<size_t>(i)][c];
    if (lowValue == highValue) {
        return reading; // no crossing to find between equal values
    }
    // ln E on the straight line through the two rows in (ln value, ln E), exact at row i.
    const double lowEnergy = table.energies[static_cast<size_t>(i - 1)];
    const double highEnergy = table.energies[static_cast<size_t>(i)];
    const double energy =
        std::exp(std::log(highEnergy) - (std::log(highEnergy) - std::log(lowEnergy)) *
                                            (std::log(highValue) - std::log(value)) /
                                            (std::log(highValue) - std::log(lowValue)));
    if (!(energy >= lowest && energy <= highest) || !interpolateRows(table, i, energy, reading)) {
        return reading;
    }
    reading.values[c] = value;
    reading.energy = energy;
    reading.result = ReadingResult::found;
    return reading;
}

int upperEdgeRow(const ReadingTable& table, double energy) {
    if (table.rowCount < 2) {
        return 0;
    }
    const auto begin = table.energies.begin() + 1;
    const auto first = std::lower_bound(begin, begin + table.rowCount, energy);
    const int j = static_cast<int>(first - begin) + 1; // the first row at or above
    const bool edge = j < table.rowCount && table.energies[static_cast<size_t>(j)] == energy &&
                      table.energies[static_cast<size_t>(j + 1)] == energy;
    return edge ? j + 1 : 0;
}

OtherSide otherSideOfRow(const ReadingTable& table, int row) {
    if (row < 1 || row > table.rowCount) {
        return {};
    }
    const double energy = table.energies[static_cast<size_t>(row)];
    if (row < table.rowCount && table.energies[static_cast<size_t>(row + 1)] == energy) {
        return {row + 1, true};
    }
    if (row > 1 && table.energies[static_cast<size_t>(row - 1)] == energy) {
        return {row - 1, false};
    }
    return {};
}

OtherSide otherSideOfReading(const ReadingTable& table, const Reading& reading) {
    const int upper = upperEdgeRow(table, reading.energy);
    if (reading.result != ReadingResult::found || upper == 0) {
        return {};
    }
    // An inverse reading may land on the upper row's values; then the lower row is across.
    const auto& above = table.values[static_cast<size_t>(upper)];
    const bool showsAbove =
        std::equal(above.begin(), above.begin() + table.columnCount, reading.values.begin());
    return showsAbove ? OtherSide{upper - 1, false} : OtherSide{upper, true};
}

std::vector<Crossing> everyEnergyAt(const ReadingTable& table, int column, double value) {
    std::vector<Crossing> crossings;
    const auto c = static_cast<size_t>(column);
    const auto add = [&](double energy, CrossingKind kind) {
        if (crossings.empty() || crossings.back().energy != energy) {
            crossings.push_back({energy, kind});
        }
    };
    for (int i = 2; i <= table.rowCount; ++i) {
        const double lowEnergy = table.energies[static_cast<size_t>(i - 1)];
        const double highEnergy = table.energies[static_cast<size_t>(i)];
        const double low = table.values[static_cast<size_t>(i - 1)][c];
        const double high = table.values[static_cast<size_t>(i)][c];
        if ((low - value) * (high - value) > 0 || !(low > 0) || !(high > 0)) {
            continue;
        }
        if (lowEnergy == highEnergy) {
            add(lowEnergy,
                low == value || high == value ? CrossingKind::between : CrossingKind::atEdge);
        } else if (low == value || low == high) {
            add(lowEnergy, CrossingKind::between);
        } else if (high == value) {
            add(highEnergy, CrossingKind::between);
        } else {
            // ln E on the line through the two rows in (ln value, ln E).
            add(std::exp(std::log(lowEnergy) + (std::log(highEnergy) - std::log(lowEnergy)) *
                                                   (std::log(value) - std::log(low)) /
                                                   (std::log(high) - std::log(low))),
                CrossingKind::between);
        }
    }
    return crossings;
}

} // namespace tarvo
