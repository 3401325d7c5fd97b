#include "generation_parts.h"

#include "common/number_format.h"

#include <cmath>

namespace tarvo::tools {

std::string printedEnergy(double energy) {
    return formatNumber(energy, "0.000E+00");
}

bool sameEnergy(double a, double b) {
    return std::fabs(a - b) <= 1e-9 * std::fabs(b);
}

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

} // namespace tarvo::tools
