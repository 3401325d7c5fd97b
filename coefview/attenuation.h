#pragma once

#include <optional>
#include <string>

namespace tarvo {

// The units a thickness may be typed in.
enum class ThicknessUnit { micrometre, millimetre, centimetre, metre, gramsPerSquareCentimetre };

// The unit of a text: "um" or "µm", "mm", "cm", "m", "g/cm2" or "g/cm²"; nothing otherwise.
std::optional<ThicknessUnit> thicknessUnitOf(const std::string& text);

// A thickness as typed: a number and its unit.
struct GivenThickness {
    double value = 0.0;
    ThicknessUnit unit = ThicknessUnit::centimetre;
};

// A thickness with its unit ("2mm", "0.5 cm", "3g/cm2", "10um"); nothing unless the number is
// finite and at least 0 and the unit one of thicknessUnitOf's.
std::optional<GivenThickness> parseThickness(const std::string& text);

// A thickness in cm from a thickness in `unit`; a mass thickness (g/cm2) is divided by the
// density (g/cm3).
double thicknessInCm(double thickness, ThicknessUnit unit, double density);
// The same length (cm) in `unit`.
double thicknessInUnit(double centimetres, ThicknessUnit unit, double density);

// Narrow-beam attenuation through a layer.
struct Attenuation {
    double transmission = 0.0;    // I/I0 = exp(-(mu/rho) rho x)
    double attenuated = 0.0;      // 1 - I/I0
    double energyAbsorbed = 0.0;  // (mu_en/mu)(1 - I/I0): the fraction of the energy absorbed
    double halfValueLayer = 0.0;  // ln 2 / mu, cm
    double tenthValueLayer = 0.0; // ln 10 / mu, cm
    double meanFreePath = 0.0;    // 1 / mu, cm
};

// The attenuation of `thickness` cm of a material of `density` g/cm3 with mu/rho and
// mu_en/rho (cm2/g); nothing unless all are positive and finite (a thickness may be 0).
std::optional<Attenuation> attenuationOf(double muOverRho, double muEnOverRho, double density,
                                         double thickness);

// The thickness (cm) that lets the fraction `transmission` (above 0, at most 1) through;
// nothing for a transmission or a coefficient outside its range.
std::optional<double> thicknessForTransmission(double muOverRho, double density,
                                               double transmission);

} // namespace tarvo
