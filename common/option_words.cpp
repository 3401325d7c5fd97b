#include "option_words.h"

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
    return valueNamed(kEdgeSides, word);
}

const char* edgeSideName(EdgeSide side) {
    return wordOfValue(kEdgeSides, side);
}

} // namespace tarvo
