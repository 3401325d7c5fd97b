#include "common/text_file.h"
#include "splinetool/grid_interpolation.h"
#include "splinetool/spline_tool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <vector>

namespace tarvo::spline {
namespace {

// An independent not-a-knot cubic spline in double precision, by the second derivatives
// at the points, solved as a dense system: the library fits by slopes instead.
class NotAKnot {
  public:
    NotAKnot(std::vector<double> x, std::vector<double> y) : m_x(std::move(x)), m_y(std::move(y)) {
        const size_t n = m_x.size();
        m_moments.assign(n, 0.0);
        if (n == 3) {
            // The parabola through three points has one second derivative.
            const double d1 = (m_y[1] - m_y[0]) / (m_x[1] - m_x[0]);
            const double d2 = (m_y[2] - m_y[1]) / (m_x[2] - m_x[1]);
            m_moments.assign(3, 2 * (d2 - d1) / (m_x[2] - m_x[0]));
        } else if (n > 3) {
            solveMoments();
        }
    }

    double operator()(double at) const {
        size_t i = 0;
        while (i + 2 < m_x.size() && at > m_x[i + 1]) {
            ++i;
        }
        const double h = m_x[i + 1] - m_x[i];
        const double a = m_x[i + 1] - at;
        const double b = at - m_x[i];
        return m_moments[i] * a * a * a / (6 * h) + m_moments[i + 1] * b * b * b / (6 * h) +
               (m_y[i] / h - m_moments[i] * h / 6) * a +
               (m_y[i + 1] / h - m_moments[i + 1] * h / 6) * b;
    }

  private:
    void solveMoments() {
        const size_t n = m_x.size();
        std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
        const auto h = [&](size_t i) { return m_x[i + 1] - m_x[i]; };
        for (size_t i = 1; i + 1 < n; ++i) {
            a[i][i - 1] = h(i - 1);
            a[i][i] = 2 * (h(i - 1) + h(i));
            a[i][i + 1] = h(i);
            a[i][n] = 6 * ((m_y[i + 1] - m_y[i]) / h(i) - (m_y[i] - m_y[i - 1]) / h(i - 1));
        }
        // The third derivative is continuous at the second and the last but one point.
        a[0][0] = h(1);
        a[0][1] = -(h(0) + h(1));
        a[0][2] = h(0);
        a[n - 1][n - 3] = h(n - 2);
        a[n - 1][n - 2] = -(h(n - 3) + h(n - 2));
        a[n - 1][n - 1] = h(n - 3);
        for (size_t c = 0; c < n; ++c) {
            size_t pivot = c;
            for (size_t r = c + 1; r < n; ++r) {
                pivot = std::fabs(a[r][c]) > std::fabs(a[pivot][c]) ? r : pivot;
            }
            std::swap(a[c], a[pivot]);
            for (size_t r = 0; r < n; ++r) {
                if (r != c && a[r][c] != 0.0) {
                    const double f = a[r][c] / a[c][c];
                    for (size_t k = c; k <= n; ++k) {
                        a[r][k] -= f * a[c][k];
                    }
                }
            }
        }
        for (size_t i = 0; i < n; ++i) {
            m_moments[i] = a[i][n] / a[i][i];
        }
    }

