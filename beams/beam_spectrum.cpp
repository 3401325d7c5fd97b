#include "beams/beam_spectrum.h"

#include "common/line_reader.h"
#include "common/number_format.h"
#include "common/numeric_text.h"
#include "common/text_file.h"
#include "materials/material_source.h"

#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarvo {
namespace {

std::string binName(const std::vector<long>& lineNumbers, size_t index) {
    return index < lineNumbers.size() ? "line " + std::to_string(lineNumbers[index])
                                      : "bin " + std::to_string(index + 1);
}

// An energy converted back to the file's unit, without the last bit of the division's
// rounding (33 keV stays "33").
std::string energyText(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::string countText(double value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.0E", value);
    return text;
}

// The fields of a line, split at commas, tabs and blanks, without its "#" comment.
std::vector<std::string_view> fieldsOf(std::string_view line) {
    line = line.substr(0, line.find('#'));
    std::vector<std::string_view> fields;
    size_t at = 0;
    while (at < line.size()) {
        const size_t start = line.find_first_not_of(" \t\r,", at);
        if (start == std::string_view::npos) {
            break;
        }
        const size_t end = std::min(line.find_first_of(" \t\r,", start), line.size());
        fields.push_back(line.substr(start, end - start));
        at = end;
    }
    return fields;
}

struct SpectrumLines {
    std::vector<double> energies;
    std::vector<double> values;
    std::vector<long> lineNumbers;
};

// Whether a field is a word of a column heading ("Energy", "keV") rather than a number
// gone wrong ("nan", "inf", "1,5e").
bool isHeadingWord(std::string_view field) {
    std::string lower;
    for (const char c : field) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return std::isalpha(static_cast<unsigned char>(field[0])) && lower != "nan" && lower != "inf" &&
           lower != "infinity";
}

// Why a bin cannot follow the bins before it (energies in MeV); nothing when it can.
std::optional<std::string> binProblem(double energy, const double* previous, double photons) {
    if (!(energy >= kLowestEnergy && energy <= highestEnergy(TableKind::coefficients))) {
        return "the energy lies outside the tables (1 keV to 20 MeV)";
    }
    if (previous != nullptr && !(energy > *previous)) {
        return std::string("the energies must rise from bin to bin (this one is ") +
               (energy == *previous ? "repeated)" : "lower than the one before)");
    }
    if (!(photons == 0 || (photons >= kFewestPhotons && photons <= kMostPhotons))) {
        return "the photons of a bin are 0 or a number from " + countText(kFewestPhotons) + " to " +
               countText(kMostPhotons);
    }
    return std::nullopt;
}

// Reads one data line into `lines`, checked against the bins before it; false, with
// `error` naming the line, when it holds no two numbers or no bin that may follow them.
// Word lines before the first number are column headings and are passed over.
bool takeLine(std::string_view line, long number, double unitsPerMeV, SpectrumLines& lines,
              std::string& error) {
    const std::vector<std::string_view> fields = fieldsOf(line);
    if (fields.empty() || (lines.energies.empty() && isHeadingWord(fields[0]))) {
        return true;
    }
    const auto energy = strictNumber(fields[0]);
    const auto value = fields.size() == 2 ? strictNumber(fields[1]) : std::nullopt;
    if (!energy || !value) {
        error = "line " + std::to_string(number) +
                " is not two numbers, an energy and its photons (split by a comma, tab or blank)";
        return false;
    }
    if (lines.energies.size() == kMaxSpectrumBins) {
        error = "a spectrum holds at most " + std::to_string(kMaxSpectrumBins) + " bins";
        return false;
    }
    const double previous = lines.energies.empty() ? 0.0 : lines.energies.back() / unitsPerMeV;
    if (const auto problem = binProblem(*energy / unitsPerMeV,
                                        lines.energies.empty() ? nullptr : &previous, *value)) {
        error = "line " + std::to_string(number) + ": " + *problem;
        return false;
    }
    lines.energies.push_back(*energy);
    lines.values.push_back(*value);
    lines.lineNumbers.push_back(number);
    return true;
}

} // namespace

std::optional<std::string> spectrumProblem(const std::vector<double>& energies,
                                           const std::vector<double>& photons,
                                           const std::vector<long>& lineNumbers) {
    if (energies.empty() || energies.size() != photons.size()) {
        return energies.empty() ? "the spectrum has no bins"
                                : "a spectrum needs as many photon counts as energies";
    }
    bool anyPhotons = false;
    for (size_t i = 0; i < energies.size(); ++i) {
        if (const auto problem =
                binProblem(energies[i], i > 0 ? &energies[i - 1] : nullptr, photons[i])) {
            return binName(lineNumbers, i) + ": " + *problem;
        }
        anyPhotons = anyPhotons || photons[i] > 0;
    }
    if (!anyPhotons) {
        return std::string("the spectrum holds no photons (every bin is 0)");
    }
    return totalProblem(photons);
}

std::optional<std::string> totalProblem(const std::vector<double>& photons) {
    double total = 0.0;
    for (const double count : photons) {
        total += count;
    }
    if (!(total <= kMostPhotons)) {
        return "the photons add up to more than " + countText(kMostPhotons) +
               ": scale the counts down";
    }
    return std::nullopt;
}

std::optional<std::string> filteredProblem(const Spectrum& filtered) {
    double total = 0.0;
    for (const double count : filtered.photons) {
        total += count;
    }
    if (!(total >= kFewestPhotons)) {
        return "no photons come through the filters (fewer than " + countText(kFewestPhotons) +
               " in the unit of the counts)";
    }
    return std::nullopt;
}

std::vector<double> binWidths(const std::vector<double>& energies) {
    const size_t n = energies.size();
    std::vector<double> widths(n > 1 ? n : 0);
    for (size_t i = 0; n > 1 && i < n; ++i) {
        const double below = i > 0 ? energies[i] - energies[i - 1] : energies[1] - energies[0];
        const double above =
            i + 1 < n ? energies[i + 1] - energies[i] : energies[n - 1] - energies[n - 2];
        widths[i] = (below + above) / 2;
    }
    return widths;
}

std::optional<Spectrum> spectrumOf(const std::vector<double>& energies,
                                   const std::vector<double>& counts, double unitsPerMeV,
                                   SpectrumCounts kind, std::string& error,
                                   const std::vector<long>& lineNumbers) {
    Spectrum spectrum;
    for (const double energy : energies) {
        spectrum.energies.push_back(energy / unitsPerMeV);
    }
    spectrum.photons = counts;
    if (auto problem = spectrumProblem(spectrum.energies, spectrum.photons, lineNumbers)) {
        error = *problem;
        return std::nullopt;
    }
    if (kind == SpectrumCounts::perUnitEnergy) {
        if (spectrum.energies.size() < 2) {
            error = "photons per unit energy need two bins or more, for the bins' widths";
            return std::nullopt;
        }
        const std::vector<double> widths = binWidths(spectrum.energies);
        for (size_t i = 0; i < widths.size(); ++i) {
            spectrum.photons[i] *= widths[i] * unitsPerMeV;
        }
        if (auto problem = totalProblem(spectrum.photons)) {
            error = *problem;
            return std::nullopt;
        }
    }
    return spectrum;
}

std::optional<Spectrum> readSpectrum(std::istream& in, double unitsPerMeV, SpectrumCounts counts,
                                     std::string& error) {
    SpectrumLines lines;
    LineReader reader(in);
    std::string_view line;
    for (auto status = reader.next(line); status != LineReader::Status::end;
         status = reader.next(line)) {
        if (status == LineReader::Status::tooLong) {
            error = "line " + std::to_string(reader.lineNumber()) + " is longer than " +
                    std::to_string(reader.longestLine()) + " bytes";
            return std::nullopt;
        }
        if (!takeLine(line, reader.lineNumber(), unitsPerMeV, lines, error)) {
            return std::nullopt;
        }
    }
    if (!reader.readError().empty()) {
        error = "cannot be read: " + reader.readError();
        return std::nullopt;
    }
    return spectrumOf(lines.energies, lines.values, unitsPerMeV, counts, error, lines.lineNumbers);
}

std::optional<Spectrum> parseSpectrum(std::string_view text, double unitsPerMeV,
                                      SpectrumCounts counts, std::string& error) {
    std::istringstream in{std::string(text)};
    return readSpectrum(in, unitsPerMeV, counts, error);
}

std::optional<Spectrum> readSpectrumFile(const std::string& path, double unitsPerMeV,
                                         SpectrumCounts counts, std::string& error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = path + ": is a directory";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": " + std::strerror(errno != 0 ? errno : ENOENT);
        return std::nullopt;
    }
    auto spectrum = readSpectrum(in, unitsPerMeV, counts, error);
    if (!spectrum) {
        error = path + ": " + error;
    }
    return spectrum;
}

std::string spectrumText(const Spectrum& spectrum, double unitsPerMeV, const std::string& what) {
    std::string text =
        "# " + what + "\n# energy (" + (unitsPerMeV == 1000 ? "keV" : "MeV") + "),photons\n";
    for (size_t i = 0; i < spectrum.energies.size(); ++i) {
        text += energyText(spectrum.energies[i] * unitsPerMeV) + "," +
                shortestText(spectrum.photons[i]) + "\n";
    }
    return text;
}

} // namespace tarvo
