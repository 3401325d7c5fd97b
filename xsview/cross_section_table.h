#pragma once

#include "common/table_reader.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarvo {

// One energy row of a cross-section table: energy in MeV, mass cross sections in cm2/g.
struct CrossSectionRow {
    double energy = 0.0;
    double coherent = 0.0;
    double incoherent = 0.0;
    double photoelectric = 0.0;
    double pairNuclear = 0.0;
    double pairElectron = 0.0;
    double total = 0.0; // sum of the five partial values, added in this order
    double fracCoherent = 0.0;
    double fracIncoherent = 0.0;
    double fracPhotoelectric = 0.0;
    double fracPairNuclear = 0.0;
    double fracPairElectron = 0.0;
};

// One cross-section table in memory; rows and lines are used from index 1 to rowCount.
struct CrossSectionTable {
    std::string name;     // the whole first line of the file
    double density = 0.0; // g/cm3
    int rowCount = 0;
    std::array<CrossSectionRow, kMaxCrossSectionRows + 1> rows{};
    double minTotal = 10000.0; // smallest total of all rows and 10000
    double maxTotal = 0.0;     // largest total of all rows and 0
    std::array<std::string, kMaxCrossSectionRows + 1> lines{}; // each row's line as read
};

// Reads a cross-section table ("ele\H.ele", "mix\Water.mix2", ...). On failure nothing is
// returned and `error` names the file, the line and the reason.
std::optional<CrossSectionTable> loadCrossSectionTable(const std::string& path, std::string& error);

// The same from the text of a file; `path` only names it in errors.
std::optional<CrossSectionTable>
parseCrossSectionTable(std::string_view text, const std::string& path, std::string& error);

// Reads the name line and the density of a cross-section table.
std::optional<TableHeader> readTableHeader(const std::string& path, std::string& error);
std::optional<TableHeader> parseTableHeader(std::string_view text, const std::string& path,
                                            std::string& error);

// Writes a material table: name, density ("##.######"), row count, and one 59-character
// line per row (energy in MeV and the five partial cross sections in cm2/g). Only the
// energy and the five partial values of each row are written. False with `error` set when
// the rows are not 1 to 150, the name holds a line break, or the file cannot be written.
bool writeMaterialTable(const std::string& path, const std::string& name, double density,
                        std::span<const CrossSectionRow> rows, std::string& error);

// Writes an element table: the layout of a material table followed by the atomic weight
// (g/mol) on a line of its own, as `atomicWeight` spells it.
bool writeElementTable(const std::string& path, const std::string& name, double density,
                       std::span<const CrossSectionRow> rows, const std::string& atomicWeight,
                       std::string& error);

// A row with its total and fractions filled in from its five partial values.
CrossSectionRow completedRow(CrossSectionRow row);

// The line of the energy row as the writer formats it (59 characters).
std::string formatCrossSectionRow(const CrossSectionRow& row);

// Writes a table as comma-separated text: name, density ("##.######"), row count, then per
// row the energy and the five partial values (", 1.234E+01"), without the total.
bool writeCrossSectionCsv(const std::string& path, const CrossSectionTable& table,
                          std::string& error);

} // namespace tarvo
