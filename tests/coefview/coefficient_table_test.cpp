#include "coefview/coefficient_table.h"

#include "coefview/coefficient_session.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

const char* const kWaterLike = "Water, Liquid\r\n"
                               "003\r\n"
                               "01.000000\r\n"
                               "1.00000E-03 4.078E+03 4.065E+03 4.065E+03\r\n"
                               "5.00000E-01 9.687E-02 3.300E-02 3.300E-02\r\n"
                               "2.00000E+01 1.813E-02 1.300E-02 1.200E-02\r\n"
                               "02\r\n"
                               "01 0.111898\r\n"
                               "08 0.888102\r\n";

TEST(LoadCoefficientTable, ReadsRowsLinesAndComposition) {
    WorkingDirectory directory;
    writeBytes("mu_mix/Water.muc2", kWaterLike);
    std::string error;
    const auto table = loadCoefficientTable("mu_mix\\Water.muc2", true, error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->name, "Water, Liquid");
    EXPECT_EQ(table->energyCount, 3);
    EXPECT_DOUBLE_EQ(table->density, 1.0);
    EXPECT_DOUBLE_EQ(table->rows[1].energy, 0.001);
    EXPECT_DOUBLE_EQ(table->rows[1].attenuation, 4078.0);
    EXPECT_DOUBLE_EQ(table->rows[3].energyTransfer, 0.013);
    EXPECT_DOUBLE_EQ(table->rows[3].energyAbsorption, 0.012);
    EXPECT_EQ(table->lines[2], "5.00000E-01 9.687E-02 3.300E-02 3.300E-02");
    ASSERT_EQ(table->compositionCount, 2);
    EXPECT_EQ(table->composition[1].atomicNumber, 1);
    EXPECT_DOUBLE_EQ(table->composition[1].weightFraction, 0.111898);
    EXPECT_EQ(table->composition[2].atomicNumber, 8);
}

TEST(LoadCoefficientTable, OtherSpellingsInTheSameColumnsReadTheSame) {
    WorkingDirectory directory;
    writeBytes("mu_ele/a.mut", "A\r\n1\r\n1\r\n0.10000E-02 0.408E+04 0.407E+04 0.407E+04\r\n");
    writeBytes("mu_ele/b.mut", "B\r\n1\r\n1\r\n1.00000E-03 4.080E+03 4.070E+03 4.070E+03\r\n");
    std::string error;
    const auto a = loadCoefficientTable("mu_ele\\a.mut", false, error);
    const auto b = loadCoefficientTable("mu_ele\\b.mut", false, error);
    ASSERT_TRUE(a && b) << error;
    EXPECT_DOUBLE_EQ(a->rows[1].energy, b->rows[1].energy);
    EXPECT_DOUBLE_EQ(a->rows[1].attenuation, b->rows[1].attenuation);
    EXPECT_DOUBLE_EQ(a->rows[1].energyTransfer, b->rows[1].energyTransfer);
    EXPECT_DOUBLE_EQ(a->rows[1].energyAbsorption, b->rows[1].energyAbsorption);
}

TEST(LoadCoefficientTable, HeaderOnOneLineAndElementTablesWithoutComposition) {
    WorkingDirectory directory;
    writeBytes("mu_ele/01_H.mut", "Hydrogen\n1,8.375E-05\n"
                                  "1.00000E-03 7.217E+00 6.820E+00 6.820E+00\n"
                                  "whatever follows is not read\n");
    std::string error;
    const auto table = loadCoefficientTable("mu_ele\\01_H.mut", false, error);
    ASSERT_TRUE(table) << error;
    EXPECT_DOUBLE_EQ(table->density, 8.375e-05);
    EXPECT_EQ(table->compositionCount, 0);
    const auto header = readCoefficientHeader("mu_ele\\01_H.mut", error);
    ASSERT_TRUE(header) << error;
    EXPECT_EQ(header->name, "Hydrogen");
    EXPECT_DOUBLE_EQ(header->density, 8.375e-05);
}

TEST(IsMaterialCoefficientPath, LooksAtTheLastFourCharacters) {
    EXPECT_TRUE(isMaterialCoefficientPath("mu_mix\\Water.mucm"));
    EXPECT_TRUE(isMaterialCoefficientPath("mu_mix\\Water.muc2"));
    EXPECT_TRUE(isMaterialCoefficientPath("mu_mix\\Water.muc3"));
    EXPECT_FALSE(isMaterialCoefficientPath("mu_ele\\01_H.mut"));
    EXPECT_FALSE(isMaterialCoefficientPath("c3"));
}

