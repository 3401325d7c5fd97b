#pragma once

#include <QWidget>

class QPushButton;

namespace tarvo {

class GraphSurface;

} // namespace tarvo

namespace tarvo::xsview {

// The cross-section plot above the fraction plot, with the enlarged-view button and four
// yellow crosshair lines.
class GraphWindow : public QWidget {
    Q_OBJECT
  public:
    explicit GraphWindow(QWidget* parent = nullptr);

    // The two plots and the button that adds to the enlarged view.
    GraphSurface& crossSectionPlot() { return *m_crossSectionPlot; }
    GraphSurface& fractionPlot() { return *m_fractionPlot; }
    QPushButton& enlargeButton() { return *m_enlargeButton; }

    // Crosshair lines: each spans its plot's plotted area.
    void placeCrossSectionVertical(double x);
    void placeCrossSectionHorizontal(double y);
    void placeFractionVertical(double x);
    void placeFractionHorizontal(double y);
    void hideCrosshair();
    bool crossSectionVerticalShown() const;
    double crossSectionVerticalX() const;
    double crossSectionHorizontalY() const;
    bool crossSectionHorizontalShown() const;
    bool fractionVerticalShown() const;
    bool fractionHorizontalShown() const;

  private:
    void createControls();

    GraphSurface* m_crossSectionPlot = nullptr;
    GraphSurface* m_fractionPlot = nullptr;
    QPushButton* m_enlargeButton = nullptr;
    int m_topVertical = 0;
    int m_topHorizontal = 0;
    int m_bottomVertical = 0;
    int m_bottomHorizontal = 0;
};

} // namespace tarvo::xsview
