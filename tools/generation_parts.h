#pragma once

#include "tools/table_generation.h"

#include <string>
#include <vector>

// The pieces both element and material generation use: printed energies, edges placed
// among the published rows, and the bound of mu_tr/rho.
namespace tarvo::tools {

// An energy as the tables print it (MeV): "8.800E-02".
std::string printedEnergy(double energy);

// Whether two energies (MeV) are the same to 1e-9 of the second.
bool sameEnergy(double a, double b);

// An absorption edge to place among the published rows.
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
                std::string& error);

// The edges of an element's XCOM table, named for messages ("Z=82 K").
std::vector<EdgeEnergy> edgesOf(const XcomElement& xcom);

// Raises mu_tr/rho to mu_en/rho where the derivation fell below it, noting large rises.
void boundEnergyTransfer(CoefficientRow& row, const std::string& table, GenerationReport& report);

} // namespace tarvo::tools
