#include "coefview/coefficient_viewer.h"

#include "coefview/coefficient_plot.h"
#include "coefview/composition_window.h"
#include "coefview/graph_window.h"
#include "coefview/values_window.h"
#include "common/creator_window.h"
#include "common/enlarged_view.h"
#include "common/graph_surface.h"
#include "common/main_window.h"
#include "common/number_format.h"
#include "common/start_notice.h"
#include "tests/fake_prompts.h"
#include "tests/test_support.h"
#include "tests/window_support.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace tarvo {
namespace {

using coefview::CoefficientViewer;

using coefview::ValuesWindow;
using testing::FakePrompts;
using testing::listDirectory;
using testing::WorkingDirectory;
using testing::writeBytes;

// A table from 1 keV to 20 MeV with an edge at 10 keV; the transfer and absorption
// coefficients are fixed fractions of the attenuation.
std::string coefficientText(const std::string& name, double scale, const std::string& composition) {
    const double rows[][2] = {{0.001, 4000}, {0.005, 100}, {0.01, 20},  {0.01, 90},
                              {0.1, 2},      {1.0, 0.07},  {20.0, 0.02}};
    std::string text = name + "\r\n007\r\n01.000000\r\n";
    for (const auto& row : rows) {
        text += formatCoefficientRow(
                    {row[0], scale * row[1], scale * row[1] * 0.8, scale * row[1] * 0.6}) +
                "\r\n";
    }
    return text + composition;
}

class CoefficientViewerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeBytes("Start.dat", "Tarvo_V7S\r\n");
        writeBytes("ele/user.txt", "Lab\r\n");
        writeBytes("mu_ele/08_O.mut", coefficientText("Oxygen", 1.0, ""));
        writeBytes("mu_mix/Water.muc3",
                   coefficientText("Water", 2.0, "02\r\n01 0.111898\r\n08 0.888102\r\n"));
        writeBytes("mu_mix/Tissue.mucm", coefficientText("Tissue", 3.0, "01\r\n08 1.000000\r\n"));
        ASSERT_TRUE(m_viewer.start());
    }

    void draw(bool material = true) {
        material ? m_viewer.selectMaterial(QStringLiteral("Water.muc3"))
                 : m_viewer.selectElement(QStringLiteral("08_O.mut"));
        m_viewer.draw();
    }

    QString box(ValuesWindow::Box which) { return m_viewer.valuesWindow().box(which).text(); }

    WorkingDirectory m_directory;
    FakePrompts m_prompts;
    QStringList m_started;
    CoefficientViewer m_viewer{m_prompts, [this](const QString& name) {
                                   m_started.append(name);
                                   return true;
                               }};
};

TEST_F(CoefficientViewerTest, StartsWithTitleListsAndCompositionDisabled) {
    EXPECT_EQ(m_viewer.mainWindow().windowTitle(), QStringLiteral("  Lab"));
    EXPECT_EQ(m_viewer.mainWindow().elementList().count(), 1);
    EXPECT_EQ(m_viewer.mainWindow().materialList().count(), 1);
    EXPECT_FALSE(m_viewer.mainWindow().compositionButton()->isEnabled());
    m_viewer.chooseCategory(MaterialCategory::humanTissues);
    EXPECT_EQ(m_viewer.mainWindow().materialList().item(0)->text(), QStringLiteral("Tissue.mucm"));
}

TEST(CoefficientViewerStart, WithoutStartDatShowsOnlyTheNotice) {
    WorkingDirectory directory;
    writeBytes("ele/user.txt", "Lab\r\n");
    FakePrompts prompts;
    CoefficientViewer viewer(prompts, [](const QString&) { return true; });
    EXPECT_FALSE(viewer.start());
    EXPECT_NE(viewer.startNotice(), nullptr);
    EXPECT_FALSE(viewer.mainWindow().isVisible());
}

