#include "equal_interval.h"

#include "common/loglog.h"
#include "common/number_format.h"
#include "common/text_fields.h"
#include "common/text_file.h"

#include <cmath>

namespace tarvo {

IntervalCheck checkInterval(double bottom, double top, double step, bool spline) {
    IntervalCheck check;
    // Written so that a value that is not a number (a box holding a comma) fails too.
    if (!(bottom >= 1.0 && top <= 500.0 && top > bottom && step >= 0.1)) {
        check.problem = IntervalProblem::badRange;
        return check;
    }
    check.pointCount = (top - bottom) / step + 1.0;
    if (*check.pointCount > kMaxIntervalPoints) {
        check.problem = IntervalProblem::tooManyPoints;
    } else if (spline && std::fabs(step * 10.0 - std::round(step * 10.0)) > 1e-9) {
        check.problem = IntervalProblem::stepNotTenth;
    }
    return check;
}

int pointsOf(double pointCount) {
    return static_cast<int>(std::floor(pointCount));
}

std::optional<std::vector<IntervalValues>> interpolateLinear(std::span<const CoefficientRow> rows,
                                                             double step, int points,
                                                             std::string& error, double start) {
    std::vector<IntervalValues> values;
    const auto row = [&](int r) -> const CoefficientRow& {
        return rows[static_cast<size_t>(r - 1)];
    };
    for (int i = 1; i <= points; ++i) {
        const double energy = gridEnergyMeV(i, step, start);
        const int j = bracketingRow(static_cast<int>(rows.size()), energy,
                                    [&](int r) { return row(r).energy; });
        if (j == 0 || row(j - 1).energy == row(j).energy) {
            error =
                formatNumber(gridEnergy(i, step, start), "0.0####") + " keV lies outside the table";
            return std::nullopt;
        }
        const CoefficientRow& low = row(j - 1);
        const CoefficientRow& high = row(j);
        const auto at = [&](double a, double b) {
            return logLogInterpolate(energy, low.energy, a, high.energy, b);
        };
        values.push_back({at(low.attenuation, high.attenuation),
                          at(low.energyTransfer, high.energyTransfer),
                          at(low.energyAbsorption, high.energyAbsorption)});
    }
    return values;
}

std::string intervalListLine(double energyKeV, const IntervalValues& values) {
    std::string line = formatNumber(energyKeV, "0.000E+00");
    for (double value : values) {
        appendNumber(line, value, "   0.000E+00");
    }
    return line;
}

bool writeIntervalCsv(const std::string& path, double step,
                      const std::vector<IntervalValues>& values, std::string& error) {
    // The Greek letters are written in UTF-8.
    std::vector<std::string> lines{"   keV    ,   \xce\xbc/\xcf\x81   ,  \xce\xbctr/\xcf\x81  ,  "
                                   "\xce\xbc"
                                   "en/\xcf\x81"};
    for (size_t i = 0; i < values.size(); ++i) {
        std::string line = formatNumber(gridEnergy(static_cast<int>(i) + 1, step), " 0.000E+00");
        for (double value : values[i]) {
            line += ",";
            appendNumber(line, value, " 0.0000E+00");
        }
        lines.push_back(std::move(line));
    }
    std::string writeError;
    if (!atomicWriteFile(path, joinLinesCrLf(lines), writeError)) {
        error = path + ": " + writeError;
        return false;
    }
    return true;
}

} // namespace tarvo
