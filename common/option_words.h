#pragma once

#include "common/numeric_text.h"

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>

namespace tarvo {

// The words scripts choose options by, read alike by the tool and the module: case is
// ignored ("kev", "LogLog"); a word that names nothing reads as nothing.

// The value a word names in a table of an option's words and values, any case; nothing for
// another word.
template <class Value, std::size_t Count>
std::optional<Value> valueNamed(const std::pair<const char*, Value> (&words)[Count],
                                std::string_view word) {
    for (const auto& [name, value] : words) {
        if (sameTextAnyCase(word, name)) {
            return value;
        }
    }
    return std::nullopt;
}

// The first word of a value in such a table (its canonical spelling); the first word of the
// table where none names it.
template <class Value, std::size_t Count>
const char* wordOfValue(const std::pair<const char*, Value> (&words)[Count], Value value) {
    for (const auto& [name, known] : words) {
        if (known == value) {
            return name;
        }
    }
    return words[0].first;
}

// The energy unit a word names, as units per MeV: "MeV" 1, "keV" 1000.
std::optional<double> unitsPerMeVNamed(std::string_view word);

// Which rows an absorption edge energy gives: both sides, or the one asked for.
enum class EdgeSide { both, below, above };

// The edge side a word names: "both", "below" or "above".
std::optional<EdgeSide> edgeSideNamed(std::string_view word);

// The word of an edge side.
const char* edgeSideName(EdgeSide side);

} // namespace tarvo
