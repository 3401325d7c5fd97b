#pragma once

#include <optional>
#include <string_view>

namespace tarvo {

// The words scripts choose options by, read alike by the tool and the module: case is
// ignored ("kev", "LogLog"); a word that names nothing reads as nothing.

// The energy unit a word names, as units per MeV: "MeV" 1, "keV" 1000.
std::optional<double> unitsPerMeVNamed(std::string_view word);

// Which rows an absorption edge energy gives: both sides, or the one asked for.
enum class EdgeSide { both, below, above };

// The edge side a word names: "both", "below" or "above".
std::optional<EdgeSide> edgeSideNamed(std::string_view word);

// The word of an edge side.
const char* edgeSideName(EdgeSide side);

} // namespace tarvo
