#include "beams/beam_quality.h"

#include "common/numeric_text.h"
#include "common/option_words.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

namespace tarvo {
namespace {

// Joules per MeV, and grams per kilogram: MeV/g to Gy (J/kg).
constexpr double kGrayPerMeVPerGram = 1.602176634e-13 * 1000.0;

// The lowest and highest mu/rho of the bins that carry weight.
std::pair<double, double> attenuationRange(const std::vector<double>& weights,
                                           const std::vector<double>& massAttenuation) {
    double lowest = INFINITY;
    double highest = 0.0;
    for (size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] > 0) {
            lowest = std::min(lowest, massAttenuation[i]);
            highest = std::max(highest, massAttenuation[i]);
        }
    }
    return {lowest, highest};
}

// The weighted transmission and its slope (per g/cm2) at a mass thickness.
std::pair<double, double> transmissionAndSlope(const std::vector<double>& weights,
                                               const std::vector<double>& massAttenuation,
                                               double x) {
    double total = 0.0;
    double passed = 0.0;
    double slope = 0.0;
    for (size_t i = 0; i < weights.size(); ++i) {
        const double term = weights[i] * std::exp(-massAttenuation[i] * x);
        total += weights[i];
        passed += term;
        slope -= massAttenuation[i] * term;
    }
    return {passed / total, slope / total};
}

} // namespace

namespace {

constexpr std::pair<const char*, BeamWeighting> kWeightings[] = {
    {"air-kerma", BeamWeighting::airKerma},
    {"fluence", BeamWeighting::fluence},
    {"energy-fluence", BeamWeighting::energyFluence}};

} // namespace

std::optional<BeamWeighting> beamWeightingOf(const std::string& name) {
    return valueNamed(kWeightings, name);
}

const char* beamWeightingName(BeamWeighting weighting) {
    return wordOfValue(kWeightings, weighting);
}

std::optional<std::vector<double>> coefficientAt(const Material& material, int column,
                                                 const std::vector<double>& energies,
                                                 ReadingMethod method, std::string& error) {
    std::vector<double> values(energies.size());
    double* output = values.data();
    readMaterialBatch(material, method, EdgeSide::below, energies, std::span(&column, 1),
                      std::span(&output, 1));
    for (size_t i = 0; i < energies.size(); ++i) {
        const double value = values[i];
        if (!(value > 0) || !std::isfinite(value)) {
            std::ostringstream energy;
            energy << energies[i] * 1000;
            error = material.label + " cannot be read at " + energy.str() + " keV";
            return std::nullopt;
        }
    }
    return values;
}

std::shared_ptr<const Material>
materialByNameOrFormula(const DataDirectory& data, const std::string& name, RequestError& error) {
    const bool table = !tablesMatching(data, name, TableKind::coefficients).empty();
    auto material =
        sharedMaterial(data, table ? MaterialRequest{name, "", ""} : MaterialRequest{"", name, ""},
                       TableKind::coefficients, error);
    if (!material && !table && error.problem == RequestProblem::syntax) {
        const std::string hint = didYouMean(data, name);
        error.message = "\"" + name + "\" is no table and no formula" +
                        (hint.empty() ? " (" + error.message + ")" : hint);
        error.problem = hint.empty() ? RequestProblem::syntax : RequestProblem::unknownName;
    }
    return material;
}

std::optional<std::vector<LayerText>> parseLayerList(const std::string& text, std::string& error) {
    std::vector<LayerText> layers;
    std::istringstream items(text);
    for (std::string item; std::getline(items, item, ',');) {
        const size_t colon = item.rfind(':');
        const std::string material(
            trimBlanks(std::string_view(item).substr(0, std::min(colon, item.size()))));
        const auto thickness =
            colon == std::string::npos ? std::nullopt : parseThickness(item.substr(colon + 1));
        if (material.empty() || !thickness) {
            error = "\"" + std::string(trimBlanks(item)) +
                    "\" is not a material and a thickness (Al:2.5mm; um, mm, cm, m or g/cm2)";
            return std::nullopt;
        }
        layers.push_back({material, *thickness});
    }
    if (layers.empty()) {
        error = "no layers are given (Al:2.5mm,Cu:0.1mm)";
        return std::nullopt;
    }
    return layers;
}

