#include "xsview/cross_section_viewer.h"

#include "common/creator_window.h"
#include "common/enlarged_view.h"
#include "common/graph_surface.h"
#include "common/main_window.h"
#include "common/number_format.h"
#include "common/save_dialog.h"
#include "common/start_notice.h"
#include "tests/fake_prompts.h"
#include "tests/test_support.h"
#include "tests/window_support.h"
#include "xsview/cross_section_plot.h"
#include "xsview/graph_window.h"
#include "xsview/new_data_chooser.h"
#include "xsview/values_window.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace tarvo {
namespace {

using namespace xsview; // the cross-section viewer's windows

using testing::FakePrompts;
using testing::WorkingDirectory;
using testing::writeBytes;

// Rows: energy and five partial values; an edge at 0.01 MeV, pair production from 10 MeV.
std::string tableText(const std::string& name, double density) {
    const CrossSectionRow rows[] = {{0.001, 10, 0.01, 1000, 0, 0},
                                    {0.01, 5, 0.1, 10, 0, 0},
                                    {0.01, 5, 0.1, 50, 0, 0},
                                    {0.1, 1, 0.15, 0.5, 0, 0},
                                    {1.0, 0.1, 0.07, 0.01, 0, 0},
                                    {10, 0.01, 0.02, 0.001, 0.01, 0.001},
                                    {100, 0.001, 0.005, 0.0001, 0.05, 0.01},
                                    {1000, 0.0001, 0.001, 0.00001, 0.06, 0.02}};
    std::string text = name + "\r\n" + formatNumber(density, "##.######") + "\r\n8\r\n";
    for (const CrossSectionRow& row : rows) {
        text += formatCrossSectionRow(row) + "\r\n";
    }
    return text;
}

class CrossSectionViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeBytes("Start.dat", "Tarvo_V7S\r\n");
        writeBytes("ele/user.txt", "Dosimetry lab\r\n");
        writeBytes("ele/08_O.ele", tableText("Oxygen", 0.001429) + "15.999\r\n");
        writeBytes("ele/01_H.ele", tableText("Hydrogen", 0.0000838) + "1.008\r\n");
        writeBytes("mix/Water.mix2", tableText("Water", 1.0));
        writeBytes("mix/Tissue.mix", tableText("Tissue", 1.06));
        writeBytes("mix/Other.mix3", tableText("Other", 2.0));
        ASSERT_TRUE(m_viewer.start());
    }

    QListWidgetItem* item(QListWidget& list, const QString& text) {
        const auto found = list.findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.front();
    }

    void plot(const QString& directory, const QString& file) {
        directory == QStringLiteral("ele") ? m_viewer.selectElement(file)
                                           : m_viewer.selectMaterial(file);
        m_viewer.calculateAndPlot();
    }

    QString field(ValuesWindow::Field f) { return m_viewer.valuesWindow().field(f).text(); }

    WorkingDirectory m_directory;
    FakePrompts m_prompts;
    QStringList m_started;
    CrossSectionViewer m_viewer{m_prompts, [this](const QString& name) {
                                    m_started.append(name);
                                    return true;
                                }};
};

TEST_F(CrossSectionViewerTest, StartsWithTitleListsAndOthersChosen) {
    MainWindow& main = m_viewer.mainWindow();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("  Dosimetry lab"));
    EXPECT_EQ(main.elementList().count(), 2);
    EXPECT_EQ(main.elementList().item(0)->text(), QStringLiteral("01_H.ele"));
    EXPECT_EQ(main.categories().checkedId(), categoryIndex(MaterialCategory::others));
    EXPECT_EQ(main.materialList().count(), 1);
    EXPECT_FALSE(m_viewer.valuesWindow().field(ValuesWindow::Field::energy).isEnabled());
    EXPECT_FALSE(m_viewer.addedToEnlargedView());
}

TEST(CrossSectionViewerStart, WithoutStartDatShowsOnlyTheNotice) {
    WorkingDirectory directory;
    writeBytes("ele/user.txt", "Lab\r\n");
    FakePrompts prompts;
    CrossSectionViewer viewer(prompts, [](const QString&) { return true; });
    EXPECT_FALSE(viewer.start());
    ASSERT_NE(viewer.startNotice(), nullptr);
    EXPECT_TRUE(viewer.startNotice()->isVisible());
    EXPECT_FALSE(viewer.mainWindow().isVisible());
}

