#include "energy_list.h"

#include "common/numeric_text.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <istream>
#include <iterator>
#include <sstream>

namespace tarvo::cli {
namespace {

// "first:last:count" with first and last positive and in order, count at least 2.
bool parseRange(const std::string& text, double& first, double& last, int& count) {
    std::istringstream stream(text);
    std::string a;
    std::string b;
    std::string n;
    if (!std::getline(stream, a, ':') || !std::getline(stream, b, ':') ||
        !std::getline(stream, n)) {
        return false;
    }
    const std::optional<double> from = strictNumber(a);
    const std::optional<double> to = strictNumber(b);
    const std::optional<double> points = strictNumber(n);
    if (!from || !to || !points || !(*from > 0) || !(*to > *from) || *points < 2 || *points > 1e7 ||
        *points != std::floor(*points)) {
        return false;
    }
    first = *from;
    last = *to;
    count = static_cast<int>(*points);
    return true;
}

// One energy a line; blank lines and lines starting with "#" are passed over. The whole
// input is read at once and split here: a batch may hold millions of lines.
bool readLines(std::istream& input, std::vector<double>& energies, std::string& error) {
    const std::string text{std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>()};
    std::string_view rest = text;
    for (int number = 1; !rest.empty(); ++number) {
        const size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string_view::npos || line[first] == '#') {
            continue;
        }
        line = line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
        const std::optional<double> energy = strictNumber(line);
        if (!energy || !(*energy > 0)) {
            error = "line " + std::to_string(number) + " of the energies is not a positive number";
            return false;
        }
        energies.push_back(*energy);
    }
    return true;
}

bool addRange(const std::string& text, bool logarithmic, std::vector<double>& energies,
              std::string& error) {
    double first = 0;
    double last = 0;
    int count = 0;
    if (!parseRange(text, first, last, count)) {
        error = std::string(logarithmic ? "--range" : "--linear-range") + " \"" + text +
                "\" is not first:last:count with 0 < first < last and a count of at least 2";
        return false;
    }
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / (count - 1);
        energies.push_back(logarithmic ? first * std::pow(last / first, t)
                                       : first + (last - first) * t);
    }
    energies.back() = last;
    return true;
}

} // namespace

std::optional<std::vector<double>> energiesOf(const EnergyOptions& options, std::istream& input,
                                              bool inputIsTerminal, std::string& error) {
    std::vector<double> energies;
    for (const std::string& item : options.energies) {
        const std::optional<double> energy = strictNumber(item);
        if (!energy || !(*energy > 0)) {
            error = "--energy \"" + item + "\" is not a positive number";
            return std::nullopt;
        }
        energies.push_back(*energy);
    }
    if ((!options.range.empty() && !addRange(options.range, true, energies, error)) ||
        (!options.linearRange.empty() && !addRange(options.linearRange, false, energies, error))) {
        return std::nullopt;
    }
    if (options.file == "-" || (options.file.empty() && energies.empty() && !inputIsTerminal)) {
        if (!readLines(input, energies, error)) {
            return std::nullopt;
        }
    } else if (!options.file.empty()) {
        std::ifstream file(options.file);
        if (!file) {
            error = "--file \"" + options.file + "\" cannot be read";
            return std::nullopt;
        }
        if (!readLines(file, energies, error)) {
            error = "--file \"" + options.file + "\": " + error;
            return std::nullopt;
        }
    }
    if (energies.empty()) {
        error = "no energy given: use --energy, --range, --linear-range or --file";
        return std::nullopt;
    }
    if (options.unit == "keV") {
        for (double& energy : energies) {
            energy *= 0.001;
        }
    }
    return energies;
}

} // namespace tarvo::cli
