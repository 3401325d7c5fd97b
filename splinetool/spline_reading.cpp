#include "spline_reading.h"

#include "common/option_words.h"
#include "splinetool/error_reporting.h"
#include "splinetool/segment_checks.h"
#include "splinetool/spline.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvo {

namespace {

constexpr std::pair<const char*, ReadingMethod> kReadingMethods[] = {
    {"spline", ReadingMethod::spline}, {"loglog", ReadingMethod::loglog}};

} // namespace

std::optional<ReadingMethod> readingMethodNamed(std::string_view word) {
    return valueNamed(kReadingMethods, word);
}

const char* readingMethodName(ReadingMethod method) {
    return wordOfValue(kReadingMethods, method);
}

namespace {

using Cubic = std::array<double, 4>;

// Points inside each interval at which a segment's spline is checked: a cubic's bulge
// between two rows is found long before the eighth of an interval matters.
constexpr int kChecksPerInterval = 8;
// Points inside each interval at which a crossing is looked for before it is bisected.
constexpr int kCrossingSamples = 16;
// Rows closer than this in ln E are one point to the fit.
constexpr double kCoincidentGap = 1e-4;
// An end row of a run closer to its neighbour than this share of the next interval in.
constexpr double kSteepStepRatio = 0.1;
// Knots a run needs for a cubic of its own: fewer are read by the log-log line.
constexpr std::size_t kFewestKnots = 4;

// Rows first..last of a column in which the column stays above 0: fitted on their own.
struct Run {
    int first = 0;
    int last = 0;
};

double evaluate(const Cubic& c, double t) {
    return c[0] + t * (c[1] + t * (c[2] + t * c[3]));
}

double columnAt(const SplineInterval& interval, std::size_t c, double t) {
    return (interval.zeroColumns >> c) & 1U ? 0.0 : std::exp(evaluate(interval.cubic[c], t));
}

std::vector<Run> positiveRuns(const SplineReadings& s, int first, int last, std::size_t c) {
    std::vector<Run> runs;
    for (int j = first; j <= last; ++j) {
        if (!(s.values[static_cast<std::size_t>(j)][c] > 0)) {
            continue;
        }
        if (runs.empty() || runs.back().last != j - 1) {
            runs.push_back({j, j});
        } else {
            runs.back().last = j;
        }
    }
    return runs;
}

// The rows of a run that the fit goes through. A row at the end of a run that all but
// coincides with its neighbour, next to a much wider interval (Cr: the K edge at 5.9892 keV
// and a row at 6 keV, then 8 keV), holds the table's steep step at the edge, not the
// curve's slope: a cubic through both would carry that step across the wide interval. So
// does a row all but on top of the row before it anywhere in the run. Such rows are left
// out of the fit, and the curve is pinned to them where it meets them.
std::vector<int> knotsOf(const SplineReadings& s, Run run) {
    const auto gap = [&s](int a, int b) {
        return s.logEnergies[static_cast<std::size_t>(b)] -
               s.logEnergies[static_cast<std::size_t>(a)];
    };
    std::vector<int> knots;
    for (int j = run.first; j <= run.last; ++j) {
        if (!knots.empty() && j < run.last && gap(knots.back(), j) < kCoincidentGap) {
            continue;
        }
        knots.push_back(j);
    }
    if (knots.size() > 2 && gap(knots[knots.size() - 2], knots.back()) < kCoincidentGap) {
        knots.erase(knots.end() - 2);
    }
    if (knots.size() >= 3 && gap(knots[0], knots[1]) < kSteepStepRatio * gap(knots[1], knots[2])) {
        knots.erase(knots.begin());
    }
    const std::size_t n = knots.size();
    if (n >= 3 &&
        gap(knots[n - 2], knots[n - 1]) < kSteepStepRatio * gap(knots[n - 3], knots[n - 2])) {
        knots.pop_back();
    }
    return knots;
}

std::vector<double> knotLogEnergies(const SplineReadings& s, const std::vector<int>& knots) {
    std::vector<double> x;
    for (const int j : knots) {
        x.push_back(s.logEnergies[static_cast<std::size_t>(j)]);
    }
    return x;
}

std::vector<double> knotLogValues(const SplineReadings& s, const std::vector<int>& knots,
                                  std::size_t c) {
    std::vector<double> y;
    for (const int j : knots) {
        y.push_back(std::log(s.values[static_cast<std::size_t>(j)][c]));
    }
    return y;
}

std::vector<double> plainValues(const SplineReadings& s, Run run, std::size_t c) {
    std::vector<double> y;
    for (int j = run.first; j <= run.last; ++j) {
        y.push_back(s.values[static_cast<std::size_t>(j)][c]);
    }
    return y;
}

// The cubic p(t + shift) of t.
Cubic shifted(const Cubic& p, double shift) {
    return {evaluate(p, shift), p[1] + shift * (2 * p[2] + 3 * p[3] * shift),
            p[2] + 3 * p[3] * shift, p[3]};
}

// Gives every interval of rows between two knots the piece of the knots' curve over it,
// plus the straight line in t that takes it through both rows exactly: the curve keeps
// to the rows left out of the fit and reads every row's own value at its ends.
void assignPieces(SplineReadings& s, Run run, const std::vector<int>& knots, std::size_t c,
                  const std::vector<Cubic>& pieces) {
    std::size_t piece = 0;
    for (int j = run.first + 1; j <= run.last; ++j) {
        while (piece + 1 < pieces.size() && knots[piece + 1] < j) {
            ++piece;
        }
        const auto row = static_cast<std::size_t>(j);
        const double origin = s.logEnergies[static_cast<std::size_t>(knots[piece])];
        Cubic cubic = shifted(pieces[piece], s.logEnergies[row - 1] - origin);
        const double width = s.logEnergies[row] - s.logEnergies[row - 1];
        const double atStart = std::log(s.values[row - 1][c]) - cubic[0];
        const double atEnd = std::log(s.values[row][c]) - evaluate(cubic, width);
        cubic[0] += atStart;
        cubic[1] += (atEnd - atStart) / width;
        s.intervals[row].cubic[c] = cubic;
    }
}

// Steffen's monotone cubic through the knots of a run.
void fitMonotone(SplineReadings& s, Run run, std::size_t c) {
    const std::vector<int> knots = knotsOf(s, run);
    const std::vector<double> x = knotLogEnergies(s, knots);
    const std::vector<double> y = knotLogValues(s, knots, c);
    std::vector<Cubic> pieces;
    for (std::size_t i = 0; i + 1 < x.size(); ++i) {
        pieces.push_back(spline::steffenCubic(x, y, i));
    }
    assignPieces(s, run, knots, c, pieces);
}

// The straight lines in log-log between the knots of a run.
void fitLines(SplineReadings& s, Run run, const std::vector<int>& knots, std::size_t c) {
    const std::vector<double> x = knotLogEnergies(s, knots);
    const std::vector<double> y = knotLogValues(s, knots, c);
    std::vector<Cubic> pieces;
    for (std::size_t i = 0; i + 1 < x.size(); ++i) {
        pieces.push_back({y[i], (y[i + 1] - y[i]) / (x[i + 1] - x[i]), 0.0, 0.0});
    }
    assignPieces(s, run, knots, c, pieces);
}

// The not-a-knot spline through the knots of a run, by the routines the spline tool uses
// (their coefficients are the value and the first three derivatives at each breakpoint).
// Too few knots to bear a cubic of their own (three rows between M edges, where the curve
// may turn) are read by the log-log line: false then.
bool fitNotAKnot(SplineReadings& s, Run run, std::size_t c) {
    const std::vector<int> knots = knotsOf(s, run);
    if (knots.size() < kFewestKnots) {
        fitLines(s, run, knots, c);
        return false;
    }
    const std::vector<double> x = knotLogEnergies(s, knots);
    const std::vector<double> y = knotLogValues(s, knots, c);
    const auto n = static_cast<int>(x.size());
    std::vector<double> breakpoints(x.size());
    std::vector<double> coefficients(4 * x.size());
    std::vector<int> workspace(x.size());
    spline::C2INT(n, x.data(), y.data(), breakpoints.data(), coefficients.data(), workspace.data());
    std::vector<Cubic> pieces;
    for (int i = 0; i + 1 < n; ++i) {
        const double* k = coefficients.data() + 4 * i;
        pieces.push_back({k[0], k[1], k[2] / 2, k[3] / 6});
    }
    assignPieces(s, run, knots, c, pieces);
    return true;
}

spline::Values coefficientsOf(const std::array<double, kMaxReadingColumns>& row) {
    return {row[0], row[1], row[2]};
}

bool rowsInOrder(const SplineReadings& s, int j) {
    return spline::inOrder(coefficientsOf(s.values[static_cast<std::size_t>(j - 1)])) &&
           spline::inOrder(coefficientsOf(s.values[static_cast<std::size_t>(j)]));
}

double sampleT(const SplineReadings& s, int j, int k, int of) {
    const auto row = static_cast<std::size_t>(j);
    return (s.logEnergies[row] - s.logEnergies[row - 1]) * k / of;
}

spline::Values coefficientValuesAt(const SplineReadings& s, int j, double t) {
    const SplineInterval& interval = s.intervals[static_cast<std::size_t>(j)];
    return {columnAt(interval, 0, t), columnAt(interval, 1, t), columnAt(interval, 2, t)};
}

// Where a column's cubic in interval j may take its largest and smallest values inside the
// interval: where its slope is 0 (exp keeps them there), and the middle.
std::vector<double> extremesInside(const SplineReadings& s, int j, std::size_t c) {
    const Cubic& k = s.intervals[static_cast<std::size_t>(j)].cubic[c];
    const double width = sampleT(s, j, 1, 1);
    std::vector<double> at{0.5 * width};
    // The slope k1 + 2 k2 t + 3 k3 t^2.
    const double a = 3 * k[3];
    const double b = 2 * k[2];
    // The roots in the form that keeps their digits when the cubic is all but a parabola.
    if (const double d = b * b - 4 * a * k[1]; d >= 0) {
        const double q = -0.5 * (b + std::copysign(std::sqrt(d), b));
        at.push_back(q != 0 ? k[1] / q : 0.0);
        at.push_back(a != 0 ? q / a : 0.0);
    }
    std::erase_if(at, [width](double t) { return !(t > 0 && t < width); });
    return at;
}

// Whether a column's cubic, inside the intervals of a run, leaves its rows as the spline
// tool would not let it.
bool overshootsInRun(const SplineReadings& s, Run run, std::size_t c) {
    const std::vector<double> plain = plainValues(s, run, c);
    for (int j = run.first + 1; j <= run.last; ++j) {
        const SplineInterval& interval = s.intervals[static_cast<std::size_t>(j)];
        for (const double t : extremesInside(s, j, c)) {
            if (spline::overshootOf(plain, static_cast<std::size_t>(j - run.first),
                                    columnAt(interval, c, t)) != spline::Overshoot::none) {
                return true;
            }
        }
    }
    return false;
}

bool breaksOrderIn(const SplineReadings& s, int j) {
    if (!rowsInOrder(s, j)) {
        return false;
    }
    for (int k = 1; k < kChecksPerInterval; ++k) {
        if (spline::clearlyOutOfOrder(
                coefficientValuesAt(s, j, sampleT(s, j, k, kChecksPerInterval)))) {
            return true;
        }
    }
    return false;
}

// The straight lines between rows j - 1 and j, which keep the order of the rows.
void straightLines(SplineReadings& s, int j) {
    const auto row = static_cast<std::size_t>(j);
    const double width = s.logEnergies[row] - s.logEnergies[row - 1];
    for (std::size_t c = 0; c < 3; ++c) {
        const double low = std::log(s.values[row - 1][c]);
        const double high = std::log(s.values[row][c]);
        s.intervals[row].cubic[c] = {low, (high - low) / width, 0.0, 0.0};
    }
}

// Fits rows first..last, which share no energy, by the spline or, where the spline tool
// would repair it, by the monotone cubic.
void fitSegment(SplineReadings& s, int first, int last, bool coefficients) {
    std::vector<std::vector<Run>> runs;
    bool monotone = false;
    for (std::size_t c = 0; c < static_cast<std::size_t>(s.fittedColumns); ++c) {
        runs.push_back(positiveRuns(s, first, last, c));
        for (int j = first + 1; j <= last; ++j) {
            s.intervals[static_cast<std::size_t>(j)].zeroColumns |= 1U << c;
        }
        for (const Run& run : runs.back()) {
            for (int j = run.first + 1; j <= run.last; ++j) {
                s.intervals[static_cast<std::size_t>(j)].zeroColumns &= ~(1U << c);
            }
            monotone = !fitNotAKnot(s, run, c) || monotone;
        }
    }
    bool repair = false;
    for (std::size_t c = 0; c < runs.size() && !repair; ++c) {
        for (const Run& run : runs[c]) {
            repair = repair || overshootsInRun(s, run, c);
        }
    }
    for (int j = first + 1; coefficients && !repair && j <= last; ++j) {
        repair = breaksOrderIn(s, j);
    }
    if (repair) {
        for (std::size_t c = 0; c < runs.size(); ++c) {
            for (const Run& run : runs[c]) {
                fitMonotone(s, run, c);
            }
        }
    }
    if (repair || monotone) {
        s.monotoneSegments.push_back({s.energies[static_cast<std::size_t>(first)],
                                      s.energies[static_cast<std::size_t>(last)]});
    }
    for (int j = first + 1; coefficients && j <= last; ++j) {
        if (repair && breaksOrderIn(s, j)) {
            straightLines(s, j);
        }
        s.intervals[static_cast<std::size_t>(j)].evenOut = rowsInOrder(s, j);
    }
}

bool copyRows(const ReadingTable& table, SplineColumns kind, SplineReadings& s,
              std::string& error) {
    s.rowCount = table.rowCount;
    s.columnCount = table.columnCount;
    s.fittedColumns = kind == SplineColumns::crossSections ? 5 : 3;
    if (table.columnCount != (kind == SplineColumns::crossSections ? 6 : 3) ||
        table.energies.size() < static_cast<std::size_t>(table.rowCount) + 1 ||
        table.values.size() < static_cast<std::size_t>(table.rowCount) + 1) {
        error = "the table does not hold the columns the spline reads";
        return false;
    }
    s.energies.assign(table.energies.begin(), table.energies.begin() + table.rowCount + 1);
    s.values.assign(table.values.begin(), table.values.begin() + table.rowCount + 1);
    s.logEnergies.assign(s.energies.size(), 0.0);
    for (int j = 1; j <= s.rowCount; ++j) {
        const double energy = s.energies[static_cast<std::size_t>(j)];
        if (!(energy > 0) || !std::isfinite(energy) ||
            (j > 1 && energy < s.energies[static_cast<std::size_t>(j - 1)])) {
            error = "row " + std::to_string(j) + " of the table has no energy above the row before";
            return false;
        }
        s.logEnergies[static_cast<std::size_t>(j)] = std::log(energy);
    }
    return true;
}

void fitSegments(SplineReadings& s, SplineColumns kind) {
    s.intervals.assign(s.energies.size(), SplineInterval{});
    int first = 1;
    for (int j = 2; j <= s.rowCount + 1; ++j) {
        const bool end = j > s.rowCount || s.energies[static_cast<std::size_t>(j)] ==
                                               s.energies[static_cast<std::size_t>(j - 1)];
        if (end) {
            if (j - 1 > first) {
                fitSegment(s, first, j - 1, kind == SplineColumns::coefficients);
            }
            first = j;
        }
    }
}

// A row's values; the total of the cross sections is the sum of the partials.
void rowReading(const SplineReadings& s, int j, Reading& reading) {
    const auto& row = s.values[static_cast<std::size_t>(j)];
    std::copy(row.begin(), row.begin() + s.fittedColumns, reading.values.begin());
}

// Below the first row, the log-log line of the first two, as the log-log reading takes it.
bool belowFirstRow(const SplineReadings& s, double energy, Reading& reading) {
    if (s.energies[1] == s.energies[2]) {
        return false;
    }
    const double t = (std::log(energy) - s.logEnergies[1]) / (s.logEnergies[2] - s.logEnergies[1]);
    for (std::size_t c = 0; c < static_cast<std::size_t>(s.fittedColumns); ++c) {
        const double low = s.values[1][c];
        const double high = s.values[2][c];
        reading.values[c] =
            low > 0 && high > 0 ? std::exp(std::log(low) + t * std::log(high / low)) : 0.0;
    }
    return true;
}

void intervalReading(const SplineReadings& s, int j, double energy, Reading& reading) {
    const SplineInterval& interval = s.intervals[static_cast<std::size_t>(j)];
    const double t = std::log(energy) - s.logEnergies[static_cast<std::size_t>(j - 1)];
    for (std::size_t c = 0; c < static_cast<std::size_t>(s.fittedColumns); ++c) {
        reading.values[c] = columnAt(interval, c, t);
    }
    if (interval.evenOut) {
        reading.values[1] = std::min(reading.values[1], reading.values[0]);
        reading.values[2] = std::min(reading.values[2], reading.values[1]);
    }
}

void addSum(const SplineReadings& s, Reading& reading) {
    if (s.fittedColumns < s.columnCount) {
        double sum = 0.0;
        for (int c = 0; c < s.fittedColumns; ++c) {
            sum += reading.values[static_cast<std::size_t>(c)];
        }
        reading.values[static_cast<std::size_t>(s.fittedColumns)] = sum;
    }
}

} // namespace

