#pragma once

#include "beams/beam_study.h"

#include <QStringList>
#include <QWidget>

#include <variant>
#include <vector>

class QComboBox;
class QCompleter;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace tarvo::coefview {

// The filters a beam passes, one row each: material (a table of the viewer or a formula),
// thickness with its unit, and a density for a formula; rows are added, removed and moved.
class FilterRowsEditor : public QWidget {
    Q_OBJECT
  public:
    // `materials`: the names the material boxes complete.
    explicit FilterRowsEditor(const QStringList& materials, QWidget* parent = nullptr);

    // The most filter rows.
    static constexpr int kMostRows = 12;

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    // Adds a row below the others (up to kMostRows); false when there are already as many.
    bool addRow(const QString& material, const QString& thickness,
                ThicknessUnit unit = ThicknessUnit::millimetre);
    // Removes a row (from 0); the rows below move up.
    void removeRow(int row);
    // Swaps a row with its neighbour above (-1) or below (+1); the keyboard focus follows.
    void moveRow(int row, int by);

    QPushButton& addButton() { return *m_addButton; }
    QLineEdit& materialBox(int row) { return *at(row).material; }
    QLineEdit& thicknessBox(int row) { return *at(row).thickness; }
    QComboBox& unitList(int row) { return *at(row).unit; }
    QLineEdit& densityBox(int row) { return *at(row).density; }
    QToolButton& upButton(int row) { return *at(row).up; }
    QToolButton& downButton(int row) { return *at(row).down; }
    QToolButton& removeButton(int row) { return *at(row).remove; }
    // The box a problem of the study lies in, or nothing.
    QWidget* boxOf(BeamEntry entry, int row);

    // The rows as typed, or the problem of the first box that holds no number.
    std::variant<std::vector<FilterRow>, BeamProblem> typedRows() const;

  signals:
    // A row was added, removed or moved, or one of its boxes changed.
    void changed();

  private:
    struct Row {
        QLineEdit* material = nullptr;
        QLineEdit* thickness = nullptr;
        QComboBox* unit = nullptr;
        QLineEdit* density = nullptr;
        QToolButton* up = nullptr;
        QToolButton* down = nullptr;
        QToolButton* remove = nullptr;
    };
    struct RowContent {
        QString material;
        QString thickness;
        int unit = 0;
        QString density;
    };

    Row& at(int row) { return m_rows.at(static_cast<std::size_t>(row)); }
    Row makeRow(int row);
    void nameRow(int row);
    void connectRow(const Row& widgets);
    RowContent contentOf(int row) const;
    void setContent(int row, const RowContent& content);
    int rowHolding(const QObject* widget) const;
    void showButtonStates();

    QCompleter* m_names = nullptr;
    QGridLayout* m_grid = nullptr;
    QPushButton* m_addButton = nullptr;
    std::vector<Row> m_rows;
};

} // namespace tarvo::coefview
