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

// A mixture's component as a composition: a table's (an element's is itself), else a formula.
std::optional<std::vector<CompositionEntry>> componentOf(const DataDirectory& data,
                                                         const std::string& name,
                                                         std::string& error,
                                                         std::vector<std::string>& notes) {
    const std::optional<std::string> path = findTable(data, name, Quantities::coefficients);
    if (path) {
        const auto table = loadCoefficientTable(*path, isMaterialCoefficientPath(*path), error);
        if (!table) {
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
    return compositionOf(data, {"", name, ""}, error, notes);
}

std::optional<std::vector<CompositionEntry>> mixtureOf(const DataDirectory& data,
                                                       const std::string& mixture,
                                                       std::string& error,
                                                       std::vector<std::string>& notes) {
    std::map<int, double> weights;
    std::istringstream items(mixture);
    double total = 0.0;
    for (std::string item; std::getline(items, item, ',');) {
        const size_t colon = item.rfind(':');
        const std::optional<double> share =
            colon == std::string::npos ? std::nullopt
                                       : strictNumber(std::string_view(item).substr(colon + 1));
        if (!share || !(*share > 0)) {
            error = "--mixture: \"" + item + "\" is not a component and a share above 0";
            return std::nullopt;
        }
        const auto component = componentOf(data, item.substr(0, colon), error, notes);
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
        error = "--mixture is empty";
        return std::nullopt;
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

bool loadTable(const std::string& path, Quantities quantities, Material& material,
               std::string& error) {
    if (quantities == Quantities::coefficients) {
        const auto table = loadCoefficientTable(path, isMaterialCoefficientPath(path), error);
        if (!table) {
            return false;
        }
        material.label = table->name;
        material.density = table->density;
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
    // Last, a table's own name: "Lead", "Water, Liquid".
    if (auto byName = tableNamed(data, elementDirectory, name, {elementExtension})) {
        return byName;
    }
    return tableNamed(data, materialDirectory, name, materialExtensions);
}

std::optional<std::vector<CompositionEntry>> compositionOf(const DataDirectory& data,
                                                           const MaterialRequest& request,
                                                           std::string& error,
                                                           std::vector<std::string>& notes) {
    if (!request.mixture.empty()) {
        return mixtureOf(data, request.mixture, error, notes);
    }
    FormulaError formulaError;
    const auto reading = readFormula(request.formula, formulaError);
    if (!reading) {
        error = "--formula " + describe(request.formula, formulaError);
        return std::nullopt;
    }
    if (!reading->note.empty()) {
        notes.push_back(reading->note);
    }
    const std::vector<FormulaElement>* elements = &reading->elements;
    const auto fractions =
        weightFractions(*elements, [&data](int z) { return shippedAtomicWeight(data, z); });
    if (!fractions) {
        error = "--formula " + request.formula + ": an element's atomic weight cannot be read";
        return std::nullopt;
    }
    std::vector<CompositionEntry> composition;
    for (size_t k = 0; k < elements->size(); ++k) {
        composition.push_back({(*elements)[k].atomicNumber, (*fractions)[k]});
    }
    return composition;
}

std::optional<Material> loadMaterial(const DataDirectory& data, const MaterialRequest& request,
                                     Quantities quantities, std::string& error) {
    Material material;
    if (!request.name.empty()) {
        const std::optional<std::string> path = findTable(data, request.name, quantities);
        if (!path) {
            error = "no table named \"" + request.name + "\"";
            return std::nullopt;
        }
        return loadTable(*path, quantities, material, error) ? std::make_optional(material)
                                                             : std::nullopt;
    }
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
    return combine(data, material, quantities, error) ? std::make_optional(material) : std::nullopt;
}

} // namespace tarvo
