#include "beams/beam_quality.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

// Any text as a spectrum file, both ways of counting, then as a layer list; a spectrum read
// goes through filtering and the half-value layers in a made-up material.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string error;
    tarvo::parseLayerList(std::string(text), error);
    for (const auto counts :
         {tarvo::SpectrumCounts::perBin, tarvo::SpectrumCounts::perUnitEnergy}) {
        const auto spectrum = tarvo::parseSpectrum(text, 1000.0, counts, error);
        if (!spectrum) {
            continue;
        }
        std::vector<double> mu;
        for (const double energy : spectrum->energies) {
            mu.push_back(0.02 / (energy * energy * energy) + 0.05);
        }
        const tarvo::Spectrum filtered = tarvo::filteredSpectrum(*spectrum, {{mu, 0.3}});
        const auto weights = tarvo::beamWeights(filtered, tarvo::BeamWeighting::airKerma, mu);
        tarvo::beamQuality(weights, mu);
        tarvo::parseSpectrum(tarvo::spectrumText(filtered, 1000.0, "again"), 1000.0,
                             tarvo::SpectrumCounts::perBin, error);
    }
    return 0;
}