std::optional<SplineReadings> prepareSplineReadings(const ReadingTable& table, SplineColumns kind,
                                                    std::string& error) {
    SplineReadings s;
    if (!copyRows(table, kind, s, error)) {
        return std::nullopt;
    }
    try {
        fitSegments(s, kind);
    } catch (const spline::SplineStopped&) {
        error = "the spline routines stopped: " + spline::takeKeptMessages();
        spline::resetErrorReporting();
        return std::nullopt;
    }
    spline::takeKeptMessages();
    return s;
}

Reading readSpline(const SplineReadings& s, double energy, double lowest, double highest) {
    Reading reading;
    if (!(energy >= lowest && energy <= highest) || s.rowCount < 1 ||
        (s.rowCount == 1 && energy != s.energies[1])) {
        return reading;
    }
    const int j = firstRowAtOrAbove(s.energies, s.rowCount, energy);
    if (j > s.rowCount) {
        return reading;
    }
    reading.energy = energy;
    reading.result = ReadingResult::found;
    if (s.energies[static_cast<std::size_t>(j)] == energy) {
        rowReading(s, j, reading);
    } else if (j == 1) {
        if (!belowFirstRow(s, energy, reading)) {
            reading.result = ReadingResult::calculationError;
        }
    } else {
        intervalReading(s, j, energy, reading);
    }
    addSum(s, reading);
    for (int c = 0; c < s.columnCount; ++c) {
        if (!std::isfinite(reading.values[static_cast<std::size_t>(c)])) {
            reading.result = ReadingResult::calculationError;
        }
    }
    return reading;
}

