#include "xsview/combine_element_tables.h"

#include "tests/combination_cases.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvo {
namespace {

using testing::recipeOfFiles;
using testing::WorkingDirectory;
using testing::writeBytes;

struct Row {
    double energy;
    double value;      // coherent, incoherent and photo-electric
    double pair = 0.0; // both pair columns
};

// Writes an element table "ele/<file>" with the atomic weight after the rows.
void writeElement(const std::string& file, const std::vector<Row>& rows, double atomicWeight) {
    std::string text = "Element " + file + "\r\n1.\r\n" + std::to_string(rows.size()) + "\r\n";
    for (const Row& row : rows) {
        text += formatCrossSectionRow(
                    {row.energy, row.value, row.value, row.value, row.pair, row.pair}) +
                "\r\n";
    }
    writeBytes("ele/" + file, text + std::to_string(atomicWeight) + "\r\n");
}

std::vector<double> energiesOf(const std::vector<CrossSectionRow>& rows) {
    std::vector<double> energies;
    for (const CrossSectionRow& row : rows) {
        energies.push_back(row.energy);
    }
    return energies;
}

const std::vector<Row> kGrid{{0.001, 10}, {0.01, 10}, {0.1, 10}, {1.0, 10}};

TEST(CombineElementTables, WaterByAtomsWeighsByAtomicWeight) {
    WorkingDirectory directory;
    writeElement("01_H.ele", kGrid, 1.008);
    writeElement("08_O.ele", {{0.001, 1}, {0.01, 1}, {0.1, 1}, {1.0, 1}}, 15.999);
    std::string error;
    const auto rows =
        combineElementTables(DataDirectory::working(),
                             recipeOfFiles(Weighting::byAtoms, {{"01_H.ele", 2}, {"08_O.ele", 1}}),
                             kCompoundEdgeFactor, error);
    ASSERT_TRUE(rows) << error;
    const double hydrogenWeight = 2 * 1.008 / (2 * 1.008 + 15.999);
    EXPECT_NEAR(hydrogenWeight, 0.1119, 1e-4);
    ASSERT_EQ(rows->size(), 4U);
    EXPECT_EQ(energiesOf(*rows), (std::vector<double>{0.001, 0.01, 0.1, 1.0}));
    for (const CrossSectionRow& row : *rows) {
        EXPECT_NEAR(row.coherent, 10 * hydrogenWeight + (1 - hydrogenWeight), 1e-12);
        EXPECT_EQ(row.pairNuclear, 0.0);
    }
}

TEST(CombineElementTables, SharesOfAnyScaleGiveTheSameTable) {
    WorkingDirectory directory;
    writeElement("01_H.ele", kGrid, 1.008);
    writeElement("08_O.ele", {{0.001, 1}, {0.01, 1}, {0.1, 1}, {1.0, 1}}, 15.999);
    std::string error;
    const auto percent = combineElementTables(
        DataDirectory::working(),
        recipeOfFiles(Weighting::byWeight, {{"01_H.ele", 20}, {"08_O.ele", 80}}),
        kMixtureEdgeFactor, error);
    const auto fraction = combineElementTables(
        DataDirectory::working(),
        recipeOfFiles(Weighting::byWeight, {{"01_H.ele", 0.2}, {"08_O.ele", 0.8}}),
        kMixtureEdgeFactor, error);
    ASSERT_TRUE(percent && fraction) << error;
    for (size_t m = 0; m < percent->size(); ++m) {
        EXPECT_NEAR((*percent)[m].coherent, (*fraction)[m].coherent, 1e-14);
        EXPECT_NEAR((*percent)[m].coherent, 0.2 * 10 + 0.8 * 1, 1e-12);
    }
}

TEST(CombineElementTables, EdgeRowsBecomeTwoGridEnergiesBelowAndAbove) {
    for (const double factor : {kCompoundEdgeFactor, kMixtureEdgeFactor}) {
        WorkingDirectory directory;
        writeElement("53_I.ele", {{0.001, 100}, {0.03317, 5}, {0.03317, 30}, {1.0, 0.1}}, 126.9);
        writeElement("01_H.ele", kGrid, 1.008);
        std::string error;
        const auto rows = combineElementTables(
            DataDirectory::working(),
            recipeOfFiles(Weighting::byWeight, {{"53_I.ele", 1}, {"01_H.ele", 0}}), factor, error);
        ASSERT_TRUE(rows) << error;
        EXPECT_EQ(energiesOf(*rows), (std::vector<double>{0.001, 0.01, 0.03317,
                                                          0.03317 + factor * 0.03317, 0.1, 1.0}));
        EXPECT_NEAR((*rows)[2].photoelectric, 5.0, 1e-12);
        EXPECT_NEAR((*rows)[3].photoelectric, 30.0, 1e-12);
    }
}

TEST(CombineElementTables, AnEnergyOfLaterElementsIsAddedOnce) {
    WorkingDirectory directory;
    writeElement("01_H.ele", kGrid, 1.008);
    writeElement("06_C.ele", {{0.001, 10}, {0.002, 10}, {1.0, 10}}, 12.011);
    writeElement("07_N.ele", {{0.001, 10}, {0.002, 10}, {0.5, 10}, {1.0, 10}}, 14.007);
    std::string error;
    const auto rows = combineElementTables(
        DataDirectory::working(),
        recipeOfFiles(Weighting::byAtoms, {{"01_H.ele", 1}, {"06_C.ele", 1}, {"07_N.ele", 1}}),
        kCompoundEdgeFactor, error);
    ASSERT_TRUE(rows) << error;
    EXPECT_EQ(energiesOf(*rows), (std::vector<double>{0.001, 0.002, 0.01, 0.1, 0.5, 1.0}));
}

TEST(CombineElementTables, InterpolatesLogLogAndKeepsZeroPairValuesZero) {
    WorkingDirectory directory;
    writeElement("01_H.ele",
                 {{0.001, 20, 0}, {0.01, 10, 0}, {0.1, 1, 0}, {5, 0.2, 1}, {10, 0.1, 2}}, 1.008);
    writeElement("02_He.ele", {{0.001, 1}, {0.03162, 1}, {10, 1}}, 4.0026);
    std::string error;
    const auto rows = combineElementTables(
        DataDirectory::working(),
        recipeOfFiles(Weighting::byWeight, {{"01_H.ele", 1}, {"02_He.ele", 0}}), kMixtureEdgeFactor,
        error);
    ASSERT_TRUE(rows) << error;
    ASSERT_EQ((*rows)[2].energy, 0.03162);                  // as the table writes 0.031623
    EXPECT_NEAR((*rows)[2].coherent, 0.1 / 0.03162, 1e-12); // 10 at 0.01, 1 at 0.1: 3.1626
    EXPECT_EQ((*rows)[2].pairNuclear, 0.0);
    EXPECT_EQ((*rows)[4].pairElectron, 0.0); // 5 MeV: the zero row at 0.1 MeV brackets it
    EXPECT_NEAR((*rows).back().pairNuclear, 2.0, 1e-12);
}

// The formatted rows of a combination, compared as the table file would hold them.
std::vector<std::string> formattedRows(const std::vector<CrossSectionRow>& rows) {
    std::vector<std::string> lines;
    for (const CrossSectionRow& row : rows) {
        lines.push_back(formatCrossSectionRow(row));
    }
    return lines;
}

TEST(CombineElementTables, AnElementInTwoRowsCountsOnceWithItsAmountsAdded) {
    WorkingDirectory directory;
    writeElement("01_H.ele", kGrid, 1.008);
    writeElement("82_Pb.ele", {{0.001, 5}, {0.01, 2}, {0.088, 1}, {0.088, 4}, {1.0, 0.5}}, 207.2);
    for (const Weighting weighting : {Weighting::byAtoms, Weighting::byWeight}) {
        std::string error;
        const auto repeated = combineElementTables(
            DataDirectory::working(),
            recipeOfFiles(weighting, {{"82_Pb.ele", 1}, {"01_H.ele", 2}, {"82_Pb.ele", 1}}),
            kCompoundEdgeFactor, error);
        const auto merged = combineElementTables(
            DataDirectory::working(), recipeOfFiles(weighting, {{"82_Pb.ele", 2}, {"01_H.ele", 2}}),
            kCompoundEdgeFactor, error);
        ASSERT_TRUE(repeated && merged) << error;
        EXPECT_EQ(formattedRows(*repeated), formattedRows(*merged));
        EXPECT_EQ(std::count_if(repeated->begin(), repeated->end(),
                                [](const CrossSectionRow& row) { return row.energy == 0.088; }),
                  1); // the edge's second row moves up by the edge factor
    }
}

using FailureCase = testing::CombinationFailure;

class CombineElementTablesFailure : public ::testing::TestWithParam<FailureCase> {};

// Prepares element tables with every kind of fault.
void writeFaultyElements() {
    writeElement("01_H.ele", kGrid, 1.008);
    writeBytes("ele/02_He.ele", "");
    std::vector<Row> many;
    for (int i = 0; i < 121; ++i) {
        many.push_back({0.001 * (1 + i), 1});
    }
    writeElement("03_Li.ele", many, 1.0);
    std::vector<Row> spread;
    for (int i = 0; i < 80; ++i) {
        spread.push_back({0.0015 + 0.01 * i, 1});
    }
    writeElement("04_Be.ele", spread, 1.0);
    for (Row& row : spread) {
        row.energy += 0.0001;
    }
    writeElement("05_B.ele", spread, 1.0);
    writeElement("06_C.ele", {{0.001, 1}, {0.1, 1}}, 1.0);
    writeElement("07_N.ele", {{0.001, 1}, {0.01, -1}, {1.0, 1}}, 1.0);
    writeBytes("ele/09_F.ele", "T\r\n1.\r\n3\r\n1.000E-03 1 1 1 0 0\r\n");
}

TEST_P(CombineElementTablesFailure, IsAnErrorNotACrash) {
    WorkingDirectory directory;
    writeFaultyElements();
    std::string error;
    EXPECT_EQ(combineElementTables(DataDirectory::working(),
                                   recipeOfFiles(Weighting::byAtoms, GetParam().rows),
                                   kCompoundEdgeFactor, error),
              std::nullopt);
    EXPECT_NE(error.find(GetParam().expected), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CombineElementTablesFailure,
    ::testing::Values(
        FailureCase{"missing_table", {{"01_H.ele", 1}, {"10_Ne.ele", 1}}, "10_Ne.ele"},
        FailureCase{"no_element", {{"01_H.ele", 1}, {"99_X.ele", 1}}, "atomic number 99"},
        FailureCase{"empty_file", {{"02_He.ele", 1}}, "empty"},
        FailureCase{"truncated_file", {{"09_F.ele", 1}}, "ends in row 2"},
        FailureCase{"more_than_120_rows", {{"03_Li.ele", 1}}, "120"},
        FailureCase{
            "more_than_150_energies", {{"01_H.ele", 1}, {"04_Be.ele", 1}, {"05_B.ele", 1}}, "150"},
        FailureCase{
            "energy_above_last_row", {{"01_H.ele", 1}, {"06_C.ele", 1}}, "above its last row"},
        FailureCase{"negative_value", {{"07_N.ele", 1}, {"01_H.ele", 1}}, "logarithm"},
        FailureCase{"amounts_sum_to_zero", {{"01_H.ele", 0}}, "add up to 0"},
        FailureCase{"sixteen_elements",
                    std::vector<std::pair<const char*, double>>(16, {"01_H.ele", 1}), "1 to 15"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) {
        return std::string(info.param.label);
    });

} // namespace
} // namespace tarvo
