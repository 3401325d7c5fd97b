#include "python/bindings.h"

#include <algorithm>
#include <cctype>

namespace tarvo::python {

DoubleArray numbersOf(const py::object& given, const char* what) {
    auto numbers = DoubleArray::ensure(given);
    if (!numbers) {
        PyErr_Clear();
        throw ModuleFailure(FailureKind::value, std::string(what) + " must be numbers");
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
    if (method == "spline") {
        return ReadingMethod::spline;
    }
    if (method == "loglog") {
        return ReadingMethod::loglog;
    }
    throw ModuleFailure(FailureKind::value,
                        "method is \"spline\" or \"loglog\", not \"" + method + "\"");
}

EdgeSide sideOf(const std::string& side) {
    if (side == "below" || side == "above") {
        return side == "below" ? EdgeSide::below : EdgeSide::above;
    }
    throw ModuleFailure(FailureKind::value, "side is \"below\" or \"above\", not \"" + side + "\"");
}

double unitsPerMeVOf(const std::string& unit) {
    std::string lower = unit;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "mev" || lower == "kev") {
        return lower == "mev" ? 1.0 : 1000.0;
    }
    throw ModuleFailure(FailureKind::value, "unit is \"MeV\" or \"keV\", not \"" + unit + "\"");
}

ReadingWay wayOf(const std::string& method, const std::string& unit, const std::string& side) {
    ReadingWay way;
    way.method = methodOf(method);
    way.unitsPerMeV = unitsPerMeVOf(unit);
    way.side = sideOf(side);
    return way;
}

std::shared_ptr<ModuleMaterial> materialOf(const py::object& given) {
    if (py::isinstance<py::str>(given)) {
        return findMaterial(given.cast<std::string>());
    }
    try {
        return given.cast<std::shared_ptr<ModuleMaterial>>();
    } catch (const py::cast_error&) {
        throw ModuleFailure(FailureKind::value, "a material is a tarvo.Material or a name");
    }
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
