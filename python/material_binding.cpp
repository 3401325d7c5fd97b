#include "python/bindings.h"
#include "python/fast_reading.h"

#include <pybind11/stl.h>

#include <array>
#include <cstdio>
#include <optional>
#include <span>

namespace tarvo::python {
namespace {

using namespace pybind11::literals;

// A column of the readings and the key it is handed back under.
struct ColumnKey {
    const char* key;
    int column;
};

const std::vector<ColumnKey> kCoefficientColumns{{"mu", 0}, {"mu_tr", 1}, {"mu_en", 2}};
const std::vector<ColumnKey> kCrossSectionColumns{{"coherent", 0},      {"incoherent", 1},
                                                  {"photoelectric", 2}, {"pair_nuclear", 3},
                                                  {"pair_electron", 4}, {"total", 5}};

// A plain Python float or int: read without the array machinery (NumPy's numbers take the
// array path, which gives them the same values).
std::optional<double> plainNumber(const py::object& given) {
    PyObject* object = given.ptr();
    if (PyFloat_CheckExact(object)) {
        return PyFloat_AS_DOUBLE(object);
    }
    if (PyLong_CheckExact(object)) {
        const double value = PyLong_AsDouble(object);
        if (value == -1.0 && PyErr_Occurred() != nullptr) {
            PyErr_Clear(); // beyond a double: the array path says so
            return std::nullopt;
        }
        return value;
    }
    return std::nullopt;
}

// The columns at one plain number, read as an array of one.
py::object reading(const Material& tables, double energy, const ReadingWay& way,
                   std::span<const ColumnKey> columns) {
    std::array<double, kMaxReadingColumns> values{};
    std::array<double*, kMaxReadingColumns> pointers{};
    std::array<int, kMaxReadingColumns> indices{};
    for (std::size_t k = 0; k < columns.size(); ++k) {
        pointers[k] = &values[k];
        indices[k] = columns[k].column;
    }
    readColumns(tables, way, &energy, 1, std::span(indices.data(), columns.size()),
                std::span(pointers.data(), columns.size()));
    if (columns.size() == 1) {
        return py::float_(values[0]);
    }
    py::dict byKey;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        byKey[columns[k].key] = py::float_(values[k]);
    }
    return byKey;
}

// The columns at the energies: one array where one column is asked for, else a dict.
py::object readings(const ModuleMaterial& material, TableKind quantities,
                    const py::object& energies, const ReadingWay& way,
                    std::span<const ColumnKey> columns) {
    const Material& tables = material.tables(quantities);
    if (const auto energy = plainNumber(energies)) {
        return reading(tables, *energy, way, columns);
    }
    const DoubleArray given = numbersOf(energies, "energies");
    // Several columns' arrays are the rows of one block: one allocation, where one a column
    // costs a large batch fresh pages each call.
    const bool one = columns.size() == 1;
    std::vector<py::ssize_t> shape(given.shape(), given.shape() + given.ndim());
    if (!one) {
        shape.insert(shape.begin(), static_cast<py::ssize_t>(columns.size()));
    }
    DoubleArray block(shape);
    const auto count = static_cast<std::size_t>(given.size());
    std::vector<double*> pointers;
    std::vector<int> indices;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        pointers.push_back(block.mutable_data() + k * count);
        indices.push_back(columns[k].column);
    }
    {
        py::gil_scoped_release release;
        readColumns(tables, way, given.data(), count, indices, pointers);
    }
    if (one) {
        return resultOf(block, isScalar(given));
    }
    const auto column = [&](std::size_t k) {
        return resultOf(DoubleArray(block[py::int_(k)]), isScalar(given));
    };
    py::dict byKey;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        byKey[columns[k].key] = column(k);
    }
    return byKey;
}

py::object coefficient(const ModuleMaterial& material, int column, const py::object& energies,
                       const std::string& method, const std::string& unit,
                       const std::string& side) {
    return readings(material, TableKind::coefficients, energies, wayOf(method, unit, side),
                    std::span(&kCoefficientColumns[static_cast<std::size_t>(column)], 1));
}

py::object crossSections(const ModuleMaterial& material, const py::object& energies, bool perAtom,
                         const std::string& method, const std::string& unit,
                         const std::string& side) {
    const Material& tables = material.tables(TableKind::crossSections);
    ReadingWay way = wayOf(method, unit, side);
    if (perAtom) {
        const auto factor = barnsPerAtomFactor(*material.data, tables);
        if (!factor) {
            throw ModuleFailure(FailureKind::value, "per_atom is for the table of an element");
        }
        way.factor = *factor;
    }
    return readings(material, TableKind::crossSections, energies, way, kCrossSectionColumns);
}

// The one quantity asked for by keyword, its column and its tables.
struct Sought {
    int column = 0;
    TableKind quantities = TableKind::coefficients;
    double value = 0.0;
};

