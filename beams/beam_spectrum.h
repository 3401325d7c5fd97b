#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// A photon beam as bins: each bin an energy (MeV) and the photons in it (a relative count,
// or photons per cm2 when the fluence is absolute). A monoenergetic beam is one bin.
struct Spectrum {
    std::vector<double> energies; // MeV, strictly ascending
    std::vector<double> photons;  // at least 0, finite, not all 0
};

// What a spectrum file's second column holds: photons in the bin, or photons per unit
// energy (per keV or per MeV, the file's energy unit), multiplied here by the bin widths.
enum class SpectrumCounts { perBin, perUnitEnergy };

// The most bins a spectrum may hold.
inline constexpr std::size_t kMaxSpectrumBins = 1000000;

// The range a bin's photons (other than 0) and their total keep to: every product and sum
// of the beam's figures (energy fluence in keV, air kerma in Gy) then stays a full-precision
// double, never infinite or a remnant of underflow.
inline constexpr double kFewestPhotons = 1e-250;
inline constexpr double kMostPhotons = 1e250;

// Why bins cannot be a beam, the bin named from 1 as `what` (a file's line numbers, or
// "bin"); nothing when they can: energies positive, finite, strictly ascending and inside
// the coefficient tables (1 keV to 20 MeV); photons 0 or from kFewestPhotons to
// kMostPhotons, not all 0, their total at most kMostPhotons.
std::optional<std::string> spectrumProblem(const std::vector<double>& energies,
                                           const std::vector<double>& photons,
                                           const std::vector<long>& lineNumbers = {});

// Why photons cannot be a beam's for their total: above kMostPhotons.
std::optional<std::string> totalProblem(const std::vector<double>& photons);

// Why a beam after filters is none: fewer than kFewestPhotons photons came through.
std::optional<std::string> filteredProblem(const Spectrum& filtered);

// The widths (MeV) of bins centred on ascending energies: halfway to each neighbour on
// either side, the end bins as wide on the outer side as on the inner. One bin has none.
std::vector<double> binWidths(const std::vector<double>& energies);

// A spectrum from its bins: energies in the unit of `unitsPerMeV` (1000 for keV) and the
// counts of `kind`; nothing, with `error` naming the bin (or its line), when they are no beam.
std::optional<Spectrum> spectrumOf(const std::vector<double>& energies,
                                   const std::vector<double>& counts, double unitsPerMeV,
                                   SpectrumCounts kind, std::string& error,
                                   const std::vector<long>& lineNumbers = {});

// A spectrum read line by line: two columns (energy, photons) split by commas, tabs or
// blanks, "#" starting a comment, lines ending in LF, CR LF or CR, a UTF-8 byte-order mark
// allowed; energies divided by `unitsPerMeV` (1000 for keV). Each line is checked as it is
// read, so the first line that holds no two numbers or no bin that may follow the others,
// a line over 64 KiB or a bin beyond the cap ends the read at once, with `error` naming it;
// so does a stream that cannot be read.
std::optional<Spectrum> readSpectrum(std::istream& in, double unitsPerMeV, SpectrumCounts counts,
                                     std::string& error);

// A spectrum from its text, as readSpectrum.
std::optional<Spectrum> parseSpectrum(std::string_view text, double unitsPerMeV,
                                      SpectrumCounts counts, std::string& error);

// A spectrum from a file, as readSpectrum; the error names the file.
std::optional<Spectrum> readSpectrumFile(const std::string& path, double unitsPerMeV,
                                         SpectrumCounts counts, std::string& error);

// The spectrum as CSV text: a "#" line saying what it is, then energy (in the unit of
// `unitsPerMeV`) and photons, full precision.
std::string spectrumText(const Spectrum& spectrum, double unitsPerMeV, const std::string& what);

} // namespace tarvo
