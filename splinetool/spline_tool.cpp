#include "spline_tool.h"

#include "common/exchange_files.h"
#include "common/number_format.h"
#include "common/text_fields.h"
#include "common/text_file.h"
#include "error_reporting.h"
#include "grid_interpolation.h"

#include <cmath>
#include <cstdlib>
#include <ostream>

namespace tarvo::spline {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A free-format number: the next field (blanks and line ends before it skipped) must be a
// number as a whole.
std::optional<double> strictNumberField(TextCursor& cursor) {
    const size_t before = cursor.position;
    const std::optional<double> value = readNumberField(cursor);
    if (!value) {
        return std::nullopt;
    }
    std::string_view field = cursor.text.substr(before, cursor.position - before);
    const size_t first = field.find_first_not_of(" \t\r\n");
    const size_t last = field.find_last_not_of(" \t\r\n,");
    field = field.substr(first, last - first + 1);
    const std::optional<double> strict = readExponentField(field, 0);
    return strict ? value : std::nullopt;
}

// The mantissa and exponent of a normalised number 0.d1d2... x 10^exponent with `digits`
// digits, rounded.
std::string normalisedForm(double value, int digits) {
    std::string scientific =
        formatNumber(value, "0." + std::string(static_cast<size_t>(digits - 1), '0') + "E+00");
    const size_t e = scientific.find('E');
    const int exponent = std::stoi(scientific.substr(e + 1)) + (value == 0.0 ? 0 : 1);
    std::string mantissa = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    const std::string exponentDigits = formatNumber(std::abs(exponent), "00");
    return "." + mantissa + "E" + (exponent < 0 ? "-" : "+") + exponentDigits;
}

std::string rightAligned(const std::string& text, size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

bool readFile(const std::string& path, std::string& content, std::string& error) {
    std::string readError;
    const std::optional<std::string> text = readTextFile(path, readError);
    if (!text) {
        error = "cannot read \"" + path + "\": " + readError;
        return false;
    }
    content = *text;
    return true;
}

} // namespace

std::optional<ExchangeRequest> readExchangeRequest(std::string_view text, std::string& error) {
    TextCursor cursor{text};
    const std::optional<std::string> pathLine = readLine(cursor);
    if (!pathLine) {
        error = "\"B2F.dat\" is empty";
        return std::nullopt;
    }
    ExchangeRequest request;
    request.tablePath = pathLine->substr(0, kMaxRequestPathLength);
    const size_t end = request.tablePath.find_last_not_of(' ');
    request.tablePath = end == std::string::npos ? "" : request.tablePath.substr(0, end + 1);
    const std::optional<double> top = strictNumberField(cursor);
    const std::optional<double> step = strictNumberField(cursor);
    if (request.tablePath.empty() || !top || !step) {
        error = "\"B2F.dat\" does not hold a table path, a top energy and a step";
        return std::nullopt;
    }
    request.top = *top;
    request.step = *step;
    return request;
}

std::optional<double> readExponentField(std::string_view field, int impliedDecimals) {
    std::string text;
    for (char c : field) {
        if (c != ' ') {
            text.push_back(c);
        }
    }
    if (text.empty()) {
        return 0.0;
    }
    size_t i = 0;
    const bool negative = text[i] == '-';
    i += (text[i] == '+' || text[i] == '-') ? 1 : 0;
    std::string mantissa;
    bool point = false;
    for (; i < text.size() && (isDigit(text[i]) || (text[i] == '.' && !point)); ++i) {
        point = point || text[i] == '.';
        mantissa.push_back(text[i]);
    }
    if (mantissa.empty() || mantissa == ".") {
        return std::nullopt;
    }
    int exponent = 0;
    if (i < text.size()) {
        const bool marker = text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd';
        i += marker ? 1 : 0;
        const size_t exponentStart = i;
        i += (i < text.size() && (text[i] == '+' || text[i] == '-')) ? 1 : 0;
        const size_t digitsStart = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        if (i != text.size() || digitsStart == i || digitsStart - exponentStart > 1 ||
            i - digitsStart > 4) {
            return std::nullopt;
        }
        exponent = std::stoi(text.substr(exponentStart, i - exponentStart));
    }
    // Without throwing on a mantissa of any length: a value out of range is no number.
    double value = std::strtod(mantissa.c_str(), nullptr);
    if (!point) {
        exponent -= impliedDecimals;
    }
    value *= std::pow(10.0, exponent);
    const double result = negative ? -value : value;
    if (!std::isfinite(result) || std::fabs(result) > 1e38) {
        return std::nullopt;
    }
    return result;
}

namespace {

// Whether row j repeats the energy of an earlier row of its stretch (since the last edge):
// the sorting routine of the spline reports such a table, through the error mechanism.
bool repeatsInStretch(const SplineTable& table, int j) {
    const auto x = [&table](int i) { return table.x[static_cast<size_t>(i)]; };
    for (int i = j - 1; i >= 1; --i) {
        if (x(i) == x(j)) {
            return true;
        }
        if (i > 1 && x(i) == x(i - 1)) {
            return false;
        }
    }
    return false;
}

} // namespace

std::optional<SplineTable> readSplineTable(std::string_view text, std::string& error) {
    TextCursor cursor{text};
    const bool hasTitle = readLine(cursor).has_value();
    const std::optional<double> count = strictNumberField(cursor);
    const std::optional<double> density = strictNumberField(cursor);
    if (!hasTitle || !count || !density || *count != std::floor(*count)) {
        error = "the table's head (title, row count, density) is not readable";
        return std::nullopt;
    }
    if (*count < 2 || *count > kMaxTableRows) {
        error = "the table must hold 2 to " + std::to_string(kMaxTableRows) + " rows";
        return std::nullopt;
    }
    SplineTable table;
    table.rowCount = static_cast<int>(*count);
    for (int j = 1; j <= table.rowCount; ++j) {
        const std::optional<std::string> line = readLine(cursor);
        if (!line) {
            error = "the table ends after " + std::to_string(j - 1) + " rows";
            return std::nullopt;
        }
        const std::optional<double> energy = readExponentField(columnSlice(*line, 1, 11), 5);
        std::array<std::optional<double>, 3> values;
        for (int k = 0; k < 3; ++k) {
            values[static_cast<size_t>(k)] =
                readExponentField(columnSlice(*line, 12 + 10 * k, 10), 3);
        }
        if (!energy || !values[0] || !values[1] || !values[2] || !(*energy > 0) ||
            !(*values[0] > 0) || !(*values[1] > 0) || !(*values[2] > 0)) {
            error = "table row " + std::to_string(j) + " does not hold four positive numbers";
            return std::nullopt;
        }
        table.x[static_cast<size_t>(j)] = *energy * 1000.0;
        for (size_t k = 0; k < 3; ++k) {
            table.y[k][static_cast<size_t>(j)] = *values[k];
        }
        if (j > 1 && table.x[static_cast<size_t>(j)] < table.x[static_cast<size_t>(j - 1)] &&
            !repeatsInStretch(table, j)) {
            error = "the table's energies fall at row " + std::to_string(j);
            return std::nullopt;
        }
    }
    return table;
}

std::optional<Segments> splitSegments(const SplineTable& table, std::string& error) {
    Segments segments;
    int s = 1;
    int count = 1;
    int j = 1;
    const auto x = [&](int i) { return table.x[static_cast<size_t>(i)]; };
    do {
        if (x(j + 1) == x(j)) {
            if (s == kMaxSegments) {
                error = "the table has more than " + std::to_string(kMaxSegments) +
                        " edge-free segments";
                return std::nullopt;
            }
            segments.top[static_cast<size_t>(s)] = x(j);
            segments.size[static_cast<size_t>(s)] = count;
            ++s;
            count = 0;
        }
        ++j;
        ++count;
    } while (j != table.rowCount);
    segments.top[static_cast<size_t>(s)] = x(table.rowCount);
    segments.size[static_cast<size_t>(s)] = count;
    segments.count = s;
    segments.start[1] = 1;
    for (int t = 2; t <= s; ++t) {
        segments.start[static_cast<size_t>(t)] =
            segments.start[static_cast<size_t>(t - 1)] + segments.size[static_cast<size_t>(t - 1)];
    }
    return segments;
}

int gridSize(double top, double step) {
    const double points = (top - 0.989) / step;
    if (!(std::fabs(points) < 1e9)) {
        return -1;
    }
    return static_cast<int>(points) + 1;
}

std::string formatExchangeLine(double energy, const std::array<double, 3>& values) {
    std::string line = rightAligned(normalisedForm(energy, 5), 11);
    for (double value : values) {
        line += rightAligned(normalisedForm(value, 4), 11);
    }
    return line;
}

int runSplineTool(std::ostream& console) {
    console << "  ---  Velkar  ---\n";
    // A failed run must never leave an earlier result for a reader to take.
    std::string ignored;
    removeFile(kResultFile, ignored);
    std::string error;
    std::string text;
    std::optional<ExchangeRequest> request;
    std::optional<SplineTable> table;
    std::optional<Segments> segments;
    if (readFile(kRequestFile, text, error) && (request = readExchangeRequest(text, error)) &&
        readFile(request->tablePath, text, error) && (table = readSplineTable(text, error))) {
        segments = splitSegments(*table, error);
    }
    const int n = request ? gridSize(request->top, request->step) : 0;
    if (segments) {
        if (!(request->step > 0.0) || n < 1 || n > kMaxGridPoints) {
            error = "the grid must hold 1 to " + std::to_string(kMaxGridPoints) +
                    " points of a positive step";
        } else if (gridEnergy(n, request->step) >
                   segments->top[static_cast<size_t>(segments->count)]) {
            error = "the top grid energy lies above the table's last energy";
        }
    }
    if (!error.empty()) {
        console << " Tarvo6_sub3: " << error << "; \"F2B.dat\" is not written\n";
        return 1;
    }
    const std::optional<GridValues> grid =
        interpolateGrid(*table, *segments, request->step, n, error);
    if (!grid) {
        console << " Tarvo6_sub3: " << error << "; \"F2B.dat\" is not written\n";
        return 1;
    }
    std::vector<std::string> lines;
    for (int i = 1; i <= n; ++i) {
        const auto& values = grid->values[static_cast<size_t>(i - 1)];
        if (!(std::isfinite(values[0]) && std::isfinite(values[1]) && std::isfinite(values[2]) &&
              values[0] > 0 && values[1] > 0 && values[2] > 0)) {
            console << " Tarvo6_sub3: no finite value at " << gridEnergy(i, request->step)
                    << " keV; \"F2B.dat\" is not written\n";
            return 1;
        }
        lines.push_back(formatExchangeLine(gridEnergy(i, request->step), values));
    }
    if (!atomicWriteFile(kResultFile, joinLinesCrLf(lines), error)) {
        console << " Tarvo6_sub3: cannot write \"F2B.dat\": " << error << '\n';
        return 1;
    }
    for (const SegmentRepair& repair : grid->repairs) {
        console << " Tarvo6_sub3: " << repairText(repair) << '\n';
    }
    for (const EvenedValues& evened : grid->evened) {
        console << " Tarvo6_sub3: " << evenedText(evened) << '\n';
    }
    console << "  --- finished ---\n" << kStopNotice << "\r\n";
    return 0;
}

} // namespace tarvo::spline
