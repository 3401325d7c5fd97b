#pragma once

namespace tarvo {

// Log-log interpolation of a column between two rows: the value at energy `energy` on the
// straight line through (ln lowEnergy, ln lowValue) and (ln highEnergy, ln highValue).
// Energies in MeV (or any one unit), values positive.
double logLogInterpolate(double energy, double lowEnergy, double lowValue, double highEnergy,
                         double highValue);

// As logLogInterpolate, but 0 when either value is 0 (pair production below threshold).
double logLogInterpolateOrZero(double energy, double lowEnergy, double lowValue, double highEnergy,
                               double highValue);

// Row pair of an interpolation over rows 1..count, `energyAt(j)` giving row j's energy:
// the first row j whose energy is at or above `energy`, and 2 in place of 1. Returns 0
// when no row qualifies or the table has fewer than 2 rows.
template <class EnergyAt> int bracketingRow(int count, double energy, EnergyAt energyAt) {
    if (count < 2) {
        return 0;
    }
    for (int j = 1; j <= count; ++j) {
        if (energyAt(j) >= energy) {
            return j == 1 ? 2 : j;
        }
    }
    return 0;
}

} // namespace tarvo
