#pragma once

#include "common/enlarged_view_session.h"
#include "common/program_start.h"
#include "common/table_lists.h"
#include "common/table_reading.h"
#include "common/user_prompts.h"
#include "common/viewer_shell.h"
#include "xsview/cross_section_session.h"
#include "xsview/cross_section_table.h"

#include <QObject>

#include <array>
#include <memory>
#include <string>

namespace tarvo {

class CreatorWindow;
class MainWindow;
class EnlargedView;
class SaveDialog;
class StartNotice;

} // namespace tarvo

namespace tarvo::xsview {

class GraphWindow;
class NewDataChooser;
class ValuesWindow;

// The cross-section viewer: its windows, the selected path, the loaded table and the
// enlarged view's state, and the actions that connect them.
class CrossSectionViewer : public QObject {
    Q_OBJECT
  public:
    CrossSectionViewer(UserPrompts& prompts, ProgramStarter startProgram);
    ~CrossSectionViewer() override;

    // Start-up: the main window when the start files can be read, else only the notice.
    bool start();

    MainWindow& mainWindow() { return *m_main; }
    // The viewer's windows, each created on first use.
    GraphWindow& graphWindow();
    EnlargedView& enlargedView();
    ValuesWindow& valuesWindow();
    StartNotice* startNotice() { return m_shell.startNotice(); }
    NewDataChooser& chooser();
    CreatorWindow& compoundCreator();
    CreatorWindow& mixtureCreator();
    SaveDialog& imageSaveDialog();
    SaveDialog& csvSaveDialog();
    const std::string& selectedPath() { return m_shell.lists().selectedPath(); }
    const CrossSectionTable& loadedTable() const { return *m_session.table; }
    bool addedToEnlargedView() const { return m_enlarged.holdsCurves(); }

    // Main window.
    void selectElement(const QString& file);
    void selectMaterial(const QString& file);
    void chooseCategory(MaterialCategory category);
    void deleteSelected();
    void openNewData();
    void cancelNewData();
    void openCompoundCreator();
    void openMixtureCreator();
    void exitToLauncher();
    void closeMainWindow();
    // Graph window and enlarged view.
    void calculateAndPlot();
    void addToEnlargedView();
    void closeEnlargedView();
    void saveEnlargedViewRequested();
    void mouseMoveCrossSectionPlot(double x, double y);
    void mouseMoveFractionPlot(double x, double y);
    // Values-at-energy window.
    void selectRow(int position);
    void enterEnergy();
    void enterTotal();
    void clearForEnergy();
    void clearForTotal();
    void openCsvExport();

  private:
    void connectValuesWindow();
    void createCsvSaveDialog();
    void creatorClosed(bool saved);
    void hideTableWindows();
    void showValues(double energy, const std::array<double, 6>& values);
    void showReading(const Reading& reading);
    void showOtherSide(OtherSide side);
    // An energy of the crossing list: the read-out moves there.
    void moveToCrossing(double energy);
    double rowX(int row, double pointerX) const;

    UserPrompts& m_prompts;
    ViewerShell m_shell;
    MainWindow* m_main;
    EnlargedViewSession m_enlarged;
    std::unique_ptr<GraphWindow> m_graph;
    std::unique_ptr<ValuesWindow> m_values;
    std::unique_ptr<NewDataChooser> m_chooser;
    std::unique_ptr<CreatorWindow> m_compound;
    std::unique_ptr<CreatorWindow> m_mixture;
    std::unique_ptr<SaveDialog> m_csvSave;
    CrossSectionSession m_session;
};

} // namespace tarvo::xsview
