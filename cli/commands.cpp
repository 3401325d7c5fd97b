#include "commands.h"

#include "coefview/attenuation.h"
#include "coefview/combine_coefficient_tables.h"
#include "coefview/equal_interval.h"
#include "common/elements.h"
#include "common/numeric_text.h"
#include "common/text_file.h"
#include "splinetool/grid_interpolation.h"
#include "splinetool/spline_tool.h"
#include "xsview/combine_element_tables.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <ostream>

namespace tarvo::cli {
namespace {

// The energies a reading may ask for (MeV) in each kind of table.
constexpr double kLowestEnergy = 0.001;
constexpr double kHighestCoefficientEnergy = 20.0;
constexpr double kHighestCrossSectionEnergy = 100000.0;

const Column kEnergy{"energy", "Energy", "MeV"};
const Column kSide{"side", "Edge", ""};

int fail(const CommandContext& c, const std::string& message, int status) {
    c.err << "tarvo: " << message << '\n';
    return status;
}

std::vector<Cell> cells(double energy, const std::string& side, const double* values, int count) {
    std::vector<Cell> row{energy, side};
    row.insert(row.end(), values, values + count);
    return row;
}

// The columns at each energy, both sides at an edge energy; an energy the table cannot
// answer is named on the error stream and the others are answered. True when all were.
bool answerEnergies(const std::vector<double>& energies, const Material& material, double highest,
                    OutputTable& table, const CommandContext& c) {
    bool all = true;
    const ReadingTable& readings = material.readings;
    table.rows.reserve(table.rows.size() + energies.size());
    for (const double energy : energies) {
        const Reading reading = readAtEnergy(readings, energy, kLowestEnergy, highest);
        if (reading.result != ReadingResult::found) {
            c.err << "tarvo: " << formatValue(energy, 6) << " MeV lies outside the table of "
                  << material.label << "\n";
            all = false;
            continue;
        }
        const int upper = upperEdgeRow(readings, energy);
        table.rows.push_back(
            cells(energy, upper ? "below" : "", reading.values.data(), readings.columnCount));
        if (upper) {
            table.rows.push_back(cells(energy, "above",
                                       readings.values[static_cast<size_t>(upper)].data(),
                                       readings.columnCount));
        }
    }
    return all;
}

std::optional<Material> loaded(const MaterialRequest& request, Quantities quantities,
                               const CommandContext& c) {
    std::string error;
    auto material = loadMaterial(c.data, request, quantities, error);
    if (!material) {
        fail(c, error, kDataError);
        return material;
    }
    for (const std::string& note : material->notes) {
        c.err << "tarvo: note: " << note << '\n';
    }
    return material;
}

std::optional<std::vector<double>> energies(const EnergyOptions& options, const CommandContext& c) {
    std::string error;
    auto list = energiesOf(options, c.in, c.inputIsTerminal, error);
    if (!list) {
        fail(c, error, kUsageError);
    }
    return list;
}

const std::vector<Column>& coefficientColumns() {
    static const std::vector<Column> columns{{"mu", "mu/rho", "cm2/g"},
                                             {"mu_tr", "mu_tr/rho", "cm2/g"},
                                             {"mu_en", "mu_en/rho", "cm2/g"}};
    return columns;
}

OutputTable tableFor(const Material& material, std::vector<Column> columns) {
    OutputTable table;
    table.material = material.label;
    table.density = material.density;
    table.columns = std::move(columns);
    table.notes = material.notes;
    return table;
}

} // namespace

int readCoefficients(const MaterialRequest& request, const EnergyOptions& options,
                     const CommandContext& c) {
    const auto list = energies(options, c);
    const auto material = list ? loaded(request, Quantities::coefficients, c) : std::nullopt;
    if (!material) {
        return list ? kDataError : kUsageError;
    }
    std::vector<Column> columns{kEnergy, kSide};
    columns.insert(columns.end(), coefficientColumns().begin(), coefficientColumns().end());
    OutputTable table = tableFor(*material, columns);
    const bool all = answerEnergies(*list, *material, kHighestCoefficientEnergy, table, c);
    writeTable(c.out, table, c.format, c.digits);
    return all ? 0 : kDataError;
}

int readCrossSections(const MaterialRequest& request, const EnergyOptions& options,
                      const CommandContext& c) {
    const auto list = energies(options, c);
    const auto material = list ? loaded(request, Quantities::crossSections, c) : std::nullopt;
    if (!material) {
        return list ? kDataError : kUsageError;
    }
    OutputTable table = tableFor(*material, {kEnergy,
                                             kSide,
                                             {"coherent", "coherent", "cm2/g"},
                                             {"incoherent", "incoherent", "cm2/g"},
                                             {"photoelectric", "photo-electric", "cm2/g"},
                                             {"pair_nuclear", "pair nuclear", "cm2/g"},
                                             {"pair_electron", "pair electron", "cm2/g"},
                                             {"total", "total", "cm2/g"}});
    const bool all = answerEnergies(*list, *material, kHighestCrossSectionEnergy, table, c);
    writeTable(c.out, table, c.format, c.digits);
    return all ? 0 : kDataError;
}

int findEnergies(const MaterialRequest& request, const std::string& quantity, double value,
                 const CommandContext& c) {
    static const std::map<std::string, int> columns{
        {"mu", 0}, {"mu_tr", 1}, {"mu_en", 2}, {"total", 5}};
    const auto column = columns.find(quantity);
    if (column == columns.end() || !(value > 0)) {
        return fail(c, "give one of --mu, --mu-tr, --mu-en, --total with a value above 0",
                    kUsageError);
    }
    const auto material = loaded(
        request, quantity == "total" ? Quantities::crossSections : Quantities::coefficients, c);
    if (!material) {
        return kDataError;
    }
    OutputTable table = tableFor(*material, {kEnergy, {"where", "Where", ""}});
    for (const Crossing& crossing : everyEnergyAt(material->readings, column->second, value)) {
        table.rows.push_back({crossing.energy, crossing.kind == CrossingKind::atEdge
                                                   ? std::string("at an edge, jumping across")
                                                   : std::string()});
    }
    writeTable(c.out, table, c.format, c.digits);
    if (table.rows.empty()) {
        return fail(c, material->label + " never takes the value " + formatValue(value, 6),
                    kDataError);
    }
    return 0;
}

std::optional<double> thicknessOf(const std::string& text, bool& massThickness) {
    size_t split = 0;
    while (split < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[split])) || text[split] == '.' ||
            text[split] == 'e' || text[split] == 'E' || text[split] == '+' || text[split] == '-')) {
        ++split;
    }
    std::string unitText = text.substr(split);
    unitText.erase(0, unitText.find_first_not_of(' '));
    const std::optional<double> number = strictNumber(text.substr(0, split));
    const std::optional<ThicknessUnit> unit = thicknessUnitOf(unitText);
    if (!number || !(*number > 0) || !unit) {
        return std::nullopt;
    }
    massThickness = *unit == ThicknessUnit::gramsPerSquareCentimetre;
    // A mass thickness stays in g/cm2 until the density is known.
    return massThickness ? *number : thicknessInCm(*number, *unit, 1.0);
}

