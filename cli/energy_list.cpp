#include "energy_list.h"

#include "common/numeric_text.h"

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

// Lines are read in blocks of this size; a line longer than the largest block a buffer
// may grow to holds no energy anyway.
constexpr std::size_t kBlock = 1 << 16;
constexpr std::size_t kLongestLine = 1 << 20;
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

std::string readFailure(const std::string& name) {
    return "cannot read " + name + ": " + std::strerror(errno != 0 ? errno : EIO);
}

} // namespace

std::optional<EnergyStream> EnergyStream::open(const EnergyOptions& options, std::istream& input,
                                               bool inputIsTerminal, std::string& error) {
    EnergyStream stream;
    stream.m_unitsPerMeV = options.unit == "keV" ? 1000.0 : 1.0;
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
        stream.m_lines = &input;
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
        stream.m_lines = stream.m_file.get();
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
    while (m_lines != nullptr && nextLine(line)) {
        const std::string_view text = trimBlanks(line);
        if (text.empty() || text.front() == '#') {
            continue;
        }
        const std::optional<double> value = strictNumber(text);
        if (value && *value > 0) {
            give(*value, energy);
        } else {
            energy.given = energy.mev = std::numeric_limits<double>::quiet_NaN();
            energy.problem =
                "line " + std::to_string(m_lineNumber) + " of " + m_fileName +
                (text.size() > 40 ? " is no positive number"
                                  : " (\"" + std::string(text) + "\") is no positive number");
        }
        return true;
    }
    return false;
}

// Reads the next block behind what is left of the buffer; false at the end of the input.
bool EnergyStream::fill() {
    if (m_endOfInput) {
        return false;
    }
    if (m_begin > 0) {
        std::memmove(m_buffer.data(), m_buffer.data() + m_begin, m_end - m_begin);
        m_end -= m_begin;
        m_begin = 0;
    }
    if (m_buffer.size() - m_end < kBlock) {
        m_buffer.resize(std::min(std::max(m_buffer.size() * 2, kBlock), kLongestLine + kBlock));
    }
    errno = 0;
    m_lines->read(m_buffer.data() + m_end, static_cast<std::streamsize>(m_buffer.size() - m_end));
    const auto got = static_cast<std::size_t>(m_lines->gcount());
    m_end += got;
    if (m_lines->bad()) {
        m_readError = readFailure(m_fileName);
    }
    m_endOfInput = got == 0 || !*m_lines;
    return got > 0;
}

bool EnergyStream::nextLine(std::string_view& line) {
    for (;;) {
        const char* start = m_buffer.data() + m_begin;
        // An empty buffer has no storage yet, and memchr takes no null pointer.
        const auto* newline =
            m_end == m_begin ? nullptr
                             : static_cast<const char*>(std::memchr(start, '\n', m_end - m_begin));
        if (newline != nullptr) {
            line = std::string_view(start, static_cast<std::size_t>(newline - start));
            m_begin += line.size() + 1;
            ++m_lineNumber;
            return true;
        }
        if (m_end - m_begin >= kLongestLine) {
            // No energy is this long: the line is taken as it stands so far, its rest
            // becomes lines of its own no number reads from either.
            line = std::string_view(start, m_end - m_begin);
            m_begin = m_end;
            ++m_lineNumber;
            return true;
        }
        if (!fill()) {
            if (m_begin == m_end) {
                return false;
            }
            line = std::string_view(m_buffer.data() + m_begin, m_end - m_begin);
            m_begin = m_end;
            ++m_lineNumber;
            return true;
        }
    }
}

} // namespace tarvo::cli
