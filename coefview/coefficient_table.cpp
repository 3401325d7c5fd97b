#include "coefficient_table.h"

#include "common/number_format.h"
#include "common/numeric_text.h"
#include "common/table_reader.h"
#include "common/text_fields.h"
#include "common/text_file.h"

#include <cmath>
#include <vector>

namespace tarvo {
namespace {

bool isPositiveNumber(double value) {
    return value > 0.0 && std::isfinite(value);
}

bool isWholeInRange(double value, int low, int high) {
    return value >= low && value <= high && value == std::floor(value);
}

CoefficientRow parseRow(std::string_view line) {
    CoefficientRow row;
    row.energy = tableNumericValue(columnSlice(line, 1, 11));
    row.attenuation = tableNumericValue(columnSlice(line, 13, 9));
    row.energyTransfer = tableNumericValue(columnSlice(line, 23, 9));
    row.energyAbsorption = tableNumericValue(lastColumns(line, 9));
    return row;
}

// Reads the rows after the head: positive numbers in columns, energies not falling.
bool readRows(TextCursor& cursor, const std::string& path, CoefficientTable& table,
              std::string& error) {
    return readTableRows(
        cursor, path, table.energyCount,
        [&](int i, int lineNumber, std::string line) {
            const CoefficientRow row = parseRow(line);
            if (!isPositiveNumber(row.energy) || !isPositiveNumber(row.attenuation) ||
                !isPositiveNumber(row.energyTransfer) || !isPositiveNumber(row.energyAbsorption)) {
                error = tableFailure(path, lineNumber,
                                     "an energy or coefficient is not a positive number");
                return false;
            }
            if (i > 1 && row.energy < table.rows[static_cast<size_t>(i - 1)].energy) {
                error = tableFailure(path, lineNumber, "the energies must not fall");
                return false;
            }
            table.rows[static_cast<size_t>(i)] = row;
            table.lines[static_cast<size_t>(i)] = std::move(line);
            return true;
        },
        error);
}

bool readComposition(TextCursor& cursor, const std::string& path, CoefficientTable& table,
                     std::string& error) {
    const std::optional<double> count = readNumberField(cursor);
    if (!count) {
        error = tableFailure(path, cursor.lineNumber, "the element count is missing");
        return false;
    }
    if (!isWholeInRange(*count, 1, kMaxCompositionEntries)) {
        error = tableFailure(path, cursor.lineNumber - 1,
                             "the element count must be a whole number from 1 to " +
                                 std::to_string(kMaxCompositionEntries));
        return false;
    }
    table.compositionCount = static_cast<int>(*count);
    for (int j = 1; j <= table.compositionCount; ++j) {
        const std::optional<double> z = readNumberField(cursor);
        const std::optional<double> w = readNumberField(cursor);
        if (!z || !w) {
            error = tableFailure(path, cursor.lineNumber,
                                 "the file ends after " + std::to_string(j - 1) + " of " +
                                     std::to_string(table.compositionCount) + " elements");
            return false;
        }
        if (!isWholeInRange(*z, 0, 999) || !std::isfinite(*w)) {
            error = tableFailure(path, cursor.lineNumber - 1, "an element line is not readable");
            return false;
        }
        table.composition[static_cast<size_t>(j)] = {static_cast<int>(*z), *w};
    }
    return true;
}

} // namespace

std::optional<TableHeader> readCoefficientHeader(const std::string& path, std::string& error) {
    return readAndParse(path, error, parseCoefficientHeader);
}

std::optional<TableHeader> parseCoefficientHeader(std::string_view text, const std::string& path,
                                                  std::string& error) {
    return parseHeaderOf(text, path, "the row count or the density", DensityPlace::second, error);
}

std::optional<CoefficientTable> loadCoefficientTable(const std::string& path, bool withComposition,
                                                     std::string& error) {
    return readAndParse(
        path, error,
        [withComposition](std::string_view text, const std::string& at, std::string& failure) {
            return parseCoefficientTable(text, at, withComposition, failure);
        });
}

std::optional<CoefficientTable> parseCoefficientTable(std::string_view text,
                                                      const std::string& path, bool withComposition,
                                                      std::string& error) {
    TextCursor cursor{text};
    const std::optional<TableHead> head =
        readTableHead(cursor, path, "the row count or the density", error);
    const std::optional<int> rowCount =
        head ? rowCountOf(head->first, kMaxCoefficientRows, path, 2, error) : std::nullopt;
    if (!rowCount) {
        return std::nullopt;
    }
    auto table = std::make_optional<CoefficientTable>();
    table->name = head->name;
    table->energyCount = *rowCount;
    table->density = head->second;
    if (!readRows(cursor, path, *table, error)) {
        return std::nullopt;
    }
    if (withComposition && !readComposition(cursor, path, *table, error)) {
        return std::nullopt;
    }
    return table;
}

bool isMaterialCoefficientPath(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    const std::string ending = path.substr(path.size() - 4);
    return ending == "mucm" || ending == "muc2" || ending == "muc3";
}

std::string formatCoefficientRow(const CoefficientRow& row) {
    std::string line;
    line.reserve(48);
    appendNumber(line, row.energy, "0.00000E+00");
    for (double value : {row.attenuation, row.energyTransfer, row.energyAbsorption}) {
        appendNumber(line, value, " 0.000E+00");
    }
    return line;
}

namespace {

// Length of a written row: the energy in eleven characters, three values in ten each.
constexpr size_t kRowLength = 41;

// The lines of a coefficient table without the composition block.
std::optional<std::vector<std::string>> tableLines(const std::string& path, const std::string& name,
                                                   double density,
                                                   std::span<const CoefficientRow> rows,
                                                   std::string& error) {
    if (const std::string problem =
            tableHeadProblem(name, density, rows.size(), kMaxCoefficientRows);
        !problem.empty()) {
        error = path + ": " + problem;
        return std::nullopt;
    }
    std::vector<std::string> lines{name, formatNumber(static_cast<double>(rows.size()), "000"),
                                   formatNumber(density, "00.000000")};
    for (const CoefficientRow& row : rows) {
        if (!isPositiveNumber(row.energy) || !isPositiveNumber(row.attenuation) ||
            !isPositiveNumber(row.energyTransfer) || !isPositiveNumber(row.energyAbsorption)) {
            error = path + ": every energy and coefficient must be a positive number";
            return std::nullopt;
        }
        std::string line = formatCoefficientRow(row);
        if (line.size() != kRowLength) {
            error = path + ": the row at " + formatNumber(row.energy, "0.00000E+00") +
                    " MeV cannot be written in the table's columns";
            return std::nullopt;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace

bool writeMaterialCoefficientTable(const std::string& path, const std::string& name, double density,
                                   std::span<const CoefficientRow> rows,
                                   std::span<const CompositionEntry> composition,
                                   std::string& error) {
    if (composition.empty() || composition.size() > static_cast<size_t>(kMaxCompositionEntries)) {
        error = path + ": a material holds 1 to " + std::to_string(kMaxCompositionEntries) +
                " elements";
        return false;
    }
    auto lines = tableLines(path, name, density, rows, error);
    if (!lines) {
        return false;
    }
    for (const CompositionEntry& entry : composition) {
        if (!(entry.weightFraction >= 0.0 && entry.weightFraction <= 1.0)) {
            error = path + ": a fraction by weight must lie between 0 and 1";
            return false;
        }
    }
    lines->push_back(formatNumber(static_cast<double>(composition.size()), "00"));
    for (const CompositionEntry& entry : composition) {
        lines->push_back(formatNumber(entry.atomicNumber, "00") + " " +
                         formatNumber(entry.weightFraction, "0.000000"));
    }
    return writeTextLines(path, *lines, error);
}

bool writeCoefficientCsv(const std::string& path, const CoefficientTable& table,
                         std::string& error) {
    std::vector<std::string> lines{table.name, formatNumber(table.density, "##.######"),
                                   formatNumber(table.energyCount, "###")};
    for (int i = 1; i <= table.energyCount; ++i) {
        const CoefficientRow& row = table.rows[static_cast<size_t>(i)];
        std::string line = formatNumber(row.energy, "0.000E+00");
        for (double value : {row.attenuation, row.energyTransfer, row.energyAbsorption}) {
            line += ",";
            appendNumber(line, value, " 0.000E+00");
        }
        lines.push_back(std::move(line));
    }
    return writeTextLines(path, lines, error);
}

bool writeElementCoefficientTable(const std::string& path, const std::string& name, double density,
                                  std::span<const CoefficientRow> rows, std::string& error) {
    const auto lines = tableLines(path, name, density, rows, error);
    return lines && writeTextLines(path, *lines, error);
}

} // namespace tarvo
