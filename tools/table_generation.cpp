#include "table_generation.h"

#include "coefview/combine_coefficient_tables.h"
#include "common/elements.h"
#include "common/loglog.h"
#include "common/number_format.h"
#include "common/text_file.h"
#include "tools/energy_transfer.h"
#include "xsview/combine_element_tables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>

namespace tarvo::tools {
namespace {

using XcomValues = std::array<double, 5>;

std::string printedEnergy(double energy) {
    return formatNumber(energy, "0.000E+00");
}

bool sameEnergy(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::fabs(b);
}

// Index of the cascade shell an XCOM edge label names (K, L1-L3, M1-M5), or -1.
int cascadeShellOf(const std::string& label) {
    static const std::array<const char*, kCascadeShells> labels{"K",  "L1", "L2", "L3", "M1",
                                                                "M2", "M3", "M4", "M5"};
    for (size_t s = 0; s < labels.size(); ++s) {
        if (label == labels[s]) {
            return static_cast<int>(s);
        }
    }
    return -1;
}

// Whether XCOM row i is the upper row (the edge energy itself) of an edge pair.
bool isUpperEdgeRow(const XcomElement& xcom, size_t i) {
    return xcom.upperEdgeRow[i];
}

// XCOM partial cross sections at an energy, on the given side of an edge that stands
// there; between XCOM energies log-log within the edge segment.
XcomValues xcomValues(const XcomElement& xcom, double energy, EdgeSide side) {
    const std::vector<XcomRow>& rows = xcom.rows;
    XcomValues values{};
    for (const XcomEdge& edge : xcom.edges) {
        if (side != EdgeSide::none && edge.energy == energy) {
            const XcomRow& row = rows[side == EdgeSide::below ? edge.upperRow - 1 : edge.upperRow];
            std::copy(std::begin(row.values), std::end(row.values), values.begin());
            return values;
        }
    }
    size_t j = 0;
    while (j + 1 < rows.size() && rows[j].energy < energy && !sameEnergy(rows[j].energy, energy)) {
        ++j;
    }
    if (sameEnergy(rows[j].energy, energy)) {
        std::copy(std::begin(rows[j].values), std::end(rows[j].values), values.begin());
        return values;
    }
    j = std::max<size_t>(j, 1);
    for (size_t c = 0; c < values.size(); ++c) {
        values[c] = logLogInterpolateOrZero(energy, rows[j - 1].energy, rows[j - 1].values[c],
                                            rows[j].energy, rows[j].values[c]);
    }
    return values;
}

// The K to M5 binding energies (MeV) of an element: XCOM's where it lists the edge, else
// the atomic data's (those lie below 1 keV).
std::array<double, kCascadeShells> shellEdges(const XcomElement& xcom) {
    std::array<double, kCascadeShells> edges{};
    for (int s = 0; s < kCascadeShells; ++s) {
        edges[static_cast<size_t>(s)] = shellEdgeEnergy(xcom.atomicNumber, s);
    }
    for (const XcomEdge& edge : xcom.edges) {
        const int shell = cascadeShellOf(edge.label);
        if (shell >= 0) {
            edges[static_cast<size_t>(shell)] = edge.energy;
        }
    }
    return edges;
}

// The mass energy-transfer coefficient from the XCOM partials and the tabulated mu/rho.
double energyTransferCoefficient(const XcomElement& xcom, double energy, EdgeSide side,
                                 double attenuation) {
    const XcomValues partial = xcomValues(xcom, energy, side);
    const double pair = partial[3] + partial[4];
    // Photo-absorption is what the tabulated mu/rho leaves for it.
    const double photo = std::max(0.0, attenuation - (partial[0] + partial[1] + pair));
    const std::array<double, kCascadeShells> edges = shellEdges(xcom);
    std::array<bool, kCascadeShells> open{};
    for (size_t s = 0; s < kCascadeShells; ++s) {
        open[s] = edges[s] > 0.0 &&
                  (edges[s] < energy || (edges[s] == energy && side == EdgeSide::above));
    }
    const double fluorescence = meanFluorescenceEnergy(xcom.atomicNumber, open);
    const double pairFraction = pair > 0.0 ? pairTransferFraction(energy) : 0.0;
    return incoherentTransferFraction(xcom.atomicNumber, energy) * partial[1] +
           pairFraction * pair + (1.0 - fluorescence / energy) * photo;
}

// Rows of the published tables whose mu/rho and mu_en/rho contradict their neighbours, so
// that no derivation from them can keep mu_tr/rho above mu_en/rho within the limit.
struct KnownAnomaly {
    const char* table;
    double energy; // MeV
};
constexpr KnownAnomaly kKnownAnomalies[] = {
    // Above the K edge mu_en/mu is 0.393, against 0.289 to 0.296 for Z = 66 to 71.
    {"69_Tm.mut", 0.0593896},
};

bool isKnownAnomaly(const BoundNote& note) {
    return std::any_of(std::begin(kKnownAnomalies), std::end(kKnownAnomalies),
                       [&](const KnownAnomaly& a) {
                           return note.table == a.table && sameEnergy(note.energy, a.energy);
                       });
}

// Raises mu_tr/rho to mu_en/rho where the derivation fell below it, noting large rises.
void boundEnergyTransfer(CoefficientRow& row, const std::string& table, GenerationReport& report) {
    if (row.energyTransfer >= row.energyAbsorption) {
        return;
    }
    const double shift = (row.energyAbsorption - row.energyTransfer) / row.energyTransfer;
    if (shift > kBoundReportShift) {
        report.boundNotes.push_back({table, row.energy, shift});
    }
    row.energyTransfer = row.energyAbsorption;
}

struct EdgeEnergy {
    double energy;
    std::string owner; // element and label, for messages
};

// NIST rows with their edges at the exact energies: an edge is two consecutive rows that
// print like the edge energy, the second not lower. Fails on a repeated energy left over, and
// on a missing edge when `everyEdge` is set (material tables leave out edges of elements
// too dilute to show one).
bool placeEdges(const std::vector<NistRow>& nist, const std::vector<EdgeEnergy>& edges,
                bool everyEdge, std::vector<SidedCoefficientRow>& rows, const std::string& table,
                std::string& error) {
    rows.clear();
    for (const NistRow& n : nist) {
        rows.push_back({{n.energy, n.attenuation, 0.0, n.energyAbsorption}, EdgeSide::none});
    }
    for (const EdgeEnergy& edge : edges) {
        if (edge.energy < 0.001 || edge.energy > nist.back().energy) {
            continue;
        }
        // The CSV rounds energies to four digits.
        const auto near = [&](double energy) { return std::fabs(energy / edge.energy - 1) < 6e-4; };
        bool placed = false;
        for (size_t i = 0; i + 1 < rows.size() && !placed; ++i) {
            if (rows[i].side == EdgeSide::none && rows[i + 1].side == EdgeSide::none &&
                near(rows[i].row.energy) && near(rows[i + 1].row.energy) &&
                rows[i + 1].row.attenuation >= rows[i].row.attenuation) {
                rows[i] = {
                    {edge.energy, rows[i].row.attenuation, 0.0, rows[i].row.energyAbsorption},
                    EdgeSide::below};
                rows[i + 1] = {{edge.energy, rows[i + 1].row.attenuation, 0.0,
                                rows[i + 1].row.energyAbsorption},
                               EdgeSide::above};
                placed = true;
            }
        }
        if (!placed && everyEdge) {
            error = table + ": no edge rows for " + edge.owner + " at " +
                    printedEnergy(edge.energy) + " MeV";
            return false;
        }
    }
    for (size_t i = 1; i < rows.size(); ++i) {
        const bool pair = rows[i - 1].side == EdgeSide::below && rows[i].side == EdgeSide::above;
        if (!(rows[i].row.energy > rows[i - 1].row.energy) && !pair) {
            error = table + ": the energies do not ascend at " + printedEnergy(rows[i].row.energy) +
                    " MeV";
            return false;
        }
    }
    return true;
}

std::vector<EdgeEnergy> edgesOf(const XcomElement& xcom) {
    std::vector<EdgeEnergy> edges;
    for (const XcomEdge& edge : xcom.edges) {
        edges.push_back({edge.energy, "Z=" + std::to_string(xcom.atomicNumber) + " " + edge.label});
    }
    return edges;
}

// Element k's coefficient row at an energy: its own row there (by side at an edge),
// else log-log between the rows around it.
CoefficientRow coefficientsAt(const std::vector<SidedCoefficientRow>& rows, double energy,
                              EdgeSide side) {
    size_t j = 0;
    while (j < rows.size() && rows[j].row.energy < energy) {
        ++j;
    }
    if (j < rows.size() && rows[j].row.energy == energy) {
        const bool pair = j + 1 < rows.size() && rows[j + 1].row.energy == energy;
        return rows[(pair && side == EdgeSide::above) ? j + 1 : j].row;
    }
    j = std::clamp<size_t>(j, 1, rows.size() - 1);
    const CoefficientRow& low = rows[j - 1].row;
    const CoefficientRow& high = rows[j].row;
    const auto at = [&](double a, double b) {
        return logLogInterpolate(energy, low.energy, a, high.energy, b);
    };
    return {energy, at(low.attenuation, high.attenuation),
            at(low.energyTransfer, high.energyTransfer),
            at(low.energyAbsorption, high.energyAbsorption)};
}

std::string extensionFor(const std::string& category, bool coefficients) {
    if (category == "Human tissues") {
        return coefficients ? ".mucm" : ".mix";
    }
    if (category == "Phantom substances") {
        return coefficients ? ".muc2" : ".mix2";
    }
    return coefficients ? ".muc3" : ".mix3";
}

std::vector<CoefficientRow> plainRows(const std::vector<SidedCoefficientRow>& rows) {
    std::vector<CoefficientRow> plain;
    for (const SidedCoefficientRow& row : rows) {
        plain.push_back(row.row);
    }
    return plain;
}

struct Reference {
    std::vector<ElementFacts> elements; // index z - 1
    std::map<int, XcomElement> xcom;
    std::map<int, std::vector<SidedCoefficientRow>> coefficients;
};

const ElementFacts* factsOf(const std::vector<ElementFacts>& elements, int z) {
    const auto found = std::find_if(elements.begin(), elements.end(),
                                    [z](const ElementFacts& f) { return f.atomicNumber == z; });
    return found == elements.end() ? nullptr : &*found;
}

bool generateElement(const std::string& referenceDirectory, const std::string& output, int z,
                     Reference& reference, GenerationReport& report, std::string& error) {
    char xcomName[32];
    std::snprintf(xcomName, sizeof xcomName, "/xcom/MDATX3.%03d", z);
    auto xcom = readXcomElement(referenceDirectory + xcomName, error);
    const ElementFacts* facts = factsOf(reference.elements, z);
    if (!xcom || facts == nullptr) {
        error = facts == nullptr ? "no facts for Z=" + std::to_string(z) : error;
        return false;
    }
    const std::string stem = elementStem(z);
    const std::vector<CrossSectionRow> crossSections = elementCrossSectionRows(*xcom, error);
    if (crossSections.empty() ||
        !writeElementTable(formPath(output + "/ele", stem + ".ele"), facts->name, facts->density,
                           crossSections, xcom->atomicWeightText, error)) {
        return false;
    }
    const std::string nistName = referenceDirectory + "/nist_xray/z" + stem.substr(0, 2) + ".csv";
    const auto nist = readNistTable(nistName, error);
    if (!nist) {
        return false;
    }
    auto rows = elementCoefficientRows(*xcom, *nist, report, stem + ".mut", error);
    if (rows.empty() ||
        !writeElementCoefficientTable(formPath(output + "/mu_ele", stem + ".mut"), facts->name,
                                      facts->density, plainRows(rows), error)) {
        return false;
    }
    reference.coefficients[z] = std::move(rows);
    reference.xcom[z] = std::move(*xcom);
    return true;
}

std::vector<CompositionRow> compositionRows(const MaterialFacts& material,
                                            const std::vector<ElementFacts>& elements,
                                            const std::string& extension) {
    std::vector<CompositionRow> rows;
    for (const auto& [z, w] : material.composition) {
        const ElementFacts* facts = factsOf(elements, z);
        const std::string file = facts ? elementStem(z) + extension : "";
        rows.push_back({file, w, file, formatNumber(w, "0.000000"), true});
    }
    return rows;
}

bool generateMaterialCoefficients(const std::string& referenceDirectory, const std::string& output,
                                  const MaterialFacts& material, const Reference& reference,
                                  GenerationReport& report, std::string& error) {
    const auto nist = readNistTable(referenceDirectory + "/" + material.nistTable, error);
    if (!nist) {
        return false;
    }
    std::vector<EdgeEnergy> edges;
    std::vector<CompositionEntry> composition;
    for (const auto& [z, w] : material.composition) {
        const std::vector<EdgeEnergy> own = edgesOf(reference.xcom.at(z));
        edges.insert(edges.end(), own.begin(), own.end());
        composition.push_back({z, w});
    }
    const std::string file = material.stem + extensionFor(material.category, true);
    std::vector<SidedCoefficientRow> rows;
    if (!placeEdges(*nist, edges, false, rows, file, error)) {
        return false;
    }
    // mu_tr/rho is additive: the weighted sum of the element tables.
    for (SidedCoefficientRow& row : rows) {
        row.row.energyTransfer = 0.0;
        for (const auto& [z, w] : material.composition) {
            row.row.energyTransfer +=
                w * coefficientsAt(reference.coefficients.at(z), row.row.energy, row.side)
                        .energyTransfer;
        }
        boundEnergyTransfer(row.row, file, report);
    }
    return writeMaterialCoefficientTable(formPath(output + "/mu_mix", file), material.name,
                                         material.density, plainRows(rows), composition, error);
}

bool generateMaterial(const std::string& referenceDirectory, const std::string& output,
                      const MaterialFacts& material, const Reference& reference,
                      GenerationReport& report, std::string& error) {
    // Cross sections are additive: the Bragg sum of the element tables just written.
    const auto crossSections = combineElementTables(
        DataDirectory(output), compositionRows(material, reference.elements, ".ele"),
        Weighting::byWeight, kMixtureEdgeFactor, error);
    if (!crossSections ||
        !writeMaterialTable(
            formPath(output + "/mix", material.stem + extensionFor(material.category, false)),
            material.name, material.density, *crossSections, error)) {
        error = material.stem + ": " + error;
        return false;
    }
    if (!generateMaterialCoefficients(referenceDirectory, output, material, reference, report,
                                      error)) {
        return false;
    }
    const std::string path =
        formPath(output + "/mu_mix", material.stem + extensionFor(material.category, true));
    const auto shipped = loadCoefficientTable(path, true, error);
    if (!shipped) {
        return false;
    }
    report.additivity.push_back(
        additivityDifference(material.stem, *shipped, DataDirectory(output), error));
    return error.empty();
}

} // namespace

std::string elementFileOf(const std::string& directory, int z, const std::string& extension) {
    const std::string prefix = formatNumber(z, "00") + "_";
    std::error_code code;
    for (const auto& entry : std::filesystem::directory_iterator(directory, code)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && entry.path().extension() == extension) {
            return name;
        }
    }
    return {};
}

