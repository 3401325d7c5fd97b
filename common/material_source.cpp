#include "material_source.h"

#include "coefview/coefficient_values.h"
#include "coefview/combine_coefficient_tables.h"
#include "common/elements.h"
#include "common/formula.h"
#include "common/numeric_text.h"
#include "common/text_file.h"
#include "xsview/combine_element_tables.h"
#include "xsview/values_at_energy.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <sstream>

namespace tarvo {
namespace {

bool sameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The atomic number a name gives as a number ("82"), 0 when it is none.
int atomicNumberAsNumber(const std::string& name) {
    const std::optional<double> z = strictNumber(name);
    return z && *z >= 1 && *z <= kLastElement && *z == std::floor(*z) ? static_cast<int>(*z) : 0;
}

// A table of a directory with one of the extensions whose own name (its first line) is
// `name` (any case): "Lead", "Water, Liquid".
std::optional<std::string> tableNamed(const DataDirectory& data, const std::string& directory,
                                      const std::string& name,
                                      const std::vector<const char*>& extensions) {
    for (const char* extension : extensions) {
        for (const std::string& file : listFiles(data.path(directory), extension)) {
            const std::string path = data.path(formPath(directory, file));
            std::string ignored;
            const auto header = std::string(extension).find("mu") != std::string::npos
                                    ? readCoefficientHeader(path, ignored)
                                    : readTableHeader(path, ignored);
            if (header && sameText(header->name, name)) {
                return path;
            }
        }
    }
    return std::nullopt;
}

// A table of a directory with one of the extensions whose stem is `stem` (any case).
std::optional<std::string> tableIn(const DataDirectory& data, const std::string& directory,
                                   const std::string& stem,
                                   const std::vector<const char*>& extensions) {
    for (const char* extension : extensions) {
        for (const std::string& file : listFiles(data.path(directory), extension)) {
            if (sameText(file.substr(0, file.size() - std::string(extension).size()), stem)) {
                return data.path(formPath(directory, file));
            }
        }
    }
    return std::nullopt;
}

std::string didYouMean(const DataDirectory& data, const std::string& name) {
    const std::vector<std::string> close = closestNames(data, name, Quantities::coefficients);
    std::string text;
    for (size_t n = 0; n < close.size(); ++n) {
        text += (n == 0 ? " (did you mean " : n + 1 == close.size() ? " or " : ", ") + close[n];
    }
    return text.empty() ? text : text + "?)";
}

// A mixture's component as a composition: a table's (an element's is itself), else a formula.
std::optional<std::vector<CompositionEntry>> componentOf(const DataDirectory& data,
                                                         const std::string& name,
                                                         RequestError& error,
                                                         std::vector<std::string>& notes) {
    const std::optional<std::string> path = findTable(data, name, Quantities::coefficients);
    if (path) {
        const auto table =
            loadCoefficientTable(*path, isMaterialCoefficientPath(*path), error.message);
        if (!table) {
            error.problem = RequestProblem::unreadable;
            return std::nullopt;
        }
        if (table->compositionCount == 0) {
            // An element table: "82_Pb.mut" is lead alone.
            const int z = static_cast<int>(numericValue(fileNamePart(*path).substr(0, 2)));
            return std::vector<CompositionEntry>{{z, 1.0}};
        }
        return std::vector<CompositionEntry>(table->composition.begin() + 1,
                                             table->composition.begin() + 1 +
                                                 table->compositionCount);
    }
    auto formula = compositionOf(data, {"", name, ""}, error, notes);
    if (!formula && error.problem == RequestProblem::syntax) {
        // Neither a table nor a formula: a misspelt table name is the likelier slip.
        const std::string suggestion = didYouMean(data, name);
        error.message = "--mixture: \"" + name + "\" is no table and no formula" +
                        (suggestion.empty() ? " (" + error.message + ")" : suggestion);
        error.problem = suggestion.empty() ? RequestProblem::syntax : RequestProblem::unknownName;
    }
    return formula;
}

// Shares that add up to 1 or to 100 are fractions or percentages as they stand.
bool sumsToWhole(double total) {
    return std::fabs(total - 1) < 1e-6 || std::fabs(total - 100) < 1e-4;
}

std::optional<std::vector<CompositionEntry>> mixtureOf(const DataDirectory& data,
                                                       const std::string& mixture,
                                                       RequestError& error,
                                                       std::vector<std::string>& notes) {
    std::map<int, double> weights;
    std::istringstream items(mixture);
    double total = 0.0;
    for (std::string text; std::getline(items, text, ',');) {
        const std::string item(trimBlanks(text));
        const size_t colon = item.rfind(':');
        const std::optional<double> share =
            colon == std::string::npos
                ? std::nullopt
                : strictNumber(trimBlanks(std::string_view(item).substr(colon + 1)));
        if (!share || !(*share > 0) || *share > 1e100) {
            error = {RequestProblem::syntax,
                     "--mixture: \"" + item + "\" is not a component and a share above 0"};
            return std::nullopt;
        }
        const auto component =
            componentOf(data, std::string(trimBlanks(item.substr(0, colon))), error, notes);
        if (!component) {
            return std::nullopt;
        }
        for (const CompositionEntry& entry : *component) {
            weights[entry.atomicNumber] += *share * entry.weightFraction;
        }
        total += *share;
    }
    std::vector<CompositionEntry> composition;
    for (const auto& [z, weight] : weights) {
        composition.push_back({z, weight / total});
    }
    if (composition.empty()) {
        error = {RequestProblem::syntax, "--mixture is empty"};
        return std::nullopt;
    }
    if (!sumsToWhole(total)) {
        char sum[32];
        std::snprintf(sum, sizeof sum, "%.6g", total);
        notes.push_back(std::string("the shares of the mixture add up to ") + sum +
                        ", not 1 or 100: each is taken as its part of that sum");
    }
    return composition;
}

bool combine(const DataDirectory& data, Material& material, Quantities quantities,
             std::string& error) {
    if (quantities == Quantities::coefficients) {
        const auto combined = combineCoefficientTables(data, recipeOf(material.composition), error);
        if (!combined) {
            return false;
        }
        material.coefficients = combined->rows;
        material.readings = readingTableOf(material.coefficients);
        return true;
    }
    const auto rows =
        combineElementTables(data, recipeOf(material.composition), kMixtureEdgeFactor, error);
    if (!rows) {
        return false;
    }
    material.crossSections = *rows;
    material.readings = readingTableOf(material.crossSections);
    return true;
}

// The atomic number of an element table ("82_Pb.ele", "82_Pb.mut"); 0 for any other.
int elementTableNumber(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    const std::string stem = std::filesystem::path(path).stem().string();
    const int z = atomicNumberOf(stem.size() > 3 ? stem.substr(3) : std::string());
    const bool element = (extension == ".ele" || extension == ".mut") && z != 0 &&
                         stem.substr(0, 3) == elementStem(z).substr(0, 3);
    return element ? z : 0;
}

bool loadTable(const std::string& path, Quantities quantities, Material& material,
               std::string& error) {
    if (quantities == Quantities::coefficients) {
        const auto table = loadCoefficientTable(path, isMaterialCoefficientPath(path), error);
        if (!table) {
            return false;
        }
        material.label = table->name;
        material.density = table->density;
        material.atomicNumber = elementTableNumber(path);
        material.coefficients.assign(table->rows.begin() + 1,
                                     table->rows.begin() + 1 + table->energyCount);
        material.composition.assign(table->composition.begin() + 1,
                                    table->composition.begin() + 1 + table->compositionCount);
        material.readings = readingTableOf(*table);
        return true;
    }
    const auto table = loadCrossSectionTable(path, error);
    if (!table) {
        return false;
    }
    material.label = table->name;
    material.density = table->density;
    material.atomicNumber = elementTableNumber(path);
    material.crossSections.assign(table->rows.begin() + 1,
                                  table->rows.begin() + 1 + table->rowCount);
    material.readings = readingTableOf(*table);
    return true;
}

} // namespace

Recipe recipeOf(const std::vector<CompositionEntry>& composition) {
    Recipe recipe{Weighting::byWeight, {}};
    for (const CompositionEntry& entry : composition) {
        recipe.items.push_back({entry.atomicNumber, entry.weightFraction});
    }
    return recipe;
}

std::optional<std::string> findTable(const DataDirectory& data, const std::string& name,
                                     Quantities quantities) {
    const bool coefficients = quantities == Quantities::coefficients;
    if (name.find('/') != std::string::npos && std::filesystem::is_regular_file(name)) {
        return name;
    }
    const int z = atomicNumberOf(name) != 0 ? atomicNumberOf(name) : atomicNumberAsNumber(name);
    const std::string elementDirectory = coefficients ? "mu_ele" : "ele";
    const char* elementExtension = coefficients ? ".mut" : ".ele";
    if (z != 0) {
        return tableIn(data, elementDirectory, elementStem(z), {elementExtension});
    }
    const std::string materialDirectory = coefficients ? "mu_mix" : "mix";
    // The extensions of material tables, held for the calls below.
    static const std::vector<const char*> coefficientExtensions{".mucm", ".muc2", ".muc3"};
    static const std::vector<const char*> crossSectionExtensions{".mix", ".mix2", ".mix3"};
    const std::vector<const char*>& materialExtensions =
        coefficients ? coefficientExtensions : crossSectionExtensions;
    if (auto byStem = tableIn(data, elementDirectory, name, {elementExtension})) {
        return byStem;
    }
    if (auto byStem = tableIn(data, materialDirectory, name, materialExtensions)) {
        return byStem;
    }
    // Then a table's own name: "Lead", "Water, Liquid".
    if (auto byName = tableNamed(data, elementDirectory, name, {elementExtension})) {
        return byName;
    }
    if (auto byName = tableNamed(data, materialDirectory, name, materialExtensions)) {
        return byName;
    }
    // Last, a symbol in any case: "pb", "PB".
    std::string symbol = name;
    std::transform(symbol.begin(), symbol.end(), symbol.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!symbol.empty()) {
        symbol[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(symbol[0])));
    }
    const int anyCase = atomicNumberOf(symbol);
    return anyCase != 0 ? tableIn(data, elementDirectory, elementStem(anyCase), {elementExtension})
                        : std::nullopt;
}

