#pragma once

#include "coefview/coefficient_table.h"
#include "common/energy_grid.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// Largest number of points of an equal-interval table.
inline constexpr int kMaxIntervalPoints = 1000;

enum class IntervalProblem { none, badRange, tooManyPoints, stepNotTenth };

// The check of "OK": the range 1.0 to 500 keV, a step of at least 0.1 keV and at most 1000
// points; with the spline the step must be a multiple of 0.1 keV, the precision the tool
// receives. `pointCount` is (top - bottom) / step + 1, not rounded, once the range is valid.
struct IntervalCheck {
    IntervalProblem problem = IntervalProblem::none;
    std::optional<double> pointCount;
};
IntervalCheck checkInterval(double bottom, double top, double step, bool spline);

enum class IntervalMethod { linear, spline };

// What a table on equal intervals is computed for: the boxes' range and step (keV), the
// method and the table file. Results belong to the grid they were computed for.
struct IntervalGrid {
    double bottom = 0.0;
    double top = 0.0;
    double step = 0.0;
    IntervalMethod method = IntervalMethod::linear;
    std::string tablePath;
    bool operator==(const IntervalGrid&) const = default;
};

// The number of points of a count: the largest whole number not above it.
int pointsOf(double pointCount);

using IntervalValues = std::array<double, 3>; // mu/rho, mu_tr/rho, mu_en/rho in cm2/g

// Log-log interpolation of the three coefficients of `rows` (MeV, cm2/g) at grid energies
// 1..points from `start` (keV), an edge energy taking the row below the edge; nothing, with
// `error` naming the energy, when a grid energy lies outside the rows.
std::optional<std::vector<IntervalValues>> interpolateLinear(std::span<const CoefficientRow> rows,
                                                             double step, int points,
                                                             std::string& error,
                                                             double start = 1.0);

// A line of the result list: "1.000E+00   4.242E+03   ...".
std::string intervalListLine(double energyKeV, const IntervalValues& values);

// Writes the CSV: the header line, then " 1.000E+00, 4.2424E+03, ..." per point.
bool writeIntervalCsv(const std::string& path, double step,
                      const std::vector<IntervalValues>& values, std::string& error);

} // namespace tarvo
