#include "commands.h"

#include "coefview/attenuation.h"
#include "coefview/equal_interval.h"
#include "common/numeric_text.h"
#include "common/text_file.h"
#include "splinetool/grid_interpolation.h"
#include "splinetool/spline_tool.h"

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

int fail(const CommandContext& c, const std::string& message, int status) {
    c.err << "tarvo: " << message << '\n';
    return status;
}

} // namespace tarvo::cli
