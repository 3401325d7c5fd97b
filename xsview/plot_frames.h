#pragma once

#include "common/plot_geometry.h"

namespace tarvo {

// Where the cross-section viewer draws, in user units. X is ln E + 3 ln 10: the plots run
// from 0 (1 keV) to 11.5 (about 100 MeV). On the cross-section plot Y is ln v + 4 ln 10,
// from 0 (1e-4 cm2/g) to 18.4 (1e4 cm2/g); on the fraction plot ten times the fraction,
// from 0 to 10. The frames reach further out for labels, with navy bands above and below
// the cross-section plot.
namespace crossSectionFrame {
inline constexpr double plotRight = 11.5;
inline constexpr double plotTop = 18.4;
inline constexpr double fractionTop = 10.0;
inline constexpr double frameLeft = -1.5;
inline constexpr double frameRight = 12.0;
inline constexpr double frameTop = 19.1;
inline constexpr double frameBottom = -1.9;
inline constexpr double fractionFrameTop = 10.5;
inline constexpr double fractionFrameBottom = -0.5;
// The read-out answers a little above the cross-section plot's top.
inline constexpr double readOutTop = 18.5;
} // namespace crossSectionFrame

// User frames of the three surfaces: the cross-section plot and the fraction plot of the
// graph window, and the enlarged view.
UserFrame crossSectionPlotFrame();
UserFrame fractionPlotFrame();
UserFrame enlargedViewFrame();

// Whether the read-out answers a pointer at (x, y) over the cross-section plot, and over
// the fraction plot: within the plot area, its edges included.
bool overCrossSectionPlot(double x, double y);
bool overFractionPlot(double x, double y);

// Y at which the read-out places its line for a total (cm2/g): ln t + 9.212.
double readOutTotalY(double total);

} // namespace tarvo
