#pragma once

#include "cli/energy_list.h"
#include "cli/output_table.h"
#include "common/material_source.h"

#include <iosfwd>
#include <optional>
#include <string>

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
};

// `tarvo list`: the tables found, with stem, name, density and category.
int listTables(const std::string& which, const std::string& category, const CommandContext& c);

// `tarvo mu`: mu/rho, mu_tr/rho and mu_en/rho (cm2/g) at the energies.
int readCoefficients(const MaterialRequest& material, const EnergyOptions& energies,
                     const CommandContext& c);

// `tarvo xs`: the partial cross sections and their total (cm2/g) at the energies.
int readCrossSections(const MaterialRequest& material, const EnergyOptions& energies,
                      const CommandContext& c);

// `tarvo energy`: every energy at which a quantity (mu, mu_tr, mu_en, total) takes a value.
int findEnergies(const MaterialRequest& material, const std::string& quantity, double value,
                 const CommandContext& c);

// `tarvo attenuate`: narrow-beam transmission and the layers of a thickness at the energies.
int attenuate(const MaterialRequest& material, const EnergyOptions& energies,
              const std::string& thickness, std::optional<double> density, const CommandContext& c);

// `tarvo table`: the coefficients on equal steps (keV), linear in log-log or by the spline.
struct StepOptions {
    double from = 1.0;
    double to = 500.0;
    double step = 0.5;
    std::string method = "linear";
};
int equalStepTable(const MaterialRequest& material, const StepOptions& steps,
                   const CommandContext& c);

// `tarvo combine`: writes a new material table for the viewers, its kind by the extension.
int combineTables(const MaterialRequest& material, const std::string& name, double density,
                  const std::string& out, const CommandContext& c);

// Writes "tarvo: " and the message on the error stream; returns the exit status given.
int fail(const CommandContext& c, const std::string& message, int status);

// A thickness with its unit ("2mm", "0.5 cm", "3g/cm2", "10um") in cm, or in g/cm2 when
// `massThickness` is set; nothing when it is no positive length or mass thickness.
std::optional<double> thicknessOf(const std::string& text, bool& massThickness);

} // namespace tarvo::cli