std::vector<CrossSectionRow> elementCrossSectionRows(const XcomElement& xcom, std::string& error) {
    std::vector<CrossSectionRow> rows;
    std::vector<bool> edge;
    for (size_t i = 0; i < xcom.rows.size(); ++i) {
        const XcomRow& x = xcom.rows[i];
        const bool lowerOfPair = i + 1 < xcom.rows.size() && isUpperEdgeRow(xcom, i + 1);
        const double energy = lowerOfPair ? xcom.rows[i + 1].energy : x.energy;
        rows.push_back({energy, x.values[0], x.values[1], x.values[2], x.values[3], x.values[4]});
        edge.push_back(lowerOfPair || isUpperEdgeRow(xcom, i));
    }
    std::set<std::string> edgeEnergies;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (edge[i]) {
            edgeEnergies.insert(printedEnergy(rows[i].energy));
        }
    }
    std::vector<CrossSectionRow> kept;
    std::vector<bool> keptEdge;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (edge[i] || edgeEnergies.count(printedEnergy(rows[i].energy)) == 0) {
            kept.push_back(rows[i]);
            keptEdge.push_back(edge[i]);
        }
    }
    for (size_t i = 1; i < kept.size(); ++i) {
        const bool pair = keptEdge[i] && keptEdge[i - 1] && kept[i].energy == kept[i - 1].energy;
        if (printedEnergy(kept[i].energy) == printedEnergy(kept[i - 1].energy) && !pair) {
            error = "Z=" + std::to_string(xcom.atomicNumber) + ": two rows print the energy " +
                    printedEnergy(kept[i].energy);
            return {};
        }
    }
    if (kept.size() > static_cast<size_t>(kMaxElementRows)) {
        error = "Z=" + std::to_string(xcom.atomicNumber) + ": more than 120 rows";
        return {};
    }
    return kept;
}

