#pragma once

#include "coefview/coefficient_session.h"
#include "coefview/coefficient_table.h"
#include "coefview/coefficient_values.h"
#include "coefview/values_window.h"
#include "common/enlarged_view_session.h"
#include "common/program_start.h"
#include "common/table_lists.h"
#include "common/user_prompts.h"
#include "common/viewer_shell.h"

#include <QObject>

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace tarvo {

class CreatorWindow;
class EnlargedView;
class MainWindow;
class SaveDialog;
class StartNotice;

} // namespace tarvo

namespace tarvo::coefview {

class CompositionWindow;
class EqualIntervalDialog;
class AttenuationWindow;
class BeamWindow;
class GraphWindow;

// The coefficient viewer: its windows, the selected path, the current table with its
// extremes, and the actions that connect them.
class CoefficientViewer : public QObject {
    Q_OBJECT
  public:
    CoefficientViewer(UserPrompts& prompts, ProgramStarter startProgram);
    ~CoefficientViewer() override;

    // Start-up: the main window when the start files can be read, else only the notice.
    bool start();

    MainWindow& mainWindow() { return *m_main; }
    // The viewer's windows, each created on first use.
    coefview::GraphWindow& graphWindow();
    EnlargedView& enlargedView();
    coefview::ValuesWindow& valuesWindow();
    coefview::CompositionWindow& compositionWindow();
    StartNotice* startNotice() { return m_shell.startNotice(); }
    coefview::EqualIntervalDialog& equalIntervalDialog();
    coefview::AttenuationWindow& attenuationWindow();
    coefview::BeamWindow& beamWindow();
    SaveDialog& csvSaveDialog();
    SaveDialog& imageSaveDialog();
    CreatorWindow& materialCreator();
    const std::string& selectedPath() { return m_shell.lists().selectedPath(); }
    const CoefficientTable& currentTable() const { return *m_session.table; }
    const CoefficientExtremes& extremes() const { return m_session.extremes; }
    bool addedToEnlargedView() const { return m_enlarged.holdsCurves(); }

    // Main window: a list click, an option, "OK" (draw the selected table), "Delete",
    // "Indicate composition", "Create New Data", the exit button and the close box.
    void selectElement(const QString& file);
    void selectMaterial(const QString& file);
    void chooseCategory(MaterialCategory category);
    void draw();
    void deleteSelected();
    void indicateComposition();
    void openMaterialCreator();
    void exitToLauncher();
    void closeMainWindow();
    // Graph window and enlarged view: add, "Close", "Save as a BMP image", and the cursor
    // read-out at a pointer position in user units.
    void addToEnlargedView();
    void closeEnlargedView();
    void saveEnlargedViewRequested();
    void mouseMoveCoefficientPlot(double x, double y);
    void mouseMoveRatioPlot(double x, double y);
    // Values window: a row chosen, Enter in the energy box or a coefficient box (MeV,
    // cm2/g), a "⇒" button, the CSV export and the equal-interval dialog.
    void showOtherSide(OtherSide side);
    // An energy of the crossing list: the read-out moves there.
    void moveToCrossing(double energy);
    void selectRow(int position);
    void enterEnergy();
    void enterCoefficient(Coefficient key);
    void clearForEntry(coefview::ValuesWindow::Box box);
    void openEqualIntervalDialog();
    void openCsvExport();
    // "Attenuation…": the calculator at the energy shown, following it from then on.
    void openAttenuation();
    // "Beam…": the beam window, whose third material follows the drawn table.
    void openBeam();

  private:
    void connectValuesWindow();
    void hideTableWindows();
    using Coefficients = std::array<double, 3>;
    void placeCursor(double energy, const Coefficients& values, const QString& readOutPattern);
    void readOut(int row, const QString& pattern);
    void showCoefficients(double energy, const Coefficients& values, const char* energyPattern);
    // What the values window shows, which the attenuation window follows.
    struct ShownReading {
        double energy = 0.0;
        Coefficients values{};
    };
    void setShownReading(std::optional<ShownReading> shown);
    // The drawn table as a material name: an element's symbol, a material's stem.
    QString drawnTableName() const;

    UserPrompts& m_prompts;
    ViewerShell m_shell;
    MainWindow* m_main;
    EnlargedViewSession m_enlarged;
    std::unique_ptr<coefview::GraphWindow> m_graph;
    std::unique_ptr<coefview::ValuesWindow> m_values;
    std::unique_ptr<coefview::CompositionWindow> m_composition;
    std::unique_ptr<coefview::EqualIntervalDialog> m_equalInterval;
    std::unique_ptr<coefview::AttenuationWindow> m_attenuation;
    std::unique_ptr<coefview::BeamWindow> m_beam;
    std::optional<ShownReading> m_shown;
    std::unique_ptr<SaveDialog> m_csvSave;
    std::unique_ptr<CreatorWindow> m_creator;
    CoefficientSession m_session;
};

} // namespace tarvo::coefview