TEST_F(CrossSectionViewerTest, CategoriesListTheirExactExtensionAndKeepTheSelection) {
    m_viewer.selectMaterial(QStringLiteral("Other.mix3"));
    m_viewer.chooseCategory(MaterialCategory::phantomSubstances);
    QListWidget& materials = m_viewer.mainWindow().materialList();
    ASSERT_EQ(materials.count(), 1);
    EXPECT_EQ(materials.item(0)->text(), QStringLiteral("Water.mix2"));
    m_viewer.chooseCategory(MaterialCategory::humanTissues);
    ASSERT_EQ(materials.count(), 1);
    EXPECT_EQ(materials.item(0)->text(), QStringLiteral("Tissue.mix"));
    EXPECT_EQ(m_viewer.selectedPath(), "mix\\Other.mix3");
    EXPECT_EQ(m_viewer.mainWindow().nameField().text(), QStringLiteral("Other"));
    EXPECT_EQ(m_viewer.mainWindow().densityField().text(), QStringLiteral("2.000"));
}

TEST_F(CrossSectionViewerTest, ClickingAnElementClearsTheMaterialHighlight) {
    QListWidget& materials = m_viewer.mainWindow().materialList();
    materials.setCurrentRow(0);
    m_viewer.selectMaterial(QStringLiteral("Other.mix3"));
    m_viewer.selectElement(QStringLiteral("08_O.ele"));
    EXPECT_EQ(materials.currentRow(), -1);
    EXPECT_EQ(m_viewer.mainWindow().densityField().text(), QStringLiteral("0.001429"));
}

// Lists and options follow their state however it was changed: arrow keys and
// assistive technology choose as a click does; Enter on a button presses it.
TEST_F(CrossSectionViewerTest, KeyboardAndAssistiveTechnologyChooseAsTheMouseDoes) {
    MainWindow& main = m_viewer.mainWindow();
    // Enter chooses the current entry, selected or not, as a click does.
    main.elementList().setCurrentRow(0, QItemSelectionModel::NoUpdate);
    QTest::keyClick(&main.elementList(), Qt::Key_Return);
    EXPECT_EQ(m_viewer.selectedPath(), "ele\\01_H.ele");
    QTest::keyClick(&main.elementList(), Qt::Key_Down);
    EXPECT_EQ(m_viewer.selectedPath(), "ele\\08_O.ele");
    EXPECT_EQ(main.nameField().text(), QStringLiteral("Oxygen"));
    // Assistive technology selects without moving the current entry.
    main.materialList().item(0)->setSelected(true);
    EXPECT_EQ(m_viewer.selectedPath(), "mix\\Other.mix3");
    EXPECT_EQ(main.elementList().selectedItems().size(), 0);
    main.categories().button(categoryIndex(MaterialCategory::phantomSubstances))->setChecked(true);
    ASSERT_EQ(main.materialList().count(), 1);
    EXPECT_EQ(main.materialList().item(0)->text(), QStringLiteral("Water.mix2"));
    QTest::keyClick(&main.plotButton(), Qt::Key_Return);
    EXPECT_TRUE(m_viewer.graphWindow().isVisible());
    EXPECT_EQ(m_viewer.loadedTable().name, "Other");
    // In a creator a row is picked from the selected element.
    QTest::keyClick(&main.newDataButton(), Qt::Key_Enter);
    ASSERT_TRUE(m_viewer.chooser().isVisible());
    QTest::keyClick(&m_viewer.chooser().compoundButton(), Qt::Key_Return);
    CreatorWindow& creator = m_viewer.compoundCreator();
    creator.countField().setText(QStringLiteral("1"));
    QTest::keyClick(&creator.confirmButton(), Qt::Key_Return);
    creator.elementList().item(1)->setSelected(true);
    m_prompts.textAnswers = {QStringLiteral("2")};
    creator.pickElement(1);
    EXPECT_EQ(creator.row(1).elementFile, "08_O.ele");
    EXPECT_TRUE(m_prompts.messages.empty());
}

