#include "values_at_energy.h"

#include "common/loglog.h"
#include "common/number_format.h"

#include <cmath>

namespace tarvo {
namespace {

// The read-out compares plot abscissae in single precision with 3 ln 10 as 6.909.
float readOutX(double energy) {
    return static_cast<float>(std::log(energy)) + 6.909f;
}

// Fills the partial values at `energy` from rows j - 1 and j.
bool interpolateRows(const CrossSectionTable& table, int j, double energy, ValuesAtEnergy& out) {
    const CrossSectionRow& low = table.rows[static_cast<size_t>(j - 1)];
    const CrossSectionRow& high = table.rows[static_cast<size_t>(j)];
    if (low.energy <= 0 || high.energy <= 0 || low.energy == high.energy) {
        return false;
    }
    const auto interpolate = [&](double a, double b) {
        return logLogInterpolate(energy, low.energy, a, high.energy, b);
    };
    out.pairElectron = logLogInterpolateOrZero(energy, low.energy, low.pairElectron, high.energy,
                                               high.pairElectron);
    out.pairNuclear =
        logLogInterpolateOrZero(energy, low.energy, low.pairNuclear, high.energy, high.pairNuclear);
    out.photoelectric = interpolate(low.photoelectric, high.photoelectric);
    out.incoherent = interpolate(low.incoherent, high.incoherent);
    out.coherent = interpolate(low.coherent, high.coherent);
    out.total = interpolate(low.total, high.total);
    for (double v : {out.pairElectron, out.pairNuclear, out.photoelectric, out.incoherent,
                     out.coherent, out.total}) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

} // namespace

double columnValue(const CrossSectionRow& row, CrossSectionColumn column) {
    switch (column) {
    case CrossSectionColumn::coherent:
        return row.coherent;
    case CrossSectionColumn::incoherent:
        return row.incoherent;
    case CrossSectionColumn::photoelectric:
        return row.photoelectric;
    case CrossSectionColumn::pairNuclear:
        return row.pairNuclear;
    case CrossSectionColumn::pairElectron:
        return row.pairElectron;
    case CrossSectionColumn::total:
        return row.total;
    case CrossSectionColumn::fracCoherent:
        return row.fracCoherent;
    case CrossSectionColumn::fracIncoherent:
        return row.fracIncoherent;
    case CrossSectionColumn::fracPhotoelectric:
        return row.fracPhotoelectric;
    case CrossSectionColumn::fracPairNuclear:
        return row.fracPairNuclear;
    case CrossSectionColumn::fracPairElectron:
        return row.fracPairElectron;
    }
    return 0.0;
}

bool isPairColumn(CrossSectionColumn column) {
    return column == CrossSectionColumn::pairNuclear || column == CrossSectionColumn::pairElectron;
}

ValuesAtEnergy valuesAtEnergy(const CrossSectionTable& table, double energy) {
    ValuesAtEnergy out;
    if (!(energy >= 0.001 && energy <= 100000.0)) {
        return out;
    }
    const int j = bracketingRow(table.rowCount, energy,
                                [&](int i) { return table.rows[static_cast<size_t>(i)].energy; });
    if (j == 0) {
        return out; // above the last row: nothing brackets it
    }
    out.energy = energy;
    out.result = interpolateRows(table, j, energy, out) ? LookupResult::found
                                                        : LookupResult::calculationError;
    return out;
}

ValuesAtEnergy energyAtTotal(const CrossSectionTable& table, double total) {
    ValuesAtEnergy out;
    if (!(total >= table.minTotal && total <= table.maxTotal) || table.rowCount < 2) {
        return out;
    }
    int i = 1;
    while (i <= table.rowCount && !(table.rows[static_cast<size_t>(i)].total <= total)) {
        ++i;
    }
    if (i > table.rowCount) {
        return out;
    }
    i = i == 1 ? 2 : i;
    const CrossSectionRow& low = table.rows[static_cast<size_t>(i - 1)];
    const CrossSectionRow& high = table.rows[static_cast<size_t>(i)];
    const double energy =
        std::exp(std::log(high.energy) - (std::log(high.energy) - std::log(low.energy)) *
                                             (std::log(high.total) - std::log(total)) /
                                             (std::log(high.total) - std::log(low.total)));
    out.result = LookupResult::calculationError;
    if (!(energy >= 0.001 && energy <= 100000.0)) {
        return out;
    }
    out.energy = energy;
    if (interpolateRows(table, i, energy, out)) {
        out.result = LookupResult::found;
        out.total = total;
    }
    return out;
}

int nearestRow(const CrossSectionTable& table, double x) {
    const float pointer = static_cast<float>(x);
    for (int i = 1; i <= table.rowCount; ++i) {
        const double energy = table.rows[static_cast<size_t>(i)].energy;
        if (!(energy > 0) || !(readOutX(energy) > pointer)) {
            continue;
        }
        if (i > 1) {
            const float here = std::fabs(pointer - readOutX(energy));
            const float before =
                std::fabs(pointer - readOutX(table.rows[static_cast<size_t>(i - 1)].energy));
            if (here > before) {
                return i - 1;
            }
        }
        return i;
    }
    return 0;
}

std::string graphTitle(const CrossSectionTable& table) {
    return " " + table.name + "   Density = " + formatNumber(table.density, "#0.000###") +
           " [g/cm3]";
}

} // namespace tarvo
