#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace tarvo::spline {

// The checks a segment's spline must pass before its values are trusted, shared by the
// grid of the spline tool and the point readings: a value must not leave the range of the
// two rows around it by more than 10 % (at all where the rows rise or fall steadily), and
// mu/rho >= mu_tr/rho >= mu_en/rho must hold wherever both rows keep that order.

enum class Overshoot { none, offSteadyRows, beyondTenPercent };

// The three coefficients mu/rho, mu_tr/rho, mu_en/rho (cm2/g) at one energy.
using Values = std::array<double, 3>;

// How far `value` lies outside the range of rows j - 1 and j of a column's plain values.
Overshoot overshootOf(const std::vector<double>& column, std::size_t j, double value);

// Whether mu/rho >= mu_tr/rho >= mu_en/rho holds.
bool inOrder(const Values& v);

// Whether the order is broken by more than all but equal coefficients may cross.
bool clearlyOutOfOrder(const Values& v);

// Evens out a crossing within the tolerance: the lower coefficient takes the higher's value.
void evenOut(Values& v);

// Steffen's monotone cubic on interval i of (x, y): the coefficients of
// y(x[i] + t) = c[0] + c[1] t + c[2] t^2 + c[3] t^3.
std::array<double, 4> steffenCubic(const std::vector<double>& x, const std::vector<double>& y,
                                   std::size_t i);

} // namespace tarvo::spline
