#include "energy_grid.h"

#include <cmath>

namespace tarvo {
namespace {

bool wholeTenths(double value, double& tenths) {
    tenths = std::round(value * 10.0);
    return std::fabs(value * 10.0 - tenths) < 1e-9;
}

} // namespace

double gridEnergy(int i, double step, double start) {
    double stepTenths = 0.0;
    double startTenths = 0.0;
    if (wholeTenths(step, stepTenths) && wholeTenths(start, startTenths)) {
        return (static_cast<double>(i - 1) * stepTenths + startTenths) / 10.0;
    }
    return static_cast<double>(i - 1) * step + start;
}

double gridEnergyMeV(int i, double step, double start) {
    double stepTenths = 0.0;
    double startTenths = 0.0;
    if (wholeTenths(step, stepTenths) && wholeTenths(start, startTenths)) {
        return (static_cast<double>(i - 1) * stepTenths + startTenths) / 10000.0;
    }
    return gridEnergy(i, step, start) * 0.001;
}

} // namespace tarvo
