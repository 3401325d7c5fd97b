#include "beams/tube_spectra.h"

#include "common/file_cache.h"
#include "common/number_format.h"
#include "common/numeric_text.h"
#include "common/text_file.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <sstream>

namespace tarvo {
namespace {

// What a model is beside its coefficients: its file and the facts its source gives.
struct ModelFacts {
    const char* name;
    const char* file;
    double lowestKv;
    double highestKv;
    double binWidthKeV;
    bool calibrated;
    bool takesRipple;
};

// Boone and Seibert (1997) for tungsten, Boone, Fewell and Jennings (1997) for mammography.
constexpr ModelFacts kModels[] = {
    {"W", "tungsten_30_140kV.csv", 30, 140, 1.0, true, true},
    {"Mo", "mammography_molybdenum_18_42kV.csv", 18, 42, 0.5, false, false},
    {"Rh", "mammography_rhodium_18_42kV.csv", 18, 42, 0.5, false, false},
    {"W-mammography", "mammography_tungsten_18_42kV.csv", 18, 42, 0.5, false, false}};

// The number of voltages the ripple's spectrum is the mean of.
constexpr int kRippleVoltages = 20;

// Photons per mm2 are 100 photons per cm2.
constexpr double kPerSquareCentimetre = 100.0;

const ModelFacts* factsOf(const std::string& name) {
    for (const ModelFacts& facts : kModels) {
        if (sameTextAnyCase(name, facts.name)) {
            return &facts;
        }
    }
    return nullptr;
}

std::optional<TubeBin> parseBin(const std::string& line) {
    std::vector<double> fields;
    std::stringstream split(line);
    for (std::string field; std::getline(split, field, ',');) {
        const auto value = strictNumber(trimBlanks(field));
        if (!value) {
            return std::nullopt;
        }
        fields.push_back(*value);
    }
    if (fields.size() != 6 || !(fields[0] > 0) || fields[1] < 1 || fields[1] > 4) {
        return std::nullopt;
    }
    return TubeBin{fields[0], {fields[2], fields[3], fields[4], fields[5]}};
}

// A mass thickness for messages, to four figures: "0.6328 g/cm2".
std::string massText(double gramsPerSquareCentimetre) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g g/cm2", gramsPerSquareCentimetre);
    return text;
}

// The text of a kV for messages: "80 kV", "27.5 kV".
std::string kvText(double kV) {
    return shortestText(kV) + " kV";
}

} // namespace

std::optional<TubeModel> parseTubeModel(const std::string& text, const std::string& name,
                                        std::string& error) {
    const ModelFacts* facts = factsOf(name);
    if (facts == nullptr) {
        error = "no tube model named \"" + name + "\" (W, Mo, Rh or W-mammography)";
        return std::nullopt;
    }
    TubeModel model{facts->name,
                    facts->lowestKv,
                    facts->highestKv,
                    facts->binWidthKeV,
                    facts->calibrated,
                    facts->takesRipple,
                    {}};
    std::stringstream lines(text);
    bool heading = false;
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        line = std::string(trimBlanks(line));
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (!heading) {
            heading = true;
            continue;
        }
        const auto bin = parseBin(line);
        if (!bin || (!model.bins.empty() && !(bin->energyKeV > model.bins.back().energyKeV))) {
            error = "line " + std::to_string(number) + " is no bin of rising energy (" +
                    elided(line) + ")";
            return std::nullopt;
        }
        model.bins.push_back(*bin);
    }
    if (model.bins.empty()) {
        error = "the model holds no bins";
        return std::nullopt;
    }
    return model;
}

std::shared_ptr<const TubeModel> tubeModel(const DataDirectory& data, const std::string& name,
                                           std::string& error) {
    const ModelFacts* facts = factsOf(name);
    if (facts == nullptr) {
        error = "no tube model named \"" + elided(name) + "\" (W, Mo, Rh or W-mammography)";
        return nullptr;
    }
    static FileCache<TubeModel> models;
    const std::string path = data.path(formPath("tube_spectra", facts->file));
    const auto stamp = fileStampOf(path);
    if (auto kept = stamp ? models.find(path, *stamp) : nullptr) {
        return kept;
    }
    const auto text = readTextFile(path, error);
    if (!text) {
        return nullptr;
    }
    auto model = parseTubeModel(*text, facts->name, error);
    if (!model) {
        error = path + ": " + error;
        return nullptr;
    }
    auto shared = std::make_shared<const TubeModel>(std::move(*model));
    if (stamp && fileStampOf(path) == stamp) {
        models.keep(path, *stamp, shared);
    }
    return shared;
}

