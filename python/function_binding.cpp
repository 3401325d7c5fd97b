#include "python/bindings.h"

#include "materials/equal_steps.h"

#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <optional>

namespace tarvo::python {
namespace {

using namespace pybind11::literals;

// The density a layer is computed with: the one given, else the material's own.
double layerDensity(const ModuleMaterial& material, std::optional<double> given) {
    const double density = given.value_or(material.density);
    if (!usableDensity(density)) {
        throw ModuleFailure(FailureKind::value,
                            "a finite density above 0 (g/cm3) is needed: give density=");
    }
    return density;
}

ThicknessUnit lengthUnitOf(const std::string& unit) {
    const auto found = thicknessUnitOf(unit);
    if (!found) {
        throw ModuleFailure(FailureKind::value,
                            "unit is \"um\", \"mm\", \"cm\", \"m\" or \"g/cm2\", not \"" + unit +
                                "\"");
    }
    return *found;
}

// mu/rho (column 0) and mu_en/rho (column 2) at the energies, each of their shape.
std::pair<DoubleArray, DoubleArray> attenuationCoefficients(const ModuleMaterial& material,
                                                            const DoubleArray& energies,
                                                            const ReadingWay& way) {
    const Material& tables = material.tables(TableKind::coefficients);
    DoubleArray mu = arrayLike(energies);
    DoubleArray muEn = arrayLike(energies);
    double* outputs[] = {mu.mutable_data(), muEn.mutable_data()};
    const int columns[] = {0, 2};
    py::gil_scoped_release release;
    readColumns(tables, way, energies.data(), static_cast<std::size_t>(energies.size()), columns,
                outputs);
    return {std::move(mu), std::move(muEn)};
}

// An array spread to a broadcast shape, in C order.
DoubleArray spreadTo(const DoubleArray& values, const py::object& shape) {
    return numbersOf(py::module_::import("numpy").attr("broadcast_to")(values, shape), "values");
}

py::object broadcastShape(const DoubleArray& a, const DoubleArray& b) {
    return py::module_::import("numpy").attr("broadcast_shapes")(
        py::tuple(py::cast(std::vector<py::ssize_t>(a.shape(), a.shape() + a.ndim()))),
        py::tuple(py::cast(std::vector<py::ssize_t>(b.shape(), b.shape() + b.ndim()))));
}

// What both layer functions take: the material and density, the length unit, the energies
// and a second argument (thicknesses or transmissions), and the shape they broadcast to.
struct LayerInput {
    std::shared_ptr<ModuleMaterial> material;
    double density = 0.0;
    ThicknessUnit lengthUnit = ThicknessUnit::centimetre;
    DoubleArray energies;
    DoubleArray second;
    ReadingWay way;
    py::object shape;
    bool scalar = false;
};

LayerInput layerInputOf(const py::object& given, const py::object& energies,
                        const py::object& second, const char* secondName, const std::string& unit,
                        const std::string& energyUnit, const std::string& method,
                        std::optional<double> density, const std::string& side) {
    LayerInput input;
    input.material = materialOf(given);
    input.density = layerDensity(*input.material, density);
    input.lengthUnit = lengthUnitOf(unit);
    input.energies = numbersOf(energies, "energies");
    input.second = numbersOf(second, secondName);
    input.way = wayOf(method, energyUnit, side);
    input.shape = broadcastShape(input.energies, input.second);
    input.scalar = isScalar(input.energies) && isScalar(input.second);
    return input;
}

py::dict attenuation(const py::object& given, const py::object& energies,
                     const py::object& thicknesses, const std::string& unit,
                     const std::string& energyUnit, const std::string& method,
                     std::optional<double> density, const std::string& side) {
    const LayerInput in = layerInputOf(given, energies, thicknesses, "thicknesses", unit,
                                       energyUnit, method, density, side);
    auto [mu, muEn] = attenuationCoefficients(*in.material, in.energies, in.way);
    const DoubleArray spreadMu = spreadTo(mu, in.shape);
    const DoubleArray spreadMuEn = spreadTo(muEn, in.shape);
    const DoubleArray spreadThickness = spreadTo(in.second, in.shape);
    std::vector<DoubleArray> results;
    for (int k = 0; k < 6; ++k) {
        results.push_back(arrayLike(spreadMu));
    }
    const AttenuationArrays out{results[0].mutable_data(), results[1].mutable_data(),
                                results[2].mutable_data(), results[3].mutable_data(),
                                results[4].mutable_data(), results[5].mutable_data()};
    {
        py::gil_scoped_release release;
        attenuationOfLayers(spreadMu.data(), spreadMuEn.data(), spreadThickness.data(),
                            static_cast<std::size_t>(spreadMu.size()), in.density, in.lengthUnit,
                            out);
    }
    const char* keys[] = {"transmission", "attenuated", "absorbed", "hvl", "tvl", "mean_free_path"};
    py::dict byKey;
    for (int k = 0; k < 6; ++k) {
        byKey[keys[k]] = resultOf(results[static_cast<std::size_t>(k)], in.scalar);
    }
    return byKey;
}

py::object thicknessFor(const py::object& given, const py::object& energies,
                        const py::object& transmissions, const std::string& unit,
                        const std::string& energyUnit, const std::string& method,
                        std::optional<double> density, const std::string& side) {
    const LayerInput in = layerInputOf(given, energies, transmissions, "transmissions", unit,
                                       energyUnit, method, density, side);
    const DoubleArray spreadMu =
        spreadTo(attenuationCoefficients(*in.material, in.energies, in.way).first, in.shape);
    const DoubleArray spreadTransmission = spreadTo(in.second, in.shape);
    DoubleArray thickness = arrayLike(spreadMu);
    {
        py::gil_scoped_release release;
        thicknessesForTransmission(spreadMu.data(), spreadTransmission.data(),
                                   static_cast<std::size_t>(spreadMu.size()), in.density,
                                   in.lengthUnit, thickness.mutable_data());
    }
    return resultOf(thickness, in.scalar);
}

py::dict equalSteps(const py::object& given, double start, double stop, double step,
                    const std::string& method, const std::string& unit) {
    const StepMethod stepMethod = stepMethodOf(method);
    const auto material = materialOf(given);
    const double toKeV = 1000.0 / unitsPerMeVOf(unit);
    std::string error;
    const auto table = equalStepTable(material->tables(TableKind::coefficients), start * toKeV,
                                      stop * toKeV, step * toKeV, stepMethod, error);
    if (!table) {
        throw ModuleFailure(FailureKind::value, error);
    }
    warnNotes(table->notes);
    const auto count = static_cast<py::ssize_t>(table->rows.size());
    py::array_t<double> columns[4] = {py::array_t<double>(count), py::array_t<double>(count),
                                      py::array_t<double>(count), py::array_t<double>(count)};
    for (py::ssize_t i = 0; i < count; ++i) {
        const auto& row = table->rows[static_cast<std::size_t>(i)];
        columns[0].mutable_data()[i] = row[0] / toKeV;
        for (int k = 1; k < 4; ++k) {
            columns[k].mutable_data()[i] = row[static_cast<std::size_t>(k)];
        }
    }
    return py::dict("energy"_a = columns[0], "mu"_a = columns[1], "mu_tr"_a = columns[2],
                    "mu_en"_a = columns[3]);
}

std::shared_ptr<ModuleMaterial> compound(const std::string& formula, std::optional<double> density,
                                         const std::optional<std::string>& name) {
    auto material = compoundOf(formula, density.value_or(0.0), name.value_or(""));
    warnNotes(material->notes());
    return material;
}

// A component and its share: a dict's item, or a pair of a list.
std::pair<std::string, double> componentOf(const py::handle& component, const py::handle& share) {
    if (!py::isinstance<py::str>(component)) {
        throw ModuleFailure(FailureKind::type, "a mixture's components are names or formulas");
    }
    const DoubleArray number = numbersOf(py::reinterpret_borrow<py::object>(share), "shares");
    if (!isScalar(number)) {
        throw ModuleFailure(FailureKind::type, "a mixture's share is one number");
    }
    return {component.cast<std::string>(), *number.data()};
}

std::shared_ptr<ModuleMaterial> mixture(const py::object& parts, std::optional<double> density,
                                        const std::optional<std::string>& name) {
    std::vector<std::pair<std::string, double>> shares;
    if (py::isinstance<py::dict>(parts)) {
        for (const auto& [component, share] : py::reinterpret_borrow<py::dict>(parts)) {
            shares.push_back(componentOf(component, share));
        }
    } else if (py::isinstance<py::iterable>(parts) && !py::isinstance<py::str>(parts)) {
        for (const py::handle item : parts) {
            if (!py::isinstance<py::sequence>(item) || py::isinstance<py::str>(item) ||
                py::len(item) != 2) {
                throw ModuleFailure(FailureKind::type,
                                    "a mixture is a dict or a list of (component, share) pairs");
            }
            shares.push_back(componentOf(item[py::int_(0)], item[py::int_(1)]));
        }
    } else {
        throw ModuleFailure(FailureKind::type,
                            "a mixture is a dict or a list of (component, share) pairs");
    }
    auto material = mixtureOf(shares, density.value_or(0.0), name.value_or(""));
    warnNotes(material->notes());
    return material;
}

void bindDataDirectory(py::module_& m) {
    m.def("set_data_directory", &setDataDirectory, "path"_a,
          "Reads the tables of another run directory (one holding ele, mix, mu_ele, mu_mix);\n"
          "OSError when it holds none.");
    m.def(
        "data_directory", [] { return dataDirectory()->root(); },
        "The run directory whose tables are read: set_data_directory's, else TARVO_DATA's,\n"
        "else the installation's own.");
    m.def("_set_default_data_directory", &setDefaultDataDirectory, "path"_a);
}

} // namespace

void bindFunctions(py::module_& m) {
    bindDataDirectory(m);
    m.def(
        "materials",
        [](const std::optional<std::string>& kind, const std::optional<std::string>& category) {
            return listMaterials(kind.value_or(""), category.value_or(""));
        },
        "kind"_a = py::none(), "category"_a = py::none(),
        "Every table of the data directory as a Material, by stem; kind \"element\" or\n"
        "\"material\" and category \"human\", \"phantom\" or \"other\" narrow the list.");
    m.def(
        "material", [](const py::object& name) { return findMaterial(materialName(name)); },
        "name"_a,
        "The table found by stem, name, element symbol or atomic number, any case (\"Water\",\n"
        "\"water, liquid\", \"pb\", 82), or by path; KeyError with close names on a miss, or\n"
        "naming every table where the name picks more than one.");
    m.def("compound", &compound, "formula"_a, "density"_a = py::none(), "name"_a = py::none(),
          "A compound of a chemical formula (\"Ca5(PO4)3OH\"), combined from the element tables\n"
          "by the Bragg additivity rule; density in g/cm3. Written nowhere until .save().");
    m.def("mixture", &mixture, "parts"_a, "density"_a = py::none(), "name"_a = py::none(),
          "A mixture by weight of tables and formulas, {\"Water\": 0.9, \"NaCl\": 0.1} or\n"
          "[(\"Water\", 0.9), (\"NaCl\", 0.1)];\n"
          "shares not adding up to 1 or 100 are taken as parts of their sum, with a warning.");
    m.def(
        "attenuation", &attenuation, "material"_a, "E"_a, "thickness"_a, "unit"_a = "cm",
        "energy_unit"_a = "MeV", "method"_a = "spline", "density"_a = py::none(),
        "side"_a = "below",
        "Narrow-beam attenuation of layers `thickness` (in unit: \"um\", \"mm\", \"cm\", \"m\"\n"
        "or \"g/cm2\") at energies E (energy_unit), broadcast over both: a dict of\n"
        "\"transmission\" (I/I0), \"attenuated\", \"absorbed\" (fractions) and \"hvl\", \"tvl\",\n"
        "\"mean_free_path\" (in unit). density (g/cm3) defaults to the material's.");
    m.def("thickness_for", &thicknessFor, "material"_a, "E"_a, "transmission"_a, "unit"_a = "cm",
          "energy_unit"_a = "MeV", "method"_a = "spline", "density"_a = py::none(),
          "side"_a = "below",
          "The thickness (in unit) that lets the fraction `transmission` (0 < T <= 1) through\n"
          "at energies E, broadcast over both; nan where none can.");
    m.def("table", &equalSteps, "material"_a, "start"_a, "stop"_a, "step"_a, "method"_a = "spline",
          "unit"_a = "MeV",
          "The coefficients on equal energy steps from start to stop (MeV, or keV): by the\n"
          "point reading of mu() (\"spline\", the default), as the viewers' equal-interval\n"
          "table (\"loglog\") or as the spline tool (\"spline-tool\"): a dict of arrays\n"
          "\"energy\", \"mu\", \"mu_tr\", \"mu_en\" (cm2/g).");
}

} // namespace tarvo::python
