#include "commands.h"

#include "cli/reading_loop.h"

#include "coefview/attenuation.h"
#include "common/numeric_text.h"
#include "materials/equal_steps.h"

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
        loaded(request, quantity == "total" ? TableKind::crossSections : TableKind::coefficients, c,
               status);
    if (!material) {
        return status;
    }
    OutputTable table = tableFor(
        *material, {{"energy", "Energy", unit}, {"where", "Where", "", ColumnKind::comment}});
    table.heading.facts = {{"method", readingMethodName(c.method)}};
    const double scale = unitsPerMeVNamed(unit).value_or(1.0);
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
    const std::optional<GivenThickness> thickness = parseThickness(given);
    if (!thickness || !(thickness->value > 0)) {
        return std::nullopt;
    }
    massThickness = thickness->unit == ThicknessUnit::gramsPerSquareCentimetre;
    // A mass thickness stays in g/cm2 until the density is known.
    return massThickness ? thickness->value : thicknessInCm(thickness->value, thickness->unit, 1.0);
}

namespace {} // namespace

int equalStepTable(const MaterialRequest& request, const StepOptions& given,
                   const CommandContext& c) {
    // The steps are worked in keV, as the spline tool works them.
    const double toKeV = 1000.0 / unitsPerMeVNamed(given.unit).value_or(1000.0);
    const auto method = stepMethodNamed(given.method);
    if (!equalStepCount(given.from * toKeV, given.to * toKeV, given.step * toKeV) || !method) {
        return fail(c,
                    "--from, --to and --step must lie from 1 keV to 20 MeV, at most " +
                        std::to_string(kMaxEqualSteps) +
                        " points, and --method be spline, loglog (linear) or spline-tool",
                    kUsageError);
    }
    int status = 0;
    const auto material = loaded(request, TableKind::coefficients, c, status);
    if (!material) {
        return status;
    }
    std::string error;
    const auto steps = tarvo::equalStepTable(*material, given.from * toKeV, given.to * toKeV,
                                             given.step * toKeV, *method, error);
    if (!steps) {
        return fail(c, error, kDataError);
    }
    OutputTable table = tableFor(*material, {{"energy", "Energy", given.unit},
                                             {"mu", "mu/rho", "cm2/g"},
                                             {"mu_tr", "mu_tr/rho", "cm2/g"},
                                             {"mu_en", "mu_en/rho", "cm2/g"}});
    table.heading.facts = {{"method", stepMethodName(*method)}};
    for (const auto& row : steps->rows) {
        table.rows.push_back({row[0] / toKeV, row[1], row[2], row[3]});
    }
    for (const std::string& note : steps->notes) {
        table.heading.notes.push_back(note);
        c.err << "tarvo: note: " << note << '\n';
    }
    writeTable(c.out, table, c.format, c.digits);
    return 0;
}

int fail(const CommandContext& c, const std::string& message, int status) {
    c.err << "tarvo: " << printable(message) << '\n';
    return status;
}

} // namespace tarvo::cli
