#pragma once

#include "common/table_kinds.h"

#include "common/composition_row.h"
#include "common/material_category.h"
#include "common/user_prompts.h"

#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QButtonGroup;
class QGridLayout;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace tarvo {

// What a creator's formula box takes: nothing (no box), one formula whose atoms fill the
// rows, or formulas with shares by weight whose elements fill the rows as weight %.
enum class FormulaEntry { none, atoms, weightPercent };

// The texts and rules of one creator window.
struct CreatorTexts {
    QString title;
    QString heading;
    QString subheading; // empty: none
    QString nameLabel;
    QString defaultName;
    QString hint;
    QString listCaption;
    QString tableCaption;
    QString numberHeader; // empty: none
    QString amountHeader;
    QString fileLabel;
    QString categoryLabel;
    int rows = 5;
    QString amountPrompt;
    bool positiveAmounts = false;  // a non-positive amount is refused with badAmountMessage
    bool elementCellPicks = false; // a click on the element cell picks like the number
    QString emptyNameMessage;
    QString badDensityMessage;
    QString badCountMessage;
    QString noElementMessage;
    QString badAmountMessage;
    QString emptyFileNameMessage;
    QString emptyFileNameOnEnter; // empty: Enter in the file-name box only moves on
    QString failureMessage;
    QString failureTitle; // empty: no title of its own
    MessageIcon failureIcon = MessageIcon::Exclamation;
    bool countFromBoxAtSave = false;                // the save reads the count box again
    TableKind tableKind = TableKind::crossSections; // the tables read and written
    FormulaEntry formulaEntry = FormulaEntry::none;
};

// What a save combines and writes.
struct CreatorInput {
    std::vector<CompositionRow> rows; // rows 1 to N
    std::string name;
    double density = 0.0;
    std::string path; // the table to write ("mix\Water.mix2")
};

// Combines and writes the new table to the input's path; false with `error` set.
using CreatorSave = std::function<bool(const CreatorInput&, std::string& error)>;

// A creator of new material tables from element tables by the Bragg additivity rule.
class CreatorWindow : public QWidget {
    Q_OBJECT
  public:
    CreatorWindow(const CreatorTexts& texts, CreatorSave save, UserPrompts& prompts,
                  QWidget* parent = nullptr);

    // Resets the inputs (the category stays) and shows the window.
    void open();
    // Lists the element tables of the creator's directory.
    void refreshElementList();

    void confirmElementCount();
    // Enter in the formula box: the count, the element cells and the amounts filled as if
    // picked and typed by hand; a formula that cannot be read is shown with its place.
    void fillFromFormula();
    // Row numbers count from 1.
    void pickElement(int row);
    void editAmount(int row);
    void cancelCreator();
    void saveNewMaterial();

    const CompositionRow& row(int row) const { return m_rows.at(static_cast<size_t>(row - 1)); }
    // The rows' capacity (5 or 15) and the confirmed number of elements.
    int rowCount() const { return static_cast<int>(m_rows.size()); }
    double elementCount() const { return m_elementCount; }

    // The window's controls; the row cells count rows from 1.
    QLineEdit& nameField() { return *m_nameField; }
    QLineEdit& densityField() { return *m_densityField; }
    QLineEdit& countField() { return *m_countField; }
    QLineEdit& fileNameField() { return *m_fileNameField; }
    // The formula box; nothing where the creator has none.
    QLineEdit* formulaField() { return m_formulaField; }
    QListWidget& elementList() { return *m_elementList; }
    QButtonGroup& categories() { return *m_categories; }
    QPushButton& confirmButton() { return *m_confirmButton; }
    QPushButton& saveButton() { return *m_saveButton; }
    QPushButton& cancelButton() { return *m_cancelButton; }
    QPushButton& numberLabel(int row) { return *m_numberLabels.at(static_cast<size_t>(row - 1)); }
    QPushButton& elementCell(int row) { return *m_elementCells.at(static_cast<size_t>(row - 1)); }
    QPushButton& amountCell(int row) { return *m_amountCells.at(static_cast<size_t>(row - 1)); }

  signals:
    // The window closed itself: after a save (`saved`), a Cancel or its close box.
    void closed(bool saved);

  protected:
    // The close box means Cancel.
    void closeEvent(QCloseEvent* event) override;

  private:
    void createControls();
    QWidget* createRowTable();
    QWidget* createBottom();
    void connectSignals();
    void fileNameEntered();
    void askAmount(int row);
    void setRowElement(int row, const QString& file);
    void setRowAmount(int row, const QString& amount);
    void addFormulaBox(QGridLayout& inputs, int row);
    QListWidgetItem* elementItem(int atomicNumber) const;
    void nameRow(int row);
    void showRow(int row, bool visible);
    void hideAllRows();
    void reportFailure(const std::string& reason);
    // The message refusing the density box's text, if it is refused.
    std::optional<QString> densityRefusal() const;

    CreatorTexts m_texts;
    CreatorSave m_save;
    UserPrompts& m_prompts;
    std::vector<CompositionRow> m_rows;
    double m_elementCount = 0.0;
    QLineEdit* m_nameField = nullptr;
    QLineEdit* m_densityField = nullptr;
    QLineEdit* m_countField = nullptr;
    QLineEdit* m_fileNameField = nullptr;
    QLineEdit* m_formulaField = nullptr;
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
