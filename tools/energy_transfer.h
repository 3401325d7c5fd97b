#pragma once

#include <array>

namespace tarvo::tools {

// Electron rest energy, MeV.
inline constexpr double kElectronRestEnergy = 0.51099895;

// Shells whose vacancies the fluorescence cascade follows: K, L1-L3, M1-M5.
inline constexpr int kCascadeShells = 9;

// Fraction of the photon energy that pair production gives to charged particles at
// `energy` MeV: 1 - 2mc2/E.
double pairTransferFraction(double energy);

// Mean fraction of the photon energy given to the electron in incoherent scattering at
// `energy` MeV by element z: Klein-Nishina weighted by the incoherent scattering function
// up to 1 MeV, plain Klein-Nishina above.
double incoherentTransferFraction(int z, double energy);

// Mean fluorescence energy (MeV) emitted per photo-electric absorption by element z when
// the photon can ionise the shells marked in `shellOpen` (K, L1-L3, M1-M5).
double meanFluorescenceEnergy(int z, const std::array<bool, kCascadeShells>& shellOpen);

// Binding energy (MeV) of a cascade shell of element z from the atomic data, 0 if none.
double shellEdgeEnergy(int z, int shell);

} // namespace tarvo::tools
