#include "coefview/coefficient_table.h"
#include "common/text_file.h"
#include "tools/table_generation.h"
#include "xsview/combine_element_tables.h"
#include "xsview/cross_section_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

namespace tarvo {
namespace {

const std::filesystem::path kData = TARVO_SHIPPED_DATA;

std::vector<std::filesystem::path> tablesIn(const char* directory,
                                            const std::set<std::string>& extensions) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(kData / directory)) {
        if (extensions.count(entry.path().extension().string()) != 0) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Energies ascend; only the two rows of an edge share an energy.
template <class EnergyAt>
void expectAscendingWithEdgePairs(int count, EnergyAt energyAt, const std::string& file) {
    for (int i = 2; i <= count; ++i) {
        const bool pair = energyAt(i) == energyAt(i - 1);
        EXPECT_TRUE(energyAt(i) > energyAt(i - 1) || pair) << file << " row " << i;
        EXPECT_FALSE(pair && i > 2 && energyAt(i - 2) == energyAt(i)) << file << " row " << i;
    }
}

void expectSoundCrossSections(const std::filesystem::path& path, int maxRows) {
    std::string error;
    const auto table = loadCrossSectionTable(path.string(), error);
    ASSERT_TRUE(table) << error;
    const std::string file = path.filename().string();
    EXPECT_LE(table->rowCount, maxRows) << file;
    EXPECT_EQ(table->rows[1].energy, 0.001) << file;
    EXPECT_EQ(table->rows[static_cast<size_t>(table->rowCount)].energy, 100000.0) << file;
    expectAscendingWithEdgePairs(
        table->rowCount, [&](int i) { return table->rows[static_cast<size_t>(i)].energy; }, file);
    for (int i = 1; i <= table->rowCount; ++i) {
        const CrossSectionRow& row = table->rows[static_cast<size_t>(i)];
        EXPECT_TRUE(row.coherent > 0 && row.incoherent > 0 && row.photoelectric > 0 &&
                    row.pairNuclear >= 0 && row.pairElectron >= 0)
            << file << " row " << i;
    }
}

// The spline tool reads a table's path as its first 30 characters: every shipped path
// fits, and both viewers list the same stems.
TEST(ShippedTables, EveryPathFitsTheSplineToolAndBothViewersShareTheStems) {
    std::set<std::string> coefficientStems;
    for (const auto& path : tablesIn("mu_mix", {".mucm", ".muc2", ".muc3"})) {
        const std::string relative = "mu_mix\\" + path.filename().string();
        EXPECT_LE(relative.size(), 30U) << relative;
        coefficientStems.insert(path.stem().string());
    }
    for (const auto& path : tablesIn("mu_ele", {".mut"})) {
        EXPECT_LE(("mu_ele\\" + path.filename().string()).size(), 30U) << path;
    }
    std::set<std::string> crossSectionStems;
    for (const auto& path : tablesIn("mix", {".mix", ".mix2", ".mix3"})) {
        crossSectionStems.insert(path.stem().string());
    }
    EXPECT_EQ(coefficientStems, crossSectionStems);
    EXPECT_EQ(coefficientStems.size(), 48U);
}

TEST(ShippedTables, CrossSectionTablesLoadAndAreSound) {
    const auto elements = tablesIn("ele", {".ele"});
    const auto materials = tablesIn("mix", {".mix", ".mix2", ".mix3"});
    EXPECT_EQ(elements.size(), 92U);
    EXPECT_EQ(materials.size(), 48U);
    for (const auto& path : elements) {
        expectSoundCrossSections(path, kMaxElementRows);
    }
    for (const auto& path : materials) {
        expectSoundCrossSections(path, kMaxCrossSectionRows);
    }
}

void expectSoundCoefficients(const CoefficientTable& table, const std::string& file) {
    expectAscendingWithEdgePairs(
        table.energyCount, [&](int i) { return table.rows[static_cast<size_t>(i)].energy; }, file);
    // The published concrete table starts at 1.035 keV; every other one at 1 keV.
    EXPECT_TRUE(table.rows[1].energy >= 0.001 && table.rows[1].energy < 0.00104) << file;
    for (int i = 1; i <= table.energyCount; ++i) {
        const CoefficientRow& row = table.rows[static_cast<size_t>(i)];
        EXPECT_GE(row.attenuation, row.energyTransfer) << file << " row " << i;
        EXPECT_GE(row.energyTransfer, row.energyAbsorption) << file << " row " << i;
        // Below 0.1 MeV the secondary electrons radiate under 1 to 2% of their energy.
        if (row.energy < 0.1) {
            EXPECT_GE(row.energyAbsorption / row.energyTransfer, 0.97)
                << file << " at " << row.energy << " MeV";
        }
    }
}

TEST(ShippedTables, CoefficientTablesLoadAndAreSound) {
    const auto elements = tablesIn("mu_ele", {".mut"});
    const auto materials = tablesIn("mu_mix", {".mucm", ".muc2", ".muc3"});
    EXPECT_EQ(elements.size(), 92U);
    EXPECT_EQ(materials.size(), 48U);
    std::string error;
    for (const auto& path : elements) {
        const auto table = loadCoefficientTable(path.string(), false, error);
        ASSERT_TRUE(table) << error;
        expectSoundCoefficients(*table, path.filename().string());
    }
    for (const auto& path : materials) {
        const auto table = loadCoefficientTable(path.string(), true, error);
        ASSERT_TRUE(table) << error;
        expectSoundCoefficients(*table, path.filename().string());
        double sum = 0.0;
        for (int k = 1; k <= table->compositionCount; ++k) {
            sum += table->composition[static_cast<size_t>(k)].weightFraction;
        }
        EXPECT_NEAR(sum, 1.0, 2e-5) << path.filename();
    }
}

// Whether row i of a coefficient table is one of an edge's two rows.
bool isEdgeRow(const CoefficientTable& table, int i) {
    const auto energy = [&](int j) { return table.rows[static_cast<size_t>(j)].energy; };
    return (i > 1 && energy(i - 1) == energy(i)) ||
           (i < table.energyCount && energy(i + 1) == energy(i));
}

// XCOM's total and NIST's mu/rho come from the same physics.
TEST(ShippedTables, CrossSectionTotalsMatchTheTabulatedAttenuation) {
    std::string error;
    const auto hydrogen = loadCoefficientTable((kData / "mu_ele/01_H.mut").string(), false, error);
    ASSERT_TRUE(hydrogen) << error;
    std::set<double> standardGrid;
    for (int h = 1; h <= hydrogen->energyCount; ++h) {
        standardGrid.insert(hydrogen->rows[static_cast<size_t>(h)].energy);
    }
    for (const auto& path : tablesIn("mu_ele", {".mut"})) {
        const auto coefficients = loadCoefficientTable(path.string(), false, error);
        std::filesystem::path crossPath = kData / "ele" / path.filename();
        crossPath.replace_extension(".ele");
        const auto crossSections = loadCrossSectionTable(crossPath.string(), error);
        ASSERT_TRUE(coefficients && crossSections) << error;
        for (int i = 1; i <= coefficients->energyCount; ++i) {
            const CoefficientRow& row = coefficients->rows[static_cast<size_t>(i)];
            // Away from edges: more than 15% in energy from every edge of the element.
            bool nearEdge = false;
            for (int e = 1; e <= coefficients->energyCount; ++e) {
                const double edge = coefficients->rows[static_cast<size_t>(e)].energy;
                nearEdge = nearEdge ||
                           (isEdgeRow(*coefficients, e) && std::fabs(row.energy / edge - 1) < 0.15);
            }
            if (nearEdge || standardGrid.count(row.energy) == 0) {
                continue;
            }
            const auto begin = crossSections->rows.begin() + 1;
            const auto end = begin + crossSections->rowCount;
            const auto match = std::find_if(
                begin, end, [&](const CrossSectionRow& r) { return r.energy == row.energy; });
            ASSERT_NE(match, end) << path.filename() << " " << row.energy;
            if (match + 1 != end && (match + 1)->energy == row.energy) {
                continue; // a grid energy that the cross-section table prints like an edge
            }
            EXPECT_NEAR(match->total / row.attenuation, 1.0, 0.01)
                << path.filename() << " at " << row.energy << " MeV";
        }
    }
}

// The coefficient viewer's own combination, on each material's composition, against the
// published mu/rho.
TEST(ShippedTables, BraggSumOfTheElementsReproducesTheMaterialsAttenuation) {
    for (const auto& path : tablesIn("mu_mix", {".mucm", ".muc2", ".muc3"})) {
        std::string error;
        const auto table = loadCoefficientTable(path.string(), true, error);
        ASSERT_TRUE(table) << error;
        const tools::AdditivityDifference difference =
            tools::additivityDifference(path.stem().string(), *table, DataDirectory(kData), error);
        EXPECT_TRUE(error.empty()) << error;
        EXPECT_LT(difference.attenuation, 0.01) << path.filename();
    }
}

} // namespace
} // namespace tarvo
