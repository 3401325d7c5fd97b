#include "coefview/coefficient_viewer.h"

#include "coefview/equal_interval_dialog.h"
#include "coefview/spline_run.h"
#include "coefview/values_window.h"
#include "common/creator_window.h"
#include "common/main_window.h"
#include "common/number_format.h"
#include "common/save_dialog.h"
#include "tests/fake_prompts.h"
#include "tests/test_support.h"
#include "tests/window_support.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <utility>

namespace tarvo {
namespace {

using coefview::CoefficientViewer;

using coefview::EqualIntervalDialog;
using testing::FakePrompts;
using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

// A table on the hydrogen-like grid from 1 keV to 20 MeV: a power law mu = 1000 / E^2
// (E in keV) with a K edge at 10 keV for "53_I", the hydrogen grid alone for the others.
std::string elementText(double scale, bool edge) {
    std::vector<double> energies{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 20000};
    std::string rows;
    int count = 0;
    for (double kev : energies) {
        const auto add = [&](double factor) {
            const double mu = factor * scale * 1000.0 / (kev * kev);
            rows += formatCoefficientRow({kev / 1000, mu, mu * 0.8, mu * 0.7}) + "\r\n";
            ++count;
        };
        add(edge && kev > 10 ? 5 : 1);
        if (edge && kev == 10) {
            add(5);
        }
    }
    return "Element\r\n" + formatNumber(count, "000") + "\r\n1.0\r\n" + rows;
}

class CoefficientDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeBytes("Start.dat", "x\r\n");
        writeBytes("ele/user.txt", "Lab\r\n");
        writeBytes("mu_ele/01_H.mut", elementText(1.0, false));
        writeBytes("mu_ele/08_O.mut", elementText(2.0, false));
        writeBytes("mu_ele/53_I.mut", elementText(3.0, true));
        std::filesystem::create_directory("mu_mix");
        std::filesystem::copy_file(TARVO_SPLINE_TOOL, "Tarvo6_sub3");
        ASSERT_TRUE(m_viewer.start());
        m_viewer.selectElement(QStringLiteral("53_I.mut"));
        m_viewer.draw();
        m_viewer.openEqualIntervalDialog();
        m_dialog.splineRun().setTimeout(20000);
    }

    void run(const char* top, const char* step, bool spline) {
        m_dialog.topBox().setText(QString::fromLatin1(top));
        m_dialog.stepBox().setText(QString::fromLatin1(step));
        (spline ? m_dialog.splineOption() : m_dialog.linearOption()).setChecked(true);
        m_dialog.okPressed();
        m_dialog.interpolationPressed();
        waitForTheTool();
        m_dialog.checkPressed();
    }

    // The tool runs without blocking the dialog; the test waits for its end.
    void waitForTheTool() {
        if (m_dialog.splineRun().running()) {
            QSignalSpy ended(&m_dialog.splineRun(), &coefview::SplineRun::finished);
            ASSERT_TRUE(ended.wait(20000));
        }
    }

    QString lastMessage() const {
        return m_prompts.messages.empty() ? QString() : m_prompts.messages.back().text;
    }

    WorkingDirectory m_directory;
    FakePrompts m_prompts;
    CoefficientViewer m_viewer{m_prompts, [](const QString&) { return true; }};
    EqualIntervalDialog& m_dialog = m_viewer.equalIntervalDialog();
};

TEST_F(CoefficientDialogsTest, OpensWithDefaultsAndTheLaterStepsLocked) {
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral(" Element  Density = 1.000 [g/cm3]"));
    EXPECT_EQ(m_dialog.topBox().text(), QStringLiteral("500.0"));
    EXPECT_EQ(m_dialog.stepBox().text(), QStringLiteral("0.5"));
    EXPECT_TRUE(m_dialog.linearOption().isChecked());
    EXPECT_FALSE(m_dialog.interpolationButton().isEnabled());
    EXPECT_FALSE(m_dialog.checkButton().isEnabled());
    EXPECT_FALSE(m_dialog.saveButton().isEnabled());
}