TEST_F(CrossSectionViewerTest, DeleteIsRefusedForElementsAndAsksForMaterials) {
    m_viewer.deleteSelected(); // nothing selected: nothing happens
    EXPECT_TRUE(m_prompts.messages.empty());
    m_viewer.selectElement(QStringLiteral("08_O.ele"));
    m_viewer.deleteSelected();
    ASSERT_EQ(m_prompts.messages.size(), 1U);
    EXPECT_EQ(m_prompts.messages[0].text, QStringLiteral(" This file cannot be deleted "));
    EXPECT_EQ(m_prompts.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(std::filesystem::exists("ele/08_O.ele"));

    m_viewer.selectMaterial(QStringLiteral("Other.mix3"));
    m_prompts.okAnswers = {false};
    m_viewer.deleteSelected();
    EXPECT_EQ(m_prompts.questions.back(), QStringLiteral(" really erase Other.mix3 ? "));
    EXPECT_TRUE(std::filesystem::exists("mix/Other.mix3"));
    m_prompts.okAnswers = {true};
    m_viewer.deleteSelected();
    EXPECT_FALSE(std::filesystem::exists("mix/Other.mix3"));
    EXPECT_EQ(m_viewer.mainWindow().materialList().count(), 0);
    EXPECT_TRUE(m_viewer.mainWindow().nameField().text().isEmpty());
    EXPECT_TRUE(m_viewer.selectedPath().empty());
}

TEST_F(CrossSectionViewerTest, CalculateNeedsASelectionAndFillsTheListOnce) {
    m_viewer.calculateAndPlot();
    ASSERT_EQ(m_prompts.messages.size(), 1U);
    EXPECT_EQ(m_prompts.messages[0].text, QStringLiteral("Select material "));
    EXPECT_FALSE(m_viewer.graphWindow().isVisible());
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    m_viewer.calculateAndPlot();
    QListWidget& rows = m_viewer.valuesWindow().rowList();
    ASSERT_EQ(rows.count(), 8);
    EXPECT_EQ(rows.item(0)->text(),
              QStringLiteral(" 1.000E-03 1.000E+01 1.000E-02 1.000E+03 0.000E+00 0.000E+00"));
    EXPECT_EQ(m_viewer.graphWindow().windowTitle(),
              QStringLiteral(" Other   Density = 2.000 [g/cm3]"));
    EXPECT_EQ(m_viewer.valuesWindow().windowTitle(), m_viewer.graphWindow().windowTitle());
    EXPECT_TRUE(m_viewer.graphWindow().isVisible());
    EXPECT_TRUE(m_viewer.valuesWindow().field(ValuesWindow::Field::energy).isEnabled());
    EXPECT_EQ(m_viewer.graphWindow().enlargeButton().text(), QStringLiteral("Enlarged View"));
}

TEST_F(CrossSectionViewerTest, AVanishedTableIsReportedAndTheLoadedOneKept) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    m_viewer.selectElement(QStringLiteral("08_O.ele"));
    std::filesystem::remove("ele/08_O.ele");
    m_viewer.calculateAndPlot();
    ASSERT_EQ(m_prompts.messages.size(), 1U);
    EXPECT_TRUE(m_prompts.messages[0].text.contains(QStringLiteral("08_O.ele")));
    EXPECT_EQ(m_viewer.loadedTable().name, "Other");
    EXPECT_EQ(m_viewer.valuesWindow().rowList().count(), 8);
}

TEST_F(CrossSectionViewerTest, ReadOutSelectsTheNearestRowATieKeepingTheHigher) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    const double x1 = std::log(0.1f) + 6.909f;
    const double x2 = std::log(1.0f) + 6.909f;
    QListWidget& rows = m_viewer.valuesWindow().rowList();
    m_viewer.mouseMoveCrossSectionPlot(x1 + 0.1, 10.0);
    EXPECT_EQ(rows.currentRow(), 3);
    EXPECT_EQ(field(ValuesWindow::Field::energy), QStringLiteral("1.000E-01"));
    // Within a row's zone the vertical lines stay at the row's energy on every move.
    for (const double pointer : {x1 + 0.2, x1 - 0.3, x1 + 0.1}) {
        m_viewer.mouseMoveCrossSectionPlot(pointer, 10.0);
        EXPECT_NEAR(m_viewer.graphWindow().crossSectionVerticalX(), std::log(0.1) + 6.909, 1e-9);
        m_viewer.mouseMoveFractionPlot(pointer, 5.0);
        EXPECT_NEAR(m_viewer.graphWindow().crossSectionVerticalX(), std::log(0.1) + 6.909, 1e-9);
    }
    m_viewer.mouseMoveCrossSectionPlot((x1 + x2) / 2, 10.0);
    EXPECT_EQ(rows.currentRow(), 4);
    EXPECT_TRUE(m_viewer.graphWindow().crossSectionHorizontalShown());
    EXPECT_NEAR(m_viewer.graphWindow().crossSectionVerticalX(), std::log(1.0) + 6.909, 1e-9);
    m_viewer.mouseMoveCrossSectionPlot(-0.01, 10.0);
    EXPECT_FALSE(m_viewer.graphWindow().crossSectionVerticalShown());
    m_viewer.mouseMoveFractionPlot(x2, 10.5);
    EXPECT_FALSE(m_viewer.graphWindow().fractionVerticalShown());
    m_viewer.mouseMoveFractionPlot(x2, 5.0);
    EXPECT_TRUE(m_viewer.graphWindow().fractionHorizontalShown());
    EXPECT_FALSE(m_viewer.graphWindow().crossSectionHorizontalShown());
}

struct EnergyCase {
    const char* typed;
    const char* energy;
    const char* photoelectric;
    const char* pairNuclear;
    const char* total;
};

class CrossSectionEnergyEntry : public CrossSectionViewerTest,
                                public ::testing::WithParamInterface<EnergyCase> {};

