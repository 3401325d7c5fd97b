#pragma once

#include "cli/energy_list.h"
#include "cli/output_table.h"
#include "common/option_words.h"
#include "materials/material_source.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::cli {

// Exit statuses: a bad argument, and data that cannot answer.
inline constexpr int kUsageError = 2;
inline constexpr int kDataError = 1;

// Where a command writes and how.
struct CommandContext {
    DataDirectory data; // the run directory whose tables are read
    std::ostream& out;
    std::ostream& err;
    std::istream& in;
    bool inputIsTerminal = true;
    OutputFormat format = OutputFormat::aligned;
    int digits = 4;
    ReadingMethod method = ReadingMethod::spline;
};

// How the readings of a command are asked for.
struct ReadingOptions {
    EnergyOptions energies;
    EdgeSide side = EdgeSide::both;
    bool perAtom = false; // cross sections of an element in barns/atom
};

// `tarvo list`: the tables found, with stem, name, density and category.
int listTables(const std::string& which, const std::string& category, const CommandContext& c);

// `tarvo mu`: mu/rho, mu_tr/rho and mu_en/rho (cm2/g) at the energies, a row for each.
int readCoefficients(const MaterialRequest& material, const ReadingOptions& options,
                     const CommandContext& c);

// `tarvo xs`: the partial cross sections and their total (cm2/g, or b/atom) at the energies.
int readCrossSections(const MaterialRequest& material, const ReadingOptions& options,
                      const CommandContext& c);

// `tarvo energy`: every energy (in `unit`, MeV or keV) at which a quantity (mu, mu_tr,
// mu_en, total) takes a value (cm2/g).
int findEnergies(const MaterialRequest& material, const std::string& quantity, double value,
                 const std::string& unit, const CommandContext& c);

// What `tarvo attenuate` computes: thicknesses ("2mm", "3g/cm2") or transmissions (the
// thickness that leaves each), lengths shown in `lengthUnit` (um, mm, cm, m; empty: the
// first thickness's unit, or cm).
struct AttenuationOptions {
    std::vector<std::string> thicknesses;
    std::vector<std::string> transmissions;
    std::string lengthUnit;
    std::optional<double> density; // g/cm3; the table's when not given
};

// `tarvo attenuate`: narrow-beam transmission and the layers of each thickness at each energy.
int attenuate(const MaterialRequest& material, const ReadingOptions& options,
              const AttenuationOptions& attenuation, const CommandContext& c);

// `tarvo table`: the coefficients on equal steps by the point reading of `tarvo mu` (spline),
// linear in log-log (loglog) or as the spline tool (spline-tool), the energies in `unit`
// (keV, the spline tool's habit, or MeV).
struct StepOptions {
    double from = 1.0;
    double to = 500.0;
    double step = 0.5;
    std::string method = "spline";
    std::string unit = "keV";
};
int equalStepTable(const MaterialRequest& material, const StepOptions& steps,
                   const CommandContext& c);

// `tarvo combine`: writes a new material table for the viewers, its kind by the extension;
// an existing table only with `force`, a shipped one never.
struct CombineOptions {
    std::string name;
    double density = 0.0;
    std::string out;
    bool force = false;
};
int combineTables(const MaterialRequest& material, const CombineOptions& options,
                  const CommandContext& c);

// `tarvo spectrum`: a photon beam from a spectrum file (or - for the standard input),
// after filters: its fluences, mean energy, air kerma and, in a material, its half-value
// layers, homogeneity and effective energy, or its transmission curve.
struct SpectrumOptions {
    std::string file;            // a spectrum file ("-": the standard input), or
    std::string tube;            // "W:80kV": a tube model at a voltage, or
    std::string quality;         // "RQR5": a standard radiation quality
    double ripple = 0.0;         // % of the tube voltage
    std::string distance = "1m"; // of the air kerma per mAs
    std::string unit = "keV";    // of the file's energies, and of the energies shown
    bool perUnitEnergy = false;
    std::string filter;                    // "Al:2.5mm,Cu:0.1mm"
    std::vector<std::string> hvlMaterials; // of the half-value layers; the first's curve
    std::string findFilter;                // the material whose added thickness sets --hvl1
    std::string hvl1;                      // "2.58mm": the wanted first half-value layer
    std::optional<double> density;         // g/cm3 of that material; its table's when not given
    std::string weighting = "air-kerma";
    std::string curve;             // "0:10mm:50": from, to, steps
    std::string lengthUnit = "mm"; // of the layers shown
    std::string out;               // the filtered spectrum, CSV
    bool force = false;
};
int analyseSpectrum(const SpectrumOptions& options, const CommandContext& c);

// Writes "tarvo: " and the message on the error stream; returns the exit status given.
int fail(const CommandContext& c, const std::string& message, int status);

// A thickness with its unit ("2mm", "0.5 cm", "3g/cm2", "10um") in cm, or in g/cm2 when
// `massThickness` is set; nothing when it is no positive length or mass thickness.
std::optional<double> thicknessOf(const std::string& text, bool& massThickness);

} // namespace tarvo::cli
