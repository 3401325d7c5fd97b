#include "formula.h"

#include "common/elements.h"
#include "common/numeric_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tarvo {
namespace {

// The middle dot of hydrates in UTF-8.
constexpr std::string_view kMiddleDot = "\xc2\xb7";

bool isUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isLower(char c) {
    return c >= 'a' && c <= 'z';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// How a "." between digits is read: a decimal point always, or a hydrate separator where it
// follows a complete unit and comes before a whole multiplier and a formula unit.
enum class DotReading { decimal, hydrate };

class FormulaParser {
  public:
    FormulaParser(std::string_view text, FormulaError& error, DotReading dots)
        : m_text(text), m_error(error), m_dots(dots) {}

    // Where the hydrate dots taken stand: the unit before each and the end of its multiplier.
    struct HydrateDot {
        size_t unitStart = 0;
        size_t multiplierEnd = 0;
    };
    const std::vector<HydrateDot>& hydrateDots() const { return m_hydrateDots; }
    // How far the text was read when it failed.
    size_t failedAt() const { return m_failedAt; }

    std::optional<std::vector<FormulaElement>> parse() {
        if (m_text.empty()) {
            return fail(0, "the formula is empty");
        }
        std::vector<FormulaElement> all;
        while (true) {
            const size_t partStart = m_at;
            const double multiplier = atEnd() || !isDigit(peek()) ? 1.0 : count(1.0);
            std::vector<FormulaElement> part;
            if (!groups(part, 0)) {
                return std::nullopt;
            }
            if (part.empty()) {
                return fail(partStart, "a part of the formula holds no element");
            }
            addAll(all, part, multiplier);
            if (atEnd()) {
                return m_failed ? std::nullopt : std::make_optional(all);
            }
            if (!separator()) {
                return fail(m_at, "unexpected \"" + characterHere() + "\"");
            }
        }
    }

  private:
    bool atEnd() const { return m_at >= m_text.size(); }
    char peek() const { return m_text[m_at]; }
    // The whole character at the reading position, all the bytes of a UTF-8 one ("₂").
    std::string characterHere() const {
        size_t end = m_at + 1;
        while (end < m_text.size() && (static_cast<unsigned char>(m_text[end]) & 0xC0) == 0x80) {
            ++end;
        }
        return std::string(m_text.substr(m_at, end - m_at));
    }

    // Characters, not bytes: a middle dot is one character.
    size_t position(size_t byte) const {
        return static_cast<size_t>(std::count_if(
                   m_text.begin(), m_text.begin() + byte,
                   [](char c) { return (static_cast<unsigned char>(c) & 0xc0) != 0x80; })) +
               1;
    }

    std::nullopt_t fail(size_t byte, const std::string& message) {
        if (!m_failed) {
            m_error = {position(byte), message};
            m_failed = true;
            m_failedAt = byte;
        }
        return std::nullopt;
    }

    // Whether the "." at `dot`, at the outer level, separates a hydrate: the count before it
    // (digits from `countStart`, none meaning 1) is a whole number above 0, and after it come
    // a whole multiplier above 0 (or none) and an element or a group.
    bool hydrateDotAt(size_t dot, size_t countStart, int depth) const {
        if (m_dots != DotReading::hydrate || depth > 0 || dot >= m_text.size() ||
            m_text[dot] != '.' || !wholeAboveZero(countStart, dot, true)) {
            return false;
        }
        size_t after = dot + 1;
        while (after < m_text.size() && isDigit(m_text[after])) {
            ++after;
        }
        return after < m_text.size() && (isUpper(m_text[after]) || m_text[after] == '(') &&
               wholeAboveZero(dot + 1, after, true);
    }

    // Digits from `begin` to `end` forming a whole number above 0; `noneIsOne` allows none.
    bool wholeAboveZero(size_t begin, size_t end, bool noneIsOne) const {
        if (begin == end) {
            return noneIsOne;
        }
        const std::string_view digits = m_text.substr(begin, end - begin);
        return std::all_of(digits.begin(), digits.end(), isDigit) &&
               digits.find_first_not_of('0') != std::string_view::npos;
    }

    bool separator() {
        if (peek() == '*') {
            ++m_at;
            return true;
        }
        if (peek() == '.' && hydrateDotAt(m_at, m_at, 0)) {
            size_t end = m_at + 1;
            while (end < m_text.size() && isDigit(m_text[end])) {
                ++end;
            }
            m_hydrateDots.push_back({m_lastUnitStart, end});
            ++m_at;
            return true;
        }
        if (m_text.substr(m_at, kMiddleDot.size()) == kMiddleDot) {
            m_at += kMiddleDot.size();
            return true;
        }
        return false;
    }

    // A count after an element, a group or at the start of a part; `absent` when none.
    double count(double absent, int depth = 0) {
        const size_t start = m_at;
        while (!atEnd() && (isDigit(peek()) || peek() == '.')) {
            if (hydrateDotAt(m_at, start, depth)) {
                break;
            }
            ++m_at;
        }
        if (!atEnd() && isLower(peek())) {
            fail(m_at, "a count must be a number, not \"" + std::string(1, peek()) + "\"");
            return 0.0;
        }
        if (start == m_at) {
            return absent;
        }
        const std::string_view digits = m_text.substr(start, m_at - start);
        const std::optional<double> value = strictNumber(digits);
        if (!value || !(*value > 0)) {
            fail(start, "\"" + std::string(digits) + "\" is not a count of more than 0");
            return 0.0;
        }
        return *value;
    }

    static void addAll(std::vector<FormulaElement>& to, const std::vector<FormulaElement>& from,
                       double factor) {
        for (const FormulaElement& element : from) {
            auto found = std::find_if(to.begin(), to.end(), [&](const FormulaElement& e) {
                return e.atomicNumber == element.atomicNumber;
            });
            if (found == to.end()) {
                to.push_back({element.atomicNumber, element.atoms * factor});
            } else {
                found->atoms += element.atoms * factor;
            }
        }
    }

    bool element(std::vector<FormulaElement>& out, int depth) {
        const size_t start = m_at;
        m_lastUnitStart = start;
        ++m_at;
        while (!atEnd() && isLower(peek()) && m_at - start < 2) {
            ++m_at;
        }
        const std::string symbol(m_text.substr(start, m_at - start));
        const int z = atomicNumberOf(symbol);
        if (z == 0) {
            fail(start, "unknown element symbol \"" + symbol + "\"");
            return false;
        }
        const double atoms = count(1.0, depth);
        m_lastUnitStart = start;
        addAll(out, {{z, atoms}}, 1.0);
        return !m_failed;
    }

    bool group(std::vector<FormulaElement>& out, int depth) {
        const size_t open = m_at;
        if (m_openGroups == kMaxGroupNesting) {
            fail(open, "brackets nest deeper than " + std::to_string(kMaxGroupNesting) + " levels");
            return false;
        }
        ++m_at;
        std::vector<FormulaElement> inner;
        ++m_openGroups;
        const bool read = groups(inner, depth + 1);
        --m_openGroups;
        if (!read) {
            return false;
        }
        if (atEnd() || peek() != ')') {
            fail(open, "\"(\" is not closed");
            return false;
        }
        if (inner.empty()) {
            fail(open, "a group holds no element");
            return false;
        }
        ++m_at;
        const double factor = count(1.0, depth - 1);
        m_lastUnitStart = open;
        addAll(out, inner, factor);
        return !m_failed;
    }

    // Elements and groups up to the end, a separator, or the ")" of an open group.
    bool groups(std::vector<FormulaElement>& out, int depth) {
        while (!atEnd() && !m_failed) {
            const char c = peek();
            if (isUpper(c)) {
                element(out, depth);
            } else if (c == '(') {
                group(out, depth + 1);
            } else if (c == ')') {
                if (depth == 0) {
                    fail(m_at, "\")\" without its \"(\"");
                }
                return !m_failed;
            } else if (c == '*' || m_text.substr(m_at, kMiddleDot.size()) == kMiddleDot ||
                       (c == '.' && hydrateDotAt(m_at, m_at, depth))) {
                if (depth > 0) {
                    fail(m_at, "a hydrate's \"" + std::string(c == '*' ? "*" : "·") +
                                   "\" inside a group");
                }
                return !m_failed;
            } else if (isLower(c)) {
                fail(m_at, "an element symbol starts with a capital letter");
            } else if (isDigit(c)) {
                fail(m_at, "a count must follow an element or a \")\"");
            } else {
                fail(m_at, "unexpected \"" + characterHere() + "\"");
            }
        }
        return !m_failed;
    }

    std::string_view m_text;
    FormulaError& m_error;
    DotReading m_dots;
    size_t m_at = 0;
    int m_openGroups = 0;
    bool m_failed = false;
    size_t m_failedAt = 0;
    size_t m_lastUnitStart = 0;
    std::vector<HydrateDot> m_hydrateDots;
};

} // namespace

namespace {

bool sameAtoms(const std::vector<FormulaElement>& a, const std::vector<FormulaElement>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const FormulaElement& x, const FormulaElement& y) {
                          return x.atomicNumber == y.atomicNumber &&
                                 std::fabs(x.atoms - y.atoms) <= 1e-12 * std::fabs(x.atoms);
                      });
}

