#include "loglog.h"

#include <cmath>

namespace tarvo {

double logLogInterpolate(double energy, double lowEnergy, double lowValue, double highEnergy,
                         double highValue) {
    // ln c(E) = ln c_b - (ln c_b - ln c_a)(ln E_b - ln E)/(ln E_b - ln E_a)
    const double logHigh = std::log(highValue);
    return std::exp(logHigh - (std::log(highEnergy) - std::log(energy)) *
                                  (logHigh - std::log(lowValue)) /
                                  (std::log(highEnergy) - std::log(lowEnergy)));
}

double logLogInterpolateOrZero(double energy, double lowEnergy, double lowValue, double highEnergy,
                               double highValue) {
    if (lowValue * highValue == 0.0) {
        return 0.0;
    }
    return logLogInterpolate(energy, lowEnergy, lowValue, highEnergy, highValue);
}

} // namespace tarvo
