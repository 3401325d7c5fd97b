#include "cli/reading_loop.h"

#include "cli/number_text.h"
#include "coefview/attenuation.h"
#include "common/elements.h"
#include "common/numeric_text.h"

#include <cmath>
#include <ostream>

namespace tarvo::cli {
namespace {

// Rows whose missing values are named one by one on the error stream; the rest are counted.
constexpr long kNamedMissingRows = 10;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Heading headingFor(const Material& material, const CommandContext& c) {
    Heading heading;
    heading.material = material.label;
    heading.density = material.density;
    heading.facts = {{"method", readingMethodName(c.method)}};
    heading.notes = material.notes;
    heading.rowNotes = true;
    return heading;
}

Column energyColumn(const std::string& unit) {
    return {"energy", "Energy", unit, ColumnKind::number};
}

const Column kSide{"side", "Edge", "", ColumnKind::comment};

std::optional<EnergyStream> energies(const ReadingOptions& options, const CommandContext& c,
                                     int& status) {
    std::string error;
    auto stream = EnergyStream::open(options.energies, c.in, c.inputIsTerminal, error);
    if (!stream) {
        status = fail(c, error, kUsageError);
    }
    return stream;
}

// The energies and the material of a reading command; nothing, with `status` set, when
// either cannot be had.
std::optional<std::pair<EnergyStream, Material>>
energiesAndMaterial(const MaterialRequest& request, const ReadingOptions& options,
                    TableKind quantities, const CommandContext& c, int& status) {
    auto stream = energies(options, c, status);
    auto material = stream ? loaded(request, quantities, c, status) : std::nullopt;
    if (!material) {
        return std::nullopt;
    }
    return std::make_pair(std::move(*stream), std::move(*material));
}

// Writes the rows of a reading command: the energy, the side and `count` values a row.
int writeReadings(const Material& material, const ReadingOptions& options, EnergyStream& stream,
                  Heading heading, int count, double scale, const CommandContext& c) {
    RowWriter writer(c.out, c.format, c.digits);
    writer.begin(heading);
    std::array<Cell, 2 + kMaxReadingColumns> cells{};
    const bool all = forEachReading(material, options, c, stream, [&](const ReadingRow& row) {
        cells[0].number = row.energy;
        cells[1].text = row.side;
        for (int k = 0; k < count; ++k) {
            cells[static_cast<size_t>(2 + k)].number = row.values ? row.values[k] * scale : kNaN;
        }
        writer.row(std::span(cells.data(), static_cast<size_t>(2 + count)), row.note);
    });
    writer.end();
    return all ? 0 : kDataError;
}

} // namespace

std::optional<Material> loaded(const MaterialRequest& request, TableKind quantities,
                               const CommandContext& c, int& status) {
    RequestError error;
    auto material = loadMaterial(c.data, request, quantities, error);
    if (!material) {
        status = fail(c, error.message,
                      error.problem == RequestProblem::syntax ? kUsageError : kDataError);
        return material;
    }
    for (const std::string& note : material->notes) {
        c.err << "tarvo: note: " << printable(note) << '\n';
    }
    return material;
}

void MissingRows::add(std::string_view why) {
    if (++m_count <= kNamedMissingRows) {
        m_context.err << "tarvo: " << printable(why) << '\n';
    }
}

bool MissingRows::finish() {
    if (m_count > kNamedMissingRows) {
        m_context.err << "tarvo: " << m_count << " rows in all have no values\n";
    }
    return m_count == 0;
}

bool readChunk(const Material& material, ReadingMethod method, EnergyStream& stream,
               ReadingChunk& chunk) {
    chunk.energies.resize(kReadingChunk);
    std::size_t count = 0;
    while (count < kReadingChunk && stream.next(chunk.energies[count])) {
        ++count;
    }
    chunk.energies.resize(count);
    chunk.mev.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        chunk.mev[i] = chunk.energies[i].problem.empty() ? chunk.energies[i].mev
                                                         : std::numeric_limits<double>::quiet_NaN();
    }
    const auto columnCount = static_cast<std::size_t>(material.readings.columnCount);
    chunk.columns.resize(columnCount);
    std::array<double*, kMaxReadingColumns> outputs{};
    std::array<int, kMaxReadingColumns> columns{};
    for (std::size_t k = 0; k < columnCount; ++k) {
        chunk.columns[k].resize(count);
        outputs[k] = chunk.columns[k].data();
        columns[k] = static_cast<int>(k);
    }
    // Without batch curves (no spline fitted) every energy is read on its own.
    chunk.alone.assign(count, 1);
    if (const BatchCurves* curves = batchCurvesOf(material, method)) {
        chunk.alone.assign(count, 0);
        readBatch(*curves, chunk.mev, std::span(columns.data(), columnCount),
                  std::span(outputs.data(), columnCount), 1.0,
                  [&chunk](std::size_t i) { chunk.alone[i] = 1; });
    }
    return count > 0;
}

