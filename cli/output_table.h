#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace tarvo::cli {

// What a column holds. A comment column (an edge's side, where a crossing lies) goes, in
// the aligned layout, into the comment that ends its row, so that the numbers of a reading
// stay a plain grid for numpy and gnuplot.
enum class ColumnKind { number, text, comment };

// A column of the output: its key (for CSV and JSON), its heading and its unit.
struct Column {
    std::string key;
    std::string heading;
    std::string unit; // empty: none
    ColumnKind kind = ColumnKind::number;
};

// One cell of a row: a number, or the text of a text column.
struct Cell {
    double number = 0.0;
    std::string_view text;
};

// What stands above the rows: the material, facts about the answer (the method, the
// units), the columns, and whether rows may carry a note (a reading that cannot be given).
struct Heading {
    std::string material;
    double density = 0.0; // g/cm3; 0: not known
    std::vector<std::pair<std::string, std::string>> facts;
    std::vector<Column> columns;
    std::vector<std::string> notes;
    bool rowNotes = false;
    std::vector<std::size_t> widths; // aligned widths of the columns; empty: fixed by the digits
};

enum class OutputFormat { aligned, csv, json };

// Writes rows as they come: aligned columns under "#" heading lines for a person, numpy and
// gnuplot, or CSV or JSON for programs. Numbers carry `digits` significant digits in the
// aligned and CSV layouts and their full precision in JSON; a number that cannot be given
// is nan (null in JSON).
class RowWriter {
  public:
    RowWriter(std::ostream& out, OutputFormat format, int digits);
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;
    ~RowWriter();

    void begin(const Heading& heading);
    void row(std::span<const Cell> cells, std::string_view note = {});
    // Closes the answer; `notes` are added to the heading's (in JSON, written at the end).
    void end(const std::vector<std::string>& notes = {});

  private:
    void alignedRow(std::span<const Cell> cells, std::string_view note);
    void csvRow(std::span<const Cell> cells, std::string_view note);
    void jsonRow(std::span<const Cell> cells, std::string_view note);
    void flushIfFull();

    std::ostream& m_out;
    OutputFormat m_format;
    int m_digits;
    Heading m_heading;
    std::vector<std::size_t> m_widths;
    std::string m_buffer;
    bool m_firstRow = true;
};

// A table written at once, for the short answers (lists, crossings, equal steps).
using CellValue = std::variant<double, std::string>;
struct OutputTable {
    Heading heading;
    std::vector<std::vector<CellValue>> rows;
};
void writeTable(std::ostream& out, const OutputTable& table, OutputFormat format, int digits);

// A number with `digits` significant digits in exponent form: 6.323E-02.
std::string formatValue(double value, int digits);

// The text with every byte that is no part of a valid UTF-8 character, and every control
// character, shown as U+FFFD: safe to print and to put in JSON.
std::string printable(std::string_view text);

} // namespace tarvo::cli
