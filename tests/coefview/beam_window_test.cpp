#include "coefview/beam_window.h"

#include "coefview/coefficient_viewer.h"
#include "coefview/filter_rows_editor.h"
#include "coefview/values_window.h"
#include "common/graph_surface.h"
#include "common/save_dialog.h"
#include "tests/fake_prompts.h"
#include "tests/test_support.h"
#include "tests/window_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QXmlStreamReader>

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>

namespace tarvo {
namespace {

using coefview::BeamWindow;
using coefview::CoefficientViewer;
using coefview::FilterRowsEditor;

// What the window's quality table and figures show, by the names the tool gives its rows.
using Shown = std::map<std::string, std::string>;

// Runs the tool in the run directory and returns its JSON rows as the window prints them.
Shown toolFigures(const std::string& arguments) {
    const std::string command =
        std::string(TARVO_CLI) + " spectrum --data . " + arguments + " --json > tool.json";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    const nlohmann::json output = nlohmann::json::parse(testing::readBytes("tool.json"));
    Shown shown;
    for (const auto& row : output["rows"]) {
        std::string quantity = row["quantity"];
        const std::string unit = row["unit"];
        if (quantity.find("mass thickness") != std::string::npos || !row["value"].is_number()) {
            continue;
        }
        const double value = row["value"];
        const bool atEdge = quantity.rfind("effective energy (at an edge)", 0) == 0;
        if (atEdge) {
            quantity.replace(0, quantity.find(" in "), "effective energy");
        }
        const std::string text =
            figureText(value, unit == "HVL1/HVL2" ? "" : (unit == "uGy/mAs at 1m" ? "µGy" : unit)) +
            (atEdge ? " (at an edge)" : "");
        shown[quantity] = shown.count(quantity) ? shown[quantity] + ", " + text : text;
    }
    return shown;
}

class BeamWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::prepareRunDirectory(
            {"mu_ele/13_Al.mut", "mu_ele/29_Cu.mut", "mu_ele/42_Mo.mut", "mu_ele/01_H.mut",
             "mu_ele/08_O.mut", "mu_ele/06_C.mut", "mu_mix/Air.muc3", "mu_mix/Water.muc2",
             "tube_spectra/tungsten_30_140kV.csv",
             "tube_spectra/mammography_molybdenum_18_42kV.csv", "examples/beam.csv", "ele/01_H.ele",
             "ele/06_C.ele", "ele/08_O.ele", "ele/13_Al.ele", "ele/29_Cu.ele", "ele/42_Mo.ele"});
        m_window =
            std::make_unique<BeamWindow>(m_prompts, DataDirectory(std::filesystem::current_path()));
    }

    // The window's figures and quality fields by their accessible names.
    Shown windowFigures() {
        Shown shown;
        const char* names[] = {"mean energy", "kerma-weighted mean energy", "air kerma per mAs"};
        for (int row = 0; row < 3; ++row) {
            shown[names[row]] = m_window->figureField(row).text().toStdString();
        }
        for (int row = 0; row < 6; ++row) {
            for (int column = 0; column < BeamWindow::kQualityColumns; ++column) {
                const QLineEdit& field = m_window->qualityField(row, column);
                shown[field.accessibleName().toStdString()] = field.text().toStdString();
            }
        }
        return shown;
    }

    void setFilters(const std::vector<std::array<QString, 2>>& rows) {
        FilterRowsEditor& filters = m_window->filters();
        while (filters.rowCount() > 0) {
            filters.removeRow(0);
        }
        for (const auto& [material, thickness] : rows) {
            filters.addRow(material, thickness);
        }
    }

    // Saves through a dialog under `name`; the last message shown.
    QString saveAs(SaveDialog& dialog, const QString& name, int format = 0) {
        dialog.prepareAndShow();
        if (dialog.formatList() != nullptr) {
            dialog.formatList()->setCurrentIndex(format);
        }
        dialog.nameField().setText(name);
        dialog.okPressed();
        return m_prompts.messages.empty() ? QString() : m_prompts.messages.back().text;
    }

    testing::WorkingDirectory m_directory;
    testing::FakePrompts m_prompts;
    std::unique_ptr<BeamWindow> m_window;
};