// mu_tr/mu_en of row i from two other rows a and b of its segment, log-log in energy.
double neighbourRatio(const std::vector<SidedCoefficientRow>& rows, size_t i, size_t a, size_t b) {
    // A neighbour whose derivation fell below mu_en/rho counts at the bound it is raised to.
    const auto ratio = [&](size_t k) {
        return std::log(std::max(1.0, rows[k].row.energyTransfer / rows[k].row.energyAbsorption));
    };
    const auto logEnergy = [&](size_t k) { return std::log(rows[k].row.energy); };
    const double t = (logEnergy(i) - logEnergy(a)) / (logEnergy(b) - logEnergy(a));
    return std::max(1.0, std::exp(ratio(a) + t * (ratio(b) - ratio(a))));
}

// The published mu/rho of a few rows (the one row NIST puts between two close L edges,
// chromium's upper K-edge row) stands 2 to 16% above the line of its neighbours and of
// XCOM, while mu_en/rho there follows its neighbours. Photo-absorption taken from mu/rho
// carries that bump into mu_tr/rho, although mu_tr/mu_en changes smoothly between edges.
// Such a row's mu_tr/rho follows its mu_en/rho with the ratio of its neighbouring rows.
void alignOutOfStepRows(std::vector<SidedCoefficientRow>& rows, const std::string& table,
                        GenerationReport& report) {
    std::vector<double> expected(rows.size(), 0.0);
    size_t begin = 0;
    while (begin < rows.size()) {
        size_t end = begin + 1;
        while (end < rows.size() && rows[end].row.energy != rows[end - 1].row.energy) {
            ++end;
        }
        for (size_t i = begin; end - begin >= 3 && i < end; ++i) {
            const size_t a = i == begin ? i + 1 : (i + 1 == end ? i - 2 : i - 1);
            const size_t b = i == begin ? i + 2 : (i + 1 == end ? i - 1 : i + 1);
            expected[i] = neighbourRatio(rows, i, a, b);
        }
        begin = end;
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        CoefficientRow& row = rows[i].row;
        const double ratio = row.energyTransfer / row.energyAbsorption;
        if (expected[i] > 0.0 && ratio > (1.0 + kOutOfStepShift) * expected[i]) {
            const double aligned = row.energyAbsorption * expected[i];
            report.outOfStepNotes.push_back({table, row.energy, row.energyTransfer / aligned - 1});
            row.energyTransfer = aligned;
        }
    }
}

