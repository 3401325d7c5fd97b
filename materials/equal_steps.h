#pragma once

#include "materials/material_source.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// How a table on equal energy steps is read from the published rows.
enum class StepMethod {
    spline,     // the library's point reading, as every reading command gives it
    loglog,     // straight lines in log-log, as the viewers' equal-interval table
    splineTool, // the spline tool's safeguarded not-a-knot spline, as the coefficient
                // viewer's spline table (in double precision)
};

// The method a word names: "spline", "loglog" (or "linear") or "spline-tool", in any case.
std::optional<StepMethod> stepMethodNamed(std::string_view word);

// The word of a method: "spline", "loglog" or "spline-tool".
const char* stepMethodName(StepMethod method);

// The most points a table on equal steps may have.
inline constexpr int kMaxEqualSteps = 100000;

// A table on equal steps: each row the energy (keV), mu/rho, mu_tr/rho and mu_en/rho
// (cm2/g); `notes` says where the spline gave way to a monotone curve.
struct EqualStepTable {
    std::vector<std::array<double, 4>> rows;
    std::vector<std::string> notes;
};

// The number of points from `from` to `to` (keV) in steps of `step` keV; nothing unless
// the range lies within 1 keV to 20 MeV, the step is above 0 and there are 1 to
// kMaxEqualSteps points.
std::optional<int> equalStepCount(double from, double to, double step);

// A material's coefficients from `from` to `to` keV on steps of `step` keV by a method: the
// point readings of the library, or the numbers the spline tool and the coefficient
// viewer's equal-interval table give; nothing, with `error` set, when the steps or the
// table do not allow it.
std::optional<EqualStepTable> equalStepTable(const Material& material, double from, double to,
                                             double step, StepMethod method, std::string& error);

} // namespace tarvo
