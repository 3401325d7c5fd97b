#include "module_material.h"

#include "coefview/coefficient_table.h"
#include "common/elements.h"
#include "common/number_format.h"
#include "common/numeric_text.h"
#include "common/text_file.h"
#include "materials/table_catalogue.h"
#include "materials/table_combination.h"
#include "xsview/cross_section_table.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>

namespace tarvo::python {
namespace {

struct DataState {
    std::mutex mutex;
    std::shared_ptr<const DataDirectory> current;
    std::filesystem::path fallback;
};

DataState& dataState() {
    static DataState state;
    return state;
}

FailureKind failureOf(RequestProblem problem) {
    switch (problem) {
    case RequestProblem::syntax:
        return FailureKind::value;
    case RequestProblem::unknownName:
    case RequestProblem::ambiguous:
        return FailureKind::key;
    default:
        return FailureKind::file;
    }
}

// The library's request messages name the command line's options ("--mixture: ..."); a
// Python caller gave no option, so the message names the thing instead.
ModuleFailure requestFailure(const RequestError& error) {
    std::string message = error.message;
    for (const std::string option : {"--formula", "--mixture"}) {
        for (size_t at = message.find(option); at != std::string::npos;
             at = message.find(option, at)) {
            message.erase(at, 2);
        }
    }
    return ModuleFailure(failureOf(error.problem), message);
}

bool hasRequest(const MaterialRequest& request) {
    return !request.name.empty() || !request.formula.empty() || !request.mixture.empty();
}

// The extensions of a category's two tables: cross sections, then coefficients.
std::pair<std::string, std::string> categoryExtensions(const std::string& category) {
    const std::optional<MaterialCategory> named = categoryNamed(category);
    if (!named) {
        throw ModuleFailure(FailureKind::value, "category is \"human\", \"phantom\" or \"other\"");
    }
    return {std::string(materialExtension(TableKind::crossSections, *named)),
            std::string(materialExtension(TableKind::coefficients, *named))};
}

// Whether a file's extension is an element table's (".ele", ".mut").
bool isElementExtension(const std::string& extension) {
    const auto table = tableExtension(extension);
    return table && !table->category;
}

// A table's path in the data directory by its stem and extension; empty where there is none.
std::string existingTable(const DataDirectory& data, const std::string& directory,
                          const std::string& file) {
    std::error_code ignored;
    const std::string path = data.path(formPath(directory, file));
    return std::filesystem::is_regular_file(path, ignored) ? path : std::string();
}

// The material a table (or its pair of tables) of the data directory stands for, named and
// weighed by its own header.
std::shared_ptr<ModuleMaterial> tableMaterial(const std::string& coefficientPath,
                                              const std::string& crossSectionPath) {
    auto material = std::make_shared<ModuleMaterial>();
    material->data = dataDirectory();
    material->coefficientRequest.name = coefficientPath;
    material->crossSectionRequest.name = crossSectionPath;
    const std::string& path = coefficientPath.empty() ? crossSectionPath : coefficientPath;
    material->stem = stemPart(path);
    const std::string extension(extensionPart(path));
    const bool element = isElementExtension(extension);
    material->kind = element ? "element" : "material";
    material->category = categoryOfExtension(extension);
    material->atomicNumber = element ? std::atoi(material->stem.c_str()) : 0;
    std::string error;
    const auto header = tableHeader(
        path, coefficientPath.empty() ? TableKind::crossSections : TableKind::coefficients, error);
    if (!header) {
        throw ModuleFailure(FailureKind::file, error);
    }
    material->name = header->name;
    material->density = header->density;
    return material;
}

// The tables of a list's entry: an element's two, or a material's two of its category.
std::shared_ptr<ModuleMaterial> entryMaterial(const DataDirectory& data,
                                              const CatalogueEntry& entry) {
    const bool element = entry.kind == "element";
    const auto [crossSectionExtension, coefficientExtension] =
        element ? std::pair<std::string, std::string>{kCrossSectionTables.elementExtension,
                                                      kCoefficientTables.elementExtension}
                : categoryExtensions(entry.category);
    const auto folder = [element](const TableFolders& kind) {
        return std::string(element ? kind.elementFolder : kind.materialFolder);
    };
    return tableMaterial(
        existingTable(data, folder(kCoefficientTables), entry.stem + coefficientExtension),
        existingTable(data, folder(kCrossSectionTables), entry.stem + crossSectionExtension));
}

// A table file outside the data directory, its kind by its extension, read at once so
// that a file that is no table fails here.
std::shared_ptr<ModuleMaterial> standaloneTable(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    const auto table = tableExtension(extension);
    const bool coefficients = table && table->kind == TableKind::coefficients;
    const bool crossSections = table && table->kind == TableKind::crossSections;
    if (!coefficients && !crossSections) {
        throw ModuleFailure(FailureKind::value,
                            "\"" + path +
                                "\" is no table: a table ends in .mut, .mucm, .muc2, "
                                ".muc3, .ele, .mix, .mix2 or .mix3");
    }
    auto material = tableMaterial(coefficients ? path : "", coefficients ? "" : path);
    material->tables(coefficients ? TableKind::coefficients : TableKind::crossSections);
    return material;
}

std::string oneLineName(const std::string& given) {
    const std::string name(trimBlanks(given));
    const bool oneLine = std::none_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (name.empty() || !oneLine) {
        throw ModuleFailure(FailureKind::value,
                            "a name must be one line of text that is not blank");
    }
    return name;
}

// A density given by a caller (g/cm3): 0 for none, else finite and above 0.
double givenDensity(double density) {
    if (density != 0 && !usableDensity(density)) {
        throw ModuleFailure(FailureKind::value,
                            "a density must be a finite number above 0 (g/cm3)");
    }
    return density;
}

std::shared_ptr<ModuleMaterial> combined(const MaterialRequest& request, const std::string& kind,
                                         double density, const std::string& name) {
    auto material = std::make_shared<ModuleMaterial>();
    material->data = dataDirectory();
    material->kind = kind;
    material->name = oneLineName(name);
    material->density = givenDensity(density);
    material->coefficientRequest = request;
    material->crossSectionRequest = request;
    material->tables(TableKind::coefficients);
    material->tables(TableKind::crossSections);
    return material;
}

} // namespace

std::shared_ptr<const DataDirectory> dataDirectory() {
    DataState& state = dataState();
    const std::lock_guard lock(state.mutex);
    if (!state.current) {
        std::string error;
        const char* variable = std::getenv("TARVO_DATA");
        const bool named = variable != nullptr && *variable != '\0';
        const auto directory = named ? tablesDirectory(variable, true, error)
                                     : tablesDirectory(state.fallback, false, error);
        if (!directory) {
            throw ModuleFailure(FailureKind::file,
                                error + " (call tarvo.set_data_directory or set TARVO_DATA)");
        }
        state.current = std::make_shared<const DataDirectory>(*directory);
    }
    return state.current;
}

void setDataDirectory(const std::filesystem::path& directory) {
    std::string error;
    const auto found = tablesDirectory(directory, true, error);
    if (!found) {
        throw ModuleFailure(FailureKind::file, error);
    }
    DataState& state = dataState();
    const std::lock_guard lock(state.mutex);
    state.current = std::make_shared<const DataDirectory>(*found);
}

void setDefaultDataDirectory(const std::filesystem::path& directory) {
    DataState& state = dataState();
    const std::lock_guard lock(state.mutex);
    state.fallback = directory;
    state.current.reset();
}

const Material& ModuleMaterial::tables(TableKind quantities) const {
    const bool coefficients = quantities == TableKind::coefficients;
    const std::lock_guard lock(m_loading);
    std::shared_ptr<const Material>& held = coefficients ? m_coefficients : m_crossSections;
    if (held) {
        return *held;
    }
    const MaterialRequest& request = coefficients ? coefficientRequest : crossSectionRequest;
    if (!hasRequest(request)) {
        throw ModuleFailure(FailureKind::value,
                            name + " has no table of " +
                                (coefficients ? "coefficients" : "cross sections"));
    }
    RequestError error;
    held = sharedMaterial(*data, request, quantities, error);
    if (!held) {
        throw requestFailure(error);
    }
    return *held;
}

std::map<std::string, double> ModuleMaterial::composition() const {
    if (atomicNumber != 0) {
        return {{elementSymbol(atomicNumber), 1.0}};
    }
    std::map<std::string, double> byWeight;
    if (hasRequest(coefficientRequest)) {
        for (const CompositionEntry& entry : tables(TableKind::coefficients).composition) {
            byWeight[elementSymbol(entry.atomicNumber)] += entry.weightFraction;
        }
    }
    return byWeight;
}

std::vector<std::string> ModuleMaterial::notes() const {
    return hasRequest(coefficientRequest) ? tables(TableKind::coefficients).notes
                                          : std::vector<std::string>();
}

std::vector<std::shared_ptr<ModuleMaterial>> listMaterials(const std::string& kind,
                                                           const std::string& category) {
    if ((!kind.empty() && kind != "element" && kind != "material") ||
        (!category.empty() && category != "human" && category != "phantom" &&
         category != "other")) {
        throw ModuleFailure(FailureKind::value,
                            "kind is \"element\" or \"material\"; category \"human\", "
                            "\"phantom\" or \"other\"");
    }
    const TableSelection selection = kind == "element"    ? TableSelection::elements
                                     : kind == "material" ? TableSelection::materials
                                                          : TableSelection::all;
    const auto shared = dataDirectory();
    const DataDirectory& data = *shared;
    std::vector<std::shared_ptr<ModuleMaterial>> materials;
    for (const CatalogueEntry& entry : catalogueTables(data, selection, category)) {
        if (!entry.kind.empty()) {
            materials.push_back(entryMaterial(data, entry));
        }
    }
    return materials;
}

namespace {

// Whether a table lies in one of the data directory's folders: the lookup makes their paths
// from the directory, so their text says it; any other path is asked of the file system.
bool inDataDirectory(const DataDirectory& data, const std::string& path) {
    const std::string root = data.path("");
    const std::string_view rest = std::string_view(path).substr(std::min(root.size(), path.size()));
    if (path.rfind(root, 0) == 0 && std::count(rest.begin(), rest.end(), '/') == 1) {
        return true;
    }
    std::error_code ignored;
    return std::filesystem::equivalent(std::filesystem::path(path).parent_path().parent_path(),
                                       data.root(), ignored);
}

} // namespace

std::shared_ptr<ModuleMaterial> findMaterial(const std::string& given) {
    const auto shared = dataDirectory();
    const DataDirectory& data = *shared;
    const std::string name(trimBlanks(given));
    const auto coefficients = tablesMatching(data, name, TableKind::coefficients);
    const auto crossSections = tablesMatching(data, name, TableKind::crossSections);
    if (coefficients.size() > 1 || crossSections.size() > 1 ||
        (coefficients.empty() && crossSections.empty())) {
        RequestError error;
        findTable(data, name,
                  coefficients.size() == 1 ? TableKind::crossSections : TableKind::coefficients,
                  error);
        throw requestFailure(error);
    }
    const std::string& path =
        coefficients.size() == 1 ? coefficients.front() : crossSections.front();
    if (!inDataDirectory(data, path)) {
        return standaloneTable(path);
    }
    // A table of each kind under one stem: the pair is known, no file need be looked for.
    if (coefficients.size() == 1 && crossSections.size() == 1 &&
        stemPart(crossSections.front()) == stemPart(path)) {
        return tableMaterial(coefficients.front(), crossSections.front());
    }
    CatalogueEntry entry;
    entry.stem = stemPart(path);
    const std::string extension(extensionPart(path));
    entry.kind = isElementExtension(extension) ? "element" : "material";
    entry.category = categoryOfExtension(extension);
    return entryMaterial(data, entry);
}

std::shared_ptr<ModuleMaterial> compoundOf(const std::string& formula, double density,
                                           const std::string& name) {
    const std::string trimmed(trimBlanks(formula));
    if (trimmed.empty()) {
        throw ModuleFailure(FailureKind::value, "a compound needs a chemical formula");
    }
    return combined({"", trimmed, ""}, "compound", density, name.empty() ? trimmed : name);
}

std::shared_ptr<ModuleMaterial> mixtureOf(const std::vector<std::pair<std::string, double>>& parts,
                                          double density, const std::string& name) {
    std::string mixture;
    std::string names;
    for (const auto& [given, share] : parts) {
        std::string component(trimBlanks(given));
        if (component.find_first_of(",:") != std::string::npos) {
            component = findMaterial(component)->stem;
        }
        mixture += (mixture.empty() ? "" : ",") + component + ":" + shortestText(share);
        names += (names.empty() ? "" : ", ") + component;
    }
    if (mixture.empty()) {
        throw ModuleFailure(FailureKind::value, "a mixture needs at least one component");
    }
    return combined({"", "", mixture}, "mixture", density,
                    name.empty() ? "mixture of " + names : name);
}

namespace {

// The file name of a table without extension: the one given, or the material's name with
// every character a file name should not hold made "_".
std::string tableFileName(const std::string& given, const std::string& name) {
    if (!given.empty()) {
        if (given.find_first_of("/\\") != std::string::npos || given == "." || given == "..") {
            throw ModuleFailure(FailureKind::value,
                                "a file name holds no directory: the tables go to the data "
                                "directory, where the viewers list them");
        }
        return given;
    }
    std::string stem;
    for (const char c : std::string(trimBlanks(name))) {
        const bool kept = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ||
                          c == '.' || static_cast<unsigned char>(c) >= 0x80;
        stem += kept ? c : '_';
    }
    return stem;
}

void writeKind(const DataDirectory& data, const ModuleMaterial& material, TableKind kind,
               const std::string& path) {
    RequestError error;
    std::vector<std::string> notes;
    const auto recipe = combinationRecipe(data, material.coefficientRequest, kind, error, notes);
    if (!recipe) {
        throw requestFailure(error);
    }
    if (!writeCombinedTable(data, *recipe, kind, material.kind == "compound", material.name,
                            material.density, path, error.message)) {
        throw ModuleFailure(FailureKind::file, error.message);
    }
}

} // namespace

std::vector<std::string> saveMaterial(ModuleMaterial& material, const std::string& category,
                                      const std::string& fileName, bool overwrite,
                                      std::vector<std::string>& notes) {
    if (material.kind != "compound" && material.kind != "mixture") {
        throw ModuleFailure(FailureKind::value, material.name + " is a table already");
    }
    const auto [crossSectionExtension, coefficientExtension] = categoryExtensions(category);
    if (!usableDensity(material.density)) {
        throw ModuleFailure(FailureKind::value,
                            "a table needs the material's density: give density= (g/cm3)");
    }
    const std::string stem = tableFileName(fileName, material.name);
    const DataDirectory& data = *material.data;
    std::vector<std::pair<TableKind, std::string>> tables{
        {TableKind::crossSections,
         combinedTablePath(data, stem + crossSectionExtension, TableKind::crossSections)},
        {TableKind::coefficients,
         combinedTablePath(data, stem + coefficientExtension, TableKind::coefficients)}};
    bool inUserCopy = false;
    for (auto& [kind, path] : tables) {
        if (const auto userPath = userCopyTablePath(data, path)) {
            path = *userPath;
            inUserCopy = true;
        }
    }
    // Both are checked before either is written, so a refusal leaves nothing half done.
    for (const auto& [kind, path] : tables) {
        const WriteRefusal refusal = writeRefusal(data, path, overwrite);
        if (refusal != WriteRefusal::none) {
            throw ModuleFailure(refusal == WriteRefusal::exists ? FailureKind::fileExists
                                                                : FailureKind::permission,
                                refusalMessage(refusal, path, "give overwrite=True to replace it"));
        }
        if (const auto clash = clashOf(data, path, material.name, overwrite)) {
            throw ModuleFailure(clash->shipped ? FailureKind::permission : FailureKind::fileExists,
                                clashMessage(*clash, "file_name=", "name=",
                                             "give overwrite=True to let both answer to it"));
        }
    }
    std::vector<std::string> paths;
    for (const auto& [kind, path] : tables) {
        std::string error;
        if (inUserCopy && !makeTableFolder(path, error)) {
            throw ModuleFailure(FailureKind::permission, error);
        }
        writeKind(data, material, kind, path);
        paths.push_back(path);
    }
    if (inUserCopy) {
        notes.push_back(userCopyNote(data));
    }
    material.stem = stem;
    material.category = category;
    return paths;
}

} // namespace tarvo::python
