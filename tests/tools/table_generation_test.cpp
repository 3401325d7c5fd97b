#include "tools/table_generation.h"

#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace tarvo::tools {
namespace {

XcomRow xcomRow(double energy, double photo) {
    return {energy, {1, 1, photo, 0, 0}};
}

// Molybdenum's K edge at 19.9995 keV lies 0.5 eV below the 20 keV grid point.
XcomElement molybdenumLike() {
    XcomElement xcom;
    xcom.atomicNumber = 42;
    xcom.atomicWeight = 95.94;
    xcom.rows = {xcomRow(0.015, 30), xcomRow(0.0199994, 15), xcomRow(0.0199995, 90),
                 xcomRow(0.020, 89), xcomRow(0.030, 30)};
    xcom.upperEdgeRow = {false, false, true, false, false};
    xcom.edges = {{"K", 0.0199995, 2}};
    return xcom;
}

TEST(ElementCrossSectionRows, EdgeRowsShareTheEdgeEnergyAndAGridRowPrintingAlikeGoes) {
    std::string error;
    const std::vector<CrossSectionRow> rows = elementCrossSectionRows(molybdenumLike(), error);
    ASSERT_EQ(rows.size(), 4U) << error;
    EXPECT_EQ(rows[1].energy, 0.0199995);
    EXPECT_EQ(rows[2].energy, 0.0199995);
    EXPECT_EQ(rows[1].photoelectric, 15);
    EXPECT_EQ(rows[2].photoelectric, 90);
    EXPECT_EQ(rows[3].energy, 0.030);
}

TEST(ElementCrossSectionRows, RefusesTwoNonEdgeRowsThatPrintAlike) {
    XcomElement xcom = molybdenumLike();
    xcom.rows.insert(xcom.rows.begin() + 1, xcomRow(0.01500001, 29));
    xcom.upperEdgeRow.insert(xcom.upperEdgeRow.begin() + 1, false);
    xcom.edges[0].upperRow = 3;
    std::string error;
    EXPECT_TRUE(elementCrossSectionRows(xcom, error).empty());
    EXPECT_NE(error.find("1.500E-02"), std::string::npos) << error;
}

TEST(ElementCoefficientRows, PlacesEdgesAtTheirExactEnergiesBesideTheGridPoint) {
    const std::vector<NistRow> nist{{0.015, 28.54, 26.84},
                                    {0.020, 13.08, 11.93},
                                    {0.020, 80.55, 32.93},
                                    {0.020, 80.54, 33.36},
                                    {0.030, 28.10, 16.64}};
    GenerationReport report;
    std::string error;
    const auto rows = elementCoefficientRows(molybdenumLike(), nist, report, "42_Mo.mut", error);
    ASSERT_EQ(rows.size(), 5U) << error;
    EXPECT_EQ(rows[1].row.energy, 0.0199995);
    EXPECT_EQ(rows[1].side, EdgeSide::below);
    EXPECT_EQ(rows[2].row.energy, 0.0199995);
    EXPECT_EQ(rows[2].side, EdgeSide::above);
    EXPECT_EQ(rows[3].row.energy, 0.020);
    for (const SidedCoefficientRow& row : rows) {
        EXPECT_GE(row.row.energyTransfer, row.row.energyAbsorption);
        EXPECT_LE(row.row.energyTransfer, row.row.attenuation);
    }
}

TEST(ElementCoefficientRows, AnEdgeMissingFromTheTableIsAnError) {
    const std::vector<NistRow> nist{
        {0.015, 28.54, 26.84}, {0.020, 80.54, 33.36}, {0.030, 28.10, 16.64}};
    GenerationReport report;
    std::string error;
    EXPECT_TRUE(elementCoefficientRows(molybdenumLike(), nist, report, "42_Mo.mut", error).empty());
    EXPECT_NE(error.find("K"), std::string::npos) << error;
}

// Everything the project ships comes out of the generator exactly as committed.
TEST(ShippedTables, RegenerateByteForByte) {
    const std::filesystem::path reference = TARVO_REFERENCE_DATA;
    ASSERT_TRUE(std::filesystem::exists(reference / "materials.csv")) << reference;
    testing::WorkingDirectory directory;
    GenerationReport report;
    std::string error;
    ASSERT_TRUE(generateTables(reference.string(), "out", report, error)) << error;
    const std::filesystem::path shipped = TARVO_SHIPPED_DATA;
    int compared = 0;
    for (const char* sub : {"ele", "mix", "mu_ele", "mu_mix"}) {
        for (const auto& entry : std::filesystem::directory_iterator(shipped / sub)) {
            const std::string name = entry.path().filename().string();
            if (name == "user.txt") {
                continue;
            }
            const std::filesystem::path generated = std::filesystem::path("out") / sub / name;
            ASSERT_TRUE(std::filesystem::exists(generated)) << generated;
            EXPECT_EQ(testing::readBytes(generated), testing::readBytes(entry.path())) << name;
            ++compared;
        }
        EXPECT_EQ(
            std::distance(std::filesystem::directory_iterator(std::filesystem::path("out") / sub),
                          std::filesystem::directory_iterator()),
            std::distance(std::filesystem::directory_iterator(shipped / sub),
                          std::filesystem::directory_iterator()) -
                (std::string(sub) == "ele" ? 1 : 0));
    }
    EXPECT_EQ(compared, 2 * 92 + 2 * 48);
}

} // namespace
} // namespace tarvo::tools
