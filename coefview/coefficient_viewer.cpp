#include "coefficient_viewer.h"

#include "coefview/coefficient_plot.h"
#include "coefview/composition_window.h"
#include "coefview/equal_interval_dialog.h"
#include "coefview/graph_window.h"
#include "coefview/material_creator.h"
#include "coefview/values_window.h"
#include "common/creator_window.h"
#include "common/enlarged_view.h"
#include "common/graph_surface.h"
#include "common/main_window.h"
#include "common/number_format.h"
#include "common/numeric_text.h"
#include "common/save_dialog.h"
#include "common/start_notice.h"
#include "common/text_file.h"
#include "xsview/cross_section_table.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include <cmath>

namespace tarvo {
namespace {

using coefview::ValuesWindow;

const char* const kMaterialExtensions[] = {".mucm", ".muc2", ".muc3"};

QString local(const std::string& text) {
    return QString::fromLocal8Bit(text.c_str());
}

QString formatted(double value, const char* pattern) {
    return QString::fromStdString(formatNumber(value, pattern));
}

// The cursor's constant for 3 ln 10.
constexpr double kCursorOffset = 6.909;

MainWindowTexts mainWindowTexts() {
    return {{QStringLiteral("Mass attenuation, energy-transfer"),
             QStringLiteral("and energy-absorption coefficient")},
            QStringLiteral(" Density  ="),
            true};
}

} // namespace

CoefficientViewer::CoefficientViewer(UserPrompts& prompts, ProgramStarter startProgram)
    : m_prompts(prompts), m_startProgram(std::move(startProgram)),
      m_main(std::make_unique<MainWindow>(mainWindowTexts())),
      m_graph(std::make_unique<coefview::GraphWindow>()),
      m_enlarged(std::make_unique<EnlargedView>(coefficientEnlargedFrame())),
      m_values(std::make_unique<coefview::ValuesWindow>()),
      m_composition(std::make_unique<coefview::CompositionWindow>()),
      m_table(std::make_unique<CoefficientTable>()) {
    createDialogs();
    connectSignals();
}

void CoefficientViewer::createDialogs() {
    m_equalInterval = std::make_unique<coefview::EqualIntervalDialog>(
        m_prompts,
        [this]() -> const CoefficientTable* { return m_tableLoaded ? m_table.get() : nullptr; },
        [this] { return m_drawnPath; });
    m_csvSave = std::make_unique<SaveDialog>(
        SaveDialogTexts{QStringLiteral("Save  in the CSV format"),
                        QStringLiteral("Save in the Excel csv format"),
                        QStringLiteral("Input the file name without the extension"),
                        QStringLiteral(".csv"), QString(),
                        QStringLiteral(" Data saved in Excel csv format ")},
        m_prompts);
    // The export reads the selected file afresh; the current table stays as it is.
    m_csvSave->setWriter([this](const std::string& path, std::string& error) {
        if (m_selectedPath.empty()) {
            error = "no table is selected";
            return false;
        }
        const auto table = loadCoefficientTable(m_selectedPath, false, error);
        return table && writeCoefficientCsv(path, *table, error);
    });
    m_imageSave = std::make_unique<SaveDialog>(
        SaveDialogTexts{QStringLiteral("Image save"), QStringLiteral("Image save in bmp format"),
                        QStringLiteral("Input the File name without the extension"),
                        QStringLiteral(".bmp"), QStringLiteral(" Input File name  "),
                        QStringLiteral(" Image saved in bitmap format ")},
        m_prompts);
    m_imageSave->setWriter([this](const std::string& path, std::string& error) {
        return writeBitmap(m_enlarged->picture().image(), path, error);
    });
    m_creator = makeMaterialCreator(m_prompts);
    connect(m_creator.get(), &CreatorWindow::closed, this, [this](bool saved) {
        if (saved) {
            refreshMaterialList();
        }
        m_main->show();
    });
}

CoefficientViewer::~CoefficientViewer() = default;

bool CoefficientViewer::start() {
    const std::optional<std::string> userLine = readStartFiles();
    if (!userLine) {
        m_notice = std::make_unique<StartNotice>();
        m_notice->show();
        m_main->hide();
        return false;
    }
    m_main->setWindowTitle(QStringLiteral("  ") + local(*userLine));
    m_selectedPath.clear();
    m_main->nameField().clear();
    m_main->densityField().clear();
    m_main->compositionButton()->setEnabled(false);
    refreshElementList();
    m_creator->refreshElementList();
    m_main->categories().button(MainWindow::others)->setChecked(true);
    chooseCategory(MainWindow::others);
    drawEmptyEnlargedView();
    m_main->show();
    m_main->elementList().setFocus();
    return true;
}

void CoefficientViewer::connectSignals() {
    connectMainWindow();
    connectValuesWindow();
    connect(&m_graph->enlargeButton(), &QPushButton::clicked, this,
            &CoefficientViewer::addToEnlargedView);
    connect(&m_graph->coefficientPlot(), &GraphSurface::mouseMoved, this,
            &CoefficientViewer::mouseMoveCoefficientPlot);
    connect(&m_graph->ratioPlot(), &GraphSurface::mouseMoved, this,
            &CoefficientViewer::mouseMoveRatioPlot);
    connect(&m_enlarged->closeButton(), &QPushButton::clicked, this,
            &CoefficientViewer::closeEnlargedView);
    connect(m_enlarged.get(), &EnlargedView::closeRequested, this,
            &CoefficientViewer::closeEnlargedView);
    connect(&m_enlarged->saveButton(), &QPushButton::clicked, this,
            &CoefficientViewer::saveEnlargedViewRequested);
}

void CoefficientViewer::connectMainWindow() {
    MainWindow& main = *m_main;
    for (auto signal : {&QListWidget::itemClicked, &QListWidget::itemActivated}) {
        connect(&main.elementList(), signal, this,
                [this](QListWidgetItem* item) { selectElement(item->text()); });
        connect(&main.materialList(), signal, this,
                [this](QListWidgetItem* item) { selectMaterial(item->text()); });
    }
    connect(&main.categories(), &QButtonGroup::idClicked, this, &CoefficientViewer::chooseCategory);
    connect(&main.plotButton(), &QPushButton::clicked, this, &CoefficientViewer::draw);
    connect(&main.deleteButton(), &QPushButton::clicked, this, &CoefficientViewer::deleteSelected);
    connect(main.compositionButton(), &QPushButton::clicked, this,
            &CoefficientViewer::indicateComposition);
    connect(&main.exitButton(), &QToolButton::clicked, this, &CoefficientViewer::exitToLauncher);
    connect(&main, &MainWindow::closeRequested, this, &CoefficientViewer::closeMainWindow);
    connect(&main.newDataButton(), &QPushButton::clicked, this,
            &CoefficientViewer::openMaterialCreator);
}

void CoefficientViewer::connectValuesWindow() {
    ValuesWindow& values = *m_values;
    connect(&values.rowList(), &QListWidget::currentRowChanged, this,
            &CoefficientViewer::selectRow);
    connect(&values.box(ValuesWindow::energy), &QLineEdit::returnPressed, this,
            &CoefficientViewer::enterEnergy);
    const std::pair<ValuesWindow::Box, Coefficient> keys[] = {
        {ValuesWindow::attenuation, Coefficient::attenuation},
        {ValuesWindow::energyTransfer, Coefficient::energyTransfer},
        {ValuesWindow::energyAbsorption, Coefficient::energyAbsorption}};
    for (const auto& [box, key] : keys) {
        connect(&values.box(box), &QLineEdit::returnPressed, this,
                [this, key = key] { enterCoefficient(key); });
    }
    for (int box = ValuesWindow::energy; box <= ValuesWindow::energyAbsorption; ++box) {
        connect(&values.clearButton(static_cast<ValuesWindow::Box>(box)), &QPushButton::clicked,
                this, [this, box] { clearForEntry(box); });
    }
    connect(&values.csvButton(), &QPushButton::clicked, this, &CoefficientViewer::openCsvExport);
    connect(&values.equalIntervalButton(), &QPushButton::clicked, this,
            &CoefficientViewer::openEqualIntervalDialog);
}

void CoefficientViewer::refreshElementList() {
    m_main->elementList().clear();
    for (const std::string& name : listFiles("mu_ele", ".mut")) {
        m_main->elementList().addItem(local(name));
    }
}

void CoefficientViewer::refreshMaterialList() {
    m_main->materialList().clear();
    for (const std::string& name : listFiles("mu_mix", kMaterialExtensions[m_category])) {
        m_main->materialList().addItem(local(name));
    }
}

void CoefficientViewer::chooseCategory(int category) {
    m_category = category >= 0 && category <= 2 ? category : 2;
    refreshMaterialList();
}

void CoefficientViewer::select(const char* directory, const QString& file) {
    const std::string path = formPath(directory, file.toLocal8Bit().toStdString());
    std::string error;
    const std::optional<CoefficientHeader> header = readCoefficientHeader(path, error);
    if (!header) {
        m_prompts.showMessage(m_main.get(), local(error), MessageIcon::Exclamation);
        return;
    }
    m_selectedPath = path;
    m_main->nameField().setText(local(header->name));
    m_main->densityField().setText(formatted(header->density, "#0.000####"));
    m_main->compositionButton()->setEnabled(false);
}

void CoefficientViewer::selectElement(const QString& file) {
    select("mu_ele", file);
    refreshMaterialList();
    m_main->plotButton().setFocus();
}

void CoefficientViewer::selectMaterial(const QString& file) {
    select("mu_mix", file);
    refreshElementList();
    m_main->plotButton().setFocus();
}

void CoefficientViewer::draw() {
    if (m_selectedPath.empty()) {
        m_prompts.showMessage(m_main.get(), QStringLiteral("Select material"),
                              MessageIcon::Exclamation);
        return;
    }
    std::string error;
    const bool material = isMaterialCoefficientPath(m_selectedPath);
    std::optional<CoefficientTable> table = loadCoefficientTable(m_selectedPath, material, error);
    if (!table) {
        m_prompts.showMessage(m_main.get(), local(error), MessageIcon::Exclamation);
        return;
    }
    m_values->clearBoxes();
    m_values->rowList().blockSignals(true);
    m_values->rowList().clear();
    m_composition->hide();
    *m_table = std::move(*table);
    m_tableLoaded = true;
    m_drawnPath = m_selectedPath;
    m_main->compositionButton()->setEnabled(material);
    for (int i = 1; i <= m_table->energyCount; ++i) {
        m_values->rowList().addItem(local(tableDisplayRow(m_table->lines[static_cast<size_t>(i)])));
    }
    m_values->rowList().blockSignals(false);
    m_graphTitle = coefficientTitle(*m_table);
    m_values->setWindowTitle(local(m_graphTitle));
    m_extremes = extremesOf(*m_table);
    m_graph->setWindowTitle(local(m_graphTitle));
    m_composition->setWindowTitle(local(compositionTitle(*m_table)));
    m_composition->clearTable();
    drawCoefficientPlot(m_graph->coefficientPlot(), *m_table);
    drawRatioPlot(m_graph->ratioPlot(), *m_table);
    m_graph->hideCursor();
    m_graph->readOut().clear();
    m_graph->enlargeButton().setText(m_addedToEnlargedView ? QStringLiteral("Add to Enlarged View")
                                                           : QStringLiteral("Enlarged View"));
    m_graph->enlargeButton().setEnabled(true);
    m_graph->show();
    m_values->show();
}

void CoefficientViewer::deleteSelected() {
    if (m_selectedPath.empty()) {
        return;
    }
    if (m_selectedPath.rfind("mu_ele", 0) == 0) {
        m_prompts.showMessage(m_main.get(), QStringLiteral(" This file cannot be deleted "),
                              MessageIcon::Exclamation);
        return;
    }
    const QString question = QStringLiteral(" really erase ") +
                             local(fileNamePart(m_selectedPath)) + QStringLiteral(" ? ");
    if (!m_prompts.askOkCancel(m_main.get(), question)) {
        return;
    }
    std::string error;
    if (!removeFile(m_selectedPath, error)) {
        m_prompts.showMessage(m_main.get(), local(m_selectedPath + ": " + error),
                              MessageIcon::Exclamation);
        return;
    }
    m_selectedPath.clear();
    m_main->nameField().clear();
    m_main->densityField().clear();
    refreshMaterialList();
    m_graph->hide();
    m_enlarged->hide();
    m_values->hide();
}

void CoefficientViewer::indicateComposition() {
    if (m_tableLoaded && m_table->compositionCount > 0) {
        m_composition->showComposition(*m_table, local(compositionTitle(*m_table)),
                                       m_main->nameField().text());
    }
}

void CoefficientViewer::openMaterialCreator() {
    m_creator->open();
    m_main->hide();
}

void CoefficientViewer::saveEnlargedViewRequested() {
    if (!m_addedToEnlargedView) {
        m_prompts.showMessage(m_enlarged.get(), QStringLiteral(" The graph is not drawn "),
                              MessageIcon::Exclamation);
        return;
    }
    m_imageSave->prepareAndShow();
}

void CoefficientViewer::openEqualIntervalDialog() {
    if (m_tableLoaded) {
        m_equalInterval->open(m_values->windowTitle());
    }
}

void CoefficientViewer::openCsvExport() {
    m_csvSave->prepareAndShow();
}

void CoefficientViewer::drawEmptyEnlargedView() {
    drawCoefficientEnlargedFrame(m_enlarged->picture());
}

void CoefficientViewer::addToEnlargedView() {
    if (!m_tableLoaded) {
        return;
    }
    const QString title = local(m_graphTitle);
    m_enlarged->setWindowTitle(
        m_addedToEnlargedView ? m_enlarged->windowTitle() + QStringLiteral("  & ") + title : title);
    addCoefficientCurves(m_enlarged->picture(), *m_table, m_addedToEnlargedView);
    m_addedToEnlargedView = true;
    m_graph->enlargeButton().setEnabled(false);
    m_enlarged->show();
}

void CoefficientViewer::closeEnlargedView() {
    m_graph->enlargeButton().setText(QStringLiteral("Enlarged View"));
    m_graph->enlargeButton().setEnabled(m_tableLoaded);
    m_addedToEnlargedView = false;
    drawEmptyEnlargedView();
    m_enlarged->hide();
}

void CoefficientViewer::placeCursor(double energy, const double values[3],
                                    const QString& readOutPattern) {
    m_graph->placeCursor(std::log(energy) + kCursorOffset, std::log(values[0]) + kCursorOffset,
                         std::log(values[1]) + kCursorOffset, std::log(values[2]) + kCursorOffset);
    m_graph->readOut().setText(
        formatted(values[2] / values[1], readOutPattern.toLatin1().constData()));
}

void CoefficientViewer::readOut(int row, double, double, const QString& pattern) {
    const CoefficientRow& r = m_table->rows[static_cast<size_t>(row)];
    const double values[3] = {r.attenuation, r.energyTransfer, r.energyAbsorption};
    placeCursor(r.energy, values, pattern);
    m_values->rowList().setCurrentRow(row - 1);
}

void CoefficientViewer::mouseMoveCoefficientPlot(double x, double y) {
    const int row = m_tableLoaded ? cursorRow(*m_table, x, y) : 0;
    m_graph->coefficientPlot().setCrossPointer(row != 0);
    if (row == 0) {
        m_graph->hideCursor();
        m_graph->readOut().clear();
        return;
    }
    readOut(row, x, y, QStringLiteral(" 0.000"));
}

void CoefficientViewer::mouseMoveRatioPlot(double x, double y) {
    const int row = m_tableLoaded ? cursorRow(*m_table, x, y) : 0;
    m_graph->ratioPlot().setCrossPointer(row != 0);
    if (row == 0) {
        m_graph->hideCursor();
        m_graph->readOut().clear();
        return;
    }
    readOut(row, x, y, QStringLiteral("0.000"));
}

void CoefficientViewer::selectRow(int position) {
    const int i = position + 1;
    if (!m_tableLoaded || i < 1 || i > m_table->energyCount) {
        return;
    }
    const CoefficientRow& row = m_table->rows[static_cast<size_t>(i)];
    m_values->box(ValuesWindow::energy).setText(formatted(row.energy, "0.0000E+00"));
    m_values->box(ValuesWindow::attenuation).setText(formatted(row.attenuation, "0.000E+00"));
    m_values->box(ValuesWindow::energyTransfer).setText(formatted(row.energyTransfer, "0.000E+00"));
    m_values->box(ValuesWindow::energyAbsorption)
        .setText(formatted(row.energyAbsorption, "0.000E+00"));
    const double values[3] = {row.attenuation, row.energyTransfer, row.energyAbsorption};
    placeCursor(row.energy, values, QStringLiteral("0.000"));
}

void CoefficientViewer::enterEnergy() {
    QLineEdit& box = m_values->box(ValuesWindow::energy);
    const double energy = numericValue(box.text().toStdString());
    const CoefficientsAtEnergy found =
        m_tableLoaded ? coefficientsAtEnergy(*m_table, energy) : CoefficientsAtEnergy{};
    if (found.result != CoefficientLookup::found) {
        m_prompts.showMessage(m_values.get(), QStringLiteral("This energy is out of range."),
                              MessageIcon::Exclamation);
        box.clear();
        return;
    }
    box.setText(formatted(energy, "0.0000E+00"));
    m_values->box(ValuesWindow::attenuation).setText(formatted(found.values[0], "0.000E+00"));
    m_values->box(ValuesWindow::energyTransfer).setText(formatted(found.values[1], "0.000E+00"));
    m_values->box(ValuesWindow::energyAbsorption).setText(formatted(found.values[2], "0.000E+00"));
    placeCursor(energy, found.values, QStringLiteral("0.000"));
}

void CoefficientViewer::enterCoefficient(Coefficient key) {
    const ValuesWindow::Box boxes[] = {ValuesWindow::attenuation, ValuesWindow::energyTransfer,
                                       ValuesWindow::energyAbsorption};
    QLineEdit& box = m_values->box(boxes[static_cast<int>(key)]);
    const double value = numericValue(box.text().toStdString());
    const CoefficientsAtEnergy found = m_tableLoaded
                                           ? energyAtCoefficient(*m_table, m_extremes, key, value)
                                           : CoefficientsAtEnergy{};
    if (found.result != CoefficientLookup::found) {
        m_prompts.showMessage(m_values.get(),
                              found.result == CoefficientLookup::calculationError
                                  ? QStringLiteral("Calculation error")
                                  : QStringLiteral("This value is out of range."),
                              MessageIcon::Exclamation);
        box.clear();
        return;
    }
    m_values->box(ValuesWindow::energy)
        .setText(formatted(found.energy,
                           key == Coefficient::attenuation ? "0.0000E+00" : "0.00000E+00"));
    for (int c = 0; c < 3; ++c) {
        m_values->box(boxes[c]).setText(formatted(found.values[c], "0.000E+00"));
    }
    placeCursor(found.energy, found.values, QStringLiteral("0.000"));
}

void CoefficientViewer::clearForEntry(int box) {
    m_values->clearBoxes();
    m_values->box(static_cast<ValuesWindow::Box>(box)).setFocus();
}

// The exchange files of the spline tool die with the viewer; failures do not matter.
void CoefficientViewer::leave(const QString& launcher) {
    std::string ignored;
    removeFile("B2F.dat", ignored);
    removeFile("F2B.dat", ignored);
    m_startProgram(launcher);
    QCoreApplication::quit();
}

void CoefficientViewer::exitToLauncher() {
    leave(QStringLiteral("Tarvo_V7S"));
}

void CoefficientViewer::closeMainWindow() {
    leave(QStringLiteral("Tarvo_V6"));
}

} // namespace tarvo
