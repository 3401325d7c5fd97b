#include "values_at_energy.h"

#include "common/number_format.h"

namespace tarvo {

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

ReadingTable readingTableOf(const CrossSectionTable& table) {
    return readingTableOf(std::span(table.rows).subspan(1, static_cast<size_t>(table.rowCount)));
}

ReadingTable readingTableOf(std::span<const CrossSectionRow> rows) {
    ReadingTable reading;
    reading.rowCount = static_cast<int>(rows.size());
    reading.columnCount = 6;
    reading.energies.assign(rows.size() + 1, 0.0);
    reading.values.assign(rows.size() + 1, {});
    for (size_t i = 1; i <= rows.size(); ++i) {
        const CrossSectionRow row = completedRow(rows[i - 1]);
        reading.energies[i] = row.energy;
        for (int c = 0; c < reading.columnCount; ++c) {
            reading.values[i][static_cast<size_t>(c)] =
                columnValue(row, static_cast<CrossSectionColumn>(c));
        }
    }
    reading.zeroBelowThreshold[static_cast<size_t>(CrossSectionColumn::pairNuclear)] = true;
    reading.zeroBelowThreshold[static_cast<size_t>(CrossSectionColumn::pairElectron)] = true;
    prepareLogarithms(reading);
    return reading;
}

std::string graphTitle(const CrossSectionTable& table) {
    return " " + table.name + "   Density = " + formatNumber(table.density, "#0.000###") +
           " [g/cm3]";
}

} // namespace tarvo
