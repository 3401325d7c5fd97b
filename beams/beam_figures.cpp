#include "beams/beam_figures.h"

#include "beams/beam_quality.h"
#include "common/number_format.h"
#include "common/text_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarvo {
namespace {

constexpr double kDecadesShown = 4.0;
constexpr double kHeadroom = 1.08; // the largest count stands below the plot's top

std::string shortNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// 1, 2 or 5 times a power of ten, the first at least `span / wanted`.
double roundStep(double span, int wanted) {
    const double rough = span / wanted;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= rough * (1 - 1e-9)) {
            return factor * power;
        }
    }
    return 10 * power;
}

std::vector<AxisTick> linearTicks(const PlotAxis& axis) {
    std::vector<AxisTick> ticks;
    const double step = roundStep(axis.high - axis.low, 6);
    for (double k = std::ceil(axis.low / step - 1e-9); k * step <= axis.high * (1 + 1e-9); ++k) {
        const double value = k * step;
        ticks.push_back(
            {axisPosition(axis, value), shortNumber(std::abs(value) < step / 2 ? 0 : value)});
    }
    return ticks;
}

std::vector<AxisTick> decadeTicks(const PlotAxis& axis) {
    std::vector<AxisTick> ticks;
    for (double k = std::ceil(std::log10(axis.low) - 1e-9); k <= std::log10(axis.high) + 1e-9;
         ++k) {
        ticks.push_back({axisPosition(axis, std::pow(10.0, k)), "1e" + shortNumber(k)});
    }
    return ticks;
}

double largestOf(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

} // namespace

double axisPosition(const PlotAxis& axis, double value) {
    if (axis.logarithmic) {
        return std::log(value / axis.low) / std::log(axis.high / axis.low);
    }
    return (value - axis.low) / (axis.high - axis.low);
}

double axisValue(const PlotAxis& axis, double position) {
    if (axis.logarithmic) {
        return axis.low * std::pow(axis.high / axis.low, position);
    }
    return axis.low + position * (axis.high - axis.low);
}

std::vector<AxisTick> axisTicks(const PlotAxis& axis) {
    if (!(axis.high > axis.low) || !std::isfinite(axis.high - axis.low) ||
        (axis.logarithmic && !(axis.low > 0))) {
        return {};
    }
    return axis.logarithmic ? decadeTicks(axis) : linearTicks(axis);
}

PlotAxis spectrumEnergyAxis(const BeamStudy& study) {
    const std::vector<double>& energies = study.before.energies;
    const double highestKeV = energies.empty() ? 1.0 : energies.back() * 1e3;
    const double step = roundStep(highestKeV, 6);
    return {0.0, std::ceil(highestKeV / step - 1e-9) * step, false};
}

PlotAxis spectrumCountAxis(const BeamStudy& study, bool logarithmic) {
    const double largest =
        std::max(largestOf(photonsPerKeV(study.before)), largestOf(photonsPerKeV(study.after)));
    if (!(largest > 0)) {
        return {0.0, 1.0, logarithmic};
    }
    if (logarithmic) {
        const double top = std::pow(10.0, std::ceil(std::log10(largest * kHeadroom)));
        return {top * std::pow(10.0, -kDecadesShown - 1), top, true};
    }
    const double step = roundStep(largest * kHeadroom, 6);
    return {0.0, std::ceil(largest * kHeadroom / step) * step, false};
}

LayerLength layerLength(const LayerQuality& layer) {
    if (layer.density > 0) {
        return {10.0 / layer.density, "mm"};
    }
    return {1.0, "g/cm2"};
}

PlotAxis transmissionThicknessAxis(const BeamStudy& study) {
    if (study.layers.empty() || study.transmission.empty()) {
        return {};
    }
    const double tenth =
        study.transmission.back()[0] * layerLength(study.layers.back()).perMassThickness;
    return {0.0, tenth > 0 ? tenth : 1.0, false};
}

