#pragma once

#include "coefview/coefficient_table.h"
#include "common/data_directory.h"
#include "tools/reference_data.h"
#include "xsview/cross_section_table.h"

#include <string>
#include <vector>

namespace tarvo::tools {

// Which of an edge's two rows an energy belongs to.
enum class EdgeSide { none, below, above };

// A coefficient row with the side of the edge it stands at.
struct SidedCoefficientRow {
    CoefficientRow row;
    EdgeSide side = EdgeSide::none;
};

// One row whose energy-transfer coefficient was raised to the energy-absorption one.
struct BoundNote {
    std::string table;
    double energy = 0.0; // MeV
    double shift = 0.0;  // relative rise of mu_tr/rho
};

// Largest differences between a material's shipped coefficients and the Bragg sum of its
// element tables at the shipped energies away from edges.
struct AdditivityDifference {
    std::string stem;
    double attenuation = 0.0;      // relative, largest |sum - shipped| / shipped
    double attenuationAt = 0.0;    // MeV, where the attenuation difference is largest
    double energyAbsorption = 0.0; // relative
    double atEnergy = 0.0;         // MeV, where the energy-absorption difference is largest
};

// What a generator run found worth telling.
struct GenerationReport {
    std::vector<BoundNote> boundNotes;
    // Rows whose mu_tr/rho was lowered to follow mu_en/rho as their neighbours do.
    std::vector<BoundNote> outOfStepNotes;
    std::vector<AdditivityDifference> additivity;
};

// Bound notes above this relative rise are reported; above the limit the run fails.
inline constexpr double kBoundReportShift = 0.005;
inline constexpr double kBoundLimitShift = 0.03;
// A row whose mu_tr/mu_en stands more than this above the line of its neighbours is out of
// step with them.
inline constexpr double kOutOfStepShift = 0.02;

// The rows of element z's cross-section table: XCOM rows in MeV and cm2/g, each edge as
// two rows printed with the same energy, grid rows that print like an edge dropped.
std::vector<CrossSectionRow> elementCrossSectionRows(const XcomElement& xcom, std::string& error);

// The rows of element z's coefficient table: NIST energies with edges at their exact
// XCOM energies, mu/rho and mu_en/rho from NIST, mu_tr/rho derived from the XCOM partials.
std::vector<SidedCoefficientRow>
elementCoefficientRows(const XcomElement& xcom, const std::vector<NistRow>& nist,
                       GenerationReport& report, const std::string& table, std::string& error);

// Compares the Bragg sum of the element tables in the data directory's "mu_ele" (by the
// shipped table's composition block) with a material's shipped coefficient table.
AdditivityDifference additivityDifference(const std::string& stem, const CoefficientTable& shipped,
                                          const DataDirectory& data, std::string& error);

// Generates every shipped table from the reference data directory into the output
// directory (which holds ele, mix, mu_ele, mu_mix). False with `error` on any failure.
bool generateTables(const std::string& referenceDirectory, const std::string& outputDirectory,
                    GenerationReport& report, std::string& error);

} // namespace tarvo::tools