std::vector<SidedCoefficientRow>
elementCoefficientRows(const XcomElement& xcom, const std::vector<NistRow>& nist,
                       GenerationReport& report, const std::string& table, std::string& error) {
    std::vector<SidedCoefficientRow> rows;
    if (!placeEdges(nist, edgesOf(xcom), true, rows, table, error)) {
        return {};
    }
    for (SidedCoefficientRow& row : rows) {
        row.row.energyTransfer =
            energyTransferCoefficient(xcom, row.row.energy, row.side, row.row.attenuation);
    }
    alignOutOfStepRows(rows, table, report);
    for (SidedCoefficientRow& row : rows) {
        boundEnergyTransfer(row.row, table, report);
    }
    return rows;
}

AdditivityDifference additivityDifference(const std::string& stem, const CoefficientTable& shipped,
                                          const DataDirectory& data, std::string& error) {
    const std::string elementDirectory = data.path("mu_ele");
    AdditivityDifference difference{stem, 0.0, 0.0, 0.0, 0.0};
    std::vector<CompositionRow> composition;
    for (int k = 1; k <= shipped.compositionCount; ++k) {
        const CompositionEntry& entry = shipped.composition[static_cast<size_t>(k)];
        const std::string file = elementFileOf(elementDirectory, entry.atomicNumber, ".mut");
        composition.push_back({file, entry.weightFraction, file, "", true});
    }
    const auto sum = combineCoefficientTables(data, composition, error);
    if (!sum) {
        error = stem + ": " + error;
        return difference;
    }
    std::string hydrogenError;
    const auto hydrogen =
        loadCoefficientTable(formPath(elementDirectory, "01_H.mut"), false, hydrogenError);
    // Standard grid energies only: the points NIST puts between close edges are rounded to
    // four digits in the reference data and need not match between tables.
    const auto onStandardGrid = [&](double energy) {
        for (int h = 1; hydrogen && h <= hydrogen->energyCount; ++h) {
            if (hydrogen->rows[static_cast<size_t>(h)].energy == energy) {
                return true;
            }
        }
        return false;
    };
    for (int i = 1; i <= shipped.energyCount; ++i) {
        const CoefficientRow& row = shipped.rows[static_cast<size_t>(i)];
        const bool edgeRow =
            (i > 1 && shipped.rows[static_cast<size_t>(i - 1)].energy == row.energy) ||
            (i < shipped.energyCount &&
             shipped.rows[static_cast<size_t>(i + 1)].energy == row.energy);
        const auto match =
            std::find_if(sum->rows.begin(), sum->rows.end(),
                         [&](const CoefficientRow& r) { return r.energy == row.energy; });
        if (edgeRow || match == sum->rows.end() || !onStandardGrid(row.energy)) {
            continue;
        }
        const double attenuation = std::fabs(match->attenuation / row.attenuation - 1.0);
        const double absorption = std::fabs(match->energyAbsorption / row.energyAbsorption - 1.0);
        if (attenuation > difference.attenuation) {
            difference.attenuation = attenuation;
            difference.attenuationAt = row.energy;
        }
        if (absorption > difference.energyAbsorption) {
            difference.energyAbsorption = absorption;
            difference.atEnergy = row.energy;
        }
    }
    return difference;
}