int attenuate(const MaterialRequest& request, const EnergyOptions& options,
              const std::string& thicknessText, std::optional<double> density,
              const CommandContext& c) {
    bool mass = false;
    const std::optional<double> thickness = thicknessOf(thicknessText, mass);
    if (!thickness) {
        return fail(c,
                    "--thickness \"" + thicknessText +
                        "\" is not a positive number with um, mm, cm, m or g/cm2",
                    kUsageError);
    }
    const auto list = energies(options, c);
    auto material = list ? loaded(request, Quantities::coefficients, c) : std::nullopt;
    if (!material) {
        return list ? kDataError : kUsageError;
    }
    const double rho = density.value_or(material->density);
    if (!(rho > 0)) {
        return fail(c, "--density is needed for a formula or a mixture", kUsageError);
    }
    material->density = rho;
    OutputTable table = tableFor(*material, {kEnergy,
                                             kSide,
                                             coefficientColumns()[0],
                                             {"transmission", "I/I0", ""},
                                             {"attenuated", "attenuated", ""},
                                             {"absorbed", "energy absorbed", ""},
                                             {"hvl", "HVL", "cm"},
                                             {"tvl", "TVL", "cm"},
                                             {"mfp", "mean free path", "cm"}});
    OutputTable coefficients = tableFor(*material, {});
    const bool all = answerEnergies(*list, *material, kHighestCoefficientEnergy, coefficients, c);
    const double depth = mass ? *thickness / rho : *thickness; // cm
    for (const auto& row : coefficients.rows) {
        const double muOverRho = std::get<double>(row[2]);
        const std::optional<Attenuation> a =
            attenuationOf(muOverRho, std::get<double>(row[4]), rho, depth);
        if (a) {
            table.rows.push_back({row[0], row[1], row[2], a->transmission, a->attenuated,
                                  a->energyAbsorbed, a->halfValueLayer, a->tenthValueLayer,
                                  a->meanFreePath});
        }
    }
    table.notes.push_back("thickness " + thicknessText +
                          ", narrow beam; the energy absorbed is "
                          "(mu_en/mu) (1 - I/I0)");
    writeTable(c.out, table, c.format, c.digits);
    return all ? 0 : kDataError;
}

