#include "reference_data.h"

#include "common/number_format.h"
#include "common/numeric_text.h"
#include "common/text_fields.h"
#include "common/text_file.h"

#include <xraylib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

namespace tarvo::tools {
namespace {

// Avogadro's number times 1e-24 cm2 per barn.
constexpr double kBarnToCm2PerMol = 0.60221367;

std::vector<std::string> tokensOf(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> tokens;
    for (std::string token; stream >> token;) {
        tokens.push_back(token);
    }
    return tokens;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    TextCursor cursor{text};
    while (const std::optional<std::string> line = readLine(cursor)) {
        lines.push_back(*line);
    }
    return lines;
}

} // namespace

std::optional<XcomElement> readXcomElement(const std::string& path, std::string& error) {
    const std::optional<std::string> content = readTextFile(path, error);
    if (!content) {
        error = path + ": " + error;
        return std::nullopt;
    }
    const std::vector<std::string> tokens = tokensOf(*content);
    size_t next = 0;
    const auto number = [&]() {
        return next < tokens.size() ? tableNumericValue(tokens[next++]) : 0.0;
    };
    XcomElement element;
    element.atomicNumber = static_cast<int>(number());
    element.atomicWeight = number();
    element.atomicWeightText = singlePrecisionText(element.atomicWeight);
    const int edgeCount = static_cast<int>(number());
    const int energyCount = static_cast<int>(number());
    if (element.atomicWeight <= 0 || energyCount < 2 || edgeCount < 0 ||
        tokens.size() <
            4 + 3 * static_cast<size_t>(edgeCount) + 6 * static_cast<size_t>(energyCount)) {
        error = path + ": not an XCOM element file";
        return std::nullopt;
    }
    std::vector<int> edgeIndexes;
    for (int i = 0; i < edgeCount; ++i) {
        edgeIndexes.push_back(static_cast<int>(number()));
    }
    for (int i = 0; i < edgeCount; ++i) {
        element.edges.push_back({tokens[next++], 0.0, 0});
    }
    for (XcomEdge& edge : element.edges) {
        edge.energy = number() * 1e-6;
    }
    element.rows.resize(static_cast<size_t>(energyCount));
    element.upperEdgeRow.assign(static_cast<size_t>(energyCount), false);
    for (XcomRow& row : element.rows) {
        row.energy = number() * 1e-6;
    }
    for (int c = 0; c < 5; ++c) {
        for (XcomRow& row : element.rows) {
            row.values[c] = number() * kBarnToCm2PerMol / element.atomicWeight;
        }
    }
    for (size_t e = 0; e < edgeIndexes.size(); ++e) {
        const int index = edgeIndexes[e];
        if (index < 2 || index > energyCount) {
            error = path + ": an edge index lies outside the energies";
            return std::nullopt;
        }
        element.edges[e].upperRow = static_cast<size_t>(index - 1);
        element.upperEdgeRow[static_cast<size_t>(index - 1)] = true;
    }
    return element;
}

std::string singlePrecisionText(double value) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, static_cast<float>(value));
    return std::string(text, written.ptr);
}

namespace {

// Significant digits of a number's shortest decimal: 11.35 has four, 8.4e-05 two.
int significantDigits(double value) {
    const std::string text = shortestText(value);
    const std::string digits = text.substr(0, text.find_first_of("eE"));
    const size_t first = digits.find_first_of("123456789");
    if (first == std::string::npos) {
        return 0;
    }
    return static_cast<int>(std::count_if(digits.begin() + static_cast<long>(first), digits.end(),
                                          [](char c) { return c >= '0' && c <= '9'; }));
}

} // namespace

double refinedDensity(int atomicNumber, double published) {
    const double precise = ElementDensity(atomicNumber, nullptr);
    const bool agrees = precise > 0 && std::fabs(precise - published) <= 0.01 * published;
    return agrees && significantDigits(precise) > significantDigits(published) ? precise
                                                                               : published;
}

std::vector<std::string> splitCsvLine(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back().push_back(c);
        }
    }
    return fields;
}

std::optional<std::vector<ElementFacts>> readElementFacts(const std::string& path,
                                                          std::string& error) {
    const std::optional<std::string> content = readTextFile(path, error);
    if (!content) {
        error = path + ": " + error;
        return std::nullopt;
    }
    std::vector<ElementFacts> facts;
    const std::vector<std::string> lines = linesOf(*content);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = splitCsvLine(lines[i]);
        if (fields.size() < 6) {
            continue;
        }
        facts.push_back({static_cast<int>(numericValue(fields[0])), fields[1], fields[2],
                         tableNumericValue(fields[5])});
    }
    return facts;
}

std::optional<std::vector<NistRow>> readNistTable(const std::string& path, std::string& error) {
    const std::optional<std::string> content = readTextFile(path, error);
    if (!content) {
        error = path + ": " + error;
        return std::nullopt;
    }
    std::vector<NistRow> rows;
    for (const std::string& line : linesOf(*content)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::vector<std::string> fields = splitCsvLine(line);
        if (fields.size() != 3) {
            error = path + ": a row without three fields: " + line;
            return std::nullopt;
        }
        rows.push_back({tableNumericValue(fields[0]), tableNumericValue(fields[1]),
                        tableNumericValue(fields[2])});
    }
    return rows;
}

std::optional<std::vector<MaterialFacts>> readMaterialFacts(const std::string& path,
                                                            std::string& error) {
    const std::optional<std::string> content = readTextFile(path, error);
    if (!content) {
        error = path + ": " + error;
        return std::nullopt;
    }
    std::vector<MaterialFacts> materials;
    const std::vector<std::string> lines = linesOf(*content);
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = splitCsvLine(lines[i]);
        if (fields.size() != 6) {
            continue;
        }
        MaterialFacts material{fields[0], fields[1], tableNumericValue(fields[2]),
                               fields[3], fields[4], {}};
        for (const std::string& pair : tokensOf(fields[5])) {
            const size_t colon = pair.find(':');
            material.composition.emplace_back(static_cast<int>(numericValue(pair.substr(0, colon))),
                                              tableNumericValue(pair.substr(colon + 1)));
        }
        materials.push_back(std::move(material));
    }
    return materials;
}

} // namespace tarvo::tools
