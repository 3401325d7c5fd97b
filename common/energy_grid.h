#pragma once

namespace tarvo {

// Grid energy i (from 1) in keV: (i - 1) * step + start, computed in tenths of a keV when
// both are whole tenths, so that edge energies such as 15.2 keV are met exactly.
double gridEnergy(int i, double step, double start = 1.0);

// The same energy in MeV, exact to the tenth of a keV in the same way.
double gridEnergyMeV(int i, double step, double start = 1.0);

} // namespace tarvo
