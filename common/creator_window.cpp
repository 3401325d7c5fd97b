#include "creator_window.h"

#include "common/table_files.h"

#include "common/accessible_names.h"
#include "common/button_keys.h"
#include "common/display_text.h"
#include "common/elements.h"
#include "common/formula_mixture.h"
#include "common/main_window.h"
#include "common/number_format.h"
#include "common/numeric_text.h"
#include "common/text_file.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tarvo {
namespace {

QString local(const std::string& text) {
    return displayText(text);
}

std::string text(const QLineEdit* field) {
    return field->text().toLocal8Bit().toStdString();
}

// A name of blanks alone names no file.
bool blankName(const QLineEdit* field) {
    return field->text().trimmed().isEmpty();
}

// The arrow between the element list and the table.
QPixmap arrow() {
    QPixmap pixmap(40, 24);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0, 0, 160));
    painter.setPen(Qt::NoPen);
    const QPointF points[] = {{2, 8}, {24, 8}, {24, 2}, {38, 12}, {24, 22}, {24, 16}, {2, 16}};
    painter.drawPolygon(points, 7);
    return pixmap;
}

} // namespace

CreatorWindow::CreatorWindow(const CreatorTexts& texts, CreatorSave save, UserPrompts& prompts,
                             QWidget* parent)
    : QWidget(parent), m_texts(texts), m_save(std::move(save)), m_prompts(prompts),
      m_rows(static_cast<size_t>(texts.rows)) {
    setWindowTitle(texts.title);
    markAsDialog(*this);
    createControls();
    connectSignals();
    hideAllRows();
}

