#include "xsview/cross_section_table.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include <vector>

namespace tarvo {
namespace {

using testing::readBytes;
using testing::WorkingDirectory;
using testing::writeBytes;

const char* const kOxygenLike = "Oxygen\r\n"
                                ".001429\r\n"
                                "4\r\n"
                                "1.000E-03 1.000E+00 2.000E+00 4.000E+03 0.000E+00 0.000E+00\r\n"
                                "5.000E-01 1.000E-02 8.000E-02 1.000E-04 0.000E+00 0.000E+00\r\n"
                                "5.000E-01 2.000E-02 8.000E-02 1.000E-04 0.000E+00 0.000E+00\r\n"
                                "1.000E+05 1.000E-08 1.000E-05 1.000E-09 1.000E-02 5.000E-03\r\n"
                                "15.999\r\n";

TEST(LoadCrossSectionTable, ReadsRowsTotalsFractionsAndLines) {
    WorkingDirectory directory;
    writeBytes("ele/08_O.ele", kOxygenLike);
    std::string error;
    const auto table = loadCrossSectionTable("ele\\08_O.ele", error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->name, "Oxygen");
    EXPECT_DOUBLE_EQ(table->density, 0.001429);
    ASSERT_EQ(table->rowCount, 4);
    const CrossSectionRow& first = table->rows[1];
    EXPECT_DOUBLE_EQ(first.energy, 0.001);
    EXPECT_DOUBLE_EQ(first.total, 1.0 + 2.0 + 4000.0);
    EXPECT_DOUBLE_EQ(first.fracPhotoelectric, 4000.0 / 4003.0);
    EXPECT_DOUBLE_EQ(table->rows[4].fracPairNuclear, 1.0e-2 / table->rows[4].total);
    // Edges stay two rows in file order.
    EXPECT_DOUBLE_EQ(table->rows[2].energy, table->rows[3].energy);
    EXPECT_DOUBLE_EQ(table->rows[2].coherent, 0.01);
    EXPECT_DOUBLE_EQ(table->rows[3].coherent, 0.02);
    EXPECT_EQ(table->lines[4], "1.000E+05 1.000E-08 1.000E-05 1.000E-09 1.000E-02 5.000E-03");
    EXPECT_DOUBLE_EQ(table->maxTotal, 4003.0);
    EXPECT_DOUBLE_EQ(table->minTotal, table->rows[4].total);
}

TEST(LoadCrossSectionTable, ShortAndOddlySpelledRowsAreLenient) {
    WorkingDirectory directory;
    writeBytes("mix/odd.mix3", "Name, with commas\n1\n2\n"
                               "0.100E-02 1.000D+00  2.0E+00\n"
                               "1.5e-3\n");
    std::string error;
    const auto table = loadCrossSectionTable("mix\\odd.mix3", error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->name, "Name, with commas");
    EXPECT_DOUBLE_EQ(table->rows[1].energy, 0.001);
    EXPECT_DOUBLE_EQ(table->rows[1].coherent, 1.0);
    EXPECT_DOUBLE_EQ(table->rows[1].incoherent, 2.0);
    EXPECT_EQ(table->rows[1].pairElectron, 0.0);
    EXPECT_DOUBLE_EQ(table->rows[2].energy, 0.0015);
    EXPECT_EQ(table->rows[2].total, 0.0);
    EXPECT_EQ(table->rows[2].fracCoherent, 0.0);
    EXPECT_EQ(table->minTotal, 0.0);
}

TEST(LoadCrossSectionTable, ExtremesStartAt10000AndZero) {
    WorkingDirectory directory;
    writeBytes("mix/big.mix", "Big\r\n1\r\n1\r\n"
                              "1.000E-03 2.000E+04 0.000E+00 0.000E+00 0.000E+00 0.000E+00\r\n");
    std::string error;
    const auto table = loadCrossSectionTable("mix\\big.mix", error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->minTotal, 10000.0);
    EXPECT_EQ(table->maxTotal, 20000.0);
}

TEST(LoadCrossSectionTable, HeaderMayStandOnOneLine) {
    WorkingDirectory directory;
    writeBytes("mix/one.mix", "One\r\n1.06,1\r\n"
                              "1.000E-03 1.000E+00 0.000E+00 0.000E+00 0.000E+00 0.000E+00\r\n");
    std::string error;
    const auto table = loadCrossSectionTable("mix\\one.mix", error);
    ASSERT_TRUE(table) << error;
    EXPECT_DOUBLE_EQ(table->density, 1.06);
    EXPECT_EQ(table->rowCount, 1);
    EXPECT_DOUBLE_EQ(table->rows[1].coherent, 1.0);
}

std::vector<CrossSectionRow> ascendingRows(int count) {
    std::vector<CrossSectionRow> rows(static_cast<size_t>(count));
    double energy = 0.001;
    for (CrossSectionRow& row : rows) {
        row = {energy, 1.234, 0.5, 1000.0 / energy, energy > 1.022 ? 0.01 : 0.0, 0.0};
        energy *= 1.1;
    }
    return rows;
}

TEST(WriteMaterialTable, RoundTripsThroughTheLoader) {
    WorkingDirectory directory;
    std::filesystem::create_directory("mix");
    const std::vector<CrossSectionRow> rows = ascendingRows(kMaxCrossSectionRows);
    std::string error;
    ASSERT_TRUE(writeMaterialTable("mix\\Water.mix2", "Water, liquid", 1.0, rows, error)) << error;
    const std::string bytes = readBytes("mix/Water.mix2");
    EXPECT_EQ(bytes.substr(0, 26), "Water, liquid\r\n1.\r\n150\r\n1.");
    const auto table = loadCrossSectionTable("mix\\Water.mix2", error);
    ASSERT_TRUE(table) << error;
    ASSERT_EQ(table->rowCount, kMaxCrossSectionRows);
    EXPECT_EQ(table->lines[1].size(), 59U);
    EXPECT_EQ(table->lines[1], "1.000E-03 1.234E+00 5.000E-01 1.000E+06 0.000E+00 0.000E+00");
    for (int i = 1; i <= table->rowCount; ++i) {
        const CrossSectionRow& written = rows[static_cast<size_t>(i - 1)];
        EXPECT_NEAR(table->rows[static_cast<size_t>(i)].energy, written.energy,
                    written.energy * 5e-4);
        EXPECT_NEAR(table->rows[static_cast<size_t>(i)].photoelectric, written.photoelectric,
                    written.photoelectric * 5e-4);
    }
}

TEST(WriteMaterialTable, WritesDensityAndEnergiesByTheirPatterns) {
    WorkingDirectory directory;
    std::filesystem::create_directory("mix");
    std::string error;
    const std::vector<CrossSectionRow> rows{{0.0015, 1, 1, 1, 0, 0}, {100000, 1, 1, 1, 1, 1}};
    ASSERT_TRUE(writeMaterialTable("mix\\Half.mix", "Half", 0.5, rows, error)) << error;
    EXPECT_EQ(readBytes("mix/Half.mix"),
              "Half\r\n.5\r\n2\r\n"
              "1.500E-03 1.000E+00 1.000E+00 1.000E+00 0.000E+00 0.000E+00\r\n"
              "1.000E+05 1.000E+00 1.000E+00 1.000E+00 1.000E+00 1.000E+00\r\n");
    const auto header = readTableHeader("mix\\Half.mix", error);
    ASSERT_TRUE(header) << error;
    EXPECT_EQ(header->name, "Half");
    EXPECT_DOUBLE_EQ(header->density, 0.5);
}

TEST(WriteMaterialTable, RefusesRowCountsOutsideTheTableAndMultiLineNames) {
    WorkingDirectory directory;
    std::filesystem::create_directory("mix");
    std::string error;
    EXPECT_FALSE(writeMaterialTable("mix\\a.mix", "A", 1.0, {}, error));
    EXPECT_FALSE(writeMaterialTable("mix\\a.mix", "A", 1.0, ascendingRows(151), error));
    EXPECT_FALSE(writeMaterialTable("mix\\a.mix", "A\r\nB", 1.0, ascendingRows(2), error));
    EXPECT_FALSE(writeMaterialTable("nowhere\\a.mix", "A", 1.0, ascendingRows(2), error));
    EXPECT_NE(error.find("nowhere"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty("mix"));
}

// Every row is written in its fixed columns with positive values where logarithms are
// taken; anything else is refused, never written.
TEST(WriteMaterialTable, RefusesRowsThatWouldBreakTheColumns) {
    WorkingDirectory directory;
    std::filesystem::create_directory("mix");
    const double nan = std::nan("");
    const std::function<void(CrossSectionRow&)> spoilers[] = {[](CrossSectionRow& r) { r.coherent = -1.0; },
                                                              [](CrossSectionRow& r) { r.photoelectric = 0.0; },
                                                              [](CrossSectionRow& r) { r.incoherent = 1e100; },
                                                              [](CrossSectionRow& r) { r.incoherent = 1e-100; },
                                                              [](CrossSectionRow& r) { r.pairNuclear = -0.5; },
                                                              [=](CrossSectionRow& r) { r.pairElectron = nan; },
                                                              [](CrossSectionRow& r) { r.energy = 0.0; }};
    for (const auto& spoil : spoilers) {
        std::vector<CrossSectionRow> rows = ascendingRows(3);
        spoil(rows[1]);
        std::string error;
        EXPECT_FALSE(writeMaterialTable("mix\\a.mix", "A", 1.0, rows, error));
        EXPECT_NE(error.find("columns"), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(writeMaterialTable("mix\\a.mix", "A", -1.0, ascendingRows(3), error));
    EXPECT_FALSE(writeMaterialTable("mix\\a.mix", "A", 1.0 / 0.0, ascendingRows(3), error));
    EXPECT_TRUE(std::filesystem::is_empty("mix"));
}

struct BadTableCase {
    const char* label;
    const char* content;
    const char* expectedInError;
};

class BadCrossSectionTableTest : public ::testing::TestWithParam<BadTableCase> {};

TEST_P(BadCrossSectionTableTest, IsRefusedNamingFileAndLine) {
    WorkingDirectory directory;
    writeBytes("mix/bad.mix", GetParam().content);
    std::string error;
    EXPECT_EQ(loadCrossSectionTable("mix\\bad.mix", error), std::nullopt);
    EXPECT_NE(error.find("mix\\bad.mix: line "), std::string::npos) << error;
    EXPECT_NE(error.find(GetParam().expectedInError), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadCrossSectionTableTest,
    ::testing::Values(BadTableCase{"empty", "", "empty"},
                      BadTableCase{"header cut", "Name\r\n1.0\r\n", "missing"},
                      BadTableCase{"zero rows", "Name\r\n1.0\r\n0\r\n", "row count"},
                      BadTableCase{"too many rows", "Name\r\n1.0\r\n151\r\n", "row count"},
                      BadTableCase{"fractional rows", "Name\r\n1.0\r\n2.5\r\n", "row count"},
                      BadTableCase{"truncated", "Name\r\n1.0\r\n3\r\n1.000E-03\r\n2.000E-03\r\n",
                                   "ends after 2 of 3 rows"}),
    [](const ::testing::TestParamInfo<BadTableCase>& info) {
        std::string name = info.param.label;
        for (char& c : name) {
            c = c == ' ' ? '_' : c;
        }
        return name;
    });

TEST(ReadAtomicWeight, TakesTheLineAfterTheRows) {
    WorkingDirectory directory;
    writeBytes("ele/08_O.ele", "Oxygen\r\n.001429\r\n2\r\n"
                               "1.000E-03 1.0E+00 1.0E+00 1.0E+00 0.0E+00 0.0E+00\r\n"
                               "1.000E+05 1.0E+00 1.0E+00 1.0E+00 1.0E+00 1.0E+00\r\n15.999\r\n");
    writeBytes("ele/09_F.ele", "Fluorine\r\n.0016\r\n1\r\n"
                               "1.000E-03 1.0E+00 1.0E+00 1.0E+00 0.0E+00 0.0E+00\r\n");
    std::string error;
    EXPECT_EQ(readAtomicWeight("ele\\08_O.ele", error), 15.999);
    EXPECT_FALSE(readAtomicWeight("ele\\09_F.ele", error));
    EXPECT_NE(error.find("atomic weight"), std::string::npos) << error;
}

TEST(LoadCrossSectionTable, MissingFileIsAnErrorNamingIt) {
    WorkingDirectory directory;
    std::string error;
    EXPECT_EQ(loadCrossSectionTable("mix\\gone.mix", error), std::nullopt);
    EXPECT_NE(error.find("mix\\gone.mix"), std::string::npos);
    EXPECT_EQ(readTableHeader("mix\\gone.mix", error), std::nullopt);
}

} // namespace
} // namespace tarvo
