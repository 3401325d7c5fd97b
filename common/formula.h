#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// One element of a formula and its number of atoms.
struct FormulaElement {
    int atomicNumber = 0;
    double atoms = 0.0;
};

// Where a formula went wrong: the character, counted from 1, and why.
// How deep groups in parentheses may nest: deeper is refused, never read.
inline constexpr int kMaxGroupNesting = 100;

struct FormulaError {
    std::size_t position = 0;
    std::string message;
};

// A formula as it was read: its elements, and a note where a "." could be read two ways.
struct FormulaReading {
    std::vector<FormulaElement> elements;
    std::string note; // empty unless the reading taken is not the only one
};

// Reads a chemical formula: element symbols H to U, each with a count (decimals allowed,
// 1 when left out), groups in parentheses (nested) with a count, and hydrate parts after
// "·", "*" or "." with a leading count ("CuSO4·5H2O", "CuSO4.5H2O"). A "." after a complete
// unit (a whole count above 0, or none) and before a whole multiplier and an element or
// group separates a hydrate; any other "." is a decimal point ("Fe0.95O"). Where both
// readings are formulas with different atoms ("Li2.1O"), the hydrate is taken and the note
// says how to write the other. The elements in the order they first appear, each with all
// its atoms; nothing, with `error` set, when it is not a formula.
std::optional<FormulaReading> readFormula(std::string_view formula, FormulaError& error);

// The elements of readFormula alone.
std::optional<std::vector<FormulaElement>> parseFormula(std::string_view formula,
                                                        FormulaError& error);

// The atoms of each element as read: "Cu 1, S 1, O 9, H 10".
std::string atomsText(const std::vector<FormulaElement>& elements);

// A formula error as one line: "Xx2: unknown element symbol "Xx" at character 1".
std::string describe(std::string_view formula, const FormulaError& error);

// The fractions by weight of a formula's elements, in their order, from the atomic weight
// (g/mol) `atomicWeight` gives for an atomic number; nothing when one is missing.
std::optional<std::vector<double>>
weightFractions(const std::vector<FormulaElement>& elements,
                const std::function<std::optional<double>(int z)>& atomicWeight);

} // namespace tarvo
