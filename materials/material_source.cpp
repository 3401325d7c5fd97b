#include "material_source.h"

#include "coefview/coefficient_values.h"
#include "coefview/combine_coefficient_tables.h"
#include "common/elements.h"
#include "common/file_cache.h"
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
#include <limits>
#include <map>
#include <mutex>
#include <sstream>
#include <unordered_map>

namespace tarvo {
namespace {

// The atomic number a name gives as a number ("82"), 0 when it is none.
int atomicNumberAsNumber(const std::string& name) {
    const std::optional<double> z = strictNumber(name);
    return z && *z >= 1 && *z <= kLastElement && *z == std::floor(*z) ? static_cast<int>(*z) : 0;
}

// The folders and extensions of one kind of table: elements, then materials.
struct TableFolder {
    std::string directory;
    std::vector<std::string> extensions;
};

std::vector<TableFolder> foldersOfKind(const TableFolders& kind) {
    return {{std::string(kind.elementFolder), {std::string(kind.elementExtension)}},
            {std::string(kind.materialFolder),
             {kind.materialExtensions.begin(), kind.materialExtensions.end()}}};
}

const std::vector<TableFolder>& foldersOf(TableKind quantities) {
    static const std::vector<TableFolder> coefficients = foldersOfKind(kCoefficientTables);
    static const std::vector<TableFolder> crossSections = foldersOfKind(kCrossSectionTables);
    return quantities == TableKind::coefficients ? coefficients : crossSections;
}

bool isTableExtension(const std::string& extension) {
    return tableExtension(extension).has_value();
}

// The atomic number a name gives as a symbol in any case ("Pb", "PB", "pb") or as a
// number ("82"); 0 when it gives none.
int atomicNumberOfName(const std::string& name) {
    if (const int z = atomicNumberOf(name); z != 0) {
        return z;
    }
    if (const int z = atomicNumberAsNumber(name); z != 0) {
        return z;
    }
    std::string symbol = name;
    std::transform(symbol.begin(), symbol.end(), symbol.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (!symbol.empty()) {
        symbol[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(symbol[0])));
    }
    return atomicNumberOf(symbol);
}

// A table file's own name (its first line), trimmed; empty when it has none. Names are
// kept while their file is unchanged, so lookups by name read each header once.
std::string ownName(const std::string& path, TableKind quantities) {
    static FileCache<std::string> names;
    const auto stamp = fileStampOf(path);
    if (!stamp) {
        return {};
    }
    if (const auto kept = names.find(path, *stamp)) {
        return *kept;
    }
    std::string ignored;
    const auto header = quantities == TableKind::coefficients ? readCoefficientHeader(path, ignored)
                                                              : readTableHeader(path, ignored);
    auto name = std::make_shared<const std::string>(header ? trimBlanks(header->name) : "");
    names.keep(path, *stamp, name);
    return *name;
}

// The key of a table file's values of a kind in the caches.
std::string tableKey(const std::string& path, TableKind quantities) {
    return path + (quantities == TableKind::coefficients ? "\ncoefficients" : "\ncross sections");
}

// The files of a directory with an extension, sorted; kept while the directory is unchanged.
std::shared_ptr<const std::vector<std::string>>
tableFiles(const DataDirectory& data, const std::string& directory, const std::string& extension) {
    static FileCache<std::vector<std::string>> listings;
    const std::string path = data.path(directory);
    const auto stamp = fileStampOf(path);
    if (!stamp) {
        return std::make_shared<const std::vector<std::string>>();
    }
    const std::string key = path + '\n' + extension;
    if (auto kept = listings.find(key, *stamp)) {
        return kept;
    }
    auto files = std::make_shared<const std::vector<std::string>>(listFiles(path, extension));
    listings.keep(key, *stamp, files);
    return files;
}

// The tables of a kind whose stem, or else whose own name, is `name` (any case).
std::vector<std::string> tablesByKey(const DataDirectory& data, const std::string& name,
                                     TableKind quantities, bool byOwnName) {
    std::vector<std::string> found;
    for (const TableFolder& folder : foldersOf(quantities)) {
        for (const std::string& extension : folder.extensions) {
            for (const std::string& file : *tableFiles(data, folder.directory, extension)) {
                // A stem is compared before any path is made: a lookup passes every file.
                const std::string_view stem(file.data(), file.size() - extension.size());
                if (!byOwnName && !sameTextAnyCase(stem, name)) {
                    continue;
                }
                const std::string path = data.path(formPath(folder.directory, file));
                if (!byOwnName || sameTextAnyCase(ownName(path, quantities), name)) {
                    found.push_back(path);
                }
            }
        }
    }
    return found;
}

// The element table of a kind for atomic number z, where the data directory holds it.
std::vector<std::string> elementTable(const DataDirectory& data, int z, TableKind quantities) {
    const TableFolder& elements = foldersOf(quantities).front();
    const std::string path =
        data.path(formPath(elements.directory, elementStem(z) + elements.extensions.front()));
    // The working directory's paths keep the tables' backslashes; the system needs its own.
    std::error_code ignored;
    return std::filesystem::is_regular_file(nativePath(path), ignored)
               ? std::vector<std::string>{path}
               : std::vector<std::string>{};
}

// Whether a name is the path of a table file: it holds a directory or ends in a table's
// extension, and names a file.
bool namesTableFile(const std::string& name) {
    std::error_code ignored;
    const bool pathLike =
        name.find('/') != std::string::npos || isTableExtension(std::string(extensionPart(name)));
    return pathLike && std::filesystem::is_regular_file(name, ignored);
}

// A mixture's component as a composition: a table's (an element's is itself), else a formula.
std::optional<std::vector<CompositionEntry>> componentOf(const DataDirectory& data,
                                                         const std::string& name,
                                                         RequestError& error,
                                                         std::vector<std::string>& notes) {
    RequestError lookup;
    const std::optional<std::string> path = findTable(data, name, TableKind::coefficients, lookup);
    if (lookup.problem == RequestProblem::ambiguous) {
        error = {lookup.problem, "--mixture: " + lookup.message};
        return std::nullopt;
    }
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
        error.message = "--mixture: \"" + elided(name) + "\" is no table and no formula" +
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

bool combine(const DataDirectory& data, Material& material, TableKind quantities,
             std::string& error) {
    if (quantities == TableKind::coefficients) {
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
    const auto kind = tableExtension(extension);
    const bool element =
        kind && !kind->category && z != 0 && stem.substr(0, 3) == elementStem(z).substr(0, 3);
    return element ? z : 0;
}

bool loadTable(const std::string& path, TableKind quantities, Material& material,
               std::string& error) {
    if (quantities == TableKind::coefficients) {
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

namespace {

// The tables a stem, symbol or atomic number picks; empty where none does.
std::vector<std::string> tablesByListedKey(const DataDirectory& data, const std::string& name,
                                           TableKind quantities) {
    if (auto byStem = tablesByKey(data, name, quantities, false); !byStem.empty()) {
        return byStem;
    }
    const int z = atomicNumberOfName(name);
    return z != 0 ? elementTable(data, z, quantities) : std::vector<std::string>{};
}

// Lookups by stem, symbol or atomic number depend on the folders' listings alone, so their
// answers are kept while both folders of the kind are unchanged: asking for a material
// again costs two looks at the folders.
class ListedLookups {
  public:
    std::vector<std::string> find(const DataDirectory& data, const std::string& name,
                                  TableKind quantities) {
        const TableFolders& folders = tableFolders(quantities);
        const auto elements = fileStampOf(data.path(folders.elementFolder));
        const auto materials = fileStampOf(data.path(folders.materialFolder));
        if (!elements || !materials) {
            return tablesByListedKey(data, name, quantities);
        }
        std::string key = data.root().native();
        key += quantities == TableKind::coefficients ? "\nmu\n" : "\nxs\n";
        key += name;
        {
            const std::lock_guard lock(m_mutex);
            const auto kept = m_entries.find(key);
            if (kept != m_entries.end() && kept->second.elements == *elements &&
                kept->second.materials == *materials) {
                return kept->second.paths;
            }
        }
        std::vector<std::string> paths = tablesByListedKey(data, name, quantities);
        const std::lock_guard lock(m_mutex);
        if (m_entries.size() >= FileCache<int>::kMostEntries) {
            m_entries.clear();
        }
        m_entries[key] = {*elements, *materials, paths};
        return paths;
    }

  private:
    struct Entry {
        FileStamp elements;
        FileStamp materials;
        std::vector<std::string> paths;
    };
    std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
};

} // namespace

std::vector<std::string> tablesMatching(const DataDirectory& data, const std::string& name,
                                        TableKind quantities) {
    if (namesTableFile(name)) {
        return {name};
    }
    static ListedLookups listed;
    if (auto byListing = listed.find(data, name, quantities); !byListing.empty()) {
        return byListing;
    }
    return tablesByKey(data, name, quantities, true);
}

std::vector<TableKeys> everyTable(const DataDirectory& data, TableKind quantities) {
    std::vector<TableKeys> tables;
    for (const TableFolder& folder : foldersOf(quantities)) {
        for (const std::string& extension : folder.extensions) {
            for (const std::string& file : *tableFiles(data, folder.directory, extension)) {
                TableKeys table{data.path(formPath(folder.directory, file)), {}};
                table.keys.push_back(file.substr(0, file.size() - std::string(extension).size()));
                table.keys.push_back(ownName(table.path, quantities));
                if (const int z = elementTableNumber(table.path); z != 0) {
                    table.keys.push_back(elementSymbol(z));
                    table.keys.push_back(std::to_string(z));
                }
                tables.push_back(std::move(table));
            }
        }
    }
    return tables;
}

std::optional<std::string> findTable(const DataDirectory& data, const std::string& name,
                                     TableKind quantities, RequestError& error) {
    const std::vector<std::string> matches = tablesMatching(data, name, quantities);
    if (matches.size() == 1) {
        return matches.front();
    }
    if (matches.empty()) {
        error = {RequestProblem::unknownName,
                 "no table named \"" + elided(name) + "\"" + didYouMean(data, name)};
        return std::nullopt;
    }
    std::string listed;
    for (const std::string& path : matches) {
        listed += (listed.empty() ? "" : ", ") + nativePath(path);
    }
    error = {RequestProblem::ambiguous, "\"" + elided(name) + "\" names more than one table: " +
                                            listed + "; give the path of the one you mean"};
    return std::nullopt;
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

// The spline fits and the batch curves of both methods.
void prepareSplines(Material& material) {
    material.splines = prepareSplineReadings(material.readings,
                                             material.quantities == TableKind::coefficients
                                                 ? SplineColumns::coefficients
                                                 : SplineColumns::crossSections,
                                             material.splineError);
    const double highest = highestEnergy(material.quantities);
    material.logLogCurves = std::make_shared<const BatchCurves>(
        logLogBatchCurves(material.readings, kLowestEnergy, highest));
    if (material.splines) {
        material.splineCurves = std::make_shared<const BatchCurves>(
            splineBatchCurves(*material.splines, kLowestEnergy, highest));
    }
}

// A table read and fitted, kept while its file is unchanged (size, time, inode): scripts
// and batches that ask for one material again and again read and fit it once, and share it.
std::shared_ptr<const Material> tableAt(const std::string& path, TableKind quantities,
                                        RequestError& error) {
    static FileCache<Material> tables;
    const auto stamp = fileStampOf(path);
    const std::string key = tableKey(path, quantities);
    if (auto kept = stamp ? tables.find(key, *stamp) : nullptr) {
        return kept;
    }
    auto material = std::make_shared<Material>();
    material->quantities = quantities;
    if (!loadTable(path, quantities, *material, error.message)) {
        error.problem = RequestProblem::unreadable;
        return nullptr;
    }
    prepareSplines(*material);
    if (stamp && fileStampOf(path) == stamp) {
        tables.keep(key, *stamp, material);
    }
    return material;
}

// A formula's or a mixture's tables, combined from the element tables.
std::optional<Material> combinedMaterial(const DataDirectory& data, const MaterialRequest& request,
                                         TableKind quantities, RequestError& error) {
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

} // namespace

std::shared_ptr<const Material> sharedMaterial(const DataDirectory& data,
                                               const MaterialRequest& request, TableKind quantities,
                                               RequestError& error) {
    if (!request.name.empty()) {
        const std::optional<std::string> path =
            findTable(data, std::string(trimBlanks(request.name)), quantities, error);
        return path ? tableAt(*path, quantities, error) : nullptr;
    }
    auto material = combinedMaterial(data, request, quantities, error);
    return material ? std::make_shared<const Material>(std::move(*material)) : nullptr;
}

std::optional<Material> loadMaterial(const DataDirectory& data, const MaterialRequest& request,
                                     TableKind quantities, RequestError& error) {
    const auto material = sharedMaterial(data, request, quantities, error);
    return material ? std::make_optional(*material) : std::nullopt;
}

std::optional<TableHeader> tableHeader(const std::string& path, TableKind quantities,
                                       std::string& error) {
    static FileCache<TableHeader> headers;
    const auto stamp = fileStampOf(path);
    const std::string key = tableKey(path, quantities);
    if (const auto kept = stamp ? headers.find(key, *stamp) : nullptr) {
        return *kept;
    }
    const auto header = quantities == TableKind::coefficients ? readCoefficientHeader(path, error)
                                                              : readTableHeader(path, error);
    if (header && stamp && fileStampOf(path) == stamp) {
        headers.keep(key, *stamp, std::make_shared<const TableHeader>(*header));
    }
    return header;
}

double highestEnergy(TableKind quantities) {
    return quantities == TableKind::coefficients ? 20.0 : 100000.0;
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

const BatchCurves* batchCurvesOf(const Material& material, ReadingMethod method) {
    return method == ReadingMethod::loglog ? material.logLogCurves.get()
                                           : material.splineCurves.get();
}

void readMaterialBatch(const Material& material, ReadingMethod method, EdgeSide side,
                       std::span<const double> energies, std::span<const int> columns,
                       std::span<double* const> outputs, double factor) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    // One pointer captured: the callback then fits std::function's own storage, and a short
    // batch allocates nothing.
    const struct {
        const Material& material;
        ReadingMethod method;
        EdgeSide side;
        std::span<const double> energies;
        std::span<const int> columns;
        std::span<double* const> outputs;
        double factor;
    } batch{material, method, side, energies, columns, outputs, factor};
    const auto oneAtATime = [b = &batch](std::size_t i) {
        const Reading reading = readMaterial(b->material, b->energies[i], b->method);
        const int upper = reading.result == ReadingResult::found && b->side == EdgeSide::above
                              ? upperEdgeRow(b->material.readings, b->energies[i])
                              : 0;
        const auto values =
            upper != 0 ? valuesAboveEdge(b->material, upper, b->method) : reading.values;
        for (std::size_t k = 0; k < b->columns.size(); ++k) {
            b->outputs[k][i] = reading.result == ReadingResult::found
                                   ? values[static_cast<std::size_t>(b->columns[k])] * b->factor
                                   : kNaN;
        }
    };
    const BatchCurves* curves = batchCurvesOf(material, method);
    if (curves == nullptr) {
        for (std::size_t i = 0; i < energies.size(); ++i) {
            oneAtATime(i);
        }
        return;
    }
    readBatch(*curves, energies, columns, outputs, factor, oneAtATime);
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

// The stems and own names of the tables of a kind.
std::vector<std::string> knownNames(const DataDirectory& data, TableKind quantities) {
    std::vector<std::string> names;
    for (const TableKeys& table : everyTable(data, quantities)) {
        std::copy_if(table.keys.begin(), table.keys.begin() + 2, std::back_inserter(names),
                     [](const std::string& key) { return !key.empty(); });
    }
    return names;
}

} // namespace

std::vector<std::string> closestNames(const DataDirectory& data, const std::string& name,
                                      TableKind quantities) {
    const size_t allowed = std::max<size_t>(1, name.size() / 3);
    std::vector<std::pair<size_t, std::string>> close;
    for (const std::string& known : knownNames(data, quantities)) {
        // Two texts are at least their difference in length apart.
        const size_t longer = std::max(name.size(), known.size());
        if (longer - std::min(name.size(), known.size()) > allowed) {
            continue;
        }
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

std::string didYouMean(const DataDirectory& data, const std::string& name) {
    const std::vector<std::string> close = closestNames(data, name, TableKind::coefficients);
    std::string text;
    for (size_t n = 0; n < close.size(); ++n) {
        text += (n == 0 ? " (did you mean " : n + 1 == close.size() ? " or " : ", ") + close[n];
    }
    return text.empty() ? text : text + "?)";
}

} // namespace tarvo