std::vector<double> modelFluence(const TubeModel& model, double kV) {
    std::vector<double> fluence;
    fluence.reserve(model.bins.size());
    for (const TubeBin& bin : model.bins) {
        const auto& a = bin.coefficients;
        const double value = a[0] + kV * (a[1] + kV * (a[2] + kV * a[3]));
        const bool aboveVoltage = bin.energyKeV - model.binWidthKeV / 2 >= kV;
        fluence.push_back(aboveVoltage || !(value > 0) ? 0.0 : value);
    }
    return fluence;
}

std::vector<double> rippleFluence(const TubeModel& model, double kV, double ripplePercent) {
    if (ripplePercent == 0) {
        return modelFluence(model, kV);
    }
    std::vector<double> mean(model.bins.size(), 0.0);
    const double share = ripplePercent / 100;
    for (int i = 1; i <= kRippleVoltages; ++i) {
        const double voltage =
            kV * (1 - share) +
            kV * share * std::abs(std::sin(std::numbers::pi * i / kRippleVoltages));
        const std::vector<double> at = modelFluence(model, voltage);
        for (std::size_t b = 0; b < mean.size(); ++b) {
            mean[b] += at[b] / kRippleVoltages;
        }
    }
    return mean;
}

std::optional<std::string> tubeSettingProblem(const TubeModel& model, double kV,
                                              double ripplePercent) {
    const std::string range = "the " + model.name + " model's " + shortestText(model.lowestKv) +
                              "-" + kvText(model.highestKv);
    if (!(kV >= model.lowestKv && kV <= model.highestKv)) {
        return (std::isfinite(kV) ? kvText(kV) : std::string("the voltage")) + " is outside " +
               range;
    }
    if (!(ripplePercent >= 0 && ripplePercent <= 100)) {
        return std::string("the ripple is from 0 to 100 %");
    }
    if (ripplePercent > 0 && !model.takesRipple) {
        return "the " + model.name + " model takes no ripple";
    }
    const double lowest = kV * (1 - ripplePercent / 100);
    if (lowest < model.lowestKv) {
        return "a ripple of " + shortestText(ripplePercent) + " % takes the voltage down to " +
               kvText(lowest) + ", outside " + range;
    }
    return std::nullopt;
}

std::optional<Spectrum> tubeSpectrum(const TubeModel& model, double kV, double ripplePercent,
                                     std::string& error) {
    if (const auto problem = tubeSettingProblem(model, kV, ripplePercent)) {
        error = *problem;
        return std::nullopt;
    }
    const std::vector<double> fluence = rippleFluence(model, kV, ripplePercent);
    Spectrum beam;
    for (std::size_t b = 0; b < model.bins.size(); ++b) {
        if (model.bins[b].energyKeV - model.binWidthKeV / 2 >= kV) {
            break;
        }
        beam.energies.push_back(model.bins[b].energyKeV / 1000);
        beam.photons.push_back(fluence[b] * (model.calibrated ? kPerSquareCentimetre : 1.0));
    }
    if (const auto problem = spectrumProblem(beam.energies, beam.photons)) {
        error = "the " + model.name + " model at " + kvText(kV) + " gives no beam: " + *problem;
        return std::nullopt;
    }
    return beam;
}

double airKermaPerMilliampereSecond(const Spectrum& beam, const std::vector<double>& airMuEn,
                                    double distanceMetres) {
    constexpr double kMicrogray = 1e6;
    return airKerma(beam, airMuEn) * kMicrogray / (distanceMetres * distanceMetres);
}

double kermaWeightedMeanEnergy(const Spectrum& beam, const std::vector<double>& airMuEn) {
    double weighted = 0.0;
    double total = 0.0;
    for (std::size_t i = 0; i < beam.photons.size(); ++i) {
        const double kerma = beam.photons[i] * beam.energies[i] * airMuEn[i];
        weighted += beam.energies[i] * kerma;
        total += kerma;
    }
    return weighted / total;
}

