#pragma once

#include "common/composition_row.h"
#include "common/user_prompts.h"

#include <QWidget>

#include <vector>

class QButtonGroup;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tarvo {

// Which creator: a compound by atoms (5 rows) or a mixture by weight (15 rows).
enum class CreatorKind { compound, mixture };

// A creator of new material tables by the Bragg additivity rule from the element tables.
class CreatorWindow : public QWidget {
    Q_OBJECT
  public:
    CreatorWindow(CreatorKind kind, UserPrompts& prompts, QWidget* parent = nullptr);

    // Resets the inputs (the category stays) and shows the window.
    void open();
    // Lists the element tables of directory "ele".
    void refreshElementList();

    void confirmElementCount();
    // Row numbers count from 1.
    void pickElement(int row);
    void editAmount(int row);
    void cancelCreator();
    void saveNewMaterial();

    const CompositionRow& row(int row) const { return m_rows.at(static_cast<size_t>(row - 1)); }
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    double elementCount() const { return m_elementCount; }

    QLineEdit& nameField() { return *m_nameField; }
    QLineEdit& densityField() { return *m_densityField; }
    QLineEdit& countField() { return *m_countField; }
    QLineEdit& fileNameField() { return *m_fileNameField; }
    QListWidget& elementList() { return *m_elementList; }
    QButtonGroup& categories() { return *m_categories; }
    QPushButton& confirmButton() { return *m_confirmButton; }
    QPushButton& saveButton() { return *m_saveButton; }
    QPushButton& cancelButton() { return *m_cancelButton; }
    QPushButton& numberLabel(int row) { return *m_numberLabels.at(static_cast<size_t>(row - 1)); }
    QPushButton& elementCell(int row) { return *m_elementCells.at(static_cast<size_t>(row - 1)); }
    QPushButton& amountCell(int row) { return *m_amountCells.at(static_cast<size_t>(row - 1)); }

  signals:
    // The window closed itself: after a save (`saved`) or a Cancel.
    void closed(bool saved);

  private:
    void createControls();
    QWidget* createRowTable();
    QWidget* createBottom();
    void connectSignals();
    void askAmount(int row);
    void showRow(int row, bool visible);
    void hideAllRows();
    void reportFailure();

    CreatorKind m_kind;
    UserPrompts& m_prompts;
    std::vector<CompositionRow> m_rows;
    double m_elementCount = 0.0;
    QLineEdit* m_nameField = nullptr;
    QLineEdit* m_densityField = nullptr;
    QLineEdit* m_countField = nullptr;
    QLineEdit* m_fileNameField = nullptr;
    QListWidget* m_elementList = nullptr;
    QButtonGroup* m_categories = nullptr;
    QPushButton* m_confirmButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    std::vector<QPushButton*> m_numberLabels;
    std::vector<QPushButton*> m_elementCells;
    std::vector<QPushButton*> m_amountCells;
};

} // namespace tarvo
