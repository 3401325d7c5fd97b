#include "grid_interpolation.h"

#include "common/exchange_files.h"
#include "common/number_format.h"
#include "splinetool/error_reporting.h"
#include "splinetool/segment_checks.h"
#include "splinetool/spline.h"

#include <algorithm>
#include <cmath>

namespace tarvo::spline {
namespace {

// One segment on the log-log scale: ln E (keV) and ln of each coefficient, and the plain
// values of each coefficient for the checks.
struct LogSegment {
    std::vector<double> x;
    std::array<std::vector<double>, 3> y;
    std::array<std::vector<double>, 3> plain;
};

LogSegment logSegment(const SplineTable& table, int first, int size) {
    LogSegment segment;
    for (int j = first; j < first + size; ++j) {
        segment.x.push_back(std::log(table.x[static_cast<size_t>(j)]));
        for (size_t k = 0; k < 3; ++k) {
            segment.plain[k].push_back(table.y[k][static_cast<size_t>(j)]);
            segment.y[k].push_back(std::log(segment.plain[k].back()));
        }
    }
    return segment;
}

Values rowValues(const LogSegment& segment, size_t j) {
    return {segment.plain[0][j], segment.plain[1][j], segment.plain[2][j]};
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

bool rowsInOrder(const LogSegment& segment, size_t j) {
    return inOrder(rowValues(segment, j - 1)) && inOrder(rowValues(segment, j));
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

} // namespace

double steffen(const std::vector<double>& x, const std::vector<double>& y, double at) {
    const size_t m = x.size();
    size_t i = 0;
    while (i + 2 < m && at > x[i + 1]) {
        ++i;
    }
    if (m == 2 || at < x.front() || at > x.back()) {
        return y[i] + (y[i + 1] - y[i]) / (x[i + 1] - x[i]) * (at - x[i]);
    }
    const std::array<double, 4> c = steffenCubic(x, y, i);
    const double t = at - x[i];
    return c[0] + t * (c[1] + t * (c[2] + t * c[3]));
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
                    const Overshoot overshoot = overshootOf(segment.plain[k], *j, values[p][k]);
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
        EvenedValues evened;
        for (size_t p = 0; p < at.size(); ++p) {
            const std::optional<size_t> j = upperRow(segment, at[p]);
            if (j && rowsInOrder(segment, *j)) {
                const Values before = values[p];
                evenOut(values[p]);
                if (values[p] != before) {
                    const double energy = gridEnergy(mine[p], step, start);
                    evened.from = evened.transfer || evened.absorption ? evened.from : energy;
                    evened.to = energy;
                    evened.transfer = evened.transfer || values[p][1] != before[1];
                    evened.absorption = evened.absorption || values[p][2] != before[2];
                }
            }
        }
        if (evened.transfer || evened.absorption) {
            grid.evened.push_back(evened);
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

std::string evenedText(const EvenedValues& evened) {
    std::string what;
    if (evened.transfer) {
        what = "mu_tr/rho lowered to mu/rho";
    }
    if (evened.absorption) {
        what += std::string(what.empty() ? "" : " and ") + "mu_en/rho lowered to mu_tr/rho";
    }
    return formatNumber(evened.from, "0.0###") + " to " + formatNumber(evened.to, "0.0###") +
           " keV " + what + " " + kEvenedWords +
           " (by less than 0.5 %; the rows keep mu >= mu_tr >= mu_en)";
}

} // namespace tarvo::spline
