#include "filter_rows_editor.h"

#include "coefview/thickness_units.h"
#include "common/accessible_names.h"
#include "common/numeric_text.h"

#include <QComboBox>
#include <QCompleter>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvo::coefview {
namespace {

enum Column { material, thickness, unit, density, up, down, remove };

std::optional<double> typedNumber(const QLineEdit& box) {
    return strictNumber(trimBlanks(box.text().toStdString()));
}

QToolButton* makeRowButton(const QString& text, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

} // namespace

FilterRowsEditor::FilterRowsEditor(const QStringList& materials, QWidget* parent)
    : QWidget(parent), m_names(materialCompleter(materials, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* heading = new QHBoxLayout;
    heading->addWidget(new QLabel(QStringLiteral("Filters, in the order the beam meets them:")));
    heading->addStretch();
    m_addButton = new QPushButton(QStringLiteral("Add filter"), this);
    heading->addWidget(m_addButton);
    layout->addLayout(heading);
    m_grid = new QGridLayout;
    const char* headings[] = {"Material", "Thickness", "Unit", "Density, g/cm³ (of a formula)"};
    for (int column = 0; column < 4; ++column) {
        m_grid->addWidget(new QLabel(QString::fromUtf8(headings[column]), this), 0, column);
    }
    m_grid->setColumnStretch(Column::material, 2);
    layout->addLayout(m_grid);
    connect(m_addButton, &QPushButton::clicked, this, [this] {
        if (addRow(QString(), QStringLiteral("0"))) {
            at(rowCount() - 1).material->setFocus();
        }
    });
}

FilterRowsEditor::Row FilterRowsEditor::makeRow(int row) {
    Row widgets;
    widgets.material = new QLineEdit(this);
    widgets.material->setCompleter(m_names);
    widgets.thickness = new QLineEdit(this);
    widgets.unit = makeThicknessUnitList(this, ThicknessUnit::millimetre);
    widgets.density = new QLineEdit(this);
    widgets.density->setPlaceholderText(QStringLiteral("the table's"));
    widgets.up = makeRowButton(QStringLiteral("↑"), this);
    widgets.down = makeRowButton(QStringLiteral("↓"), this);
    widgets.remove = makeRowButton(QStringLiteral("Remove"), this);
    QWidget* const inRow[] = {widgets.material, widgets.thickness, widgets.unit,  widgets.density,
                              widgets.up,       widgets.down,      widgets.remove};
    QWidget* previous = row == 0 ? static_cast<QWidget*>(m_addButton) : at(row - 1).remove;
    for (int column = 0; column < 7; ++column) {
        m_grid->addWidget(inRow[column], row + 1, column);
        // The keyboard goes row by row, whenever the row was made.
        QWidget::setTabOrder(previous, inRow[column]);
        previous = inRow[column];
    }
    return widgets;
}

void FilterRowsEditor::nameRow(int row) {
    const Row& widgets = at(row);
    const QString number = QString::number(row + 1);
    nameControl(widgets.material, QStringLiteral("Material of filter ") + number);
    nameControl(widgets.thickness, QStringLiteral("Thickness of filter ") + number);
    nameControl(widgets.unit, QStringLiteral("Unit of filter ") + number);
    nameControl(widgets.density, QStringLiteral("Density of filter ") + number);
    nameControl(widgets.up, QStringLiteral("Move filter ") + number + QStringLiteral(" up"));
    nameControl(widgets.down, QStringLiteral("Move filter ") + number + QStringLiteral(" down"));
    nameControl(widgets.remove, QStringLiteral("Remove filter ") + number);
}

void FilterRowsEditor::connectRow(const Row& widgets) {
    connect(widgets.material, &QLineEdit::textChanged, this, &FilterRowsEditor::changed);
    connect(widgets.thickness, &QLineEdit::textChanged, this, &FilterRowsEditor::changed);
    connect(widgets.unit, &QComboBox::currentIndexChanged, this, &FilterRowsEditor::changed);
    connect(widgets.density, &QLineEdit::textChanged, this, &FilterRowsEditor::changed);
    // A row's buttons act on the row they stand in when pressed, which moves as rows go.
    connect(widgets.up, &QToolButton::clicked, this,
            [this, button = widgets.up] { moveRow(rowHolding(button), -1); });
    connect(widgets.down, &QToolButton::clicked, this,
            [this, button = widgets.down] { moveRow(rowHolding(button), 1); });
    connect(widgets.remove, &QToolButton::clicked, this,
            [this, button = widgets.remove] { removeRow(rowHolding(button)); });
}

bool FilterRowsEditor::addRow(const QString& material, const QString& thickness,
                              ThicknessUnit unit) {
    if (rowCount() >= kMostRows) {
        return false;
    }
    m_rows.push_back(makeRow(rowCount()));
    const Row& widgets = m_rows.back();
    widgets.material->setText(material);
    widgets.thickness->setText(thickness);
    chooseThicknessUnit(*widgets.unit, unit);
    nameRow(rowCount() - 1);
    connectRow(widgets);
    showButtonStates();
    emit changed();
    return true;
}

void FilterRowsEditor::removeRow(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    const bool focusInRow = at(row).remove->hasFocus();
    for (int below = row + 1; below < rowCount(); ++below) {
        setContent(below - 1, contentOf(below));
    }
    Row last = m_rows.back();
    m_rows.pop_back();
    for (QWidget* widget :
         std::initializer_list<QWidget*>{last.material, last.thickness, last.unit, last.density,
                                         last.up, last.down, last.remove}) {
        widget->hide();
        widget->deleteLater();
    }
    showButtonStates();
    if (focusInRow) {
        const int next = std::min(row, rowCount() - 1);
        (next >= 0 ? static_cast<QWidget*>(at(next).remove) : m_addButton)->setFocus();
    }
    emit changed();
}

void FilterRowsEditor::moveRow(int row, int by) {
    const int other = row + by;
    if (row < 0 || row >= rowCount() || other < 0 || other >= rowCount()) {
        return;
    }
    const RowContent moved = contentOf(row);
    setContent(row, contentOf(other));
    setContent(other, moved);
    showButtonStates();
    QToolButton* pressed = by < 0 ? at(other).up : at(other).down;
    (pressed->isEnabled() ? pressed : at(other).remove)->setFocus();
    emit changed();
}

FilterRowsEditor::RowContent FilterRowsEditor::contentOf(int row) const {
    const Row& widgets = m_rows.at(static_cast<std::size_t>(row));
    return {widgets.material->text(), widgets.thickness->text(), widgets.unit->currentIndex(),
            widgets.density->text()};
}

void FilterRowsEditor::setContent(int row, const RowContent& content) {
    Row& widgets = at(row);
    const QSignalBlocker blockMaterial(widgets.material), blockThickness(widgets.thickness),
        blockUnit(widgets.unit), blockDensity(widgets.density);
    widgets.material->setText(content.material);
    widgets.thickness->setText(content.thickness);
    widgets.unit->setCurrentIndex(content.unit);
    widgets.density->setText(content.density);
}

int FilterRowsEditor::rowHolding(const QObject* widget) const {
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        const Row& widgets = m_rows[row];
        if (widget == widgets.up || widget == widgets.down || widget == widgets.remove) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

void FilterRowsEditor::showButtonStates() {
    for (int row = 0; row < rowCount(); ++row) {
        at(row).up->setEnabled(row > 0);
        at(row).down->setEnabled(row + 1 < rowCount());
    }
    m_addButton->setEnabled(rowCount() < kMostRows);
}

QWidget* FilterRowsEditor::boxOf(BeamEntry entry, int row) {
    if (row < 0 || row >= rowCount()) {
        return nullptr;
    }
    switch (entry) {
    case BeamEntry::filterMaterial:
        return at(row).material;
    case BeamEntry::filterThickness:
        return at(row).thickness;
    case BeamEntry::filterDensity:
        return at(row).density;
    default:
        return nullptr;
    }
}

std::variant<std::vector<FilterRow>, BeamProblem> FilterRowsEditor::typedRows() const {
    std::vector<FilterRow> rows;
    for (int row = 0; row < rowCount(); ++row) {
        const Row& widgets = m_rows[static_cast<std::size_t>(row)];
        FilterRow typed;
        typed.material = trimBlanks(widgets.material->text().toStdString());
        if (typed.material.empty()) {
            return BeamProblem{BeamEntry::filterMaterial, row, "type a material or a formula"};
        }
        const auto thickness = typedNumber(*widgets.thickness);
        if (!thickness) {
            return BeamProblem{BeamEntry::filterThickness, row, "type a number, 0 or more"};
        }
        typed.thickness = *thickness;
        typed.unit = chosenThicknessUnit(*widgets.unit);
        if (!widgets.density->text().trimmed().isEmpty()) {
            typed.density = typedNumber(*widgets.density);
            if (!typed.density) {
                return BeamProblem{BeamEntry::filterDensity, row,
                                   "type a number above 0, or nothing for the table's own"};
            }
        }
        rows.push_back(std::move(typed));
    }
    return rows;
}

} // namespace tarvo::coefview