TEST_P(CrossSectionEnergyEntry, InterpolatesLogLog) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    m_viewer.valuesWindow()
        .field(ValuesWindow::Field::energy)
        .setText(QString::fromLatin1(GetParam().typed));
    m_viewer.enterEnergy();
    EXPECT_TRUE(m_prompts.messages.empty());
    EXPECT_EQ(field(ValuesWindow::Field::energy), QString::fromLatin1(GetParam().energy));
    EXPECT_EQ(field(ValuesWindow::Field::photoelectric),
              QString::fromLatin1(GetParam().photoelectric));
    EXPECT_EQ(field(ValuesWindow::Field::pairNuclear), QString::fromLatin1(GetParam().pairNuclear));
    EXPECT_EQ(field(ValuesWindow::Field::total), QString::fromLatin1(GetParam().total));
}

INSTANTIATE_TEST_SUITE_P(
    Energies, CrossSectionEnergyEntry,
    ::testing::Values(EnergyCase{"0.001", "1.000E-03", "1.000E+03", "0.000E+00", "1.010E+03"},
                      EnergyCase{"0.01", "1.000E-02", "1.000E+01", "0.000E+00", "1.510E+01"},
                      EnergyCase{"0.1", "1.000E-01", "5.000E-01", "0.000E+00", "1.650E+00"},
                      EnergyCase{" 3 . 1 6 2 3 e - 2", "3.162E-02", "5.000E+00", "0.000E+00",
                                 "9.535E+00"},
                      EnergyCase{"31.6228", "3.162E+01", "3.162E-04", "2.236E-02", "5.269E-02"}));

// The read-out's vertical lines stand within the plots: an energy above the plotted
// 100 MeV (up to about 162 MeV still on the surface) draws none in the margin.
TEST_F(CrossSectionViewerTest, TheReadOutLinesStayWithinThePlots) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    const QColor yellow = paletteColor(14);
    const struct {
        const char* typed;
        double energy;
        bool drawn;
    } energies[] = {{"31.6228", 31.6228, true}, {"150", 150.0, false}, {"120", 120.0, false}};
    for (const auto& [typed, energy, drawn] : energies) {
        m_viewer.valuesWindow()
            .field(ValuesWindow::Field::energy)
            .setText(QString::fromLatin1(typed));
        m_viewer.enterEnergy();
        for (GraphSurface* plot :
             {&m_viewer.graphWindow().crossSectionPlot(), &m_viewer.graphWindow().fractionPlot()}) {
            const QImage image = plot->grab().toImage();
            const int x = static_cast<int>(toPixel(plot->frame(), readOutX(energy), 0).x);
            ASSERT_LT(x, image.width()) << typed;
            int line = 0;
            for (int y = 0; y < image.height(); ++y) {
                line += QColor(image.pixel(x, y)) == yellow ? 1 : 0;
            }
            EXPECT_EQ(line > image.height() / 4, drawn) << typed << ": " << line;
        }
    }
}

TEST_F(CrossSectionViewerTest, EnergiesOutOfRangeEmptyEnergyAndTotal) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    for (const char* typed : {"0.0005", "100001", "abc", "2000", "1,5"}) {
        m_viewer.valuesWindow()
            .field(ValuesWindow::Field::coherent)
            .setText(QStringLiteral("kept"));
        m_viewer.valuesWindow()
            .field(ValuesWindow::Field::energy)
            .setText(QString::fromLatin1(typed));
        m_viewer.valuesWindow().field(ValuesWindow::Field::total).setText(QStringLiteral("1"));
        m_viewer.enterEnergy();
        ASSERT_FALSE(m_prompts.messages.empty());
        EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral("This value is out of range."))
            << typed;
        EXPECT_TRUE(field(ValuesWindow::Field::energy).isEmpty());
        EXPECT_TRUE(field(ValuesWindow::Field::total).isEmpty());
        EXPECT_EQ(field(ValuesWindow::Field::coherent), QStringLiteral("kept"));
    }
}

TEST_F(CrossSectionViewerTest, TotalEntryFindsTheLowestEnergyOrReports) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    QLineEdit& total = m_viewer.valuesWindow().field(ValuesWindow::Field::total);
    total.setText(QStringLiteral("1.65"));
    m_viewer.enterTotal();
    EXPECT_EQ(field(ValuesWindow::Field::energy), QStringLiteral("1.000E-01"));
    EXPECT_EQ(field(ValuesWindow::Field::total), QStringLiteral("1.650E+00"));
    total.setText(QStringLiteral("5000"));
    m_viewer.enterTotal();
    EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral("This value is out of range."));
    EXPECT_TRUE(field(ValuesWindow::Field::energy).isEmpty());
    // Above row 1's total but not above the largest: extrapolated below 1 keV.
    writeBytes("mix/Edge.mix3", "Edge\r\n1.\r\n3\r\n"
                                "1.000E-03 1.000E+00 0.000E+00 1.000E+02 0.000E+00 0.000E+00\r\n"
                                "2.000E-03 1.000E+00 0.000E+00 5.000E+02 0.000E+00 0.000E+00\r\n"
                                "3.000E-03 1.000E+00 0.000E+00 1.000E+01 0.000E+00 0.000E+00\r\n");
    plot(QStringLiteral("mix"), QStringLiteral("Edge.mix3"));
    total.setText(QStringLiteral("300"));
    m_viewer.enterTotal();
    EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral("Calculation error"));
    EXPECT_TRUE(field(ValuesWindow::Field::total).isEmpty());
}

