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
struct FormulaError {
    std::size_t position = 0;
    std::string message;
};

// Parses a chemical formula: element symbols H to U, each with a count (decimals allowed,
// 1 when left out), groups in parentheses (nested) with a count, and hydrate parts after
// "·" or "*" with a leading count ("CuSO4·5H2O"). The elements in the order they first
// appear, each with all its atoms; nothing, with `error` set, when it is not a formula.
std::optional<std::vector<FormulaElement>> parseFormula(std::string_view formula,
                                                        FormulaError& error);

// A formula error as one line: "Xx2: unknown element symbol "Xx" at character 1".
std::string describe(std::string_view formula, const FormulaError& error);

// The fractions by weight of a formula's elements, in their order, from the atomic weight
// (g/mol) `atomicWeight` gives for an atomic number; nothing when one is missing.
std::optional<std::vector<double>>
weightFractions(const std::vector<FormulaElement>& elements,
                const std::function<std::optional<double>(int z)>& atomicWeight);

} // namespace tarvo
