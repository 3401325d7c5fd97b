#pragma once

#include "coefview/coefficient_table.h"
#include "common/batch_reading.h"
#include "common/composition_row.h"
#include "common/data_directory.h"
#include "common/option_words.h"
#include "common/recipe.h"
#include "common/table_kinds.h"
#include "common/table_reading.h"
#include "splinetool/spline_reading.h"
#include "xsview/cross_section_table.h"

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarvo {

// What a command reads: a shipped or user table by stem, element symbol or path, a
// chemical formula, or a mixture by weight of formulas and tables ("H2O:0.7,Bone_Cortical:0.3").
struct MaterialRequest {
    std::string name;
    std::string formula;
    std::string mixture;
};

// Why a request cannot be answered: a formula, mixture or name that is not well formed (a
// bad argument), a name no table has, a name several tables of a kind answer to, or a
// table that cannot be read or combined.
enum class RequestProblem { none, syntax, unknownName, ambiguous, unreadable };

struct RequestError {
    RequestProblem problem = RequestProblem::none;
    std::string message;
};

// A material as the commands read it. Formulas and mixtures are combined from the element
// tables by the Bragg additivity rule, as the creators of the viewers combine them.
struct Material {
    std::string label;
    double density = 0.0;                     // g/cm3 of a table; 0 for a formula or mixture
    ReadingTable readings;                    // the coefficients or the cross sections
    std::vector<CoefficientRow> coefficients; // plain rows, for the spline
    std::vector<CrossSectionRow> crossSections;
    std::vector<CompositionEntry> composition; // by weight; empty for an element table
    std::vector<std::string> notes;            // how a formula that reads two ways was read,
                                               // how shares were taken
    TableKind quantities = TableKind::coefficients;
    int atomicNumber = 0;                  // of an element's table; 0 for any other
    std::optional<SplineReadings> splines; // the readings' spline fits
    std::string splineError;               // why there are none
    // The readings prepared for many energies at a time, by either method (none where the
    // spline could not be fitted).
    std::shared_ptr<const BatchCurves> logLogCurves;
    std::shared_ptr<const BatchCurves> splineCurves;
};

// The lowest and highest energy (MeV) a reading of a material's tables may ask for.
inline constexpr double kLowestEnergy = 0.001;
double highestEnergy(TableKind quantities);

// The columns at an energy (MeV) by a method: for coefficients mu/rho, mu_tr/rho, mu_en/rho;
// for cross sections the five partials and their total (cm2/g). At an edge energy, the
// values below the edge.
Reading readMaterial(const Material& material, double energy, ReadingMethod method);

// Reads the columns `columns` of a material at many energies (MeV) into `outputs`, one array
// of as many values as energies for each column (cm2/g, times `factor`); NaN where an energy
// has no reading (outside the tables, not a number, not above 0). At an edge energy `side`
// chooses the row below or above the edge. Every value is readMaterial's within 1e-12 (a
// row's energy reads its row to the bit), and the same to the bit whichever columns are
// read with it and wherever it stands in however long a batch. The logarithms and
// exponentials of a block are taken with the machine's SIMD instructions, and an interval is
// found in O(1). Safe from several threads at once. For example, mu/rho and mu_en/rho of water at
// 10^6 energies:
//     readMaterialBatch(*water, ReadingMethod::spline, EdgeSide::below, energies,
//                       std::array{0, 2}, std::array{mu.data(), muEn.data()});
void readMaterialBatch(const Material& material, ReadingMethod method, EdgeSide side,
                       std::span<const double> energies, std::span<const int> columns,
                       std::span<double* const> outputs, double factor = 1.0);

// A material's batch curves for a method; none where the spline could not be fitted.
const BatchCurves* batchCurvesOf(const Material& material, ReadingMethod method);

// The values of the upper row of an edge (row `upper`) by a method: the spline's total of
// the cross sections is the sum of its partials.
std::array<double, kMaxReadingColumns> valuesAboveEdge(const Material& material, int upper,
                                                       ReadingMethod method);

// The factor from cm2/g to b/atom for an element's table: A / 0.60221367, A its atomic
// weight (g/mol); nothing for a table of any other material.
std::optional<double> barnsPerAtomFactor(const DataDirectory& data, const Material& material);

// Whether a density (g/cm3) can stand for a material: finite and above 0.
bool usableDensity(double density);

// Every energy (MeV) at which a column takes a value (cm2/g) by a method, ascending.
std::vector<Crossing> energiesWhere(const Material& material, int column, double value,
                                    ReadingMethod method);

// Up to three names of tables (stems, symbols or their own names) closest to `name` in
// spelling, closest first; none when nothing comes near.
std::vector<std::string> closestNames(const DataDirectory& data, const std::string& name,
                                      TableKind quantities);

// The hint after an unknown name: " (did you mean Water, Wax or Air?)" with the closest
// names, or nothing when none comes near.
std::string didYouMean(const DataDirectory& data, const std::string& name);

// Loads the request's table from the data directory, or combines its formula or mixture
// from the element tables there; nothing, with `error` naming the request, when it cannot.
std::optional<Material> loadMaterial(const DataDirectory& data, const MaterialRequest& request,
                                     TableKind quantities, RequestError& error);

// The same, shared: a table is read and fitted once and kept while its file is unchanged
// (path, size, modification time, inode), from any thread, so asking again costs a look at
// the file's stamp; a formula or a mixture is combined anew. Null, with `error`, on failure.
std::shared_ptr<const Material> sharedMaterial(const DataDirectory& data,
                                               const MaterialRequest& request, TableKind quantities,
                                               RequestError& error);

// A table's header (own name, density), kept while its file is unchanged.
std::optional<TableHeader> tableHeader(const std::string& path, TableKind quantities,
                                       std::string& error);

// The composition by weight of a formula or a mixture; `notes` gets how formulas that
// read two ways were read.
std::optional<std::vector<CompositionEntry>> compositionOf(const DataDirectory& data,
                                                           const MaterialRequest& request,
                                                           RequestError& error,
                                                           std::vector<std::string>& notes);

// Every table of a kind that a name picks, at the first of these that picks any: the path
// of a table file (one that holds a directory or ends in a table's extension); a stem
// ("82_Pb", "Water"); an element symbol in any case or an atomic number ("Pb", "82"); a
// table's own name ("Lead", "Water, Liquid"), any case.
std::vector<std::string> tablesMatching(const DataDirectory& data, const std::string& name,
                                        TableKind quantities);

// A table of the data directory and the texts a name picks it by: its stem, its own name
// and, for an element's table, its symbol and atomic number.
struct TableKeys {
    std::string path;
    std::vector<std::string> keys;
};

// Every table of a kind in the data directory, with its keys.
std::vector<TableKeys> everyTable(const DataDirectory& data, TableKind quantities);

// The path of the one table of a kind a name picks; nothing, with `error` naming the closest
// names or every table it picks, when it picks none or more than one.
std::optional<std::string> findTable(const DataDirectory& data, const std::string& name,
                                     TableKind quantities, RequestError& error);

// The recipe of a composition by weight.
Recipe recipeOf(const std::vector<CompositionEntry>& composition);

} // namespace tarvo