// The quality table and figures equal the tool's for the same beam, to the printed digits:
// tube models with and without calibration and ripple, a standard quality and a file.
TEST_F(BeamWindowTest, QualityTableEqualsTheTool) {
    const struct {
        std::function<void(BeamWindow&)> set;
        std::vector<std::array<QString, 2>> filters;
        QString chosen;
        std::string arguments;
    } cases[] = {
        {[](BeamWindow&) {}, {{"Al", "2.5"}}, "Water", "--tube W:80kV --filter Al:2.5mm"},
        {[](BeamWindow& w) {
             w.anodeList().setCurrentText(QStringLiteral("Mo"));
             w.voltageBox().setText(QStringLiteral("28"));
         },
         {{"Mo", "0.03"}},
         "Mo",
         "--tube Mo:28kV --filter Mo:0.03mm"},
        {[](BeamWindow& w) {
             w.voltageBox().setText(QStringLiteral("100"));
             w.rippleBox().setText(QStringLiteral("10"));
         },
         {{"Al", "3"}, {"Cu", "0.1"}},
         "Air",
         "--tube W:100kV --ripple 10 --filter Al:3mm,Cu:0.1mm"},
        {[](BeamWindow& w) { w.sourceList().setCurrentIndex(1); }, {}, "Water", "--quality RQR5"},
        {[](BeamWindow& w) {
             w.sourceList().setCurrentIndex(2);
             w.fileBox().setText(QStringLiteral("examples/beam.csv"));
         },
         {{"Al", "2.5"}},
         "Water",
         "examples/beam.csv --filter Al:2.5mm"}};
    for (const auto& c : cases) {
        m_window =
            std::make_unique<BeamWindow>(m_prompts, DataDirectory(std::filesystem::current_path()));
        c.set(*m_window);
        setFilters(c.filters);
        m_window->chosenMaterialBox().setText(c.chosen);
        ASSERT_FALSE(m_window->stale()) << m_window->noteLabel().text().toStdString();
        Shown tool =
            toolFigures(c.arguments + " --hvl Al --hvl Cu --hvl " + c.chosen.toStdString());
        tool.emplace("air kerma per mAs", "not calibrated");
        const Shown window = windowFigures();
        ASSERT_EQ(window.size(), 21U);
        for (const auto& [quantity, text] : window) {
            EXPECT_EQ(text, tool.count(quantity) ? tool.at(quantity) : "(not in the tool's rows)")
                << c.arguments << ": " << quantity;
        }
    }
}

