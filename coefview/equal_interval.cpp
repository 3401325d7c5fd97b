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

// A step of whole tenths of a keV gives energies of whole tenths, computed as tenths so
// that an edge energy such as 15.2 keV is met exactly, not 15.200000000000001.
double gridEnergyKeV(int i, double step) {
    const double tenths = std::round(step * 10.0);
    if (std::fabs(step * 10.0 - tenths) < 1e-9) {
        return ((i - 1) * tenths + 10.0) / 10.0;
    }
    return (i - 1) * step + 1.0;
}

double gridEnergyMeV(int i, double step) {
    const double tenths = std::round(step * 10.0);
    if (std::fabs(step * 10.0 - tenths) < 1e-9) {
        return ((i - 1) * tenths + 10.0) / 10000.0;
    }
    return gridEnergyKeV(i, step) * 0.001;
}

std::optional<std::vector<IntervalValues>> interpolateLinear(const CoefficientTable& table,
                                                             double step, int points) {
    std::vector<IntervalValues> values;
    for (int i = 1; i <= points; ++i) {
        const double energy = gridEnergyMeV(i, step);
        const int j = bracketingRow(table.energyCount, energy, [&](int r) {
            return table.rows[static_cast<size_t>(r)].energy;
        });
        if (j == 0) {
            return std::nullopt;
        }
        const CoefficientRow& low = table.rows[static_cast<size_t>(j - 1)];
        const CoefficientRow& high = table.rows[static_cast<size_t>(j)];
        if (low.energy == high.energy) {
            return std::nullopt;
        }
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
        std::string line = formatNumber(gridEnergyKeV(static_cast<int>(i) + 1, step), " 0.000E+00");
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
