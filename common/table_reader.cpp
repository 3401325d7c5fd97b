#include "table_reader.h"

#include "common/number_format.h"
#include "common/table_kinds.h"
#include "common/text_file.h"

#include <cmath>

namespace tarvo {

std::string tableFailure(const std::string& path, int line, const std::string& reason) {
    return path + ": line " + std::to_string(line) + ": " + reason;
}

std::optional<TableHead> readTableHead(TextCursor& cursor, const std::string& path,
                                       const std::string& numbers, std::string& error) {
    const std::optional<std::string> name = readLine(cursor);
    if (!name) {
        error = tableFailure(path, 1, "the file is empty");
        return std::nullopt;
    }
    const std::optional<double> first = readNumberField(cursor);
    const std::optional<double> second = readNumberField(cursor);
    if (!first || !second) {
        error = tableFailure(path, cursor.lineNumber, numbers + " is missing");
        return std::nullopt;
    }
    return TableHead{*name, *first, *second};
}

std::optional<TableHeader> parseHeaderOf(std::string_view text, const std::string& path,
                                         const std::string& numbers, DensityPlace place,
                                         std::string& error) {
    TextCursor cursor{text};
    const std::optional<TableHead> head = readTableHead(cursor, path, numbers, error);
    if (!head) {
        return std::nullopt;
    }
    return TableHeader{head->name, place == DensityPlace::first ? head->first : head->second};
}

std::string tableHeadProblem(const std::string& name, double density, size_t rowCount,
                             int capacity) {
    if (rowCount == 0 || rowCount > static_cast<size_t>(capacity)) {
        return "a table holds 1 to " + std::to_string(capacity) + " rows, not " +
               std::to_string(rowCount);
    }
    if (name.find_first_of("\r\n") != std::string::npos) {
        return "the name must be a single line";
    }
    return densityProblem(density);
}

std::optional<int> rowCountOf(double count, int capacity, const std::string& path, int line,
                              std::string& error) {
    if (!(count >= 1.0 && count <= capacity) || count != std::floor(count)) {
        error = tableFailure(path, line,
                             "the row count must be a whole number from 1 to " +
                                 std::to_string(capacity));
        return std::nullopt;
    }
    return static_cast<int>(count);
}

std::optional<std::string> readStartFiles(const DataDirectory& data) {
    std::string error;
    const std::optional<std::string> marker = readTextFile(data.path("Start.dat"), error);
    const std::optional<std::string> user =
        marker ? readTextFile(data.path(formPath(kCrossSectionTables.elementFolder, "user.txt")),
                              error)
               : std::nullopt;
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

std::optional<double> readAtomicWeight(const std::string& path, std::string& error) {
    const std::optional<std::string> content = readNamedTextFile(path, error);
    if (!content) {
        return std::nullopt;
    }
    TextCursor cursor{*content};
    const std::optional<TableHead> head =
        readTableHead(cursor, path, "the density or the row count", error);
    const std::optional<int> rowCount =
        head ? rowCountOf(head->second, kMaxCrossSectionRows, path, 3, error) : std::nullopt;
    if (!rowCount ||
        !readTableRows(
            cursor, path, *rowCount, [](int, int, std::string) { return true; }, error)) {
        return std::nullopt;
    }
    const std::optional<double> weight = readNumberField(cursor);
    if (!weight || !(*weight > 0)) {
        error = tableFailure(path, cursor.lineNumber, "the atomic weight is missing");
        return std::nullopt;
    }
    return weight;
}

} // namespace tarvo
