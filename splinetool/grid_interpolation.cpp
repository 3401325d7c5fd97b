#include "grid_interpolation.h"

#include "common/exchange_files.h"
#include "common/number_format.h"
#include "splinetool/error_reporting.h"
#include "splinetool/spline.h"

#include <algorithm>
#include <cmath>

namespace tarvo::spline {
namespace {

// A spline value more than this factor outside the two rows around it is plainly wrong.
constexpr double kOvershootFactor = 1.1;
// Relative rounding of double arithmetic a value may show beyond its rows.
constexpr double kRounding = 1e-9;

enum class Overshoot { none, offSteadyRows, beyondTenPercent };

using Values = std::array<double, 3>;

// One segment on the log-log scale: ln E (keV) and ln of each coefficient.
struct LogSegment {
    std::vector<double> x;
    std::array<std::vector<double>, 3> y;
    std::vector<Values> rows; // plain values, for the checks
};

LogSegment logSegment(const SplineTable& table, int first, int size) {
    LogSegment segment;
    for (int j = first; j < first + size; ++j) {
        segment.x.push_back(std::log(table.x[static_cast<size_t>(j)]));
        Values row{};
        for (size_t k = 0; k < 3; ++k) {
            row[k] = table.y[k][static_cast<size_t>(j)];
            segment.y[k].push_back(std::log(row[k]));
        }
        segment.rows.push_back(row);
    }
    return segment;
}

// Where two coefficients are all but equal (mu_tr/rho and mu_en/rho of light materials
// differ in the fourth figure at some rows and not at others), their splines may cross by
// a few parts in ten thousand: such crossings are evened out; one beyond this is a wrong
// value.
constexpr double kOrderTolerance = 5e-3;

bool inOrder(const Values& v) {
    return v[0] >= v[1] && v[1] >= v[2];
}

bool clearlyOutOfOrder(const Values& v) {
    return v[1] > v[0] * (1 + kOrderTolerance) || v[2] > v[1] * (1 + kOrderTolerance);
}

// Evens out a crossing within the tolerance: the lower coefficient takes the higher's value.
void evenOut(Values& v) {
    v[1] = std::min(v[1], v[0]);
    v[2] = std::min(v[2], v[1]);
}

// The row after the grid energy's interval: the first with an energy at or above it, at
// least the second; nothing outside the rows (extrapolation is not checked).
std::optional<size_t> upperRow(const LogSegment& segment, double x) {
    if (x < segment.x.front() || x > segment.x.back()) {
        return std::nullopt;
    }
    size_t j = 1;
    while (j + 1 < segment.x.size() && segment.x[j] < x) {
        ++j;
    }
    return j;
}

// Whether column k of the rows around interval j (the two bracketing rows and one more on
// each side, as far as the segment has them, at least three rows) rises or falls steadily.
bool steadyAround(const LogSegment& segment, size_t j, size_t k) {
    const size_t first = j >= 2 ? j - 2 : 0;
    const size_t last = std::min(j + 1, segment.rows.size() - 1);
    if (last - first < 2) {
        return false;
    }
    const double direction = segment.rows[first + 1][k] - segment.rows[first][k];
    for (size_t r = first + 1; r <= last; ++r) {
        const double change = segment.rows[r][k] - segment.rows[r - 1][k];
        if (!(change * direction > 0)) {
            return false;
        }
    }
    return true;
}

// How far a value of column k may lie outside the range of the two rows around it: not at
// all (beyond rounding) where the rows rise or fall steadily, else 10 %.
Overshoot overshoots(const LogSegment& segment, size_t j, size_t k, double value) {
    const double low = std::min(segment.rows[j - 1][k], segment.rows[j][k]);
    const double high = std::max(segment.rows[j - 1][k], segment.rows[j][k]);
    if (value > kOvershootFactor * high || value < low / kOvershootFactor) {
        return Overshoot::beyondTenPercent;
    }
    const bool outside = value > high * (1 + kRounding) || value < low * (1 - kRounding);
    return outside && steadyAround(segment, j, k) ? Overshoot::offSteadyRows : Overshoot::none;
}

bool rowsInOrder(const LogSegment& segment, size_t j) {
    return inOrder(segment.rows[j - 1]) && inOrder(segment.rows[j]);
}

// The not-a-knot spline of each column, fitted once, at the segment's grid energies.
std::vector<Values> splineValues(const LogSegment& segment, const std::vector<double>& at) {
    std::vector<Values> values(at.size());
    std::vector<double> xvec = at;
    std::vector<double> result(at.size());
    for (size_t k = 0; k < 3; ++k) {
        xvec = at;
        CSIEZ(static_cast<int>(segment.x.size()), segment.x.data(), segment.y[k].data(),
              static_cast<int>(xvec.size()), xvec.data(), result.data());
        for (size_t p = 0; p < at.size(); ++p) {
            values[p][k] = std::exp(result[p]);
        }
    }
    return values;
}

// The monotone cubic of each column; where it still breaks the order of the two rows
// around the energy, the straight line between them, which keeps it.
Values monotoneValues(const LogSegment& segment, double x) {
    Values values{};
    for (size_t k = 0; k < 3; ++k) {
        values[k] = std::exp(steffen(segment.x, segment.y[k], x));
    }
    const std::optional<size_t> j = upperRow(segment, x);
    if (j && rowsInOrder(segment, *j) && clearlyOutOfOrder(values)) {
        const double t = (x - segment.x[*j - 1]) / (segment.x[*j] - segment.x[*j - 1]);
        for (size_t k = 0; k < 3; ++k) {
            values[k] = std::exp((1 - t) * segment.y[k][*j - 1] + t * segment.y[k][*j]);
        }
    }
    return values;
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

// M. Steffen, A simple method for monotonic interpolation in one dimension, Astron.
// Astrophys. 239 (1990) 443-450: slopes limited so that each interval's cubic is monotone.
double steffen(const std::vector<double>& x, const std::vector<double>& y, double at) {
    const size_t m = x.size();
    size_t i = 0;
    while (i + 2 < m && at > x[i + 1]) {
        ++i;
    }
    const auto width = [&](size_t a) { return x[a + 1] - x[a]; };
    const auto slope = [&](size_t a) { return (y[a + 1] - y[a]) / width(a); };
    if (m == 2 || at < x.front() || at > x.back()) {
        return y[i] + slope(i) * (at - x[i]);
    }
    const auto slopeAt = [&](size_t a) {
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
    const double t = at - x[i];
    const double a = (d0 + d1 - 2 * s) / (h * h);
    const double b = (3 * s - 2 * d0 - d1) / h;
    return y[i] + t * (d0 + t * (b + t * a));
}

namespace {

GridValues gridValues(const SplineTable& table, const Segments& segments, double step, int n,
                      double start) {
    GridValues grid;
    grid.values.resize(static_cast<size_t>(std::max(n, 0)));
    // The grid energies of each segment: the first segment whose top is at or above them.
    std::vector<std::vector<int>> points(static_cast<size_t>(segments.count) + 1);
    for (int i = 1; i <= n; ++i) {
        int s = 1;
        while (s < segments.count &&
               segments.top[static_cast<size_t>(s)] < gridEnergy(i, step, start)) {
            ++s;
        }
        points[static_cast<size_t>(s)].push_back(i);
    }
    for (int s = 1; s <= segments.count; ++s) {
        const std::vector<int>& mine = points[static_cast<size_t>(s)];
        if (mine.empty()) {
            continue;
        }
        const LogSegment segment = logSegment(table, segments.start[static_cast<size_t>(s)],
                                              segments.size[static_cast<size_t>(s)]);
        std::vector<double> at;
        for (int i : mine) {
            at.push_back(std::log(gridEnergy(i, step, start)));
        }
        std::vector<Values> values = splineValues(segment, at);
        SegmentRepair repair{gridEnergy(mine.front(), step, start),
                             gridEnergy(mine.back(), step, start)};
        for (size_t p = 0; p < at.size(); ++p) {
            if (const std::optional<size_t> j = upperRow(segment, at[p])) {
                for (size_t k = 0; k < 3; ++k) {
                    const Overshoot overshoot = overshoots(segment, *j, k, values[p][k]);
                    repair.overshoot |= overshoot == Overshoot::beyondTenPercent;
                    repair.offSteadyRows |= overshoot == Overshoot::offSteadyRows;
                }
                repair.order =
                    repair.order || (rowsInOrder(segment, *j) && clearlyOutOfOrder(values[p]));
            }
        }
        if (repair.overshoot || repair.offSteadyRows || repair.order) {
            for (size_t p = 0; p < at.size(); ++p) {
                values[p] = monotoneValues(segment, at[p]);
            }
            grid.repairs.push_back(repair);
        }
        for (size_t p = 0; p < at.size(); ++p) {
            const std::optional<size_t> j = upperRow(segment, at[p]);
            if (j && rowsInOrder(segment, *j)) {
                evenOut(values[p]);
            }
        }
        for (size_t p = 0; p < mine.size(); ++p) {
            grid.values[static_cast<size_t>(mine[p] - 1)] = values[p];
        }
    }
    return grid;
}

} // namespace

std::optional<GridValues> interpolateGrid(const SplineTable& table, const Segments& segments,
                                          double step, int n, std::string& error, double start) {
    try {
        return gridValues(table, segments, step, n, start);
    } catch (const SplineStopped&) {
        // The routines' own report, as the spline tool would print it, is the error.
        error = "the spline routines stopped: " + takeKeptMessages();
        while (!error.empty() && (error.back() == '\n' || error.back() == '\r')) {
            error.pop_back();
        }
        resetErrorReporting();
        return std::nullopt;
    }
}

std::string repairText(const SegmentRepair& repair) {
    std::string why;
    if (repair.overshoot) {
        why = "the spline left the range of the table rows by more than 10 %";
    } else if (repair.offSteadyRows) {
        why = "the spline left the range of two table rows where the rows rise or fall steadily";
    }
    if (repair.order) {
        why += std::string(why.empty() ? "" : " and ") + "it broke mu >= mu_tr >= mu_en";
    }
    return formatNumber(repair.from, "0.0###") + " to " + formatNumber(repair.to, "0.0###") +
           " keV " + kRepairWords + ": " + why;
}

} // namespace tarvo::spline
