#pragma once

#include "beams/beam_quality.h"
#include "beams/beam_spectrum.h"
#include "common/data_directory.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

// One energy bin of an empirical tube spectrum model: its centre (keV) and the cubic in the
// tube voltage (kV) whose value is the bin's fluence.
struct TubeBin {
    double energyKeV = 0.0;
    std::array<double, 4> coefficients{}; // a0 + a1 kV + a2 kV^2 + a3 kV^3
};

// An empirical model of x-ray tube spectra, read from its file of the run directory's
// "tube_spectra" folder.
struct TubeModel {
    std::string name;      // "W", "Mo", "Rh" or "W-mammography"
    double lowestKv = 0.0; // the voltages it was fitted for
    double highestKv = 0.0;
    double binWidthKeV = 0.0;  // 1 for "W", 0.5 for the mammography models
    bool calibrated = false;   // photons per mm2 per mAs at 1 m (else a relative scale)
    bool takesRipple = false;  // the generator ripple applies
    std::vector<TubeBin> bins; // ascending
};

// The models' names, in the order they are listed.
inline constexpr const char* kTubeModelNames[] = {"W", "Mo", "Rh", "W-mammography"};

// The model a name stands for, any case ("w", "MO"), as read from the data directory and
// kept while its file is unchanged; nothing, with `error` naming the known models or the
// file's fault, when there is none.
std::shared_ptr<const TubeModel> tubeModel(const DataDirectory& data, const std::string& name,
                                           std::string& error);

// A model read from the text of its file (comment lines "#", a heading line, then
// energy_keV,terms,a0,a1,a2,a3 rows); nothing, with `error` naming the line, when the text
// holds no model.
std::optional<TubeModel> parseTubeModel(const std::string& text, const std::string& name,
                                        std::string& error);

// The fluence of each bin at a constant tube voltage: the cubic, 0 where it is negative and
// where the bin's lower edge (centre minus half the bin width) lies at or above kV.
std::vector<double> modelFluence(const TubeModel& model, double kV);

// The generator ripple's spectrum: the mean of the constant-voltage spectra at the 20
// voltages kV (1 - r/100) + kV (r/100) |sin(pi i / 20)|, i = 1..20 (r in %).
std::vector<double> rippleFluence(const TubeModel& model, double kV, double ripplePercent);

// Why a tube voltage (kV) and ripple (%) cannot be had from a model: outside its range (the
// message names it), a ripple outside 0-100 %, a ripple whose lowest voltage leaves the
// range, or a ripple asked of a model that takes none; nothing when they can.
std::optional<std::string> tubeSettingProblem(const TubeModel& model, double kV,
                                              double ripplePercent);

// The beam of a tube before any added filter: the model's bins up to the voltage (MeV inside)
// with their fluence (photons per cm2 per mAs at 1 m for a calibrated model, else the
// model's relative scale). Nothing, with `error`, when the setting is refused.
std::optional<Spectrum> tubeSpectrum(const TubeModel& model, double kV, double ripplePercent,
                                     std::string& error);

// The air kerma (uGy) per mAs at `distanceMetres` from the focal spot of a calibrated model's
// beam (counts per cm2 per mAs at 1 m), by the inverse square.
double airKermaPerMilliampereSecond(const Spectrum& beam, const std::vector<double>& airMuEn,
                                    double distanceMetres);

// The kerma-weighted mean energy (MeV): sum E K(E) / sum K(E), K(E) = n E mu_en/rho of air.
double kermaWeightedMeanEnergy(const Spectrum& beam, const std::vector<double>& airMuEn);

// The thickness (g/cm2) of a material that, added to a beam, gives its first half-value
// layer in a second material the wanted mass thickness (g/cm2), to 1e-9 relative. Refused,
// with `error`, when no thickness up to `mostMassThickness` reaches it.
struct FilterSearch {
    Spectrum beam;                             // before the added filter
    std::vector<double> filterMassAttenuation; // of the added material at the bins, cm2/g
    std::vector<double> hvlMassAttenuation;    // of the half-value layers' material, cm2/g
    std::vector<double> airMuEn;               // of air at the bins, cm2/g
    BeamWeighting weighting = BeamWeighting::airKerma;
};
std::optional<double> addedFilterForHvl(const FilterSearch& search, double wantedHvl,
                                        double mostMassThickness, std::string& error);

// A standard radiation quality of IEC 61267: its name, tube voltage and nominal HVL1 in
// aluminium.
struct RadiationQuality {
    const char* name;
    double kV;
    double hvlAluminiumMm;
};
inline constexpr RadiationQuality kRadiationQualities[] = {
    {"RQR2", 40, 1.42}, {"RQR3", 50, 1.78}, {"RQR4", 60, 2.19},  {"RQR5", 70, 2.58},
    {"RQR6", 80, 3.01}, {"RQR7", 90, 3.48}, {"RQR8", 100, 3.97}, {"RQR9", 120, 5.00}};

// The quality a name stands for ("RQR5", "rqr 5", "RQR-5"); nothing for any other.
std::optional<RadiationQuality> radiationQualityNamed(const std::string& name);

// A standard quality as the tungsten model gives it: the model's beam at the quality's
// voltage behind the added aluminium found for its nominal HVL1, and that beam's quality in
// aluminium (air-kerma weighted). The model has no anode angle, so the added filtration is
// the model's own, not a given tube's.
struct QualityBeam {
    RadiationQuality quality;
    Spectrum beam;                 // filtered
    double addedAluminium = 0.0;   // g/cm2
    double aluminiumDensity = 0.0; // g/cm3 of the aluminium table
    BeamQuality inAluminium;       // g/cm2
};
std::optional<QualityBeam> standardQualityBeam(const DataDirectory& data, const std::string& name,
                                               ReadingMethod method, std::string& error);

} // namespace tarvo