    std::vector<double> m_x;
    std::vector<double> m_y;
    std::vector<double> m_moments;
};

struct Sweep {
    int points = 0;
    int repairedPoints = 0;
    int compared = 0;
    int evened = 0;
    double worstAgreement = 0.0;
};

bool repaired(const GridValues& grid, double energy) {
    return std::any_of(grid.repairs.begin(), grid.repairs.end(), [&](const SegmentRepair& r) {
        return energy >= r.from - 1e-9 && energy <= r.to + 1e-9;
    });
}

// Whether column k rises or falls steadily over rows j - 2 to j + 1 of the segment
// first..last (as far as it has them, at least three rows).
bool steady(const SplineTable& table, size_t k, int j, int first, int last) {
    const int from = std::max(first, j - 2);
    const int to = std::min(last, j + 1);
    const auto value = [&](int r) { return table.y[k][static_cast<size_t>(r)]; };
    bool rising = to - from >= 2;
    bool falling = to - from >= 2;
    for (int r = from + 1; r <= to; ++r) {
        rising = rising && value(r) > value(r - 1);
        falling = falling && value(r) < value(r - 1);
    }
    return rising || falling;
}

// Checks one table on one grid; adds to the sweep's counts.
void checkTable(const std::filesystem::path& path, double top, double step, Sweep& sweep) {
    std::string error;
    const auto text = readTextFile(path.string(), error);
    const auto table = text ? readSplineTable(*text, error) : std::nullopt;
    const auto segments = table ? splitSegments(*table, error) : std::nullopt;
    ASSERT_TRUE(segments) << path << ": " << error;
    const int n = gridSize(top, step);
    const std::optional<GridValues> computed = interpolateGrid(*table, *segments, step, n, error);
    ASSERT_TRUE(computed) << path << ": " << error;
    const GridValues& grid = *computed;
    std::vector<std::vector<NotAKnot>> fits(static_cast<size_t>(segments->count) + 1);
    for (int s = 1; s <= segments->count; ++s) {
        const int first = segments->start[static_cast<size_t>(s)];
        for (size_t k = 0; k < 3; ++k) {
            std::vector<double> x;
            std::vector<double> y;
            for (int r = first; r < first + segments->size[static_cast<size_t>(s)]; ++r) {
                x.push_back(std::log(table->x[static_cast<size_t>(r)]));
                y.push_back(std::log(table->y[k][static_cast<size_t>(r)]));
            }
            fits[static_cast<size_t>(s)].emplace_back(x, y);
        }
    }
    const std::string where = path.filename().string() + " on " + std::to_string(top) + "/" +
                              std::to_string(step) + " keV at ";
    for (int i = 1; i <= n; ++i) {
        const double energy = gridEnergy(i, step);
        int s = 1;
        while (s < segments->count && segments->top[static_cast<size_t>(s)] < energy) {
            ++s;
        }
        const int first = segments->start[static_cast<size_t>(s)];
        const int last = first + segments->size[static_cast<size_t>(s)] - 1;
        const auto& values = grid.values[static_cast<size_t>(i - 1)];
        ++sweep.points;
        sweep.repairedPoints += repaired(grid, energy) ? 1 : 0;
        for (double value : values) {
            ASSERT_TRUE(value > 0 && std::isfinite(value)) << where << energy;
        }
        int j = first + 1;
        while (j < last && table->x[static_cast<size_t>(j)] < energy) {
            ++j;
        }
        const bool inside = energy >= table->x[static_cast<size_t>(first)] &&
                            energy <= table->x[static_cast<size_t>(last)];
        bool rowsInOrder = true;
        for (size_t k = 0; k < 3; ++k) {
            const double a = table->y[k][static_cast<size_t>(j - 1)];
            const double b = table->y[k][static_cast<size_t>(j)];
            if (inside) {
                const double slack = steady(*table, k, j, first, last) ? 1 + 1e-9 : 1.1;
                EXPECT_LE(values[k], slack * std::max(a, b)) << where << energy << " column " << k;
                EXPECT_GE(values[k], std::min(a, b) / slack) << where << energy << " column " << k;
            }
            if (k > 0) {
                rowsInOrder = rowsInOrder && table->y[k - 1][static_cast<size_t>(j - 1)] >= a &&
                              table->y[k - 1][static_cast<size_t>(j)] >= b;
            }
        }
        if (inside && rowsInOrder) {
            EXPECT_TRUE(values[0] >= values[1] && values[1] >= values[2]) << where << energy;
        }
        if (repaired(grid, energy)) {
            continue;
        }
        std::array<double, 3> independent{};
        for (size_t k = 0; k < 3; ++k) {
            independent[k] = std::exp(fits[static_cast<size_t>(s)][k](std::log(energy)));
        }
        // Where the plain spline crosses the rows' order by a little, the values are evened
        // out; only where it keeps the order must the two fits agree.
        if (inside && rowsInOrder &&
            !(independent[0] >= independent[1] && independent[1] >= independent[2])) {
            ++sweep.evened;
            continue;
        }
        for (size_t k = 0; k < 3; ++k) {
            const double agreement = std::fabs(values[k] / independent[k] - 1);
            EXPECT_LT(agreement, 5e-4) << where << energy << " column " << k;
            sweep.worstAgreement = std::max(sweep.worstAgreement, agreement);
            ++sweep.compared;
        }
    }
}

// Every shipped coefficient table through the spline on the grids of the equal-interval
// dialog: positive finite values between the two rows around them where the rows rise or
// fall steadily, else within 10 % of them, in the order of
// the rows, and, where the not-a-knot spline was kept, an independent fit's value.
TEST(ShippedTablesSpline, EveryTableOnEveryGridIsSound) {
    std::vector<std::filesystem::path> tables;
    for (const char* directory : {"mu_ele", "mu_mix"}) {
        for (const auto& entry : std::filesystem::directory_iterator(
                 std::filesystem::path(TARVO_SHIPPED_DATA) / directory)) {
            tables.push_back(entry.path());
        }
    }
    ASSERT_EQ(tables.size(), 140U);
    Sweep sweep;
    const std::pair<double, double> grids[] = {{500, 0.5}, {100, 0.1}, {10, 0.4}, {500, 1.0}};
    for (const auto& path : tables) {
        for (const auto& [top, step] : grids) {
            checkTable(path, top, step, sweep);
        }
    }
    std::cout << sweep.points << " points, " << sweep.repairedPoints << " by the monotone cubic, "
              << sweep.evened << " evened out; " << sweep.compared
              << " values compared with an independent fit, worst " << sweep.worstAgreement << '\n';
}

} // namespace
} // namespace tarvo::spline
