#include "commands.h"

#include "cli/beam_source.h"
#include "cli/reading_loop.h"

#include "beams/beam_quality.h"
#include "beams/tube_spectra.h"
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

bool writeFiltered(const Spectrum& beam, const std::string& label, const SpectrumOptions& o,
                   const CommandContext& c, std::string& error) {
    const std::string what =
        "the spectrum of " + label + (o.filter.empty() ? "" : " after " + o.filter);
    if (!atomicWriteFile(o.out, spectrumText(beam, unitsPerMeV(o), what), error)) {
        error = "--out \"" + o.out + "\": " + error;
        return false;
    }
    c.err << "tarvo: wrote " << printable(nativePath(o.out)) << '\n';
    return true;
}

// The material of the half-value layers with the density its lengths are reckoned with.
std::optional<Material> layerMaterial(const std::string& name, const SpectrumOptions& o,
                                      const CommandContext& c, RequestError& error) {
    const auto shared = materialByNameOrFormula(c.data, name, error);
    std::optional<Material> material = shared ? std::make_optional(*shared) : std::nullopt;
    if (material && o.density) {
        material->density = *o.density;
    }
    return material;
}

OutputTable quantityTable(const SourceBeam& source, const SpectrumOptions& o,
                          const CommandContext& c) {
    OutputTable table;
    table.heading.material = source.label;
    table.heading.facts = source.facts;
    table.heading.facts.insert(table.heading.facts.end(),
                               {{"filter", o.filter.empty() ? "none" : o.filter},
                                {"method", readingMethodName(c.method)},
                                {"weighting", o.weighting}});
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
                 bool calibrated, const SpectrumOptions& o) {
    const double perMeV = unitsPerMeV(o);
    addRow(table, "bins", static_cast<double>(beam.energies.size()), "");
    addRow(table, "photon fluence", photonFluence(beam), "as the counts");
    addRow(table, "energy fluence", energyFluence(beam) * perMeV, o.unit + " x counts");
    addRow(table, "mean energy", meanEnergy(beam) * perMeV, o.unit);
    addRow(table, "kerma-weighted mean energy", kermaWeightedMeanEnergy(beam, airMuEn) * perMeV,
           o.unit);
    addRow(table, "air kerma per photon", airKerma(beam, airMuEn) / photonFluence(beam), "Gy cm2");
    addRow(table, "air kerma", airKerma(beam, airMuEn), "Gy (counts per cm2)");
    if (calibrated) {
        addRow(table, "air kerma per mAs",
               airKermaPerMilliampereSecond(beam, airMuEn, *distanceInMetres(o.distance)),
               "uGy/mAs at " + o.distance);
    }
}

// The rows of the half-value layers; false when none can be found.
bool addQualityRows(OutputTable& table, const Material& material, const std::string& suffix,
                    const Spectrum& beam, const std::vector<double>& weights,
                    const std::vector<double>& mu, const SpectrumOptions& o,
                    const CommandContext& c) {
    const auto quality = beamQuality(weights, mu);
    if (!quality) {
        return false;
    }
    const double rho = usableDensity(material.density) ? material.density : kNaN;
    const ThicknessUnit unit = *thicknessUnitOf(o.lengthUnit);
    const auto length = [&](double mass) { return thicknessInUnit(mass / rho, unit, rho); };
    table.heading.facts.emplace_back("layers of", material.label);
    const double quarter = quality->firstHalfValueLayer + quality->secondHalfValueLayer;
    addRow(table, "HVL1" + suffix, length(quality->firstHalfValueLayer), o.lengthUnit);
    addRow(table, "HVL1 mass thickness" + suffix, quality->firstHalfValueLayer, "g/cm2");
    addRow(table, "HVL2" + suffix, length(quality->secondHalfValueLayer), o.lengthUnit);
    addRow(table, "HVL2 mass thickness" + suffix, quality->secondHalfValueLayer, "g/cm2");
    addRow(table, "QVL" + suffix, length(quarter), o.lengthUnit);
    addRow(table, "TVL" + suffix, length(quality->tenthValueLayer), o.lengthUnit);
    addRow(table, "homogeneity coefficient" + suffix, quality->homogeneity, "HVL1/HVL2");
    const auto [lowest, highest] = weightedRange(beam, weights);
    const auto effective =
        effectiveEnergies(material, quality->firstHalfValueLayer, lowest, highest, c.method);
    for (const Crossing& crossing : effective) {
        addRow(table,
               (crossing.kind == CrossingKind::atEdge ? "effective energy (at an edge)"
                                                      : "effective energy") +
                   suffix,
               crossing.energy * unitsPerMeV(o), o.unit);
    }
    if (effective.empty()) {
        addRow(table, "effective energy" + suffix, kNaN, o.unit);
    }
    return !effective.empty();
}

