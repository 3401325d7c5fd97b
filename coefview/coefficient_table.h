#pragma once

#include "common/table_reader.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvo {

// Largest number of energy rows and of composition entries of a coefficient table.
inline constexpr int kMaxCoefficientRows = 150;
inline constexpr int kMaxCompositionEntries = 15;

// One energy row: photon energy in MeV; mu/rho, mu_tr/rho and mu_en/rho in cm2/g.
struct CoefficientRow {
    double energy = 0.0;
    double attenuation = 0.0;
    double energyTransfer = 0.0;
    double energyAbsorption = 0.0;
};

// One element of a material: atomic number and fraction by weight (0 to 1).
struct CompositionEntry {
    int atomicNumber = 0;
    double weightFraction = 0.0;
};

// One coefficient table in memory; rows, lines and composition are used from index 1.
struct CoefficientTable {
    std::string name;
    int energyCount = 0;
    double density = 0.0; // g/cm3
    std::array<CoefficientRow, kMaxCoefficientRows + 1> rows{};
    std::array<std::string, kMaxCoefficientRows + 1> lines{}; // each row's line as read
    int compositionCount = 0;                                 // 0 for element tables
    std::array<CompositionEntry, kMaxCompositionEntries + 1> composition{};
};

// Reads the name and the density of a coefficient table ("mu_ele\01_H.mut", ...).
std::optional<TableHeader> readCoefficientHeader(const std::string& path, std::string& error);

// The same from the text of a file; `path` only names it in errors.
std::optional<TableHeader> parseCoefficientHeader(std::string_view text, const std::string& path,
                                                  std::string& error);

// Reads a coefficient table, with its composition block when `withComposition` is set.
// A missing or unreadable file, a truncated one, a row count outside 1..150, an element
// count outside 1..15, falling energies or a value that is not a positive number give
// nothing, with `error` naming the file, the line and the reason.
std::optional<CoefficientTable> loadCoefficientTable(const std::string& path, bool withComposition,
                                                     std::string& error);

// The same from the text of a file; `path` only names it in errors.
std::optional<CoefficientTable> parseCoefficientTable(std::string_view text,
                                                      const std::string& path, bool withComposition,
                                                      std::string& error);

// Whether a table path names a material table, whose composition the draw action reads.
bool isMaterialCoefficientPath(const std::string& path);

// The 41-character line of an energy row as the writer formats it.
std::string formatCoefficientRow(const CoefficientRow& row);

// Writes a material coefficient table with its composition block. False with `error` set
// when the counts are out of range, a value is not positive, or the file cannot be written.
bool writeMaterialCoefficientTable(const std::string& path, const std::string& name, double density,
                                   std::span<const CoefficientRow> rows,
                                   std::span<const CompositionEntry> composition,
                                   std::string& error);

// Writes a table as comma-separated text: name, density ("##.######"), row count, then per
// row "1.000E-03, 4.076E+03, 4.064E+03, 4.064E+03".
bool writeCoefficientCsv(const std::string& path, const CoefficientTable& table,
                         std::string& error);

// Writes an element coefficient table: the same layout without the composition block.
bool writeElementCoefficientTable(const std::string& path, const std::string& name, double density,
                                  std::span<const CoefficientRow> rows, std::string& error);

} // namespace tarvo
