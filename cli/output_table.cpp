#include "output_table.h"

#include "cli/number_text.h"
#include "common/number_format.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <ostream>

namespace tarvo::cli {
namespace {

// Rows are gathered into a buffer this large before it is written.
constexpr std::size_t kBufferSize = 1 << 16;

std::string headingOf(const Column& column) {
    return column.unit.empty() ? column.heading : column.heading + " [" + column.unit + "]";
}

// A CSV field, quoted where it holds a comma, a quote or a line end.
void appendCsvField(std::string& text, std::string_view field) {
    if (field.find_first_of(",\"\n\r") == std::string_view::npos) {
        text += field;
        return;
    }
    text += '"';
    for (const char c : field) {
        text += c == '"' ? std::string_view("\"\"") : std::string_view(&c, 1);
    }
    text += '"';
}

std::string jsonString(std::string_view text) {
    return nlohmann::json(printable(text)).dump();
}

void appendPadded(std::string& text, std::string_view field, std::size_t width) {
    text.append(width > field.size() ? width - field.size() : 0, ' ');
    text += field;
}

// Whether the bytes from `at` start a valid UTF-8 character; its length when they do.
std::size_t utf8Length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // No overlong three- or four-byte forms, no surrogates, nothing above U+10FFFF.
    const unsigned char second = byte(at + 1 < text.size() ? at + 1 : at);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90)) {
        return 0;
    }
    return length;
}

} // namespace

std::string printable(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = utf8Length(text, at);
        const auto c = static_cast<unsigned char>(text[at]);
        if (length == 0 || c < 0x20 || c == 0x7F) {
            shown += "\xEF\xBF\xBD";
            at += length == 0 ? 1 : length;
        } else {
            shown.append(text.substr(at, length));
            at += length;
        }
    }
    return shown;
}

RowWriter::RowWriter(std::ostream& out, OutputFormat format, int digits)
    : m_out(out), m_format(format), m_digits(std::clamp(digits, 1, 17)) {
    m_buffer.reserve(kBufferSize + 4096);
}

RowWriter::~RowWriter() {
    m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
}

namespace {

// A key given several times (the layers of several materials) holds the list of its values,
// since a reader of JSON keeps one value a key.
void appendJsonFacts(std::string& b,
                     const std::vector<std::pair<std::string, std::string>>& facts) {
    for (std::size_t i = 0; i < facts.size(); ++i) {
        const std::string& key = facts[i].first;
        std::vector<std::string> values;
        bool seenBefore = false;
        for (std::size_t j = 0; j < facts.size(); ++j) {
            if (facts[j].first == key) {
                seenBefore = seenBefore || j < i;
                values.push_back(jsonString(facts[j].second));
            }
        }
        if (seenBefore) {
            continue;
        }
        b += ",\n  " + jsonString(key) + ": ";
        if (values.size() == 1) {
            b += values.front();
            continue;
        }
        b += '[';
        for (std::size_t v = 0; v < values.size(); ++v) {
            b += (v ? ", " : "") + values[v];
        }
        b += ']';
    }
}

} // namespace

void RowWriter::begin(const Heading& heading) {
    m_heading = heading;
    std::string& b = m_buffer;
    if (m_format == OutputFormat::json) {
        b += "{\n  \"material\": " + jsonString(heading.material);
        if (heading.density > 0) {
            b += ",\n  \"density_g_cm3\": ";
            appendShortest(b, heading.density);
        }
        appendJsonFacts(b, heading.facts);
        b += ",\n  \"units\": {";
        for (std::size_t c = 0; c < heading.columns.size(); ++c) {
            b += (c ? ", " : "") + jsonString(heading.columns[c].key) + ": " +
                 jsonString(heading.columns[c].unit);
        }
        b += "},\n  \"rows\": [";
        return;
    }
    if (m_format == OutputFormat::csv) {
        for (std::size_t c = 0; c < heading.columns.size(); ++c) {
            b += c ? "," : "";
            appendCsvField(b, headingOf(heading.columns[c]));
        }
        b += heading.rowNotes ? ",note\n" : "\n";
        return;
    }
    b += "# " + printable(heading.material);
    if (heading.density > 0) {
        b += ", density " + formatNumber(heading.density, "#0.000###") + " g/cm3";
    }
    b += '\n';
    for (const auto& [key, value] : heading.facts) {
        b += "# " + key + ": " + printable(value) + '\n';
    }
    for (const std::string& note : heading.notes) {
        b += "# note: " + printable(note) + '\n';
    }
    std::string comments;
    b += '#';
    for (std::size_t c = 0; c < heading.columns.size(); ++c) {
        const Column& column = heading.columns[c];
        const std::string text = headingOf(column);
        const std::size_t fixed = column.kind == ColumnKind::number ? m_digits + 6 : 0;
        m_widths.push_back(
            std::max(text.size(), c < heading.widths.size() ? heading.widths[c] : fixed));
        if (column.kind == ColumnKind::comment) {
            comments += (comments.empty() ? "" : "; ") + text;
        } else {
            appendPadded(b, text, m_widths.back() + (c == 0 ? 1 : 2));
        }
    }
    b += comments.empty() ? "\n" : "  # " + comments + "\n";
}

