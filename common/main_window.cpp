#include "main_window.h"

#include "common/about_window.h"
#include "common/accessible_names.h"
#include "common/display_text.h"
#include "common/list_choice.h"
#include "common/text_file.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvo {
namespace {

// The decoration: a photon's wave scattered at an electron.
QPixmap decoration() {
    QPixmap pixmap(96, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(220, 140, 0), 2));
    QPainterPath wave(QPointF(4, 40));
    for (int x = 4; x < 44; x += 5) {
        wave.quadTo(x + 2.5, x % 10 == 4 ? 30 : 50, x + 5, 40);
    }
    painter.drawPath(wave);
    painter.setPen(QPen(QColor(0, 0, 160), 2));
    painter.drawLine(QPointF(50, 40), QPointF(90, 12));
    painter.setBrush(QColor(200, 0, 0));
    painter.drawEllipse(QPointF(50, 40), 5, 5);
    return pixmap;
}

// The exit button's picture: an open door with an arrow leaving through it. Drawn here
// rather than taken from the icon theme, which would load every image format plugin.
QPixmap exitPicture() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 60, 30), 2));
    painter.setBrush(QColor(200, 160, 110));
    const QPointF door[] = {{6, 4}, {18, 8}, {18, 30}, {6, 26}};
    painter.drawPolygon(door, 4);
    painter.drawLine(QPointF(6, 4), QPointF(20, 4));
    painter.drawLine(QPointF(20, 4), QPointF(20, 28));
    painter.setPen(QPen(QColor(200, 0, 0), 3));
    painter.drawLine(QPointF(14, 17), QPointF(29, 17));
    painter.drawLine(QPointF(24, 12), QPointF(29, 17));
    painter.drawLine(QPointF(24, 22), QPointF(29, 17));
    return pixmap;
}

QLabel* boldLabel(const QString& text, double points, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPointSizeF(points);
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

MainWindow::MainWindow(const MainWindowTexts& texts, QWidget* parent)
    : QWidget(parent), m_texts(texts) {
    createControls();
    connectSignals();
}

// The lists and options report their state, not the clicks that set it, so keyboard and
// assistive technology choose as the mouse does. A click or Enter in a list then moves on
// to "OK"; moving through a list by keyboard keeps the focus there.
void MainWindow::connectSignals() {
    whenRowChosen(*m_elementList, this,
                  [this](int row) { emit elementChosen(m_elementList->item(row)->text()); });
    whenRowChosen(*m_materialList, this,
                  [this](int row) { emit materialChosen(m_materialList->item(row)->text()); });
    for (QListWidget* list : {m_elementList, m_materialList}) {
        connect(list, &QListWidget::itemClicked, m_plotButton, qOverload<>(&QWidget::setFocus));
        // Enter chooses the keyboard's current entry even where it is not selected yet.
        connect(list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
            item->setSelected(true);
            m_plotButton->setFocus();
        });
    }
    connect(m_categories, &QButtonGroup::idToggled, this, [this](int category, bool checked) {
        if (checked) {
            emit categoryChosen(categoryAt(category));
        }
    });
}

QWidget* MainWindow::createListsColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QGridLayout(column);
    m_elementList = new QListWidget(column);
    m_materialList = new QListWidget(column);
    m_categories = new QButtonGroup(column);
    auto* options = new QVBoxLayout;
    const char* const names[] = {"Human tissues", "Phantom substances", "Others"};
    for (int c = 0; c < 3; ++c) {
        auto* option = new QRadioButton(QString::fromLatin1(names[c]), column);
        m_categories->addButton(option, c);
        options->addWidget(option);
    }
    options->addStretch();
    auto* elementsCaption = new QLabel(QStringLiteral("Elements"), column);
    nameAfterLabel(m_elementList, elementsCaption);
    nameControl(m_materialList, QStringLiteral("Materials"));
    layout->addWidget(elementsCaption, 0, 0);
    layout->addWidget(m_elementList, 1, 0, 2, 1);
    layout->addLayout(options, 1, 1);
    layout->addWidget(m_materialList, 2, 1);
    return column;
}

