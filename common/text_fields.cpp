#include "text_fields.h"

#include "numeric_text.h"

namespace tarvo {
namespace {

bool atEnd(const TextCursor& cursor) {
    return cursor.position >= cursor.text.size();
}

char current(const TextCursor& cursor) {
    return cursor.text[cursor.position];
}

bool atLineEnd(const TextCursor& cursor) {
    return !atEnd(cursor) && (current(cursor) == '\n' || current(cursor) == '\r');
}

// Consumes one line end (CR LF, LF or a lone CR) if the cursor stands on one.
void consumeLineEnd(TextCursor& cursor) {
    if (atEnd(cursor)) {
        return;
    }
    if (current(cursor) == '\r') {
        ++cursor.position;
        if (!atEnd(cursor) && current(cursor) == '\n') {
            ++cursor.position;
        }
        ++cursor.lineNumber;
    } else if (current(cursor) == '\n') {
        ++cursor.position;
        ++cursor.lineNumber;
    }
}

void skipBlanks(TextCursor& cursor) {
    while (!atEnd(cursor) && (current(cursor) == ' ' || current(cursor) == '\t')) {
        ++cursor.position;
    }
}

// After a field: trailing blanks, then one comma or one line end.
void consumeFieldEnd(TextCursor& cursor) {
    skipBlanks(cursor);
    if (!atEnd(cursor) && current(cursor) == ',') {
        ++cursor.position;
    } else {
        consumeLineEnd(cursor);
    }
}

} // namespace

std::optional<std::string> readLine(TextCursor& cursor) {
    if (atEnd(cursor)) {
        return std::nullopt;
    }
    const size_t start = cursor.position;
    while (!atEnd(cursor) && !atLineEnd(cursor)) {
        ++cursor.position;
    }
    std::string line(cursor.text.substr(start, cursor.position - start));
    consumeLineEnd(cursor);
    return line;
}

std::optional<double> readNumberField(TextCursor& cursor) {
    skipBlanks(cursor);
    while (atLineEnd(cursor)) {
        consumeLineEnd(cursor);
        skipBlanks(cursor);
    }
    if (atEnd(cursor)) {
        return std::nullopt;
    }
    const size_t start = cursor.position;
    while (!atEnd(cursor) && !atLineEnd(cursor) && current(cursor) != ',' &&
           current(cursor) != ' ' && current(cursor) != '\t') {
        ++cursor.position;
    }
    const double value = tableNumericValue(cursor.text.substr(start, cursor.position - start));
    consumeFieldEnd(cursor);
    return value;
}

std::optional<std::string> readTextField(TextCursor& cursor) {
    skipBlanks(cursor);
    if (atEnd(cursor)) {
        return std::nullopt;
    }
    const size_t start = cursor.position;
    while (!atEnd(cursor) && !atLineEnd(cursor) && current(cursor) != ',') {
        ++cursor.position;
    }
    std::string field(cursor.text.substr(start, cursor.position - start));
    while (!field.empty() && (field.back() == ' ' || field.back() == '\t')) {
        field.pop_back();
    }
    if (!atEnd(cursor) && current(cursor) == ',') {
        ++cursor.position;
    } else {
        consumeLineEnd(cursor);
    }
    return field;
}

std::string_view columnSlice(std::string_view line, int firstColumn, int width) {
    const size_t start = static_cast<size_t>(firstColumn > 1 ? firstColumn - 1 : 0);
    if (start >= line.size() || width <= 0) {
        return {};
    }
    return line.substr(start, static_cast<size_t>(width));
}

std::string_view lastColumns(std::string_view line, int width) {
    const size_t count = static_cast<size_t>(width > 0 ? width : 0);
    return count >= line.size() ? line : line.substr(line.size() - count);
}

} // namespace tarvo
