#include "values_window.h"

#include "common/accessible_names.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarvo {
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
    for (int f = 0; f < 7; ++f) {
        m_captions[static_cast<size_t>(f)] = new QLabel(QString::fromUtf8(captions[f]), grid);
        QLineEdit* field = new QLineEdit(grid);
        field->setToolTip(f == energy ? QStringLiteral(" Input photon energy ") : inputMu);
        field->setReadOnly(f != energy && f != total);
        m_fields[static_cast<size_t>(f)] = field;
        nameControl(field,
                    QString::fromUtf8(captions[f]) +
                        (f == energy ? QStringLiteral(" (MeV)") : QStringLiteral(" (cm2/g)")));
        layout->addWidget(m_captions[static_cast<size_t>(f)], f, 1);
        layout->addWidget(field, f, 2);
        layout->addWidget(
            new QLabel(f == energy ? QStringLiteral("MeV") : QStringLiteral("cm2/g"), grid), f, 3);
    }
    m_energyButton = new QPushButton(QStringLiteral("⇒"), grid);
    m_energyButton->setToolTip(QStringLiteral(" input photon energy "));
    m_totalButton = new QPushButton(QStringLiteral("⇒"), grid);
    m_totalButton->setToolTip(QStringLiteral(" input μ/ρ "));
    nameControl(m_energyButton, QStringLiteral("Clear the values to input a photon energy"));
    nameControl(m_totalButton, QStringLiteral("Clear the values to input μ/ρ"));
    layout->addWidget(m_energyButton, energy, 0);
    layout->addWidget(m_totalButton, total, 0);
    return grid;
}

QWidget* ValuesWindow::createListHeading() {
    auto* heading = new QWidget(this);
    auto* layout = new QGridLayout(heading);
    layout->setContentsMargins(0, 0, 0, 0);
    const struct {
        const char* text;
        int row, column, span;
    } labels[] = {{"Photon", 0, 0, 1},          {"energy", 1, 0, 1},     {"MeV", 2, 0, 1},
                  {"Scattering", 0, 1, 2},      {"Coherent", 1, 1, 1},   {"Incoherent", 1, 2, 1},
                  {"Photo-", 0, 3, 1},          {"Electric", 1, 3, 1},   {"Absorption", 2, 3, 1},
                  {"Pair Production", 0, 4, 2}, {"in Nuclear", 1, 4, 1}, {"Field", 2, 4, 1},
                  {"in Electron", 1, 5, 1},     {"Field", 2, 5, 1}};
    for (const auto& label : labels) {
        layout->addWidget(new QLabel(QString::fromLatin1(label.text), heading), label.row,
                          label.column, 1, label.span, Qt::AlignCenter);
    }
    return heading;
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
    layout->addWidget(createListHeading());
    layout->addWidget(m_rowList, 1);
    layout->addWidget(m_exportButton, 0, Qt::AlignRight);
    resize(640, 620);
}

void ValuesWindow::clearFields() {
    for (QLineEdit* field : m_fields) {
        field->clear();
    }
}

void ValuesWindow::enableFields(bool enabled) {
    for (size_t f = 0; f < m_fields.size(); ++f) {
        m_fields[f]->setEnabled(enabled);
        m_captions[f]->setEnabled(enabled);
    }
}

} // namespace tarvo
