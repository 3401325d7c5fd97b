#include "attenuation.h"

#include "common/numeric_text.h"

#include <cctype>
#include <cmath>
#include <map>

namespace tarvo {
namespace {

// Centimetres per unit; a mass thickness is handled through the density.
double centimetresPer(ThicknessUnit unit) {
    switch (unit) {
    case ThicknessUnit::micrometre:
        return 1e-4;
    case ThicknessUnit::millimetre:
        return 0.1;
    case ThicknessUnit::metre:
        return 100.0;
    default:
        return 1.0;
    }
}

bool positive(double value) {
    return std::isfinite(value) && value > 0;
}

} // namespace

std::optional<ThicknessUnit> thicknessUnitOf(const std::string& text) {
    static const std::map<std::string, ThicknessUnit> units{
        {"um", ThicknessUnit::micrometre},
        {"\xc2\xb5m", ThicknessUnit::micrometre},
        {"mm", ThicknessUnit::millimetre},
        {"cm", ThicknessUnit::centimetre},
        {"m", ThicknessUnit::metre},
        {"g/cm2", ThicknessUnit::gramsPerSquareCentimetre},
        {"g/cm\xc2\xb2", ThicknessUnit::gramsPerSquareCentimetre}};
    const auto found = units.find(text);
    return found == units.end() ? std::nullopt : std::make_optional(found->second);
}

std::optional<GivenThickness> parseThickness(const std::string& given) {
    const std::string text(trimBlanks(given));
    size_t split = 0;
    while (split < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[split])) || text[split] == '.' ||
            text[split] == 'e' || text[split] == 'E' || text[split] == '+' || text[split] == '-')) {
        ++split;
    }
    std::string unitText = text.substr(split);
    unitText.erase(0, unitText.find_first_not_of(' '));
    const std::optional<double> number = strictNumber(text.substr(0, split));
    const std::optional<ThicknessUnit> unit = thicknessUnitOf(unitText);
    if (!number || !(*number >= 0) || !unit) {
        return std::nullopt;
    }
    return GivenThickness{*number + 0.0, *unit};
}

double thicknessInCm(double thickness, ThicknessUnit unit, double density) {
    return unit == ThicknessUnit::gramsPerSquareCentimetre ? thickness / density
                                                           : thickness * centimetresPer(unit);
}

double thicknessInUnit(double centimetres, ThicknessUnit unit, double density) {
    return unit == ThicknessUnit::gramsPerSquareCentimetre ? centimetres * density
                                                           : centimetres / centimetresPer(unit);
}

std::optional<Attenuation> attenuationOf(double muOverRho, double muEnOverRho, double density,
                                         double thickness) {
    if (!positive(muOverRho) || !positive(muEnOverRho) || !positive(density) ||
        !std::isfinite(thickness) || thickness < 0) {
        return std::nullopt;
    }
    const double mu = muOverRho * density; // 1/cm
    Attenuation result;
    result.transmission = std::exp(-mu * thickness);
    // 1 - exp(-x) without the loss of digits of a thin layer.
    result.attenuated = -std::expm1(-mu * thickness);
    result.energyAbsorbed = muEnOverRho / muOverRho * result.attenuated;
    result.halfValueLayer = std::log(2.0) / mu;
    result.tenthValueLayer = std::log(10.0) / mu;
    result.meanFreePath = 1.0 / mu;
    return result;
}

std::optional<double> thicknessForTransmission(double muOverRho, double density,
                                               double transmission) {
    if (!positive(muOverRho) || !positive(density) || !positive(transmission) || transmission > 1) {
        return std::nullopt;
    }
    // A transmission of 1 is no layer: +0, not the -0 of -log(1).
    return -std::log(transmission) / (muOverRho * density) + 0.0;
}

} // namespace tarvo