TEST_F(CrossSectionViewerTest, EnlargedViewCollectsTitlesAndMarksLaterTables) {
    m_viewer.saveEnlargedViewRequested();
    EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral(" The graph is not drawn "));
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    m_viewer.addToEnlargedView();
    const QImage first = m_viewer.enlargedView().picture().image().copy();
    EXPECT_FALSE(m_viewer.graphWindow().enlargeButton().isEnabled());
    plot(QStringLiteral("ele"), QStringLiteral("08_O.ele"));
    EXPECT_EQ(m_viewer.graphWindow().enlargeButton().text(),
              QStringLiteral("Add to Enlarged View"));
    m_viewer.addToEnlargedView();
    EXPECT_EQ(
        m_viewer.enlargedView().windowTitle(),
        QStringLiteral(" Other   Density = 2.000 [g/cm3]  &  Oxygen   Density = 0.001429 [g/cm3]"));
    // The same curves again, now with circles: pixels beside the curve points change.
    const QImage second = m_viewer.enlargedView().picture().image();
    int changed = 0;
    for (int y = 0; y < first.height(); ++y) {
        for (int x = 0; x < first.width(); ++x) {
            changed += first.pixel(x, y) != second.pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(changed, 20);
    m_viewer.closeEnlargedView();
    EXPECT_FALSE(m_viewer.addedToEnlargedView());
    EXPECT_TRUE(m_viewer.enlargedView().windowTitle().isEmpty());
    EXPECT_EQ(m_viewer.graphWindow().enlargeButton().text(), QStringLiteral("Enlarged View"));
    EXPECT_TRUE(m_viewer.graphWindow().enlargeButton().isEnabled());
}

// Additions draw inside the plot area only: the bands, the axis labels and everything else
// around it stay pixel for pixel as the empty frame drew them.
TEST_F(CrossSectionViewerTest, AdditionsLeaveTheFrameAroundThePlotUnchanged) {
    const QImage empty = m_viewer.enlargedView().picture().image().copy();
    const UserFrame frame = m_viewer.enlargedView().picture().frame();
    for (const QString& file : {QStringLiteral("Other.mix3"), QStringLiteral("Other.mix3"),
                                QStringLiteral("Other.mix3")}) {
        plot(QStringLiteral("mix"), file);
        m_viewer.addToEnlargedView();
    }
    const QImage& added = m_viewer.enlargedView().picture().image();
    ASSERT_EQ(added.size(), empty.size());
    const PixelPoint plotTopLeft = toPixel(frame, 0, 18.4);
    const PixelPoint plotBottomRight = toPixel(frame, 12, 0);
    int changedOutside = 0;
    int changedInside = 0;
    for (int y = 0; y < empty.height(); ++y) {
        for (int x = 0; x < empty.width(); ++x) {
            // The border is drawn again, inside the plot area.
            const bool inside = x >= plotTopLeft.x - 2 && x <= plotBottomRight.x + 2 &&
                                y >= plotTopLeft.y - 2 && y <= plotBottomRight.y + 2;
            const bool changed = empty.pixel(x, y) != added.pixel(x, y);
            (inside ? changedInside : changedOutside) += changed ? 1 : 0;
        }
    }
    EXPECT_GT(changedInside, 100);
    EXPECT_EQ(changedOutside, 0);
}

TEST_F(CrossSectionViewerTest, PlotsDrawTheTotalCurveAndHideLowPairValuesUnderTheBand) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    GraphSurface& surface = m_viewer.graphWindow().crossSectionPlot();
    const QImage& image = surface.image();
    const auto pixelAt = [&](double x, double y) {
        const PixelPoint p = toPixel(surface.frame(), x, y);
        return QColor(image.pixel(static_cast<int>(p.x), static_cast<int>(p.y)));
    };
    // The total at 1 MeV, 0.18 cm2/g, lies on the white curve.
    EXPECT_EQ(pixelAt(energyX(1.0), crossSectionY(0.18)), paletteColor(15));
    // Below the plotted area the navy band covers the pair curve that starts at (0, -0.5)
    // and runs to 1e-5 cm2/g (Y = -2.3) at 0.01 MeV.
    EXPECT_EQ(pixelAt(1.15, -1.4), paletteColor(1));
    EXPECT_EQ(pixelAt(11.0, -1.0), paletteColor(1));
}

