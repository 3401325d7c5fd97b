#include "coefview/material_creator.h"
#include "common/creator_window.h"
#include "common/numeric_text.h"
#include "tests/fake_prompts.h"
#include "tests/test_support.h"
#include "tests/window_support.h"
#include "xsview/creators.h"

#include <QButtonGroup>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace tarvo {
namespace {

using namespace xsview; // the cross-section viewer's windows
using coefview::makeMaterialCreator;

using testing::readBytes;

// The creators with the shipped tables of H, O, Na, P, Cl and Ca in both element folders.
class FormulaEntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::vector<std::string> tables;
        for (const char* stem : {"01_H", "08_O", "11_Na", "15_P", "17_Cl", "20_Ca"}) {
            tables.push_back(std::string("ele/") + stem + ".ele");
            tables.push_back(std::string("mu_ele/") + stem + ".mut");
        }
        for (const std::string& table : tables) {
            testing::prepareRunDirectory({table});
        }
        std::filesystem::create_directories("mix");
        std::filesystem::create_directories("mu_mix");
        for (CreatorWindow* creator : {m_compound.get(), m_mixture.get(), m_material.get()}) {
            creator->refreshElementList();
            creator->open();
        }
    }

    void enterFormula(CreatorWindow& creator, const QString& formula) {
        creator.formulaField()->setText(formula);
        creator.fillFromFormula();
    }

    // Picks each row by hand, typing its amount.
    void fillByHand(CreatorWindow& creator, const std::vector<std::pair<QString, QString>>& rows) {
        creator.countField().setText(QString::number(rows.size()));
        creator.confirmElementCount();
        int j = 1;
        for (const auto& [file, amount] : rows) {
            creator.elementList().setCurrentItem(
                creator.elementList().findItems(file, Qt::MatchExactly).front());
            m_prompts.textAnswers.push_back(amount);
            creator.pickElement(j++);
        }
    }

    void save(CreatorWindow& creator, const char* fileName) {
        creator.fileNameField().setText(QString::fromLatin1(fileName));
        creator.saveNewMaterial();
        ASSERT_EQ(m_prompts.messages.back().text, QStringLiteral(" Data saved "));
        creator.open();
    }

    testing::WorkingDirectory m_directory;
    testing::FakePrompts m_prompts;
    std::unique_ptr<CreatorWindow> m_compound = makeCompoundCreator(m_prompts);
    std::unique_ptr<CreatorWindow> m_mixture = makeMixtureCreator(m_prompts);
    std::unique_ptr<CreatorWindow> m_material = makeMaterialCreator(m_prompts);
};

// A formula fills the rows exactly as picking and typing does: the same cells, the same
// file.
TEST_F(FormulaEntryTest, WaterFromItsFormulaIsWaterByHand) {
    enterFormula(*m_compound, QStringLiteral("H2O"));
    EXPECT_EQ(m_compound->countField().text(), QStringLiteral("2"));
    EXPECT_EQ(m_compound->elementCell(1).text(), QStringLiteral("01_H.ele"));
    EXPECT_EQ(m_compound->amountCell(1).text(), QStringLiteral("2"));
    EXPECT_EQ(m_compound->elementCell(2).text(), QStringLiteral("08_O.ele"));
    EXPECT_EQ(m_compound->amountCell(2).text(), QStringLiteral("1"));
    save(*m_compound, "ByFormula");
    fillByHand(*m_compound, {{QStringLiteral("01_H.ele"), QStringLiteral("2")},
                             {QStringLiteral("08_O.ele"), QStringLiteral("1")}});
    save(*m_compound, "ByHand");
    EXPECT_FALSE(readBytes("mix/ByHand.mix3").empty());
    EXPECT_EQ(readBytes("mix/ByFormula.mix3"), readBytes("mix/ByHand.mix3"));
}

TEST_F(FormulaEntryTest, HydroxyapatiteFillsFourRows) {
    enterFormula(*m_compound, QStringLiteral("Ca5(PO4)3OH"));
    const std::pair<const char*, const char*> expected[] = {
        {"20_Ca.ele", "5"}, {"15_P.ele", "3"}, {"08_O.ele", "13"}, {"01_H.ele", "1"}};
    ASSERT_EQ(m_compound->countField().text(), QStringLiteral("4"));
    for (int j = 1; j <= 4; ++j) {
        EXPECT_TRUE(m_compound->row(j).visible) << j;
        EXPECT_EQ(m_compound->elementCell(j).text(), QString::fromLatin1(expected[j - 1].first));
        EXPECT_EQ(m_compound->amountCell(j).text(), QString::fromLatin1(expected[j - 1].second));
    }
    EXPECT_FALSE(m_compound->row(5).visible);
    EXPECT_TRUE(m_compound->saveButton().isEnabled());
    // What is left to give is the file name; a new opening starts at the name again.
    EXPECT_EQ(m_compound->focusWidget(), &m_compound->fileNameField());
    m_compound->open();
    EXPECT_EQ(m_compound->focusWidget(), &m_compound->nameField());
}