TEST_F(CoefficientViewerTest, DrawingFillsListTitlesExtremesAndComposition) {
    m_viewer.draw();
    EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral("Select material"));
    draw();
    QListWidget& rows = m_viewer.valuesWindow().rowList();
    ASSERT_EQ(rows.count(), 7);
    EXPECT_EQ(rows.item(0)->text(), QStringLiteral("1.00000E-03  8.000E+03  6.400E+03  4.800E+03"));
    EXPECT_EQ(m_viewer.graphWindow().windowTitle(),
              QStringLiteral(" Water  Density = 1.000 [g/cm3]"));
    EXPECT_EQ(m_viewer.compositionWindow().windowTitle(),
              QStringLiteral(" Water  ρ=1.000 [g/cm3]"));
    EXPECT_DOUBLE_EQ(m_viewer.extremes().largest[0], 8000);
    EXPECT_DOUBLE_EQ(m_viewer.extremes().smallest[2], 0.02 * 2 * 0.6);
    EXPECT_TRUE(m_viewer.mainWindow().compositionButton()->isEnabled());
    m_viewer.indicateComposition();
    EXPECT_TRUE(m_viewer.compositionWindow().isVisible());
    EXPECT_EQ(m_viewer.compositionWindow().nameLabel().text(), QStringLiteral("Water"));
    draw(false);
    EXPECT_FALSE(m_viewer.mainWindow().compositionButton()->isEnabled());
    EXPECT_FALSE(m_viewer.compositionWindow().isVisible());
}

TEST_F(CoefficientViewerTest, ExtremesOfLargeValuesKeepTheSmallestAt100000) {
    writeBytes("mu_mix/Big.muc3", coefficientText("Big", 1e8, "01\r\n08 1.000000\r\n"));
    m_viewer.selectMaterial(QStringLiteral("Big.muc3"));
    m_viewer.draw();
    EXPECT_EQ(m_viewer.extremes().smallest[0], 100000.0);
}

// A table deleted outside the program is reported when chosen; the highlight then returns
// to the table that "OK" and the exports use, in whichever list it stands.
TEST_F(CoefficientViewerTest, AFailedChoiceReturnsTheHighlightToTheSelectedTable) {
    MainWindow& main = m_viewer.mainWindow();
    const auto choose = [](QListWidget& list, const char* file) {
        list.setCurrentItem(list.findItems(QString::fromLatin1(file), Qt::MatchExactly).front());
    };
    const struct {
        QListWidget* list;
        const char* file;
        bool emptied; // else deleted
    } kept[] = {{&main.materialList(), "Water.muc3", false},
                {&main.elementList(), "08_O.mut", false},
                {&main.materialList(), "Water.muc3", true},
                {&main.elementList(), "08_O.mut", true}};
    for (const auto& [list, file, emptied] : kept) {
        writeBytes("mu_mix/Gone.muc3", coefficientText("Gone", 1.0, "01\r\n08 1.000000\r\n"));
        m_viewer.selectElement(QStringLiteral("08_O.mut")); // lists the new file
        choose(*list, file);
        if (emptied) {
            writeBytes("mu_mix/Gone.muc3", "");
        } else {
            std::filesystem::remove("mu_mix/Gone.muc3");
        }
        choose(main.materialList(), "Gone.muc3");
        EXPECT_TRUE(m_prompts.messages.back().text.contains(QStringLiteral("Gone.muc3")));
        EXPECT_TRUE(m_viewer.selectedPath().ends_with(file)) << m_viewer.selectedPath();
        ASSERT_EQ(list->selectedItems().size(), 1) << file;
        EXPECT_EQ(list->selectedItems().front()->text(), QString::fromLatin1(file));
        EXPECT_EQ(
            main.materialList().findItems(QStringLiteral("Gone.muc3"), Qt::MatchExactly).size(),
            emptied ? 1 : 0);
    }
    std::filesystem::remove("mu_mix/Gone.muc3");
}

TEST_F(CoefficientViewerTest, AnUnreadableTableLeavesEverythingAsItWas) {
    draw();
    writeBytes("mu_mix/Bad.muc3", "Bad\r\n002\r\n1.0\r\n1.00000E-03 0.000E+00 1.0E+00 1.0E+00\r\n");
    m_viewer.selectMaterial(QStringLiteral("Bad.muc3"));
    m_viewer.draw();
    EXPECT_TRUE(m_prompts.messages.back().text.contains(QStringLiteral("Bad.muc3")));
    EXPECT_EQ(m_viewer.currentTable().name, "Water");
    EXPECT_EQ(m_viewer.valuesWindow().rowList().count(), 7);
}

struct EnergyCase {
    const char* typed;
    const char* energy; // empty: refused
    const char* attenuation;
};

class CoefficientEnergyEntry : public CoefficientViewerTest,
                               public ::testing::WithParamInterface<EnergyCase> {};