QWidget* MainWindow::createSelectionColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QGridLayout(column);
    m_nameField = new QLineEdit(column);
    m_nameField->setReadOnly(true);
    m_densityField = new QLineEdit(column);
    m_densityField->setReadOnly(true);
    m_plotButton = new QPushButton(QStringLiteral("OK"), column);
    m_plotButton->setToolTip(QStringLiteral(" GO "));
    m_deleteButton = new QPushButton(QStringLiteral("Delete"), column);
    m_newDataButton = new QPushButton(QStringLiteral("Create New Data"), column);
    m_newDataButton->setToolTip(QStringLiteral("化合物・混合物データの作成"));
    // Created before the exit button, so that the tab order follows the window.
    if (m_texts.compositionButton) {
        m_compositionButton = new QPushButton(QStringLiteral("Indicate composition"), column);
    }
    m_aboutButton = new QPushButton(QStringLiteral("About"), column);
    m_aboutButton->setToolTip(QStringLiteral("Where the numbers come from"));
    connect(m_aboutButton, &QPushButton::clicked, this, [] { showAboutWindow(); });
    m_exitButton = new QToolButton(column);
    m_exitButton->setIcon(QIcon(exitPicture()));
    m_exitButton->setIconSize(QSize(32, 32));
    m_exitButton->setToolTip(QStringLiteral(" bye, see you again "));
    auto* nameCaption = new QLabel(QStringLiteral("Selected material"), column);
    auto* densityCaption = new QLabel(m_texts.densityCaption, column);
    nameAfterLabel(m_nameField, nameCaption);
    nameAfterLabel(m_densityField, densityCaption);
    nameControl(m_densityField, QStringLiteral("Density (g/cm3)"));
    nameControl(m_exitButton, QStringLiteral("Exit to the launcher"));
    layout->addWidget(nameCaption, 0, 0, 1, 3);
    layout->addWidget(m_nameField, 1, 0, 1, 3);
    layout->addWidget(densityCaption, 2, 0);
    layout->addWidget(m_densityField, 2, 1);
    layout->addWidget(new QLabel(QStringLiteral("g/cm3"), column), 2, 2);
    layout->addWidget(m_plotButton, 3, 0, 1, 3);
    layout->addWidget(m_deleteButton, 4, 0, 1, 3);
    layout->addWidget(m_newDataButton, 5, 0, 1, 3);
    if (m_compositionButton != nullptr) {
        layout->addWidget(m_compositionButton, 6, 0, 1, 3);
    }
    layout->addWidget(m_aboutButton, 7, 0, Qt::AlignLeft | Qt::AlignBottom);
    layout->addWidget(m_exitButton, 7, 2, Qt::AlignRight);
    layout->setRowStretch(8, 1);
    return column;
}

void MainWindow::createControls() {
    auto* picture = new QLabel(this);
    picture->setPixmap(decoration());
    picture->setToolTip(QStringLiteral(" don't touch me ! "));
    auto* headings = new QVBoxLayout;
    for (const QString& line : m_texts.heading) {
        headings->addWidget(boldLabel(line, 16, this));
    }
    auto* top = new QHBoxLayout;
    top->addLayout(headings);
    top->addStretch();
    top->addWidget(picture);
    auto* columns = new QHBoxLayout;
    columns->addWidget(createListsColumn(), 2);
    columns->addWidget(createSelectionColumn(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(columns, 1);
    resize(720, 480);
}

void fillFileList(QListWidget& list, const std::string& directory, const std::string& extension) {
    list.clear();
    for (const std::string& name : listFiles(directory, extension)) {
        list.addItem(QString::fromLocal8Bit(name.c_str()));
    }
}

bool deleteSelectedTable(UserPrompts& prompts, MainWindow& window, const std::string& path,
                         const std::string& elementDirectory) {
    if (path.empty()) {
        return false;
    }
    if (path.rfind(elementDirectory, 0) == 0) {
        prompts.showMessage(&window, QStringLiteral(" This file cannot be deleted "),
                            MessageIcon::Exclamation);
        return false;
    }
    const QString question = QStringLiteral(" really erase ") +
                             QString::fromLocal8Bit(fileNamePart(path).c_str()) +
                             QStringLiteral(" ? ");
    if (!prompts.askOkCancel(&window, question)) {
        return false;
    }
    std::string error;
    if (!removeFile(path, error)) {
        prompts.showMessage(&window, displayText(path + ": " + error), MessageIcon::Exclamation);
        return false;
    }
    window.nameField().clear();
    window.densityField().clear();
    return true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    emit closeRequested();
}

} // namespace tarvo
