#include "common/formula_mixture.h"

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

// Brackets nest up to 100 levels; deeper ones, up to 50 000 (a stack's end once), are
// refused at the first bracket too many, and the message quotes the formula's start only.
TEST(ParseFormula, NestingHasALimit) {
    const auto nested = [](size_t levels) {
        return std::string(levels, '(') + "H" + std::string(levels, ')') + "2";
    };
    FormulaError error;
    const auto deepest = parseFormula(nested(kMaxGroupNesting), error);
    ASSERT_TRUE(deepest) << error.message;
    EXPECT_EQ(deepest->front().atoms, 2);
    for (const size_t levels : {size_t(101), size_t(50000)}) {
        const std::string formula = nested(levels);
        EXPECT_FALSE(parseFormula(formula, error)) << levels;
        EXPECT_EQ(error.position, 101U);
        EXPECT_NE(error.message.find("deeper than 100 levels"), std::string::npos);
        EXPECT_LT(describe(formula, error).size(), 200U);
    }
}

struct DotCase {
    const char* text;
    std::map<int, double> atoms;
    const char* otherSpelling; // empty: one reading only
};

std::map<int, double> atomsOf(const std::vector<FormulaElement>& elements) {
    std::map<int, double> atoms;
    for (const FormulaElement& e : elements) {
        atoms[e.atomicNumber] = e.atoms;
    }
    return atoms;
}

// The ASCII dot is the hydrate's centre dot after a complete unit and before a whole
// multiplier and a unit; elsewhere a decimal point. Where both readings are formulas, the
// note names the other and a spelling that reads as it.
TEST(ReadFormula, AnAsciiDotSeparatesAHydrateOnlyWhereChemistsMeanIt) {
    const DotCase cases[] = {
        {"CuSO4.5H2O", {{29, 1}, {16, 1}, {8, 9}, {1, 10}}, "CuS(O4.5)H2O"},
        {"CaSO4.2H2O", {{20, 1}, {16, 1}, {8, 6}, {1, 4}}, "CaS(O4.2)H2O"},
        {"Na2CO3.10H2O", {{11, 2}, {6, 1}, {8, 13}, {1, 20}}, "Na2C(O3.10)H2O"},
        {"Li2.1O", {{3, 2}, {8, 1}}, "(Li2.1)O"},
        {"Mg(OH)2.3H2O", {{12, 1}, {8, 5}, {1, 8}}, "Mg((OH)2.3)H2O"},
        {"Fe0.95O", {{26, 0.95}, {8, 1}}, ""},
        {"Ca0.5Sr0.5TiO3", {{20, 0.5}, {38, 0.5}, {22, 1}, {8, 3}}, ""},
        {"C6H12O6.H2O", {{6, 6}, {1, 14}, {8, 7}}, ""},
        {"H2.5", {{1, 2.5}}, ""},
        {"(H2.5O)2", {{1, 5}, {8, 2}}, ""}};
    for (const DotCase& c : cases) {
        FormulaError error;
        const auto reading = readFormula(c.text, error);
        ASSERT_TRUE(reading) << c.text << ": " << error.message;
        EXPECT_EQ(atomsOf(reading->elements), c.atoms) << c.text;
        if (*c.otherSpelling == '\0') {
            EXPECT_EQ(reading->note, "") << c.text;
            continue;
        }
        EXPECT_NE(reading->note.find(c.otherSpelling), std::string::npos) << reading->note;
        FormulaError otherError;
        const auto other = readFormula(c.otherSpelling, otherError);
        ASSERT_TRUE(other) << c.otherSpelling << ": " << otherError.message;
        EXPECT_EQ(other->note, "") << c.otherSpelling;
        EXPECT_NE(atomsOf(other->elements), c.atoms) << c.otherSpelling;
        EXPECT_NE(reading->note.find(atomsText(other->elements)), std::string::npos)
            << reading->note;
    }
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

struct ComponentsCase {
    const char* text;
    std::size_t position; // 0: accepted
    const char* message;
};

// Components by weight, in every written form, and the place of what is wrong.
TEST(ParseComponents, ReadsFormulasWithSharesOrSaysWhere) {
    const ComponentsCase cases[] = {{"H2O 90; NaCl 10", 0, ""},
                                    {"H2O:0.9, NaCl:0.1", 0, ""},
                                    {"H2O 90\nNaCl 10\n", 0, ""},
                                    {"  CuSO4*5H2O  2.5 ;", 0, ""},
                                    {"H2O 90; NaCl", 9, "a share by weight above 0"},
                                    {"H2O -5", 1, "above 0"},
                                    {"H2O 0", 1, "above 0"},
                                    {"90", 1, "a formula and a share"},
                                    {"H2O 90; Xx 10", 9, "unknown element symbol \"Xx\""},
                                    {"H2O 90; NaCl) 10", 13, "without its"},
                                    {"", 1, "no component"},
                                    {" ; ", 1, "no component"}};
    for (const ComponentsCase& c : cases) {
        FormulaError error;
        const auto components = parseComponents(c.text, error);
        EXPECT_EQ(components.has_value(), c.position == 0) << c.text << ": " << error.message;
        if (c.position != 0) {
            EXPECT_EQ(error.position, c.position) << c.text << ": " << error.message;
            EXPECT_NE(error.message.find(c.message), std::string::npos)
                << c.text << ": " << error.message;
        }
    }
    FormulaError error;
    const auto two = parseComponents("H2O:0.9, NaCl:0.1", error);
    ASSERT_EQ(two->size(), 2U);
    EXPECT_EQ((*two)[1].formula, "NaCl");
    EXPECT_EQ((*two)[1].share, 0.1);
}

// 90 parts water and 10 parts salt by weight, worked by hand from the atomic weights:
// H 0.9 * 2.016/18.015, O 0.9 * 15.999/18.015, Na 0.1 * 22.99/58.44, Cl 0.1 * 35.45/58.44.
TEST(MixtureWeights, AddEachComponentsElementsByItsShare) {
    const std::map<int, double> weights{{1, 1.008}, {8, 15.999}, {11, 22.99}, {17, 35.45}};
    const auto weight = [&](int z) -> std::optional<double> {
        const auto found = weights.find(z);
        return found == weights.end() ? std::nullopt : std::make_optional(found->second);
    };
    FormulaError error;
    const auto elements = mixtureWeights("H2O 90; NaCl 10", weight, error);
    ASSERT_TRUE(elements) << error.message;
    const ElementWeight expected[] = {{1, 0.9 * 2.016 / 18.015},
                                      {8, 0.9 * 15.999 / 18.015},
                                      {11, 0.1 * 22.99 / 58.44},
                                      {17, 0.1 * 35.45 / 58.44}};
    ASSERT_EQ(elements->size(), 4U);
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_EQ((*elements)[k].atomicNumber, expected[k].atomicNumber);
        EXPECT_NEAR((*elements)[k].fraction, expected[k].fraction, 1e-12);
    }
    // Oxygen of both components adds up; the shares need not sum to 1.
    const auto both = mixtureWeights("H2O 1; O2 1", weight, error);
    ASSERT_EQ(both->size(), 2U);
    EXPECT_NEAR((*both)[1].fraction, 0.5 * 15.999 / 18.015 + 0.5, 1e-12);
    EXPECT_FALSE(mixtureWeights("H2O 1; KCl 1", weight, error));
    EXPECT_EQ(error.position, 8U);
}

} // namespace
} // namespace tarvo
