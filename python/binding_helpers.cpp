#include "python/bindings.h"

#include <algorithm>
#include <cctype>

namespace tarvo::python {

namespace {

std::string typeName(const py::handle& given) {
    return py::str(py::type::of(given).attr("__name__")).cast<std::string>();
}

// An array of the given numbers, masked entries made nan; a type failure for what NumPy
// would take but is no number: None, True, "0.1", complex, or an array of such.
py::object realArrayOf(const py::object& given, const char* what) {
    if (given.is_none() || PyBool_Check(given.ptr()) || py::isinstance<py::str>(given) ||
        py::isinstance<py::bytes>(given)) {
        throw ModuleFailure(FailureKind::type,
                            std::string(what) + " must be real numbers, not " + typeName(given));
    }
    const py::module_ numpy = py::module_::import("numpy");
    const bool masked = py::isinstance(given, numpy.attr("ma").attr("MaskedArray"));
    py::object array = masked ? given : numpy.attr("asarray")(given);
    const std::string kind = py::str(array.attr("dtype").attr("kind")).cast<std::string>();
    if (kind != "f" && kind != "i" && kind != "u") {
        throw ModuleFailure(FailureKind::type,
                            std::string(what) + " must be real numbers, not an array of " +
                                py::str(array.attr("dtype")).cast<std::string>());
    }
    if (masked) {
        array = array.attr("astype")("float64").attr("filled")(numpy.attr("nan"));
    }
    return array;
}

} // namespace

DoubleArray numbersOf(const py::object& given, const char* what) {
    auto numbers = DoubleArray::ensure(realArrayOf(given, what));
    if (!numbers) {
        PyErr_Clear();
        throw ModuleFailure(FailureKind::type, std::string(what) + " must be numbers");
    }
    return numbers;
}

DoubleArray arrayLike(const DoubleArray& like) {
    return DoubleArray(std::vector<py::ssize_t>(like.shape(), like.shape() + like.ndim()));
}

bool isScalar(const DoubleArray& given) {
    return given.ndim() == 0;
}

py::object resultOf(const DoubleArray& values, bool scalar) {
    return scalar ? py::object(py::float_(*values.data())) : py::object(values);
}

ReadingMethod methodOf(const std::string& method) {
    if (const auto named = readingMethodNamed(method)) {
        return *named;
    }
    throw ModuleFailure(FailureKind::value,
                        "method is \"spline\" or \"loglog\", not \"" + method + "\"");
}

EdgeSide sideOf(const std::string& side) {
    // A reading gives one value, so "both" is no side here.
    if (const auto named = edgeSideNamed(side); named && *named != EdgeSide::both) {
        return *named;
    }
    throw ModuleFailure(FailureKind::value, "side is \"below\" or \"above\", not \"" + side + "\"");
}

double unitsPerMeVOf(const std::string& unit) {
    if (const auto named = unitsPerMeVNamed(unit)) {
        return *named;
    }
    throw ModuleFailure(FailureKind::value, "unit is \"MeV\" or \"keV\", not \"" + unit + "\"");
}

StepMethod stepMethodOf(const std::string& method) {
    if (const auto named = stepMethodNamed(method)) {
        return *named;
    }
    throw ModuleFailure(FailureKind::value,
                        "method is \"spline\", \"loglog\" or \"spline-tool\", not \"" + method +
                            "\"");
}

ReadingWay wayOf(const std::string& method, const std::string& unit, const std::string& side) {
    ReadingWay way;
    // The defaults as written are taken at once: a single reading is a few hundred ns.
    way.method = method == "spline" ? ReadingMethod::spline : methodOf(method);
    way.unitsPerMeV = unit == "MeV" ? 1.0 : unitsPerMeVOf(unit);
    way.side = side == "below" ? EdgeSide::below : sideOf(side);
    return way;
}

std::string materialName(const py::object& given) {
    if (py::isinstance<py::str>(given)) {
        return given.cast<std::string>();
    }
    if (!PyBool_Check(given.ptr()) && PyIndex_Check(given.ptr())) {
        // An atomic number, a Python or a NumPy integer.
        return std::to_string(py::int_(given).cast<long long>());
    }
    throw ModuleFailure(FailureKind::type,
                        "a material is a name or an atomic number, not " + typeName(given));
}

std::shared_ptr<ModuleMaterial> materialOf(const py::object& given) {
    if (py::isinstance<ModuleMaterial>(given)) {
        try {
            return given.cast<std::shared_ptr<ModuleMaterial>>();
        } catch (const py::cast_error&) {
            throw ModuleFailure(FailureKind::type, "a Material made without __init__ holds none");
        }
    }
    return findMaterial(materialName(given));
}

void warnNotes(const std::vector<std::string>& notes) {
    for (const std::string& note : notes) {
        // Where warnings are turned into errors, the error goes up to the caller.
        if (PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 2) < 0) {
            throw py::error_already_set();
        }
    }
}

} // namespace tarvo::python
