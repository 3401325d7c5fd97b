#pragma once

#include <QWidget>

#include <array>
#include <memory>

class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvo {
class CrossingList;
class OtherSideFields;
} // namespace tarvo

namespace tarvo::coefview {

// The current table's rows and the three coefficients at one energy.
class ValuesWindow : public QWidget {
    Q_OBJECT
  public:
    // The four entry rows in window order.
    enum class Box { energy, attenuation, energyTransfer, energyAbsorption };

    explicit ValuesWindow(QWidget* parent = nullptr);
    ~ValuesWindow() override;

    // The table's rows, the entry boxes with their "⇒" buttons, and the two actions.
    QListWidget& rowList() { return *m_rowList; }
    QLineEdit& box(Box which) { return *m_boxes[static_cast<size_t>(which)]; }
    QPushButton& clearButton(Box which) { return *m_clearButtons[static_cast<size_t>(which)]; }
    QPushButton& csvButton() { return *m_csvButton; }
    QPushButton& equalIntervalButton() { return *m_equalIntervalButton; }
    // Opens the attenuation calculator at the energy shown.
    QPushButton& attenuationButton() { return *m_attenuationButton; }
    // Opens the beam window.
    QPushButton& beamButton() { return *m_beamButton; }
    // The three coefficients across an absorption edge, beside the boxes, and every energy
    // of a typed coefficient.
    OtherSideFields& otherSide() { return *m_otherSide; }
    CrossingList& crossingList() { return *m_crossings; }

    // Empties the four entry boxes, the values across an edge and the crossing list.
    void clearBoxes();

  private:
    void createControls();
    QWidget* createEntryRows();

    QListWidget* m_rowList = nullptr;
    std::array<QLineEdit*, 4> m_boxes{};
    std::array<QPushButton*, 4> m_clearButtons{};
    QPushButton* m_csvButton = nullptr;
    QPushButton* m_equalIntervalButton = nullptr;
    QPushButton* m_attenuationButton = nullptr;
    QPushButton* m_beamButton = nullptr;
    std::unique_ptr<OtherSideFields> m_otherSide;
    CrossingList* m_crossings = nullptr;
};

} // namespace tarvo::coefview
