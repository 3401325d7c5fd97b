#pragma once

#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvo {

class CrossingList;
class OtherSideFields;

} // namespace tarvo

namespace tarvo::xsview {

// The loaded table's rows and the six cross sections at one energy.
class ValuesWindow : public QWidget {
    Q_OBJECT
  public:
    // The seven value fields in window order.
    enum class Field {
        energy,
        coherent,
        incoherent,
        photoelectric,
        pairNuclear,
        pairElectron,
        total
    };

    explicit ValuesWindow(QWidget* parent = nullptr);
    ~ValuesWindow() override;

    // The table's rows, the value fields, the two "⇒" buttons and the CSV export.
    QListWidget& rowList() { return *m_rowList; }
    QLineEdit& field(Field which) { return *m_fields[static_cast<size_t>(which)]; }
    QPushButton& energyButton() { return *m_energyButton; }
    QPushButton& totalButton() { return *m_totalButton; }
    QPushButton& exportButton() { return *m_exportButton; }
    // The six values across an absorption edge, beside the fields, and every energy of a
    // typed total.
    OtherSideFields& otherSide() { return *m_otherSide; }
    CrossingList& crossingList() { return *m_crossings; }

    // Empties the seven fields.
    void clearFields();
    // Enables or disables the seven fields and their captions.
    void enableFields(bool enabled);

  private:
    void createControls();
    QWidget* createValueGrid();
    QWidget* createListHeading();

    QListWidget* m_rowList = nullptr;
    std::array<QLineEdit*, 7> m_fields{};
    std::array<QLabel*, 7> m_captions{};
    QPushButton* m_energyButton = nullptr;
    QPushButton* m_totalButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    std::unique_ptr<OtherSideFields> m_otherSide;
    CrossingList* m_crossings = nullptr;
};

} // namespace tarvo::xsview
