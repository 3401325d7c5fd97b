#include "equal_steps.h"

#include "coefview/equal_interval.h"
#include "common/energy_grid.h"
#include "common/number_format.h"
#include "common/option_words.h"
#include "splinetool/grid_interpolation.h"
#include "splinetool/spline_tool.h"

#include <array>
#include <cmath>
#include <vector>

namespace tarvo {

namespace {

// "linear" is a second word for the log-log lines; the first word of a method is its own.
constexpr std::pair<const char*, StepMethod> kStepMethods[] = {
    {"spline", StepMethod::spline},
    {"loglog", StepMethod::loglog},
    {"linear", StepMethod::loglog},
    {"spline-tool", StepMethod::splineTool}};

} // namespace

std::optional<StepMethod> stepMethodNamed(std::string_view word) {
    return valueNamed(kStepMethods, word);
}

const char* stepMethodName(StepMethod method) {
    return wordOfValue(kStepMethods, method);
}

namespace {

std::optional<spline::SplineTable> splineTableOf(const Material& material, std::string& error) {
    if (material.coefficients.size() < 2 ||
        material.coefficients.size() > static_cast<size_t>(spline::kMaxTableRows)) {
        error = "the spline takes tables of 2 to " + std::to_string(spline::kMaxTableRows) +
                " rows; read it by log-log lines";
        return std::nullopt;
    }
    spline::SplineTable table;
    table.rowCount = static_cast<int>(material.coefficients.size());
    for (int j = 1; j <= table.rowCount; ++j) {
        const CoefficientRow& row = material.coefficients[static_cast<size_t>(j - 1)];
        table.x[static_cast<size_t>(j)] = row.energy * 1000.0;
        table.y[0][static_cast<size_t>(j)] = row.attenuation;
        table.y[1][static_cast<size_t>(j)] = row.energyTransfer;
        table.y[2][static_cast<size_t>(j)] = row.energyAbsorption;
    }
    return table;
}

bool splineRows(const Material& material, double from, double step, int points,
                EqualStepTable& table, std::string& error) {
    const auto splineTable = splineTableOf(material, error);
    const auto segments = splineTable ? spline::splitSegments(*splineTable, error) : std::nullopt;
    if (!segments) {
        return false;
    }
    if (gridEnergy(points, step, from) > segments->top[static_cast<size_t>(segments->count)]) {
        error = "the last step lies above the table's last energy";
        return false;
    }
    const std::optional<spline::GridValues> grid =
        spline::interpolateGrid(*splineTable, *segments, step, points, error, from);
    if (!grid) {
        return false;
    }
    for (int i = 1; i <= points; ++i) {
        const auto& v = grid->values[static_cast<size_t>(i - 1)];
        table.rows.push_back({gridEnergy(i, step, from), v[0], v[1], v[2]});
    }
    for (const spline::SegmentRepair& repair : grid->repairs) {
        table.notes.push_back(spline::repairText(repair));
    }
    for (const spline::EvenedValues& evened : grid->evened) {
        table.notes.push_back(spline::evenedText(evened));
    }
    return true;
}

bool linearRows(const Material& material, double from, double step, int points,
                EqualStepTable& table, std::string& error) {
    const std::vector<CoefficientRow>& rows = material.coefficients;
    if (rows.empty() || gridEnergyMeV(1, step, from) < rows.front().energy) {
        error = formatNumber(from, "0.00000E+00") + " keV lies outside the table";
        return false;
    }
    const auto values = interpolateLinear(rows, step, points, error, from);
    for (int i = 1; values && i <= points; ++i) {
        const IntervalValues& v = (*values)[static_cast<size_t>(i - 1)];
        table.rows.push_back({gridEnergy(i, step, from), v[0], v[1], v[2]});
    }
    return values.has_value();
}

bool readingRows(const Material& material, double from, double step, int points,
                 EqualStepTable& table, std::string& error) {
    std::vector<double> mev(static_cast<std::size_t>(points));
    for (int i = 1; i <= points; ++i) {
        // Divided, as the reading commands divide a keV energy.
        mev[static_cast<std::size_t>(i - 1)] = gridEnergy(i, step, from) / 1000.0;
    }
    std::array<std::vector<double>, 3> values;
    std::array<double*, 3> outputs{};
    for (std::size_t k = 0; k < 3; ++k) {
        values[k].resize(mev.size());
        outputs[k] = values[k].data();
    }
    readMaterialBatch(material, ReadingMethod::spline, EdgeSide::below, mev, std::array{0, 1, 2},
                      outputs);
    for (std::size_t i = 0; i < mev.size(); ++i) {
        const double keV = gridEnergy(static_cast<int>(i) + 1, step, from);
        if (std::isnan(values[0][i])) {
            error = formatNumber(keV, "0.00000E+00") + " keV cannot be read from the table";
            return false;
        }
        table.rows.push_back({keV, values[0][i], values[1][i], values[2][i]});
    }
    return true;
}

} // namespace

std::optional<int> equalStepCount(double from, double to, double step) {
    const double count = (to - from) / step + 1 + 1e-9;
    if (!(from >= 1.0) || !(to <= 20000.0) || !(step > 0) || !(count >= 1) ||
        !(count <= kMaxEqualSteps)) {
        return std::nullopt;
    }
    return static_cast<int>(count);
}

std::optional<EqualStepTable> equalStepTable(const Material& material, double from, double to,
                                             double step, StepMethod method, std::string& error) {
    const std::optional<int> points = equalStepCount(from, to, step);
    if (!points) {
        error = "the steps must lie from 1 keV to 20 MeV, with a step above 0 and at most " +
                std::to_string(kMaxEqualSteps) + " points";
        return std::nullopt;
    }
    if (material.quantities != TableKind::coefficients) {
        error = "a table on equal steps is made of the coefficients";
        return std::nullopt;
    }
    EqualStepTable table;
    const bool made = method == StepMethod::spline
                          ? readingRows(material, from, step, *points, table, error)
                      : method == StepMethod::splineTool
                          ? splineRows(material, from, step, *points, table, error)
                          : linearRows(material, from, step, *points, table, error);
    return made ? std::make_optional(std::move(table)) : std::nullopt;
}

} // namespace tarvo