std::vector<CoefficientRow> edgeRows(int count) {
    std::vector<CoefficientRow> rows;
    double energy = 0.001;
    for (int i = 0; i < count; ++i) {
        const bool edge = i == 10;
        rows.push_back({energy, 4076.4 / energy * (edge ? 5 : 1), 40.644 / energy, 40.6 / energy});
        if (!edge && i != 9) {
            energy *= 1.05;
        }
    }
    return rows;
}

TEST(WriteMaterialCoefficientTable, RoundTripsWithExactly150RowsAndAnEdge) {
    WorkingDirectory directory;
    std::filesystem::create_directory("mu_mix");
    const std::vector<CoefficientRow> rows = edgeRows(kMaxCoefficientRows);
    const std::vector<CompositionEntry> composition{{1, 0.1119}, {8, 0.8881}};
    std::string error;
    ASSERT_TRUE(
        writeMaterialCoefficientTable("mu_mix\\W.muc3", "W", 1.06, rows, composition, error))
        << error;
    const std::string bytes = readBytes("mu_mix/W.muc3");
    EXPECT_EQ(bytes.substr(0, 62),
              "W\r\n150\r\n01.060000\r\n1.00000E-03 4.076E+06 4.064E+04 4.060E+04\r\n");
    EXPECT_NE(bytes.find("\r\n02\r\n01 0.111900\r\n08 0.888100\r\n"), std::string::npos);
    const auto table = loadCoefficientTable("mu_mix\\W.muc3", true, error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->energyCount, kMaxCoefficientRows);
    EXPECT_EQ(table->lines[1].size(), 41U);
    EXPECT_DOUBLE_EQ(table->rows[10].energy, table->rows[11].energy);
    EXPECT_LT(table->rows[10].attenuation, table->rows[11].attenuation);
    EXPECT_EQ(table->compositionCount, 2);
    EXPECT_DOUBLE_EQ(table->composition[2].weightFraction, 0.8881);
}

TEST(WriteMaterialCoefficientTable, RefusesWhatCouldNotBeReadBack) {
    WorkingDirectory directory;
    std::filesystem::create_directory("mu_mix");
    const std::vector<CompositionEntry> one{{1, 1.0}};
    const std::vector<CompositionEntry> sixteen(16, {1, 1.0 / 16});
    std::vector<CoefficientRow> zero = edgeRows(3);
    zero[1].energyTransfer = 0.0;
    std::string error;
    EXPECT_FALSE(writeMaterialCoefficientTable("mu_mix\\a.muc3", "A", 1, {}, one, error));
    EXPECT_FALSE(
        writeMaterialCoefficientTable("mu_mix\\a.muc3", "A", 1, edgeRows(151), one, error));
    EXPECT_FALSE(writeMaterialCoefficientTable("mu_mix\\a.muc3", "A", 1, edgeRows(3), {}, error));
    EXPECT_FALSE(
        writeMaterialCoefficientTable("mu_mix\\a.muc3", "A", 1, edgeRows(3), sixteen, error));
    EXPECT_FALSE(writeMaterialCoefficientTable("mu_mix\\a.muc3", "A", 1, zero, one, error));
    std::vector<CoefficientRow> wide = edgeRows(3);
    wide[1].attenuation = 1e100;
    EXPECT_FALSE(writeMaterialCoefficientTable("mu_mix\\a.muc3", "A", 1, wide, one, error));
    EXPECT_NE(error.find("columns"), std::string::npos) << error;
    const std::vector<CompositionEntry> negative{{1, 1.5}, {8, -0.5}};
    EXPECT_FALSE(
        writeMaterialCoefficientTable("mu_mix\\a.muc3", "A", 1, edgeRows(3), negative, error));
    EXPECT_FALSE(writeMaterialCoefficientTable("mu_mix\\a.muc3", "A", -1, edgeRows(3), one, error));
    EXPECT_TRUE(std::filesystem::is_empty("mu_mix"));
}

struct BadTableCase {
    const char* label;
    const char* content;
    bool withComposition;
    const char* expectedInError;
};

class BadCoefficientTableTest : public ::testing::TestWithParam<BadTableCase> {};