namespace {

// A column (or the sum of the fitted columns) at t in interval j, as readSpline gives it.
double curveAt(const SplineReadings& s, int j, std::size_t column, double t) {
    Reading reading;
    intervalReading(s, j, std::exp(s.logEnergies[static_cast<std::size_t>(j - 1)] + t), reading);
    addSum(s, reading);
    return reading.values[column];
}

double rowAt(const SplineReadings& s, int j, std::size_t column) {
    Reading reading;
    rowReading(s, j, reading);
    addSum(s, reading);
    return reading.values[column];
}

// The t in (a, b) at which the curve of interval j meets `value`, the curve lying on
// opposite sides of it at a and b.
double bisect(const SplineReadings& s, int j, std::size_t column, double value, double a,
              double b) {
    const double sideA = curveAt(s, j, column, a) - value;
    for (int step = 0; step < 200; ++step) {
        const double middle = 0.5 * (a + b);
        if (middle <= a || middle >= b) {
            break;
        }
        const double side = curveAt(s, j, column, middle) - value;
        if (side == 0) {
            return middle;
        }
        (side * sideA > 0 ? a : b) = middle;
    }
    return 0.5 * (a + b);
}

} // namespace

std::vector<Crossing> everySplineEnergyAt(const SplineReadings& s, int column, double value) {
    std::vector<Crossing> crossings;
    const auto c = static_cast<std::size_t>(column);
    const auto add = [&](double energy, CrossingKind kind) {
        if (crossings.empty() || crossings.back().energy != energy) {
            crossings.push_back({energy, kind});
        }
    };
    if (column < 0 || column >= s.columnCount || !(value > 0)) {
        return crossings;
    }
    for (int j = 2; j <= s.rowCount; ++j) {
        const auto row = static_cast<std::size_t>(j);
        const double low = rowAt(s, j - 1, c);
        const double high = rowAt(s, j, c);
        if (!(low > 0) || !(high > 0)) {
            continue;
        }
        if (s.energies[row] == s.energies[row - 1]) {
            if ((low - value) * (high - value) <= 0) {
                add(s.energies[row],
                    low == value || high == value ? CrossingKind::between : CrossingKind::atEdge);
            }
            continue;
        }
        if (low == value) {
            add(s.energies[row - 1], CrossingKind::between);
        }
        double before = 0.0;
        double sideBefore = low - value;
        for (int k = 1; k <= kCrossingSamples; ++k) {
            const double t = sampleT(s, j, k, kCrossingSamples);
            const double side = (k == kCrossingSamples ? high : curveAt(s, j, c, t)) - value;
            if (side == 0) {
                add(k == kCrossingSamples ? s.energies[row] : std::exp(s.logEnergies[row - 1] + t),
                    CrossingKind::between);
            } else if (side * sideBefore < 0) {
                add(std::exp(s.logEnergies[row - 1] + bisect(s, j, c, value, before, t)),
                    CrossingKind::between);
            }
            before = t;
            sideBefore = side;
        }
    }
    return crossings;
}

