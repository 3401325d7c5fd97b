#include "python/bindings.h"

#include "beams/beam_quality.h"
#include "beams/tube_spectra.h"
#include "common/table_files.h"
#include "common/text_file.h"

#include <pybind11/stl.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>

namespace tarvo::python {
namespace {

using namespace pybind11::literals;

// A beam as a script holds it: the bins (MeV inside) and the energy unit it was given in,
// which its energies are handed back in.
struct ModuleSpectrum {
    Spectrum spectrum;
    double unitsPerMeV = 1000.0;
    std::string unit = "keV";
    // The air at the bins, read at the first air-kerma quantity; the bins never change.
    std::shared_ptr<AirAtBins> air = std::make_shared<AirAtBins>();
    // Photons per cm2 per mAs at 1 m (the tungsten tube model), so an air kerma per mAs is had.
    bool calibrated = false;
};

} // namespace
} // namespace tarvo::python

template <>
struct pybind11::detail::type_caster<tarvo::python::ModuleSpectrum>
    : initialised_caster<tarvo::python::ModuleSpectrum> {};

namespace tarvo::python {
namespace {

ModuleSpectrum spectrumFromArrays(const py::object& energies, const py::object& counts,
                                  const std::string& unit, bool perUnitEnergy) {
    ModuleSpectrum made;
    made.unitsPerMeV = unitsPerMeVOf(unit);
    made.unit = made.unitsPerMeV == 1.0 ? "MeV" : "keV";
    const DoubleArray e = numbersOf(energies, "energies");
    const DoubleArray n = numbersOf(counts, "counts");
    if (e.ndim() > 1 || n.ndim() > 1) {
        throw ModuleFailure(FailureKind::value, "energies and counts are one row of numbers each");
    }
    std::string error;
    auto spectrum =
        spectrumOf(std::vector<double>(e.data(), e.data() + e.size()),
                   std::vector<double>(n.data(), n.data() + n.size()), made.unitsPerMeV,
                   perUnitEnergy ? SpectrumCounts::perUnitEnergy : SpectrumCounts::perBin, error);
    if (!spectrum) {
        throw ModuleFailure(FailureKind::value, error);
    }
    made.spectrum = std::move(*spectrum);
    return made;
}

ModuleSpectrum readSpectrum(const std::string& path, const std::string& unit, bool perUnitEnergy) {
    ModuleSpectrum made;
    made.unitsPerMeV = unitsPerMeVOf(unit);
    made.unit = made.unitsPerMeV == 1.0 ? "MeV" : "keV";
    std::error_code ignored;
    const bool readable =
        std::ifstream(path).good() && !std::filesystem::is_directory(path, ignored);
    std::string error;
    auto spectrum = readSpectrumFile(
        path, made.unitsPerMeV,
        perUnitEnergy ? SpectrumCounts::perUnitEnergy : SpectrumCounts::perBin, error);
    if (!spectrum) {
        throw ModuleFailure(readable ? FailureKind::value : FailureKind::file, error);
    }
    made.spectrum = std::move(*spectrum);
    return made;
}

py::array_t<double> arrayOf(const std::vector<double>& values, double scale = 1.0) {
    py::array_t<double> array(static_cast<py::ssize_t>(values.size()));
    for (std::size_t i = 0; i < values.size(); ++i) {
        array.mutable_data()[i] = values[i] * scale;
    }
    return array;
}

// mu/rho (cm2/g) of a material at every bin; the air's mu_en/rho for `column` -1.
std::vector<double> coefficientsAtBins(const Material& tables, int column, const ModuleSpectrum& s,
                                       ReadingMethod method) {
    std::string error;
    auto values = coefficientAt(tables, column, s.spectrum.energies, method, error);
    if (!values) {
        throw ModuleFailure(FailureKind::value, error);
    }
    return std::move(*values);
}

std::shared_ptr<const std::vector<double>> airMuEn(const ModuleSpectrum& s, ReadingMethod method) {
    std::string error;
    auto values = s.air->at(*dataDirectory(), s.spectrum.energies, method, error);
    if (!values) {
        throw ModuleFailure(FailureKind::file, error);
    }
    return values;
}

BeamWeighting weightingOf(const std::string& name) {
    if (const auto weighting = beamWeightingOf(name)) {
        return *weighting;
    }
    throw ModuleFailure(FailureKind::value,
                        "weighting is \"air-kerma\", \"fluence\" or \"energy-fluence\", not \"" +
                            name + "\"");
}

// A material's layers as a beam meets them: the material, its density, mu/rho at the bins
// and the bins' weights.
struct LayerMaterial {
    std::shared_ptr<ModuleMaterial> material;
    double density = 0.0;
    std::vector<double> mu;
    std::vector<double> weights;
};

LayerMaterial layerMaterialOf(const ModuleSpectrum& s, const py::object& given,
                              const std::string& weighting, const std::string& method,
                              std::optional<double> density) {
    LayerMaterial layer;
    const BeamWeighting by = weightingOf(weighting);
    const ReadingMethod way = methodOf(method);
    layer.material = materialOf(given);
    layer.density = density.value_or(layer.material->density);
    if (density && !usableDensity(*density)) {
        throw ModuleFailure(FailureKind::value, "density must be a finite number above 0 (g/cm3)");
    }
    const Material& tables = layer.material->tables(TableKind::coefficients);
    // The readings at the bins and the air need no Python object: other threads go on.
    py::gil_scoped_release release;
    layer.mu = coefficientsAtBins(tables, 0, s, way);
    layer.weights = beamWeights(
        s.spectrum, by, by == BeamWeighting::airKerma ? *airMuEn(s, way) : std::vector<double>());
    return layer;
}

ThicknessUnit lengthUnitOf(const std::string& unit, double density, const std::string& label) {
    const auto found = thicknessUnitOf(unit);
    if (!found) {
        throw ModuleFailure(FailureKind::value,
                            "unit is \"um\", \"mm\", \"cm\", \"m\" or \"g/cm2\", not \"" + unit +
                                "\"");
    }
    if (*found != ThicknessUnit::gramsPerSquareCentimetre && !usableDensity(density)) {
        throw ModuleFailure(FailureKind::value,
                            label + " has no density: give density= or unit=\"g/cm2\"");
    }
    return *found;
}

BeamQuality qualityOf(const LayerMaterial& layer) {
    std::optional<BeamQuality> quality;
    {
        py::gil_scoped_release release;
        quality = beamQuality(layer.weights, layer.mu);
    }
    if (!quality) {
        throw ModuleFailure(FailureKind::value, "no photons of the beam carry weight");
    }
    return *quality;
}

double shownThickness(double mass, const LayerMaterial& layer, const std::string& unit) {
    const ThicknessUnit u = lengthUnitOf(unit, layer.density, layer.material->name);
    return u == ThicknessUnit::gramsPerSquareCentimetre
               ? mass
               : thicknessInUnit(mass / layer.density, u, layer.density);
}

// The layers of a stack: "Al:2.5mm,Cu:0.1mm", or pairs (material, thickness in cm) and
// triples (material, thickness, unit).
std::vector<BeamLayer> layersOf(const ModuleSpectrum& s, const py::object& given,
                                ReadingMethod method) {
    std::vector<std::pair<py::object, GivenThickness>> typed;
    if (py::isinstance<py::str>(given)) {
        std::string error;
        const auto layers = parseLayerList(given.cast<std::string>(), error);
        if (!layers) {
            throw ModuleFailure(FailureKind::value, error);
        }
        for (const LayerText& layer : *layers) {
            typed.emplace_back(py::str(layer.material), layer.thickness);
        }
    } else {
        for (const py::handle item : given) {
            const auto parts = item.cast<py::tuple>();
            if (parts.size() < 2 || parts.size() > 3) {
                throw ModuleFailure(FailureKind::value,
                                    "a layer is (material, thickness) or (material, thickness, "
                                    "unit)");
            }
            const std::string unit = parts.size() == 3 ? parts[2].cast<std::string>() : "cm";
            const auto found = thicknessUnitOf(unit);
            const double value = parts[1].cast<double>();
            if (!found || !(value >= 0) || !std::isfinite(value)) {
                throw ModuleFailure(FailureKind::value,
                                    "a layer's thickness is a finite number, 0 or more, in um, "
                                    "mm, cm, m or g/cm2");
            }
            typed.emplace_back(py::reinterpret_borrow<py::object>(parts[0]),
                               GivenThickness{value, *found});
        }
    }
    std::vector<BeamLayer> layers;
    for (const auto& [material, thickness] : typed) {
        const auto found = materialOf(material);
        std::string error;
        const auto mass = massThicknessOf(thickness, found->density, found->name, error);
        if (!mass) {
            throw ModuleFailure(FailureKind::value, error);
        }
        const Material& tables = found->tables(TableKind::coefficients);
        py::gil_scoped_release release;
        layers.push_back({coefficientsAtBins(tables, 0, s, method), *mass});
    }
    return layers;
}

void bindReading(py::class_<ModuleSpectrum>& cls) {
    cls.def(py::init(&spectrumFromArrays), "energies"_a, "counts"_a, "unit"_a = "keV",
            "per_unit_energy"_a = false,
            "A photon beam: bin energies (keV, or unit=\"MeV\"), rising, and the photons in\n"
            "each bin (relative, or per cm2 for an absolute air kerma); per_unit_energy=True\n"
            "takes counts per unit energy and multiplies them by the bins' widths.");
    cls.def_static("read", &readSpectrum, "path"_a, "unit"_a = "keV", "per_unit_energy"_a = false,
                   "A spectrum file: two columns, energy and photons, split by commas, tabs or\n"
                   "blanks, '#' comments. ValueError names the line that is no bin.");
    cls.def_property_readonly(
        "energies",
        [](const ModuleSpectrum& s) { return arrayOf(s.spectrum.energies, s.unitsPerMeV); },
        "The bins' energies, in the spectrum's unit.");
    cls.def_property_readonly(
        "counts", [](const ModuleSpectrum& s) { return arrayOf(s.spectrum.photons); },
        "The photons in each bin.");
    cls.def_property_readonly(
        "unit", [](const ModuleSpectrum& s) { return s.unit; }, "\"keV\" or \"MeV\".");
    cls.def("__len__", [](const ModuleSpectrum& s) { return s.spectrum.energies.size(); });
    cls.def("__repr__", [](const ModuleSpectrum& s) {
        return "<tarvo.Spectrum of " + std::to_string(s.spectrum.energies.size()) + " bins, " +
               s.unit + ">";
    });
    cls.def(
        "save",
        [](const ModuleSpectrum& s, const std::string& path, bool overwrite) {
            const WriteRefusal refusal = writeRefusal(*dataDirectory(), path, overwrite);
            if (refusal != WriteRefusal::none) {
                throw ModuleFailure(refusal == WriteRefusal::exists ? FailureKind::fileExists
                                                                    : FailureKind::permission,
                                    refusalMessage(refusal, path, "give overwrite=True"));
            }
            std::string error;
            if (!atomicWriteFile(path, spectrumText(s.spectrum, s.unitsPerMeV, "a photon spectrum"),
                                 error)) {
                throw ModuleFailure(FailureKind::file, error);
            }
        },
        "path"_a, "overwrite"_a = false,
        "Writes the spectrum as CSV (energy in its unit, photons); an existing file only\n"
        "with overwrite=True.");
}

void bindBeam(py::class_<ModuleSpectrum>& cls) {
    cls.def(
        "filtered",
        [](const ModuleSpectrum& s, const py::object& layers, const std::string& method) {
            ModuleSpectrum out = s;
            out.air = std::make_shared<AirAtBins>();
            out.spectrum = filteredSpectrum(s.spectrum, layersOf(s, layers, methodOf(method)));
            if (const auto problem = filteredProblem(out.spectrum)) {
                throw ModuleFailure(FailureKind::value, *problem);
            }
            return out;
        },
        "layers"_a, "method"_a = "spline",
        "The beam after a stack of layers: \"Al:2.5mm,Cu:0.1mm\", or a list of (material,\n"
        "thickness in cm) or (material, thickness, unit) with unit um, mm, cm, m or g/cm2.");
    cls.def(
        "photon_fluence", [](const ModuleSpectrum& s) { return photonFluence(s.spectrum); },
        "The photons of all bins (in the counts' unit).");
    cls.def(
        "energy_fluence",
        [](const ModuleSpectrum& s) { return energyFluence(s.spectrum) * s.unitsPerMeV; },
        "The energy the photons carry: the spectrum's energy unit times the counts' unit.");
    cls.def(
        "mean_energy",
        [](const ModuleSpectrum& s) { return meanEnergy(s.spectrum) * s.unitsPerMeV; },
        "The mean photon energy, in the spectrum's unit.");
    cls.def(
        "air_kerma",
        [](const ModuleSpectrum& s, const std::string& method) {
            return airKerma(s.spectrum, *airMuEn(s, methodOf(method)));
        },
        "method"_a = "spline",
        "The air (collision) kerma in Gy, the counts taken as photons per cm2: the sum of\n"
        "n E mu_en/rho of air.");
    cls.def(
        "air_kerma_per_photon",
        [](const ModuleSpectrum& s, const std::string& method) {
            return airKerma(s.spectrum, *airMuEn(s, methodOf(method))) / photonFluence(s.spectrum);
        },
        "method"_a = "spline", "The air kerma per photon per cm2 (Gy cm2).");
}

void bindQuality(py::class_<ModuleSpectrum>& cls) {
    cls.def(
        "transmission",
        [](const ModuleSpectrum& s, const py::object& material, const py::object& thickness,
           const std::string& unit, const std::string& weighting, const std::string& method,
           std::optional<double> density) {
            const LayerMaterial layer = layerMaterialOf(s, material, weighting, method, density);
            const ThicknessUnit u = lengthUnitOf(unit, layer.density, layer.material->name);
            const DoubleArray given = numbersOf(thickness, "thickness");
            DoubleArray out = arrayLike(given);
            const double* thicknesses = given.data();
            double* transmissions = out.mutable_data();
            {
                py::gil_scoped_release release;
                for (py::ssize_t i = 0; i < given.size(); ++i) {
                    const double t = thicknesses[i];
                    const double mass = u == ThicknessUnit::gramsPerSquareCentimetre
                                            ? t
                                            : thicknessInCm(t, u, layer.density) * layer.density;
                    transmissions[i] =
                        t >= 0 ? weightedTransmission(layer.weights, layer.mu, mass) : NAN;
                }
            }
            return resultOf(out, isScalar(given));
        },
        "material"_a, "thickness"_a, "unit"_a = "cm", "weighting"_a = "air-kerma",
        "method"_a = "spline", "density"_a = py::none(),
        "The beam's transmission (air kerma by default; weighting=\"fluence\" or\n"
        "\"energy-fluence\") through thicknesses of a material (unit um, mm, cm, m or g/cm2;\n"
        "density in g/cm3, the table's when not given); nan for a negative thickness.");
    cls.def(
        "hvl",
        [](const ModuleSpectrum& s, const py::object& material, int order, const std::string& unit,
           const std::string& weighting, const std::string& method, std::optional<double> density) {
            if (order != 1 && order != 2) {
                throw ModuleFailure(FailureKind::value, "order is 1 or 2");
            }
            const LayerMaterial layer = layerMaterialOf(s, material, weighting, method, density);
            const BeamQuality q = qualityOf(layer);
            return shownThickness(order == 1 ? q.firstHalfValueLayer : q.secondHalfValueLayer,
                                  layer, unit);
        },
        "material"_a, "order"_a = 1, "unit"_a = "cm", "weighting"_a = "air-kerma",
        "method"_a = "spline", "density"_a = py::none(),
        "The first half-value layer (order=2: the second, from 1/2 to 1/4) in a material,\n"
        "in unit (um, mm, cm, m or g/cm2).");
    cls.def(
        "tvl",
        [](const ModuleSpectrum& s, const py::object& material, const std::string& unit,
           const std::string& weighting, const std::string& method, std::optional<double> density) {
            const LayerMaterial layer = layerMaterialOf(s, material, weighting, method, density);
            return shownThickness(qualityOf(layer).tenthValueLayer, layer, unit);
        },
        "material"_a, "unit"_a = "cm", "weighting"_a = "air-kerma", "method"_a = "spline",
        "density"_a = py::none(), "The tenth-value layer in a material, in unit.");
    cls.def(
        "homogeneity",
        [](const ModuleSpectrum& s, const py::object& material, const std::string& weighting,
           const std::string& method) {
            return qualityOf(layerMaterialOf(s, material, weighting, method, std::nullopt))
                .homogeneity;
        },
        "material"_a, "weighting"_a = "air-kerma", "method"_a = "spline",
        "The homogeneity coefficient HVL1/HVL2 in a material (1 for a single energy).");
    cls.def(
        "effective_energy",
        [](const ModuleSpectrum& s, const py::object& material, const std::string& weighting,
           const std::string& method) {
            const LayerMaterial layer =
                layerMaterialOf(s, material, weighting, method, std::nullopt);
            const BeamQuality q = qualityOf(layer);
            const auto [lowest, highest] = weightedRange(s.spectrum, layer.weights);
            const Material& tables = layer.material->tables(TableKind::coefficients);
            const ReadingMethod way = methodOf(method);
            std::vector<double> energies;
            {
                py::gil_scoped_release release;
                for (const Crossing& crossing :
                     effectiveEnergies(tables, q.firstHalfValueLayer, lowest, highest, way)) {
                    energies.push_back(crossing.energy);
                }
            }
            return arrayOf(energies, s.unitsPerMeV);
        },
        "material"_a, "weighting"_a = "air-kerma", "method"_a = "spline",
        "Every energy within the beam at which a single-energy beam has the same first\n"
        "half-value layer in the material, in the spectrum's unit (an array, one energy\n"
        "unless an absorption edge of the material lies inside the beam).");
}

} // namespace

// A beam of a tube model, in keV; `filter` the layers the model's beam passes.
ModuleSpectrum tubeBeam(const std::string& anode, double kV, double ripple) {
    std::string error;
    const auto model = tubeModel(*dataDirectory(), anode, error);
    if (!model) {
        throw ModuleFailure(
            error.rfind("no tube model", 0) == 0 ? FailureKind::value : FailureKind::file, error);
    }
    auto spectrum = tubeSpectrum(*model, kV, ripple, error);
    if (!spectrum) {
        throw ModuleFailure(FailureKind::value, error);
    }
    ModuleSpectrum made;
    made.spectrum = std::move(*spectrum);
    made.calibrated = model->calibrated;
    return made;
}

ModuleSpectrum qualityBeam(const std::string& name, const std::string& method) {
    std::string error;
    auto set = standardQualityBeam(*dataDirectory(), name, methodOf(method), error);
    if (!set) {
        throw ModuleFailure(FailureKind::value, error);
    }
    ModuleSpectrum made;
    made.spectrum = std::move(set->beam);
    made.calibrated = true;
    return made;
}

// The added thickness of `filter` that gives the beam the wanted HVL1 in `material`.
double addedFilter(const ModuleSpectrum& s, const py::object& filter, double hvl1,
                   const std::string& unit, const py::object& material, const std::string& method) {
    const ReadingMethod way = methodOf(method);
    const auto added = materialOf(filter);
    const auto layers = material.is_none() ? added : materialOf(material);
    const ThicknessUnit hvlUnit = lengthUnitOf(unit, layers->density, layers->name);
    const ThicknessUnit filterUnit = lengthUnitOf(unit, added->density, added->name);
    const Material& addedTables = added->tables(TableKind::coefficients);
    const Material& layerTables = layers->tables(TableKind::coefficients);
    const double wanted = hvlUnit == ThicknessUnit::gramsPerSquareCentimetre
                              ? hvl1
                              : thicknessInCm(hvl1, hvlUnit, layers->density) * layers->density;
    py::gil_scoped_release release;
    const FilterSearch search{s.spectrum, coefficientsAtBins(addedTables, 0, s, way),
                              coefficientsAtBins(layerTables, 0, s, way), *airMuEn(s, way),
                              BeamWeighting::airKerma};
    std::string error;
    constexpr double kMostAddedFilter = 50.0; // g/cm2
    const auto mass = addedFilterForHvl(search, wanted, kMostAddedFilter, error);
    if (!mass) {
        throw ModuleFailure(FailureKind::value, error);
    }
    return filterUnit == ThicknessUnit::gramsPerSquareCentimetre
               ? *mass
               : thicknessInUnit(*mass / added->density, filterUnit, added->density);
}

void bindTube(py::class_<ModuleSpectrum>& cls) {
    cls.def_static("tube", &tubeBeam, "anode"_a, "kV"_a, "ripple"_a = 0.0,
                   "The beam of an x-ray tube by an empirical model, energies in keV: \"W\"\n"
                   "(Boone and Seibert 1997; 30-140 kV, 1 keV bins, photons per cm2 per mAs at\n"
                   "1 m including the tube's own filtration, so filters are added filtration;\n"
                   "ripple in % of kV, the mean of 20 voltages down to kV (1 - ripple/100)), or\n"
                   "\"Mo\", \"Rh\", \"W-mammography\" (Boone, Fewell and Jennings 1997; 18-42 kV,\n"
                   "0.5 keV bins, relative scale, unfiltered). ValueError outside the model's\n"
                   "range.");
    cls.def_static("quality", &qualityBeam, "name"_a, "method"_a = "spline",
                   "A standard radiation quality of IEC 61267, \"RQR2\" to \"RQR9\": the \"W\"\n"
                   "model at its voltage behind the added aluminium that gives its nominal\n"
                   "HVL1 (the model has no anode angle: that filtration is the model's).");
    cls.def(
        "air_kerma_per_mAs",
        [](const ModuleSpectrum& s, double distance, const std::string& method) {
            if (!s.calibrated) {
                throw ModuleFailure(FailureKind::value,
                                    "the beam's scale is relative: only the \"W\" tube model "
                                    "gives an air kerma per mAs");
            }
            if (!(distance > 0) || !std::isfinite(distance)) {
                throw ModuleFailure(FailureKind::value, "distance is above 0 (m)");
            }
            return airKermaPerMilliampereSecond(s.spectrum, *airMuEn(s, methodOf(method)),
                                                distance);
        },
        "distance"_a = 1.0, "method"_a = "spline",
        "The air kerma in uGy per mAs at a distance (m) from the focal spot, by the inverse\n"
        "square, of a \"W\" tube's beam (and its filtered beams).");
    cls.def(
        "kerma_weighted_mean_energy",
        [](const ModuleSpectrum& s, const std::string& method) {
            return kermaWeightedMeanEnergy(s.spectrum, *airMuEn(s, methodOf(method))) *
                   s.unitsPerMeV;
        },
        "method"_a = "spline",
        "The mean energy weighted by air kerma, sum E K(E) / sum K(E), in the spectrum's unit.");
    cls.def(
        "qvl",
        [](const ModuleSpectrum& s, const py::object& material, const std::string& unit,
           const std::string& weighting, const std::string& method, std::optional<double> density) {
            const LayerMaterial layer = layerMaterialOf(s, material, weighting, method, density);
            const BeamQuality q = qualityOf(layer);
            return shownThickness(q.firstHalfValueLayer + q.secondHalfValueLayer, layer, unit);
        },
        "material"_a, "unit"_a = "cm", "weighting"_a = "air-kerma", "method"_a = "spline",
        "density"_a = py::none(),
        "The quarter-value layer HVL1 + HVL2 in a material, in unit (um, mm, cm, m or g/cm2).");
    cls.def("added_filter", &addedFilter, "filter"_a, "hvl1"_a, "unit"_a = "mm",
            "material"_a = py::none(), "method"_a = "spline",
            "The thickness of `filter` to add so that the beam's first half-value layer in\n"
            "`material` (the filter's own when None) is hvl1, both in unit (um, mm, cm, m or\n"
            "g/cm2): the way standard qualities are set. ValueError where the beam's HVL1 is\n"
            "already above it or no thickness up to 50 g/cm2 reaches it.");
}

void bindSpectrum(py::module_& m) {
    py::class_<ModuleSpectrum> cls(m, "Spectrum",
                                   "A photon beam as bins of energy and photons: filtering, "
                                   "air kerma, half-value layers and effective energy.");
    bindReading(cls);
    bindBeam(cls);
    bindQuality(cls);
    bindTube(cls);
}

} // namespace tarvo::python