namespace {

// The first half-value layer (g/cm2) of the beam behind `filter` g/cm2 of the added material.
std::optional<double> hvlBehind(const FilterSearch& search, const std::vector<double>& weights,
                                double filter) {
    std::vector<double> behind = weights;
    for (std::size_t i = 0; i < behind.size(); ++i) {
        behind[i] *= std::exp(-search.filterMassAttenuation[i] * filter);
    }
    return massThicknessForTransmission(behind, search.hvlMassAttenuation, 0.5);
}

} // namespace

std::optional<double> addedFilterForHvl(const FilterSearch& search, double wantedHvl,
                                        double mostMassThickness, std::string& error) {
    const std::vector<double> weights = beamWeights(search.beam, search.weighting, search.airMuEn);
    if (!(wantedHvl > 0) || !std::isfinite(wantedHvl)) {
        error = "the wanted HVL1 must be a finite thickness above 0";
        return std::nullopt;
    }
    const auto bare = hvlBehind(search, weights, 0.0);
    if (!bare) {
        error = "the beam has no half-value layer to set";
        return std::nullopt;
    }
    if (*bare == wantedHvl) {
        return 0.0;
    }
    if (*bare > wantedHvl) {
        error = "the beam's HVL1 is " + massText(*bare) +
                " without an added filter, already above the wanted " + massText(wantedHvl);
        return std::nullopt;
    }
    // A filter hardens the beam, so its HVL1 rises with the thickness: bracket, then halve.
    double low = 0.0;
    double high = mostMassThickness / 1024;
    for (auto hvl = hvlBehind(search, weights, high); !hvl || *hvl < wantedHvl;
         hvl = hvlBehind(search, weights, high)) {
        low = high;
        high *= 2;
        if (!hvl || high > mostMassThickness) {
            error = "no added filter up to " + massText(mostMassThickness) + " gives an HVL1 of " +
                    massText(wantedHvl);
            return std::nullopt;
        }
    }
    while (high - low > 1e-12 * high) {
        const double middle = (low + high) / 2;
        const auto hvl = hvlBehind(search, weights, middle);
        (hvl && *hvl < wantedHvl ? low : high) = middle;
    }
    return (low + high) / 2;
}

std::optional<QualityBeam> standardQualityBeam(const DataDirectory& data, const std::string& name,
                                               ReadingMethod method, std::string& error) {
    const auto quality = radiationQualityNamed(name);
    if (!quality) {
        error = "no standard quality named \"" + elided(name) + "\" (RQR2 to RQR9)";
        return std::nullopt;
    }
    const auto model = tubeModel(data, "W", error);
    const auto beam = model ? tubeSpectrum(*model, quality->kV, 0.0, error) : std::nullopt;
    RequestError problem;
    const auto aluminium = beam ? materialByNameOrFormula(data, "Al", problem) : nullptr;
    if (beam && !aluminium) {
        error = problem.message;
    }
    const auto mu =
        aluminium ? coefficientAt(*aluminium, 0, beam->energies, method, error) : std::nullopt;
    const auto air = mu ? airMuEnAt(data, beam->energies, method, error) : std::nullopt;
    if (!air) {
        return std::nullopt;
    }
    constexpr double kMostAluminium = 50.0; // g/cm2, some 19 cm
    const FilterSearch search{*beam, *mu, *mu, *air, BeamWeighting::airKerma};
    const double wanted = quality->hvlAluminiumMm / 10 * aluminium->density;
    const auto added = addedFilterForHvl(search, wanted, kMostAluminium, error);
    if (!added) {
        return std::nullopt;
    }
    QualityBeam result{
        *quality, filteredSpectrum(*beam, {{*mu, *added}}), *added, aluminium->density, {}};
    result.inAluminium = *beamQuality(beamWeights(result.beam, BeamWeighting::airKerma, *air), *mu);
    return result;
}

std::optional<RadiationQuality> radiationQualityNamed(const std::string& name) {
    std::string plain;
    for (const char c : name) {
        if (c != ' ' && c != '-' && c != '_') {
            plain += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
    }
    for (const RadiationQuality& quality : kRadiationQualities) {
        if (plain == quality.name) {
            return quality;
        }
    }
    return std::nullopt;
}

} // namespace tarvo