OutputTable curveTable(const Curve& curve, const Material& material, OutputTable table,
                       const std::vector<double>& weights, const std::vector<double>& mu,
                       const SpectrumOptions& o, std::string& error) {
    table.rows.clear();
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
    if ((!o.curve.empty() || o.density) && o.hvlMaterials.empty()) {
        return "--curve and --density need --hvl, the material of the layers";
    }
    if (o.findFilter.empty() != o.hvl1.empty()) {
        return "--find-filter and --hvl1 go together: the material added and the HVL1 wanted";
    }
    if (!o.hvl1.empty() && !parseThickness(o.hvl1)) {
        return "--hvl1 \"" + o.hvl1 + "\" is no thickness: 2.58mm, 0.7g/cm2";
    }
    if (!distanceInMetres(o.distance)) {
        return "--distance \"" + o.distance + "\" is no distance above 0: 1m, 75cm";
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

// The half-value layers in each material of `--hvl` (named in the rows where there are
// several), or the curve in the first, into `table`.
LayerAnswer layerAnswer(OutputTable& table, const Spectrum& beam,
                        const std::vector<double>& weights, const SpectrumOptions& o,
                        const CommandContext& c) {
    for (const std::string& name : o.hvlMaterials) {
        RequestError problem;
        const auto material = layerMaterial(name, o, c, problem);
        if (!material) {
            return failedAnswer("--hvl: " + problem.message,
                                problem.problem == RequestProblem::syntax ? kUsageError
                                                                          : kDataError);
        }
        std::string error;
        const auto mu = coefficientAt(*material, 0, beam.energies, c.method, error);
        if (!mu) {
            return failedAnswer(error, kDataError);
        }
        if (!o.curve.empty()) {
            table = curveTable(*curveOf(o.curve), *material, table, weights, *mu, o, error);
            return error.empty() ? LayerAnswer{} : failedAnswer(error, kUsageError);
        }
        const std::string suffix = o.hvlMaterials.size() > 1 ? " in " + name : "";
        if (!addQualityRows(table, *material, suffix, beam, weights, *mu, o, c)) {
            return {kDataError, "no energy of the beam has its first half-value layer", true};
        }
    }
    return {};
}

// The layer --find-filter found: its material and mass thickness (g/cm2), and mu/rho at the
// bins.
struct AddedFilter {
    std::string label;
    double density = 0.0;
    double mass = 0.0;
    std::vector<double> mu;
};

// The beam after its filters, with the air's mu_en/rho and the weights of its bins.
struct Beam {
    SourceBeam source;
    Spectrum spectrum;
    std::vector<double> airMuEn;
    std::vector<double> weights;
    std::optional<AddedFilter> addedFilter;
};

// The layer of --find-filter that gives the beam --hvl1 in the first --hvl material (or in
// the filter's own where none is given).
std::optional<AddedFilter> foundFilter(const Beam& beam, const SpectrumOptions& o,
                                       const CommandContext& c, std::string& error, int& status) {
    const std::string hvlName = o.hvlMaterials.empty() ? o.findFilter : o.hvlMaterials.front();
    RequestError problem;
    const auto filter = materialByNameOrFormula(c.data, o.findFilter, problem);
    const auto layers = filter ? layerMaterial(hvlName, o, c, problem) : std::nullopt;
    status = problem.problem == RequestProblem::syntax ? kUsageError : kDataError;
    if (!layers) {
        error = "--find-filter: " + problem.message;
        return std::nullopt;
    }
    const auto filterMu = coefficientAt(*filter, 0, beam.spectrum.energies, c.method, error);
    const auto hvlMu = filterMu ? coefficientAt(*layers, 0, beam.spectrum.energies, c.method, error)
                                : std::nullopt;
    const auto wanted = parseThickness(o.hvl1);
    const auto wantedMass =
        hvlMu ? massThicknessOf(*wanted, layers->density, layers->label, error) : std::nullopt;
    status = kDataError;
    if (!wantedMass) {
        error = "--find-filter: " + error;
        return std::nullopt;
    }
    constexpr double kMostAddedFilter = 50.0; // g/cm2: 19 cm of aluminium, 56 mm of copper
    const FilterSearch search{beam.spectrum, *filterMu, *hvlMu, beam.airMuEn,
                              *beamWeightingOf(o.weighting)};
    const auto added = addedFilterForHvl(search, *wantedMass, kMostAddedFilter, error);
    if (!added) {
        error = "--find-filter: " + error;
        return std::nullopt;
    }
    return AddedFilter{filter->label, filter->density, *added, *filterMu};
}

std::optional<Beam> beamOf(const SpectrumOptions& o, const CommandContext& c, std::string& error,
                           int& status) {
    auto source = sourceBeam(o, c, error, status);
    const auto filtered = source ? filteredBeam(source->spectrum, o, c, error) : std::nullopt;
    if (source && !filtered) {
        status = kUsageError;
    }
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
    Beam beam{std::move(*source), *filtered, std::move(*airMuEn), {}, std::nullopt};
    if (!o.findFilter.empty()) {
        beam.addedFilter = foundFilter(beam, o, c, error, status);
        if (!beam.addedFilter) {
            return std::nullopt;
        }
        beam.spectrum =
            filteredSpectrum(beam.spectrum, {{beam.addedFilter->mu, beam.addedFilter->mass}});
    }
    beam.weights = beamWeights(beam.spectrum, *beamWeightingOf(o.weighting), beam.airMuEn);
    if (weightedRange(beam.spectrum, beam.weights).second <= 0) {
        error = "no photons come through the filters";
        return std::nullopt;
    }
    return beam;
}

// The added filter's rows: its thickness in the length unit and in g/cm2.
void addFilterRows(OutputTable& table, const AddedFilter& filter, const SpectrumOptions& o) {
    const double rho = usableDensity(filter.density) ? filter.density : kNaN;
    table.heading.facts.emplace_back("added filter of", filter.label);
    addRow(table, "added filter",
           thicknessInUnit(filter.mass / rho, *thicknessUnitOf(o.lengthUnit), rho), o.lengthUnit);
    addRow(table, "added filter mass thickness", filter.mass, "g/cm2");
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
    OutputTable table = quantityTable(beam->source, o, c);
    if (beam->addedFilter) {
        addFilterRows(table, *beam->addedFilter, o);
    }
    addBeamRows(table, beam->spectrum, beam->airMuEn, beam->source.calibrated, o);
    // A found filter shows the beam's quality in its own material where no --hvl is given.
    SpectrumOptions shown = o;
    if (shown.hvlMaterials.empty() && !o.findFilter.empty()) {
        shown.hvlMaterials = {o.findFilter};
    }
    const LayerAnswer answer = shown.hvlMaterials.empty()
                                   ? LayerAnswer{}
                                   : layerAnswer(table, beam->spectrum, beam->weights, shown, c);
    // Nothing is written unless the whole run succeeds.
    if (answer.status == 0 && !o.out.empty() &&
        !writeFiltered(beam->spectrum, beam->source.label, o, c, error)) {
        return fail(c, error, kDataError);
    }
    if (answer.showTable) {
        writeTable(c.out, table, c.format, c.digits);
    }
    return answer.status == 0 ? 0 : fail(c, answer.error, answer.status);
}

} // namespace tarvo::cli
