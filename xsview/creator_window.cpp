#include "creator_window.h"

#include "common/numeric_text.h"
#include "common/text_file.h"
#include "xsview/combine_element_tables.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

namespace tarvo {
namespace {

// The texts and rules that differ between the two creators.
struct CreatorStyle {
    const char* title;
    const char* heading;
    const char* defaultName;
    const char* hint;
    int rows;
    const char* amountHeader;
    const char* amountPrompt;
    const char* emptyFileName;
    Weighting weighting;
    double edgeFactor;
};

const CreatorStyle& styleOf(CreatorKind kind) {
    static const CreatorStyle compound{"New chemical compound",
                                       "Create  a new chemical compound data",
                                       "Chemical compound",
                                       "( Up to 5 )",
                                       5,
                                       "Number",
                                       " Input the number of element ",
                                       " Input File name ",
                                       Weighting::byAtoms,
                                       kCompoundEdgeFactor};
    static const CreatorStyle mixture{"New mixture medium",
                                      "Create a new mixture data",
                                      "Mixture",
                                      "( Up to 15 )",
                                      15,
                                      "Weight %",
                                      " Enter the weight ",
                                      "ファイル名を入力してください",
                                      Weighting::byWeight,
                                      kMixtureEdgeFactor};
    return kind == CreatorKind::compound ? compound : mixture;
}

const char* const kExtensions[] = {".mix", ".mix2", ".mix3"};

QString local(const std::string& text) {
    return QString::fromLocal8Bit(text.c_str());
}

std::string text(const QLineEdit* field) {
    return field->text().toLocal8Bit().toStdString();
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

CreatorWindow::CreatorWindow(CreatorKind kind, UserPrompts& prompts, QWidget* parent)
    : QWidget(parent), m_kind(kind), m_prompts(prompts),
      m_rows(static_cast<size_t>(styleOf(kind).rows)) {
    setWindowTitle(QString::fromUtf8(styleOf(kind).title));
    createControls();
    connectSignals();
    hideAllRows();
}

QWidget* CreatorWindow::createRowTable() {
    const CreatorStyle& style = styleOf(m_kind);
    auto* table = new QWidget(this);
    auto* layout = new QGridLayout(table);
    layout->setVerticalSpacing(1);
    layout->addWidget(new QLabel(QStringLiteral("Element"), table), 0, 1);
    layout->addWidget(new QLabel(QString::fromUtf8(style.amountHeader), table), 0, 2);
    for (int j = 1; j <= style.rows; ++j) {
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
    }
    layout->setRowStretch(style.rows + 1, 1);
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
    layout->addWidget(new QLabel(QStringLiteral("File name without the extension"), bottom), 0, 0);
    layout->addWidget(m_fileNameField, 0, 1, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Category"), bottom), 1, 0);
    layout->addLayout(options, 1, 1, 1, 2);
    layout->addWidget(m_saveButton, 2, 1);
    layout->addWidget(m_cancelButton, 2, 2);
    return bottom;
}

void CreatorWindow::createControls() {
    const CreatorStyle& style = styleOf(m_kind);
    auto* heading = new QLabel(QString::fromUtf8(style.heading), this);
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
    inputs->addWidget(new QLabel(QStringLiteral("Substance name"), this), 0, 0);
    inputs->addWidget(m_nameField, 0, 1, 1, 2);
    inputs->addWidget(new QLabel(QStringLiteral("Density"), this), 1, 0);
    inputs->addWidget(m_densityField, 1, 1);
    inputs->addWidget(new QLabel(QStringLiteral("g/cm3"), this), 1, 2);
    inputs->addWidget(new QLabel(QStringLiteral("Number of elements"), this), 2, 0);
    inputs->addWidget(m_countField, 2, 1);
    inputs->addWidget(m_confirmButton, 2, 2);
    inputs->addWidget(new QLabel(QString::fromUtf8(style.hint), this), 3, 1);

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(new QLabel(QStringLiteral("1  Select element"), this));
    listColumn->addWidget(m_elementList);
    auto* tableColumn = new QVBoxLayout;
    tableColumn->addWidget(new QLabel(QStringLiteral("2  Click the target No."), this));
    tableColumn->addWidget(createRowTable());
    auto* middle = new QHBoxLayout;
    middle->addLayout(listColumn);
    middle->addWidget(picture);
    middle->addLayout(tableColumn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(inputs);
    layout->addLayout(middle, 1);
    layout->addWidget(createBottom());
}

void CreatorWindow::connectSignals() {
    // Enter moves through the boxes: name, density, count, confirm; file name, save.
    connect(m_nameField, &QLineEdit::returnPressed, m_densityField,
            qOverload<>(&QWidget::setFocus));
    connect(m_densityField, &QLineEdit::returnPressed, m_countField,
            qOverload<>(&QWidget::setFocus));
    connect(m_countField, &QLineEdit::returnPressed, m_confirmButton,
            qOverload<>(&QWidget::setFocus));
    connect(m_fileNameField, &QLineEdit::returnPressed, m_saveButton,
            qOverload<>(&QWidget::setFocus));
    connect(m_confirmButton, &QPushButton::clicked, this, &CreatorWindow::confirmElementCount);
    connect(m_saveButton, &QPushButton::clicked, this, &CreatorWindow::saveNewMaterial);
    connect(m_cancelButton, &QPushButton::clicked, this, &CreatorWindow::cancelCreator);
    for (int j = 1; j <= rowCount(); ++j) {
        connect(m_numberLabels[static_cast<size_t>(j - 1)], &QPushButton::clicked, this,
                [this, j] { pickElement(j); });
        connect(m_amountCells[static_cast<size_t>(j - 1)], &QPushButton::clicked, this,
                [this, j] { editAmount(j); });
        if (m_kind == CreatorKind::compound) {
            connect(m_elementCells[static_cast<size_t>(j - 1)], &QPushButton::clicked, this,
                    [this, j] { pickElement(j); });
        }
    }
}

void CreatorWindow::refreshElementList() {
    m_elementList->clear();
    for (const std::string& name : listFiles("ele", ".ele")) {
        m_elementList->addItem(local(name));
    }
}

void CreatorWindow::open() {
    m_nameField->setText(QString::fromUtf8(styleOf(m_kind).defaultName));
    m_densityField->setText(QStringLiteral("9.999"));
    m_countField->clear();
    m_fileNameField->clear();
    for (int j = 1; j <= rowCount(); ++j) {
        m_rows[static_cast<size_t>(j - 1)] = CompositionRow{};
        m_elementCells[static_cast<size_t>(j - 1)]->setText(QString());
        m_amountCells[static_cast<size_t>(j - 1)]->setText(QString());
    }
    hideAllRows();
    m_saveButton->setEnabled(false);
    show();
    raise();
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

void CreatorWindow::confirmElementCount() {
    const CreatorStyle& style = styleOf(m_kind);
    if (m_nameField->text().isEmpty()) {
        m_prompts.showMessage(this, QStringLiteral(" Input the Name "), MessageIcon::Exclamation);
        m_nameField->setText(QString::fromUtf8(style.defaultName));
        return;
    }
    if (!(numericValue(text(m_densityField)) > 0)) {
        m_prompts.showMessage(this, QStringLiteral(" Inappropriate density input "),
                              MessageIcon::Exclamation);
        m_densityField->setText(QStringLiteral("9.999"));
        return;
    }
    const double count = numericValue(text(m_countField));
    if (!(count > 0) || count > style.rows) {
        m_prompts.showMessage(this, QStringLiteral(" Input the number of element "),
                              MessageIcon::Exclamation);
        return;
    }
    m_elementCount = count;
    for (int j = 1; j <= rowCount(); ++j) {
        if (j <= count) {
            showRow(j, true);
        }
    }
    m_saveButton->setEnabled(true);
    m_elementList->setFocus();
}

void CreatorWindow::pickElement(int row) {
    QListWidgetItem* selected = m_elementList->currentItem();
    if (selected == nullptr || !selected->isSelected()) {
        m_prompts.showMessage(this, QStringLiteral(" Select a element "), MessageIcon::Exclamation);
        return;
    }
    CompositionRow& entry = m_rows[static_cast<size_t>(row - 1)];
    entry.elementFile = selected->text().toLocal8Bit().toStdString();
    entry.elementCell = entry.elementFile;
    m_elementCells[static_cast<size_t>(row - 1)]->setText(selected->text());
    askAmount(row);
}

void CreatorWindow::editAmount(int row) {
    askAmount(row);
}

void CreatorWindow::askAmount(int row) {
    CompositionRow& entry = m_rows[static_cast<size_t>(row - 1)];
    const QString answer = m_prompts.askText(this, QString::fromUtf8(styleOf(m_kind).amountPrompt),
                                             local(entry.amountCell));
    entry.amountCell = answer.toLocal8Bit().toStdString();
    m_amountCells[static_cast<size_t>(row - 1)]->setText(answer);
    const double amount = numericValue(entry.amountCell);
    if (m_kind == CreatorKind::compound && !(amount > 0)) {
        m_prompts.showMessage(this, QStringLiteral(" Incorrect input value "),
                              MessageIcon::Exclamation);
        return;
    }
    entry.amount = amount;
}

void CreatorWindow::cancelCreator() {
    hideAllRows();
    hide();
    emit closed(false);
}

void CreatorWindow::reportFailure() {
    if (m_kind == CreatorKind::compound) {
        m_prompts.showMessage(this, QStringLiteral(" There is an error in the entered data "),
                              MessageIcon::Exclamation);
    } else {
        m_prompts.showMessage(this, QStringLiteral(" There is an error in the entered data "),
                              MessageIcon::None, QStringLiteral("Input Error"));
    }
}

void CreatorWindow::saveNewMaterial() {
    const CreatorStyle& style = styleOf(m_kind);
    const std::string fileName = text(m_fileNameField);
    if (fileName.empty()) {
        m_prompts.showMessage(this, QString::fromUtf8(style.emptyFileName),
                              MessageIcon::Exclamation);
        return;
    }
    if (!fileNameProblem(fileName).empty()) {
        m_prompts.showMessage(this,
                              QStringLiteral("\"") + local(fileName) + QStringLiteral("\" ") +
                                  QString::fromStdString(fileNameProblem(fileName)),
                              MessageIcon::Exclamation);
        return;
    }
    const int count = static_cast<int>(std::floor(m_elementCount));
    const std::vector<CompositionRow> rows(m_rows.begin(),
                                           m_rows.begin() + std::clamp(count, 0, rowCount()));
    std::string error;
    const auto combined = combineElementTables(rows, style.weighting, style.edgeFactor, error);
    const int category = std::max(0, m_categories->checkedId());
    const std::string path = formPath("mix", fileName + kExtensions[category]);
    if (!combined || !writeMaterialTable(path, text(m_nameField),
                                         numericValue(text(m_densityField)), *combined, error)) {
        reportFailure();
        return;
    }
    m_prompts.showMessage(this, QStringLiteral(" Data saved "), MessageIcon::None,
                          QStringLiteral("New Data : ") + local(path));
    hideAllRows();
    hide();
    emit closed(true);
}

} // namespace tarvo