std::optional<std::vector<CompositionEntry>> compositionOf(const DataDirectory& data,
                                                           const MaterialRequest& request,
                                                           RequestError& error,
                                                           std::vector<std::string>& notes) {
    if (!request.mixture.empty()) {
        return mixtureOf(data, request.mixture, error, notes);
    }
    FormulaError formulaError;
    const auto reading = readFormula(request.formula, formulaError);
    if (!reading) {
        error = {RequestProblem::syntax, "--formula " + describe(request.formula, formulaError)};
        return std::nullopt;
    }
    if (!reading->note.empty()) {
        notes.push_back(reading->note);
    }
    const std::vector<FormulaElement>* elements = &reading->elements;
    const auto fractions =
        weightFractions(*elements, [&data](int z) { return shippedAtomicWeight(data, z); });
    if (!fractions) {
        error = {RequestProblem::unreadable,
                 "--formula " + request.formula + ": an element's atomic weight cannot be read"};
        return std::nullopt;
    }
    std::vector<CompositionEntry> composition;
    for (size_t k = 0; k < elements->size(); ++k) {
        composition.push_back({(*elements)[k].atomicNumber, (*fractions)[k]});
    }
    return composition;
}

namespace {

void prepareSplines(Material& material) {
    material.splines = prepareSplineReadings(material.readings,
                                             material.quantities == Quantities::coefficients
                                                 ? SplineColumns::coefficients
                                                 : SplineColumns::crossSections,
                                             material.splineError);
}

std::optional<Material> tableMaterial(const DataDirectory& data, const std::string& name,
                                      Quantities quantities, RequestError& error) {
    Material material;
    material.quantities = quantities;
    const std::optional<std::string> path = findTable(data, name, quantities);
    if (!path) {
        error = {RequestProblem::unknownName,
                 "no table named \"" + name + "\"" + didYouMean(data, name)};
        return std::nullopt;
    }
    if (!loadTable(*path, quantities, material, error.message)) {
        error.problem = RequestProblem::unreadable;
        return std::nullopt;
    }
    prepareSplines(material);
    return material;
}

} // namespace