Sought soughtOf(std::optional<double> mu, std::optional<double> muTr, std::optional<double> muEn,
                std::optional<double> total) {
    std::vector<Sought> given;
    const std::optional<double> values[] = {mu, muTr, muEn};
    for (int column = 0; column < 3; ++column) {
        if (values[column]) {
            given.push_back({column, TableKind::coefficients, *values[column]});
        }
    }
    if (total) {
        given.push_back({5, TableKind::crossSections, *total});
    }
    if (given.size() != 1 || !(given.front().value > 0) || !std::isfinite(given.front().value)) {
        throw ModuleFailure(FailureKind::value,
                            "give one of mu, mu_tr, mu_en, total with a finite value above 0 "
                            "(cm2/g)");
    }
    return given.front();
}

py::dict energiesAt(const ModuleMaterial& material, std::optional<double> mu,
                    std::optional<double> muTr, std::optional<double> muEn,
                    std::optional<double> total, const std::string& method,
                    const std::string& unit) {
    const Sought sought = soughtOf(mu, muTr, muEn, total);
    const double fromMeV = unitsPerMeVOf(unit);
    const auto crossings = energiesWhere(material.tables(sought.quantities), sought.column,
                                         sought.value, methodOf(method));
    py::array_t<double> energies(static_cast<py::ssize_t>(crossings.size()));
    py::array_t<bool> atEdge(static_cast<py::ssize_t>(crossings.size()));
    for (std::size_t i = 0; i < crossings.size(); ++i) {
        energies.mutable_data()[i] = crossings[i].energy * fromMeV;
        atEdge.mutable_data()[i] = crossings[i].kind == CrossingKind::atEdge;
    }
    return py::dict("energy"_a = energies, "at_edge"_a = atEdge);
}

// The tables the published rows are taken from: the coefficients where there are some.
const Material& rowTables(const ModuleMaterial& material, const std::string& kind) {
    if (kind == "coefficients" || kind == "cross_sections") {
        return material.tables(kind == "coefficients" ? TableKind::coefficients
                                                      : TableKind::crossSections);
    }
    throw ModuleFailure(FailureKind::value, "kind is \"coefficients\" or \"cross_sections\"");
}

py::array_t<double> edges(const ModuleMaterial& material, const std::string& unit) {
    const double fromMeV = unitsPerMeVOf(unit);
    const bool coefficients = !material.coefficientRequest.name.empty() ||
                              !material.coefficientRequest.formula.empty() ||
                              !material.coefficientRequest.mixture.empty();
    const ReadingTable& table =
        rowTables(material, coefficients ? "coefficients" : "cross_sections").readings;
    std::vector<double> found;
    for (int i = 2; i <= table.rowCount; ++i) {
        if (table.energies[static_cast<std::size_t>(i)] ==
            table.energies[static_cast<std::size_t>(i - 1)]) {
            found.push_back(table.energies[static_cast<std::size_t>(i)] * fromMeV);
        }
    }
    return py::array_t<double>(static_cast<py::ssize_t>(found.size()), found.data());
}

py::array_t<double> rows(const ModuleMaterial& material, const std::string& kind,
                         const std::string& unit) {
    const double fromMeV = unitsPerMeVOf(unit);
    const ReadingTable& table = rowTables(material, kind).readings;
    const py::ssize_t width = table.columnCount + 1;
    py::array_t<double> published({static_cast<py::ssize_t>(table.rowCount), width});
    auto cells = published.mutable_unchecked<2>();
    for (int i = 1; i <= table.rowCount; ++i) {
        const auto row = static_cast<std::size_t>(i);
        cells(i - 1, 0) = table.energies[row] * fromMeV;
        for (int k = 0; k < table.columnCount; ++k) {
            cells(i - 1, k + 1) = table.values[row][static_cast<std::size_t>(k)];
        }
    }
    return published;
}

std::string reprOf(const ModuleMaterial& material) {
    char density[32];
    std::snprintf(density, sizeof density, "%g g/cm3", material.density);
    return "<tarvo.Material " + material.kind + " \"" + material.name + "\"" +
           (material.stem.empty() ? std::string() : " (" + material.stem + ")") + ", " +
           (material.density > 0 ? std::string(density) : std::string("no density")) + ">";
}

} // namespace