TEST_F(CrossSectionViewerTest, CsvExportWritesTheSelectedTableEvenIfNeverPlotted) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    m_viewer.chooseCategory(MaterialCategory::phantomSubstances);
    m_viewer.selectMaterial(QStringLiteral("Water.mix2"));
    m_viewer.openCsvExport();
    SaveDialog& dialog = m_viewer.csvSaveDialog();
    EXPECT_TRUE(dialog.isVisible());
    dialog.nameField().setText(QStringLiteral("water"));
    dialog.okPressed();
    const std::string csv = testing::readBytes("water.csv");
    EXPECT_EQ(csv.substr(0, 14), "Water\r\n1.\r\n8\r\n");
    EXPECT_NE(csv.find("\r\n1.000E-03, 1.000E+01, 1.000E-02, 1.000E+03, 0.000E+00, 0.000E+00\r\n"),
              std::string::npos)
        << csv;
    EXPECT_EQ(m_prompts.messages.back().text,
              QStringLiteral("  Data saved in the Excel csv format "));
    EXPECT_EQ(m_viewer.loadedTable().name, "Other"); // the plotted table stays
}

// A selected table deleted outside the program is said to be unreadable, and no CSV is
// written (the write was blamed before).
TEST_F(CrossSectionViewerTest, ACsvOfATableDeletedMeanwhileSaysItCannotBeRead) {
    m_viewer.chooseCategory(MaterialCategory::phantomSubstances);
    m_viewer.selectMaterial(QStringLiteral("Water.mix2"));
    std::filesystem::remove("mix/Water.mix2");
    m_viewer.openCsvExport();
    m_viewer.csvSaveDialog().nameField().setText(QStringLiteral("after_delete"));
    m_viewer.csvSaveDialog().okPressed();
    EXPECT_TRUE(m_prompts.messages.back().text.startsWith(
        QStringLiteral("The selected table cannot be read: mix\\Water.mix2")))
        << m_prompts.messages.back().text.toStdString();
    EXPECT_FALSE(std::filesystem::exists("after_delete.csv"));
}

// A name in UTF-8 or in a legacy 8-bit encoding shows every character; an export keeps
// the name's bytes as they are.
TEST_F(CrossSectionViewerTest, NamesInUtf8OrLatin1ShowEveryCharacterAndKeepTheirBytes) {
    const struct {
        const char* bytes;
        const char* shown; // UTF-8
    } names[] = {{"Gewebe \xe4quivalent", "Gewebe äquivalent"},
                 {"Gewebe \xc3\xa4quivalent", "Gewebe äquivalent"},
                 {"Knochen \xb5-Phantom", "Knochen µ-Phantom"}};
    for (const auto& name : names) {
        writeBytes("mix/Named.mix3", tableText(name.bytes, 1.0));
        plot(QStringLiteral("mix"), QStringLiteral("Named.mix3"));
        const QString shown = QString::fromUtf8(name.shown);
        EXPECT_EQ(m_viewer.mainWindow().nameField().text(), shown);
        EXPECT_TRUE(m_viewer.graphWindow().windowTitle().contains(shown));
        m_viewer.openCsvExport();
        m_viewer.csvSaveDialog().nameField().setText(QStringLiteral("named"));
        m_viewer.csvSaveDialog().okPressed();
        EXPECT_EQ(testing::readBytes("named.csv").substr(0, std::string(name.bytes).size() + 2),
                  std::string(name.bytes) + "\r\n");
    }
}

TEST_F(CrossSectionViewerTest, TheBitmapHoldsExactlyTheEnlargedViewsImage) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    m_viewer.addToEnlargedView();
    m_viewer.saveEnlargedViewRequested();
    SaveDialog& dialog = m_viewer.imageSaveDialog();
    ASSERT_TRUE(dialog.isVisible());
    dialog.okPressed();
    EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral(" Input File name  "));
    dialog.nameField().setText(QStringLiteral("plot"));
    dialog.okPressed();
    EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral(" Image saved in bitmap format "));
    const QImage saved(QStringLiteral("plot.bmp"));
    const QImage shown = m_viewer.enlargedView().picture().image().convertToFormat(saved.format());
    ASSERT_EQ(saved.size(), shown.size());
    EXPECT_TRUE(saved == shown);
}