std::optional<std::vector<double>> airMuEnAt(const DataDirectory& data,
                                             const std::vector<double>& energies,
                                             ReadingMethod method, std::string& error) {
    RequestError problem;
    const auto air = sharedMaterial(data, {"Air", "", ""}, TableKind::coefficients, problem);
    if (!air) {
        error = "the air table is needed for the air kerma: " + problem.message;
        return std::nullopt;
    }
    return coefficientAt(*air, 2, energies, method, error);
}

std::shared_ptr<const std::vector<double>> AirAtBins::at(const DataDirectory& data,
                                                         const std::vector<double>& energies,
                                                         ReadingMethod method, std::string& error) {
    RequestError problem;
    auto air = sharedMaterial(data, {"Air", "", ""}, TableKind::coefficients, problem);
    if (!air) {
        error = "the air table is needed for the air kerma: " + problem.message;
        return nullptr;
    }
    const std::lock_guard lock(m_mutex);
    if (m_values && m_air == air && m_method == method && m_energies == energies) {
        return m_values;
    }
    auto values = coefficientAt(*air, 2, energies, method, error);
    if (!values) {
        return nullptr;
    }
    m_air = std::move(air);
    m_method = method;
    m_energies = energies;
    m_values = std::make_shared<const std::vector<double>>(std::move(*values));
    return m_values;
}

std::optional<double> massThicknessOf(const GivenThickness& thickness, double density,
                                      const std::string& label, std::string& error) {
    if (thickness.unit == ThicknessUnit::gramsPerSquareCentimetre) {
        return thickness.value;
    }
    if (!usableDensity(density)) {
        error = label + " has no density: give its thickness in g/cm2";
        return std::nullopt;
    }
    return thicknessInCm(thickness.value, thickness.unit, density) * density;
}

std::optional<std::vector<BeamLayer>> beamLayersOf(const DataDirectory& data,
                                                   const std::vector<LayerText>& layers,
                                                   const std::vector<double>& energies,
                                                   ReadingMethod method, std::string& error) {
    std::vector<BeamLayer> read;
    for (const LayerText& layer : layers) {
        RequestError problem;
        const auto material = materialByNameOrFormula(data, layer.material, problem);
        if (!material) {
            error = problem.message;
            return std::nullopt;
        }
        const auto mass =
            massThicknessOf(layer.thickness, material->density, material->label, error);
        auto mu = mass ? coefficientAt(*material, 0, energies, method, error) : std::nullopt;
        if (!mu) {
            return std::nullopt;
        }
        read.push_back({std::move(*mu), *mass});
    }
    return read;
}

Spectrum filteredSpectrum(const Spectrum& spectrum, const std::vector<BeamLayer>& layers) {
    Spectrum filtered = spectrum;
    for (size_t i = 0; i < filtered.photons.size(); ++i) {
        double exponent = 0.0;
        for (const BeamLayer& layer : layers) {
            exponent += layer.massAttenuation[i] * layer.massThickness;
        }
        filtered.photons[i] *= std::exp(-exponent);
    }
    return filtered;
}

double photonFluence(const Spectrum& spectrum) {
    double total = 0.0;
    for (const double photons : spectrum.photons) {
        total += photons;
    }
    return total;
}

double energyFluence(const Spectrum& spectrum) {
    double total = 0.0;
    for (size_t i = 0; i < spectrum.photons.size(); ++i) {
        total += spectrum.photons[i] * spectrum.energies[i];
    }
    return total;
}

double meanEnergy(const Spectrum& spectrum) {
    return energyFluence(spectrum) / photonFluence(spectrum);
}

