#include "energy_list.h"

#include "common/numeric_text.h"
#include "common/option_words.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <istream>
#include <limits>
#include <sstream>

namespace tarvo::cli {
namespace {

constexpr double kMostRangePoints = 1e9;

// "first:last:count" with first and last positive and in order, count a whole number of
// at least 2.
std::optional<std::array<double, 3>> parseRange(const std::string& text) {
    std::istringstream stream(text);
    std::array<std::string, 3> parts;
    if (!std::getline(stream, parts[0], ':') || !std::getline(stream, parts[1], ':') ||
        !std::getline(stream, parts[2])) {
        return std::nullopt;
    }
    std::array<double, 3> numbers{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<double> number = strictNumber(trimBlanks(parts[i]));
        if (!number) {
            return std::nullopt;
        }
        numbers[i] = *number;
    }
    if (!(numbers[0] > 0) || !(numbers[1] > numbers[0]) || numbers[2] < 2 ||
        numbers[2] > kMostRangePoints || numbers[2] != std::floor(numbers[2])) {
        return std::nullopt;
    }
    return numbers;
}

} // namespace

std::optional<EnergyStream> EnergyStream::open(const EnergyOptions& options, std::istream& input,
                                               bool inputIsTerminal, std::string& error) {
    EnergyStream stream;
    stream.m_unitsPerMeV = unitsPerMeVNamed(options.unit).value_or(1.0);
    for (const std::string& item : options.energies) {
        const std::optional<double> energy = strictNumber(trimBlanks(item));
        if (!energy || !(*energy > 0)) {
            error = "--energy \"" + item + "\" is not a positive number";
            return std::nullopt;
        }
        stream.m_listed.push_back(*energy);
    }
    for (const auto& [text, logarithmic] :
         {std::pair{options.range, true}, std::pair{options.linearRange, false}}) {
        if (text.empty()) {
            continue;
        }
        const auto range = parseRange(text);
        if (!range) {
            error = std::string(logarithmic ? "--range" : "--linear-range") + " \"" + text +
                    "\" is not first:last:count with 0 < first < last and a count of at least 2";
            return std::nullopt;
        }
        stream.m_ranges.push_back(
            {(*range)[0], (*range)[1], static_cast<long>((*range)[2]), logarithmic});
    }
    const bool nothingElse = stream.m_listed.empty() && stream.m_ranges.empty();
    if (options.file == "-" || (options.file.empty() && nothingElse && !inputIsTerminal)) {
        stream.m_lines = std::make_shared<LineReader>(input);
        stream.m_fileName = "the standard input";
    } else if (!options.file.empty()) {
        std::error_code ignored;
        if (std::filesystem::is_directory(options.file, ignored)) {
            error = "--file \"" + options.file + "\" is a directory, not a file of energies";
            return std::nullopt;
        }
        stream.m_file = std::make_shared<std::ifstream>(options.file, std::ios::binary);
        if (!*stream.m_file) {
            error = "--file \"" + options.file + "\" cannot be read: " + std::strerror(errno);
            return std::nullopt;
        }
        stream.m_lines = std::make_shared<LineReader>(*stream.m_file);
        stream.m_fileName = "--file \"" + options.file + "\"";
    } else if (nothingElse) {
        error = "no energy given: use --energy, --range, --linear-range or --file";
        return std::nullopt;
    }
    return stream;
}

void EnergyStream::give(double value, InputEnergy& energy) const {
    energy.given = value;
    // Divided, not multiplied by 0.001, so that 1250 keV is 1.25 MeV exactly.
    energy.mev = value / m_unitsPerMeV;
    energy.problem.clear();
}

bool EnergyStream::next(InputEnergy& energy) {
    if (m_nextListed < m_listed.size()) {
        give(m_listed[m_nextListed++], energy);
        return true;
    }
    if (m_range < m_ranges.size()) {
        const Range& r = m_ranges[m_range];
        const double t = static_cast<double>(m_rangePoint) / static_cast<double>(r.count - 1);
        const bool last = ++m_rangePoint == r.count;
        give(last            ? r.last
             : r.logarithmic ? r.first * std::pow(r.last / r.first, t)
                             : r.first + (r.last - r.first) * t,
             energy);
        if (last) {
            ++m_range;
            m_rangePoint = 0;
        }
        return true;
    }
    std::string_view line;
    for (auto status = m_lines ? m_lines->next(line) : LineReader::Status::end;
         status != LineReader::Status::end; status = m_lines->next(line)) {
        const std::string_view text = trimBlanks(line);
        if (status == LineReader::Status::line && (text.empty() || text.front() == '#')) {
            continue;
        }
        const std::optional<double> value =
            status == LineReader::Status::line ? strictNumber(text) : std::nullopt;
        if (value && *value > 0) {
            give(*value, energy);
            return true;
        }
        energy.given = energy.mev = std::numeric_limits<double>::quiet_NaN();
        const std::string where =
            "line " + std::to_string(m_lines->lineNumber()) + " of " + m_fileName;
        energy.problem = status == LineReader::Status::tooLong
                             ? where + ": line too long (over " +
                                   std::to_string(m_lines->longestLine()) + " bytes)"
                         : text.size() > 40
                             ? where + " is no positive number"
                             : where + " (\"" + std::string(text) + "\") is no positive number";
        return true;
    }
    return false;
}

std::string EnergyStream::readError() const {
    return m_lines && !m_lines->readError().empty()
               ? "cannot read " + m_fileName + ": " + m_lines->readError()
               : std::string();
}

} // namespace tarvo::cli