TEST_P(BadCoefficientTableTest, IsRefusedNamingFileAndLine) {
    WorkingDirectory directory;
    writeBytes("mu_mix/bad.muc3", GetParam().content);
    std::string error;
    EXPECT_EQ(loadCoefficientTable("mu_mix\\bad.muc3", GetParam().withComposition, error),
              std::nullopt);
    EXPECT_NE(error.find("mu_mix\\bad.muc3: line "), std::string::npos) << error;
    EXPECT_NE(error.find(GetParam().expectedInError), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadCoefficientTableTest,
    ::testing::Values(
        BadTableCase{"empty", "", false, "empty"},
        BadTableCase{"no_density", "A\r\n001\r\n", false, "missing"},
        BadTableCase{"zero_rows", "A\r\n000\r\n1.0\r\n", false, "row count"},
        BadTableCase{"too_many_rows", "A\r\n151\r\n1.0\r\n", false, "row count"},
        BadTableCase{"truncated_rows",
                     "A\r\n002\r\n1.0\r\n1.00000E-03 4.078E+03 4.065E+03 4.065E+03\r\n", false,
                     "ends after 1 of 2 rows"},
        BadTableCase{"zero_energy",
                     "A\r\n001\r\n1.0\r\n0.00000E+00 4.078E+03 4.065E+03 4.065E+03\r\n", false,
                     "positive"},
        BadTableCase{"negative_value",
                     "A\r\n001\r\n1.0\r\n1.00000E-03 4.078E+03 -4.06E+03 4.065E+03\r\n", false,
                     "positive"},
        BadTableCase{"text_value",
                     "A\r\n001\r\n1.0\r\n1.00000E-03 4.078E+03 4.065E+03 abcdefghi\r\n", false,
                     "positive"},
        BadTableCase{"falling_energy",
                     "A\r\n002\r\n1.0\r\n2.00000E-03 4.078E+03 4.065E+03 4.065E+03\r\n"
                     "1.00000E-03 4.078E+03 4.065E+03 4.065E+03\r\n",
                     false, "fall"},
        BadTableCase{"no_composition",
                     "A\r\n001\r\n1.0\r\n1.00000E-03 4.078E+03 4.065E+03 4.065E+03\r\n", true,
                     "element count"},
        BadTableCase{"sixteen_elements",
                     "A\r\n001\r\n1.0\r\n1.00000E-03 4.078E+03 4.065E+03 4.065E+03\r\n16\r\n", true,
                     "element count"},
        BadTableCase{"zero_elements",
                     "A\r\n001\r\n1.0\r\n1.00000E-03 4.078E+03 4.065E+03 4.065E+03\r\n00\r\n", true,
                     "element count"},
        BadTableCase{
            "truncated_composition",
            "A\r\n001\r\n1.0\r\n1.00000E-03 4.078E+03 4.065E+03 4.065E+03\r\n02\r\n01 0.5\r\n",
            true, "ends after 1 of 2 elements"}),
    [](const ::testing::TestParamInfo<BadTableCase>& info) {
        return std::string(info.param.label);
    });

TEST(LoadCoefficientTable, MissingFileIsAnErrorNamingIt) {
    WorkingDirectory directory;
    std::string error;
    EXPECT_EQ(loadCoefficientTable("mu_ele\\99_X.mut", false, error), std::nullopt);
    EXPECT_NE(error.find("mu_ele\\99_X.mut"), std::string::npos);
    EXPECT_EQ(readCoefficientHeader("mu_ele\\99_X.mut", error), std::nullopt);
}

// The viewer's session takes a table whole or not at all: a failed load keeps the table,
// its readings and the path the spline tool is asked to read.
TEST(CoefficientSession, TakesATableWholeOrKeepsTheOneItHas) {
    WorkingDirectory directory;
    writeBytes("mu_mix/Water.muc2", kWaterLike);
    writeBytes("mu_mix/Bad.muc2", "Bad\r\n003\r\n01.000000\r\n");
    CoefficientSession session;
    std::string error;
    ASSERT_TRUE(session.load("mu_mix\\Water.muc2", error)) << error;
    EXPECT_TRUE(session.loaded && session.material);
    EXPECT_EQ(session.reading.rowCount, 3);
    EXPECT_EQ(session.drawnPath, "mu_mix\\Water.muc2");
    EXPECT_EQ(session.graphTitle, coefficientTitle(*session.table));
    EXPECT_DOUBLE_EQ(session.extremes.largest[0], 4078.0);
    for (const char* path : {"mu_mix\\Bad.muc2", "mu_mix\\Gone.muc2"}) {
        EXPECT_FALSE(session.load(path, error)) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(session.table->name, "Water, Liquid");
        EXPECT_EQ(session.drawnPath, "mu_mix\\Water.muc2");
        EXPECT_EQ(session.reading.rowCount, 3);
    }
}

} // namespace
} // namespace tarvo
