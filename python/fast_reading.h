#pragma once

#include "python/bindings.h"

namespace tarvo::python {

// Gives Material's mu, mu_tr and mu_en a direct entry for the commonest call of a Monte
// Carlo script, one Python float in MeV with every option at its default, which skips the
// binding's argument conversion (a few hundred ns a call); any other call goes to the
// bound functions already defined, which it keeps. Call once, after those are defined.
void speedUpOneEnergyReadings(py::handle materialClass);

} // namespace tarvo::python
