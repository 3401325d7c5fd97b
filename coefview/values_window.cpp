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
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo::coefview {

ValuesWindow::ValuesWindow(QWidget* parent) : QWidget(parent) {
    createControls();
}

ValuesWindow::~ValuesWindow() = default;

QWidget* ValuesWindow::createEntryRows() {
    auto* rows = new QWidget(this);
    auto* layout = new QGridLayout(rows);
    const struct {
        const char* label;
        const char* unit;
        const char* tooltip;
    } entries[] = {{"Photon energy", "MeV", " Input photon energy "},
                   {"μ/ρ", "cm2/g", "Input mass attenuation coefficient"},
                   {"μ<sub>tr</sub>/ρ", "cm2/g", ""},
                   {"μ<sub>en</sub>/ρ", "cm2/g", "Input mass energy absorption coefficient"}};
    for (int b = 0; b < 4; ++b) {
        auto* button = new QPushButton(QStringLiteral("⇒"), rows);
        auto* box = new QLineEdit(rows);
        box->setToolTip(QString::fromUtf8(entries[b].tooltip));
        m_clearButtons[static_cast<size_t>(b)] = button;
        m_boxes[static_cast<size_t>(b)] = box;
        const QString caption = plainCaption(QString::fromUtf8(entries[b].label));
        nameControl(box, caption + QStringLiteral(" (") + QString::fromUtf8(entries[b].unit) +
                             QStringLiteral(")"));
        nameControl(button, QStringLiteral("Clear the values to input ") + caption);
        // At an edge the sides' captions stand in row 1, between the energy and the values.
        const int row = b == 0 ? 0 : b + 1;
        layout->addWidget(button, row, 0);
        layout->addWidget(new QLabel(QString::fromUtf8(entries[b].label), rows), row, 1);
        layout->addWidget(box, row, 2);
        layout->addWidget(new QLabel(QString::fromUtf8(entries[b].unit), rows), row, 3);
    }
    QStringList names;
    for (int b = 1; b < 4; ++b) {
        names << plainCaption(QString::fromUtf8(entries[b].label)) + QStringLiteral(" (cm2/g)");
    }
    m_otherSide = std::make_unique<OtherSideFields>(*layout, 1, 2, 4, 2, names, rows);
    return rows;
}

void ValuesWindow::createControls() {
    m_rowList = new QListWidget(this);
    m_rowList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_rowList->setMinimumWidth(420);
    nameControl(m_rowList, QStringLiteral("Rows of the table"));
    m_csvButton = new QPushButton(QStringLiteral("Save in \"csv format\""), this);
    m_equalIntervalButton =
        new QPushButton(QStringLiteral("Create data with equal energy intevals"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_csvButton);
    buttons->addWidget(m_equalIntervalButton);
    // A row shows the energy in characters 0 to 10 and the coefficients from 13, 24, 35.
    auto* heading = new ColumnHeading(*m_rowList,
                                      {{0, 0, QStringLiteral("Photon")},
                                       {1, 0, QStringLiteral("energy MeV")},
                                       {0, 13, QStringLiteral("μ/ρ")},
                                       {0, 24, QStringLiteral("μtr/ρ")},
                                       {0, 35, QStringLiteral("μen/ρ")},
                                       {1, 13, QStringLiteral("cm²/g")},
                                       {1, 24, QStringLiteral("cm²/g")},
                                       {1, 35, QStringLiteral("cm²/g")}},
                                      this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(m_rowList, 1);
    layout->addWidget(createEntryRows());
    m_crossings = new CrossingList(this);
    layout->addWidget(m_crossings);
    // Made last, so that it follows the boxes in the tab order.
    m_attenuationButton = new QPushButton(QStringLiteral("Attenuation…"), this);
    m_attenuationButton->setToolTip(
        QStringLiteral("Transmission, half-value layer and mean free path at this energy"));
    buttons->addWidget(m_attenuationButton);
    m_beamButton = new QPushButton(QStringLiteral("Beam…"), this);
    m_beamButton->setToolTip(QStringLiteral(
        "A tube's or a file's spectrum through filters: plots, half-value layers, transmission"));
    buttons->addWidget(m_beamButton);
    layout->addLayout(buttons);
    resize(480, 640);
}

void ValuesWindow::clearBoxes() {
    for (QLineEdit* box : m_boxes) {
        box->clear();
    }
    m_otherSide->hide();
    m_crossings->clearEnergies();
}

} // namespace tarvo::coefview
