#pragma once

#include "coefview/attenuation.h"

#include <QWidget>

#include <array>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo::coefview {

// Narrow-beam attenuation of a layer at the energy of the values window: transmission,
// attenuated and absorbed fractions, half- and tenth-value layers, mean free path, and the
// thickness for a transmission typed in. It follows the values window's energy.
class AttenuationWindow : public QWidget {
    Q_OBJECT
  public:
    // The results in window order.
    enum class Result {
        transmission,
        attenuated,
        energyAbsorbed,
        halfValueLayer,
        tenthValueLayer,
        meanFreePath
    };

    explicit AttenuationWindow(QWidget* parent = nullptr);

    // The energy (MeV) and mu/rho, mu_en/rho (cm2/g) the values window shows.
    void setReading(double energy, double muOverRho, double muEnOverRho);
    // The values window shows no energy.
    void clearReading();
    // A newly drawn table: its name and density (g/cm3), which the user may change.
    void setMaterial(const QString& name, double density);

    QLineEdit& densityBox() { return *m_density; }
    QLineEdit& thicknessBox() { return *m_thickness; }
    QComboBox& unitList() { return *m_unit; }
    QLineEdit& transmissionBox() { return *m_wantedTransmission; }
    QLineEdit& energyField() { return *m_energy; }
    QLineEdit& result(Result which) { return *m_results[static_cast<size_t>(which)]; }
    // The thickness that lets the typed transmission through, in the unit chosen.
    QLineEdit& thicknessForTransmissionField() { return *m_thicknessFound; }
    // Why nothing is shown, or empty.
    QLabel& noteLabel() { return *m_note; }
    QPushButton& closeButton() { return *m_closeButton; }

    // Calculates again from what the boxes hold.
    void recalculate();

  private:
    void createControls();
    QWidget* createInputs();
    QWidget* createResults();
    void connectSignals();
    void clearResults(const QString& note);
    void showLengthUnits();
    void showThicknessForTransmission(double density, ThicknessUnit unit);
    std::optional<double> typedNumber(const QLineEdit& box) const;

    std::optional<double> m_energyValue;
    double m_muOverRho = 0.0;
    double m_muEnOverRho = 0.0;
    QLabel* m_materialLabel = nullptr;
    QLineEdit* m_energy = nullptr;
    QLineEdit* m_density = nullptr;
    QLineEdit* m_thickness = nullptr;
    QComboBox* m_unit = nullptr;
    QLineEdit* m_wantedTransmission = nullptr;
    QLineEdit* m_thicknessFound = nullptr;
    std::array<QLineEdit*, 6> m_results{};
    std::array<QLabel*, 4> m_lengthUnits{}; // beside the three layers and the found thickness
    QLabel* m_note = nullptr;
    QPushButton* m_closeButton = nullptr;
};

} // namespace tarvo::coefview
