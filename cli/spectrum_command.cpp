#include "commands.h"

#include "cli/reading_loop.h"

#include "beams/beam_quality.h"
#include "common/numeric_text.h"
#include "common/table_files.h"
#include "common/text_file.h"

#include <cmath>
#include <limits>
#include <ostream>

namespace tarvo::cli {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kMaxCurveSteps = 100000;

// A range of thicknesses, "0:10mm:50": from, to (the unit of either standing for both),
// and the number of equal steps between them.
struct Curve {
    GivenThickness from;
    GivenThickness to;
    int steps = 0;
};

std::optional<Curve> curveOf(const std::string& text) {
    const size_t first = text.find(':');
    const size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) {
        return std::nullopt;
    }
    const auto to = parseThickness(text.substr(first + 1, second - first - 1));
    const std::string fromText = text.substr(0, first);
    const auto plainFrom = strictNumber(trimBlanks(fromText));
    const auto from = plainFrom && to ? std::make_optional(GivenThickness{*plainFrom, to->unit})
                                      : parseThickness(fromText);
    const auto steps = strictNumber(trimBlanks(text.substr(second + 1)));
    if (!from || !to || !steps || *steps != std::floor(*steps) || *steps < 1 ||
        *steps > kMaxCurveSteps || !(from->value >= 0) || !(to->value > from->value) ||
        from->unit != to->unit) {
        return std::nullopt;
    }
    return Curve{*from, *to, static_cast<int>(*steps)};
}

// The spectrum's energy unit a MeV: 1000 for keV.
double unitsPerMeV(const SpectrumOptions& o) {
    return unitsPerMeVNamed(o.unit).value_or(1000.0);
}

std::optional<Spectrum> readSpectrum(const SpectrumOptions& o, const CommandContext& c,
                                     std::string& error) {
    const SpectrumCounts counts =
        o.perUnitEnergy ? SpectrumCounts::perUnitEnergy : SpectrumCounts::perBin;
    if (o.file != "-") {
        return readSpectrumFile(o.file, unitsPerMeV(o), counts, error);
    }
    auto spectrum = readSpectrum(c.in, unitsPerMeV(o), counts, error);
    if (!spectrum) {
        error = "standard input: " + error;
    }
    return spectrum;
}

// The beam after its filters, written to `--out` when asked.
std::optional<Spectrum> filteredBeam(const Spectrum& beam, const SpectrumOptions& o,
                                     const CommandContext& c, std::string& error) {
    if (o.filter.empty()) {
        return beam;
    }
    const auto layers = parseLayerList(o.filter, error);
    const auto read =
        layers ? beamLayersOf(c.data, *layers, beam.energies, c.method, error) : std::nullopt;
    if (!read) {
        error = "--filter: " + error;
        return std::nullopt;
    }
    return filteredSpectrum(beam, *read);
}

std::optional<std::string> outRefusal(const SpectrumOptions& o, const CommandContext& c) {
    if (o.out.empty()) {
        return std::nullopt;
    }
    const WriteRefusal refusal = writeRefusal(c.data, o.out, o.force);
    return refusal == WriteRefusal::none
               ? std::nullopt
               : std::make_optional(refusalMessage(refusal, o.out, "give --force to replace it"));
}

bool writeFiltered(const Spectrum& beam, const SpectrumOptions& o, const CommandContext& c,
                   std::string& error) {
    const std::string what =
        "the spectrum of " + o.file + (o.filter.empty() ? "" : " after " + o.filter);
    if (!atomicWriteFile(o.out, spectrumText(beam, unitsPerMeV(o), what), error)) {
        error = "--out \"" + o.out + "\": " + error;
        return false;
    }
    c.err << "tarvo: wrote " << printable(nativePath(o.out)) << '\n';
    return true;
}

// The material of the half-value layers with the density its lengths are reckoned with.
std::optional<Material> layerMaterial(const SpectrumOptions& o, const CommandContext& c,
                                      RequestError& error) {
    const auto shared = materialByNameOrFormula(c.data, o.hvlMaterial, error);
    std::optional<Material> material = shared ? std::make_optional(*shared) : std::nullopt;
    if (material && o.density) {
        material->density = *o.density;
    }
    return material;
}

OutputTable quantityTable(const SpectrumOptions& o, const CommandContext& c) {
    OutputTable table;
    table.heading.material = "beam of " + (o.file == "-" ? "the standard input" : o.file);
    table.heading.facts = {{"filter", o.filter.empty() ? "none" : o.filter},
                           {"method", readingMethodName(c.method)},
                           {"weighting", o.weighting}};
    table.heading.columns = {{"quantity", "Quantity", "", ColumnKind::text},
                             {"value", "Value", "", ColumnKind::number},
                             {"unit", "Unit", "", ColumnKind::text}};
    return table;
}