// Closing the view takes its save dialog with it; a save that still comes writes nothing.
TEST_F(CrossSectionViewerTest, ClosingTheEnlargedViewClosesItsSaveDialog) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    m_viewer.addToEnlargedView();
    m_viewer.saveEnlargedViewRequested();
    SaveDialog& dialog = m_viewer.imageSaveDialog();
    ASSERT_TRUE(dialog.isVisible());
    m_viewer.enlargedView().closeButton().click();
    EXPECT_FALSE(dialog.isVisible());
    dialog.nameField().setText(QStringLiteral("empty"));
    dialog.okPressed();
    EXPECT_FALSE(QFile::exists(QStringLiteral("empty.bmp")));
    EXPECT_TRUE(m_prompts.messages.back().text.contains(QStringLiteral("not drawn")));
}

// The share of 5 x 5 pixel blocks whose mean colours differ by more than 40 in a channel:
// a vector picture drawn again smooths its edges, but a curve out of place shows.
double differingBlocks(const QImage& a, const QImage& b) {
    int differing = 0;
    int blocks = 0;
    for (int top = 0; top + 5 <= a.height(); top += 5) {
        for (int left = 0; left + 5 <= a.width(); left += 5) {
            int sums[2][3] = {};
            for (int y = top; y < top + 5; ++y) {
                for (int x = left; x < left + 5; ++x) {
                    for (int k = 0; k < 2; ++k) {
                        const QRgb pixel = (k == 0 ? a : b).pixel(x, y);
                        sums[k][0] += qRed(pixel);
                        sums[k][1] += qGreen(pixel);
                        sums[k][2] += qBlue(pixel);
                    }
                }
            }
            bool differs = false;
            for (int c = 0; c < 3; ++c) {
                differs = differs || std::abs(sums[0][c] - sums[1][c]) > 40 * 25;
            }
            differing += differs;
            ++blocks;
        }
    }
    return static_cast<double>(differing) / blocks;
}

