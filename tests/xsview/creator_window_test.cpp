#include "common/creator_window.h"
#include "xsview/creators.h"

#include "common/number_format.h"
#include "tests/fake_prompts.h"
#include "tests/test_support.h"
#include "xsview/cross_section_table.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using namespace xsview; // the cross-section viewer's windows

using testing::FakePrompts;
using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

// An element table whose five partial values are all `value` at four energies.
std::string elementTable(double value, double atomicWeight) {
    std::string text = "Element\r\n1.\r\n4\r\n";
    for (double energy : {0.001, 0.01, 0.1, 1.0}) {
        text += formatCrossSectionRow({energy, value, value, value, value, value}) + "\r\n";
    }
    return text + formatNumber(atomicWeight, "##.######") + "\r\n";
}

class CreatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeBytes("ele/01_H.ele", elementTable(10.0, 1.008));
        writeBytes("ele/08_O.ele", elementTable(1.0, 15.999));
        writeBytes("ele/empty.ele", "");
        std::filesystem::create_directory("mix");
        for (CreatorWindow* creator : {&m_compound, &m_mixture}) {
            creator->open();
        }
    }

    // Fills a creator: name, count, then each row picked with its amount.
    void fill(CreatorWindow& creator, const QString& count,
              const std::vector<std::pair<const char*, const char*>>& rows) {
        creator.countField().setText(count);
        creator.confirmElementCount();
        int j = 1;
        for (const auto& [file, amount] : rows) {
            creator.elementList().setCurrentItem(
                creator.elementList()
                    .findItems(QString::fromLatin1(file), Qt::MatchExactly)
                    .front());
            m_prompts.textAnswers.push_back(QString::fromLatin1(amount));
            creator.pickElement(j++);
        }
    }

    void save(CreatorWindow& creator, const char* fileName, int category = 2) {
        creator.fileNameField().setText(QString::fromLatin1(fileName));
        creator.categories().button(category)->setChecked(true);
        creator.saveNewMaterial();
    }

    // The first line of the last message; a failed save adds its reason below.
    QString lastMessage() const {
        return m_prompts.messages.empty() ? QString()
                                          : m_prompts.messages.back().text.section('\n', 0, 0);
    }
    QString lastReason() const {
        return m_prompts.messages.empty() ? QString()
                                          : m_prompts.messages.back().text.section('\n', 1);
    }

    WorkingDirectory m_directory;
    FakePrompts m_prompts;
    std::unique_ptr<CreatorWindow> m_compoundWindow = makeCompoundCreator(m_prompts);
    std::unique_ptr<CreatorWindow> m_mixtureWindow = makeMixtureCreator(m_prompts);
    CreatorWindow& m_compound = *m_compoundWindow;
    CreatorWindow& m_mixture = *m_mixtureWindow;
};

TEST_F(CreatorTest, OpensWithDefaultsAndHiddenRows) {
    EXPECT_EQ(m_compound.windowTitle(), QStringLiteral("New chemical compound"));
    EXPECT_EQ(m_compound.nameField().text(), QStringLiteral("Chemical compound"));
    EXPECT_EQ(m_mixture.windowTitle(), QStringLiteral("New mixture medium"));
    EXPECT_EQ(m_mixture.nameField().text(), QStringLiteral("Mixture"));
    EXPECT_EQ(m_mixture.densityField().text(), QStringLiteral("9.999"));
    EXPECT_EQ(m_mixture.rowCount(), 15);
    EXPECT_FALSE(m_compound.row(1).visible);
    EXPECT_FALSE(m_compound.saveButton().isEnabled());
    EXPECT_EQ(m_compound.categories().checkedId(), 2);
}

// The element tables are read each time a creator opens: one added meanwhile is listed.
TEST_F(CreatorTest, AnElementTableAddedMeanwhileIsListedAtTheNextOpening) {
    writeBytes("ele/02_He.ele", elementTable(2.0, 4.0026));
    for (CreatorWindow* creator : {&m_compound, &m_mixture}) {
        creator->open();
        EXPECT_EQ(
            creator->elementList().findItems(QStringLiteral("02_He.ele"), Qt::MatchExactly).size(),
            1);
    }
}

