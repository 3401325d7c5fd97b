#include "cross_section_table.h"

#include "common/number_format.h"
#include "common/numeric_text.h"
#include "common/table_reader.h"
#include "common/text_fields.h"
#include "common/text_file.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarvo {
namespace {

double columnValue(std::string_view line, int firstColumn) {
    return tableNumericValue(columnSlice(line, firstColumn, 9));
}

CrossSectionRow parseRow(std::string_view line) {
    CrossSectionRow row;
    row.energy = columnValue(line, 1);
    row.coherent = columnValue(line, 11);
    row.incoherent = columnValue(line, 21);
    row.photoelectric = columnValue(line, 31);
    row.pairNuclear = columnValue(line, 41);
    row.pairElectron = columnValue(line, 51);
    row.total =
        row.coherent + row.incoherent + row.photoelectric + row.pairNuclear + row.pairElectron;
    return row;
}

// A table without a positive total at a row (only possible in a damaged file) gets
// fractions of 0 there instead of a division by zero.
void computeFractions(CrossSectionRow& row) {
    if (!(row.total > 0.0) || !std::isfinite(row.total)) {
        return;
    }
    row.fracCoherent = row.coherent / row.total;
    row.fracIncoherent = row.incoherent / row.total;
    row.fracPhotoelectric = row.photoelectric / row.total;
    row.fracPairNuclear = row.pairNuclear / row.total;
    row.fracPairElectron = row.pairElectron / row.total;
}

} // namespace

std::optional<CrossSectionTable> loadCrossSectionTable(const std::string& path,
                                                       std::string& error) {
    return readAndParse(path, error, parseCrossSectionTable);
}

std::optional<CrossSectionTable>
parseCrossSectionTable(std::string_view text, const std::string& path, std::string& error) {
    TextCursor cursor{text};
    const std::optional<TableHead> head =
        readTableHead(cursor, path, "the density or the row count", error);
    const std::optional<int> rowCount =
        head ? rowCountOf(head->second, kMaxCrossSectionRows, path, 3, error) : std::nullopt;
    if (!rowCount) {
        return std::nullopt;
    }
    auto table = std::make_optional<CrossSectionTable>();
    table->name = head->name;
    table->density = head->first;
    table->rowCount = *rowCount;
    const bool read = readTableRows(
        cursor, path, *rowCount,
        [&](int i, int, std::string line) {
            CrossSectionRow& row = table->rows[static_cast<size_t>(i)];
            row = parseRow(line);
            table->lines[static_cast<size_t>(i)] = std::move(line);
            table->maxTotal = std::max(table->maxTotal, row.total);
            table->minTotal = std::min(table->minTotal, row.total);
            return true;
        },
        error);
    if (!read) {
        return std::nullopt;
    }
    for (int i = 1; i <= *rowCount; ++i) {
        computeFractions(table->rows[static_cast<size_t>(i)]);
    }
    return table;
}

std::optional<TableHeader> readTableHeader(const std::string& path, std::string& error) {
    return readAndParse(path, error, parseTableHeader);
}

std::optional<TableHeader> parseTableHeader(std::string_view text, const std::string& path,
                                            std::string& error) {
    return parseHeaderOf(text, path, "the density or the row count", DensityPlace::first, error);
}

CrossSectionRow completedRow(CrossSectionRow row) {
    row.total =
        row.coherent + row.incoherent + row.photoelectric + row.pairNuclear + row.pairElectron;
    computeFractions(row);
    return row;
}

std::string formatCrossSectionRow(const CrossSectionRow& row) {
    std::string line;
    line.reserve(64);
    appendNumber(line, row.energy, "0.000E+00");
    for (double value :
         {row.coherent, row.incoherent, row.photoelectric, row.pairNuclear, row.pairElectron}) {
        appendNumber(line, value, " 0.000E+00");
    }
    return line;
}

namespace {

// Length of a written row: the energy and five values of nine characters, blank-separated.
constexpr size_t kRowLength = 59;

bool isPositive(double value) {
    return value > 0.0 && std::isfinite(value);
}

// The energy and the three partial values whose logarithms are taken must be positive;
// pair production is zero below its threshold.
bool isWritableRow(const CrossSectionRow& row) {
    return isPositive(row.energy) && isPositive(row.coherent) && isPositive(row.incoherent) &&
           isPositive(row.photoelectric) &&
           (row.pairNuclear == 0.0 || isPositive(row.pairNuclear)) &&
           (row.pairElectron == 0.0 || isPositive(row.pairElectron));
}

// The lines of a table file: name, density, row count and the rows.
std::optional<std::vector<std::string>> tableLines(const std::string& path, const std::string& name,
                                                   double density,
                                                   std::span<const CrossSectionRow> rows,
                                                   std::string& error) {
    if (const std::string problem =
            tableHeadProblem(name, density, rows.size(), kMaxCrossSectionRows);
        !problem.empty()) {
        error = path + ": " + problem;
        return std::nullopt;
    }
    std::vector<std::string> lines{name, formatNumber(density, "##.######"),
                                   formatNumber(static_cast<double>(rows.size()), "###")};
    for (const CrossSectionRow& row : rows) {
        std::string line = formatCrossSectionRow(row);
        if (!isWritableRow(row) || line.size() != kRowLength) {
            error = path + ": the row at " + formatNumber(row.energy, "0.000E+00") +
                    " MeV cannot be written in the table's columns";
            return std::nullopt;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

bool writeMaterialTable(const std::string& path, const std::string& name, double density,
                        std::span<const CrossSectionRow> rows, std::string& error) {
    const auto lines = tableLines(path, name, density, rows, error);
    return lines && writeTextLines(path, *lines, error);
}

bool writeElementTable(const std::string& path, const std::string& name, double density,
                       std::span<const CrossSectionRow> rows, const std::string& atomicWeight,
                       std::string& error) {
    auto lines = tableLines(path, name, density, rows, error);
    if (!lines) {
        return false;
    }
    lines->push_back(atomicWeight);
    return writeTextLines(path, *lines, error);
}

bool writeCrossSectionCsv(const std::string& path, const CrossSectionTable& table,
                          std::string& error) {
    std::vector<std::string> lines{table.name, formatNumber(table.density, "##.######"),
                                   formatNumber(table.rowCount, "###")};
    for (int i = 1; i <= table.rowCount; ++i) {
        const CrossSectionRow& row = table.rows[static_cast<size_t>(i)];
        std::string line = formatNumber(row.energy, "0.000E+00");
        for (double value :
             {row.coherent, row.incoherent, row.photoelectric, row.pairNuclear, row.pairElectron}) {
            line += ",";
            appendNumber(line, value, " 0.000E+00");
        }
        lines.push_back(std::move(line));
    }
    return writeTextLines(path, lines, error);
}

} // namespace tarvo