// PNG holds the pixels of the screen; SVG the same drawing as vector paths.
TEST_F(CrossSectionViewerTest, TheEnlargedViewSavesAsPngAndSvgToo) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    m_viewer.addToEnlargedView();
    m_viewer.saveEnlargedViewRequested();
    SaveDialog& dialog = m_viewer.imageSaveDialog();
    ASSERT_NE(dialog.formatList(), nullptr);
    EXPECT_EQ(dialog.formatList()->currentText(), QStringLiteral("BMP"));
    const QImage shown =
        m_viewer.enlargedView().picture().image().convertToFormat(QImage::Format_RGB32);
    dialog.formatChosen(1);
    dialog.nameField().setText(QStringLiteral("plot"));
    dialog.okPressed();
    EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral(" Image saved in PNG format "));
    EXPECT_TRUE(QImage(QStringLiteral("plot.png")).convertToFormat(QImage::Format_RGB32) == shown);

    m_viewer.saveEnlargedViewRequested();
    dialog.formatChosen(2);
    dialog.nameField().setText(QStringLiteral("plot"));
    dialog.okPressed();
    EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral(" Image saved in SVG format "));
    QFile file(QStringLiteral("plot.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    int paths = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        paths += xml.isStartElement() &&
                 (xml.name() == QStringLiteral("path") || xml.name() == QStringLiteral("polyline"));
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_GT(paths, 150);
    QSvgRenderer renderer(QStringLiteral("plot.svg"));
    ASSERT_TRUE(renderer.isValid());
    QImage drawn(shown.size(), QImage::Format_RGB32);
    QPainter painter(&drawn);
    renderer.render(&painter);
    painter.end();
    EXPECT_LT(differingBlocks(drawn, shown), 0.01);
    EXPECT_FALSE(QFile::exists(QStringLiteral("plot.bmp")));
}

// Names with the characters XML reserves make a well-formed SVG that draws, with the
// markers of a later table clipped as on the screen, the same picture as the bitmap.
TEST_F(CrossSectionViewerTest, TheSvgOfTwoTablesWithReservedCharactersIsTheBitmapsDrawing) {
    writeBytes("mix/Salt.mix3", tableText("Sodium <salt> & \"brine\"", 1.2));
    // Values just under the frame's lowest decade: the markers reach the energy labels.
    std::string lead = "Lead's >\r\n11.35\r\n6\r\n";
    for (const double energy : {0.001, 0.01, 0.1, 1.0, 10.0, 100.0}) {
        lead += formatCrossSectionRow({energy, 6e-5, 5e-5, 1e-3 / energy, 0, 0}) + "\r\n";
    }
    writeBytes("mix/Lead.mix3", lead);
    plot(QStringLiteral("mix"), QStringLiteral("Salt.mix3"));
    m_viewer.addToEnlargedView();
    plot(QStringLiteral("mix"), QStringLiteral("Lead.mix3"));
    m_viewer.addToEnlargedView();
    m_viewer.saveEnlargedViewRequested();
    SaveDialog& dialog = m_viewer.imageSaveDialog();
    const QImage shown =
        m_viewer.enlargedView().picture().image().convertToFormat(QImage::Format_RGB32);
    dialog.formatChosen(2);
    dialog.nameField().setText(QStringLiteral("both"));
    dialog.okPressed();
    ASSERT_EQ(m_prompts.messages.back().text, QStringLiteral(" Image saved in SVG format "));
    QFile file(QStringLiteral("both.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString texts;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::Characters) {
            texts += xml.text();
        }
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("Sodium <salt> & \"brine\"")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Lead's >")));
    QSvgRenderer renderer(QStringLiteral("both.svg"));
    ASSERT_TRUE(renderer.isValid());
    QImage drawn(shown.size(), QImage::Format_RGB32);
    QPainter painter(&drawn);
    renderer.render(&painter);
    painter.end();
    // Markers left unclipped differ in some 24 blocks; smoothing alone in one or two.
    EXPECT_LT(differingBlocks(drawn, shown), 0.00015);
}

TEST_F(CrossSectionViewerTest, NewDataHidesTheMainWindowUntilACreatorCloses) {
    plot(QStringLiteral("mix"), QStringLiteral("Other.mix3"));
    m_viewer.openNewData();
    EXPECT_TRUE(m_viewer.chooser().isVisible());
    EXPECT_FALSE(m_viewer.mainWindow().isVisible());
    EXPECT_FALSE(m_viewer.graphWindow().isVisible());
    m_viewer.openMixtureCreator();
    CreatorWindow& creator = m_viewer.mixtureCreator();
    EXPECT_TRUE(creator.isVisible());
    EXPECT_FALSE(m_viewer.chooser().isVisible());
    EXPECT_EQ(creator.elementList().count(), 2);
    creator.countField().setText(QStringLiteral("1"));
    creator.confirmElementCount();
    creator.elementList().setCurrentRow(1);
    m_prompts.textAnswers = {QStringLiteral("100")};
    creator.pickElement(1);
    creator.fileNameField().setText(QStringLiteral("Pure_oxygen"));
    creator.saveNewMaterial();
    EXPECT_TRUE(m_viewer.mainWindow().isVisible());
    EXPECT_FALSE(creator.isVisible());
    EXPECT_FALSE(m_viewer.mainWindow()
                     .materialList()
                     .findItems(QStringLiteral("Pure_oxygen.mix3"), Qt::MatchExactly)
                     .isEmpty());
}

// The close box of the chooser and of each creator acts as its Cancel: the main window
// comes back and the program goes on.
TEST_F(CrossSectionViewerTest, TheCloseBoxOfTheChooserAndTheCreatorsMeansCancel) {
    const std::function<QWidget&(CrossSectionViewer&)> windows[] = {
        [](CrossSectionViewer& v) -> QWidget& { return v.chooser(); },
        [](CrossSectionViewer& v) -> QWidget& {
            v.openCompoundCreator();
            return v.compoundCreator();
        },
        [](CrossSectionViewer& v) -> QWidget& {
            v.openMixtureCreator();
            return v.mixtureCreator();
        }};
    for (const auto& open : windows) {
        m_viewer.openNewData();
        QWidget& window = open(m_viewer);
        ASSERT_FALSE(m_viewer.mainWindow().isVisible());
        QSignalSpy lastClosed(qApp, &QApplication::lastWindowClosed);
        EXPECT_EQ(testing::runEventLoop([&] {
                      window.close();
                      QTimer::singleShot(50, [] { QCoreApplication::exit(7); });
                  }),
                  7)
            << window.windowTitle().toStdString();
        EXPECT_EQ(lastClosed.count(), 0);
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(m_viewer.mainWindow().isVisible());
    }
    EXPECT_TRUE(m_started.isEmpty());
}

// Each way out starts exactly one launcher and ends the event loop, even though ending
// closes every window.
TEST_F(CrossSectionViewerTest, EachWayOutStartsOneLauncherAndEndsTheProgram) {
    const struct {
        std::function<void(CrossSectionViewer&)> leave;
        const char* launcher;
    } ways[] = {{[](CrossSectionViewer& v) { v.mainWindow().exitButton().click(); }, "Tarvo_V7S"},
                {[](CrossSectionViewer& v) { v.mainWindow().close(); }, "Tarvo_V6"}};
    for (const auto& way : ways) {
        QStringList started;
        CrossSectionViewer viewer(m_prompts, [&started](const QString& name) {
            started.append(name);
            return true;
        });
        ASSERT_TRUE(viewer.start());
        EXPECT_EQ(testing::runEventLoop([&] { way.leave(viewer); }), 0) << way.launcher;
        EXPECT_EQ(started, QStringList{QString::fromLatin1(way.launcher)});
    }
}

} // namespace
} // namespace tarvo