TEST_P(CoefficientEnergyEntry, InterpolatesOrRefuses) {
    draw();
    m_viewer.valuesWindow()
        .box(ValuesWindow::Box::energyAbsorption)
        .setText(QStringLiteral("kept"));
    m_viewer.valuesWindow()
        .box(ValuesWindow::Box::energy)
        .setText(QString::fromLatin1(GetParam().typed));
    m_viewer.enterEnergy();
    EXPECT_EQ(box(ValuesWindow::Box::energy), QString::fromLatin1(GetParam().energy));
    if (*GetParam().energy == '\0') {
        EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral("This energy is out of range."));
        EXPECT_EQ(box(ValuesWindow::Box::energyAbsorption), QStringLiteral("kept"));
        return;
    }
    EXPECT_TRUE(m_prompts.messages.empty());
    EXPECT_EQ(box(ValuesWindow::Box::attenuation), QString::fromLatin1(GetParam().attenuation));
    EXPECT_EQ(m_viewer.graphWindow().readOut().text(), QStringLiteral("0.750"));
}

INSTANTIATE_TEST_SUITE_P(
    Energies, CoefficientEnergyEntry,
    ::testing::Values(EnergyCase{"0.001", "1.0000E-03", "8.000E+03"},
                      EnergyCase{"20", "2.0000E+01", "4.000E-02"},
                      EnergyCase{"0.01", "1.0000E-02", "4.000E+01"}, // at the edge: below it
                      EnergyCase{"0.0316228", "3.1623E-02", "2.683E+01"},
                      EnergyCase{"20.0001", "", ""}, EnergyCase{"0.0009", "", ""},
                      EnergyCase{"x", "", ""}, EnergyCase{"1,5", "", ""}));

TEST_F(CoefficientViewerTest, ACoefficientEqualToARowValueGivesThatRowsEnergy) {
    draw();
    m_viewer.valuesWindow().box(ValuesWindow::Box::attenuation).setText(QStringLiteral("4"));
    m_viewer.enterCoefficient(Coefficient::attenuation);
    EXPECT_EQ(box(ValuesWindow::Box::energy), QStringLiteral("1.0000E-01"));
    m_viewer.valuesWindow()
        .box(ValuesWindow::Box::energyAbsorption)
        .setText(QStringLiteral("4800"));
    m_viewer.enterCoefficient(Coefficient::energyAbsorption);
    EXPECT_EQ(box(ValuesWindow::Box::energy), QStringLiteral("1.00000E-03"));
    EXPECT_EQ(box(ValuesWindow::Box::energyTransfer), QStringLiteral("6.400E+03"));
    m_viewer.valuesWindow().box(ValuesWindow::Box::energyTransfer).setText(QStringLiteral("7000"));
    m_viewer.enterCoefficient(Coefficient::energyTransfer);
    EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral("This value is out of range."));
    EXPECT_TRUE(box(ValuesWindow::Box::energyTransfer).isEmpty());
    EXPECT_EQ(box(ValuesWindow::Box::energy), QStringLiteral("1.00000E-03")); // the others stay
}

TEST_F(CoefficientViewerTest, AListClickOnTheRowAboveAnEdgeShowsTheAboveEdgeValues) {
    draw();
    m_viewer.valuesWindow().rowList().setCurrentRow(3);
    EXPECT_EQ(box(ValuesWindow::Box::energy), QStringLiteral("1.0000E-02"));
    EXPECT_EQ(box(ValuesWindow::Box::attenuation), QStringLiteral("1.800E+02"));
    EXPECT_TRUE(m_viewer.graphWindow().cursorShown());
}

TEST_F(CoefficientViewerTest, CursorReadOutFollowsTheNearestRowWithinItsBounds) {
    draw();
    const double x1 = std::log(0.1f) + 6.909f;
    m_viewer.mouseMoveCoefficientPlot(x1, 5.0); // exactly at a row: the distances decide
    EXPECT_EQ(m_viewer.valuesWindow().rowList().currentRow(), 4);
    EXPECT_NEAR(m_viewer.graphWindow().cursorX(), std::log(0.1) + 6.909, 1e-6);
    EXPECT_EQ(m_viewer.graphWindow().readOut().text(), QStringLiteral("0.750"));
    for (const auto& [x, y] : {std::pair{0.0, 5.0}, {9.903, 5.0}, {5.0, 0.0}, {5.0, 16.1}}) {
        m_viewer.mouseMoveCoefficientPlot(x, y);
        EXPECT_FALSE(m_viewer.graphWindow().cursorShown()) << x << " " << y;
        EXPECT_TRUE(m_viewer.graphWindow().readOut().text().isEmpty());
    }
    m_viewer.mouseMoveRatioPlot(x1, 1.01); // above the ratio frame, still inside
    EXPECT_TRUE(m_viewer.graphWindow().cursorShown());
    m_viewer.mouseMoveRatioPlot(0.5, 0.5); // left of the second row's first neighbour
    EXPECT_TRUE(m_viewer.graphWindow().cursorShown());
}