// The formula with each hydrate dot's unit and decimal count in parentheses: "CuS(O4.5)H2O".
std::string decimalSpelling(std::string_view formula,
                            const std::vector<FormulaParser::HydrateDot>& dots) {
    std::string text(formula);
    for (auto dot = dots.rbegin(); dot != dots.rend(); ++dot) {
        text.insert(dot->multiplierEnd, ")");
        text.insert(dot->unitStart, "(");
    }
    return text;
}

} // namespace

std::optional<FormulaReading> readFormula(std::string_view formula, FormulaError& error) {
    FormulaError hydrateError;
    FormulaError decimalError;
    FormulaParser hydrate(formula, hydrateError, DotReading::hydrate);
    FormulaParser decimal(formula, decimalError, DotReading::decimal);
    const auto asHydrate = hydrate.parse();
    const auto asDecimal = decimal.parse();
    if (!asHydrate && !asDecimal) {
        error = hydrate.failedAt() > decimal.failedAt() ? hydrateError : decimalError;
        return std::nullopt;
    }
    if (!asHydrate) {
        return FormulaReading{*asDecimal, {}};
    }
    FormulaReading reading{*asHydrate, {}};
    if (asDecimal && !sameAtoms(*asHydrate, *asDecimal)) {
        reading.note = "\"" + std::string(formula) + "\" is read as a hydrate (" +
                       atomsText(*asHydrate) + "); for decimal counts (" + atomsText(*asDecimal) +
                       ") write " + decimalSpelling(formula, hydrate.hydrateDots());
    }
    return reading;
}

