#include "beams/beam_study.h"

#include "beams/tube_spectra.h"
#include "common/numeric_text.h"

#include <cmath>

namespace tarvo {
namespace {

constexpr double kKeVPerMeV = 1000.0;

BeamProblem problemOf(BeamEntry entry, const std::string& message, int row = -1) {
    return {entry, row, message};
}

// The source's beam before any filter, with whether its counts are calibrated.
std::variant<Spectrum, BeamProblem> sourceSpectrum(const DataDirectory& data,
                                                   const BeamSetting& setting, bool& calibrated) {
    std::string error;
    calibrated = false;
    if (setting.source == BeamSourceKind::quality) {
        auto set = standardQualityBeam(data, setting.quality, setting.method, error);
        calibrated = set.has_value();
        return set ? std::variant<Spectrum, BeamProblem>(std::move(set->beam))
                   : problemOf(BeamEntry::quality, error);
    }
    if (setting.source == BeamSourceKind::file) {
        auto read = readSpectrumFile(setting.file, kKeVPerMeV, SpectrumCounts::perBin, error);
        return read ? std::variant<Spectrum, BeamProblem>(std::move(*read))
                    : problemOf(BeamEntry::file, error);
    }
    const auto model = tubeModel(data, setting.anode, error);
    if (!model) {
        return problemOf(BeamEntry::anode, error);
    }
    if (const auto problem = tubeSettingProblem(*model, setting.kV, 0.0)) {
        return problemOf(BeamEntry::kV, *problem);
    }
    auto beam = tubeSpectrum(*model, setting.kV, setting.ripple, error);
    calibrated = beam.has_value() && model->calibrated;
    return beam ? std::variant<Spectrum, BeamProblem>(std::move(*beam))
                : problemOf(BeamEntry::ripple, error);
}

// The filter rows as a beam meets them: mu/rho at the bins and the mass thickness.
std::variant<std::vector<BeamLayer>, BeamProblem>
filterLayers(const DataDirectory& data, const BeamSetting& setting, const Spectrum& beam) {
    std::vector<BeamLayer> layers;
    for (std::size_t i = 0; i < setting.filters.size(); ++i) {
        const FilterRow& row = setting.filters[i];
        const int at = static_cast<int>(i);
        RequestError problem;
        const auto material = materialByNameOrFormula(data, row.material, problem);
        if (!material) {
            return problemOf(BeamEntry::filterMaterial, problem.message, at);
        }
        if (!(row.thickness >= 0) || !std::isfinite(row.thickness)) {
            return problemOf(BeamEntry::filterThickness,
                             "a thickness is a finite number, 0 or more", at);
        }
        if (row.density && !usableDensity(*row.density)) {
            return problemOf(BeamEntry::filterDensity, "a density is a finite number above 0", at);
        }
        std::string error;
        const auto mass =
            massThicknessOf({row.thickness, row.unit}, row.density.value_or(material->density),
                            material->label, error);
        if (!mass) {
            return problemOf(BeamEntry::filterDensity, error + ", or give its density", at);
        }
        const auto mu = coefficientAt(*material, 0, beam.energies, setting.method, error);
        if (!mu) {
            return problemOf(BeamEntry::filterMaterial, error, at);
        }
        layers.push_back({*mu, *mass});
    }
    return layers;
}

// The beam's quality in one material, or why the material gives none.
std::optional<LayerQuality> layerQuality(const DataDirectory& data, const std::string& name,
                                         const BeamStudy& study, const std::vector<double>& weights,
                                         const BeamSetting& setting, std::vector<double>& mu,
                                         std::string& error) {
    RequestError problem;
    const auto material = materialByNameOrFormula(data, name, problem);
    if (!material) {
        error = problem.message;
        return std::nullopt;
    }
    auto read = coefficientAt(*material, 0, study.after.energies, setting.method, error);
    const auto quality = read ? beamQuality(weights, *read) : std::nullopt;
    if (!quality) {
        error = error.empty() ? "no photons of the beam carry weight" : error;
        return std::nullopt;
    }
    mu = std::move(*read);
    LayerQuality layer{
        material->label, usableDensity(material->density) ? material->density : 0.0, *quality, {}};
    const auto [lowest, highest] = weightedRange(study.after, weights);
    for (const Crossing& crossing : effectiveEnergies(*material, quality->firstHalfValueLayer,
                                                      lowest, highest, setting.method)) {
        layer.effectiveEnergies.push_back(
            {crossing.energy * kKeVPerMeV, crossing.kind == CrossingKind::atEdge});
    }
    return layer;
}

// Mean energies, air kerma, the three qualities and the curve of a filtered beam.
std::variant<BeamStudy, BeamProblem> measured(const DataDirectory& data, const BeamSetting& setting,
                                              BeamStudy study, bool calibrated) {
    std::string error;
    const auto air = airMuEnAt(data, study.after.energies, setting.method, error);
    if (!air) {
        return problemOf(BeamEntry::chosenMaterial, error);
    }
    study.meanEnergyKeV = meanEnergy(study.after) * kKeVPerMeV;
    study.kermaMeanEnergyKeV = kermaWeightedMeanEnergy(study.after, *air) * kKeVPerMeV;
    if (calibrated) {
        study.airKermaPerMilliampereSecond = airKermaPerMilliampereSecond(study.after, *air, 1.0);
    }
    const std::vector<double> weights = beamWeights(study.after, BeamWeighting::airKerma, *air);
    std::vector<double> mu;
    for (const std::string& name : {std::string("Al"), std::string("Cu"), setting.chosenMaterial}) {
        auto layer = layerQuality(data, name, study, weights, setting, mu, error);
        if (!layer) {
            return problemOf(BeamEntry::chosenMaterial, error);
        }
        study.layers.push_back(std::move(*layer));
    }
    const double tenth = study.layers.back().quality.tenthValueLayer;
    for (int step = 0; step <= kTransmissionSteps; ++step) {
        const double mass = tenth * step / kTransmissionSteps;
        study.transmission.push_back({mass, weightedTransmission(weights, mu, mass)});
    }
    study.weights = weights;
    study.chosenMassAttenuation = std::move(mu);
    return study;
}

} // namespace

std::variant<BeamStudy, BeamProblem> studyBeam(const DataDirectory& data,
                                               const BeamSetting& setting) {
    bool calibrated = false;
    auto source = sourceSpectrum(data, setting, calibrated);
    if (auto* problem = std::get_if<BeamProblem>(&source)) {
        return *problem;
    }
    BeamStudy study;
    study.before = std::move(std::get<Spectrum>(source));
    auto layers = filterLayers(data, setting, study.before);
    if (auto* problem = std::get_if<BeamProblem>(&layers)) {
        return *problem;
    }
    study.after = filteredSpectrum(study.before, std::get<std::vector<BeamLayer>>(layers));
    if (const auto problem = filteredProblem(study.after)) {
        return problemOf(BeamEntry::filterThickness, *problem);
    }
    return measured(data, setting, std::move(study), calibrated);
}

std::vector<double> photonsPerKeV(const Spectrum& spectrum) {
    const std::vector<double> widths = binWidths(spectrum.energies);
    std::vector<double> perKeV(spectrum.photons.size(), 0.0);
    for (std::size_t i = 0; i < perKeV.size(); ++i) {
        perKeV[i] = widths.empty() || widths[i] <= 0
                        ? spectrum.photons[i]
                        : spectrum.photons[i] / (widths[i] * kKeVPerMeV);
    }
    return perKeV;
}

} // namespace tarvo