BatchCurves splineBatchCurves(const SplineReadings& s, double lowest, double highest) {
    BatchCurves c;
    c.rowCount = s.rowCount;
    c.columnCount = s.columnCount;
    c.fittedColumns = s.fittedColumns;
    const auto rows = static_cast<std::size_t>(s.rowCount) + 1;
    c.energies.assign(s.energies.begin(), s.energies.begin() + static_cast<long>(rows));
    c.originLogEnergies.assign(rows + 2, 0.0);
    c.cubics.assign(rows + 2, {});
    c.flags.assign(rows + 2, kScalarOnly);
    for (std::size_t j = 2; j < rows; ++j) {
        if (!(s.energies[j] > s.energies[j - 1])) {
            continue; // an edge
        }
        const SplineInterval& interval = s.intervals[j];
        c.flags[j] = interval.evenOut ? kEvenOut : 0;
        c.originLogEnergies[j] = s.logEnergies[j - 1];
        for (std::size_t k = 0; k < static_cast<std::size_t>(s.fittedColumns); ++k) {
            std::copy(interval.cubic[k].begin(), interval.cubic[k].end(), &c.cubics[j][k * 4]);
            if ((interval.zeroColumns >> k) & 1U) {
                c.cubics[j][k * 4] = -std::numeric_limits<double>::infinity();
                std::fill_n(&c.cubics[j][k * 4 + 1], 3, 0.0);
            }
        }
    }
    indexBatchCurves(c, lowest, highest);
    return c;
}

} // namespace tarvo