void bindMaterial(py::module_& m) {
    auto cls = py::class_<ModuleMaterial, std::shared_ptr<ModuleMaterial>>(
        m, "Material",
        "A material's photon data: a table of the data directory (element or material), or a\n"
        "compound or mixture combined from the element tables by the Bragg additivity rule.\n"
        "Energies are in MeV unless unit=\"keV\"; coefficients and cross sections in cm2/g.");
    cls.def(py::init(&findMaterial), "name"_a,
            "The table found by stem, name, element symbol or atomic number (any case), or by\n"
            "path; KeyError with the closest names when none is.");
    cls.def_readonly("stem", &ModuleMaterial::stem, "The table's file name without extension.");
    cls.def_readonly("name", &ModuleMaterial::name, "The material's own name.");
    cls.def_readonly("kind", &ModuleMaterial::kind,
                     "\"element\", \"material\", \"compound\" or \"mixture\".");
    cls.def_readonly("category", &ModuleMaterial::category,
                     "\"human\", \"phantom\" or \"other\" for a material table; \"\" otherwise.");
    cls.def_property_readonly(
        "density",
        [](const ModuleMaterial& material) {
            return material.density > 0 ? py::object(py::float_(material.density)) : py::none();
        },
        "The density in g/cm3; None where none was given (a compound or mixture made without\n"
        "density=).");
    cls.def_readonly("atomic_number", &ModuleMaterial::atomicNumber,
                     "The atomic number Z of an element; 0 for any other material.");
    cls.def_property_readonly("composition", &ModuleMaterial::composition,
                              "The composition by weight: element symbol to weight fraction.");
    cls.def("__repr__", &reprOf);
    const char* coefficientDoc[] = {
        "Mass attenuation coefficient mu/rho (cm2/g) at energies E (MeV, or keV with\n"
        "unit=\"keV\"): a float for a float, an array of E's shape otherwise; nan where E lies\n"
        "outside the table (1 keV to 20 MeV). method \"spline\" (not-a-knot in log-log between\n"
        "edges) or \"loglog\" (the viewers' straight lines); at an edge energy, side \"below\"\n"
        "or \"above\".",
        "Mass energy-transfer coefficient mu_tr/rho (cm2/g) at energies E; as mu().",
        "Mass energy-absorption coefficient mu_en/rho (cm2/g) at energies E; as mu()."};
    const char* coefficientNames[] = {"mu", "mu_tr", "mu_en"};
    for (int column = 0; column < 3; ++column) {
        cls.def(
            coefficientNames[column],
            [column](const ModuleMaterial& material, const py::object& energies,
                     const std::string& method, const std::string& unit, const std::string& side) {
                return coefficient(material, column, energies, method, unit, side);
            },
            "E"_a, "method"_a = "spline", "unit"_a = "MeV", "side"_a = "below",
            coefficientDoc[column]);
    }
    speedUpOneEnergyReadings(cls);
    cls.def(
        "coefficients",
        [](const ModuleMaterial& material, const py::object& energies, const std::string& method,
           const std::string& unit, const std::string& side) {
            return readings(material, TableKind::coefficients, energies, wayOf(method, unit, side),
                            kCoefficientColumns);
        },
        "E"_a, "method"_a = "spline", "unit"_a = "MeV", "side"_a = "below",
        "The three coefficients at energies E as a dict of \"mu\", \"mu_tr\", \"mu_en\" (cm2/g);\n"
        "as mu(). For an array E the three arrays are rows of one block, read together.");
    cls.def("cross_sections", &crossSections, "E"_a, "per_atom"_a = false, "method"_a = "spline",
            "unit"_a = "MeV", "side"_a = "below",
            "The partial cross sections at energies E as a dict of \"coherent\", \"incoherent\",\n"
            "\"photoelectric\", \"pair_nuclear\", \"pair_electron\" and \"total\", in cm2/g, or\n"
            "in b/atom with per_atom=True (elements only); nan outside 1 keV to 100 GeV. Under\n"
            "the spline the total is the sum of the spline-read partials.");
    cls.def("energies_at", &energiesAt, py::kw_only(), "mu"_a = py::none(), "mu_tr"_a = py::none(),
            "mu_en"_a = py::none(), "total"_a = py::none(), "method"_a = "spline", "unit"_a = "MeV",
            "Every energy (MeV, or keV) at which one quantity, mu, mu_tr, mu_en or the total\n"
            "cross section, takes a value (cm2/g), ascending: a dict of \"energy\" and\n"
            "\"at_edge\" (True where the curve jumps across the value at an absorption edge).");
    cls.def("edges", &edges, "unit"_a = "MeV",
            "The energies (MeV, or keV) of the absorption edges in the published rows.");
    cls.def("rows", &rows, "kind"_a = "coefficients", "unit"_a = "MeV",
            "The published rows as a 2-D array: energy (MeV, or keV), then mu/rho, mu_tr/rho,\n"
            "mu_en/rho for kind=\"coefficients\", or the five partial cross sections and their\n"
            "total for kind=\"cross_sections\" (cm2/g). An edge is two rows of one energy.");
    cls.def(
        "save",
        [](ModuleMaterial& material, const std::string& category,
           const std::optional<std::string>& fileName, bool overwrite) {
            std::vector<std::string> notes;
            auto paths = saveMaterial(material, category, fileName.value_or(""), overwrite, notes);
            warnNotes(notes);
            return paths;
        },
        "category"_a = "other", "file_name"_a = py::none(), "overwrite"_a = false,
        "Writes a compound's or mixture's two tables (cross sections and coefficients) into\n"
        "the data directory's folders of the category, \"human\", \"phantom\" or \"other\",\n"
        "where the viewers list them, exactly as the creators write them; file_name defaults\n"
        "to the name. An existing file is replaced only with overwrite=True (FileExistsError\n"
        "otherwise), a shipped table never (PermissionError). Where the data directory is an\n"
        "installation you cannot write to, they go to the per-user run directory the viewers\n"
        "use, with a warning saying so. Returns the two paths.");
}

} // namespace tarvo::python