namespace {

std::optional<spline::SplineTable> splineTableOf(const Material& material, std::string& error) {
    if (material.coefficients.size() < 2 ||
        material.coefficients.size() > static_cast<size_t>(spline::kMaxTableRows)) {
        error = "the spline takes tables of 2 to " + std::to_string(spline::kMaxTableRows) +
                " rows; use --method linear";
        return std::nullopt;
    }
    spline::SplineTable table;
    table.rowCount = static_cast<int>(material.coefficients.size());
    for (int j = 1; j <= table.rowCount; ++j) {
        const CoefficientRow& row = material.coefficients[static_cast<size_t>(j - 1)];
        table.x[static_cast<size_t>(j)] = row.energy * 1000.0;
        table.y[0][static_cast<size_t>(j)] = row.attenuation;
        table.y[1][static_cast<size_t>(j)] = row.energyTransfer;
        table.y[2][static_cast<size_t>(j)] = row.energyAbsorption;
    }
    return table;
}

bool splineRows(const Material& material, const StepOptions& steps, int points, OutputTable& table,
                std::string& error) {
    const auto splineTable = splineTableOf(material, error);
    const auto segments = splineTable ? spline::splitSegments(*splineTable, error) : std::nullopt;
    if (!segments) {
        return false;
    }
    if (gridEnergy(points, steps.step, steps.from) >
        segments->top[static_cast<size_t>(segments->count)]) {
        error = "--to lies above the table's last energy";
        return false;
    }
    const std::optional<spline::GridValues> grid =
        spline::interpolateGrid(*splineTable, *segments, steps.step, points, error, steps.from);
    if (!grid) {
        return false;
    }
    for (int i = 1; i <= points; ++i) {
        const auto& v = grid->values[static_cast<size_t>(i - 1)];
        table.rows.push_back({gridEnergy(i, steps.step, steps.from), v[0], v[1], v[2]});
    }
    for (const spline::SegmentRepair& repair : grid->repairs) {
        table.notes.push_back(spline::repairText(repair));
    }
    return true;
}

bool linearRows(const Material& material, const StepOptions& steps, int points, OutputTable& table,
                std::string& error) {
    const std::vector<CoefficientRow>& rows = material.coefficients;
    if (rows.empty() || gridEnergyMeV(1, steps.step, steps.from) < rows.front().energy) {
        error = formatValue(steps.from, 6) + " keV lies outside the table";
        return false;
    }
    const auto values = interpolateLinear(rows, steps.step, points, error, steps.from);
    for (int i = 1; values && i <= points; ++i) {
        const IntervalValues& v = (*values)[static_cast<size_t>(i - 1)];
        table.rows.push_back({gridEnergy(i, steps.step, steps.from), v[0], v[1], v[2]});
    }
    return values.has_value();
}

} // namespace

