#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarvo::tools {

// One energy of an XCOM element file: MeV and the five partial cross sections in cm2/g
// (coherent, incoherent, photo-electric, pair nuclear, pair electron).
struct XcomRow {
    double energy = 0.0;
    double values[5] = {};
};

// One absorption edge of an XCOM element file.
struct XcomEdge {
    std::string label;   // K, L1, ...
    double energy = 0.0; // MeV
    size_t upperRow = 0; // index of the row at the edge; the row before lies just below it
};

// The partial cross sections of one element (XCOM program data file MDATX3.ZZZ).
struct XcomElement {
    int atomicNumber = 0;
    std::string atomicWeightText; // the header's single-precision value as its shortest
                                  // decimal: 207.199997 is 207.2
    double atomicWeight = 0.0;    // g/mol
    std::vector<XcomEdge> edges;
    std::vector<XcomRow> rows;      // each edge as two rows: just below, then at the edge
    std::vector<bool> upperEdgeRow; // whether row i is the upper of an edge's two rows
};

// The shortest decimal text that reads back as the same single-precision number.
std::string singlePrecisionText(double value);

// An element's density in g/cm3: xraylib's value where it lies within 1 % of the published
// one and has more significant digits, else the published one (graphite, hydrogen gas at
// 20 °C, and astatine and francium, whose densities are estimates).
double refinedDensity(int atomicNumber, double published);

// One line of nist_xray/elements.csv.
struct ElementFacts {
    int atomicNumber = 0;
    std::string symbol;
    std::string name;
    double density = 0.0; // g/cm3
};

// One energy of a NIST coefficient table (MeV, cm2/g).
struct NistRow {
    double energy = 0.0;
    double attenuation = 0.0;
    double energyAbsorption = 0.0;
};

// One line of materials.csv.
struct MaterialFacts {
    std::string stem;
    std::string category;
    double density = 0.0;
    std::string name;
    std::string nistTable;
    std::vector<std::pair<int, double>> composition; // Z and fraction by weight
};

// Readers of the reference data; each returns nothing and sets `error` on failure.
std::optional<XcomElement> readXcomElement(const std::string& path, std::string& error);
std::optional<std::vector<ElementFacts>> readElementFacts(const std::string& path,
                                                          std::string& error);
std::optional<std::vector<NistRow>> readNistTable(const std::string& path, std::string& error);
std::optional<std::vector<MaterialFacts>> readMaterialFacts(const std::string& path,
                                                            std::string& error);

// Splits one CSV line into fields; a field in double quotes may hold commas.
std::vector<std::string> splitCsvLine(const std::string& line);

} // namespace tarvo::tools
