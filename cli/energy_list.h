#pragma once

#include "common/line_reader.h"

#include <fstream>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::cli {

// How the energies of a reading were asked for.
struct EnergyOptions {
    std::vector<std::string> energies; // --energy, each item one number
    std::string range;                 // --range "first:last:count", log-spaced
    std::string linearRange;           // --linear-range "first:last:count"
    std::string file;                  // --file, one energy per line; "-" for the standard input
    std::string unit = "MeV";          // MeV or keV, for the input and the output
};

// One energy of the input: as given (in the unit asked for) and in MeV; or, for a line
// that holds no positive number, why not (the energies are then NaN).
struct InputEnergy {
    double given = 0.0;
    double mev = 0.0;
    std::string problem;
};

// The energies in the order given, --energy first, then the ranges, then the lines of the
// file or the standard input (read when nothing else gives energies and it is not a
// terminal). Lines are read as they are asked for, so a batch of any length takes little
// memory; blank lines and lines starting with "#" are passed over, and a line too long for
// an energy is one energy that is none.
class EnergyStream {
  public:
    // Checks the listed energies and the ranges and opens the file; nothing, with `error`
    // naming the argument, when one is bad or nothing gives any energy.
    static std::optional<EnergyStream> open(const EnergyOptions& options, std::istream& input,
                                            bool inputIsTerminal, std::string& error);

    // The next energy; false at the end of the input.
    bool next(InputEnergy& energy);

    // Why the input ended early (a file that could not be read to its end); empty if not.
    std::string readError() const;

  private:
    struct Range {
        double first = 0.0;
        double last = 0.0;
        long count = 0;
        bool logarithmic = true;
    };

    void give(double value, InputEnergy& energy) const;

    double m_unitsPerMeV = 1.0; // 1000 for energies in keV
    std::vector<double> m_listed;
    std::size_t m_nextListed = 0;
    std::vector<Range> m_ranges;
    std::size_t m_range = 0;
    long m_rangePoint = 0;
    std::shared_ptr<std::ifstream> m_file;
    std::shared_ptr<LineReader> m_lines;
    std::string m_fileName;
    std::string m_readError;
};

} // namespace tarvo::cli