double airKerma(const Spectrum& spectrum, const std::vector<double>& airMuEn) {
    double total = 0.0;
    for (size_t i = 0; i < spectrum.photons.size(); ++i) {
        total += spectrum.photons[i] * spectrum.energies[i] * airMuEn[i];
    }
    return total * kGrayPerMeVPerGram;
}

std::vector<double> beamWeights(const Spectrum& spectrum, BeamWeighting weighting,
                                const std::vector<double>& airMuEn) {
    std::vector<double> weights = spectrum.photons;
    for (size_t i = 0; weighting != BeamWeighting::fluence && i < weights.size(); ++i) {
        weights[i] *=
            spectrum.energies[i] * (weighting == BeamWeighting::airKerma ? airMuEn[i] : 1.0);
    }
    return weights;
}

double weightedTransmission(const std::vector<double>& weights,
                            const std::vector<double>& massAttenuation, double massThickness) {
    return transmissionAndSlope(weights, massAttenuation, massThickness).first;
}

std::optional<double> massThicknessForTransmission(const std::vector<double>& weights,
                                                   const std::vector<double>& massAttenuation,
                                                   double fraction) {
    const auto [lowest, highest] = attenuationRange(weights, massAttenuation);
    if (!(fraction > 0 && fraction < 1) || !(highest > 0) || !(lowest > 0)) {
        return std::nullopt;
    }
    // Each bin alone falls to the fraction at -ln f / (mu/rho); the blend falls to it
    // between the most and the least attenuated bin's thicknesses.
    double below = -std::log(fraction) / highest;
    double above = -std::log(fraction) / lowest;
    double x = below;
    for (int step = 0; step < 200; ++step) {
        const auto [transmission, slope] = transmissionAndSlope(weights, massAttenuation, x);
        if (transmission == fraction) {
            return x;
        }
        (transmission > fraction ? below : above) = x;
        // The curve is convex and falling, so Newton from the near side stays inside; a
        // step that leaves the bracket (rounding, a flat slope) is replaced by halving it.
        double next = x - (transmission - fraction) / slope;
        if (!(next > below && next < above)) {
            next = (below + above) / 2;
        }
        if (std::fabs(next - x) <= 1e-14 * next || above - below <= 1e-14 * above) {
            return next;
        }
        x = next;
    }
    return x;
}

std::optional<BeamQuality> beamQuality(const std::vector<double>& weights,
                                       const std::vector<double>& massAttenuation) {
    const auto half = massThicknessForTransmission(weights, massAttenuation, 0.5);
    const auto quarter = massThicknessForTransmission(weights, massAttenuation, 0.25);
    const auto tenth = massThicknessForTransmission(weights, massAttenuation, 0.1);
    if (!half || !quarter || !tenth) {
        return std::nullopt;
    }
    const double second = *quarter - *half;
    return BeamQuality{*half, second, *tenth, *half / second};
}

std::vector<Crossing> effectiveEnergies(const Material& material, double hvl1, double lowest,
                                        double highest, ReadingMethod method) {
    // A single energy's own crossing may come back a rounding away from it.
    constexpr double kSlack = 1e-9;
    std::vector<Crossing> found;
    for (const Crossing& crossing : energiesWhere(material, 0, std::numbers::ln2 / hvl1, method)) {
        if (crossing.energy >= lowest * (1 - kSlack) && crossing.energy <= highest * (1 + kSlack)) {
            found.push_back(crossing);
        }
    }
    return found;
}

std::pair<double, double> weightedRange(const Spectrum& spectrum,
                                        const std::vector<double>& weights) {
    double lowest = INFINITY;
    double highest = 0.0;
    for (size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] > 0) {
            lowest = std::min(lowest, spectrum.energies[i]);
            highest = std::max(highest, spectrum.energies[i]);
        }
    }
    return {lowest, highest};
}

} // namespace tarvo