TEST_F(CreatorTest, WaterByAtomsIsTheBraggSumOfTheElementTables) {
    fill(m_compound, QStringLiteral("2"), {{"01_H.ele", "2"}, {"08_O.ele", "1"}});
    save(m_compound, "H2O", 1);
    EXPECT_EQ(lastMessage(), QStringLiteral(" Data saved "));
    EXPECT_EQ(m_prompts.messages.back().title, QStringLiteral("New Data : mix\\H2O.mix2"));
    std::string error;
    const auto table = loadCrossSectionTable("mix\\H2O.mix2", error);
    ASSERT_TRUE(table) << error;
    const double hydrogen = 2 * 1.008 / (2 * 1.008 + 15.999);
    EXPECT_NEAR(hydrogen, 0.1119, 1e-4);
    EXPECT_NEAR(table->rows[2].coherent, 10 * hydrogen + (1 - hydrogen), 5e-3);
    EXPECT_NEAR(table->rows[2].total, 5 * (10 * hydrogen + (1 - hydrogen)), 2e-2);
    EXPECT_EQ(table->name, "Chemical compound");
    EXPECT_EQ(table->density, 9.999);
    EXPECT_FALSE(m_compound.isVisible());
    EXPECT_FALSE(m_compound.row(1).visible);
}

TEST_F(CreatorTest, SharesOfAnyScaleWriteTheSameFile) {
    fill(m_mixture, QStringLiteral("2"), {{"01_H.ele", "20"}, {"08_O.ele", "80"}});
    save(m_mixture, "Percent");
    m_mixture.open();
    fill(m_mixture, QStringLiteral("2"), {{"01_H.ele", "0.2"}, {"08_O.ele", "0.8"}});
    save(m_mixture, "Fraction");
    EXPECT_FALSE(readBytes("mix/Percent.mix3").empty());
    EXPECT_EQ(readBytes("mix/Percent.mix3"), readBytes("mix/Fraction.mix3"));
}

TEST_F(CreatorTest, SavingAgainReplacesTheFile) {
    fill(m_compound, QStringLiteral("1"), {{"01_H.ele", "1"}});
    save(m_compound, "Bone", 1);
    const std::string first = readBytes("mix/Bone.mix2");
    m_compound.open();
    m_compound.nameField().setText(QStringLiteral("Bone again"));
    fill(m_compound, QStringLiteral("1"), {{"08_O.ele", "1"}});
    save(m_compound, "Bone", 1);
    EXPECT_NE(readBytes("mix/Bone.mix2"), first);
    EXPECT_EQ(readBytes("mix/Bone.mix2").substr(0, 12), "Bone again\r\n");
}

enum class CreatorKind { compound, mixture };

struct CountCase {
    CreatorKind kind;
    const char* count;
    int shownRows; // -1: refused
};