// Each bad entry names its box and keeps the last beam on screen, marked stale, and nothing
// stale can be saved; mending the entry brings the same figures back, no longer stale.
TEST_F(BeamWindowTest, ABadEntryNamesItsBoxAndKeepsTheLastBeamMarkedStale) {
    m_window->filters().addRow(QStringLiteral("Cu"), QStringLiteral("0.1"));
    const Shown good = windowFigures();
    const struct {
        std::function<void(BeamWindow&)> spoil;
        std::function<void(BeamWindow&)> mend;
        const char* note;
    } cases[] = {
        {[](BeamWindow& w) { w.voltageBox().setText(QStringLiteral("150")); },
         [](BeamWindow& w) { w.voltageBox().setText(QStringLiteral("80")); },
         "Tube voltage, kV: 150 kV is outside"},
        {[](BeamWindow& w) { w.voltageBox().setText(QStringLiteral("eighty")); },
         [](BeamWindow& w) { w.voltageBox().setText(QStringLiteral("80")); },
         "Tube voltage, kV: type the tube voltage"},
        {[](BeamWindow& w) { w.rippleBox().setText(QStringLiteral("120")); },
         [](BeamWindow& w) { w.rippleBox().setText(QStringLiteral("0")); }, "Ripple, %: "},
        {[](BeamWindow& w) { w.filters().thicknessBox(1).setText(QStringLiteral("1e999")); },
         [](BeamWindow& w) { w.filters().thicknessBox(1).setText(QStringLiteral("0.1")); },
         "Thickness of filter 2: "},
        {[](BeamWindow& w) { w.filters().thicknessBox(0).setText(QStringLiteral("-1")); },
         [](BeamWindow& w) { w.filters().thicknessBox(0).setText(QStringLiteral("2.5")); },
         "Thickness of filter 1: a thickness is a finite number, 0 or more"},
        {[](BeamWindow& w) { w.filters().materialBox(1).setText(QStringLiteral("Cx")); },
         [](BeamWindow& w) { w.filters().materialBox(1).setText(QStringLiteral("Cu")); },
         "Material of filter 2: \"Cx\" is no table and no formula"},
        {[](BeamWindow& w) { w.filters().densityBox(0).setText(QStringLiteral("0")); },
         [](BeamWindow& w) { w.filters().densityBox(0).clear(); },
         "Density of filter 1: a density is a finite number above 0"},
        {[](BeamWindow& w) { w.filters().materialBox(0).setText(QStringLiteral("CH4")); },
         [](BeamWindow& w) { w.filters().materialBox(0).setText(QStringLiteral("Al")); },
         "Density of filter 1: CH4 (read as C 1, H 4) has no density: give its thickness in "
         "g/cm2, or give its density"},
        {[](BeamWindow& w) { w.filters().thicknessBox(1).setText(QStringLiteral("50000")); },
         [](BeamWindow& w) { w.filters().thicknessBox(1).setText(QStringLiteral("0.1")); },
         "Filters: no photons come through the filters"},
        {[](BeamWindow& w) { w.chosenMaterialBox().setText(QStringLiteral("<b>Cx</b>")); },
         [](BeamWindow& w) { w.chosenMaterialBox().setText(QStringLiteral("Al")); },
         "Half-value layers and transmission also in: \"<b>Cx</b>\" is no table"},
        {[](BeamWindow& w) { w.chosenMaterialBox().setText(QStringLiteral(" ")); },
         [](BeamWindow& w) { w.chosenMaterialBox().setText(QStringLiteral("Al")); },
         "Half-value layers and transmission also in: type a material"},
        {[](BeamWindow& w) { w.sourceList().setCurrentIndex(2); },
         [](BeamWindow& w) { w.sourceList().setCurrentIndex(0); },
         "Spectrum file (keV, photons): choose a spectrum file"},
        {[](BeamWindow& w) { w.voltageBox().setText(QStringLiteral("nan")); },
         [](BeamWindow& w) { w.voltageBox().setText(QStringLiteral("80")); }, "Tube voltage, kV: "},
        {[](BeamWindow& w) { w.filters().thicknessBox(0).setText(QStringLiteral("1e308")); },
         [](BeamWindow& w) { w.filters().thicknessBox(0).setText(QStringLiteral("2.5")); },
         "Filters: no photons come through the filters"},
        {[](BeamWindow& w) {
             w.fileBox().setText(QStringLiteral("/dev/zero"));
             w.sourceList().setCurrentIndex(2);
         },
         [](BeamWindow& w) { w.sourceList().setCurrentIndex(0); },
         "Spectrum file (keV, photons): /dev/zero is no file: choose a spectrum file"},
        {[](BeamWindow& w) {
             w.fileBox().setText(QStringLiteral("no such file.csv"));
             w.sourceList().setCurrentIndex(2);
         },
         [](BeamWindow& w) { w.sourceList().setCurrentIndex(0); },
         "Spectrum file (keV, photons): "}};
    for (const auto& c : cases) {
        c.spoil(*m_window);
        EXPECT_TRUE(m_window->stale()) << c.note;
        EXPECT_EQ(m_window->noteLabel().textFormat(), Qt::PlainText);
        EXPECT_TRUE(m_window->noteLabel().text().startsWith(QString::fromUtf8(c.note)))
            << m_window->noteLabel().text().toStdString();
        EXPECT_TRUE(m_window->noteLabel().text().endsWith(
            QStringLiteral("The figures and plots are of the last beam computed.")));
        EXPECT_EQ(windowFigures(), good) << c.note;
        EXPECT_TRUE(saveAs(m_window->spectrumSaveDialog(), QStringLiteral("stale"))
                        .contains(QStringLiteral("earlier setting")))
            << c.note;
        EXPECT_FALSE(std::filesystem::exists("stale.csv"));
        c.mend(*m_window);
        EXPECT_FALSE(m_window->stale()) << m_window->noteLabel().text().toStdString();
        EXPECT_TRUE(m_window->noteLabel().text().isEmpty());
        EXPECT_EQ(windowFigures(), good) << c.note;
    }
}

