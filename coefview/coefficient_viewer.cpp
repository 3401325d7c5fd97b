#include "coefficient_viewer.h"

#include "coefview/attenuation_window.h"
#include "coefview/beam_window.h"
#include "coefview/coefficient_plot.h"
#include "coefview/composition_window.h"
#include "coefview/equal_interval_dialog.h"
#include "coefview/graph_window.h"
#include "coefview/material_creator.h"
#include "coefview/plot_frames.h"
#include "coefview/values_window.h"
#include "common/creator_window.h"
#include "common/crossing_list.h"
#include "common/display_text.h"
#include "common/enlarged_view.h"
#include "common/enlarged_view_session.h"
#include "common/exchange_files.h"
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

#include <QButtonGroup>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <cmath>

namespace tarvo::coefview {
namespace {

using coefview::ValuesWindow;

QString formatted(double value, const char* pattern) {
    return QString::fromStdString(formatNumber(value, pattern));
}

MainWindowTexts mainWindowTexts() {
    return {{QStringLiteral("Mass attenuation, energy-transfer"),
             QStringLiteral("and energy-absorption coefficient")},
            QStringLiteral(" Density  ="),
            true};
}

} // namespace

CoefficientViewer::CoefficientViewer(UserPrompts& prompts, ProgramStarter startProgram)
    : m_prompts(prompts),
      m_shell(std::make_unique<MainWindow>(mainWindowTexts()), prompts, std::move(startProgram),
              kCoefficientTables, readCoefficientHeader, "#0.000####", {kRequestFile, kResultFile}),
      m_main(&m_shell.mainWindow()),
      m_enlarged(coefficientEnlargedFrame(), drawCoefficientEnlargedFrame,
                 SaveDialogTexts{QStringLiteral("Image save"),
                                 QStringLiteral("Image save in bmp format"),
                                 QStringLiteral("Input the File name without the extension"),
                                 QStringLiteral(".bmp"), QStringLiteral(" Input File name  "),
                                 QStringLiteral(" Image saved in bitmap format ")},
                 prompts) {
    connect(&m_main->plotButton(), &QPushButton::clicked, this, &CoefficientViewer::draw);
    connect(m_main->compositionButton(), &QPushButton::clicked, this,
            &CoefficientViewer::indicateComposition);
    connect(&m_main->newDataButton(), &QPushButton::clicked, this,
            &CoefficientViewer::openMaterialCreator);
    // A newly selected table is not the drawn one whose composition the button shows.
    connect(&m_shell, &ViewerShell::selected, this,
            [this] { m_main->compositionButton()->setEnabled(false); });
    connect(&m_shell, &ViewerShell::deleted, this, &CoefficientViewer::hideTableWindows);
    // The exchange files are another viewer's while it holds them.
    m_shell.keepOwnedFilesWhile([this] {
        const ExchangeLock none;
        return exchangeHeldElsewhere(m_equalInterval ? m_equalInterval->exchangeLock() : none);
    });
}

// Every window but the main window is created on first use and kept from then on.
coefview::GraphWindow& CoefficientViewer::graphWindow() {
    if (!m_graph) {
        m_graph = std::make_unique<coefview::GraphWindow>();
        connect(&m_graph->enlargeButton(), &QPushButton::clicked, this,
                &CoefficientViewer::addToEnlargedView);
        m_enlarged.attachButton(m_graph->enlargeButton());
        connect(&m_graph->coefficientPlot(), &GraphSurface::mouseMoved, this,
                &CoefficientViewer::mouseMoveCoefficientPlot);
        connect(&m_graph->ratioPlot(), &GraphSurface::mouseMoved, this,
                &CoefficientViewer::mouseMoveRatioPlot);
    }
    return *m_graph;
}

EnlargedView& CoefficientViewer::enlargedView() {
    return m_enlarged.view();
}

coefview::ValuesWindow& CoefficientViewer::valuesWindow() {
    if (!m_values) {
        m_values = std::make_unique<coefview::ValuesWindow>();
        connectValuesWindow();
    }
    return *m_values;
}

coefview::AttenuationWindow& CoefficientViewer::attenuationWindow() {
    if (!m_attenuation) {
        m_attenuation = std::make_unique<coefview::AttenuationWindow>();
        if (m_session.loaded) {
            m_attenuation->setMaterial(displayText(m_session.table->name),
                                       m_session.table->density);
        }
        setShownReading(m_shown);
    }
    return *m_attenuation;
}

coefview::BeamWindow& CoefficientViewer::beamWindow() {
    if (!m_beam) {
        // The beams layer reads the run directory by its own path, as scripts do.
        m_beam = std::make_unique<coefview::BeamWindow>(
            m_prompts, DataDirectory(std::filesystem::current_path()));
        if (m_session.loaded) {
            m_beam->setChosenMaterial(drawnTableName());
        }
    }
    return *m_beam;
}

QString CoefficientViewer::drawnTableName() const {
    const std::string stem = stemPart(m_session.drawnPath);
    const std::size_t mark = stem.find('_');
    const bool element = m_session.drawnPath.rfind("mu_ele", 0) == 0;
    return QString::fromStdString(element && mark != std::string::npos ? stem.substr(mark + 1)
                                                                       : stem);
}

void CoefficientViewer::openBeam() {
    beamWindow().show();
    beamWindow().raise();
}

void CoefficientViewer::openAttenuation() {
    attenuationWindow().show();
    attenuationWindow().raise();
}

void CoefficientViewer::setShownReading(std::optional<ShownReading> shown) {
    m_shown = shown;
    if (!m_attenuation) {
        return;
    }
    if (shown) {
        m_attenuation->setReading(shown->energy, shown->values[0], shown->values[2]);
    } else {
        m_attenuation->clearReading();
    }
}

coefview::CompositionWindow& CoefficientViewer::compositionWindow() {
    if (!m_composition) {
        m_composition = std::make_unique<coefview::CompositionWindow>();
    }
    return *m_composition;
}

coefview::EqualIntervalDialog& CoefficientViewer::equalIntervalDialog() {
    if (!m_equalInterval) {
        m_equalInterval = std::make_unique<coefview::EqualIntervalDialog>(
            m_prompts,
            [this]() -> const CoefficientTable* {
                return m_session.loaded ? m_session.table.get() : nullptr;
            },
            [this] { return m_session.drawnPath; });
    }
    return *m_equalInterval;
}

SaveDialog& CoefficientViewer::csvSaveDialog() {
    if (!m_csvSave) {
        m_csvSave = std::make_unique<SaveDialog>(
            SaveDialogTexts{QStringLiteral("Save  in the CSV format"),
                            QStringLiteral("Save in the Excel csv format"),
                            QStringLiteral("Input the file name without the extension"),
                            QStringLiteral(".csv"), QString(),
                            QStringLiteral(" Data saved in Excel csv format ")},
            m_prompts);
        // The export reads the selected file afresh; the current table stays as it is.
        auto table = std::make_shared<std::optional<CoefficientTable>>();
        m_csvSave->setSource([this, table](std::string& error) {
            if (m_shell.lists().selectedPath().empty()) {
                error = "no table is selected";
                return false;
            }
            *table = loadCoefficientTable(m_shell.lists().selectedPath(), false, error);
            return table->has_value();
        });
        m_csvSave->setWriter([table](const std::string& path, std::string& error) {
            return table->has_value() && writeCoefficientCsv(path, **table, error);
        });
    }
    return *m_csvSave;
}

SaveDialog& CoefficientViewer::imageSaveDialog() {
    return m_enlarged.imageSaveDialog();
}

CreatorWindow& CoefficientViewer::materialCreator() {
    if (!m_creator) {
        m_creator = makeMaterialCreator(m_prompts);
        connect(m_creator.get(), &CreatorWindow::closed, this, [this](bool saved) {
            if (saved) {
                m_shell.lists().refreshMaterialList();
            }
            m_main->show();
        });
    }
    return *m_creator;
}

CoefficientViewer::~CoefficientViewer() = default;

bool CoefficientViewer::start() {
    if (!m_shell.start()) {
        return false;
    }
    m_main->compositionButton()->setEnabled(false);
    m_enlarged.clear();
    return true;
}

void CoefficientViewer::connectValuesWindow() {
    ValuesWindow& values = *m_values; // called while the window is created
    // The row chosen by click, keyboard, assistive technology or the mouse read-out.
    whenRowChosen(values.rowList(), this, [this](int row) { selectRow(row); });
    connect(&values.box(ValuesWindow::Box::energy), &QLineEdit::returnPressed, this,
            &CoefficientViewer::enterEnergy);
    connect(&values.crossingList(), &CrossingList::energyChosen, this,
            &CoefficientViewer::moveToCrossing);
    const std::pair<ValuesWindow::Box, Coefficient> keys[] = {
        {ValuesWindow::Box::attenuation, Coefficient::attenuation},
        {ValuesWindow::Box::energyTransfer, Coefficient::energyTransfer},
        {ValuesWindow::Box::energyAbsorption, Coefficient::energyAbsorption}};
    for (const auto& [box, key] : keys) {
        connect(&values.box(box), &QLineEdit::returnPressed, this,
                [this, key = key] { enterCoefficient(key); });
    }
    for (const ValuesWindow::Box box :
         {ValuesWindow::Box::energy, ValuesWindow::Box::attenuation,
          ValuesWindow::Box::energyTransfer, ValuesWindow::Box::energyAbsorption}) {
        connect(&values.clearButton(box), &QPushButton::clicked, this,
                [this, box] { clearForEntry(box); });
    }
    connect(&values.csvButton(), &QPushButton::clicked, this, &CoefficientViewer::openCsvExport);
    connect(&values.equalIntervalButton(), &QPushButton::clicked, this,
            &CoefficientViewer::openEqualIntervalDialog);
    connect(&values.attenuationButton(), &QPushButton::clicked, this,
            &CoefficientViewer::openAttenuation);
    connect(&values.beamButton(), &QPushButton::clicked, this, &CoefficientViewer::openBeam);
}

void CoefficientViewer::chooseCategory(MaterialCategory category) {
    m_shell.lists().chooseCategory(category);
}

void CoefficientViewer::selectElement(const QString& file) {
    m_shell.selectElement(file);
}

void CoefficientViewer::selectMaterial(const QString& file) {
    m_shell.selectMaterial(file);
}

void CoefficientViewer::draw() {
    if (m_shell.lists().selectedPath().empty()) {
        m_prompts.showMessage(m_main, QStringLiteral("Select material"), MessageIcon::Exclamation);
        return;
    }
    std::string error;
    if (!m_session.load(m_shell.lists().selectedPath(), error)) {
        m_prompts.showMessage(m_main, displayText(error), MessageIcon::Exclamation);
        return;
    }
    valuesWindow().clearBoxes();
    setShownReading(std::nullopt);
    valuesWindow().rowList().blockSignals(true);
    valuesWindow().rowList().clear();
    hideIfCreated(m_composition.get());
    if (m_attenuation) {
        m_attenuation->setMaterial(displayText(m_session.table->name), m_session.table->density);
    }
    if (m_beam) {
        m_beam->setChosenMaterial(drawnTableName());
    }
    m_main->compositionButton()->setEnabled(m_session.material);
    for (int i = 1; i <= m_session.table->energyCount; ++i) {
        valuesWindow().rowList().addItem(
            displayText(tableDisplayRow(m_session.table->lines[static_cast<size_t>(i)])));
    }
    valuesWindow().rowList().blockSignals(false);
    valuesWindow().setWindowTitle(displayText(m_session.graphTitle));
    graphWindow().setWindowTitle(displayText(m_session.graphTitle));
    compositionWindow().setWindowTitle(displayText(compositionTitle(*m_session.table)));
    compositionWindow().clearTable();
    drawCoefficientPlot(graphWindow().coefficientPlot(), *m_session.table);
    drawRatioPlot(graphWindow().ratioPlot(), *m_session.table);
    graphWindow().hideCursor();
    graphWindow().readOut().clear();
    m_enlarged.tableDrawn();
    graphWindow().show();
    valuesWindow().show();
}

void CoefficientViewer::deleteSelected() {
    m_shell.deleteSelected();
}

// A deleted table's windows go.
void CoefficientViewer::hideTableWindows() {
    hideIfCreated(m_graph.get());
    m_enlarged.hideIfCreated();
    hideIfCreated(m_values.get());
    hideIfCreated(m_attenuation.get());
    hideIfCreated(m_beam.get());
    hideIfCreated(m_composition.get());
    m_main->compositionButton()->setEnabled(false);
}

void CoefficientViewer::indicateComposition() {
    if (m_session.loaded && m_session.table->compositionCount > 0) {
        compositionWindow().showComposition(*m_session.table,
                                            displayText(compositionTitle(*m_session.table)),
                                            m_main->nameField().text());
    }
}

void CoefficientViewer::openMaterialCreator() {
    materialCreator().open();
    m_main->hide();
}

void CoefficientViewer::saveEnlargedViewRequested() {
    m_enlarged.save();
}

void CoefficientViewer::openEqualIntervalDialog() {
    if (m_session.loaded) {
        equalIntervalDialog().open(valuesWindow().windowTitle());
    }
}

void CoefficientViewer::openCsvExport() {
    csvSaveDialog().prepareAndShow();
}

void CoefficientViewer::addToEnlargedView() {
    if (!m_session.loaded) {
        return;
    }
    m_enlarged.add(displayText(m_session.graphTitle), [this](GraphSurface& picture, bool later) {
        addCoefficientCurves(picture, *m_session.table, later);
    });
}

void CoefficientViewer::closeEnlargedView() {
    m_enlarged.close();
}

void CoefficientViewer::placeCursor(double energy, const Coefficients& values,
                                    const QString& readOutPattern) {
    graphWindow().placeCursor(readOutX(energy), cursorY(values[0]), cursorY(values[1]),
                              cursorY(values[2]));
    graphWindow().readOut().setText(
        formatted(values[2] / values[1], readOutPattern.toLatin1().constData()));
}

void CoefficientViewer::readOut(int row, const QString& pattern) {
    const auto& v = m_session.reading.values[static_cast<size_t>(row)];
    placeCursor(m_session.reading.energies[static_cast<size_t>(row)], {v[0], v[1], v[2]}, pattern);
    valuesWindow().rowList().setCurrentRow(row - 1);
}

void CoefficientViewer::mouseMoveCoefficientPlot(double x, double y) {
    const int row = cursorRow(m_session.reading, x, y);
    graphWindow().coefficientPlot().setCrossPointer(row != 0);
    if (row == 0) {
        graphWindow().hideCursor();
        graphWindow().readOut().clear();
        return;
    }
    readOut(row, QStringLiteral(" 0.000"));
}

void CoefficientViewer::mouseMoveRatioPlot(double x, double y) {
    const int row = cursorRow(m_session.reading, x, y);
    graphWindow().ratioPlot().setCrossPointer(row != 0);
    if (row == 0) {
        graphWindow().hideCursor();
        graphWindow().readOut().clear();
        return;
    }
    readOut(row, QStringLiteral("0.000"));
}

// The energy with `energyPattern` and the three coefficients, and the cursor there.
void CoefficientViewer::showCoefficients(double energy, const Coefficients& values,
                                         const char* energyPattern) {
    valuesWindow().box(ValuesWindow::Box::energy).setText(formatted(energy, energyPattern));
    const ValuesWindow::Box boxes[] = {ValuesWindow::Box::attenuation,
                                       ValuesWindow::Box::energyTransfer,
                                       ValuesWindow::Box::energyAbsorption};
    for (size_t c = 0; c < 3; ++c) {
        valuesWindow().box(boxes[c]).setText(formatted(values[c], "0.000E+00"));
    }
    placeCursor(energy, values, QStringLiteral("0.000"));
    setShownReading(ShownReading{energy, values});
}

void CoefficientViewer::selectRow(int position) {
    const int i = position + 1;
    if (!m_session.loaded || i < 1 || i > m_session.table->energyCount) {
        return;
    }
    const auto& v = m_session.reading.values[static_cast<size_t>(i)];
    showCoefficients(m_session.reading.energies[static_cast<size_t>(i)], {v[0], v[1], v[2]},
                     "0.0000E+00");
    valuesWindow().crossingList().clearEnergies();
    showOtherSide(otherSideOfRow(m_session.reading, i));
}

// At an edge energy the three coefficients across the edge stand beside the boxes.
void CoefficientViewer::showOtherSide(OtherSide side) {
    valuesWindow().otherSide().showSide(m_session.reading, side,
                                        [](double value) { return formatted(value, "0.000E+00"); });
}

void CoefficientViewer::moveToCrossing(double energy) {
    const Reading reading = readAtEnergy(m_session.reading, energy, kLowestCoefficientEnergy,
                                         kHighestCoefficientEnergy);
    if (reading.result == ReadingResult::found) {
        const auto& v = reading.values;
        showCoefficients(energy, {v[0], v[1], v[2]}, "0.0000E+00");
        showOtherSide(otherSideOfReading(m_session.reading, reading));
    }
}

void CoefficientViewer::enterEnergy() {
    QLineEdit& box = valuesWindow().box(ValuesWindow::Box::energy);
    const double energy = boxNumericValue(box.text().toStdString());
    const Reading reading = readAtEnergy(m_session.reading, energy, kLowestCoefficientEnergy,
                                         kHighestCoefficientEnergy);
    if (reading.result != ReadingResult::found) {
        m_prompts.showMessage(&valuesWindow(), QStringLiteral("This energy is out of range."),
                              MessageIcon::Exclamation);
        box.clear();
        setShownReading(std::nullopt);
        valuesWindow().crossingList().clearEnergies();
        return;
    }
    const auto& v = reading.values;
    showCoefficients(energy, {v[0], v[1], v[2]}, "0.0000E+00");
    valuesWindow().crossingList().clearEnergies();
    showOtherSide(otherSideOfReading(m_session.reading, reading));
}

void CoefficientViewer::enterCoefficient(Coefficient key) {
    const ValuesWindow::Box boxes[] = {ValuesWindow::Box::attenuation,
                                       ValuesWindow::Box::energyTransfer,
                                       ValuesWindow::Box::energyAbsorption};
    const int k = static_cast<int>(key);
    QLineEdit& box = valuesWindow().box(boxes[k]);
    const double value = boxNumericValue(box.text().toStdString());
    const Reading reading = readEnergyAt(
        m_session.reading, k, value, m_session.extremes.smallest[k], m_session.extremes.largest[k],
        kLowestCoefficientEnergy, kHighestCoefficientEnergy);
    const auto energyText = [](double energy) { return formatted(energy, "0.0000E+00"); };
    if (reading.result != ReadingResult::found) {
        const bool calculationError = reading.result == ReadingResult::calculationError;
        m_prompts.showMessage(&valuesWindow(),
                              calculationError ? QStringLiteral("Calculation error")
                                               : QStringLiteral("This value is out of range."),
                              MessageIcon::Exclamation);
        box.clear();
        setShownReading(std::nullopt);
        // The curve may still take the value at energies the lookup does not reach.
        if (calculationError) {
            valuesWindow().crossingList().offerCrossings(everyEnergyAt(m_session.reading, k, value),
                                                         energyText);
        } else {
            valuesWindow().crossingList().clearEnergies();
        }
        return;
    }
    const auto& v = reading.values;
    showCoefficients(reading.energy, {v[0], v[1], v[2]},
                     key == Coefficient::attenuation ? "0.0000E+00" : "0.00000E+00");
    showOtherSide(otherSideOfReading(m_session.reading, reading));
    valuesWindow().crossingList().showCrossings(everyEnergyAt(m_session.reading, k, value),
                                                reading.energy, energyText);
}

void CoefficientViewer::clearForEntry(coefview::ValuesWindow::Box box) {
    valuesWindow().clearBoxes();
    setShownReading(std::nullopt);
    valuesWindow().box(box).setFocus();
}

void CoefficientViewer::exitToLauncher() {
    m_shell.leave(QStringLiteral("Tarvo_V7S"));
}

void CoefficientViewer::closeMainWindow() {
    m_shell.leave(QStringLiteral("Tarvo_V6"));
}

} // namespace tarvo::coefview
