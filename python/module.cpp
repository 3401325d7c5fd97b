#include "python/bindings.h"
#include "python/module_material.h"

namespace tarvo::python {
namespace {

PyObject* exceptionOf(FailureKind kind) {
    switch (kind) {
    case FailureKind::value:
        return PyExc_ValueError;
    case FailureKind::type:
        return PyExc_TypeError;
    case FailureKind::key:
        return PyExc_KeyError;
    case FailureKind::fileExists:
        return PyExc_FileExistsError;
    case FailureKind::permission:
        return PyExc_PermissionError;
    case FailureKind::file:
        break;
    }
    return PyExc_OSError;
}

void translateFailures() {
    py::register_exception_translator([](std::exception_ptr failure) {
        try {
            if (failure) {
                std::rethrow_exception(failure);
            }
        } catch (const ModuleFailure& f) {
            PyErr_SetString(exceptionOf(f.kind()), f.what());
        }
    });
}

} // namespace
} // namespace tarvo::python

PYBIND11_MODULE(_tarvo, m) {
    m.doc() = "Photon interaction data of the Tarvo suite: cross sections and coefficients.";
    m.attr("__version__") = TARVO_VERSION;
    tarvo::python::translateFailures();
    tarvo::python::bindMaterial(m);
    tarvo::python::bindSpectrum(m);
    tarvo::python::bindFunctions(m);
}