int equalStepTable(const MaterialRequest& request, const StepOptions& steps,
                   const CommandContext& c) {
    const double count = (steps.to - steps.from) / steps.step + 1 + 1e-9;
    if (!(steps.from >= 1.0) || !(steps.to <= 20000.0) || !(steps.step > 0) || !(count >= 1) ||
        count > 100000 || (steps.method != "linear" && steps.method != "spline")) {
        return fail(c,
                    "--from, --to and --step must lie from 1 to 20000 keV, at most 100000 "
                    "points, and --method be linear or spline",
                    kUsageError);
    }
    const auto material = loaded(request, Quantities::coefficients, c);
    if (!material) {
        return kDataError;
    }
    std::vector<Column> columns{{"energy", "Energy", "keV"}};
    columns.insert(columns.end(), coefficientColumns().begin(), coefficientColumns().end());
    OutputTable table = tableFor(*material, columns);
    const int points = static_cast<int>(count);
    std::string error;
    if (!(steps.method == "spline" ? splineRows(*material, steps, points, table, error)
                                   : linearRows(*material, steps, points, table, error))) {
        return fail(c, error, kDataError);
    }
    for (size_t n = material->notes.size(); n < table.notes.size(); ++n) {
        c.err << "tarvo: note: " << table.notes[n] << '\n';
    }
    writeTable(c.out, table, c.format, c.digits);
    return 0;
}

namespace {

struct ListedTable {
    std::string kind;
    std::string category;
    std::string name;
    double density = 0.0;
    std::string tables;
};

const char* categoryOf(const std::string& extension) {
    static const std::map<std::string, const char*> categories{
        {".mix", "human"},    {".mucm", "human"}, {".mix2", "phantom"},
        {".muc2", "phantom"}, {".mix3", "other"}, {".muc3", "other"}};
    const auto found = categories.find(extension);
    return found == categories.end() ? "" : found->second;
}

// Adds the tables of a directory with one of the extensions; `tables` names their kind.
void addTables(std::map<std::string, ListedTable>& listed, const DataDirectory& data,
               const std::string& directory, std::initializer_list<const char*> extensions,
               const std::string& kind, const std::string& tables) {
    for (const char* extension : extensions) {
        for (const std::string& file : listFiles(data.path(directory), extension)) {
            const std::string stem = file.substr(0, file.size() - std::string(extension).size());
            const std::string path = data.path(formPath(directory, file));
            std::string error;
            const auto header = kind == "element" || tables == "mu"
                                    ? readCoefficientHeader(path, error)
                                    : readTableHeader(path, error);
            ListedTable& entry = listed[stem];
            entry.tables = entry.tables.empty() ? tables : entry.tables + "+" + tables;
            if (header) {
                entry = {kind, categoryOf(extension), header->name, header->density, entry.tables};
            }
        }
    }
}

} // namespace

int listTables(const std::string& which, const std::string& category, const CommandContext& c) {
    if ((!which.empty() && which != "elements" && which != "materials") ||
        (!category.empty() && category != "human" && category != "phantom" &&
         category != "other")) {
        return fail(c, "list takes elements or materials and --category human, phantom or other",
                    kUsageError);
    }
    std::map<std::string, ListedTable> listed;
    if (which != "materials" && category.empty()) {
        addTables(listed, c.data, "ele", {".ele"}, "element", "xs");
        addTables(listed, c.data, "mu_ele", {".mut"}, "element", "mu");
    }
    if (which != "elements") {
        addTables(listed, c.data, "mix", {".mix", ".mix2", ".mix3"}, "material", "xs");
        addTables(listed, c.data, "mu_mix", {".mucm", ".muc2", ".muc3"}, "material", "mu");
    }
    OutputTable table;
    table.material = "tables";
    table.columns = {{"stem", "Stem", ""},
                     {"kind", "Kind", ""},
                     {"category", "Category", ""},
                     {"name", "Name", ""},
                     {"density", "Density", "g/cm3"},
                     {"tables", "Tables", ""}};
    for (const auto& [stem, entry] : listed) {
        if (category.empty() || entry.category == category) {
            table.rows.push_back(
                {stem, entry.kind, entry.category, entry.name, entry.density, entry.tables});
        }
    }
    writeTable(c.out, table, c.format, c.digits);
    return table.rows.empty() ? kDataError : 0;
}

