#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace tarvo {
class GraphSurface;
}

namespace tarvo::coefview {

// The coefficient plot above the ratio plot, with five cursor lines, the ratio read-out
// and the enlarged-view button.
class GraphWindow : public QWidget {
    Q_OBJECT
  public:
    explicit GraphWindow(QWidget* parent = nullptr);

    // The two plots, the ratio read-out and the button that adds to the enlarged view.
    GraphSurface& coefficientPlot() { return *m_coefficientPlot; }
    GraphSurface& ratioPlot() { return *m_ratioPlot; }
    QLineEdit& readOut() { return *m_readOut; }
    QPushButton& enlargeButton() { return *m_enlargeButton; }

    // Places and shows the five cursor lines: energy lines at x, coefficient lines at the
    // three y values.
    void placeCursor(double x, double attenuationY, double transferY, double absorptionY);
    void hideCursor();
    bool cursorShown() const;
    double cursorX() const;
    double attenuationCursorY() const;

  private:
    void createControls();

    GraphSurface* m_coefficientPlot = nullptr;
    GraphSurface* m_ratioPlot = nullptr;
    QLineEdit* m_readOut = nullptr;
    QPushButton* m_enlargeButton = nullptr;
    int m_energyLine = 0;
    int m_ratioEnergyLine = 0;
    int m_attenuationLine = 0;
    int m_transferLine = 0;
    int m_absorptionLine = 0;
};

} // namespace tarvo::coefview