std::optional<Material> loadMaterial(const DataDirectory& data, const MaterialRequest& request,
                                     Quantities quantities, RequestError& error) {
    if (!request.name.empty()) {
        return tableMaterial(data, std::string(trimBlanks(request.name)), quantities, error);
    }
    Material material;
    material.quantities = quantities;
    const auto composition = compositionOf(data, request, error, material.notes);
    if (!composition) {
        return std::nullopt;
    }
    material.label = request.formula.empty() ? request.mixture : request.formula;
    FormulaError formulaError;
    if (const auto reading = readFormula(request.formula, formulaError)) {
        // The heading says how the formula was read.
        material.label += " (read as " + atomsText(reading->elements) + ")";
    }
    material.composition = *composition;
    if (!combine(data, material, quantities, error.message)) {
        error.problem = RequestProblem::unreadable;
        return std::nullopt;
    }
    prepareSplines(material);
    return material;
}

double highestEnergy(Quantities quantities) {
    return quantities == Quantities::coefficients ? 20.0 : 100000.0;
}

std::array<double, kMaxReadingColumns> valuesAboveEdge(const Material& material, int upper,
                                                       ReadingMethod method) {
    auto values = material.readings.values[static_cast<size_t>(upper)];
    if (method == ReadingMethod::spline && material.readings.columnCount == 6) {
        values[5] = values[0] + values[1] + values[2] + values[3] + values[4];
    }
    return values;
}

