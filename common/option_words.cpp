#include "option_words.h"

#include "common/numeric_text.h"

#include <utility>

namespace tarvo {

std::optional<double> unitsPerMeVNamed(std::string_view word) {
    if (sameTextAnyCase(word, "MeV")) {
        return 1.0;
    }
    return sameTextAnyCase(word, "keV") ? std::make_optional(1000.0) : std::nullopt;
}

namespace {

constexpr std::pair<const char*, EdgeSide> kEdgeSides[] = {
    {"both", EdgeSide::both}, {"below", EdgeSide::below}, {"above", EdgeSide::above}};

} // namespace

std::optional<EdgeSide> edgeSideNamed(std::string_view word) {
    for (const auto& [name, side] : kEdgeSides) {
        if (sameTextAnyCase(word, name)) {
            return side;
        }
    }
    return std::nullopt;
}

const char* edgeSideName(EdgeSide side) {
    for (const auto& [name, known] : kEdgeSides) {
        if (known == side) {
            return name;
        }
    }
    return "both";
}

} // namespace tarvo
