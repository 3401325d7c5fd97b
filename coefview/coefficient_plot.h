#pragma once

#include "coefview/coefficient_table.h"
#include "coefview/plot_frames.h"

namespace tarvo {

class GraphSurface;

} // namespace tarvo

namespace tarvo::coefview {

// The coefficient plot: grid, the three curves, legend, frame and labels.
void drawCoefficientPlot(GraphSurface& surface, const CoefficientTable& table);

// The ratio plot: grid, the mu_en/mu_tr curve (minus 0.1), frame and labels.
void drawRatioPlot(GraphSurface& surface, const CoefficientTable& table);

// The enlarged view's frame without curves.
void drawCoefficientEnlargedFrame(GraphSurface& surface);

// Adds a table's three curves to the enlarged view; with `gaps` a navy circle around every
// point after the first.
void addCoefficientCurves(GraphSurface& surface, const CoefficientTable& table, bool gaps);

} // namespace tarvo::coefview
