#include "graph_window.h"

#include "coefview/coefficient_plot.h"
#include "common/accessible_names.h"
#include "common/graph_surface.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarvo::coefview {

GraphWindow::GraphWindow(QWidget* parent) : QWidget(parent) {
    createControls();
}

void GraphWindow::createControls() {
    m_coefficientPlot = new GraphSurface(coefficientPlotFrame(), 12.0, this);
    m_ratioPlot = new GraphSurface(ratioPlotFrame(), 12.0, this);
    // The values window of the same title is the plots' text alternative.
    m_coefficientPlot->setAccessibleDescription(QStringLiteral(
        "μ/ρ, μtr/ρ and μen/ρ against photon energy; the values are listed in the values "
        "window of the same title"));
    m_ratioPlot->setAccessibleDescription(QStringLiteral(
        "The ratio μen/μtr against photon energy; the values are listed in the values window "
        "of the same title"));
    for (GraphSurface* surface : {m_coefficientPlot, m_ratioPlot}) {
        surface->setBackground(paletteColor(1));
        surface->setForeground(paletteColor(15));
        surface->clear();
    }
    m_energyLine = m_coefficientPlot->addOverlayLine(paletteColor(15));
    m_attenuationLine = m_coefficientPlot->addOverlayLine(QColor(255, 255, 0));
    m_transferLine = m_coefficientPlot->addOverlayLine(QColor(0, 255, 0));
    m_absorptionLine = m_coefficientPlot->addOverlayLine(QColor(255, 0, 0));
    m_ratioEnergyLine = m_ratioPlot->addOverlayLine(paletteColor(15));
    m_readOut = new QLineEdit(this);
    m_readOut->setReadOnly(true);
    m_readOut->setMaximumWidth(90);
    nameControl(m_readOut, QStringLiteral("μen/ρ over μtr/ρ at the cursor"));
    m_enlargeButton = new QPushButton(QStringLiteral("Enlarged View"), this);
    m_enlargeButton->setEnabled(false);
    auto* fraction =
        new QLabel(QStringLiteral("<center>μ<sub>en</sub>/ρ<hr>μ<sub>tr</sub>/ρ</center>"), this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_coefficientPlot, 0, 0, 1, 4);
    layout->addWidget(m_ratioPlot, 1, 0, 1, 4);
    layout->addWidget(fraction, 2, 0);
    layout->addWidget(m_readOut, 2, 1);
    layout->addWidget(m_enlargeButton, 2, 3, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void GraphWindow::placeCursor(double x, double attenuationY, double transferY, double absorptionY) {
    using namespace coefficientFrame;
    m_coefficientPlot->moveOverlayLine(m_energyLine, x, 0, x, plotTop);
    m_coefficientPlot->moveOverlayLine(m_attenuationLine, 0, attenuationY, plotRight, attenuationY);
    m_coefficientPlot->moveOverlayLine(m_transferLine, 0, transferY, plotRight, transferY);
    m_coefficientPlot->moveOverlayLine(m_absorptionLine, 0, absorptionY, plotRight, absorptionY);
    m_ratioPlot->moveOverlayLine(m_ratioEnergyLine, x, 0, x, ratioTop);
    for (int line : {m_energyLine, m_attenuationLine, m_transferLine, m_absorptionLine}) {
        m_coefficientPlot->showOverlayLine(line, true);
    }
    m_ratioPlot->showOverlayLine(m_ratioEnergyLine, true);
}

void GraphWindow::hideCursor() {
    for (int line : {m_energyLine, m_attenuationLine, m_transferLine, m_absorptionLine}) {
        m_coefficientPlot->showOverlayLine(line, false);
    }
    m_ratioPlot->showOverlayLine(m_ratioEnergyLine, false);
}

bool GraphWindow::cursorShown() const {
    return m_coefficientPlot->overlayLineVisible(m_energyLine);
}

double GraphWindow::cursorX() const {
    return m_coefficientPlot->overlayLineX(m_energyLine);
}

double GraphWindow::attenuationCursorY() const {
    return m_coefficientPlot->overlayLineY(m_attenuationLine);
}

} // namespace tarvo::coefview