void addRow(OutputTable& table, const std::string& quantity, double value,
            const std::string& unit) {
    table.rows.push_back({quantity, value + 0.0, unit});
}

void addBeamRows(OutputTable& table, const Spectrum& beam, const std::vector<double>& airMuEn,
                 const SpectrumOptions& o) {
    const double perMeV = unitsPerMeV(o);
    addRow(table, "bins", static_cast<double>(beam.energies.size()), "");
    addRow(table, "photon fluence", photonFluence(beam), "as the counts");
    addRow(table, "energy fluence", energyFluence(beam) * perMeV, o.unit + " x counts");
    addRow(table, "mean energy", meanEnergy(beam) * perMeV, o.unit);
    addRow(table, "air kerma per photon", airKerma(beam, airMuEn) / photonFluence(beam), "Gy cm2");
    addRow(table, "air kerma", airKerma(beam, airMuEn), "Gy (counts per cm2)");
}

// The rows of the half-value layers; false when none can be found.
bool addQualityRows(OutputTable& table, const Material& material, const Spectrum& beam,
                    const std::vector<double>& weights, const std::vector<double>& mu,
                    const SpectrumOptions& o, const CommandContext& c) {
    const auto quality = beamQuality(weights, mu);
    if (!quality) {
        return false;
    }
    const double rho = usableDensity(material.density) ? material.density : kNaN;
    const ThicknessUnit unit = *thicknessUnitOf(o.lengthUnit);
    const auto length = [&](double mass) { return thicknessInUnit(mass / rho, unit, rho); };
    table.heading.facts.emplace_back("layers of", material.label);
    addRow(table, "HVL1", length(quality->firstHalfValueLayer), o.lengthUnit);
    addRow(table, "HVL1 mass thickness", quality->firstHalfValueLayer, "g/cm2");
    addRow(table, "HVL2", length(quality->secondHalfValueLayer), o.lengthUnit);
    addRow(table, "HVL2 mass thickness", quality->secondHalfValueLayer, "g/cm2");
    addRow(table, "TVL", length(quality->tenthValueLayer), o.lengthUnit);
    addRow(table, "homogeneity coefficient", quality->homogeneity, "HVL1/HVL2");
    const auto [lowest, highest] = weightedRange(beam, weights);
    const auto effective =
        effectiveEnergies(material, quality->firstHalfValueLayer, lowest, highest, c.method);
    for (const Crossing& crossing : effective) {
        addRow(table,
               crossing.kind == CrossingKind::atEdge ? "effective energy (at an edge)"
                                                     : "effective energy",
               crossing.energy * unitsPerMeV(o), o.unit);
    }
    if (effective.empty()) {
        addRow(table, "effective energy", kNaN, o.unit);
    }
    return !effective.empty();
}

OutputTable curveTable(const Curve& curve, const Material& material,
                       const std::vector<double>& weights, const std::vector<double>& mu,
                       const SpectrumOptions& o, const CommandContext& c, std::string& error) {
    OutputTable table = quantityTable(o, c);
    table.heading.facts.emplace_back("layers of", material.label);
    const bool mass = curve.to.unit == ThicknessUnit::gramsPerSquareCentimetre;
    const std::string lengthName = mass ? "g/cm2" : o.lengthUnit;
    table.heading.columns = {{"thickness", "thickness", lengthName},
                             {"mass_thickness", "thickness", "g/cm2"},
                             {"transmission", "transmission", ""}};
    for (int step = 0; step <= curve.steps; ++step) {
        const double value =
            curve.from.value + (curve.to.value - curve.from.value) * step / curve.steps;
        const auto x =
            massThicknessOf({value, curve.to.unit}, material.density, material.label, error);
        if (!x) {
            return {};
        }
        const double shown = mass ? value
                                  : thicknessInUnit(thicknessInCm(value, curve.to.unit, 1),
                                                    *thicknessUnitOf(o.lengthUnit), 1);
        table.rows.push_back({shown, *x, weightedTransmission(weights, mu, *x)});
    }
    return table;
}