TEST_F(CoefficientViewerTest, PlotsDrawTheCurvesAndLaterMaterialsGetNavyGaps) {
    draw();
    GraphSurface& plot = m_viewer.graphWindow().coefficientPlot();
    const QImage& image = plot.image();
    const auto at = [&](GraphSurface& surface, const QImage& picture, double x, double y) {
        const PixelPoint p = toPixel(surface.frame(), x, y);
        return QColor(picture.pixel(static_cast<int>(p.x), static_cast<int>(p.y)));
    };
    EXPECT_EQ(at(plot, image, energyX(1.0), coefficientY(0.14)), QColor(255, 255, 0));
    EXPECT_EQ(at(plot, image, energyX(1.0), coefficientY(0.14 * 0.6)), QColor(255, 0, 0));
    m_viewer.addToEnlargedView();
    GraphSurface& picture = m_viewer.enlargedView().picture();
    const QImage first = picture.image().copy();
    EXPECT_EQ(at(picture, first, energyX(1.0), coefficientY(0.14)), QColor(255, 255, 0));
    draw();
    m_viewer.addToEnlargedView();
    EXPECT_EQ(m_viewer.enlargedView().windowTitle(),
              QStringLiteral(" Water  Density = 1.000 [g/cm3]  &  Water  Density = 1.000 [g/cm3]"));
    const QImage second = picture.image();
    const PixelPoint centre = toPixel(picture.frame(), energyX(1.0), coefficientY(0.14));
    const double radius = 0.03 * pixelsPerUnitX(picture.frame());
    EXPECT_EQ(QColor(second.pixel(static_cast<int>(centre.x + radius), static_cast<int>(centre.y))),
              paletteColor(1));
    m_viewer.closeEnlargedView();
    EXPECT_FALSE(m_viewer.addedToEnlargedView());
    EXPECT_TRUE(m_viewer.graphWindow().enlargeButton().isEnabled());
}

// The legend's texts stay inside their box with a margin in both plots.
TEST_F(CoefficientViewerTest, TheLegendTextsFitTheirBox) {
    draw();
    for (GraphSurface* surface :
         {&m_viewer.graphWindow().coefficientPlot(), &m_viewer.enlargedView().picture()}) {
        const QImage& image = surface->image();
        const PixelPoint from = toPixel(surface->frame(), 10.85, 14.0);
        const PixelPoint to = toPixel(surface->frame(), 11.0, 11.2);
        int ink = 0;
        for (int y = static_cast<int>(from.y); y <= static_cast<int>(to.y); ++y) {
            for (int x = static_cast<int>(from.x); x < static_cast<int>(to.x) - 2; ++x) {
                ink += QColor(image.pixel(x, y)).lightness() > 128 ? 1 : 0;
            }
        }
        EXPECT_EQ(ink, 0) << "text near the legend's right border";
    }
}

TEST_F(CoefficientViewerTest, TheCompositionTableShowsFifteenElements) {
    std::string composition = "15\r\n";
    for (int z : {1, 6, 7, 8, 11, 12, 15, 16, 17, 19, 20, 26, 30, 53, 82}) {
        composition += formatNumber(z, "00") + " 0.066667\r\n";
    }
    writeBytes("mu_mix/Many.muc3", coefficientText("Many", 1.0, composition));
    m_viewer.selectMaterial(QStringLiteral("Many.muc3"));
    m_viewer.draw();
    m_viewer.indicateComposition();
    GraphSurface& table = m_viewer.compositionWindow().table();
    const QImage& image = table.image();
    // Black ink in the last body row's symbol column (Pb), none below the table.
    int ink = 0;
    for (double x = 2.2; x < 3.4; x += 0.02) {
        const PixelPoint p = toPixel(table.frame(), x, 15.5);
        ink += QColor(image.pixel(static_cast<int>(p.x), static_cast<int>(p.y))).lightness() < 128
                   ? 1
                   : 0;
    }
    EXPECT_GT(ink, 0);
    const PixelPoint below = toPixel(table.frame(), 5.0, 16.4);
    EXPECT_EQ(QColor(image.pixel(static_cast<int>(below.x), static_cast<int>(below.y))),
              QColor(Qt::white));
}