class CreatorCount : public CreatorTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(CreatorCount, ShowsRowsUpToTheCountOrRefuses) {
    CreatorWindow& creator = GetParam().kind == CreatorKind::compound ? m_compound : m_mixture;
    creator.countField().setText(QString::fromLatin1(GetParam().count));
    creator.confirmElementCount();
    if (GetParam().shownRows < 0) {
        EXPECT_EQ(lastMessage(), QStringLiteral(" Input the number of element "));
        EXPECT_FALSE(creator.saveButton().isEnabled());
        return;
    }
    int shown = 0;
    for (int j = 1; j <= creator.rowCount(); ++j) {
        shown += creator.row(j).visible ? 1 : 0;
    }
    EXPECT_EQ(shown, GetParam().shownRows);
    EXPECT_TRUE(creator.saveButton().isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Counts, CreatorCount,
                         ::testing::Values(CountCase{CreatorKind::compound, "2.5", 2},
                                           CountCase{CreatorKind::compound, "5", 5},
                                           CountCase{CreatorKind::compound, "6", -1},
                                           CountCase{CreatorKind::compound, "0", -1},
                                           CountCase{CreatorKind::mixture, "15", 15},
                                           CountCase{CreatorKind::mixture, "16", -1},
                                           CountCase{CreatorKind::mixture, "abc", -1}));

TEST_F(CreatorTest, ACountOf2Point5CombinesRowsOneAndTwo) {
    fill(m_compound, QStringLiteral("2.5"), {{"01_H.ele", "1"}, {"08_O.ele", "1"}});
    save(m_compound, "Two");
    EXPECT_EQ(lastMessage(), QStringLiteral(" Data saved "));
}

TEST_F(CreatorTest, ConfirmResetsAnEmptyNameOrABadDensity) {
    m_compound.nameField().clear();
    m_compound.confirmElementCount();
    EXPECT_EQ(lastMessage(), QStringLiteral(" Input the Name "));
    EXPECT_EQ(m_compound.nameField().text(), QStringLiteral("Chemical compound"));
    m_mixture.densityField().setText(QStringLiteral("-1"));
    m_mixture.confirmElementCount();
    EXPECT_EQ(lastMessage(), QStringLiteral(" Inappropriate density input "));
    EXPECT_EQ(m_mixture.densityField().text(), QStringLiteral("9.999"));
    m_mixture.nameField().clear();
    m_mixture.confirmElementCount();
    EXPECT_EQ(m_mixture.nameField().text(), QStringLiteral("Mixture"));
}

// A density is refused where the table would store another number: cut at a comma or
// rounded to zero by its six-decimal field.
TEST_F(CreatorTest, ConfirmRefusesADensityTheTableWouldNotHold) {
    const std::pair<const char*, const char*> refusals[] = {
        {"1,5", ""},
        {"0.0000001", "the density 1.000E-07 g/cm3 is below the smallest a table holds, "
                      "0.000001 g/cm3"},
        {"4e-7", "the density 4.000E-07 g/cm3 is below the smallest a table holds, "
                 "0.000001 g/cm3"},
    };
    for (const auto& [density, reason] : refusals) {
        m_mixture.densityField().setText(QString::fromLatin1(density));
        m_mixture.confirmElementCount();
        EXPECT_EQ(lastMessage(), QStringLiteral(" Inappropriate density input ")) << density;
        EXPECT_EQ(lastReason(), QString::fromLatin1(reason));
        EXPECT_EQ(m_mixture.densityField().text(), QStringLiteral("9.999"));
    }
    m_mixture.densityField().setText(QStringLiteral("0.000001"));
    m_mixture.countField().setText(QStringLiteral("1"));
    m_prompts.messages.clear();
    m_mixture.confirmElementCount();
    EXPECT_TRUE(m_prompts.messages.empty());
}

TEST_F(CreatorTest, PickingNeedsASelectedElementAndCompoundAmountsMustBePositive) {
    m_compound.countField().setText(QStringLiteral("1"));
    m_compound.confirmElementCount();
    m_compound.pickElement(1);
    EXPECT_EQ(lastMessage(), QStringLiteral(" Select a element "));
    EXPECT_TRUE(m_compound.row(1).elementFile.empty());
    fill(m_compound, QStringLiteral("1"), {{"01_H.ele", "3"}});
    EXPECT_EQ(m_compound.row(1).amount, 3.0);
    EXPECT_EQ(m_prompts.questions.back(), QStringLiteral(" Input the number of element "));
    for (const char* answer : {"0", "-2", "abc", "", "1,5", "1e308"}) {
        m_prompts.textAnswers.push_back(QString::fromLatin1(answer));
        m_compound.editAmount(1);
        EXPECT_EQ(lastMessage(), QStringLiteral(" Incorrect input value "));
        EXPECT_EQ(m_compound.amountCell(1).text(), QString::fromLatin1(answer));
        EXPECT_EQ(m_compound.row(1).amount, 3.0);
    }
}

TEST_F(CreatorTest, ACancelledWeightStoresZeroSilentlyAndTheSaveThenFails) {
    fill(m_mixture, QStringLiteral("1"), {{"01_H.ele", ""}});
    EXPECT_TRUE(m_prompts.messages.empty());
    EXPECT_EQ(m_mixture.row(1).amount, 0.0);
    EXPECT_EQ(m_prompts.questions.back(), QStringLiteral(" Enter the weight "));
    save(m_mixture, "Nothing");
    ASSERT_EQ(m_prompts.messages.size(), 1U);
    EXPECT_EQ(lastMessage(), QStringLiteral(" There is an error in the entered data "));
    EXPECT_EQ(m_prompts.messages.back().title, QStringLiteral("Input Error"));
    EXPECT_EQ(m_prompts.messages.back().icon, MessageIcon::None);
    EXPECT_FALSE(std::filesystem::exists("mix/Nothing.mix3"));
    EXPECT_TRUE(m_mixture.isVisible());
}

struct SaveFailure {
    CreatorKind kind;
    std::vector<std::pair<const char*, const char*>> rows;
    const char* count;
    const char* fileName;
    const char* message;
};

class CreatorSaveFailure : public CreatorTest, public ::testing::WithParamInterface<SaveFailure> {};

TEST_P(CreatorSaveFailure, KeepsTheInputsAndWritesNothing) {
    CreatorWindow& creator = GetParam().kind == CreatorKind::compound ? m_compound : m_mixture;
    fill(creator, QString::fromLatin1(GetParam().count), GetParam().rows);
    save(creator, GetParam().fileName);
    EXPECT_EQ(lastMessage(), QString::fromUtf8(GetParam().message));
    if (lastMessage() == QStringLiteral(" There is an error in the entered data ")) {
        EXPECT_FALSE(lastReason().isEmpty());
    }
    EXPECT_TRUE(std::filesystem::is_empty("mix"));
    EXPECT_TRUE(creator.isVisible());
    EXPECT_EQ(creator.fileNameField().text(), QString::fromLatin1(GetParam().fileName));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, CreatorSaveFailure,
    ::testing::Values(
        SaveFailure{CreatorKind::compound, {{"01_H.ele", "1"}}, "1", "", " Input File name "},
        SaveFailure{
            CreatorKind::mixture, {{"01_H.ele", "1"}}, "1", "", "ファイル名を入力してください"},
        SaveFailure{CreatorKind::compound,
                    {{"01_H.ele", "1"}},
                    "2",
                    "Unpicked",
                    " There is an error in the entered data "},
        SaveFailure{CreatorKind::compound,
                    {{"empty.ele", "1"}},
                    "1",
                    "Empty",
                    " There is an error in the entered data "},
        SaveFailure{CreatorKind::mixture,
                    {{"01_H.ele", "1"}, {"08_O.ele", "-1"}},
                    "2",
                    "Negative",
                    " There is an error in the entered data "},
        SaveFailure{CreatorKind::compound, {{"01_H.ele", "1"}}, "1", "   ", " Input File name "},
        SaveFailure{
            CreatorKind::mixture, {{"01_H.ele", "1"}}, "1", "  ", "ファイル名を入力してください"},
        SaveFailure{CreatorKind::mixture,
                    {{"01_H.ele", "1"}, {"08_O.ele", "1,5"}},
                    "2",
                    "Comma",
                    " There is an error in the entered data "},
        SaveFailure{CreatorKind::compound,
                    {{"01_H.ele", "1"}},
                    "1",
                    "../Escape",
                    "\"../Escape\" must not contain a path separator"},
        // A table the suite ships is never replaced (the user's own are).
        SaveFailure{CreatorKind::mixture,
                    {{"01_H.ele", "1"}},
                    "1",
                    "Air",
                    "\"mix\\Air.mix3\" is a table the suite ships and is never replaced: choose "
                    "another file name"},
        SaveFailure{CreatorKind::compound,
                    {{"01_H.ele", "1"}},
                    "1",
                    "Alanine",
                    "\"mix\\Alanine.mix3\" is a table the suite ships and is never replaced: "
                    "choose another file name"}));

// A negative, infinite or unreadable amount never reaches a table file: the compound
// creator refuses it at entry, the mixture creator at saving with its reason.
TEST_F(CreatorTest, NegativeAndInfiniteAmountsWriteNothing) {
    for (const char* amount : {"-50", "1e999", "-1e999"}) {
        m_prompts.messages.clear();
        fill(m_compound, QStringLiteral("2"), {{"01_H.ele", "2"}, {"08_O.ele", amount}});
        EXPECT_EQ(lastMessage(), QStringLiteral(" Incorrect input value ")) << amount;
        m_prompts.textAnswers.clear();
        fill(m_mixture, QStringLiteral("2"), {{"01_H.ele", "100"}, {"08_O.ele", amount}});
        save(m_mixture, "negmix");
        EXPECT_EQ(lastMessage(), QStringLiteral(" There is an error in the entered data "));
        EXPECT_NE(lastReason().indexOf(QStringLiteral("row 2")), -1) << lastReason().toStdString();
        EXPECT_TRUE(m_mixture.isVisible());
    }
    EXPECT_TRUE(std::filesystem::is_empty("mix"));
}

// A save that fails although the input is fine says why on a second line.
TEST_F(CreatorTest, AFailedWriteGivesItsReason) {
    std::filesystem::remove("mix");
    writeBytes("mix", "a file where the directory should be");
    fill(m_mixture, QStringLiteral("1"), {{"01_H.ele", "100"}});
    save(m_mixture, "Hydrogen");
    EXPECT_EQ(lastMessage(), QStringLiteral(" There is an error in the entered data "));
    EXPECT_NE(lastReason().indexOf(QStringLiteral("Hydrogen.mix3")), -1)
        << lastReason().toStdString();
}

TEST_F(CreatorTest, CancelHidesRowsAndWindow) {
    bool closedWithoutSave = false;
    QObject::connect(&m_compound, &CreatorWindow::closed,
                     [&](bool saved) { closedWithoutSave = !saved; });
    fill(m_compound, QStringLiteral("2"), {});
    m_compound.cancelCreator();
    EXPECT_TRUE(closedWithoutSave);
    EXPECT_FALSE(m_compound.isVisible());
    EXPECT_FALSE(m_compound.row(1).visible);
}

} // namespace
} // namespace tarvo
