#pragma once

#include "cli/commands.h"

#include "beams/beam_spectrum.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarvo::cli {

// The beam `tarvo spectrum` starts from, before --filter: a spectrum file, a tube model at a
// voltage, or a standard radiation quality; with what the output's heading says of it.
struct SourceBeam {
    Spectrum spectrum;
    std::string label;                                      // "W tube at 80 kV"
    std::vector<std::pair<std::string, std::string>> facts; // ripple, added filter, notes
    bool calibrated = false; // photons per cm2 per mAs at 1 m: an air kerma per mAs is had
};

// The beam the options name; nothing, with `error` and the exit `status`, when it cannot be
// had (a bad option is a usage error, data that cannot answer a data error).
std::optional<SourceBeam> sourceBeam(const SpectrumOptions& o, const CommandContext& c,
                                     std::string& error, int& status);

// The distance (m) of the air kerma per mAs, from "1m", "75cm" or "750mm"; nothing when it is
// no length above 0.
std::optional<double> distanceInMetres(const std::string& text);

} // namespace tarvo::cli
