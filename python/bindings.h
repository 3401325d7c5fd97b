#pragma once

#include "materials/equal_steps.h"
#include "python/array_readings.h"
#include "python/module_material.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <memory>
#include <string>

namespace tarvo::python {

namespace py = pybind11;

// A NumPy array of float64 in C order: what every reading loop takes and gives.
using DoubleArray = py::array_t<double, py::array::c_style | py::array::forcecast>;

// The binding of the Material and Spectrum classes, and of the module's functions.
void bindMaterial(py::module_& m);
void bindSpectrum(py::module_& m);
void bindFunctions(py::module_& m);

// An argument as float64 numbers in C order, converted once where it is not already, a
// masked array's masked entries nan; throws a type failure naming `what` when it holds no
// real numbers (None, a bool, a text, complex numbers).
DoubleArray numbersOf(const py::object& given, const char* what);

// A new array of the shape of `like`.
DoubleArray arrayLike(const DoubleArray& like);

// The result to hand back: a float where the energies were one number, else the array.
py::object resultOf(const DoubleArray& values, bool scalar);

// Whether an argument was one number rather than an array-like.
bool isScalar(const DoubleArray& given);

// "spline" or "loglog"; "below" or "above"; "MeV" or "keV" (1 or 1000 a MeV).
ReadingMethod methodOf(const std::string& method);
EdgeSide sideOf(const std::string& side);
double unitsPerMeVOf(const std::string& unit);
// "spline", "loglog" or "spline-tool", for a table on equal steps.
StepMethod stepMethodOf(const std::string& method);

// How readings are taken by a method, an energy unit and an edge side, as named above.
ReadingWay wayOf(const std::string& method, const std::string& unit, const std::string& side);

// A Material, or the table a name or an atomic number finds.
std::shared_ptr<ModuleMaterial> materialOf(const py::object& given);

// The name a material is looked up by: a text, or an atomic number as its digits; a type
// failure for anything else.
std::string materialName(const py::object& given);

// Says each note as a Python warning.
void warnNotes(const std::vector<std::string>& notes);

} // namespace tarvo::python

namespace pybind11::detail {

// A bound class taken as an argument (self among them) only where its object was made by
// __init__: pybind11 hands over raw memory for one made by calling __new__ alone, and a
// method reading it would crash the interpreter. Such an object is an incompatible
// argument, a TypeError.
template <typename Bound> struct initialised_caster : type_caster_base<Bound> {
    bool load(handle source, bool convert) {
        if (!type_caster_base<Bound>::load(source, convert)) {
            return false;
        }
        if (source.is_none() || PyObject_TypeCheck(source.ptr(), this->typeinfo->type) == 0) {
            return true;
        }
        auto* object = reinterpret_cast<instance*>(source.ptr());
        const value_and_holder held = object->get_value_and_holder(this->typeinfo, false);
        return !held || held.holder_constructed();
    }
};

template <>
struct type_caster<tarvo::python::ModuleMaterial>
    : initialised_caster<tarvo::python::ModuleMaterial> {};

} // namespace pybind11::detail
