#include "output_table.h"

#include "common/number_format.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace tarvo::cli {

void appendValue(std::string& text, double value, int digits);

namespace {

std::string cellText(const Cell& cell, int digits) {
    return std::holds_alternative<double>(cell) ? formatValue(std::get<double>(cell), digits)
                                                : std::get<std::string>(cell);
}

std::string headingOf(const Column& column) {
    return column.unit.empty() ? column.heading : column.heading + " [" + column.unit + "]";
}

// A CSV field, quoted where it holds a comma or a quote.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

void writeAligned(std::ostream& out, const OutputTable& table, int digits) {
    std::vector<size_t> widths;
    for (const Column& column : table.columns) {
        widths.push_back(headingOf(column).size());
    }
    for (const auto& row : table.rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], cellText(row[c], digits).size());
        }
    }
    out << "# " << table.material;
    if (table.density > 0) {
        out << ", density " << formatNumber(table.density, "#0.000###") << " g/cm3";
    }
    out << '\n';
    for (size_t c = 0; c < table.columns.size(); ++c) {
        const std::string heading = headingOf(table.columns[c]);
        out << (c ? "  " : "") << std::string(widths[c] - heading.size(), ' ') << heading;
    }
    out << '\n';
    for (const auto& row : table.rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            const std::string text = cellText(row[c], digits);
            out << (c ? "  " : "") << std::string(widths[c] - text.size(), ' ') << text;
        }
        out << '\n';
    }
}

// The whole answer is made in memory and written at once: a batch may hold millions of rows.
void writeCsv(std::ostream& out, const OutputTable& table, int digits) {
    std::string text;
    text.reserve(table.rows.size() * table.columns.size() * static_cast<size_t>(digits + 8));
    for (size_t c = 0; c < table.columns.size(); ++c) {
        text += (c ? "," : "") + csvField(headingOf(table.columns[c]));
    }
    text += '\n';
    for (const auto& row : table.rows) {
        for (size_t c = 0; c < row.size(); ++c) {
            if (c != 0) {
                text += ',';
            }
            if (std::holds_alternative<double>(row[c])) {
                appendValue(text, std::get<double>(row[c]), digits);
            } else {
                text += csvField(std::get<std::string>(row[c]));
            }
        }
        text += '\n';
    }
    out << text;
}

void writeJson(std::ostream& out, const OutputTable& table, int digits) {
    nlohmann::ordered_json json;
    json["material"] = table.material;
    if (table.density > 0) {
        json["density_g_cm3"] = table.density;
    }
    nlohmann::ordered_json units = nlohmann::ordered_json::object();
    for (const Column& column : table.columns) {
        units[column.key] = column.unit;
    }
    json["units"] = units;
    json["rows"] = nlohmann::ordered_json::array();
    for (const auto& row : table.rows) {
        nlohmann::ordered_json entry;
        for (size_t c = 0; c < row.size(); ++c) {
            if (std::holds_alternative<double>(row[c])) {
                entry[table.columns[c].key] =
                    std::stod(formatValue(std::get<double>(row[c]), digits));
            } else {
                entry[table.columns[c].key] = std::get<std::string>(row[c]);
            }
        }
        json["rows"].push_back(entry);
    }
    json["notes"] = table.notes;
    out << json.dump(2) << '\n';
}

} // namespace

void appendValue(std::string& text, double value, int digits) {
    char number[64];
    const auto written =
        std::to_chars(number, number + sizeof number, value, std::chars_format::scientific,
                      std::clamp(digits, 1, 17) - 1);
    for (char* c = number; c != written.ptr; ++c) {
        text += *c == 'e' ? 'E' : *c;
    }
}

std::string formatValue(double value, int digits) {
    std::string text;
    appendValue(text, value, digits);
    return text;
}

void writeTable(std::ostream& out, const OutputTable& table, OutputFormat format, int digits) {
    switch (format) {
    case OutputFormat::aligned:
        writeAligned(out, table, digits);
        break;
    case OutputFormat::csv:
        writeCsv(out, table, digits);
        break;
    case OutputFormat::json:
        writeJson(out, table, digits);
        break;
    }
}

} // namespace tarvo::cli
