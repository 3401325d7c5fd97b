#include "commands.h"

#include "cli/reading_loop.h"

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

OutputTable tableFor(const Material& material, std::vector<Column> columns) {
    OutputTable table;
    table.heading.material = material.label;
    table.heading.density = material.density;
    table.heading.columns = std::move(columns);
    table.heading.notes = material.notes;
    return table;
}

} // namespace

int findEnergies(const MaterialRequest& request, const std::string& quantity, double value,
                 const std::string& unit, const CommandContext& c) {
    static const std::map<std::string, int> columns{
        {"mu", 0}, {"mu_tr", 1}, {"mu_en", 2}, {"total", 5}};
    const auto column = columns.find(quantity);
    if (column == columns.end() || !(value > 0) || !std::isfinite(value)) {
        return fail(c, "give one of --mu, --mu-tr, --mu-en, --total with a finite value above 0",
                    kUsageError);
    }
    int status = 0;
    const auto material =
        loaded(request, quantity == "total" ? Quantities::crossSections : Quantities::coefficients,
               c, status);
    if (!material) {
        return status;
    }
    OutputTable table = tableFor(
        *material, {{"energy", "Energy", unit}, {"where", "Where", "", ColumnKind::comment}});
    table.heading.facts = {{"method", methodName(c.method)}};
    const double scale = unit == "keV" ? 1000.0 : 1.0;
    for (const Crossing& crossing : energiesWhere(*material, column->second, value, c.method)) {
        table.rows.push_back(
            {crossing.energy * scale, crossing.kind == CrossingKind::atEdge
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

std::optional<double> thicknessOf(const std::string& given, bool& massThickness) {
    const std::string text(trimBlanks(given));
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

bool usableDensity(double density) {
    return density > 0 && std::isfinite(density);
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
        table.heading.notes.push_back(spline::repairText(repair));
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

int equalStepTable(const MaterialRequest& request, const StepOptions& given,
                   const CommandContext& c) {
    // The steps are worked in keV, as the spline tool works them.
    const double toKeV = given.unit == "MeV" ? 1000.0 : 1.0;
    StepOptions steps = given;
    steps.from *= toKeV;
    steps.to *= toKeV;
    steps.step *= toKeV;
    steps.method = given.method == "loglog" ? "linear" : given.method;
    const double count = (steps.to - steps.from) / steps.step + 1 + 1e-9;
    if (!(steps.from >= 1.0) || !(steps.to <= 20000.0) || !(steps.step > 0) || !(count >= 1) ||
        count > 100000 || (steps.method != "linear" && steps.method != "spline")) {
        return fail(c,
                    "--from, --to and --step must lie from 1 keV to 20 MeV, at most 100000 "
                    "points, and --method be linear (loglog) or spline",
                    kUsageError);
    }
    int status = 0;
    const auto material = loaded(request, Quantities::coefficients, c, status);
    if (!material) {
        return status;
    }
    OutputTable table = tableFor(*material, {{"energy", "Energy", given.unit},
                                             {"mu", "mu/rho", "cm2/g"},
                                             {"mu_tr", "mu_tr/rho", "cm2/g"},
                                             {"mu_en", "mu_en/rho", "cm2/g"}});
    table.heading.facts = {{"method", steps.method == "spline" ? "spline" : "loglog"}};
    const int points = static_cast<int>(count);
    std::string error;
    if (!(steps.method == "spline" ? splineRows(*material, steps, points, table, error)
                                   : linearRows(*material, steps, points, table, error))) {
        return fail(c, error, kDataError);
    }
    for (auto& row : table.rows) {
        row[0] = std::get<double>(row[0]) / toKeV;
    }
    for (size_t n = material->notes.size(); n < table.heading.notes.size(); ++n) {
        c.err << "tarvo: note: " << table.heading.notes[n] << '\n';
    }
    writeTable(c.out, table, c.format, c.digits);
    return 0;
}

int fail(const CommandContext& c, const std::string& message, int status) {
    c.err << "tarvo: " << printable(message) << '\n';
    return status;
}

} // namespace tarvo::cli
