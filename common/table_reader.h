#pragma once

#include "common/data_directory.h"
#include "common/text_fields.h"
#include "common/text_file.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// Largest number of energy rows a cross-section table may hold.
inline constexpr int kMaxCrossSectionRows = 150;

// What a reader says of a damaged table: "mix\Water.mix2: line 4: the file is empty".
std::string tableFailure(const std::string& path, int line, const std::string& reason);

// What a table's head says to the lists of a main window: its name and its density
// (g/cm3).
struct TableHeader {
    std::string name;
    double density = 0.0;
};

// The head of a table file: its name (the whole first line) and the two numbers after it,
// in the order the file kind writes them (density and row count, or the reverse).
struct TableHead {
    std::string name;
    double first = 0.0;
    double second = 0.0;
};

// Reads the head; `numbers` names the two numbers in a failure ("the density or the row
// count").
std::optional<TableHead> readTableHead(TextCursor& cursor, const std::string& path,
                                       const std::string& numbers, std::string& error);

// Which number of a head is the density: cross-section tables write it first, coefficient
// tables after the row count.
enum class DensityPlace { first, second };

// The name and density of a table's text; `numbers` and `place` as for its head.
std::optional<TableHeader> parseHeaderOf(std::string_view text, const std::string& path,
                                         const std::string& numbers, DensityPlace place,
                                         std::string& error);

// Reads the file at `path` and gives its text to `parse(text, path, error)`; nothing, with
// `error` naming the file, when it cannot be read.
template <class Parse>
auto readAndParse(const std::string& path, std::string& error, Parse parse)
    -> decltype(parse(std::string_view{}, path, error)) {
    const std::optional<std::string> content = readNamedTextFile(path, error);
    if (!content) {
        return std::nullopt;
    }
    return parse(*content, path, error);
}

// Why a table with this name, density (g/cm3) and number of rows cannot be written: rows
// outside 1 to `capacity`, a name of more than one line, or a density its field cannot hold;
// empty when it can.
std::string tableHeadProblem(const std::string& name, double density, size_t rowCount,
                             int capacity);

// A row count read from a head: a whole number from 1 to `capacity`, reported on `line`.
std::optional<int> rowCountOf(double count, int capacity, const std::string& path, int line,
                              std::string& error);

// Reads the `count` row lines after the head, handing each with its number (from 1) and
// its line number to `readRow`, which may refuse it (its error already set). A file that
// ends early is refused with "the file ends after i of N rows".
template <class ReadRow>
bool readTableRows(TextCursor& cursor, const std::string& path, int count, ReadRow readRow,
                   std::string& error) {
    for (int i = 1; i <= count; ++i) {
        const int lineNumber = cursor.lineNumber;
        std::optional<std::string> line = readLine(cursor);
        if (!line) {
            error = tableFailure(path, lineNumber,
                                 "the file ends after " + std::to_string(i - 1) + " of " +
                                     std::to_string(count) + " rows");
            return false;
        }
        if (!readRow(i, lineNumber, std::move(*line))) {
            return false;
        }
    }
    return true;
}

// The atomic weight (g/mol) on the last line of an element cross-section table
// ("ele\82_Pb.ele"), which both creators use to turn formulas into shares by weight.
std::optional<double> readAtomicWeight(const std::string& path, std::string& error);

// Reads "Start.dat" (only that it can be read matters) and "ele\user.txt", whose first
// line both viewers show in their titles; nothing when either cannot be read or is empty.
std::optional<std::string> readStartFiles(const DataDirectory& data);

// The same on the two files' texts.
std::optional<std::string> parseStartFiles(std::string_view marker, std::string_view user);

} // namespace tarvo