// Rows are added up to the cap, moved with the focus following, and removed; their boxes are
// renamed by position, and the beam follows every change.
TEST_F(BeamWindowTest, FilterRowsAreAddedMovedAndRemoved) {
    FilterRowsEditor& filters = m_window->filters();
    const double oneLayerMean = m_window->study()->meanEnergyKeV;
    QTest::mouseClick(&filters.addButton(), Qt::LeftButton);
    ASSERT_EQ(filters.rowCount(), 2);
    filters.materialBox(1).setText(QStringLiteral("Cu"));
    filters.thicknessBox(1).setText(QStringLiteral("0.2"));
    EXPECT_GT(m_window->study()->meanEnergyKeV, oneLayerMean);
    filters.upButton(1).click();
    EXPECT_EQ(filters.materialBox(0).text(), QStringLiteral("Cu"));
    EXPECT_EQ(filters.thicknessBox(1).text(), QStringLiteral("2.5"));
    EXPECT_EQ(filters.materialBox(0).accessibleName(), QStringLiteral("Material of filter 1"));
    EXPECT_FALSE(filters.upButton(0).isEnabled());
    EXPECT_FALSE(filters.downButton(1).isEnabled());
    EXPECT_EQ(saveAs(m_window->spectrumSaveDialog(), QStringLiteral("moved")),
              QStringLiteral(" Spectrum saved in csv format "));
    EXPECT_NE(testing::readBytes("moved.csv").find("after Cu 0.2 mm, Al 2.5 mm"),
              std::string::npos);
    filters.removeButton(0).click();
    ASSERT_EQ(filters.rowCount(), 1);
    EXPECT_EQ(filters.materialBox(0).text(), QStringLiteral("Al"));
    EXPECT_DOUBLE_EQ(m_window->study()->meanEnergyKeV, oneLayerMean);
    filters.unitList(0).setCurrentText(QStringLiteral("µm"));
    EXPECT_LT(m_window->study()->meanEnergyKeV, oneLayerMean);
    filters.unitList(0).setCurrentText(QStringLiteral("g/cm²"));
    EXPECT_GT(m_window->study()->meanEnergyKeV, oneLayerMean);
    while (filters.addRow(QStringLiteral("Al"), QStringLiteral("0"))) {
    }
    EXPECT_EQ(filters.rowCount(), FilterRowsEditor::kMostRows);
    EXPECT_FALSE(filters.addButton().isEnabled());
    EXPECT_EQ(filters.removeButton(11).accessibleName(), QStringLiteral("Remove filter 12"));
    while (filters.rowCount() > 0) {
        filters.removeRow(filters.rowCount() - 1);
    }
    EXPECT_FALSE(m_window->stale());
    EXPECT_GT(m_window->study()->meanEnergyKeV, 0);
}

// The spectrum saved as CSV reads back through the tool with the figures the window shows;
// each plot saves as PNG with the pixels of the screen and as well-formed SVG; the pointer
// reads a bin and the transmission, and nothing outside the plot.
TEST_F(BeamWindowTest, SavesAndReadOutsMatchWhatIsShown) {
    for (QPushButton* button :
         {&m_window->saveSpectrumButton(), &m_window->saveSpectrumPlotButton(),
          &m_window->saveTransmissionPlotButton()}) {
        button->click();
    }
    EXPECT_TRUE(m_window->spectrumSaveDialog().isVisible());
    EXPECT_TRUE(m_window->spectrumPlotSaveDialog().isVisible());
    EXPECT_TRUE(m_window->transmissionPlotSaveDialog().isVisible());
    EXPECT_EQ(saveAs(m_window->spectrumSaveDialog(), QStringLiteral("beam")),
              QStringLiteral(" Spectrum saved in csv format "));
    const Shown readBack = toolFigures("beam.csv --hvl Al");
    EXPECT_EQ(readBack.at("mean energy"), m_window->figureField(0).text().toStdString());
    EXPECT_EQ(readBack.at("HVL1"), m_window->qualityField(0, 0).text().toStdString());
    for (GraphSurface* plot : {&m_window->spectrumPlot(), &m_window->transmissionPlot()}) {
        SaveDialog& dialog = plot == &m_window->spectrumPlot()
                                 ? m_window->spectrumPlotSaveDialog()
                                 : m_window->transmissionPlotSaveDialog();
        EXPECT_EQ(saveAs(dialog, QStringLiteral("plot"), 1),
                  QStringLiteral(" Image saved in PNG format "));
        EXPECT_EQ(QImage(QStringLiteral("plot.png")).convertToFormat(QImage::Format_RGB32),
                  plot->image().convertToFormat(QImage::Format_RGB32));
        EXPECT_EQ(saveAs(dialog, QStringLiteral("plot"), 2),
                  QStringLiteral(" Image saved in SVG format "));
        QXmlStreamReader svg(QByteArray::fromStdString(testing::readBytes("plot.svg")));
        while (!svg.atEnd()) {
            svg.readNext();
        }
        EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
    }
    const QImage linear = m_window->spectrumPlot().image().copy();
    m_window->logarithmicBox().setChecked(true);
    EXPECT_NE(m_window->spectrumPlot().image(), linear);
    const PlotAxis energies = spectrumEnergyAxis(*m_window->study());
    m_window->pointerOverSpectrum(axisPosition(energies, 50.2), 0.5);
    EXPECT_TRUE(m_window->spectrumReadOut().text().startsWith(QStringLiteral("50 keV: ")));
    const LayerQuality& aluminium = m_window->study()->layers.back();
    const double hvl1 =
        aluminium.quality.firstHalfValueLayer * layerLength(aluminium).perMassThickness;
    m_window->pointerOverTransmission(
        axisPosition(transmissionThicknessAxis(*m_window->study()), hvl1), 0.3);
    EXPECT_TRUE(m_window->transmissionReadOut().text().endsWith(QStringLiteral("K/K0 = 0.5")))
        << m_window->transmissionReadOut().text().toStdString();
    for (const auto& [x, y] : {std::pair{-0.05, 0.5}, {1.02, 0.5}, {0.5, 1.05}}) {
        m_window->pointerOverSpectrum(x, y);
        m_window->pointerOverTransmission(x, y);
        EXPECT_TRUE(m_window->spectrumReadOut().text().isEmpty());
        EXPECT_TRUE(m_window->transmissionReadOut().text().isEmpty());
    }
}

