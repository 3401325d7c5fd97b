#include "spline_exchange.h"

#include "common/exchange_files.h"
#include "common/number_format.h"
#include "common/text_fields.h"
#include "common/text_file.h"

#include <cmath>

namespace tarvo {

std::string exchangeRequest(const std::string& tablePath, double top, double step) {
    return joinLinesCrLf({tablePath, formatNumber(top, "000.0"), formatNumber(step, "000.0")});
}

std::optional<std::vector<IntervalValues>> readExchangeResults(std::string_view text, int points) {
    TextCursor cursor{text};
    std::vector<IntervalValues> values;
    for (int i = 1; i <= points; ++i) {
        const std::optional<double> energy = readNumberField(cursor);
        IntervalValues row{};
        for (double& value : row) {
            const std::optional<double> field = readNumberField(cursor);
            if (!field || !(*field > 0) || !std::isfinite(*field)) {
                return std::nullopt;
            }
            value = *field;
        }
        if (!energy) {
            return std::nullopt;
        }
        values.push_back(row);
    }
    return values;
}

std::vector<std::string> repairNotes(std::string_view console) {
    std::vector<std::string> notes;
    TextCursor cursor{console};
    while (const std::optional<std::string> line = readLine(cursor)) {
        const size_t colon = line->find(": ");
        const bool note = line->find(kRepairWords) != std::string::npos ||
                          line->find(kEvenedWords) != std::string::npos;
        if (note && colon != std::string::npos) {
            notes.push_back(line->substr(colon + 2));
        }
    }
    return notes;
}

bool writeSplineRequest(const IntervalGrid& grid, std::string& error) {
    std::string ignored;
    removeFile(kResultFile, ignored);
    return atomicWriteFile(kRequestFile, exchangeRequest(grid.tablePath, grid.top, grid.step),
                           error);
}

std::optional<std::vector<IntervalValues>> readSplineResults(int points, std::string& error) {
    const std::optional<std::string> text = readTextFile(kResultFile, error);
    auto values = text ? readExchangeResults(*text, points) : std::nullopt;
    if (text && !values) {
        error = "it holds fewer results than asked for, or a value that is not a positive number";
    }
    return values;
}

void removeExchangeFiles() {
    std::string ignored;
    removeFile(kRequestFile, ignored);
    removeFile(kResultFile, ignored);
}

} // namespace tarvo