TEST_F(CoefficientDialogsTest, TheDefaultsListAndSave999PointsByTheLinearMethod) {
    run("500.0", "0.5", false);
    QListWidget& list = m_dialog.resultList();
    ASSERT_EQ(list.count(), 999);
    EXPECT_EQ(list.item(0)->text(),
              QStringLiteral("1.000E+00   3.000E+03   2.400E+03   2.100E+03"));
    EXPECT_TRUE(list.item(998)->text().startsWith(QStringLiteral("5.000E+02   6.000E-02")));
    // 10 keV is the edge: the value below it; 10.5 keV lies above it.
    EXPECT_TRUE(list.item(18)->text().startsWith(QStringLiteral("1.000E+01   3.000E+01")));
    EXPECT_TRUE(list.item(19)->text().startsWith(QStringLiteral("1.050E+01   1.361E+02")));
    m_dialog.fileNameBox().setText(QStringLiteral("linear"));
    m_dialog.savePressed();
    EXPECT_EQ(lastMessage(), QStringLiteral(" Data saved in the file "));
    EXPECT_FALSE(m_dialog.isVisible());
    const std::string csv = readBytes("linear.csv");
    EXPECT_NE(csv.find("\r\n 1.000E+00, 3.0000E+03, 2.4000E+03, 2.1000E+03\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1000);
}

TEST_F(CoefficientDialogsTest, RefusesBadRangesAndTooManyPoints) {
    run("500.0", "0.4", false);
    ASSERT_FALSE(m_prompts.messages.empty());
    EXPECT_EQ(m_prompts.messages.front().text,
              QStringLiteral(" The number of points exceeds 1000 "));
    EXPECT_EQ(m_dialog.pointCount(), 1248.5);
    EXPECT_EQ(m_dialog.resultList().count(), 0);
    for (const auto& [top, step] : {std::pair{"500.0", "0.09"}, {"500.1", "0.5"}, {"1.0", "0.5"}}) {
        m_dialog.topBox().setText(QString::fromLatin1(top));
        m_dialog.stepBox().setText(QString::fromLatin1(step));
        m_dialog.okPressed();
        EXPECT_EQ(lastMessage(),
                  QStringLiteral(" Enter the energy range or energy interval correctly "));
    }
    run("10", "0.4", false);
    EXPECT_EQ(m_dialog.resultList().count(), 23);
    run("1.7", "0.1", false);
    EXPECT_EQ(m_dialog.resultList().count(), 7);
}

TEST_F(CoefficientDialogsTest, TheSplineRoundTripRunsTheRealTool) {
    run("500.0", "0.5", true);
    EXPECT_EQ(readBytes("B2F.dat"), "mu_ele\\53_I.mut\r\n500.0\r\n000.5\r\n");
    ASSERT_EQ(m_dialog.resultList().count(), 999) << lastMessage().toStdString();
    // "Check" again on the same grid shows the same results.
    m_prompts.messages.clear();
    m_dialog.checkPressed();
    EXPECT_EQ(lastMessage(), QString());
    ASSERT_EQ(m_dialog.resultList().count(), 999);
    EXPECT_TRUE(m_dialog.saveButton().isEnabled());
    // A power law is a straight line in log-log terms: the spline reproduces it.
    EXPECT_TRUE(
        m_dialog.resultList().item(4)->text().startsWith(QStringLiteral("3.000E+00   3.333E+02")));
    EXPECT_TRUE(
        m_dialog.resultList().item(18)->text().startsWith(QStringLiteral("1.000E+01   3.000E+01")));
    m_dialog.fileNameBox().setText(QStringLiteral("spline"));
    m_dialog.savePressed();
    const std::string output = readBytes("F2B.dat");
    const std::string csv = readBytes("spline.csv");
    // The CSV holds the tool's values, with four decimals as the tool wrote them.
    EXPECT_EQ(output.substr(11, 11), "  .3000E+04");
    EXPECT_NE(csv.find("\r\n 1.000E+00, 3.0000E+03,"), std::string::npos);
    // A second run with another grid shows the new values.
    m_viewer.openEqualIntervalDialog();
    run("10.0", "1.0", true);
    EXPECT_EQ(m_dialog.resultList().count(), 10);
}

// The tool runs while the dialog goes on: "Check" waits with the busy pointer, and a run
// that does not end in time is stopped and reported at "Check".
TEST_F(CoefficientDialogsTest, ARunningToolKeepsCheckWaitingAndAHangingOneIsStopped) {
    std::filesystem::remove("Tarvo6_sub3");
    writeBytes("Tarvo6_sub3", "#!/bin/sh\nexec sleep 30\n");
    std::filesystem::permissions("Tarvo6_sub3", std::filesystem::perms::owner_all);
    m_dialog.splineRun().setTimeout(300);
    m_dialog.splineOption().setChecked(true);
    m_dialog.okPressed();
    QElapsedTimer clock;
    clock.start();
    m_dialog.interpolationPressed();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(m_dialog.splineRun().running());
    EXPECT_FALSE(m_dialog.checkButton().isEnabled());
    EXPECT_EQ(m_dialog.cursor().shape(), Qt::BusyCursor);
    m_dialog.checkPressed();
    EXPECT_EQ(lastMessage(), QStringLiteral(" The spline calculation is still running "));
    waitForTheTool();
    EXPECT_FALSE(m_dialog.splineRun().running());
    EXPECT_TRUE(m_dialog.checkButton().isEnabled());
    EXPECT_NE(m_dialog.cursor().shape(), Qt::BusyCursor);
    m_dialog.checkPressed();
    EXPECT_EQ(lastMessage(), QStringLiteral(" The spline calculation did not finish "));
    EXPECT_EQ(m_dialog.resultList().count(), 0);
}

TEST_F(CoefficientDialogsTest, ASplineStepThatIsNotATenthIsRefused) {
    m_dialog.topBox().setText(QStringLiteral("100.0"));
    m_dialog.stepBox().setText(QStringLiteral("0.26"));
    m_dialog.splineOption().setChecked(true);
    m_dialog.okPressed();
    EXPECT_TRUE(lastMessage().contains(QStringLiteral("multiple of 0.1 keV")));
    EXPECT_FALSE(std::filesystem::exists("B2F.dat"));
}

TEST_F(CoefficientDialogsTest, AFailedToolRunShowsAMessageAndNoStaleValues) {
    run("20.0", "1.0", true);
    ASSERT_EQ(m_dialog.resultList().count(), 20);
    // A table of one row is refused by the tool.
    writeBytes("mu_ele/53_I.mut",
               "Short\r\n001\r\n1.0\r\n1.00000E-03 1.000E+03 8.000E+02 7.000E+02\r\n");
    run("20.0", "1.0", true);
    EXPECT_TRUE(lastMessage().startsWith(QStringLiteral(" The spline calculation failed")))
        << lastMessage().toStdString();
    EXPECT_EQ(m_dialog.resultList().count(), 0);
    EXPECT_FALSE(std::filesystem::exists("F2B.dat"));
}

// Results belong to the grid they were computed for: a sequence that leaves them out of
// step with the boxes is told what to do and saves nothing.
TEST_F(CoefficientDialogsTest, StaleResultsAreNeverShownOrSaved) {
    using Step = std::function<void(EqualIntervalDialog&)>;
    const Step ok = [](EqualIntervalDialog& d) { d.okPressed(); };
    const Step calculate = [](EqualIntervalDialog& d) { d.interpolationPressed(); };
    const Step check = [](EqualIntervalDialog& d) { d.checkPressed(); };
    const Step save = [](EqualIntervalDialog& d) { d.savePressed(); };
    const Step stepOne = [](EqualIntervalDialog& d) { d.stepBox().setText(QStringLiteral("1.0")); };
    const Step top100 = [](EqualIntervalDialog& d) { d.topBox().setText(QStringLiteral("100.0")); };
    const Step spline = [](EqualIntervalDialog& d) { d.splineOption().setChecked(true); };
    const struct {
        const char* label;
        std::vector<Step> steps;
        const char* message;
        int rowsLeft = 0; // rows of an earlier check still listed
    } sequences[] = {
        {"spline calculated again after check",
         {spline, ok, calculate, check, calculate, save},
         " Show the table with \"Check\" before saving "},
        {"linear step changed and accepted after check",
         {ok, calculate, check, stepOne, ok, save},
         " Show the table with \"Check\" before saving "},
        {"check after a new top was accepted",
         {ok, calculate, check, top100, ok, check},
         " Press \"Interpolation calculation\" first "},
        {"step changed after check",
         {ok, calculate, check, stepOne, save},
         " The energy range, the interval, the method or the table has changed since \"Check\": "
         "press \"OK\" and calculate again ",
         999},
        {"method changed after ok",
         {ok, spline, calculate},
         " The energy range, the interval, the method or the table has changed: press \"OK\" "
         "first "}};
    for (const auto& sequence : sequences) {
        m_viewer.openEqualIntervalDialog();
        m_dialog.fileNameBox().setText(QStringLiteral("stale"));
        m_prompts.messages.clear();
        for (const Step& step : sequence.steps) {
            step(m_dialog);
        }
        EXPECT_EQ(lastMessage(), QString::fromLatin1(sequence.message)) << sequence.label;
        EXPECT_EQ(m_dialog.resultList().count(), sequence.rowsLeft) << sequence.label;
        EXPECT_EQ(m_dialog.saveButton().isEnabled(), sequence.rowsLeft > 0) << sequence.label;
        EXPECT_FALSE(std::filesystem::exists("stale.csv")) << sequence.label;
    }
}

// After a new step is accepted and calculated, the rows carry the energies of that step.
TEST_F(CoefficientDialogsTest, ANewStepIsListedAndSavedWithItsOwnEnergies) {
    run("500.0", "0.5", false);
    ASSERT_EQ(m_dialog.resultList().count(), 999);
    run("500.0", "1.0", false);
    ASSERT_EQ(m_dialog.resultList().count(), 500);
    // mu = 3000 / E^2 below the edge at 10 keV.
    EXPECT_TRUE(
        m_dialog.resultList().item(1)->text().startsWith(QStringLiteral("2.000E+00   7.500E+02")));
    m_dialog.fileNameBox().setText(QStringLiteral("step1"));
    m_dialog.savePressed();
    EXPECT_EQ(lastMessage(), QStringLiteral(" Data saved in the file "));
    const std::string csv = readBytes("step1.csv");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 501);
    EXPECT_NE(csv.find("\r\n 2.000E+00, 7.5000E+02,"), std::string::npos);
    EXPECT_NE(csv.find("\r\n 5.000E+02,"), std::string::npos);
    EXPECT_EQ(csv.find("\r\n 5.010E+02,"), std::string::npos);
}

// Where the spline tool interpolates a segment by the monotone cubic, the dialog says so
// beside the results; a table path the tool cannot read whole is refused for the spline.
TEST_F(CoefficientDialogsTest, TheSplineToolsRepairsAreShownAndLongPathsRefused) {
    // Rows 0.5 eV apart above an edge, the coefficients rising between them.
    const double rows[][4] = {{1.0, 4000, 3900, 3800},  {5.0, 60, 58, 57},
                              {19.9995, 12, 11, 10.5},  {19.9995, 80, 40, 38},
                              {20.0, 80.5, 40.3, 38.5}, {30.0, 28, 14, 13.5},
                              {100.0, 1.2, 0.7, 0.69},  {1000.0, 0.07, 0.03, 0.03}};
    std::string table = "Molybdenum-like\r\n008\r\n10.2\r\n";
    for (const auto& r : rows) {
        table += formatCoefficientRow({r[0] / 1000, r[1], r[2], r[3]}) + "\r\n";
    }
    writeBytes("mu_ele/42_Mo.mut", table);
    m_viewer.selectElement(QStringLiteral("42_Mo.mut"));
    m_viewer.draw();
    m_viewer.openEqualIntervalDialog();
    run("500.0", "0.5", true);
    ASSERT_EQ(m_dialog.resultList().count(), 999) << lastMessage().toStdString();
    EXPECT_TRUE(m_dialog.notes().text().contains(
        QStringLiteral("20.0 to 500.0 keV interpolated by a monotone cubic")))
        << m_dialog.notes().text().toStdString();
    run("500.0", "0.5", false);
    EXPECT_TRUE(m_dialog.notes().text().isEmpty());

    writeBytes("mu_mix/A_material_name_too_long.muc3",
               "Long\r\n002\r\n1.0\r\n" + formatCoefficientRow({0.001, 10, 9, 8}) + "\r\n" +
                   formatCoefficientRow({1.0, 1, 0.9, 0.8}) + "\r\n01\r\n01 1.000000\r\n");
    m_viewer.selectMaterial(QStringLiteral("A_material_name_too_long.muc3"));
    m_viewer.draw();
    m_viewer.openEqualIntervalDialog();
    std::filesystem::remove("B2F.dat");
    run("500.0", "0.5", true);
    EXPECT_TRUE(m_prompts.messages.front().text.contains(QStringLiteral("up to 30 characters")))
        << m_prompts.messages.front().text.toStdString();
    EXPECT_FALSE(std::filesystem::exists("B2F.dat"));
    m_prompts.messages.clear();
    run("500.0", "0.5", false);
    EXPECT_EQ(m_dialog.resultList().count(), 999);
}

TEST_F(CoefficientDialogsTest, CsvExportAndBitmapOfTheCoefficientViewer) {
    m_viewer.openCsvExport();
    m_viewer.csvSaveDialog().okPressed(); // an empty name is accepted: ".csv"
    EXPECT_EQ(lastMessage(), QStringLiteral(" Data saved in Excel csv format "));
    const std::string csv = readBytes(".csv");
    EXPECT_EQ(csv.substr(0, 17), "Element\r\n1.\r\n12\r\n");
    EXPECT_NE(csv.find("\r\n1.000E-03, 3.000E+03, 2.400E+03, 2.100E+03\r\n"), std::string::npos);
    m_viewer.saveEnlargedViewRequested();
    EXPECT_EQ(lastMessage(), QStringLiteral(" The graph is not drawn "));
}

TEST_F(CoefficientDialogsTest, TheMaterialCreatorWritesTheCompositionBlock) {
    CreatorWindow& creator = m_viewer.materialCreator();
    m_viewer.openMaterialCreator();
    EXPECT_EQ(creator.windowTitle(), QStringLiteral("New Compound or New Mixture"));
    creator.countField().setText(QStringLiteral("3"));
    creator.confirmElementCount();
    for (const auto& [row, file, share] :
         {std::tuple{1, "01_H.mut", "11.19"}, {2, "08_O.mut", "88.81"}, {3, "53_I.mut", "5"}}) {
        creator.elementList().setCurrentItem(
            creator.elementList().findItems(QString::fromLatin1(file), Qt::MatchExactly).front());
        m_prompts.textAnswers.push_back(QString::fromLatin1(share));
        creator.pickElement(row);
    }
    EXPECT_EQ(m_prompts.questions.back(), QStringLiteral(" Input Weirht(%) "));
    creator.countField().setText(QStringLiteral("2")); // changed after confirming
    creator.fileNameField().setText(QStringLiteral("Water"));
    creator.saveNewMaterial();
    EXPECT_EQ(m_prompts.messages.back().title, QStringLiteral("New Data : mu_mix\\Water.muc3"));
    const std::string table = readBytes("mu_mix/Water.muc3");
    EXPECT_NE(table.find("\r\n02\r\n01 0.111900\r\n08 0.888100\r\n"), std::string::npos) << table;
    EXPECT_TRUE(m_viewer.mainWindow().isVisible());
}

TEST_F(CoefficientDialogsTest, TheMaterialCreatorRefusesZeroOrNegativeSharesAndCounts) {
    CreatorWindow& creator = m_viewer.materialCreator();
    m_viewer.openMaterialCreator();
    creator.countField().setText(QStringLiteral("1"));
    creator.confirmElementCount();
    creator.elementList().setCurrentRow(0);
    creator.pickElement(1); // the prompt is cancelled: share 0
    creator.fileNameField().setText(QStringLiteral("Zero"));
    creator.saveNewMaterial();
    EXPECT_EQ(lastMessage().section('\n', 0, 0),
              QStringLiteral(" There is an error in the input data ! "));
    EXPECT_EQ(m_prompts.messages.back().title, QStringLiteral("Input Error"));
    const std::pair<const char*, const char*> refusals[] = {
        {"-50", "the amount must be a number of at least 0"},
        {"1e999", "the amount is not finite"},
        {"1e308", "the amount 1.000E+308 is too large (at most 1E+100)"},
        {"two", "\"two\" is not a number"},
        {"1,5", "\"1,5\" holds a comma; the decimal point is \".\""},
    };
    for (const auto& [share, reason] : refusals) {
        m_prompts.textAnswers = {QString::fromLatin1(share)};
        creator.editAmount(1);
        creator.saveNewMaterial();
        EXPECT_EQ(lastMessage(),
                  QStringLiteral(" There is an error in the input data ! \nrow 1: ") +
                      QString::fromLatin1(reason))
            << share;
    }
    creator.countField().setText(QStringLiteral("0"));
    creator.saveNewMaterial();
    EXPECT_EQ(lastMessage(), QStringLiteral(" Input number of elements "));
    EXPECT_TRUE(std::filesystem::is_empty("mu_mix"));
    creator.fileNameField().clear();
    emit creator.fileNameField().returnPressed();
    EXPECT_EQ(lastMessage(), QStringLiteral("Input File name "));
}

} // namespace
} // namespace tarvo