namespace {

enum class TableKind { crossSections, coefficients };

std::optional<TableKind> kindOf(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension == ".mix" || extension == ".mix2" || extension == ".mix3") {
        return TableKind::crossSections;
    }
    if (extension == ".mucm" || extension == ".muc2" || extension == ".muc3") {
        return TableKind::coefficients;
    }
    return std::nullopt;
}

// The recipe the creators would take: a formula by its atoms as the compound creator reads
// it, or as 100 weight % as the material creator reads it; a mixture by weight.
std::optional<Recipe> combinationRecipe(const DataDirectory& data, const MaterialRequest& request,
                                        TableKind kind, std::string& error,
                                        std::vector<std::string>& notes) {
    if (request.mixture.empty()) {
        const bool byAtoms = kind == TableKind::crossSections;
        std::string note;
        auto recipe = formulaRecipe(
            byAtoms ? request.formula : request.formula + " 100",
            byAtoms ? Weighting::byAtoms : Weighting::byWeight,
            [&data](int z) { return shippedAtomicWeight(data, z); }, error, note);
        if (!note.empty()) {
            notes.push_back(note);
        }
        if (!recipe) {
            error = "--formula " + error;
        }
        return recipe;
    }
    const auto composition = compositionOf(data, request, error, notes);
    return composition ? std::make_optional(recipeOf(*composition)) : std::nullopt;
}

bool writeCombined(const DataDirectory& data, const Recipe& recipe, TableKind kind, bool compound,
                   const std::string& name, double density, const std::string& path,
                   std::string& error) {
    if (kind == TableKind::coefficients) {
        const auto combined = combineCoefficientTables(data, recipe, error);
        return combined && writeMaterialCoefficientTable(path, name, density, combined->rows,
                                                         combined->composition, error);
    }
    // A formula is a compound, combined as the compound creator combines.
    const auto rows = combineElementTables(
        data, recipe, compound ? kCompoundEdgeFactor : kMixtureEdgeFactor, error);
    return rows && writeMaterialTable(path, name, density, *rows, error);
}

} // namespace

int combineTables(const MaterialRequest& request, const std::string& name, double density,
                  const std::string& out, const CommandContext& c) {
    const std::optional<TableKind> kind = kindOf(out);
    if (!kind || name.empty() || !(density > 0) || !request.name.empty()) {
        return fail(c,
                    "combine takes --formula or --mixture, a --name, a --density above 0 and "
                    "an --out ending in .mix, .mix2, .mix3, .mucm, .muc2 or .muc3",
                    kUsageError);
    }
    // A bare file name goes where the viewers list it.
    const std::string path =
        std::filesystem::path(out).has_parent_path()
            ? out
            : c.data.path(formPath(*kind == TableKind::coefficients ? "mu_mix" : "mix", out));
    std::string error;
    std::vector<std::string> notes;
    const auto recipe = combinationRecipe(c.data, request, *kind, error, notes);
    for (const std::string& note : notes) {
        c.err << "tarvo: note: " << note << '\n';
    }
    if (!recipe || !writeCombined(c.data, *recipe, *kind, request.mixture.empty(), name, density,
                                  path, error)) {
        return fail(c, error, kDataError);
    }
    c.out << "wrote " << nativePath(path) << '\n';
    return 0;
}

} // namespace tarvo::cli
