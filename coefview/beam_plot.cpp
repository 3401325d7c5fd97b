#include "beam_plot.h"

#include "common/graph_surface.h"

#include <algorithm>
#include <cmath>

namespace tarvo::coefview {
namespace {

const QColor kBeforeColour{0, 255, 255};
const QColor kAfterColour{255, 255, 0};
const QColor kFirstLayerColour{0, 255, 0};
const QColor kSecondLayerColour{255, 128, 128};
const QColor kStaleColour{255, 80, 80};

constexpr double kFontPoints = 10.0;

// The height of a line of text in user Y units.
double lineHeight(const GraphSurface& surface) {
    const UserFrame& frame = surface.frame();
    return surface.fontSize() * 96.0 / 72.0 * (frame.top - frame.bottom) / frame.pixelHeight;
}

void printAt(GraphSurface& surface, double x, double y, const std::string& text) {
    surface.setCurrentPoint(x, y);
    surface.print(QString::fromStdString(text));
}

// Grid lines and labels of both axes, the frame box and the axis titles.
void drawAxes(GraphSurface& surface, const PlotAxis& across, const PlotAxis& up,
              const std::string& acrossTitle, const std::string& upTitle) {
    surface.setFontSize(kFontPoints);
    surface.setPenWidth(1);
    const double height = lineHeight(surface);
    for (const AxisTick& tick : axisTicks(across)) {
        surface.line(tick.position, 0, tick.position, 1, kGridColor);
        const QString label = QString::fromStdString(tick.label);
        printAt(surface, tick.position - surface.textWidth(label) / 2, -0.02, tick.label);
    }
    for (const AxisTick& tick : axisTicks(up)) {
        surface.line(0, tick.position, 1, tick.position, kGridColor);
        const QString label = QString::fromStdString(tick.label);
        printAt(surface, -0.015 - surface.textWidth(label), tick.position + height / 2, tick.label);
    }
    surface.box(0, 0, 1, 1, paletteColor(15));
    const QString title = QString::fromStdString(acrossTitle);
    printAt(surface, 0.5 - surface.textWidth(title) / 2, -0.03 - height, acrossTitle);
    printAt(surface, -0.02, 1.02 + height, upTitle);
}

// A curve through points in plot positions, kept inside the plot area.
void drawCurve(GraphSurface& surface, const std::vector<std::array<double, 2>>& points,
               const QColor& colour) {
    surface.setPenWidth(2);
    surface.clipTo(0, 0, 1, 1);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i == 0) {
            surface.setCurrentPoint(points[i][0], points[i][1]);
        } else {
            surface.lineTo(points[i][0], points[i][1], colour);
        }
    }
    surface.unclip();
    surface.setPenWidth(1);
}

// Counts of 0 stand below a logarithmic axis' bottom, where the clip cuts them off.
std::vector<std::array<double, 2>> spectrumPoints(const Spectrum& spectrum, const PlotAxis& across,
                                                  const PlotAxis& up) {
    const std::vector<double> counts = photonsPerKeV(spectrum);
    std::vector<std::array<double, 2>> points;
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const double count = up.logarithmic ? std::max(counts[i], up.low / 1e3) : counts[i];
        points.push_back(
            {axisPosition(across, spectrum.energies[i] * 1e3), axisPosition(up, count)});
    }
    return points;
}

void drawLegend(GraphSurface& surface, const std::string& first, const QColor& firstColour,
                const std::string& second, const QColor& secondColour) {
    surface.setFontSize(kFontPoints);
    const double height = lineHeight(surface);
    const double width = std::max(surface.textWidth(QString::fromStdString(first)),
                                  surface.textWidth(QString::fromStdString(second)));
    const double left = 0.97 - width - 0.1;
    surface.filledBox(left - 0.01, 0.97 - 2.4 * height, 0.98, 0.98, paletteColor(1));
    surface.box(left - 0.01, 0.97 - 2.4 * height, 0.98, 0.98, paletteColor(15));
    const std::pair<const std::string*, QColor> entries[] = {{&first, firstColour},
                                                             {&second, secondColour}};
    double top = 0.97;
    for (const auto& [text, colour] : entries) {
        surface.setPenWidth(2);
        surface.line(left, top - height / 2, left + 0.07, top - height / 2, colour);
        surface.setPenWidth(1);
        printAt(surface, left + 0.09, top, *text);
        top -= 1.15 * height;
    }
}

void stampStale(GraphSurface& surface, bool stale) {
    if (!stale) {
        return;
    }
    const QColor own = surface.foreground();
    surface.setForeground(kStaleColour);
    // Above the plot area, right-aligned, where no curve or legend lies.
    const std::string text = "Stale: the last beam computed";
    printAt(surface, 1.0 - surface.textWidth(QString::fromStdString(text)),
            1.02 + lineHeight(surface), text);
    surface.setForeground(own);
}

// Dashed-looking guide of a layer: up from the thickness axis to the curve, across to the
// transmission axis, with its name beside it.
void markLayer(GraphSurface& surface, double x, double y, const char* name, const QColor& colour) {
    surface.line(x, 0, x, y, colour);
    surface.line(0, y, x, y, colour);
    printAt(surface, x + 0.01, y + lineHeight(surface) + 0.01, name);
}

} // namespace

UserFrame beamPlotFrame() {
    return {-0.14, 1.1, 1.03, -0.16, 560, 300};
}

void drawSpectrumPlot(GraphSurface& surface, const BeamStudy& study, bool logarithmic, bool stale) {
    surface.clear();
    const PlotAxis across = spectrumEnergyAxis(study);
    const PlotAxis up = spectrumCountAxis(study, logarithmic);
    drawAxes(surface, across, up, "Photon energy, keV", "Photons per keV");
    drawCurve(surface, spectrumPoints(study.before, across, up), kBeforeColour);
    drawCurve(surface, spectrumPoints(study.after, across, up), kAfterColour);
    drawLegend(surface, "Before the filters", kBeforeColour, "After the filters", kAfterColour);
    stampStale(surface, stale);
}

void drawTransmissionPlot(GraphSurface& surface, const BeamStudy& study, bool stale) {
    surface.clear();
    if (study.layers.empty()) {
        return;
    }
    const LayerQuality& layer = study.layers.back();
    const LayerLength length = layerLength(layer);
    const PlotAxis across = transmissionThicknessAxis(study);
    const PlotAxis up{0.0, 1.0, false};
    drawAxes(surface, across, up, "Thickness of " + layer.label + ", " + length.unit,
             "Air kerma transmission K(t)/K(0)");
    std::vector<std::array<double, 2>> points;
    for (const auto& [mass, transmission] : study.transmission) {
        points.push_back({axisPosition(across, mass * length.perMassThickness), transmission});
    }
    const double first = layer.quality.firstHalfValueLayer * length.perMassThickness;
    const double second = layer.quality.secondHalfValueLayer * length.perMassThickness;
    surface.setPenWidth(1);
    markLayer(surface, axisPosition(across, first), 0.5, "HVL1", kFirstLayerColour);
    markLayer(surface, axisPosition(across, first + second), 0.25, "HVL2", kSecondLayerColour);
    drawCurve(surface, points, kAfterColour);
    stampStale(surface, stale);
}

} // namespace tarvo::coefview
