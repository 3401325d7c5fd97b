#include "coefview/coefficient_values.h"
#include "coefview/coefficient_viewer.h"
#include "coefview/values_window.h"
#include "common/crossing_list.h"
#include "common/numeric_text.h"
#include "common/other_side_fields.h"
#include "common/table_reading.h"
#include "tests/fake_prompts.h"
#include "tests/test_support.h"
#include "tests/window_support.h"
#include "xsview/cross_section_viewer.h"
#include "xsview/values_at_energy.h"
#include "xsview/values_window.h"

#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>

namespace tarvo {
namespace {

using namespace xsview; // the cross-section viewer's windows
using coefview::CoefficientViewer;

using testing::FakePrompts;
using testing::WorkingDirectory;

double valueOf(const QString& text) {
    return numericValue(text.toStdString());
}

// One viewer with the shipped lead tables, seen through what both values windows share:
// the energy box, the value boxes, the values across an edge and the crossing list.
struct LeadViewer {
    virtual ~LeadViewer() = default;
    virtual void typeEnergy(const QString& energy) = 0;
    virtual void typeValue(const QString& value) = 0; // the total, or mu/rho
    virtual void chooseRow(int row) = 0;              // a table row, from 1
    virtual QString energy() = 0;
    virtual QString value(int column) = 0; // in the order of the reading table
    virtual OtherSideFields& otherSide() = 0;
    virtual CrossingList& crossings() = 0;
    virtual int valueColumn() = 0; // the column of typeValue
    ReadingTable table;
    int columns = 0;
    QString kEdge; // the K edge energy of the table (MeV): XCOM's and NIST's differ
    FakePrompts prompts;
};

struct CrossSectionLead : LeadViewer {
    explicit CrossSectionLead(const std::string& stem = "82_Pb") {
        const std::string file = stem + ".ele";
        testing::prepareRunDirectory({"ele/" + file});
        EXPECT_TRUE(viewer.start());
        viewer.selectElement(QString::fromStdString(file));
        viewer.calculateAndPlot();
        std::string error;
        table = readingTableOf(*loadCrossSectionTable("ele/" + file, error));
        columns = 6;
        kEdge = QStringLiteral("0.088");
    }
    QLineEdit& field(ValuesWindow::Field f) { return viewer.valuesWindow().field(f); }
    void typeEnergy(const QString& energy) override {
        field(ValuesWindow::Field::energy).setText(energy);
        viewer.enterEnergy();
    }
    void typeValue(const QString& value) override {
        field(ValuesWindow::Field::total).setText(value);
        viewer.enterTotal();
    }
    void chooseRow(int row) override { viewer.valuesWindow().rowList().setCurrentRow(row - 1); }
    QString energy() override { return field(ValuesWindow::Field::energy).text(); }
    QString value(int column) override {
        return field(static_cast<ValuesWindow::Field>(column + 1)).text();
    }
    OtherSideFields& otherSide() override { return viewer.valuesWindow().otherSide(); }
    CrossingList& crossings() override { return viewer.valuesWindow().crossingList(); }
    int valueColumn() override { return static_cast<int>(CrossSectionColumn::total); }

    CrossSectionViewer viewer{prompts, [](const QString&) { return true; }};
};

struct CoefficientLead : LeadViewer {
    using Box = coefview::ValuesWindow::Box;
    explicit CoefficientLead(const std::string& stem = "82_Pb") {
        const std::string file = stem + ".mut";
        testing::prepareRunDirectory({"mu_ele/" + file});
        EXPECT_TRUE(viewer.start());
        viewer.selectElement(QString::fromStdString(file));
        viewer.draw();
        std::string error;
        table = readingTableOf(*loadCoefficientTable("mu_ele/" + file, false, error));
        columns = 3;
        kEdge = QStringLiteral("0.0880045");
    }
    QLineEdit& box(Box b) { return viewer.valuesWindow().box(b); }
    void typeEnergy(const QString& energy) override {
        box(Box::energy).setText(energy);
        viewer.enterEnergy();
    }
    void typeValue(const QString& value) override {
        box(Box::attenuation).setText(value);
        viewer.enterCoefficient(Coefficient::attenuation);
    }
    void chooseRow(int row) override { viewer.valuesWindow().rowList().setCurrentRow(row - 1); }
    QString energy() override { return box(Box::energy).text(); }
    QString value(int column) override { return box(static_cast<Box>(column + 1)).text(); }
    OtherSideFields& otherSide() override { return viewer.valuesWindow().otherSide(); }
    CrossingList& crossings() override { return viewer.valuesWindow().crossingList(); }
    int valueColumn() override { return 0; }