// A formula gives the same table in a creator and through tarvo: the same recipe goes to
// the same combination, byte for byte.
TEST_F(FormulaEntryTest, TheCreatorsAndTarvoWriteTheSameTableForAFormula) {
    const struct {
        CreatorWindow* creator;
        const char* formula; // by atoms, or with its share by weight
        const char* file;    // as the creator writes it
    } creators[] = {{m_compound.get(), "Ca5(PO4)3OH", "mix/Apatite.mix3"},
                    {m_material.get(), "Ca5(PO4)3OH 100", "mu_mix/Apatite.muc3"}};
    for (const auto& [creator, formula, file] : creators) {
        creator->nameField().setText(QStringLiteral("Apatite"));
        creator->densityField().setText(QStringLiteral("3.16"));
        enterFormula(*creator, QString::fromLatin1(formula));
        save(*creator, "Apatite");
        const std::string out = std::filesystem::path(file).filename().string();
        const std::string command = std::string(TARVO_CLI) + " combine --data . --formula " +
                                    "'Ca5(PO4)3OH' --name Apatite --density 3.16 --out ./" + out;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_FALSE(readBytes(file).empty());
        EXPECT_EQ(readBytes(out), readBytes(file)) << file;
    }
}

// 90 parts water and 10 parts salt by weight, worked by hand from the atomic weights of the
// shipped tables (H 1.0079, O 15.9994, Na 22.98977, Cl 35.453): in both creators by weight.
// A hydrate typed with an ASCII dot fills the rows of the hydrate, and the window says
// that it took that reading and how to write the decimal one; by weight as well.
TEST_F(FormulaEntryTest, AnAsciiHydrateDotIsReadAsAHydrateAndSaidSo) {
    enterFormula(*m_compound, QStringLiteral("CaCl2.2H2O"));
    const std::pair<const char*, const char*> expected[] = {
        {"20_Ca.ele", "1"}, {"17_Cl.ele", "2"}, {"01_H.ele", "4"}, {"08_O.ele", "2"}};
    ASSERT_EQ(m_compound->countField().text(), QStringLiteral("4"));
    for (int j = 1; j <= 4; ++j) {
        EXPECT_EQ(m_compound->elementCell(j).text(), QString::fromLatin1(expected[j - 1].first));
        EXPECT_EQ(m_compound->amountCell(j).text(), QString::fromLatin1(expected[j - 1].second));
    }
    ASSERT_FALSE(m_prompts.messages.empty());
    EXPECT_TRUE(m_prompts.messages.back().text.contains(QStringLiteral("Ca(Cl2.2)H2O")))
        << m_prompts.messages.back().text.toStdString();
    const size_t shown = m_prompts.messages.size();
    enterFormula(*m_mixture, QStringLiteral("CaCl2.2H2O 90; NaCl 10"));
    ASSERT_EQ(m_prompts.messages.size(), shown + 1);
    EXPECT_TRUE(m_prompts.messages.back().text.contains(QStringLiteral("Ca(Cl2.2)H2O")));
    enterFormula(*m_mixture, QStringLiteral("Ca0.5Na1 90; NaCl 10"));
    EXPECT_EQ(m_prompts.messages.size(), shown + 1);
}

TEST_F(FormulaEntryTest, FormulasByWeightFillWeightPercent) {
    const double water = 2 * 1.0079 + 15.9994;
    const double salt = 22.98977 + 35.453;
    const std::pair<const char*, double> expected[] = {{"01_H", 90 * 2 * 1.0079 / water},
                                                       {"08_O", 90 * 15.9994 / water},
                                                       {"11_Na", 10 * 22.98977 / salt},
                                                       {"17_Cl", 10 * 35.453 / salt}};
    for (CreatorWindow* creator : {m_mixture.get(), m_material.get()}) {
        enterFormula(*creator, QStringLiteral("H2O 90; NaCl 10"));
        ASSERT_EQ(creator->countField().text(), QStringLiteral("4"));
        for (int j = 1; j <= 4; ++j) {
            EXPECT_TRUE(creator->elementCell(j).text().startsWith(
                QString::fromLatin1(expected[j - 1].first)));
            EXPECT_NEAR(numericValue(creator->amountCell(j).text().toStdString()),
                        expected[j - 1].second, 1e-5)
                << j;
        }
    }
    save(*m_material, "Brine");
    EXPECT_FALSE(readBytes("mu_mix/Brine.muc3").empty());
}

struct RefusedCase {
    QString formula;
    QString message; // a part of it
};

// What cannot be read is shown with its place, and the rows stay as they were.
TEST_F(FormulaEntryTest, AFormulaThatCannotBeUsedChangesNothing) {
    const RefusedCase cases[] = {
        {QStringLiteral("Ca5(PO4"), QStringLiteral("\"(\" is not closed at character 4")},
        {QStringLiteral("Xx2"), QStringLiteral("unknown element symbol \"Xx\" at character 1")},
        {QStringLiteral("(C2H4)n"), QStringLiteral("at character 7")},
        {QStringLiteral("CaNaHPO4Cl"), QStringLiteral("up to 5")},
        {QStringLiteral("KCl"), QStringLiteral("No table of K")},
        {QStringLiteral(""), QStringLiteral("empty")}};
    for (const RefusedCase& c : cases) {
        enterFormula(*m_compound, c.formula);
        ASSERT_FALSE(m_prompts.messages.empty());
        EXPECT_TRUE(m_prompts.messages.back().text.contains(c.message))
            << c.formula.toStdString() << ": " << m_prompts.messages.back().text.toStdString();
        EXPECT_TRUE(m_compound->countField().text().isEmpty()) << c.formula.toStdString();
        EXPECT_FALSE(m_compound->row(1).visible) << c.formula.toStdString();
    }
    enterFormula(*m_mixture, QStringLiteral("H2O 90; NaCl"));
    EXPECT_TRUE(m_prompts.messages.back().text.contains(QStringLiteral("at character 9")));
}

} // namespace
} // namespace tarvo