namespace tarvo {
namespace {

// Two coefficient viewers at once in one run directory: the first's request holds the
// exchange files until its "Check" has read the answer; the second is told so at once and
// touches nothing, its exit leaves the files in place, and it has its turn afterwards.
TEST_F(CoefficientDialogsTest, TwoViewersNeverReadEachOthersSplineTables) {
    FakePrompts otherPrompts;
    CoefficientViewer other{otherPrompts, [](const QString&) { return true; }};
    ASSERT_TRUE(other.start());
    other.selectElement(QStringLiteral("01_H.mut"));
    other.draw();
    other.openEqualIntervalDialog();
    EqualIntervalDialog& otherDialog = other.equalIntervalDialog();
    otherDialog.splineRun().setTimeout(20000);
    for (EqualIntervalDialog* dialog : {&m_dialog, &otherDialog}) {
        dialog->topBox().setText(QStringLiteral("100.0"));
        dialog->stepBox().setText(QStringLiteral("1.0"));
        dialog->splineOption().setChecked(true);
    }
    m_dialog.okPressed();
    const std::string request = readBytes("B2F.dat");
    EXPECT_EQ(request.substr(0, 15), "mu_ele\\53_I.mut");
    otherDialog.okPressed();
    EXPECT_EQ(otherPrompts.messages.back().text,
              QStringLiteral(" The spline tool is in use by another window: press \"OK\" again "
                             "when that window has checked its table "));
    EXPECT_FALSE(otherDialog.interpolationButton().isEnabled());
    EXPECT_EQ(readBytes("B2F.dat"), request);
    // The other viewer leaves meanwhile: the files it would clean up are in use.
    FakePrompts leavingPrompts;
    {
        CoefficientViewer leaving{leavingPrompts, [](const QString&) { return true; }};
        ASSERT_TRUE(leaving.start());
        EXPECT_EQ(testing::runEventLoop([&] { leaving.mainWindow().exitButton().click(); }), 0);
    }
    EXPECT_EQ(readBytes("B2F.dat"), request);
    m_dialog.interpolationPressed();
    waitForTheTool();
    m_dialog.checkPressed();
    ASSERT_EQ(m_dialog.resultList().count(), 100);
    EXPECT_EQ(m_dialog.resultList().item(0)->text().left(21),
              QStringLiteral("1.000E+00   3.000E+03"));
    // Now the other's turn: its own table, hydrogen's.
    otherDialog.okPressed();
    otherDialog.interpolationPressed();
    if (otherDialog.splineRun().running()) {
        QSignalSpy ended(&otherDialog.splineRun(), &coefview::SplineRun::finished);
        ASSERT_TRUE(ended.wait(20000));
    }
    otherDialog.checkPressed();
    ASSERT_EQ(otherDialog.resultList().count(), 100);
    EXPECT_EQ(otherDialog.resultList().item(0)->text().left(21),
              QStringLiteral("1.000E+00   1.000E+03"));
    EXPECT_EQ(m_dialog.resultList().item(0)->text().left(21),
              QStringLiteral("1.000E+00   3.000E+03"));
}

} // namespace
} // namespace tarvo