bool generateTables(const std::string& referenceDirectory, const std::string& outputDirectory,
                    GenerationReport& report, std::string& error) {
    for (const char* directory : {"ele", "mix", "mu_ele", "mu_mix"}) {
        std::filesystem::create_directories(outputDirectory + "/" + directory);
    }
    Reference reference;
    auto elements = readElementFacts(referenceDirectory + "/nist_xray/elements.csv", error);
    auto materials = readMaterialFacts(referenceDirectory + "/materials.csv", error);
    if (!elements || !materials) {
        return false;
    }
    reference.elements = std::move(*elements);
    for (ElementFacts& facts : reference.elements) {
        facts.density = refinedDensity(facts.atomicNumber, facts.density);
    }
    for (int z = 1; z <= 92; ++z) {
        if (!generateElement(referenceDirectory, outputDirectory, z, reference, report, error)) {
            return false;
        }
    }
    for (const MaterialFacts& material : *materials) {
        if (!generateMaterial(referenceDirectory, outputDirectory, material, reference, report,
                              error)) {
            return false;
        }
    }
    const bool overLimit =
        std::any_of(report.boundNotes.begin(), report.boundNotes.end(), [](const BoundNote& n) {
            return n.shift > kBoundLimitShift && !isKnownAnomaly(n);
        });
    if (overLimit) {
        error = "the derived mu_tr/rho fell more than 3% below mu_en/rho";
        return false;
    }
    return true;
}

} // namespace tarvo::tools
