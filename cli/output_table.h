#pragma once

#include <iosfwd>
#include <string>
#include <variant>
#include <vector>

namespace tarvo::cli {

// A column of the output: its key (for CSV and JSON), its heading and its unit.
struct Column {
    std::string key;
    std::string heading;
    std::string unit; // empty: none
};

using Cell = std::variant<double, std::string>;

// What a command answers: a table of values about one material, and notes beside it.
struct OutputTable {
    std::string material;
    double density = 0.0; // g/cm3; 0: not known
    std::vector<Column> columns;
    std::vector<std::vector<Cell>> rows;
    std::vector<std::string> notes;
};

enum class OutputFormat { aligned, csv, json };

// Writes the table: aligned columns under a heading line with units for a person, or CSV
// or JSON for programs; numbers with `digits` significant digits.
void writeTable(std::ostream& out, const OutputTable& table, OutputFormat format, int digits);

// A number with `digits` significant digits in exponent form: 6.323E-02.
std::string formatValue(double value, int digits);

} // namespace tarvo::cli