std::string figureText(double value, const std::string& unit) {
    if (!std::isfinite(value)) {
        return "none";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return unit.empty() ? std::string(text) : std::string(text) + " " + unit;
}

std::vector<QualityRow> qualityRows(const BeamStudy& study) {
    std::vector<QualityRow> rows = {{"HVL1", {}},
                                    {"HVL2", {}},
                                    {"QVL", {}},
                                    {"TVL", {}},
                                    {"homogeneity coefficient", {}},
                                    {"effective energy", {}}};
    for (std::size_t k = 0; k < study.layers.size() && k < 3; ++k) {
        const LayerQuality& layer = study.layers[k];
        const BeamQuality& q = layer.quality;
        const LayerLength length = layerLength(layer);
        const double layers[] = {q.firstHalfValueLayer, q.secondHalfValueLayer,
                                 q.firstHalfValueLayer + q.secondHalfValueLayer, q.tenthValueLayer};
        for (std::size_t row = 0; row < 4; ++row) {
            rows[row].texts[k] = figureText(layers[row] * length.perMassThickness, length.unit);
        }
        rows[4].texts[k] = figureText(q.homogeneity, "");
        std::string energies;
        for (const EffectiveEnergy& energy : layer.effectiveEnergies) {
            energies += (energies.empty() ? "" : ", ") + figureText(energy.keV, "keV") +
                        (energy.atEdge ? " (at an edge)" : "");
        }
        rows[5].texts[k] = energies.empty() ? "none" : energies;
    }
    return rows;
}

std::vector<std::array<std::string, 2>> beamFigures(const BeamStudy& study) {
    return {{"mean energy", figureText(study.meanEnergyKeV, "keV")},
            {"kerma-weighted mean energy", figureText(study.kermaMeanEnergyKeV, "keV")},
            {"air kerma per mAs", study.airKermaPerMilliampereSecond
                                      ? figureText(*study.airKermaPerMilliampereSecond, "µGy")
                                      : "not calibrated"}};
}

std::string spectrumReadOut(const BeamStudy& study, double energyKeV) {
    const std::vector<double>& energies = study.before.energies;
    if (energies.empty() || !(energyKeV >= 0)) {
        return {};
    }
    const auto above = std::lower_bound(energies.begin(), energies.end(), energyKeV / 1e3);
    std::size_t i = static_cast<std::size_t>(above - energies.begin());
    if (i == energies.size() ||
        (i > 0 && energyKeV / 1e3 - energies[i - 1] < *above - energyKeV / 1e3)) {
        --i;
    }
    const std::vector<double> widths = binWidths(energies);
    const double halfWidth = widths.empty() ? 0.0 : widths[i] / 2;
    if (std::abs(energyKeV / 1e3 - energies[i]) > halfWidth) {
        return {};
    }
    return figureText(energies[i] * 1e3, "keV") + ": " +
           figureText(photonsPerKeV(study.before)[i], "") + " photons/keV before, " +
           figureText(photonsPerKeV(study.after)[i], "") + " after";
}

double transmissionAt(const BeamStudy& study, double thickness) {
    if (study.layers.empty()) {
        return std::nan("");
    }
    const double mass = thickness / layerLength(study.layers.back()).perMassThickness;
    return weightedTransmission(study.weights, study.chosenMassAttenuation, mass);
}

std::string transmissionReadOut(const BeamStudy& study, double thickness) {
    const PlotAxis axis = transmissionThicknessAxis(study);
    if (study.layers.empty() || !(thickness >= 0) || thickness > axis.high) {
        return {};
    }
    const std::string unit = layerLength(study.layers.back()).unit;
    return figureText(thickness, unit) + " of " + study.layers.back().label +
           ": K/K0 = " + figureText(transmissionAt(study, thickness), "");
}

namespace {

const char* unitName(ThicknessUnit unit) {
    switch (unit) {
    case ThicknessUnit::micrometre:
        return "um";
    case ThicknessUnit::millimetre:
        return "mm";
    case ThicknessUnit::centimetre:
        return "cm";
    case ThicknessUnit::metre:
        return "m";
    case ThicknessUnit::gramsPerSquareCentimetre:
        return "g/cm2";
    }
    return "";
}

std::string sourceDescription(const BeamSetting& setting) {
    switch (setting.source) {
    case BeamSourceKind::quality:
        return "the standard quality " + setting.quality;
    case BeamSourceKind::file:
        return "the spectrum of " + setting.file;
    case BeamSourceKind::tube:
        break;
    }
    return setting.anode + " tube at " + shortestText(setting.kV) + " kV, " +
           shortestText(setting.ripple) + " % ripple";
}

} // namespace

std::string beamDescription(const BeamSetting& setting) {
    std::string text = sourceDescription(setting);
    for (std::size_t i = 0; i < setting.filters.size(); ++i) {
        const FilterRow& row = setting.filters[i];
        text += (i == 0 ? ", after " : ", ") + row.material + " " + shortestText(row.thickness) +
                " " + unitName(row.unit);
        if (row.density) {
            text += " at " + shortestText(*row.density) + " g/cm3";
        }
    }
    // One line: a name holding a line break must not end the comment.
    for (char& c : text) {
        c = static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
    return text;
}

bool writeFilteredSpectrum(const std::string& path, const BeamStudy& study,
                           const BeamSetting& setting, std::string& error) {
    return atomicWriteFile(path, spectrumText(study.after, 1000.0, beamDescription(setting)),
                           error);
}

} // namespace tarvo
