#include "python/fast_reading.h"

#include <array>
#include <new>
#include <string>
#include <vector>

namespace tarvo::python {
namespace {

// What each fast method stands in for: the full binding, which it calls for anything but
// one plain number, and the docstring it shows.
struct FullBinding {
    PyObject* function = nullptr;
    std::string doc;
    PyMethodDef definition{};
};

constexpr int kCoefficientCount = 3;
std::array<FullBinding, kCoefficientCount> fullBindings;
PyTypeObject* materialType = nullptr;

// A Python float, or an int a double holds; nothing for any other object (the full
// binding reads NumPy numbers, bools and arrays and reports the rest).
bool plainEnergy(PyObject* object, double& energy) {
    if (PyFloat_CheckExact(object)) {
        energy = PyFloat_AS_DOUBLE(object);
        return true;
    }
    if (!PyLong_CheckExact(object)) {
        return false;
    }
    energy = PyLong_AsDouble(object);
    if (energy == -1.0 && PyErr_Occurred() != nullptr) {
        PyErr_Clear();
        return false;
    }
    return true;
}

// The Material an object of the class itself holds; nothing for a subclass, which the full
// binding's conversion handles (a generic conversion costs a hash of the type's name).
const ModuleMaterial* loadedMaterial(PyObject* self) {
    if (Py_TYPE(self) != materialType) {
        return nullptr;
    }
    auto* instance = reinterpret_cast<py::detail::instance*>(self);
    const py::detail::value_and_holder held = instance->get_value_and_holder();
    return held.holder_constructed() ? held.value_ptr<ModuleMaterial>() : nullptr;
}

// The reading of one coefficient at one energy in MeV, by the spline, below an edge: the
// defaults. Nothing where the object is not a loaded Material (the full binding says why).
bool defaultReading(PyObject* self, int column, double energy, double& value) {
    try {
        const ModuleMaterial* material = loadedMaterial(self);
        if (material == nullptr) {
            return false;
        }
        const Material& tables = material->tables(TableKind::coefficients);
        double* output = &value;
        readColumns(tables, ReadingWay{}, &energy, 1, std::span(&column, 1), std::span(&output, 1));
        return true;
    } catch (...) {
        return false; // the full binding raises the same failure as a Python exception
    }
}

// The full binding, called with the method's own arguments behind its object.
PyObject* callFullBinding(int column, PyObject* self, PyObject* const* arguments,
                          Py_ssize_t positional, PyObject* keywordNames) {
    const Py_ssize_t keywords = keywordNames == nullptr ? 0 : PyTuple_GET_SIZE(keywordNames);
    std::vector<PyObject*> stack;
    try {
        stack.reserve(static_cast<std::size_t>(1 + positional + keywords));
    } catch (const std::bad_alloc&) {
        return PyErr_NoMemory(); // no C++ exception may cross into the interpreter
    }
    stack.push_back(self);
    stack.insert(stack.end(), arguments, arguments + positional + keywords);
    return PyObject_Vectorcall(fullBindings[static_cast<std::size_t>(column)].function,
                               stack.data(), static_cast<std::size_t>(1 + positional),
                               keywordNames);
}

template <int column>
PyObject* coefficientAtOneEnergy(PyObject* self, PyObject* const* arguments, Py_ssize_t positional,
                                 PyObject* keywordNames) {
    double energy = 0.0;
    double value = 0.0;
    if (positional == 1 && keywordNames == nullptr && plainEnergy(arguments[0], energy) &&
        defaultReading(self, column, energy, value)) {
        return PyFloat_FromDouble(value);
    }
    return callFullBinding(column, self, arguments, positional, keywordNames);
}

using FastMethod = PyObject* (*)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*);
constexpr std::array<FastMethod, kCoefficientCount> kFastMethods{
    &coefficientAtOneEnergy<0>, &coefficientAtOneEnergy<1>, &coefficientAtOneEnergy<2>};

} // namespace

void speedUpOneEnergyReadings(py::handle materialClass) {
    const char* names[kCoefficientCount] = {"mu", "mu_tr", "mu_en"};
    materialType = reinterpret_cast<PyTypeObject*>(materialClass.ptr());
    for (int column = 0; column < kCoefficientCount; ++column) {
        FullBinding& full = fullBindings[static_cast<std::size_t>(column)];
        py::object function = materialClass.attr(names[column]);
        full.doc = py::str(function.attr("__doc__"));
        full.function = function.release().ptr(); // held for the interpreter's life
        full.definition = {
            names[column],
            reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(kFastMethods[column])),
            METH_FASTCALL | METH_KEYWORDS, full.doc.c_str()};
        py::object method =
            py::reinterpret_steal<py::object>(PyDescr_NewMethod(materialType, &full.definition));
        if (!method) {
            throw py::error_already_set();
        }
        materialClass.attr(names[column]) = method;
    }
}

} // namespace tarvo::python