void RowWriter::row(std::span<const Cell> cells, std::string_view note) {
    switch (m_format) {
    case OutputFormat::aligned:
        alignedRow(cells, note);
        break;
    case OutputFormat::csv:
        csvRow(cells, note);
        break;
    case OutputFormat::json:
        jsonRow(cells, note);
        break;
    }
    m_firstRow = false;
    flushIfFull();
}

void RowWriter::alignedRow(std::span<const Cell> cells, std::string_view note) {
    std::string& b = m_buffer;
    std::string comments;
    b += ' ';
    for (std::size_t c = 0; c < cells.size() && c < m_heading.columns.size(); ++c) {
        const ColumnKind kind = m_heading.columns[c].kind;
        if (kind == ColumnKind::comment) {
            if (!cells[c].text.empty()) {
                comments += (comments.empty() ? "" : "; ") + std::string(cells[c].text);
            }
            continue;
        }
        const std::size_t start = b.size();
        if (kind == ColumnKind::text) {
            b += printable(cells[c].text);
        } else {
            appendScientific(b, cells[c].number, m_digits);
        }
        const std::size_t width = m_widths[c] + (c == 0 ? 1 : 2);
        if (b.size() - start < width) {
            b.insert(start, width - (b.size() - start), ' ');
        }
    }
    if (!note.empty()) {
        comments += (comments.empty() ? "" : "; ") + printable(note);
    }
    b += comments.empty() ? "\n" : "  # " + comments + "\n";
}

void RowWriter::csvRow(std::span<const Cell> cells, std::string_view note) {
    std::string& b = m_buffer;
    for (std::size_t c = 0; c < cells.size() && c < m_heading.columns.size(); ++c) {
        if (c != 0) {
            b += ',';
        }
        if (m_heading.columns[c].kind != ColumnKind::number) {
            appendCsvField(b, cells[c].text.empty() ? std::string() : printable(cells[c].text));
        } else {
            appendScientific(b, cells[c].number, m_digits);
        }
    }
    if (m_heading.rowNotes) {
        b += ',';
        if (!note.empty()) {
            appendCsvField(b, printable(note));
        }
    }
    b += '\n';
}

void RowWriter::jsonRow(std::span<const Cell> cells, std::string_view note) {
    std::string& b = m_buffer;
    b += m_firstRow ? "\n    {" : ",\n    {";
    for (std::size_t c = 0; c < cells.size() && c < m_heading.columns.size(); ++c) {
        b += (c ? ", \"" : "\"") + m_heading.columns[c].key + "\": ";
        if (m_heading.columns[c].kind != ColumnKind::number) {
            b += jsonString(cells[c].text);
        } else if (std::isfinite(cells[c].number)) {
            appendShortest(b, cells[c].number);
        } else {
            b += "null";
        }
    }
    if (!note.empty()) {
        b += ", \"note\": " + jsonString(note);
    }
    b += '}';
}

void RowWriter::end(const std::vector<std::string>& notes) {
    std::string& b = m_buffer;
    if (m_format == OutputFormat::json) {
        std::vector<std::string> all = m_heading.notes;
        all.insert(all.end(), notes.begin(), notes.end());
        b += m_firstRow ? "],\n  \"notes\": [" : "\n  ],\n  \"notes\": [";
        for (std::size_t n = 0; n < all.size(); ++n) {
            b += (n ? ", " : "") + jsonString(all[n]);
        }
        b += "]\n}\n";
    } else if (m_format == OutputFormat::aligned) {
        for (const std::string& note : notes) {
            b += "# note: " + printable(note) + '\n';
        }
    }
    m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_buffer.clear();
}

void RowWriter::flushIfFull() {
    if (m_buffer.size() >= kBufferSize) {
        m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
        m_buffer.clear();
    }
}

void writeTable(std::ostream& out, const OutputTable& table, OutputFormat format, int digits) {
    Heading heading = table.heading;
    // Written at once, the columns are as wide as their widest cell.
    heading.widths.assign(heading.columns.size(), 0);
    for (const auto& row : table.rows) {
        for (std::size_t c = 0; c < row.size() && c < heading.widths.size(); ++c) {
            const std::size_t width = std::holds_alternative<double>(row[c])
                                          ? formatValue(std::get<double>(row[c]), digits).size()
                                          : printable(std::get<std::string>(row[c])).size();
            heading.widths[c] = std::max(heading.widths[c], width);
        }
    }
    RowWriter writer(out, format, digits);
    writer.begin(heading);
    std::vector<Cell> cells;
    for (const auto& row : table.rows) {
        cells.clear();
        for (const CellValue& value : row) {
            cells.push_back(std::holds_alternative<double>(value)
                                ? Cell{std::get<double>(value), {}}
                                : Cell{0.0, std::get<std::string>(value)});
        }
        writer.row(cells);
    }
    writer.end();
}

std::string formatValue(double value, int digits) {
    std::string text;
    appendScientific(text, value, digits);
    return text;
}

} // namespace tarvo::cli
