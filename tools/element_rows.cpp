#include "tools/generation_parts.h"

#include "common/loglog.h"
#include "tools/energy_transfer.h"
#include "xsview/combine_element_tables.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <set>

namespace tarvo::tools {
namespace {

using XcomValues = std::array<double, 5>;

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

} // namespace

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

} // namespace tarvo::tools
