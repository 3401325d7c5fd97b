#pragma once

#include "beams/beam_figures.h"
#include "common/data_directory.h"
#include "common/user_prompts.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarvo {
class GraphSurface;
class SaveDialog;
} // namespace tarvo

namespace tarvo::coefview {

class FilterRowsEditor;

// A photon beam seen whole: its source (a tube, a standard quality or a spectrum file), the
// filters it passes, its spectrum before and after them, the air-kerma transmission through
// a chosen material with HVL1 and HVL2 marked, and its quality in aluminium, copper and that
// material. Every change computes the beam again; a setting that gives none leaves the last
// beam on screen, marked stale, and says which box is at fault.
class BeamWindow : public QWidget {
    Q_OBJECT
  public:
    // The three columns of the quality table.
    static constexpr int kQualityColumns = 3;

    BeamWindow(UserPrompts& prompts, DataDirectory data, QWidget* parent = nullptr);
    ~BeamWindow() override;

    // The source list's entries, in order: a tube, a standard quality, a spectrum file.
    QComboBox& sourceList() { return *m_source; }
    QComboBox& anodeList() { return *m_anode; }
    QLineEdit& voltageBox() { return *m_voltage; }
    QLineEdit& rippleBox() { return *m_ripple; }
    QComboBox& qualityList() { return *m_quality; }
    QLineEdit& fileBox() { return *m_file; }
    QPushButton& chooseFileButton() { return *m_chooseFile; }
    // The file chooser "Choose…" opens, made on first use.
    QFileDialog& fileDialog();
    FilterRowsEditor& filters() { return *m_filters; }
    // The third material of the quality table and the transmission plot.
    QLineEdit& chosenMaterialBox() { return *m_chosenMaterial; }
    QCheckBox& logarithmicBox() { return *m_logarithmic; }
    // Why the figures shown are of an earlier setting, or empty.
    QLabel& noteLabel() { return *m_note; }
    // The beam's own figures in beamFigures' order, and the quality table's fields by
    // qualityRows' row and column (Al, Cu, the chosen material).
    QLineEdit& figureField(int row) { return *m_figures.at(static_cast<std::size_t>(row)); }
    QLineEdit& qualityField(int row, int column);
    QLabel& chosenHeading() { return *m_chosenHeading; }
    GraphSurface& spectrumPlot() { return *m_spectrumPlot; }
    GraphSurface& transmissionPlot() { return *m_transmissionPlot; }
    QLineEdit& spectrumReadOut() { return *m_spectrumReadOut; }
    QLineEdit& transmissionReadOut() { return *m_transmissionReadOut; }
    QPushButton& saveSpectrumButton() { return *m_saveSpectrum; }
    QPushButton& saveSpectrumPlotButton() { return *m_saveSpectrumPlot; }
    QPushButton& saveTransmissionPlotButton() { return *m_saveTransmissionPlot; }
    QPushButton& closeButton() { return *m_closeButton; }
    // The save dialogs, made on first use.
    SaveDialog& spectrumSaveDialog();
    SaveDialog& spectrumPlotSaveDialog();
    SaveDialog& transmissionPlotSaveDialog();

    // The beam shown, or nothing before the first; whether it is of an earlier setting.
    const BeamStudy* study() const { return m_study ? &*m_study : nullptr; }
    bool stale() const { return m_stale; }
    // The viewer drew a table: its name becomes the chosen material.
    void setChosenMaterial(const QString& name);
    // Computes the beam again from what the boxes hold.
    void recalculate();
    // The pointer over a plot, in its user units.
    void pointerOverSpectrum(double x, double y);
    void pointerOverTransmission(double x, double y);

  private:
    QWidget* createSource();
    QWidget* createLayers();
    QWidget* createQualityTable();
    QWidget* createPlots();
    QWidget* createButtons();
    void connectSignals();
    void showSourceControls();
    std::variant<BeamSetting, BeamProblem> typedSetting() const;
    QWidget* boxOf(const BeamProblem& problem);
    void showStudy(BeamStudy study, const BeamSetting& setting);
    void showProblem(const BeamProblem& problem);
    void drawPlots();
    void clearFigures();
    SaveDialog& saveDialog(std::unique_ptr<SaveDialog>& dialog, const QString& what,
                           GraphSurface* plot);

    UserPrompts& m_prompts;
    DataDirectory m_data;
    std::optional<BeamStudy> m_study;
    BeamSetting m_shownSetting;
    bool m_stale = false;
    QComboBox* m_source = nullptr;
    QComboBox* m_anode = nullptr;
    QLineEdit* m_voltage = nullptr;
    QLineEdit* m_ripple = nullptr;
    QComboBox* m_quality = nullptr;
    QLineEdit* m_file = nullptr;
    QPushButton* m_chooseFile = nullptr;
    QFileDialog* m_fileDialog = nullptr;
    FilterRowsEditor* m_filters = nullptr;
    QLineEdit* m_chosenMaterial = nullptr;
    QCheckBox* m_logarithmic = nullptr;
    QLabel* m_note = nullptr;
    QGroupBox* m_qualityGroup = nullptr;
    std::array<QLineEdit*, 3> m_figures{};
    std::array<std::array<QLineEdit*, kQualityColumns>, 6> m_qualityFields{};
    int m_spectrumLine = 0;
    int m_thicknessLine = 0;
    int m_transmissionLine = 0;
    QLabel* m_chosenHeading = nullptr;
    GraphSurface* m_spectrumPlot = nullptr;
    GraphSurface* m_transmissionPlot = nullptr;
    QLineEdit* m_spectrumReadOut = nullptr;
    QLineEdit* m_transmissionReadOut = nullptr;
    QPushButton* m_saveSpectrum = nullptr;
    QPushButton* m_saveSpectrumPlot = nullptr;
    QPushButton* m_saveTransmissionPlot = nullptr;
    QPushButton* m_closeButton = nullptr;
    std::unique_ptr<SaveDialog> m_spectrumSave;
    std::unique_ptr<SaveDialog> m_spectrumPlotSave;
    std::unique_ptr<SaveDialog> m_transmissionPlotSave;
};

} // namespace tarvo::coefview