    CoefficientViewer viewer{prompts, [](const QString&) { return true; }};
};

// Makes a viewer of one shipped element table (file stem such as "82_Pb").
using MakeViewer = std::function<std::unique_ptr<LeadViewer>(const std::string& stem)>;

class LeadEdges : public ::testing::TestWithParam<MakeViewer> {
  protected:
    WorkingDirectory m_directory;
};

// The fields show `row`'s values to their printed digits.
void expectRow(LeadViewer& lead, const std::function<QString(int)>& shown, int row) {
    for (int c = 0; c < lead.columns; ++c) {
        const double expected = lead.table.values[static_cast<size_t>(row)][size_t(c)];
        EXPECT_NEAR(valueOf(shown(c)), expected, 1e-3 * expected + 1e-12) << "column " << c;
    }
}

// At the K edge energy the boxes hold the row below the edge and, beside them, the row above;
// a row chosen at the edge has the other of the pair beside it; away from the edge nothing.
TEST_P(LeadEdges, BothSidesOfTheKEdgeAreShown) {
    const std::unique_ptr<LeadViewer> lead = GetParam()("82_Pb");
    const int upper = upperEdgeRow(lead->table, valueOf(lead->kEdge));
    ASSERT_GT(upper, 1);
    lead->typeEnergy(lead->kEdge);
    expectRow(
        *lead, [&](int c) { return lead->value(c); }, upper - 1);
    ASSERT_TRUE(lead->otherSide().isShown());
    EXPECT_EQ(lead->otherSide().caption(), QStringLiteral("above edge"));
    EXPECT_EQ(lead->otherSide().ownCaption(), QStringLiteral("below edge"));
    expectRow(
        *lead, [&](int c) { return lead->otherSide().field(c).text(); }, upper);
    // The photo-electric jump of lead's K shell: the value above is over four times below.
    const int rising = lead->columns == 6 ? 2 : 0;
    EXPECT_GT(valueOf(lead->otherSide().field(rising).text()), 4 * valueOf(lead->value(rising)));

    lead->chooseRow(upper);
    expectRow(
        *lead, [&](int c) { return lead->value(c); }, upper);
    EXPECT_EQ(lead->otherSide().caption(), QStringLiteral("below edge"));
    EXPECT_EQ(lead->otherSide().ownCaption(), QStringLiteral("above edge"));
    expectRow(
        *lead, [&](int c) { return lead->otherSide().field(c).text(); }, upper - 1);

    lead->typeEnergy(QStringLiteral("0.1"));
    EXPECT_FALSE(lead->otherSide().isShown());
}

// 100 cm2/g is met at about 11 keV, across the L3 edge at 13.04 keV and at about 19 keV:
// every one is listed, the curve takes the value at each (or jumps across it at the edge),
// and choosing one moves the read-out there.
TEST_P(LeadEdges, EveryEnergyOfAValueIsListedAndCanBeChosen) {
    const std::unique_ptr<LeadViewer> lead = GetParam()("82_Pb");
    lead->typeValue(QStringLiteral("100"));
    CrossingList& list = lead->crossings();
    ASSERT_FALSE(list.isHidden());
    ASSERT_EQ(list.list().count(), 3);
    EXPECT_NEAR(list.energyAt(list.list().currentRow()), valueOf(lead->energy()),
                1e-4 * valueOf(lead->energy()));
    const auto column = static_cast<size_t>(lead->valueColumn());
    for (int k = 0; k < 3; ++k) {
        const double energy = list.energyAt(k);
        EXPECT_GT(energy, 0.010);
        EXPECT_LT(energy, 0.020);
        const Reading at = readAtEnergy(lead->table, energy, 0.001, 100.0);
        const int upper = upperEdgeRow(lead->table, energy);
        if (upper != 0) {
            EXPECT_TRUE(list.list().item(k)->text().contains(QStringLiteral("at an edge")));
            EXPECT_LT(at.values[column], 100.0);
            EXPECT_GT(lead->table.values[static_cast<size_t>(upper)][column], 100.0);
        } else {
            EXPECT_NEAR(at.values[column], 100.0, 1e-6);
        }
    }
    list.list().setCurrentRow(2);
    EXPECT_NEAR(valueOf(lead->energy()), list.energyAt(2), 1e-4 * list.energyAt(2));
    EXPECT_NEAR(valueOf(lead->value(lead->valueColumn())), 100.0, 0.1);
    EXPECT_FALSE(list.isHidden());
    lead->typeEnergy(QStringLiteral("0.5"));
    EXPECT_TRUE(list.isHidden());
}

// Sodium rises from 654 cm2/g at 1 keV to about 6400 above its K edge at 1.072 keV. A value
// between them has no energy by the specified lookup ("Calculation error") yet the curve
// takes it twice: both are offered under the message, none chosen, and each can be picked.
// Every failed reading empties the list.
TEST_P(LeadEdges, AReadingWithoutAnEnergyOffersEveryEnergyOrEmptiesTheList) {
    const std::unique_ptr<LeadViewer> sodium = GetParam()("11_Na");
    CrossingList& list = sodium->crossings();
    FakePrompts* prompts = &sodium->prompts;
    const struct {
        const char* typed;
        const char* message; // empty: found
        int listed;
    } steps[] = {{"653", "", 3}, {"2000", "Calculation error", 2},
                 {"653", "", 3}, {"1e9", "This value is out of range.", 0},
                 {"653", "", 3}, {"x", "This value is out of range.", 0}};
    for (const auto& step : steps) {
        sodium->typeValue(QString::fromLatin1(step.typed));
        const QString message =
            prompts->messages.empty() ? QString() : prompts->messages.back().text;
        EXPECT_EQ(message, QString::fromLatin1(step.message)) << step.typed;
        EXPECT_EQ(list.list().count(), step.listed) << step.typed;
        EXPECT_EQ(list.isHidden(), step.listed == 0) << step.typed;
        if (*step.message != '\0') {
            EXPECT_EQ(sodium->value(sodium->valueColumn()), QString()) << step.typed;
        }
        prompts->messages.clear();
        if (std::string_view(step.typed) == "2000") {
            EXPECT_EQ(list.list().currentRow(), -1);
            EXPECT_NEAR(list.energyAt(0), 0.0010721, 1e-6);
            list.list().setCurrentRow(1);
            EXPECT_NEAR(valueOf(sodium->energy()), list.energyAt(1), 5e-4 * list.energyAt(1));
            EXPECT_NEAR(valueOf(sodium->value(sodium->valueColumn())), 2000.0, 1.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothViewers, LeadEdges,
                         ::testing::Values(MakeViewer([](const std::string& stem) {
                                               return std::make_unique<CrossSectionLead>(stem);
                                           }),
                                           MakeViewer([](const std::string& stem) {
                                               return std::make_unique<CoefficientLead>(stem);
                                           })),
                         [](const ::testing::TestParamInfo<MakeViewer>& info) {
                             return info.index == 0 ? std::string("crossSections")
                                                    : std::string("coefficients");
                         });

} // namespace
} // namespace tarvo
