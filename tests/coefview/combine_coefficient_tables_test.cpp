#include "coefview/combine_coefficient_tables.h"

#include "tests/combination_cases.h"
#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvo {
namespace {

using testing::recipeOfFiles;
using testing::WorkingDirectory;
using testing::writeBytes;

struct Row {
    double energy;
    double value; // all three coefficients
};

void writeElement(const std::string& file, const std::vector<Row>& rows) {
    std::string text = "Element\r\n" + std::to_string(rows.size()) + "\r\n1.0\r\n";
    for (const Row& row : rows) {
        text += formatCoefficientRow({row.energy, row.value, row.value * 0.9, row.value * 0.8}) +
                "\r\n";
    }
    writeBytes("mu_ele/" + file, text);
}

const std::vector<Row> kHydrogen{{0.001, 7}, {0.01, 0.4}, {0.1, 0.3}, {1.0, 0.1}};

TEST(CombineCoefficientTables, WaterOnTheHydrogenGridTakesValuesAsTabulated) {
    WorkingDirectory directory;
    writeElement("01_H.mut", kHydrogen);
    writeElement("08_O.mut", {{0.001, 4000}, {0.01, 5}, {0.1, 0.15}, {1.0, 0.06}});
    std::string error;
    const auto water = combineCoefficientTables(
        DataDirectory::working(),
        recipeOfFiles(Weighting::byWeight, {{"01_H.mut", 11.19}, {"08_O.mut", 88.81}}), error);
    ASSERT_TRUE(water) << error;
    ASSERT_EQ(water->rows.size(), kHydrogen.size()); // no energy added
    EXPECT_NEAR(water->rows[0].attenuation, 0.1119 * 7 + 0.8881 * 4000, 1e-9);
    EXPECT_NEAR(water->rows[3].energyAbsorption, 0.8 * (0.1119 * 0.1 + 0.8881 * 0.06), 1e-12);
    ASSERT_EQ(water->composition.size(), 2U);
    EXPECT_EQ(water->composition[0].atomicNumber, 1);
    EXPECT_NEAR(water->composition[0].weightFraction, 0.1119, 1e-12);
    EXPECT_EQ(water->composition[1].atomicNumber, 8);
    EXPECT_NEAR(water->composition[1].weightFraction, 0.8881, 1e-12);
}

TEST(CombineCoefficientTables, AnElementInTwoRowsCountsOnceWithItsSharesAdded) {
    WorkingDirectory directory;
    writeElement("01_H.mut", kHydrogen);
    writeElement("82_Pb.mut",
                 {{0.001, 5000}, {0.01, 130}, {0.088, 1.9}, {0.088, 7.7}, {0.1, 5.5}, {1.0, 0.07}});
    std::string error;
    const auto repeated = combineCoefficientTables(
        DataDirectory::working(),
        recipeOfFiles(Weighting::byWeight, {{"82_Pb.mut", 50}, {"82_Pb.mut", 50}}), error);
    const auto single = combineCoefficientTables(
        DataDirectory::working(), recipeOfFiles(Weighting::byWeight, {{"82_Pb.mut", 100}}), error);
    ASSERT_TRUE(repeated && single) << error;
    ASSERT_EQ(repeated->rows.size(), single->rows.size());
    for (size_t k = 0; k < single->rows.size(); ++k) {
        EXPECT_EQ(formatCoefficientRow(repeated->rows[k]), formatCoefficientRow(single->rows[k]));
    }
    ASSERT_EQ(repeated->composition.size(), 1U);
    EXPECT_EQ(repeated->composition[0].weightFraction, 1.0);
}

TEST(CombineCoefficientTables, AnEdgeAbsentFromHydrogenAddsTwoRowsBelowEdgeFirst) {
    WorkingDirectory directory;
    writeElement("01_H.mut", kHydrogen);
    writeElement("53_I.mut",
                 {{0.001, 9000}, {0.01, 100}, {0.03317, 5}, {0.03317, 30}, {0.1, 2}, {1.0, 0.07}});
    std::string error;
    const auto combined = combineCoefficientTables(
        DataDirectory::working(),
        recipeOfFiles(Weighting::byWeight, {{"01_H.mut", 50}, {"53_I.mut", 50}}), error);
    ASSERT_TRUE(combined) << error;
    std::vector<double> energies;
    for (const CoefficientRow& row : combined->rows) {
        energies.push_back(row.energy);
    }
    EXPECT_EQ(energies, (std::vector<double>{0.001, 0.01, 0.03317, 0.03317, 0.1, 1.0}));
    // Hydrogen contributes the same interpolated value to both edge rows.
    const double hydrogen = 0.4 * std::pow(0.3 / 0.4, std::log(3.317) / std::log(10.0));
    EXPECT_NEAR(combined->rows[2].attenuation, 0.5 * 5 + 0.5 * hydrogen, 1e-9);
    EXPECT_NEAR(combined->rows[3].attenuation, 0.5 * 30 + 0.5 * hydrogen, 1e-9);
}

TEST(CombineCoefficientTables, AddedEnergyIsInterpolatedLogLogInTheOtherElements) {
    WorkingDirectory directory;
    writeElement("01_H.mut", {{0.001, 7}, {0.01, 10}, {0.1, 1}, {1.0, 0.1}});
    writeElement("06_C.mut", {{0.001, 7}, {0.01, 10}, {0.031623, 1}, {0.1, 1}, {1.0, 0.1}});
    std::string error;
    const auto combined = combineCoefficientTables(
        DataDirectory::working(),
        recipeOfFiles(Weighting::byWeight, {{"06_C.mut", 0}, {"01_H.mut", 1}}), error);
    ASSERT_TRUE(combined) << error;
    ASSERT_EQ(combined->rows.size(), 5U);
    EXPECT_EQ(combined->rows[2].energy, 0.031623);
    EXPECT_NEAR(combined->rows[2].attenuation, 3.162, 5e-4);
}

using FailureCase = testing::CombinationFailure;

class CombineCoefficientTablesFailure : public ::testing::TestWithParam<FailureCase> {};

void writeFaultyElements() {
    writeElement("01_H.mut", kHydrogen);
    writeElement("02_He.mut", {{0.001, 7}, {0.01, 0.4}, {1.0, 0.1}});
    writeElement("03_Li.mut", {{0.001, 7}, {0.01, 0.4}, {0.1, 0.3}, {0.5, 0.2}, {1.0, 0.1}});
    writeElement("04_Be.mut", {{0.001, 7}, {0.01, 0.4}, {0.1, 0.3}, {1.0, 0.1}, {2.0, 0.1}});
    std::vector<Row> many = kHydrogen;
    for (int i = 0; i < 147; ++i) {
        many.push_back({1.0 + 0.01 * (i + 1), 0.1});
    }
    writeElement("05_B.mut", many);
}

TEST_P(CombineCoefficientTablesFailure, IsAnErrorNotACrash) {
    WorkingDirectory directory;
    writeFaultyElements();
    std::string error;
    EXPECT_EQ(combineCoefficientTables(DataDirectory::working(),
                                       recipeOfFiles(Weighting::byWeight, GetParam().rows), error),
              std::nullopt);
    EXPECT_NE(error.find(GetParam().expected), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CombineCoefficientTablesFailure,
    ::testing::Values(
        FailureCase{"missing_table", {{"01_H.mut", 1}, {"10_Ne.mut", 1}}, "10_Ne.mut"},
        FailureCase{"no_element", {{"99_X.mut", 1}}, "atomic number 99"},
        FailureCase{"hydrogen_energy_missing", {{"02_He.mut", 1}}, "hydrogen energy"},
        FailureCase{"added_energy_above_last_row",
                    {{"04_Be.mut", 1}, {"01_H.mut", 1}},
                    "above its last row"},
        FailureCase{"more_than_150_energies", {{"05_B.mut", 1}, {"03_Li.mut", 1}}, "150"},
        FailureCase{"shares_sum_to_zero", {{"01_H.mut", 0}}, "add up to 0"},
        FailureCase{"sixteen_elements",
                    std::vector<std::pair<const char*, double>>(16, {"01_H.mut", 1}), "1 to 15"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) {
        return std::string(info.param.label);
    });

TEST(CombineCoefficientTables, HydrogenTableIsNeededAndLimitedTo50Energies) {
    WorkingDirectory directory;
    writeElement("08_O.mut", kHydrogen);
    std::string error;
    EXPECT_EQ(combineCoefficientTables(DataDirectory::working(),
                                       recipeOfFiles(Weighting::byWeight, {{"08_O.mut", 1}}),
                                       error),
              std::nullopt);
    EXPECT_NE(error.find("01_H.mut"), std::string::npos) << error;
    std::vector<Row> fiftyOne;
    for (int i = 0; i < 51; ++i) {
        fiftyOne.push_back({0.001 * (i + 1), 1});
    }
    writeElement("01_H.mut", fiftyOne);
    EXPECT_EQ(combineCoefficientTables(DataDirectory::working(),
                                       recipeOfFiles(Weighting::byWeight, {{"01_H.mut", 1}}),
                                       error),
              std::nullopt);
    EXPECT_NE(error.find("50"), std::string::npos) << error;
}

} // namespace
} // namespace tarvo