// Only the chosen source's boxes take input, the ripple only where the tube model has it;
// the file chooser fills the file box and makes the file the source.
TEST_F(BeamWindowTest, TheFileChooserMakesTheFileTheSource) {
    EXPECT_TRUE(m_window->rippleBox().isEnabled());
    m_window->rippleBox().setText(QStringLiteral("5"));
    m_window->anodeList().setCurrentText(QStringLiteral("Mo"));
    m_window->voltageBox().setText(QStringLiteral("28"));
    EXPECT_FALSE(m_window->rippleBox().isEnabled()); // the model takes none
    EXPECT_FALSE(m_window->stale()) << m_window->noteLabel().text().toStdString();
    EXPECT_FALSE(m_window->fileBox().isEnabled());
    EXPECT_FALSE(m_window->qualityList().isEnabled());
    m_window->chooseFileButton().click();
    QFileDialog& chooser = m_window->fileDialog();
    EXPECT_TRUE(chooser.isVisible());
    chooser.selectFile(QDir::current().absoluteFilePath(QStringLiteral("examples/beam.csv")));
    static_cast<QDialog&>(chooser).accept();
    EXPECT_EQ(m_window->sourceList().currentIndex(), 2);
    EXPECT_TRUE(m_window->fileBox().text().endsWith(QStringLiteral("examples/beam.csv")));
    EXPECT_TRUE(m_window->fileBox().isEnabled());
    EXPECT_FALSE(m_window->voltageBox().isEnabled());
    EXPECT_FALSE(m_window->stale()) << m_window->noteLabel().text().toStdString();
    EXPECT_EQ(m_window->figureField(2).text(), QStringLiteral("not calibrated"));
}

// "Beam…" in the values window opens the viewer's one beam window, whose third material is
// the drawn table; Escape and "Close" hide it, and the button brings the same window back.
TEST_F(BeamWindowTest, TheViewerKeepsOneBeamWindowInStep) {
    CoefficientViewer viewer{m_prompts, [](const QString&) { return true; }};
    ASSERT_TRUE(viewer.start());
    viewer.selectMaterial(QStringLiteral("Water.muc2"));
    viewer.draw();
    viewer.valuesWindow().beamButton().click();
    BeamWindow& window = viewer.beamWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.chosenMaterialBox().text(), QStringLiteral("Water"));
    EXPECT_EQ(window.chosenHeading().text(), QStringLiteral("Water"));
    viewer.selectElement(QStringLiteral("29_Cu.mut"));
    viewer.draw();
    EXPECT_EQ(window.chosenMaterialBox().text(), QStringLiteral("Cu"));
    EXPECT_EQ(window.qualityField(0, 2).text(), window.qualityField(0, 1).text());
    const std::function<void()> waysOut[] = {
        [&] {
            window.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
            QTest::keyClick(&window.voltageBox(), Qt::Key_Escape);
        },
        [&] { window.closeButton().click(); }, [&] { window.close(); }};
    for (const auto& leave : waysOut) {
        leave();
        EXPECT_FALSE(window.isVisible());
        viewer.valuesWindow().beamButton().click();
        EXPECT_EQ(&viewer.beamWindow(), &window);
        EXPECT_TRUE(window.isVisible());
    }
}

} // namespace
} // namespace tarvo
