#include "common/formula.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace tarvo {
namespace {

struct GoodFormula {
    const char* text;
    std::map<int, double> atoms;
};

TEST(ParseFormula, CountsTheAtomsOfEveryElement) {
    const GoodFormula cases[] = {{"H2O", {{1, 2}, {8, 1}}},
                                 {"Ca5(PO4)3OH", {{20, 5}, {15, 3}, {8, 13}, {1, 1}}},
                                 {"CuSO4·5H2O", {{29, 1}, {16, 1}, {8, 9}, {1, 10}}},
                                 {"CuSO4*5H2O", {{29, 1}, {16, 1}, {8, 9}, {1, 10}}},
                                 {"Mg(OH)2", {{12, 1}, {8, 2}, {1, 2}}},
                                 {"K4(Fe(CN)6)", {{19, 4}, {26, 1}, {6, 6}, {7, 6}}},
                                 {"C0.5H1.25", {{6, 0.5}, {1, 1.25}}},
                                 {"U", {{92, 1}}},
                                 {"NaCl", {{11, 1}, {17, 1}}}};
    for (const GoodFormula& c : cases) {
        FormulaError error;
        const auto elements = parseFormula(c.text, error);
        ASSERT_TRUE(elements) << c.text << ": " << error.message;
        std::map<int, double> atoms;
        for (const FormulaElement& e : *elements) {
            atoms[e.atomicNumber] = e.atoms;
        }
        EXPECT_EQ(atoms, c.atoms) << c.text;
    }
    FormulaError error;
    // The elements keep the order in which they first appear.
    EXPECT_EQ(parseFormula("Ca5(PO4)3OH", error)->front().atomicNumber, 20);
}

struct BadFormula {
    const char* text;
    std::size_t position;
    const char* message;
};

TEST(ParseFormula, RefusesWithThePlaceAndTheReason) {
    const BadFormula cases[] = {{"", 1, "empty"},
                                {"Xx2", 1, "unknown element symbol \"Xx\""},
                                {"H2O)", 4, "\")\" without its \"(\""},
                                {"(C2H4)n", 7, "a count must be a number, not \"n\""},
                                {"(H2O", 1, "\"(\" is not closed"},
                                {"h2o", 1, "capital letter"},
                                {"H0", 2, "more than 0"},
                                {"H2O·", 5, "holds no element"},
                                {"H2 O", 3, "unexpected \" \""},
                                {"Pu", 1, "unknown element symbol \"Pu\""},
                                {"()", 1, "a group holds no element"},
                                {"(H*O)", 3, "inside a group"}};
    for (const BadFormula& c : cases) {
        FormulaError error;
        EXPECT_FALSE(parseFormula(c.text, error)) << c.text;
        EXPECT_EQ(error.position, c.position) << c.text << ": " << error.message;
        EXPECT_NE(error.message.find(c.message), std::string::npos)
            << c.text << ": " << error.message;
    }
    FormulaError error;
    parseFormula("Xx2", error);
    EXPECT_EQ(describe("Xx2", error), "Xx2: unknown element symbol \"Xx\" at character 1");
}

TEST(WeightFractions, WeighEachElementsAtomsByItsAtomicWeight) {
    const std::map<int, double> weights{{1, 1.008}, {8, 15.999}};
    const auto weight = [&](int z) -> std::optional<double> {
        const auto found = weights.find(z);
        return found == weights.end() ? std::nullopt : std::make_optional(found->second);
    };
    FormulaError error;
    const auto fractions = weightFractions(*parseFormula("H2O", error), weight);
    ASSERT_TRUE(fractions);
    EXPECT_NEAR((*fractions)[0], 2 * 1.008 / (2 * 1.008 + 15.999), 1e-15);
    EXPECT_NEAR((*fractions)[0] + (*fractions)[1], 1.0, 1e-15);
    EXPECT_FALSE(weightFractions(*parseFormula("NaCl", error), weight));
}

} // namespace
} // namespace tarvo
