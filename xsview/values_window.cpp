#include "values_window.h"

#include "common/accessible_names.h"
#include "common/column_heading.h"
#include "common/crossing_list.h"
#include "common/other_side_fields.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo::xsview {
namespace {

// A small decoration: the photon's wavy line meeting an atom.
QPixmap decoration() {
    QPixmap pixmap(64, 40);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(200, 120, 0), 2));
    QPainterPath wave(QPointF(2, 20));
    for (int x = 2; x < 36; x += 4) {
        wave.quadTo(x + 1, x % 8 == 2 ? 12 : 28, x + 4, 20);
    }
    painter.drawPath(wave);
    painter.setPen(QPen(QColor(0, 0, 128), 2));
    painter.drawEllipse(QPointF(50, 20), 10, 5);
    painter.drawEllipse(QPointF(50, 20), 5, 10);
    painter.setBrush(QColor(200, 0, 0));
    painter.drawEllipse(QPointF(50, 20), 2, 2);
    return pixmap;
}

} // namespace

ValuesWindow::ValuesWindow(QWidget* parent) : QWidget(parent) {
    createControls();
}

ValuesWindow::~ValuesWindow() = default;

QWidget* ValuesWindow::createValueGrid() {
    auto* grid = new QWidget(this);
    auto* layout = new QGridLayout(grid);
    const char* const captions[] = {"Photon energy            ",
                                    "Coherent scattering",
                                    "Incoherent scattering",
                                    "Photo-Electric absorption",
                                    "Pair production in nuclear field",
                                    "Pair production in electron field",
                                    "Total mass attenuation coefficient"};
    const QString inputMu = QStringLiteral(" Input μ/ρ ");
    const int energy = static_cast<int>(Field::energy);
    const int total = static_cast<int>(Field::total);
    // At an edge the sides' captions stand in a row of their own under the energy.
    const int captionRow = energy + 1;
    const auto rowOf = [&](int f) { return f == energy ? energy : f + 1; };
    for (int f = 0; f < 7; ++f) {
        m_captions[static_cast<size_t>(f)] = new QLabel(QString::fromUtf8(captions[f]), grid);
        QLineEdit* field = new QLineEdit(grid);
        field->setToolTip(f == energy ? QStringLiteral(" Input photon energy ") : inputMu);
        field->setReadOnly(f != energy && f != total);
        m_fields[static_cast<size_t>(f)] = field;
        nameControl(field,
                    QString::fromUtf8(captions[f]) +
                        (f == energy ? QStringLiteral(" (MeV)") : QStringLiteral(" (cm2/g)")));
        layout->addWidget(m_captions[static_cast<size_t>(f)], rowOf(f), 1);
        layout->addWidget(field, rowOf(f), 2);
        layout->addWidget(
            new QLabel(f == energy ? QStringLiteral("MeV") : QStringLiteral("cm2/g"), grid),
            rowOf(f), 3);
    }
    m_energyButton = new QPushButton(QStringLiteral("⇒"), grid);
    m_energyButton->setToolTip(QStringLiteral(" input photon energy "));
    m_totalButton = new QPushButton(QStringLiteral("⇒"), grid);
    m_totalButton->setToolTip(QStringLiteral(" input μ/ρ "));
    nameControl(m_energyButton, QStringLiteral("Clear the values to input a photon energy"));
    nameControl(m_totalButton, QStringLiteral("Clear the values to input μ/ρ"));
    layout->addWidget(m_energyButton, rowOf(energy), 0);
    layout->addWidget(m_totalButton, rowOf(total), 0);
    QStringList names;
    for (int f = 1; f < 7; ++f) {
        names << QString::fromUtf8(captions[f]) + QStringLiteral(" (cm2/g)");
    }
    m_otherSide =
        std::make_unique<OtherSideFields>(*layout, captionRow, captionRow + 1, 4, 2, names, grid);
    return grid;
}

// The list shows a blank and then the table's line: energy in characters 1 to 9, the
// five partial values in 11 to 19, 21 to 29 and so on.
QWidget* ValuesWindow::createListHeading() {
    return new ColumnHeading(*m_rowList,
                             {{0, 1, QStringLiteral("Photon")},
                              {1, 1, QStringLiteral("energy")},
                              {2, 1, QStringLiteral("MeV")},
                              {0, 11, QStringLiteral("Scattering")},
                              {1, 11, QStringLiteral("Coherent")},
                              {1, 21, QStringLiteral("Incoherent")},
                              {0, 31, QStringLiteral("Photo-")},
                              {1, 31, QStringLiteral("Electric")},
                              {2, 31, QStringLiteral("Absorption")},
                              {0, 41, QStringLiteral("Pair Production")},
                              {1, 41, QStringLiteral("in Nuclear")},
                              {2, 41, QStringLiteral("Field")},
                              {1, 51, QStringLiteral("in Electron")},
                              {2, 51, QStringLiteral("Field")}},
                             this);
}

void ValuesWindow::createControls() {
    auto* title = new QLabel(QStringLiteral("Photon Cross Sections"), this);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(14);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* picture = new QLabel(this);
    picture->setPixmap(decoration());

    m_rowList = new QListWidget(this);
    m_rowList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_rowList->setMinimumWidth(560);
    nameControl(m_rowList, QStringLiteral("Rows of the table"));
    m_exportButton = new QPushButton(QStringLiteral("Save in \"csv format\""), this);
    m_exportButton->setToolTip(QStringLiteral("エクセル CSV形式で保存"));

    auto* top = new QHBoxLayout;
    top->addWidget(title);
    top->addStretch();
    top->addWidget(picture);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(createValueGrid());
    m_crossings = new CrossingList(this);
    layout->addWidget(m_crossings);
    layout->addWidget(createListHeading());
    layout->addWidget(m_rowList, 1);
    layout->addWidget(m_exportButton, 0, Qt::AlignRight);
    resize(640, 620);
}

void ValuesWindow::clearFields() {
    for (QLineEdit* field : m_fields) {
        field->clear();
    }
    m_otherSide->hide();
    m_crossings->clearEnergies();
}

void ValuesWindow::enableFields(bool enabled) {
    for (size_t f = 0; f < m_fields.size(); ++f) {
        m_fields[f]->setEnabled(enabled);
        m_captions[f]->setEnabled(enabled);
    }
}

} // namespace tarvo::xsview
