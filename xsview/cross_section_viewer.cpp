#include "cross_section_viewer.h"

#include "common/creator_window.h"
#include "common/crossing_list.h"
#include "common/display_text.h"
#include "common/enlarged_view.h"
#include "common/enlarged_view_session.h"
#include "common/graph_surface.h"
#include "common/list_choice.h"
#include "common/main_window.h"
#include "common/number_format.h"
#include "common/numeric_text.h"
#include "common/other_side_fields.h"
#include "common/save_dialog.h"
#include "common/start_notice.h"
#include "common/table_reader.h"
#include "common/text_file.h"
#include "xsview/creators.h"
#include "xsview/cross_section_plot.h"
#include "xsview/graph_window.h"
#include "xsview/new_data_chooser.h"
#include "xsview/plot_frames.h"
#include "xsview/values_at_energy.h"
#include "xsview/values_window.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <cmath>

namespace tarvo::xsview {
namespace {

QString formatted(double value) {
    return QString::fromStdString(formatNumber(value, "0.000E+00"));
}

} // namespace

CrossSectionViewer::CrossSectionViewer(UserPrompts& prompts, ProgramStarter startProgram)
    : m_prompts(prompts),
      m_shell(std::make_unique<MainWindow>(MainWindowTexts{
                  {QStringLiteral("Photon Cross Sections Database")}, QStringLiteral("Density")}),
              prompts, std::move(startProgram), kCrossSectionTables, readTableHeader, "#0.000###"),
      m_main(&m_shell.mainWindow()),
      m_enlarged(enlargedViewFrame(), drawEnlargedViewFrame,
                 SaveDialogTexts{QStringLiteral("Image Save"),
                                 QStringLiteral("Image save in bmp format"),
                                 QStringLiteral("Input the File name without the extension"),
                                 QStringLiteral(".bmp"), QStringLiteral(" Input File name  "),
                                 QStringLiteral(" Image saved in bitmap format ")},
                 prompts) {
    connect(&m_main->plotButton(), &QPushButton::clicked, this,
            &CrossSectionViewer::calculateAndPlot);
    connect(&m_main->newDataButton(), &QPushButton::clicked, this,
            &CrossSectionViewer::openNewData);
    connect(&m_shell, &ViewerShell::deleted, this, &CrossSectionViewer::hideTableWindows);
}

// Every window but the main window is created on first use and kept from then on.
GraphWindow& CrossSectionViewer::graphWindow() {
    if (!m_graph) {
        m_graph = std::make_unique<GraphWindow>();
        connect(&m_graph->enlargeButton(), &QPushButton::clicked, this,
                &CrossSectionViewer::addToEnlargedView);
        m_enlarged.attachButton(m_graph->enlargeButton());
        connect(&m_graph->crossSectionPlot(), &GraphSurface::mouseMoved, this,
                &CrossSectionViewer::mouseMoveCrossSectionPlot);
        connect(&m_graph->fractionPlot(), &GraphSurface::mouseMoved, this,
                &CrossSectionViewer::mouseMoveFractionPlot);
    }
    return *m_graph;
}

EnlargedView& CrossSectionViewer::enlargedView() {
    return m_enlarged.view();
}

ValuesWindow& CrossSectionViewer::valuesWindow() {
    if (!m_values) {
        m_values = std::make_unique<ValuesWindow>();
        m_values->enableFields(false);
        connectValuesWindow();
    }
    return *m_values;
}

NewDataChooser& CrossSectionViewer::chooser() {
    if (!m_chooser) {
        m_chooser = std::make_unique<NewDataChooser>();
        connect(&m_chooser->compoundButton(), &QPushButton::clicked, this,
                &CrossSectionViewer::openCompoundCreator);
        connect(&m_chooser->mixtureButton(), &QPushButton::clicked, this,
                &CrossSectionViewer::openMixtureCreator);
        connect(&m_chooser->cancelButton(), &QPushButton::clicked, this,
                &CrossSectionViewer::cancelNewData);
        connect(m_chooser.get(), &NewDataChooser::closeRequested, this,
                &CrossSectionViewer::cancelNewData);
    }
    return *m_chooser;
}

CreatorWindow& CrossSectionViewer::compoundCreator() {
    if (!m_compound) {
        m_compound = makeCompoundCreator(m_prompts);
        connect(m_compound.get(), &CreatorWindow::closed, this, &CrossSectionViewer::creatorClosed);
    }
    return *m_compound;
}

CreatorWindow& CrossSectionViewer::mixtureCreator() {
    if (!m_mixture) {
        m_mixture = makeMixtureCreator(m_prompts);
        connect(m_mixture.get(), &CreatorWindow::closed, this, &CrossSectionViewer::creatorClosed);
    }
    return *m_mixture;
}

SaveDialog& CrossSectionViewer::imageSaveDialog() {
    return m_enlarged.imageSaveDialog();
}

SaveDialog& CrossSectionViewer::csvSaveDialog() {
    if (!m_csvSave) {
        createCsvSaveDialog();
    }
    return *m_csvSave;
}

void CrossSectionViewer::createCsvSaveDialog() {
    m_csvSave = std::make_unique<SaveDialog>(
        SaveDialogTexts{QStringLiteral("Save  in CSV format"),
                        QStringLiteral("Save in the Excel csv format"),
                        QStringLiteral("Input the File name without the extension"),
                        QStringLiteral(".csv"), QStringLiteral(" Input the File name "),
                        QStringLiteral("  Data saved in the Excel csv format ")},
        m_prompts);
    // The export reads the selected table afresh, so it holds the table last clicked even
    // when it was never plotted; the loaded table and its windows stay as they are.
    auto table = std::make_shared<std::optional<CrossSectionTable>>();
    m_csvSave->setSource([this, table](std::string& error) {
        if (m_shell.lists().selectedPath().empty()) {
            error = "no table is selected";
            return false;
        }
        *table = loadCrossSectionTable(m_shell.lists().selectedPath(), error);
        return table->has_value();
    });
    m_csvSave->setWriter([table](const std::string& path, std::string& error) {
        return table->has_value() && writeCrossSectionCsv(path, **table, error);
    });
}

CrossSectionViewer::~CrossSectionViewer() = default;

bool CrossSectionViewer::start() {
    if (!m_shell.start()) {
        return false;
    }
    m_enlarged.clear();
    return true;
}

void CrossSectionViewer::connectValuesWindow() {
    ValuesWindow& values = *m_values;
    // The row chosen by click, keyboard, assistive technology or the mouse read-out.
    whenRowChosen(values.rowList(), this, [this](int row) { selectRow(row); });
    connect(&values.crossingList(), &CrossingList::energyChosen, this,
            &CrossSectionViewer::moveToCrossing);
    connect(&values.field(ValuesWindow::Field::energy), &QLineEdit::returnPressed, this,
            &CrossSectionViewer::enterEnergy);
    connect(&values.field(ValuesWindow::Field::total), &QLineEdit::returnPressed, this,
            &CrossSectionViewer::enterTotal);
    connect(&values.energyButton(), &QPushButton::clicked, this,
            &CrossSectionViewer::clearForEnergy);
    connect(&values.totalButton(), &QPushButton::clicked, this, &CrossSectionViewer::clearForTotal);
    connect(&values.exportButton(), &QPushButton::clicked, this,
            &CrossSectionViewer::openCsvExport);
}

void CrossSectionViewer::openNewData() {
    chooser().show();
    m_main->hide();
    hideIfCreated(m_values.get());
    hideIfCreated(m_graph.get());
    hideIfCreated(m_enlarged.imageSaveDialogIfCreated());
    hideIfCreated(m_csvSave.get());
}

void CrossSectionViewer::cancelNewData() {
    m_main->show();
    chooser().hide();
}

void CrossSectionViewer::openCompoundCreator() {
    compoundCreator().open();
    chooser().hide();
}

void CrossSectionViewer::openMixtureCreator() {
    mixtureCreator().open();
    chooser().hide();
}

void CrossSectionViewer::creatorClosed(bool saved) {
    if (saved) {
        m_shell.lists().refreshMaterialList();
    }
    m_main->show();
}

void CrossSectionViewer::openCsvExport() {
    csvSaveDialog().prepareAndShow();
}

void CrossSectionViewer::chooseCategory(MaterialCategory category) {
    m_shell.lists().chooseCategory(category);
}

void CrossSectionViewer::selectElement(const QString& file) {
    m_shell.selectElement(file);
}

void CrossSectionViewer::selectMaterial(const QString& file) {
    m_shell.selectMaterial(file);
}

void CrossSectionViewer::deleteSelected() {
    m_shell.deleteSelected();
}

// A deleted table's windows go.
void CrossSectionViewer::hideTableWindows() {
    hideIfCreated(m_graph.get());
    m_enlarged.hideIfCreated();
    hideIfCreated(m_values.get());
}

void CrossSectionViewer::calculateAndPlot() {
    if (m_shell.lists().selectedPath().empty()) {
        m_prompts.showMessage(m_main, QStringLiteral("Select material "), MessageIcon::Exclamation);
        return;
    }
    std::string error;
    if (!m_session.load(m_shell.lists().selectedPath(), error)) {
        m_prompts.showMessage(m_main, displayText(error), MessageIcon::Exclamation);
        return;
    }
    valuesWindow().clearFields();
    valuesWindow().enableFields(true);
    valuesWindow().rowList().blockSignals(true);
    valuesWindow().rowList().clear();
    for (int i = 1; i <= m_session.table->rowCount; ++i) {
        valuesWindow().rowList().addItem(
            QStringLiteral(" ") + displayText(m_session.table->lines[static_cast<size_t>(i)]));
    }
    valuesWindow().rowList().blockSignals(false);
    valuesWindow().setWindowTitle(displayText(m_session.graphTitle));
    graphWindow().setWindowTitle(displayText(m_session.graphTitle));
    drawCrossSectionPlot(graphWindow().crossSectionPlot(), *m_session.table);
    graphWindow().hideCrosshair();
    drawFractionFrame(graphWindow().fractionPlot(), *m_session.table);
    m_enlarged.tableDrawn();
    graphWindow().show();
    valuesWindow().show();
}

void CrossSectionViewer::addToEnlargedView() {
    if (!m_session.loaded) {
        return;
    }
    m_enlarged.add(displayText(m_session.graphTitle), [this](GraphSurface& picture, bool later) {
        addCurvesToEnlargedView(picture, *m_session.table, later);
    });
}

void CrossSectionViewer::closeEnlargedView() {
    m_enlarged.close();
}

void CrossSectionViewer::saveEnlargedViewRequested() {
    m_enlarged.save();
}

// The vertical lines stand at the nearest row's energy on every move, not only when the
// row changes; beyond 100 MeV, which the plots do not show, at the pointer.
double CrossSectionViewer::rowX(int row, double pointerX) const {
    const double energy = m_session.table->rows[static_cast<size_t>(row)].energy;
    return energy > 0 && energy <= 100.0 ? readOutX(energy) : pointerX;
}

void CrossSectionViewer::mouseMoveCrossSectionPlot(double x, double y) {
    GraphSurface& plot = graphWindow().crossSectionPlot();
    const int row = nearestRow(m_session.reading, x);
    if (!overCrossSectionPlot(x, y) || row == 0) {
        plot.setCrossPointer(false);
        graphWindow().hideCrosshair();
        return;
    }
    plot.setCrossPointer(true);
    graphWindow().placeCrossSectionVertical(rowX(row, x));
    graphWindow().placeCrossSectionHorizontal(y);
    graphWindow().placeFractionVertical(rowX(row, x));
    valuesWindow().rowList().setCurrentRow(row - 1);
}

void CrossSectionViewer::mouseMoveFractionPlot(double x, double y) {
    GraphSurface& plot = graphWindow().fractionPlot();
    const int row = nearestRow(m_session.reading, x);
    if (!overFractionPlot(x, y) || row == 0) {
        plot.setCrossPointer(false);
        graphWindow().hideCrosshair();
        return;
    }
    plot.setCrossPointer(true);
    graphWindow().placeCrossSectionVertical(rowX(row, x));
    graphWindow().placeFractionVertical(rowX(row, x));
    graphWindow().placeFractionHorizontal(y);
    valuesWindow().rowList().setCurrentRow(row - 1);
}

// The energy and the six columns coherent to total.
void CrossSectionViewer::showValues(double energy, const std::array<double, 6>& values) {
    valuesWindow().field(ValuesWindow::Field::energy).setText(formatted(energy));
    // The fields follow the energy in the order of the columns.
    for (int c = 0; c < 6; ++c) {
        valuesWindow()
            .field(static_cast<ValuesWindow::Field>(c + 1))
            .setText(formatted(values[static_cast<size_t>(c)]));
    }
}

void CrossSectionViewer::selectRow(int position) {
    const int i = position + 1;
    if (!m_session.loaded || i < 1 || i > m_session.table->rowCount) {
        return;
    }
    const auto& row = m_session.reading.values[static_cast<size_t>(i)];
    const double energy = m_session.reading.energies[static_cast<size_t>(i)];
    showValues(energy, {row[0], row[1], row[2], row[3], row[4], row[5]});
    valuesWindow().crossingList().clearEnergies();
    showOtherSide(otherSideOfRow(m_session.reading, i));
    if (energy <= 100.0 && energy > 0) {
        graphWindow().placeCrossSectionVertical(readOutX(energy));
        graphWindow().placeFractionVertical(readOutX(energy));
    }
}

// At an edge energy the six values across the edge stand beside the fields.
void CrossSectionViewer::showOtherSide(OtherSide side) {
    valuesWindow().otherSide().showSide(m_session.reading, side, formatted);
}

void CrossSectionViewer::moveToCrossing(double energy) {
    const Reading reading =
        readAtEnergy(m_session.reading, energy, kLowestReadingEnergy, kHighestReadingEnergy);
    if (reading.result == ReadingResult::found) {
        showReading(reading);
    }
}

void CrossSectionViewer::showReading(const Reading& reading) {
    const auto& v = reading.values;
    showValues(reading.energy, {v[0], v[1], v[2], v[3], v[4], v[5]});
    showOtherSide(otherSideOfReading(m_session.reading, reading));
    const double total = v[static_cast<size_t>(CrossSectionColumn::total)];
    graphWindow().placeCrossSectionVertical(readOutX(reading.energy));
    graphWindow().placeCrossSectionHorizontal(readOutTotalY(total));
    graphWindow().placeFractionVertical(readOutX(reading.energy));
}

void CrossSectionViewer::enterEnergy() {
    const double energy = boxNumericValue(
        valuesWindow().field(ValuesWindow::Field::energy).text().toStdString(), true);
    const Reading reading =
        readAtEnergy(m_session.reading, energy, kLowestReadingEnergy, kHighestReadingEnergy);
    if (reading.result != ReadingResult::found) {
        m_prompts.showMessage(&valuesWindow(), QStringLiteral("This value is out of range."),
                              MessageIcon::Exclamation);
        valuesWindow().field(ValuesWindow::Field::energy).clear();
        valuesWindow().field(ValuesWindow::Field::total).clear();
        valuesWindow().crossingList().clearEnergies();
        return;
    }
    valuesWindow().crossingList().clearEnergies();
    showReading(reading);
}

void CrossSectionViewer::enterTotal() {
    const double total = boxNumericValue(
        valuesWindow().field(ValuesWindow::Field::total).text().toStdString(), true);
    const Reading reading =
        readEnergyAt(m_session.reading, static_cast<int>(CrossSectionColumn::total), total,
                     m_session.table->minTotal, m_session.table->maxTotal, kLowestReadingEnergy,
                     kHighestReadingEnergy);
    if (reading.result == ReadingResult::outOfRange) {
        m_prompts.showMessage(&valuesWindow(), QStringLiteral("This value is out of range."),
                              MessageIcon::Exclamation);
        valuesWindow().clearFields();
        return;
    }
    const int column = static_cast<int>(CrossSectionColumn::total);
    if (reading.result == ReadingResult::calculationError) {
        m_prompts.showMessage(&valuesWindow(), QStringLiteral("Calculation error"),
                              MessageIcon::Exclamation);
        valuesWindow().field(ValuesWindow::Field::total).clear();
        // The curve may still take the value at energies the lookup does not reach.
        valuesWindow().crossingList().offerCrossings(
            everyEnergyAt(m_session.reading, column, total), formatted);
        return;
    }
    showReading(reading);
    valuesWindow().crossingList().showCrossings(everyEnergyAt(m_session.reading, column, total),
                                                reading.energy, formatted);
}

void CrossSectionViewer::clearForEnergy() {
    valuesWindow().clearFields();
    valuesWindow().field(ValuesWindow::Field::energy).setFocus();
}

void CrossSectionViewer::clearForTotal() {
    valuesWindow().clearFields();
    valuesWindow().field(ValuesWindow::Field::total).setFocus();
}

void CrossSectionViewer::exitToLauncher() {
    m_shell.leave(QStringLiteral("Tarvo_V7S"));
}

void CrossSectionViewer::closeMainWindow() {
    m_shell.leave(QStringLiteral("Tarvo_V6"));
}

} // namespace tarvo::xsview