// A long name is cut to the table's width; the window stays as narrow as the table.
TEST_F(CoefficientViewerTest, ALongMaterialNameKeepsTheCompositionWindowNarrow) {
    const std::string longName = "Mixture " + std::string(313, 'x');
    writeBytes("mu_mix/Long.muc3", coefficientText(longName, 1.0, "01\r\n08 1.000000\r\n"));
    m_viewer.selectMaterial(QStringLiteral("Long.muc3"));
    m_viewer.draw();
    m_viewer.indicateComposition();
    coefview::CompositionWindow& window = m_viewer.compositionWindow();
    QApplication::processEvents();
    const QString full = QString::fromStdString(longName);
    ASSERT_TRUE(m_prompts.messages.empty()) << m_prompts.messages.back().text.toStdString();
    EXPECT_LE(window.width(), window.table().width() + 60);
    EXPECT_TRUE(window.nameLabel().text().endsWith(QChar(0x2026)));
    EXPECT_EQ(window.nameLabel().toolTip(), full);
    EXPECT_EQ(window.nameLabel().accessibleName(), full);
    m_viewer.selectMaterial(QStringLiteral("Water.muc3"));
    m_viewer.draw();
    m_viewer.indicateComposition();
    EXPECT_EQ(window.nameLabel().text(), QStringLiteral("Water"));
}

TEST_F(CoefficientViewerTest, DeleteRefusesElementsAndExitRemovesTheExchangeFiles) {
    m_viewer.selectElement(QStringLiteral("08_O.mut"));
    m_viewer.deleteSelected();
    EXPECT_EQ(m_prompts.messages.back().text, QStringLiteral(" This file cannot be deleted "));
    // The drawn table's windows go with it, its composition view too, and the button that
    // would open that view again is disabled.
    draw();
    m_viewer.indicateComposition();
    ASSERT_TRUE(m_viewer.compositionWindow().isVisible());
    m_prompts.okAnswers = {true};
    m_viewer.deleteSelected();
    EXPECT_FALSE(std::filesystem::exists("mu_mix/Water.muc3"));
    EXPECT_FALSE(m_viewer.valuesWindow().isVisible());
    EXPECT_FALSE(m_viewer.compositionWindow().isVisible());
    EXPECT_FALSE(m_viewer.mainWindow().compositionButton()->isEnabled());
}

// The close box of the new-material window acts as its Cancel: the main window comes
// back and the program goes on.
TEST_F(CoefficientViewerTest, TheCloseBoxOfTheCreatorMeansCancel) {
    m_viewer.openMaterialCreator();
    ASSERT_FALSE(m_viewer.mainWindow().isVisible());
    QSignalSpy lastClosed(qApp, &QApplication::lastWindowClosed);
    EXPECT_EQ(testing::runEventLoop([&] {
                  m_viewer.materialCreator().close();
                  QTimer::singleShot(50, [] { QCoreApplication::exit(7); });
              }),
              7);
    EXPECT_EQ(lastClosed.count(), 0);
    EXPECT_FALSE(m_viewer.materialCreator().isVisible());
    EXPECT_TRUE(m_viewer.mainWindow().isVisible());
    EXPECT_TRUE(m_started.isEmpty());
}

// Each way out removes the exchange files, starts exactly one launcher and ends the event
// loop, even though ending closes every window.
TEST_F(CoefficientViewerTest, EachWayOutRemovesTheExchangeFilesAndStartsOneLauncher) {
    const struct {
        std::function<void(CoefficientViewer&)> leave;
        const char* launcher;
    } ways[] = {{[](CoefficientViewer& v) { v.mainWindow().exitButton().click(); }, "Tarvo_V7S"},
                {[](CoefficientViewer& v) { v.mainWindow().close(); }, "Tarvo_V6"}};
    for (const auto& way : ways) {
        QStringList started;
        CoefficientViewer viewer(m_prompts, [&started](const QString& name) {
            started.append(name);
            return true;
        });
        ASSERT_TRUE(viewer.start());
        writeBytes("B2F.dat", "x");
        writeBytes("F2B.dat", "y");
        EXPECT_EQ(testing::runEventLoop([&] { way.leave(viewer); }), 0) << way.launcher;
        EXPECT_EQ(started, QStringList{QString::fromLatin1(way.launcher)});
        EXPECT_FALSE(std::filesystem::exists("B2F.dat"));
        EXPECT_FALSE(std::filesystem::exists("F2B.dat"));
    }
}

} // namespace
} // namespace tarvo