std::string noReading(const Material& material, const InputEnergy& energy, const Reading& reading,
                      const std::string& unit) {
    const std::string at = formatValue(energy.given, 6) + " " + unit;
    if (!material.splines && !material.splineError.empty()) {
        return "the spline cannot read the table of " + material.label + " (" +
               material.splineError + "); use --method loglog";
    }
    if (reading.result == ReadingResult::calculationError) {
        return "the table of " + material.label + " cannot be read at " + at;
    }
    return at + " lies outside the table of " + material.label +
           (material.quantities == TableKind::coefficients ? " (1 keV to 20 MeV)"
                                                           : " (1 keV to 100 GeV)");
}

int readCoefficients(const MaterialRequest& request, const ReadingOptions& options,
                     const CommandContext& c) {
    int status = 0;
    auto input = energiesAndMaterial(request, options, TableKind::coefficients, c, status);
    if (!input) {
        return status;
    }
    auto& [stream, material] = *input;
    Heading heading = headingFor(material, c);
    heading.columns = {energyColumn(options.energies.unit),
                       kSide,
                       {"mu", "mu/rho", "cm2/g"},
                       {"mu_tr", "mu_tr/rho", "cm2/g"},
                       {"mu_en", "mu_en/rho", "cm2/g"}};
    return writeReadings(material, options, stream, heading, 3, 1.0, c);
}

int readCrossSections(const MaterialRequest& request, const ReadingOptions& options,
                      const CommandContext& c) {
    int status = 0;
    auto input = energiesAndMaterial(request, options, TableKind::crossSections, c, status);
    if (!input) {
        return status;
    }
    auto& [stream, material] = *input;
    double scale = 1.0;
    if (options.perAtom) {
        const auto factor = barnsPerAtomFactor(c.data, material);
        if (!factor) {
            return fail(c, "--per-atom is for the table of an element", kUsageError);
        }
        scale = *factor;
    }
    const std::string unit = options.perAtom ? "b/atom" : "cm2/g";
    Heading heading = headingFor(material, c);
    heading.columns = {energyColumn(options.energies.unit),
                       kSide,
                       {"coherent", "coherent", unit},
                       {"incoherent", "incoherent", unit},
                       {"photoelectric", "photo-electric", unit},
                       {"pair_nuclear", "pair nuclear", unit},
                       {"pair_electron", "pair electron", unit},
                       {"total", "total", unit}};
    if (c.method == ReadingMethod::spline) {
        heading.notes.push_back("the total is the sum of the partial cross sections");
    }
    return writeReadings(material, options, stream, heading, 6, scale, c);
}

