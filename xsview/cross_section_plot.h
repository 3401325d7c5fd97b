#pragma once

#include "xsview/plot_frames.h"
#include "xsview/values_at_energy.h"

namespace tarvo {

class GraphSurface;

} // namespace tarvo

namespace tarvo::xsview {

// Text sizes and positions of the frame in the two windows.
enum class FrameStyle { graphWindow, enlargedView };

// The frame steps of a cross-section plot.
void drawGrid(GraphSurface& surface);
void drawMaskingBandsAndBorder(GraphSurface& surface);
void drawLegendBoxesAndLines(GraphSurface& surface);
void drawLegendTexts(GraphSurface& surface, FrameStyle style);
void drawEnergyAxisLabels(GraphSurface& surface, FrameStyle style);
void drawAxisLabels(GraphSurface& surface, FrameStyle style);

// One column as a curve: a point at the left edge, then lines from row to row while the
// energy is at most 100 MeV; pair-production values below 1e-5 drawn at 1e-5 and their
// first point at (0, -0.5). On a fraction plot (`fraction`) Y is 10 times the value.
void drawSeries(GraphSurface& surface, const CrossSectionTable& table, CrossSectionColumn column,
                int colour, bool fraction = false);

// Circles of radius 0.03 around every point of a column up to 100 MeV.
void markSeriesPoints(GraphSurface& surface, const CrossSectionTable& table,
                      CrossSectionColumn column, int colour);

// The cross-section plot of the graph window: grid, six curves, bands, legend, labels.
void drawCrossSectionPlot(GraphSurface& surface, const CrossSectionTable& table);

// The fraction plot: its grid, the five fraction curves, border and texts.
void drawFractionFrame(GraphSurface& surface, const CrossSectionTable& table);

// The frame of the enlarged view without curves.
void drawEnlargedViewFrame(GraphSurface& surface);

// Adds a table's six curves to the enlarged view, with point markers when `markers`.
void addCurvesToEnlargedView(GraphSurface& surface, const CrossSectionTable& table, bool markers);

} // namespace tarvo::xsview