QWidget* CreatorWindow::createRowTable() {
    auto* table = new QWidget(this);
    auto* layout = new QGridLayout(table);
    layout->setVerticalSpacing(1);
    layout->addWidget(new QLabel(m_texts.numberHeader, table), 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Element"), table), 0, 1);
    layout->addWidget(new QLabel(m_texts.amountHeader, table), 0, 2);
    for (int j = 1; j <= m_texts.rows; ++j) {
        auto* number = new QPushButton(QString::number(j), table);
        number->setFlat(true);
        number->setFixedWidth(32);
        auto* element = new QPushButton(table);
        element->setStyleSheet(
            QStringLiteral("background-color: rgb(255, 255, 192); text-align: left;"));
        element->setMinimumWidth(110);
        auto* amount = new QPushButton(table);
        amount->setStyleSheet(QStringLiteral("text-align: left;"));
        amount->setMinimumWidth(80);
        m_numberLabels.push_back(number);
        m_elementCells.push_back(element);
        m_amountCells.push_back(amount);
        layout->addWidget(number, j, 0);
        layout->addWidget(element, j, 1);
        layout->addWidget(amount, j, 2);
        nameRow(j);
    }
    layout->setRowStretch(m_texts.rows + 1, 1);
    return table;
}

QWidget* CreatorWindow::createBottom() {
    auto* bottom = new QWidget(this);
    auto* layout = new QGridLayout(bottom);
    m_fileNameField = new QLineEdit(bottom);
    m_categories = new QButtonGroup(bottom);
    const char* const names[] = {"Human tissues", "Phantom substances", "Others"};
    auto* options = new QHBoxLayout;
    for (int c = 0; c < 3; ++c) {
        auto* option = new QRadioButton(QString::fromLatin1(names[c]), bottom);
        m_categories->addButton(option, c);
        options->addWidget(option);
    }
    m_categories->button(2)->setChecked(true);
    m_saveButton = new QPushButton(QStringLiteral("OK"), bottom);
    m_cancelButton = new QPushButton(QStringLiteral("Cancel"), bottom);
    auto* fileLabel = new QLabel(m_texts.fileLabel, bottom);
    nameAfterLabel(m_fileNameField, fileLabel);
    layout->addWidget(fileLabel, 0, 0);
    layout->addWidget(m_fileNameField, 0, 1, 1, 2);
    layout->addWidget(new QLabel(m_texts.categoryLabel, bottom), 1, 0);
    layout->addLayout(options, 1, 1, 1, 2);
    layout->addWidget(m_saveButton, 2, 1);
    layout->addWidget(m_cancelButton, 2, 2);
    return bottom;
}

void CreatorWindow::createControls() {
    auto* heading = new QLabel(m_texts.heading, this);
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(13);
    heading->setFont(font);
    m_nameField = new QLineEdit(this);
    m_densityField = new QLineEdit(this);
    m_countField = new QLineEdit(this);
    m_confirmButton = new QPushButton(QStringLiteral("OK"), this);
    m_elementList = new QListWidget(this);
    auto* picture = new QLabel(this);
    picture->setPixmap(arrow());

    auto* inputs = new QGridLayout;
    auto* nameLabel = new QLabel(m_texts.nameLabel, this);
    auto* densityLabel = new QLabel(QStringLiteral("Density"), this);
    auto* countLabel = new QLabel(QStringLiteral("Number of elements"), this);
    auto* listLabel = new QLabel(m_texts.listCaption, this);
    nameAfterLabel(m_nameField, nameLabel);
    nameAfterLabel(m_densityField, densityLabel);
    nameControl(m_densityField, QStringLiteral("Density (g/cm3)"));
    nameAfterLabel(m_countField, countLabel);
    nameAfterLabel(m_elementList, listLabel);
    inputs->addWidget(nameLabel, 0, 0);
    inputs->addWidget(m_nameField, 0, 1, 1, 2);
    inputs->addWidget(densityLabel, 1, 0);
    inputs->addWidget(m_densityField, 1, 1);
    inputs->addWidget(new QLabel(QStringLiteral("g/cm3"), this), 1, 2);
    inputs->addWidget(countLabel, 2, 0);
    inputs->addWidget(m_countField, 2, 1);
    inputs->addWidget(m_confirmButton, 2, 2);
    inputs->addWidget(new QLabel(m_texts.hint, this), 3, 1);
    if (m_texts.formulaEntry != FormulaEntry::none) {
        addFormulaBox(*inputs, 4);
    }

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(listLabel);
    listColumn->addWidget(m_elementList);
    auto* tableColumn = new QVBoxLayout;
    tableColumn->addWidget(new QLabel(m_texts.tableCaption, this));
    tableColumn->addWidget(createRowTable());
    auto* middle = new QHBoxLayout;
    middle->addLayout(listColumn);
    middle->addWidget(picture);
    middle->addLayout(tableColumn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    if (!m_texts.subheading.isEmpty()) {
        layout->addWidget(new QLabel(m_texts.subheading, this));
    }
    layout->addLayout(inputs);
    layout->addLayout(middle, 1);
    layout->addWidget(createBottom());
}

void CreatorWindow::addFormulaBox(QGridLayout& inputs, int row) {
    const bool atoms = m_texts.formulaEntry == FormulaEntry::atoms;
    auto* label =
        new QLabel(atoms ? QStringLiteral("Formula") : QStringLiteral("Formulas by weight"), this);
    m_formulaField = new QLineEdit(this);
    m_formulaField->setPlaceholderText(atoms ? QStringLiteral("Ca5(PO4)3OH, then Enter")
                                             : QStringLiteral("H2O 90; NaCl 10, then Enter"));
    m_formulaField->setToolTip(
        atoms ? QStringLiteral("A chemical formula fills the element rows with its atoms")
              : QStringLiteral("Formulas with shares by weight fill the rows with weight %"));
    nameAfterLabel(m_formulaField, label);
    inputs.addWidget(label, row, 0);
    inputs.addWidget(m_formulaField, row, 1, 1, 2);
    connect(m_formulaField, &QLineEdit::returnPressed, this, &CreatorWindow::fillFromFormula);
    // The box stands above the rows: reached after the count's confirm, before the list.
    setTabOrder(m_confirmButton, m_formulaField);
    setTabOrder(m_formulaField, m_elementList);
}

void CreatorWindow::connectSignals() {
    closeOnEscape(*this);
    // Enter moves through the boxes: name, density, count, confirm; file name, save.
    connect(m_nameField, &QLineEdit::returnPressed, m_densityField,
            qOverload<>(&QWidget::setFocus));
    connect(m_densityField, &QLineEdit::returnPressed, m_countField,
            qOverload<>(&QWidget::setFocus));
    connect(m_countField, &QLineEdit::returnPressed, m_confirmButton,
            qOverload<>(&QWidget::setFocus));
    connect(m_fileNameField, &QLineEdit::returnPressed, this, &CreatorWindow::fileNameEntered);
    connect(m_confirmButton, &QPushButton::clicked, this, &CreatorWindow::confirmElementCount);
    connect(m_saveButton, &QPushButton::clicked, this, &CreatorWindow::saveNewMaterial);
    connect(m_cancelButton, &QPushButton::clicked, this, &CreatorWindow::cancelCreator);
    for (int j = 1; j <= rowCount(); ++j) {
        connect(m_numberLabels[static_cast<size_t>(j - 1)], &QPushButton::clicked, this,
                [this, j] { pickElement(j); });
        connect(m_amountCells[static_cast<size_t>(j - 1)], &QPushButton::clicked, this,
                [this, j] { editAmount(j); });
        if (m_texts.elementCellPicks) {
            connect(m_elementCells[static_cast<size_t>(j - 1)], &QPushButton::clicked, this,
                    [this, j] { pickElement(j); });
        }
    }
}

void CreatorWindow::fileNameEntered() {
    if (blankName(m_fileNameField) && !m_texts.emptyFileNameOnEnter.isEmpty()) {
        m_prompts.showMessage(this, m_texts.emptyFileNameOnEnter, MessageIcon::Exclamation);
        return;
    }
    m_saveButton->setFocus();
}

void CreatorWindow::refreshElementList() {
    const TableFolders& folders = tableFolders(m_texts.tableKind);
    fillFileList(*m_elementList, std::string(folders.elementFolder),
                 std::string(folders.elementExtension));
}

void CreatorWindow::open() {
    // Element tables added while the viewer runs are listed the next time it opens.
    refreshElementList();
    m_nameField->setText(m_texts.defaultName);
    m_densityField->setText(QStringLiteral("9.999"));
    m_countField->clear();
    m_fileNameField->clear();
    if (m_formulaField != nullptr) {
        m_formulaField->clear();
    }
    for (int j = 1; j <= rowCount(); ++j) {
        m_rows[static_cast<size_t>(j - 1)] = CompositionRow{};
        m_elementCells[static_cast<size_t>(j - 1)]->setText(QString());
        m_amountCells[static_cast<size_t>(j - 1)]->setText(QString());
        nameRow(j);
    }
    hideAllRows();
    m_elementList->show();
    m_saveButton->setEnabled(false);
    show();
    raise();
    // Each opening starts at the name, not where the last use of the window left off.
    m_nameField->setFocus();
}

// The cells' names say which row they belong to and what they hold.
void CreatorWindow::nameRow(int row) {
    const auto index = static_cast<size_t>(row - 1);
    const auto withContent = [](QString name, const QString& content) {
        return content.isEmpty() ? name : name + QStringLiteral(": ") + content;
    };
    const QString number = QString::number(row);
    nameControl(m_numberLabels[index], QStringLiteral("Put the selected element in row ") + number);
    nameControl(m_elementCells[index], withContent(QStringLiteral("Element of row ") + number,
                                                   m_elementCells[index]->text()));
    nameControl(m_amountCells[index], withContent(plainCaption(m_texts.amountHeader) +
                                                      QStringLiteral(" of row ") + number,
                                                  m_amountCells[index]->text()));
}

void CreatorWindow::showRow(int row, bool visible) {
    m_rows[static_cast<size_t>(row - 1)].visible = visible;
    m_numberLabels[static_cast<size_t>(row - 1)]->setVisible(visible);
    m_elementCells[static_cast<size_t>(row - 1)]->setVisible(visible);
    m_amountCells[static_cast<size_t>(row - 1)]->setVisible(visible);
}

void CreatorWindow::hideAllRows() {
    for (int j = 1; j <= rowCount(); ++j) {
        showRow(j, false);
    }
}

std::optional<QString> CreatorWindow::densityRefusal() const {
    std::string reason;
    if (typedDensity(text(m_densityField), reason)) {
        return std::nullopt;
    }
    return reason.empty()
               ? m_texts.badDensityMessage
               : m_texts.badDensityMessage + QLatin1Char('\n') + QString::fromStdString(reason);
}

void CreatorWindow::confirmElementCount() {
    if (m_nameField->text().isEmpty()) {
        m_prompts.showMessage(this, m_texts.emptyNameMessage, MessageIcon::Exclamation);
        m_nameField->setText(m_texts.defaultName);
        return;
    }
    if (const std::optional<QString> refusal = densityRefusal()) {
        m_prompts.showMessage(this, *refusal, MessageIcon::Exclamation);
        m_densityField->setText(QStringLiteral("9.999"));
        return;
    }
    const std::optional<double> count = typedElementCount(text(m_countField), m_texts.rows);
    if (!count) {
        m_prompts.showMessage(this, m_texts.badCountMessage, MessageIcon::Exclamation);
        return;
    }
    m_elementCount = *count;
    for (int j = 1; j <= rowCount() && j <= *count; ++j) {
        showRow(j, true);
    }
    m_saveButton->setEnabled(true);
    m_elementList->setFocus();
}

void CreatorWindow::pickElement(int row) {
    // The selection, not the keyboard's current entry: assistive technology selects
    // without moving it.
    const QList<QListWidgetItem*> chosen = m_elementList->selectedItems();
    if (chosen.size() != 1) {
        m_prompts.showMessage(this, m_texts.noElementMessage, MessageIcon::Exclamation);
        return;
    }
    setRowElement(row, chosen.front()->text());
    askAmount(row);
}

void CreatorWindow::setRowElement(int row, const QString& file) {
    CompositionRow& entry = m_rows[static_cast<size_t>(row - 1)];
    entry.elementFile = file.toLocal8Bit().toStdString();
    entry.elementCell = entry.elementFile;
    m_elementCells[static_cast<size_t>(row - 1)]->setText(file);
    nameRow(row);
}

void CreatorWindow::editAmount(int row) {
    askAmount(row);
}

void CreatorWindow::askAmount(int row) {
    const CompositionRow& entry = m_rows[static_cast<size_t>(row - 1)];
    setRowAmount(row, m_prompts.askText(this, m_texts.amountPrompt, local(entry.amountCell)));
}

void CreatorWindow::setRowAmount(int row, const QString& answer) {
    CompositionRow& entry = m_rows[static_cast<size_t>(row - 1)];
    entry.amountCell = answer.toLocal8Bit().toStdString();
    m_amountCells[static_cast<size_t>(row - 1)]->setText(answer);
    nameRow(row);
    // A compound's atoms are refused at once; shares by weight are checked at saving.
    if (m_texts.positiveAmounts && !typedAtomCount(entry.amountCell)) {
        m_prompts.showMessage(this, m_texts.badAmountMessage, MessageIcon::Exclamation);
        return;
    }
    entry.amount = numericValue(entry.amountCell);
}

// The list entry of an element's table ("08_O.ele"), found by its atomic number.
QListWidgetItem* CreatorWindow::elementItem(int atomicNumber) const {
    const QString stem = QString::fromStdString(elementStem(atomicNumber));
    for (int i = 0; i < m_elementList->count(); ++i) {
        QListWidgetItem* item = m_elementList->item(i);
        if (item->text() == stem + QString::fromStdString(std::string(
                                       tableFolders(m_texts.tableKind).elementExtension))) {
            return item;
        }
    }
    return nullptr;
}

void CreatorWindow::fillFromFormula() {
    const std::string formula = m_formulaField->text().trimmed().toUtf8().toStdString();
    std::string error;
    std::string note;
    const std::optional<std::vector<FormulaRow>> rows = formulaRows(
        formula, m_texts.formulaEntry == FormulaEntry::atoms,
        [](int z) { return shippedAtomicWeight(DataDirectory::working(), z); }, error, note);
    if (!rows) {
        m_prompts.showMessage(this, QString::fromUtf8(error.c_str()), MessageIcon::Exclamation);
        return;
    }
    if (static_cast<int>(rows->size()) > rowCount()) {
        m_prompts.showMessage(this,
                              QStringLiteral("The formula holds %1 elements; this window takes "
                                             "up to %2.")
                                  .arg(rows->size())
                                  .arg(rowCount()),
                              MessageIcon::Exclamation);
        return;
    }
    std::vector<QListWidgetItem*> items;
    for (const FormulaRow& row : *rows) {
        items.push_back(elementItem(row.atomicNumber));
        if (items.back() == nullptr) {
            m_prompts.showMessage(this,
                                  QStringLiteral("No table of ") +
                                      QString::fromStdString(elementSymbol(row.atomicNumber)) +
                                      QStringLiteral(" is in the element list."),
                                  MessageIcon::Exclamation);
            return;
        }
    }
    hideAllRows();
    m_countField->setText(QString::number(rows->size()));
    confirmElementCount();
    if (!m_saveButton->isEnabled() || m_elementCount != static_cast<double>(rows->size())) {
        return; // the count's own message was shown
    }
    for (size_t k = 0; k < rows->size(); ++k) {
        m_elementList->setCurrentItem(items[k]);
        setRowElement(static_cast<int>(k) + 1, items[k]->text());
        setRowAmount(static_cast<int>(k) + 1, QString::fromStdString((*rows)[k].amount));
        // The cell shows the amount to its digits; the row keeps it exactly, as tarvo has it.
        m_rows[k].amount = (*rows)[k].value;
    }
    // A reading that is not the only one is said, never taken silently.
    if (!note.empty()) {
        m_prompts.showMessage(this, QString::fromUtf8(note.c_str()), MessageIcon::None);
    }
    // The rows are complete: what is left to give is the file name.
    m_fileNameField->setFocus();
}

void CreatorWindow::cancelCreator() {
    hideAllRows();
    hide();
    emit closed(false);
}

void CreatorWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    cancelCreator();
}

// The creator's own message, and on a second line why the save failed.
void CreatorWindow::reportFailure(const std::string& reason) {
    const QString text = reason.empty()
                             ? m_texts.failureMessage
                             : m_texts.failureMessage + QLatin1Char('\n') + local(reason);
    m_prompts.showMessage(this, text, m_texts.failureIcon, m_texts.failureTitle);
}

void CreatorWindow::saveNewMaterial() {
    const std::string fileName = text(m_fileNameField);
    if (blankName(m_fileNameField)) {
        m_prompts.showMessage(this, m_texts.emptyFileNameMessage, MessageIcon::Exclamation);
        return;
    }
    const std::string problem = fileNameProblem(fileName);
    if (!problem.empty()) {
        m_prompts.showMessage(this,
                              QStringLiteral("\"") + local(fileName) + QStringLiteral("\" ") +
                                  QString::fromStdString(problem),
                              MessageIcon::Exclamation);
        return;
    }
    const double count =
        m_texts.countFromBoxAtSave ? numericValue(text(m_countField)) : m_elementCount;
    if (m_texts.countFromBoxAtSave && (!(count >= 1) || holdsComma(text(m_countField)))) {
        m_prompts.showMessage(this, m_texts.badCountMessage, MessageIcon::Exclamation);
        return;
    }
    const MaterialCategory category = categoryAt(m_categories->checkedId());
    const std::string path =
        formPath(tableFolders(m_texts.tableKind).materialFolder,
                 fileName + std::string(materialExtension(m_texts.tableKind, category)));
    // A table the suite ships is not the user's to lose; the user's own are replaced.
    if (writeRefusal(DataDirectory::working(), nativePath(path), true) ==
        WriteRefusal::shippedTable) {
        m_prompts.showMessage(this,
                              QStringLiteral("\"") + local(path) +
                                  QStringLiteral("\" is a table the suite ships and is never "
                                                 "replaced: choose another file name"),
                              MessageIcon::Exclamation);
        return;
    }
    std::string error;
    bool saved = false;
    if (const std::optional<int> rows = rowsToCombine(count, rowCount(), error)) {
        CreatorInput input{{m_rows.begin(), m_rows.begin() + *rows},
                           text(m_nameField),
                           numericValue(text(m_densityField)),
                           path};
        saved = m_save(input, error);
    }
    if (!saved) {
        reportFailure(error);
        return;
    }
    m_prompts.showMessage(this, QStringLiteral(" Data saved "), MessageIcon::None,
                          QStringLiteral("New Data : ") + local(path));
    hideAllRows();
    hide();
    emit closed(true);
}

} // namespace tarvo
