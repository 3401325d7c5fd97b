#pragma once

#include "beams/beam_quality.h"
#include "beams/beam_spectrum.h"
#include "coefview/attenuation.h"

#include <array>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tarvo {

// Where a studied beam comes from: a tube model at a voltage, a standard quality, or a
// spectrum file.
enum class BeamSourceKind { tube, quality, file };

// A layer the beam passes: a material (a table's name, or a formula with its density) and
// its thickness.
struct FilterRow {
    std::string material;
    double thickness = 0.0;
    ThicknessUnit unit = ThicknessUnit::millimetre;
    std::optional<double> density; // g/cm3 of a formula; a table's own where not given
};

// Everything a beam study is made from.
struct BeamSetting {
    BeamSourceKind source = BeamSourceKind::tube;
    std::string anode = "W"; // a tube model's name
    double kV = 80.0;
    double ripple = 0.0; // %
    std::string quality = "RQR5";
    std::string file; // a spectrum file, energies in keV
    std::vector<FilterRow> filters;
    std::string chosenMaterial = "Al"; // the third quality column and the transmission curve
    ReadingMethod method = ReadingMethod::spline;
};

// The entry of a setting a problem lies in, so that a window can name its box.
enum class BeamEntry {
    anode,
    kV,
    ripple,
    quality,
    file,
    filterMaterial,
    filterThickness,
    filterDensity,
    chosenMaterial
};

// Why a setting gives no beam: the entry (and the filter row, from 0) and the reason.
struct BeamProblem {
    BeamEntry entry = BeamEntry::anode;
    int row = -1;
    std::string message;
};

// An energy (keV) whose mu/rho gives a beam's HVL1; at an absorption edge, the edge's.
struct EffectiveEnergy {
    double keV = 0.0;
    bool atEdge = false;
};

// A beam's quality in one material: half-value layers (g/cm2) and effective energies.
struct LayerQuality {
    std::string label;    // the material's own name
    double density = 0.0; // g/cm3; 0 where none is known (a formula without one)
    BeamQuality quality;  // the layers as mass thicknesses
    std::vector<EffectiveEnergy> effectiveEnergies;
};

// What is known of a beam: its spectrum before and after the filters, its mean energies, its
// air kerma per mAs where the source is calibrated, its quality in aluminium, copper and the
// chosen material, and the transmission through the chosen material.
struct BeamStudy {
    Spectrum before;
    Spectrum after;
    double meanEnergyKeV = 0.0;                         // fluence-weighted
    double kermaMeanEnergyKeV = 0.0;                    // air-kerma-weighted
    std::optional<double> airKermaPerMilliampereSecond; // uGy at 1 m
    std::vector<LayerQuality> layers;                   // Al, Cu, the chosen material
    // Mass thickness (g/cm2) of the chosen material and the air-kerma transmission K(t)/K(0),
    // from 0 to its tenth-value layer in equal steps.
    std::vector<std::array<double, 2>> transmission;
    // The bins' air-kerma weights and the chosen material's mu/rho (cm2/g) at them, which
    // give the transmission at any thickness.
    std::vector<double> weights;
    std::vector<double> chosenMassAttenuation;
};

// The number of steps of the transmission curve.
inline constexpr int kTransmissionSteps = 100;

// A beam studied from its setting, or the problem of the first entry that gives none.
std::variant<BeamStudy, BeamProblem> studyBeam(const DataDirectory& data,
                                               const BeamSetting& setting);

// The photons per keV of each bin (photons over the bin's width), for drawing.
std::vector<double> photonsPerKeV(const Spectrum& spectrum);

} // namespace tarvo
