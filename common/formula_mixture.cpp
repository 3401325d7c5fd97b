#include "formula_mixture.h"

#include "common/numeric_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace tarvo {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// Characters before a byte offset, a middle dot counting once.
size_t characterPosition(std::string_view text, size_t byte) {
    return static_cast<size_t>(std::count_if(
               text.begin(), text.begin() + byte,
               [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; })) +
           1;
}

// One component between `begin` and `end` of the text.
std::optional<ComponentShare> componentAt(std::string_view text, size_t begin, size_t end,
                                          FormulaError& error) {
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    size_t split = end;
    while (split > begin && !isBlank(text[split - 1]) && text[split - 1] != ':') {
        --split;
    }
    const std::optional<double> share = strictNumber(text.substr(split, end - split));
    size_t formulaEnd = split;
    while (formulaEnd > begin && (isBlank(text[formulaEnd - 1]) || text[formulaEnd - 1] == ':')) {
        --formulaEnd;
    }
    if (split == begin || formulaEnd == begin || !share || !(*share > 0)) {
        error = {characterPosition(text, begin),
                 "each component is a formula and a share by weight above 0"};
        return std::nullopt;
    }
    const std::string_view formula = text.substr(begin, formulaEnd - begin);
    FormulaError inner;
    if (!parseFormula(formula, inner)) {
        error = {characterPosition(text, begin) + inner.position - 1, inner.message};
        return std::nullopt;
    }
    return ComponentShare{std::string(formula), *share, characterPosition(text, begin)};
}

} // namespace

std::optional<std::vector<ComponentShare>> parseComponents(std::string_view text,
                                                           FormulaError& error) {
    std::vector<ComponentShare> components;
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find_first_of(";,\n", begin);
        end = end == std::string_view::npos ? text.size() : end;
        const bool blank = std::all_of(text.begin() + begin, text.begin() + end, isBlank);
        if (!blank) {
            const auto component = componentAt(text, begin, end, error);
            if (!component) {
                return std::nullopt;
            }
            components.push_back(*component);
        }
        begin = end + 1;
    }
    if (components.empty()) {
        error = {1, "no component is given"};
        return std::nullopt;
    }
    return components;
}

std::optional<std::vector<ElementWeight>>
mixtureWeights(std::string_view text,
               const std::function<std::optional<double>(int z)>& atomicWeight,
               FormulaError& error) {
    const auto components = parseComponents(text, error);
    if (!components) {
        return std::nullopt;
    }
    std::vector<ElementWeight> elements;
    double total = 0.0;
    for (const ComponentShare& component : *components) {
        const auto atoms = parseFormula(component.formula, error);
        const auto fractions = weightFractions(*atoms, atomicWeight);
        if (!fractions) {
            error = {component.position,
                     "an atomic weight of " + component.formula + " cannot be read"};
            return std::nullopt;
        }
        for (size_t k = 0; k < atoms->size(); ++k) {
            const int z = (*atoms)[k].atomicNumber;
            auto found = std::find_if(elements.begin(), elements.end(),
                                      [z](const ElementWeight& e) { return e.atomicNumber == z; });
            if (found == elements.end()) {
                elements.push_back({z, 0.0});
                found = elements.end() - 1;
            }
            found->fraction += component.share * (*fractions)[k];
        }
        total += component.share;
    }
    for (ElementWeight& element : elements) {
        element.fraction /= total;
    }
    return elements;
}

namespace {

// The notes of the components' formulas, one per line.
std::string componentNotes(std::string_view text) {
    FormulaError error;
    std::string notes;
    for (const ComponentShare& component :
         parseComponents(text, error).value_or(std::vector<ComponentShare>{})) {
        const auto reading = readFormula(component.formula, error);
        if (reading && !reading->note.empty()) {
            notes += (notes.empty() ? "" : "\n") + reading->note;
        }
    }
    return notes;
}

} // namespace

std::optional<std::vector<FormulaRow>>
formulaRows(std::string_view text, bool byAtoms,
            const std::function<std::optional<double>(int z)>& atomicWeight, std::string& error,
            std::string& note) {
    FormulaError formulaError;
    std::vector<FormulaRow> rows;
    char amount[32];
    if (byAtoms) {
        const auto reading = readFormula(text, formulaError);
        if (!reading) {
            error = describe(text, formulaError);
            return std::nullopt;
        }
        note = reading->note;
        for (const FormulaElement& element : reading->elements) {
            std::snprintf(amount, sizeof amount, "%.10g", element.atoms);
            rows.push_back({element.atomicNumber, amount, element.atoms});
        }
        return rows;
    }
    const auto elements = mixtureWeights(text, atomicWeight, formulaError);
    if (!elements) {
        error = describe(text, formulaError);
        return std::nullopt;
    }
    note = componentNotes(text);
    for (const ElementWeight& element : *elements) {
        std::snprintf(amount, sizeof amount, "%.8g", 100.0 * element.fraction);
        rows.push_back({element.atomicNumber, amount, 100.0 * element.fraction});
    }
    return rows;
}

} // namespace tarvo
