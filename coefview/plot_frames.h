#pragma once

#include "common/plot_geometry.h"

namespace tarvo {

// Where the coefficient viewer draws, in user units. X is ln E + 3 ln 10, from 0 (1 keV)
// to 11.5; on the coefficient plot Y is ln v + 3 ln 10, from 0 (1e-3 cm2/g) to 16.1
// (1e4 cm2/g); on the ratio plot Y is the ratio mu_en/mu_tr less 0.1, from 0 to 1. The
// frames reach further out for labels.
namespace coefficientFrame {
inline constexpr double plotRight = 11.5;
inline constexpr double plotTop = 16.1;
inline constexpr double ratioTop = 1.0;
inline constexpr double frameLeft = -1.5;
inline constexpr double frameRight = 12.0;
inline constexpr double frameTop = 16.6;
inline constexpr double frameBottom = -1.9;
inline constexpr double ratioFrameTop = 1.02;
inline constexpr double ratioFrameBottom = -0.08;
// The cursor answers up to 9.903 (20 MeV) and below 16.1, in single precision.
inline constexpr float cursorRight = 9.903f;
inline constexpr float cursorTop = 16.1f;
} // namespace coefficientFrame

// User frames of the coefficient plot, the ratio plot and the enlarged view.
UserFrame coefficientPlotFrame();
UserFrame ratioPlotFrame();
UserFrame coefficientEnlargedFrame();

// Y of a coefficient (cm2/g): ln v + 3 ln 10, so 0.001 cm2/g lies at the frame's bottom.
double coefficientY(double value);

// Y at which the cursor places its line for a coefficient (cm2/g): ln v + 6.909.
double cursorY(double value);

// Whether the cursor answers a pointer at (x, y): strictly inside 0 < x < 9.903 and
// 0 < y < 16.1, compared in single precision.
bool cursorInside(double x, double y);

// The row the cursor read-out marks at (x, y), or 0 when the pointer counts as outside:
// beyond the cursor's bounds, no row right of x, or the first row already right of it.
int cursorRow(const ReadingTable& table, double x, double y);

} // namespace tarvo
