#include "segment_checks.h"

#include <algorithm>
#include <cmath>

namespace tarvo::spline {
namespace {

// A spline value more than this factor outside the two rows around it is plainly wrong.
constexpr double kOvershootFactor = 1.1;
// Relative rounding of double arithmetic a value may show beyond its rows.
constexpr double kRounding = 1e-9;
// Where two coefficients are all but equal (mu_tr/rho and mu_en/rho of light materials
// differ in the fourth figure at some rows and not at others), their splines may cross by
// a few parts in ten thousand: such crossings are evened out; one beyond this is a wrong
// value.
constexpr double kOrderTolerance = 5e-3;

// Whether the rows around interval j (the two bracketing rows and one more on each side,
// as far as the column has them, at least three rows) rise or fall steadily.
bool steadyAround(const std::vector<double>& column, std::size_t j) {
    const std::size_t first = j >= 2 ? j - 2 : 0;
    const std::size_t last = std::min(j + 1, column.size() - 1);
    if (last < first + 2) {
        return false;
    }
    const double direction = column[first + 1] - column[first];
    for (std::size_t r = first + 1; r <= last; ++r) {
        if (!((column[r] - column[r - 1]) * direction > 0)) {
            return false;
        }
    }
    return true;
}

// Steffen's slope at an interior point from the slopes and widths of its two intervals.
double interiorSlope(double slopeBefore, double slopeAfter, double widthBefore, double widthAfter) {
    const double p =
        (slopeBefore * widthAfter + slopeAfter * widthBefore) / (widthBefore + widthAfter);
    const double sign = (slopeBefore > 0) - (slopeBefore < 0) + (slopeAfter > 0) - (slopeAfter < 0);
    return sign * std::min({std::fabs(slopeBefore), std::fabs(slopeAfter), 0.5 * std::fabs(p)});
}

// Steffen's slope at an end point, from the end interval and its neighbour.
double endSlope(double slope, double nextSlope, double width, double nextWidth) {
    const double p =
        slope * (1 + width / (width + nextWidth)) - nextSlope * width / (width + nextWidth);
    if (p * slope <= 0) {
        return 0.0;
    }
    return std::fabs(p) > 2 * std::fabs(slope) ? 2 * slope : p;
}

} // namespace

Overshoot overshootOf(const std::vector<double>& column, std::size_t j, double value) {
    const double low = std::min(column[j - 1], column[j]);
    const double high = std::max(column[j - 1], column[j]);
    if (value > kOvershootFactor * high || value < low / kOvershootFactor) {
        return Overshoot::beyondTenPercent;
    }
    const bool outside = value > high * (1 + kRounding) || value < low * (1 - kRounding);
    return outside && steadyAround(column, j) ? Overshoot::offSteadyRows : Overshoot::none;
}

bool inOrder(const Values& v) {
    return v[0] >= v[1] && v[1] >= v[2];
}

bool clearlyOutOfOrder(const Values& v) {
    return v[1] > v[0] * (1 + kOrderTolerance) || v[2] > v[1] * (1 + kOrderTolerance);
}

void evenOut(Values& v) {
    v[1] = std::min(v[1], v[0]);
    v[2] = std::min(v[2], v[1]);
}

// M. Steffen, A simple method for monotonic interpolation in one dimension, Astron.
// Astrophys. 239 (1990) 443-450: slopes limited so that each interval's cubic is monotone.
std::array<double, 4> steffenCubic(const std::vector<double>& x, const std::vector<double>& y,
                                   std::size_t i) {
    const std::size_t m = x.size();
    const auto width = [&](std::size_t a) { return x[a + 1] - x[a]; };
    const auto slope = [&](std::size_t a) { return (y[a + 1] - y[a]) / width(a); };
    if (m == 2) {
        return {y[i], slope(i), 0.0, 0.0};
    }
    const auto slopeAt = [&](std::size_t a) {
        if (a == 0) {
            return endSlope(slope(0), slope(1), width(0), width(1));
        }
        if (a == m - 1) {
            return endSlope(slope(m - 2), slope(m - 3), width(m - 2), width(m - 3));
        }
        return interiorSlope(slope(a - 1), slope(a), width(a - 1), width(a));
    };
    const double h = width(i);
    const double s = slope(i);
    const double d0 = slopeAt(i);
    const double d1 = slopeAt(i + 1);
    return {y[i], d0, (3 * s - 2 * d0 - d1) / h, (d0 + d1 - 2 * s) / (h * h)};
}

} // namespace tarvo::spline