std::string optionsProblem(const SpectrumOptions& o) {
    if (!beamWeightingOf(o.weighting)) {
        return "--weighting is air-kerma, fluence or energy-fluence";
    }
    const auto unit = thicknessUnitOf(o.lengthUnit);
    if (!unit || *unit == ThicknessUnit::gramsPerSquareCentimetre) {
        return "--length-unit is um, mm, cm or m";
    }
    if (!o.curve.empty() && !curveOf(o.curve)) {
        return "--curve \"" + o.curve +
               "\" is not from:to:steps, such as 0:10mm:50 (to above "
               "from, 1 to " +
               std::to_string(kMaxCurveSteps) + " steps)";
    }
    if ((!o.curve.empty() || o.density) && o.hvlMaterial.empty()) {
        return "--curve and --density need --hvl, the material of the layers";
    }
    if (o.density && !usableDensity(*o.density)) {
        return "--density must be a finite number above 0 (g/cm3)";
    }
    return {};
}

// How the layers' answer went: the exit status and why it failed, and whether the table
// is worth showing all the same.
struct LayerAnswer {
    int status = 0;
    std::string error;
    bool showTable = true;
};

LayerAnswer failedAnswer(const std::string& error, int status) {
    return {status, error, false};
}

// The half-value layers or the curve in the material of `--hvl`, into `table`.
LayerAnswer layerAnswer(OutputTable& table, const Spectrum& beam,
                        const std::vector<double>& weights, const SpectrumOptions& o,
                        const CommandContext& c) {
    RequestError problem;
    const auto material = layerMaterial(o, c, problem);
    if (!material) {
        return failedAnswer("--hvl: " + problem.message,
                            problem.problem == RequestProblem::syntax ? kUsageError : kDataError);
    }
    std::string error;
    const auto mu = coefficientAt(*material, 0, beam.energies, c.method, error);
    if (!mu) {
        return failedAnswer(error, kDataError);
    }
    if (!o.curve.empty()) {
        table = curveTable(*curveOf(o.curve), *material, weights, *mu, o, c, error);
        return error.empty() ? LayerAnswer{} : failedAnswer(error, kUsageError);
    }
    if (!addQualityRows(table, *material, beam, weights, *mu, o, c)) {
        return {kDataError, "no energy of the beam has its first half-value layer", true};
    }
    return {};
}

// The beam after its filters, with the air's mu_en/rho and the weights of its bins.
struct Beam {
    Spectrum spectrum;
    std::vector<double> airMuEn;
    std::vector<double> weights;
};

std::optional<Beam> beamOf(const SpectrumOptions& o, const CommandContext& c, std::string& error,
                           int& status) {
    const auto given = readSpectrum(o, c, error);
    const auto filtered = given ? filteredBeam(*given, o, c, error) : std::nullopt;
    status = given ? kUsageError : kDataError;
    if (!filtered) {
        return std::nullopt;
    }
    status = kDataError;
    if (const auto problem = o.filter.empty() ? std::nullopt : filteredProblem(*filtered)) {
        error = *problem;
        return std::nullopt;
    }
    auto airMuEn = airMuEnAt(c.data, filtered->energies, c.method, error);
    if (!airMuEn) {
        return std::nullopt;
    }
    Beam beam{*filtered, std::move(*airMuEn), {}};
    beam.weights = beamWeights(beam.spectrum, *beamWeightingOf(o.weighting), beam.airMuEn);
    if (weightedRange(beam.spectrum, beam.weights).second <= 0) {
        error = "no photons come through the filters";
        return std::nullopt;
    }
    return beam;
}

} // namespace

int analyseSpectrum(const SpectrumOptions& o, const CommandContext& c) {
    if (const std::string problem = optionsProblem(o); !problem.empty()) {
        return fail(c, problem, kUsageError);
    }
    if (const auto refusal = outRefusal(o, c)) {
        return fail(c, *refusal, kDataError);
    }
    std::string error;
    int status = 0;
    const auto beam = beamOf(o, c, error, status);
    if (!beam) {
        return fail(c, error, status);
    }
    OutputTable table = quantityTable(o, c);
    addBeamRows(table, beam->spectrum, beam->airMuEn, o);
    const LayerAnswer answer = o.hvlMaterial.empty()
                                   ? LayerAnswer{}
                                   : layerAnswer(table, beam->spectrum, beam->weights, o, c);
    // Nothing is written unless the whole run succeeds.
    if (answer.status == 0 && !o.out.empty() && !writeFiltered(beam->spectrum, o, c, error)) {
        return fail(c, error, kDataError);
    }
    if (answer.showTable) {
        writeTable(c.out, table, c.format, c.digits);
    }
    return answer.status == 0 ? 0 : fail(c, answer.error, answer.status);
}

} // namespace tarvo::cli