namespace {

// A layer asked for: a thickness (cm, or g/cm2 when `mass`), or the transmission it leaves.
struct Layer {
    double thickness = 0.0;
    bool mass = false;
    double transmission = 0.0; // above 0: the thickness is found from it
};

std::optional<std::vector<Layer>> layersOf(const AttenuationOptions& a, std::string& error) {
    std::vector<Layer> layers;
    for (const std::string& text : a.thicknesses) {
        Layer layer;
        const auto thickness = thicknessOf(text, layer.mass);
        if (!thickness) {
            error =
                "--thickness \"" + text + "\" is not a positive number with um, mm, cm, m or g/cm2";
            return std::nullopt;
        }
        layer.thickness = *thickness;
        layers.push_back(layer);
    }
    for (const std::string& text : a.transmissions) {
        const auto fraction = strictNumber(trimBlanks(text));
        if (!fraction || !(*fraction > 0) || !(*fraction <= 1)) {
            error = "--transmission \"" + text + "\" is not a fraction above 0 and at most 1";
            return std::nullopt;
        }
        layers.push_back({0.0, false, *fraction});
    }
    if (layers.empty() || (!a.thicknesses.empty() && !a.transmissions.empty())) {
        error = "give --thickness or --transmission (either may list several)";
        return std::nullopt;
    }
    return layers;
}

// The unit lengths are shown in: the one asked for, else the first thickness's, else cm.
std::optional<ThicknessUnit> lengthUnitOf(const AttenuationOptions& a, std::string& name) {
    name = a.lengthUnit;
    if (name.empty()) {
        name = "cm";
        if (!a.thicknesses.empty()) {
            const std::string& first = a.thicknesses.front();
            const size_t unit = first.find_first_not_of("0123456789.eE+- ");
            const std::string given = unit == std::string::npos ? "" : first.substr(unit);
            if (const auto u = thicknessUnitOf(given);
                u && *u != ThicknessUnit::gramsPerSquareCentimetre) {
                name = given;
            }
        }
    }
    const auto unit = thicknessUnitOf(name);
    if (!unit || *unit == ThicknessUnit::gramsPerSquareCentimetre) {
        return std::nullopt;
    }
    return unit;
}

std::vector<Column> attenuationColumns(const std::string& energyUnit, const std::string& length) {
    return {energyColumn(energyUnit),
            kSide,
            {"mu", "mu/rho", "cm2/g"},
            {"thickness", "thickness", length},
            {"mass_thickness", "thickness", "g/cm2"},
            {"transmission", "I/I0", ""},
            {"attenuated", "attenuated", ""},
            {"absorbed", "energy absorbed", ""},
            {"hvl", "HVL", length},
            {"hvl_mass", "HVL", "g/cm2"},
            {"tvl", "TVL", length},
            {"mfp", "mean free path", length}};
}

// The cells of one layer at one reading; NaN where the reading has no values.
void layerCells(const ReadingRow& row, const Layer& layer, double rho, ThicknessUnit unit,
                std::array<Cell, 12>& cells) {
    cells[0].number = row.energy;
    cells[1].text = row.side;
    for (size_t k = 2; k < cells.size(); ++k) {
        cells[k].number = kNaN;
    }
    const double depth = layer.transmission > 0 ? 0.0
                         : layer.mass           ? layer.thickness / rho
                                                : layer.thickness;
    if (!row.values) {
        return;
    }
    const double mu = row.values[0] * rho; // 1/cm
    const double cm = layer.transmission > 0 ? -std::log(layer.transmission) / mu : depth;
    const std::optional<Attenuation> a = attenuationOf(row.values[0], row.values[2], rho, cm);
    if (!a) {
        return;
    }
    const auto length = [&](double centimetres) { return thicknessInUnit(centimetres, unit, rho); };
    const double values[] = {row.values[0],
                             length(cm),
                             cm * rho,
                             a->transmission,
                             a->attenuated,
                             a->energyAbsorbed,
                             length(a->halfValueLayer),
                             a->halfValueLayer * rho,
                             length(a->tenthValueLayer),
                             length(a->meanFreePath)};
    for (size_t k = 0; k < std::size(values); ++k) {
        cells[k + 2].number = values[k] + 0.0; // no "-0" where a layer takes nothing
    }
}

} // namespace

int attenuate(const MaterialRequest& request, const ReadingOptions& options,
              const AttenuationOptions& attenuation, const CommandContext& c) {
    std::string error;
    std::string lengthName;
    const auto layers = layersOf(attenuation, error);
    const auto unit = layers ? lengthUnitOf(attenuation, lengthName) : std::nullopt;
    if (!layers || !unit) {
        return fail(c, layers ? "--length-unit is um, mm, cm or m" : error, kUsageError);
    }
    if (attenuation.density && !usableDensity(*attenuation.density)) {
        return fail(c, "--density must be a finite number above 0 (g/cm3)", kUsageError);
    }
    int status = 0;
    auto input = energiesAndMaterial(request, options, TableKind::coefficients, c, status);
    if (!input) {
        return status;
    }
    auto& [stream, material] = *input;
    const double rho = attenuation.density.value_or(material.density);
    if (!usableDensity(rho)) {
        return fail(c, "--density is needed for a formula or a mixture (g/cm3)", kUsageError);
    }
    material.density = rho;
    Heading heading = headingFor(material, c);
    heading.columns = attenuationColumns(options.energies.unit, lengthName);
    heading.notes.push_back("narrow beam; the energy absorbed is (mu_en/mu) (1 - I/I0)");
    RowWriter writer(c.out, c.format, c.digits);
    writer.begin(heading);
    std::array<Cell, 12> cells{};
    const bool all = forEachReading(material, options, c, stream, [&](const ReadingRow& row) {
        for (const Layer& layer : *layers) {
            layerCells(row, layer, rho, *unit, cells);
            writer.row(cells, row.note);
        }
    });
    writer.end();
    return all ? 0 : kDataError;
}

} // namespace tarvo::cli
