#include "coefficient_values.h"

#include "common/number_format.h"
#include "common/text_fields.h"

#include <cmath>

namespace tarvo {

double coefficientOf(const CoefficientRow& row, Coefficient which) {
    switch (which) {
    case Coefficient::attenuation:
        return row.attenuation;
    case Coefficient::energyTransfer:
        return row.energyTransfer;
    case Coefficient::energyAbsorption:
        return row.energyAbsorption;
    }
    return 0.0;
}

CoefficientExtremes extremesOf(const CoefficientTable& table) {
    CoefficientExtremes extremes;
    for (int i = 1; i <= table.energyCount; ++i) {
        for (int c = 0; c < 3; ++c) {
            const double value =
                coefficientOf(table.rows[static_cast<size_t>(i)], static_cast<Coefficient>(c));
            extremes.largest[c] = value > extremes.largest[c] ? value : extremes.largest[c];
            extremes.smallest[c] = value < extremes.smallest[c] ? value : extremes.smallest[c];
        }
    }
    return extremes;
}

std::string tableDisplayRow(const std::string& line) {
    return std::string(columnSlice(line, 1, 11)) + "  " + std::string(columnSlice(line, 13, 9)) +
           "  " + std::string(columnSlice(line, 23, 9)) + "  " + std::string(lastColumns(line, 9));
}

std::string coefficientTitle(const CoefficientTable& table) {
    return " " + table.name + "  Density = " + formatNumber(table.density, "#0.000###") +
           " [g/cm3]";
}

std::string compositionTitle(const CoefficientTable& table) {
    return " " + table.name + "  \xcf\x81=" + formatNumber(table.density, "#0.000###") + " [g/cm3]";
}

ReadingTable readingTableOf(const CoefficientTable& table) {
    return readingTableOf(std::span(table.rows).subspan(1, static_cast<size_t>(table.energyCount)));
}

ReadingTable readingTableOf(std::span<const CoefficientRow> rows) {
    ReadingTable reading;
    reading.rowCount = static_cast<int>(rows.size());
    reading.columnCount = 3;
    reading.energies.assign(rows.size() + 1, 0.0);
    reading.values.assign(rows.size() + 1, {});
    for (size_t i = 1; i <= rows.size(); ++i) {
        reading.energies[i] = rows[i - 1].energy;
        for (int c = 0; c < 3; ++c) {
            reading.values[i][static_cast<size_t>(c)] =
                coefficientOf(rows[i - 1], static_cast<Coefficient>(c));
        }
    }
    prepareLogarithms(reading);
    return reading;
}

} // namespace tarvo
