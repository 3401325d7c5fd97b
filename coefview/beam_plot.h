#pragma once

#include "beams/beam_figures.h"
#include "common/plot_geometry.h"

namespace tarvo {

class GraphSurface;

} // namespace tarvo

namespace tarvo::coefview {

// The user frame of both beam plots: the plot area spans 0 to 1 on either axis, the frame
// reaches further out for the labels.
UserFrame beamPlotFrame();

// The spectrum before and after the filters, photons per keV against keV, the counts on a
// linear or a logarithmic axis; `stale` stamps the plot as of an earlier setting.
void drawSpectrumPlot(GraphSurface& surface, const BeamStudy& study, bool logarithmic, bool stale);

// The air-kerma transmission through the chosen material against its thickness, HVL1 and
// HVL2 marked; `stale` as on the spectrum plot.
void drawTransmissionPlot(GraphSurface& surface, const BeamStudy& study, bool stale);

} // namespace tarvo::coefview
