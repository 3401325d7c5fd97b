#include "graph_window.h"

#include "common/graph_surface.h"
#include "xsview/cross_section_plot.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo::xsview {
namespace {

// A read-out line stands only within the plot: an energy above the plotted range (100 MeV)
// would otherwise draw it in the margin.
bool withinPlotWidth(double x) {
    return x >= 0 && x <= crossSectionFrame::plotRight;
}

} // namespace

GraphWindow::GraphWindow(QWidget* parent) : QWidget(parent) {
    createControls();
}

void GraphWindow::createControls() {
    m_crossSectionPlot = new GraphSurface(crossSectionPlotFrame(), 12.0, this);
    m_fractionPlot = new GraphSurface(fractionPlotFrame(), 12.0, this);
    // The values window of the same title is the plots' text alternative.
    m_crossSectionPlot->setAccessibleDescription(QStringLiteral(
        "Partial cross sections against photon energy; the values are listed in the values "
        "window of the same title"));
    m_fractionPlot->setAccessibleDescription(QStringLiteral(
        "Relative fractions of the interactions against photon energy; the values are listed "
        "in the values window of the same title"));
    for (GraphSurface* surface : {m_crossSectionPlot, m_fractionPlot}) {
        surface->setBackground(paletteColor(1));
        surface->setForeground(paletteColor(15));
        surface->clear();
    }
    const QColor yellow = paletteColor(14);
    m_topVertical = m_crossSectionPlot->addOverlayLine(yellow);
    m_topHorizontal = m_crossSectionPlot->addOverlayLine(yellow);
    m_bottomVertical = m_fractionPlot->addOverlayLine(yellow);
    m_bottomHorizontal = m_fractionPlot->addOverlayLine(yellow);
    m_enlargeButton = new QPushButton(QStringLiteral("Enlarged View"), this);
    m_enlargeButton->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_crossSectionPlot);
    layout->addWidget(m_fractionPlot);
    layout->addWidget(m_enlargeButton, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void GraphWindow::placeCrossSectionVertical(double x) {
    m_crossSectionPlot->moveOverlayLine(m_topVertical, x, 0, x, crossSectionFrame::plotTop);
    m_crossSectionPlot->showOverlayLine(m_topVertical, withinPlotWidth(x));
}

void GraphWindow::placeCrossSectionHorizontal(double y) {
    m_crossSectionPlot->moveOverlayLine(m_topHorizontal, 0, y, crossSectionFrame::plotRight, y);
    m_crossSectionPlot->showOverlayLine(m_topHorizontal, true);
}

void GraphWindow::placeFractionVertical(double x) {
    m_fractionPlot->moveOverlayLine(m_bottomVertical, x, 0, x, crossSectionFrame::fractionTop);
    m_fractionPlot->showOverlayLine(m_bottomVertical, withinPlotWidth(x));
}

void GraphWindow::placeFractionHorizontal(double y) {
    m_fractionPlot->moveOverlayLine(m_bottomHorizontal, 0, y, crossSectionFrame::plotRight, y);
    m_fractionPlot->showOverlayLine(m_bottomHorizontal, true);
}

void GraphWindow::hideCrosshair() {
    m_crossSectionPlot->showOverlayLine(m_topVertical, false);
    m_crossSectionPlot->showOverlayLine(m_topHorizontal, false);
    m_fractionPlot->showOverlayLine(m_bottomVertical, false);
    m_fractionPlot->showOverlayLine(m_bottomHorizontal, false);
}

bool GraphWindow::crossSectionVerticalShown() const {
    return m_crossSectionPlot->overlayLineVisible(m_topVertical);
}

double GraphWindow::crossSectionVerticalX() const {
    return m_crossSectionPlot->overlayLineX(m_topVertical);
}

double GraphWindow::crossSectionHorizontalY() const {
    return m_crossSectionPlot->overlayLineY(m_topHorizontal);
}

bool GraphWindow::crossSectionHorizontalShown() const {
    return m_crossSectionPlot->overlayLineVisible(m_topHorizontal);
}

bool GraphWindow::fractionVerticalShown() const {
    return m_fractionPlot->overlayLineVisible(m_bottomVertical);
}

bool GraphWindow::fractionHorizontalShown() const {
    return m_fractionPlot->overlayLineVisible(m_bottomHorizontal);
}

} // namespace tarvo::xsview
