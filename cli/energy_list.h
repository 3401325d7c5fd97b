#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::cli {

// How the energies of a reading were asked for.
struct EnergyOptions {
    std::vector<std::string> energies; // --energy, each item one number
    std::string range;                 // --range "first:last:count", log-spaced
    std::string linearRange;           // --linear-range "first:last:count"
    std::string file;                  // --file, one energy per line; "-" for the standard input
    std::string unit = "MeV";          // MeV or keV
};

// The energies in MeV, in the order given; the standard input is read when nothing else
// gives energies and it is not a terminal. Nothing, with `error` naming the argument, when
// one is not a positive number or nothing gives any.
std::optional<std::vector<double>> energiesOf(const EnergyOptions& options, std::istream& input,
                                              bool inputIsTerminal, std::string& error);

} // namespace tarvo::cli
