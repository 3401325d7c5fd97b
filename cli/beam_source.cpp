#include "cli/beam_source.h"

#include "beams/tube_spectra.h"
#include "coefview/attenuation.h"
#include "common/number_format.h"
#include "common/numeric_text.h"

namespace tarvo::cli {
namespace {

std::optional<Spectrum> readSpectrumOf(const SpectrumOptions& o, const CommandContext& c,
                                       std::string& error) {
    const double perMeV = unitsPerMeVNamed(o.unit).value_or(1000.0);
    const SpectrumCounts counts =
        o.perUnitEnergy ? SpectrumCounts::perUnitEnergy : SpectrumCounts::perBin;
    if (o.file != "-") {
        return readSpectrumFile(o.file, perMeV, counts, error);
    }
    auto spectrum = readSpectrum(c.in, perMeV, counts, error);
    if (!spectrum) {
        error = "standard input: " + error;
    }
    return spectrum;
}

// "W:80kV", "Mo:28 kV", "W-mammography:27.5": the model's name and the voltage (kV).
std::optional<std::pair<std::string, double>> tubeSetting(const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    std::string voltage(trimBlanks(text.substr(colon + 1)));
    if (voltage.size() > 2 && sameTextAnyCase(voltage.substr(voltage.size() - 2), "kV")) {
        voltage = std::string(trimBlanks(voltage.substr(0, voltage.size() - 2)));
    }
    const auto kV = strictNumber(voltage);
    return kV ? std::make_optional(std::pair{text.substr(0, colon), *kV}) : std::nullopt;
}

std::optional<SourceBeam> tubeBeam(const SpectrumOptions& o, const CommandContext& c,
                                   std::string& error, int& status) {
    const auto setting = tubeSetting(o.tube);
    status = kUsageError;
    if (!setting) {
        error = "--tube \"" + elided(o.tube) + "\" is not ANODE:kV, such as W:80kV";
        return std::nullopt;
    }
    const auto model = tubeModel(c.data, setting->first, error);
    if (!model) {
        error = "--tube: " + error;
        // An unknown name is a bad argument; a model file that cannot be read, bad data.
        status = error.rfind("--tube: no tube model", 0) == 0 ? kUsageError : kDataError;
        return std::nullopt;
    }
    auto spectrum = tubeSpectrum(*model, setting->second, o.ripple, error);
    if (!spectrum) {
        error = "--tube: " + error;
        return std::nullopt;
    }
    SourceBeam beam{std::move(*spectrum),
                    model->name + " tube at " + shortestText(setting->second) + " kV",
                    {},
                    model->calibrated};
    if (model->takesRipple) {
        beam.facts.emplace_back("ripple", shortestText(o.ripple) + " %");
    }
    if (!model->calibrated) {
        beam.facts.emplace_back("scale", "relative: the model is not calibrated");
    }
    return beam;
}

std::optional<SourceBeam> qualityBeam(const SpectrumOptions& o, const CommandContext& c,
                                      std::string& error, int& status) {
    auto set = standardQualityBeam(c.data, o.quality, c.method, error);
    if (!set) {
        status = radiationQualityNamed(o.quality) ? kDataError : kUsageError;
        error = "--quality: " + error;
        return std::nullopt;
    }
    SourceBeam beam{std::move(set->beam),
                    std::string(set->quality.name) + ", W tube at " +
                        shortestText(set->quality.kV) + " kV",
                    {},
                    true};
    constexpr double kMillimetresPerCentimetre = 10.0;
    const double aluminiumMm =
        set->addedAluminium / set->aluminiumDensity * kMillimetresPerCentimetre;
    beam.facts.emplace_back("added filter", formatNumber(aluminiumMm, "0.000") + " mm Al");
    beam.facts.emplace_back("note", "the model has no anode angle: the added filtration is the "
                                    "model's, not a given tube's");
    return beam;
}

} // namespace

std::optional<SourceBeam> sourceBeam(const SpectrumOptions& o, const CommandContext& c,
                                     std::string& error, int& status) {
    const int given = !o.file.empty() + !o.tube.empty() + !o.quality.empty();
    status = kUsageError;
    if (given != 1) {
        error = "give one beam: a spectrum file, --tube ANODE:kV or --quality RQRn";
        return std::nullopt;
    }
    if (!o.tube.empty()) {
        return tubeBeam(o, c, error, status);
    }
    if (!o.quality.empty()) {
        return qualityBeam(o, c, error, status);
    }
    auto spectrum = readSpectrumOf(o, c, error);
    status = kDataError;
    if (!spectrum) {
        return std::nullopt;
    }
    return SourceBeam{std::move(*spectrum),
                      "beam of " + (o.file == "-" ? std::string("the standard input") : o.file),
                      {},
                      false};
}

std::optional<double> distanceInMetres(const std::string& text) {
    const auto length = parseThickness(text);
    if (!length || length->unit == ThicknessUnit::gramsPerSquareCentimetre ||
        !(length->value > 0)) {
        return std::nullopt;
    }
    constexpr double kCentimetresPerMetre = 100.0;
    return thicknessInCm(length->value, length->unit, 1.0) / kCentimetresPerMetre;
}

} // namespace tarvo::cli