std::optional<double> barnsPerAtomFactor(const DataDirectory& data, const Material& material) {
    // XCOM's factor between barns/atom and cm2/g: cm2/g = b/atom x 0.60221367 / A.
    constexpr double kBarnsToMassFactor = 0.60221367;
    const auto weight = material.atomicNumber != 0
                            ? shippedAtomicWeight(data, material.atomicNumber)
                            : std::nullopt;
    return weight ? std::make_optional(*weight / kBarnsToMassFactor) : std::nullopt;
}

bool usableDensity(double density) {
    return density > 0 && std::isfinite(density);
}

Reading readMaterial(const Material& material, double energy, ReadingMethod method) {
    const double highest = highestEnergy(material.quantities);
    if (method == ReadingMethod::loglog) {
        return readAtEnergy(material.readings, energy, kLowestEnergy, highest);
    }
    if (!material.splines) {
        Reading failed;
        failed.result = ReadingResult::calculationError;
        return failed;
    }
    return readSpline(*material.splines, energy, kLowestEnergy, highest);
}

std::vector<Crossing> energiesWhere(const Material& material, int column, double value,
                                    ReadingMethod method) {
    if (method == ReadingMethod::loglog) {
        return everyEnergyAt(material.readings, column, value);
    }
    return material.splines ? everySplineEnergyAt(*material.splines, column, value)
                            : std::vector<Crossing>{};
}

namespace {

// Edits (insertions, deletions, substitutions) between two texts, any case.
size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::vector<std::string> knownNames(const DataDirectory& data, Quantities quantities) {
    const bool coefficients = quantities == Quantities::coefficients;
    std::vector<std::string> names;
    const std::pair<const char*, std::vector<const char*>> directories[] = {
        {coefficients ? "mu_ele" : "ele", {coefficients ? ".mut" : ".ele"}},
        {coefficients ? "mu_mix" : "mix",
         coefficients ? std::vector<const char*>{".mucm", ".muc2", ".muc3"}
                      : std::vector<const char*>{".mix", ".mix2", ".mix3"}}};
    for (const auto& [directory, extensions] : directories) {
        for (const char* extension : extensions) {
            for (const std::string& file : listFiles(data.path(directory), extension)) {
                const std::string path = data.path(formPath(directory, file));
                names.push_back(file.substr(0, file.size() - std::string(extension).size()));
                std::string ignored;
                const auto header = coefficients ? readCoefficientHeader(path, ignored)
                                                 : readTableHeader(path, ignored);
                if (header) {
                    names.push_back(header->name);
                }
            }
        }
    }
    return names;
}

} // namespace

std::vector<std::string> closestNames(const DataDirectory& data, const std::string& name,
                                      Quantities quantities) {
    const size_t allowed = std::max<size_t>(1, name.size() / 3);
    std::vector<std::pair<size_t, std::string>> close;
    for (const std::string& known : knownNames(data, quantities)) {
        const size_t distance = editDistance(name, known);
        const bool listed = std::any_of(close.begin(), close.end(),
                                        [&](const auto& entry) { return entry.second == known; });
        if (distance <= allowed && !listed) {
            close.emplace_back(distance, known);
        }
    }
    std::stable_sort(close.begin(), close.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (size_t n = 0; n < close.size() && n < 3; ++n) {
        names.push_back(close[n].second);
    }
    return names;
}

} // namespace tarvo
