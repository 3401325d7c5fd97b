#include "cross_section_table.h"

#include "common/number_format.h"
#include "common/numeric_text.h"
#include "common/text_fields.h"
#include "common/text_file.h"

#include <cmath>
#include <vector>

namespace tarvo {
namespace {

std::string failure(const std::string& path, int line, const std::string& reason) {
    return path + ": line " + std::to_string(line) + ": " + reason;
}

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

// Reads the name line and the density, and the row count when `rowCount` is given.
bool readHeader(TextCursor& cursor, const std::string& path, TableHeader& header, int* rowCount,
                std::string& error) {
    const std::optional<std::string> name = readLine(cursor);
    if (!name) {
        error = failure(path, 1, "the file is empty");
        return false;
    }
    const std::optional<double> density = readNumberField(cursor);
    const int densityLine = cursor.lineNumber;
    const std::optional<double> count = readNumberField(cursor);
    if (!density || !count) {
        error = failure(path, densityLine, "the density or the row count is missing");
        return false;
    }
    header.name = *name;
    header.density = *density;
    if (rowCount == nullptr) {
        return true;
    }
    if (!(*count >= 1.0 && *count <= kMaxCrossSectionRows) || *count != std::floor(*count)) {
        error = failure(path, cursor.lineNumber - 1,
                        "the row count must be a whole number from 1 to " +
                            std::to_string(kMaxCrossSectionRows));
        return false;
    }
    *rowCount = static_cast<int>(std::lround(*count));
    return true;
}

} // namespace

std::optional<CrossSectionTable> loadCrossSectionTable(const std::string& path,
                                                       std::string& error) {
    const std::optional<std::string> content = readNamedTextFile(path, error);
    if (!content) {
        return std::nullopt;
    }
    return parseCrossSectionTable(*content, path, error);
}

std::optional<CrossSectionTable>
parseCrossSectionTable(std::string_view text, const std::string& path, std::string& error) {
    TextCursor cursor{text};
    TableHeader header;
    int rowCount = 0;
    if (!readHeader(cursor, path, header, &rowCount, error)) {
        return std::nullopt;
    }
    auto table = std::make_optional<CrossSectionTable>();
    table->name = header.name;
    table->density = header.density;
    table->rowCount = rowCount;
    for (int i = 1; i <= rowCount; ++i) {
        const std::optional<std::string> line = readLine(cursor);
        if (!line) {
            error = failure(path, cursor.lineNumber,
                            "the file ends after " + std::to_string(i - 1) + " of " +
                                std::to_string(rowCount) + " rows");
            return std::nullopt;
        }
        CrossSectionRow& row = table->rows[static_cast<size_t>(i)];
        row = parseRow(*line);
        table->lines[static_cast<size_t>(i)] = std::move(*line);
        if (row.total > table->maxTotal) {
            table->maxTotal = row.total;
        }
        if (row.total < table->minTotal) {
            table->minTotal = row.total;
        }
    }
    for (int i = 1; i <= rowCount; ++i) {
        computeFractions(table->rows[static_cast<size_t>(i)]);
    }
    return table;
}

std::optional<TableHeader> readTableHeader(const std::string& path, std::string& error) {
    const std::optional<std::string> content = readNamedTextFile(path, error);
    if (!content) {
        return std::nullopt;
    }
    return parseTableHeader(*content, path, error);
}

std::optional<TableHeader> parseTableHeader(std::string_view text, const std::string& path,
                                            std::string& error) {
    TextCursor cursor{text};
    TableHeader header;
    if (!readHeader(cursor, path, header, nullptr, error)) {
        return std::nullopt;
    }
    return header;
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
    if (rows.empty() || rows.size() > static_cast<size_t>(kMaxCrossSectionRows)) {
        error = path + ": a table holds 1 to " + std::to_string(kMaxCrossSectionRows) +
                " rows, not " + std::to_string(rows.size());
        return std::nullopt;
    }
    if (name.find_first_of("\r\n") != std::string::npos) {
        error = path + ": the name must be a single line";
        return std::nullopt;
    }
    if (!(density > 0.0) || !std::isfinite(density)) {
        error = path + ": the density must be a positive number";
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

std::optional<std::string> readStartFiles() {
    std::string error;
    const std::optional<std::string> marker = readTextFile("Start.dat", error);
    const std::optional<std::string> user =
        marker ? readTextFile(formPath("ele", "user.txt"), error) : std::nullopt;
    if (!marker || !user) {
        return std::nullopt;
    }
    return parseStartFiles(*marker, *user);
}

std::optional<std::string> parseStartFiles(std::string_view marker, std::string_view user) {
    TextCursor markerCursor{marker};
    if (!readTextField(markerCursor)) {
        return std::nullopt;
    }
    TextCursor userCursor{user};
    return readLine(userCursor);
}

} // namespace tarvo