std::optional<std::vector<FormulaElement>> parseFormula(std::string_view formula,
                                                        FormulaError& error) {
    auto reading = readFormula(formula, error);
    return reading ? std::make_optional(std::move(reading->elements)) : std::nullopt;
}

std::string atomsText(const std::vector<FormulaElement>& elements) {
    std::string text;
    char atoms[32];
    for (const FormulaElement& element : elements) {
        std::snprintf(atoms, sizeof atoms, "%.10g", element.atoms);
        text += (text.empty() ? "" : ", ") + elementSymbol(element.atomicNumber) + " " + atoms;
    }
    return text;
}

std::string describe(std::string_view formula, const FormulaError& error) {
    return elided(formula) + ": " + error.message + " at character " +
           std::to_string(error.position);
}

std::optional<std::vector<double>>
weightFractions(const std::vector<FormulaElement>& elements,
                const std::function<std::optional<double>(int z)>& atomicWeight) {
    std::vector<double> masses;
    double total = 0.0;
    for (const FormulaElement& element : elements) {
        const std::optional<double> weight = atomicWeight(element.atomicNumber);
        if (!weight || !(*weight > 0)) {
            return std::nullopt;
        }
        masses.push_back(element.atoms * *weight);
        total += masses.back();
    }
    for (double& mass : masses) {
        mass /= total;
    }
    return masses;
}

} // namespace tarvo
