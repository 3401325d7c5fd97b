#include "attenuation_window.h"

#include "coefview/thickness_units.h"
#include "common/accessible_names.h"
#include "common/button_keys.h"
#include "common/number_format.h"
#include "common/numeric_text.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace tarvo::coefview {
namespace {

QString formatted(double value) {
    return QString::fromStdString(formatNumber(value, "0.0000E+00"));
}

// A labelled read-only field in a grid row, with its unit after it.
QLineEdit* addOutput(QGridLayout& layout, int row, const QString& caption, const QString& unit,
                     QLabel** unitLabel = nullptr) {
    auto* label = new QLabel(caption);
    auto* field = new QLineEdit;
    field->setReadOnly(true);
    nameAfterLabel(field, label);
    auto* unitText = new QLabel(unit);
    layout.addWidget(label, row, 0);
    layout.addWidget(field, row, 1);
    layout.addWidget(unitText, row, 2);
    if (unitLabel != nullptr) {
        *unitLabel = unitText;
    }
    return field;
}

} // namespace

AttenuationWindow::AttenuationWindow(QWidget* parent) : QWidget(parent) {
    setWindowTitle(QStringLiteral("Attenuation"));
    createControls();
    connectSignals();
    recalculate();
}

QWidget* AttenuationWindow::createInputs() {
    auto* inputs = new QWidget(this);
    auto* layout = new QGridLayout(inputs);
    m_energy = addOutput(*layout, 0, QStringLiteral("Photon energy"), QStringLiteral("MeV"));
    auto* densityLabel = new QLabel(QStringLiteral("Density"), inputs);
    m_density = new QLineEdit(inputs);
    nameAfterLabel(m_density, densityLabel);
    layout->addWidget(densityLabel, 1, 0);
    layout->addWidget(m_density, 1, 1);
    layout->addWidget(new QLabel(QStringLiteral("g/cm³"), inputs), 1, 2);
    auto* thicknessLabel = new QLabel(QStringLiteral("Thickness"), inputs);
    m_thickness = new QLineEdit(QStringLiteral("1"), inputs);
    nameAfterLabel(m_thickness, thicknessLabel);
    m_unit = makeThicknessUnitList(inputs, ThicknessUnit::centimetre);
    nameControl(m_unit, QStringLiteral("Unit of the thickness"));
    layout->addWidget(thicknessLabel, 2, 0);
    layout->addWidget(m_thickness, 2, 1);
    layout->addWidget(m_unit, 2, 2);
    return inputs;
}

QWidget* AttenuationWindow::createResults() {
    auto* results = new QWidget(this);
    auto* layout = new QGridLayout(results);
    const QString fraction;
    m_results[0] = addOutput(*layout, 0, QStringLiteral("Transmission I/I0"), fraction);
    m_results[1] = addOutput(*layout, 1, QStringLiteral("Attenuated fraction"), fraction);
    m_results[2] =
        addOutput(*layout, 2, QStringLiteral("Fraction of the energy absorbed"), fraction);
    m_results[3] =
        addOutput(*layout, 3, QStringLiteral("Half-value layer"), QString(), &m_lengthUnits[0]);
    m_results[4] =
        addOutput(*layout, 4, QStringLiteral("Tenth-value layer"), QString(), &m_lengthUnits[1]);
    m_results[5] =
        addOutput(*layout, 5, QStringLiteral("Mean free path"), QString(), &m_lengthUnits[2]);
    auto* wantedLabel = new QLabel(QStringLiteral("Transmission wanted"), results);
    m_wantedTransmission = new QLineEdit(results);
    nameAfterLabel(m_wantedTransmission, wantedLabel);
    layout->addWidget(wantedLabel, 6, 0);
    layout->addWidget(m_wantedTransmission, 6, 1);
    m_thicknessFound =
        addOutput(*layout, 7, QStringLiteral("Thickness for it"), QString(), &m_lengthUnits[3]);
    return results;
}

