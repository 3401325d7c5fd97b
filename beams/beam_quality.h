#pragma once

#include "beams/beam_spectrum.h"
#include "coefview/attenuation.h"
#include "materials/material_source.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

// What a beam's transmission is measured by: the air kerma an ionisation chamber reads
// (the habit for half-value layers), the photon fluence or the energy fluence.
enum class BeamWeighting { airKerma, fluence, energyFluence };

// The weighting named "air-kerma", "fluence" or "energy-fluence" in any case; nothing for
// another name.
std::optional<BeamWeighting> beamWeightingOf(const std::string& name);

// The word of a weighting: "air-kerma", "fluence" or "energy-fluence".
const char* beamWeightingName(BeamWeighting weighting);

// A layer as a beam meets it: mu/rho (cm2/g) at each bin's energy and the layer's mass
// thickness (g/cm2).
struct BeamLayer {
    std::vector<double> massAttenuation;
    double massThickness = 0.0;
};

// One column (0 mu/rho, 1 mu_tr/rho, 2 mu_en/rho; cm2/g) of a coefficient material at each
// energy (MeV) by a method; nothing, with `error` naming the energy, when one cannot be read.
std::optional<std::vector<double>> coefficientAt(const Material& material, int column,
                                                 const std::vector<double>& energies,
                                                 ReadingMethod method, std::string& error);

// A material by a table's name, stem, symbol or path, else as a chemical formula: the
// coefficients, for a filter or a half-value layer. A table is the shared one, read once.
std::shared_ptr<const Material>
materialByNameOrFormula(const DataDirectory& data, const std::string& name, RequestError& error);

// A layer of a stack as typed: a material and a thickness with its unit.
struct LayerText {
    std::string material;
    GivenThickness thickness;
};

// The layers of "Al:2.5mm,Cu:0.1mm" (thicknesses in um, mm, cm, m or g/cm2, at least 0);
// nothing, with `error` naming the item, when one is not a material and a thickness.
std::optional<std::vector<LayerText>> parseLayerList(const std::string& text, std::string& error);

// The air's mu_en/rho (cm2/g) at a beam's bins, read once for the beam: kept with the bins,
// the air table it was read from and the method, and read again when any changes (another
// data directory, a changed air table). Safe from several threads.
class AirAtBins {
  public:
    std::shared_ptr<const std::vector<double>> at(const DataDirectory& data,
                                                  const std::vector<double>& energies,
                                                  ReadingMethod method, std::string& error);

  private:
    std::mutex m_mutex;
    std::shared_ptr<const Material> m_air;
    ReadingMethod m_method = ReadingMethod::spline;
    std::vector<double> m_energies;
    std::shared_ptr<const std::vector<double>> m_values;
};

// The air's mu_en/rho (cm2/g) at each energy (MeV), from the data directory's air table.
std::optional<std::vector<double>> airMuEnAt(const DataDirectory& data,
                                             const std::vector<double>& energies,
                                             ReadingMethod method, std::string& error);

// The mass thickness (g/cm2) of a typed thickness of a material of `density` g/cm3 (0 for
// one not known, which only a mass thickness can stand for); nothing, with `error`, then.
std::optional<double> massThicknessOf(const GivenThickness& thickness, double density,
                                      const std::string& label, std::string& error);

// The typed layers read against the data directory at a spectrum's energies (MeV).
std::optional<std::vector<BeamLayer>> beamLayersOf(const DataDirectory& data,
                                                   const std::vector<LayerText>& layers,
                                                   const std::vector<double>& energies,
                                                   ReadingMethod method, std::string& error);

// The spectrum after the layers: each bin times exp(-sum of mu/rho times mass thickness).
Spectrum filteredSpectrum(const Spectrum& spectrum, const std::vector<BeamLayer>& layers);

// The photons of a spectrum, in the unit of its counts.
double photonFluence(const Spectrum& spectrum);
// The energy the photons carry (MeV times the unit of the counts).
double energyFluence(const Spectrum& spectrum);
// The mean photon energy (MeV).
double meanEnergy(const Spectrum& spectrum);

// The air kerma of a beam (Gy when the counts are photons per cm2) from the air's
// mu_en/rho (cm2/g) at each bin's energy: the collision kerma, sum of n E mu_en/rho.
double airKerma(const Spectrum& spectrum, const std::vector<double>& airMuEn);

// The weight of each bin under a weighting (air kerma needs the air's mu_en/rho, cm2/g).
std::vector<double> beamWeights(const Spectrum& spectrum, BeamWeighting weighting,
                                const std::vector<double>& airMuEn);

// The weighted transmission through `massThickness` g/cm2 of a material with mu/rho
// `massAttenuation` (cm2/g) at each bin: sum w exp(-mu/rho x) / sum w.
double weightedTransmission(const std::vector<double>& weights,
                            const std::vector<double>& massAttenuation, double massThickness);

// The mass thickness (g/cm2) whose weighted transmission is `fraction` (above 0, below 1):
// a Newton search held inside a bracket that the single bins' own layers give, to 1e-13
// relative. Nothing when the fraction is out of range or no bin carries weight.
std::optional<double> massThicknessForTransmission(const std::vector<double>& weights,
                                                   const std::vector<double>& massAttenuation,
                                                   double fraction);

// The half-value layers of a beam in a material (mass thicknesses, g/cm2): the first, the
// second (from 1/2 to 1/4), the tenth-value layer and the homogeneity coefficient HVL1/HVL2.
struct BeamQuality {
    double firstHalfValueLayer = 0.0;
    double secondHalfValueLayer = 0.0;
    double tenthValueLayer = 0.0;
    double homogeneity = 0.0;
};
std::optional<BeamQuality> beamQuality(const std::vector<double>& weights,
                                       const std::vector<double>& massAttenuation);

// The effective energies (MeV) of a beam in a material: every energy from `lowest` to
// `highest` at which a single-energy beam has the first half-value layer `hvl1` (g/cm2),
// that is mu/rho = ln 2 / hvl1, ascending.
std::vector<Crossing> effectiveEnergies(const Material& material, double hvl1, double lowest,
                                        double highest, ReadingMethod method);

// The lowest and highest energy (MeV) of the bins that carry weight.
std::pair<double, double> weightedRange(const Spectrum& spectrum,
                                        const std::vector<double>& weights);

} // namespace tarvo
