#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo {

// A read position in the text of a file, counting lines from 1.
struct TextCursor {
    std::string_view text;
    size_t position = 0;
    int lineNumber = 1;
};

// Reads the rest of the current line (CR LF or LF ended) and moves to the next line;
// nothing when the text is at its end.
std::optional<std::string> readLine(TextCursor& cursor);

// Reads a free-format numeric field: blanks, tabs and empty lines before it are skipped,
// it ends at a comma, a blank or the line end, and the line end that closes it is
// consumed. Nothing when the text ends before a field starts.
std::optional<double> readNumberField(TextCursor& cursor);

// Reads a free-format text field: leading blanks skipped, it ends at the first comma or
// the line end (both consumed); trailing blanks dropped. Nothing at the end of the text.
std::optional<std::string> readTextField(TextCursor& cursor);

// The characters of `line` from 1-based column `firstColumn` on, at most `width` of them;
// empty where the line is shorter.
std::string_view columnSlice(std::string_view line, int firstColumn, int width);

// The last `width` characters of `line` (all of it when shorter).
std::string_view lastColumns(std::string_view line, int width);

} // namespace tarvo