// Made in window order, which is the keyboard's order: inputs, results, "Close".
void AttenuationWindow::createControls() {
    m_materialLabel = new QLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_materialLabel);
    layout->addWidget(createInputs());
    layout->addWidget(new QLabel(QStringLiteral("Narrow beam:"), this));
    layout->addWidget(createResults());
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    layout->addWidget(m_note);
    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    layout->addWidget(m_closeButton, 0, Qt::AlignRight);
    showLengthUnits();
}

void AttenuationWindow::connectSignals() {
    connect(m_density, &QLineEdit::textChanged, this, &AttenuationWindow::recalculate);
    connect(m_thickness, &QLineEdit::textChanged, this, &AttenuationWindow::recalculate);
    connect(m_wantedTransmission, &QLineEdit::textChanged, this, &AttenuationWindow::recalculate);
    connect(m_unit, &QComboBox::currentIndexChanged, this, [this] {
        showLengthUnits();
        recalculate();
    });
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::hide);
    closeOnEscape(*this);
}

void AttenuationWindow::setReading(double energy, double muOverRho, double muEnOverRho) {
    m_energyValue = energy;
    m_muOverRho = muOverRho;
    m_muEnOverRho = muEnOverRho;
    m_energy->setText(formatted(energy));
    recalculate();
}

void AttenuationWindow::clearReading() {
    m_energyValue.reset();
    m_energy->clear();
    recalculate();
}

void AttenuationWindow::setMaterial(const QString& name, double density) {
    m_materialLabel->setText(name);
    m_density->setText(QString::fromStdString(formatNumber(density, "0.0#####")));
    clearReading();
}

std::optional<double> AttenuationWindow::typedNumber(const QLineEdit& box) const {
    return strictNumber(trimBlanks(box.text().toStdString()));
}

void AttenuationWindow::showLengthUnits() {
    for (QLabel* label : m_lengthUnits) {
        label->setText(m_unit->currentText());
    }
}

void AttenuationWindow::clearResults(const QString& note) {
    for (QLineEdit* field : m_results) {
        field->clear();
    }
    m_thicknessFound->clear();
    m_note->setText(note);
}

// Every box is read afresh, so no result outlives the input it came from.
void AttenuationWindow::recalculate() {
    if (!m_energyValue) {
        clearResults(QStringLiteral("Choose an energy in the values window."));
        return;
    }
    const std::optional<double> density = typedNumber(*m_density);
    const std::optional<double> thickness = typedNumber(*m_thickness);
    if (!density || !(*density > 0) || !std::isfinite(*density)) {
        clearResults(QStringLiteral("Type a density above 0."));
        return;
    }
    const ThicknessUnit unit = chosenThicknessUnit(*m_unit);
    const std::optional<Attenuation> a =
        thickness ? attenuationOf(m_muOverRho, m_muEnOverRho, *density,
                                  thicknessInCm(*thickness, unit, *density))
                  : std::nullopt;
    if (!a) {
        clearResults(QStringLiteral("Type a thickness of 0 or more."));
        return;
    }
    const double values[] = {a->transmission,
                             a->attenuated,
                             a->energyAbsorbed,
                             thicknessInUnit(a->halfValueLayer, unit, *density),
                             thicknessInUnit(a->tenthValueLayer, unit, *density),
                             thicknessInUnit(a->meanFreePath, unit, *density)};
    for (size_t k = 0; k < m_results.size(); ++k) {
        m_results[k]->setText(formatted(values[k]));
    }
    m_note->clear();
    showThicknessForTransmission(*density, unit);
}

void AttenuationWindow::showThicknessForTransmission(double density, ThicknessUnit unit) {
    m_thicknessFound->clear();
    if (m_wantedTransmission->text().trimmed().isEmpty()) {
        return;
    }
    const std::optional<double> wanted = typedNumber(*m_wantedTransmission);
    const std::optional<double> thickness =
        wanted ? thicknessForTransmission(m_muOverRho, density, *wanted) : std::nullopt;
    if (!thickness) {
        m_note->setText(QStringLiteral("Type a transmission above 0 and at most 1."));
        return;
    }
    m_thicknessFound->setText(formatted(thicknessInUnit(*thickness, unit, density)));
}

} // namespace tarvo::coefview
