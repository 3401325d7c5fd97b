#include "cli/tool.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Takes whatever is written and keeps nothing: an answer of any length costs no memory.
class Discard : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// Whether a range asks for more points than a fuzzing run can afford.
bool longRange(const std::string& range) {
    const size_t colon = range.rfind(':');
    if (colon == std::string::npos) {
        return false;
    }
    const std::string count = range.substr(colon + 1);
    return count.size() > 4 || count.find_first_of("eE") != std::string::npos;
}

} // namespace

// Any bytes as the command-line tool's arguments (lines up to the first empty line) and its
// standard input (the rest), on the shipped tables. Arguments that name paths or write
// tables are left out: the tool must not be steered into the file system here; so are
// ranges of more than 9999 points, which only take time.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const size_t split = text.find("\n\n");
    std::vector<std::string> arguments{"tarvo"};
    std::istringstream lines(text.substr(0, split));
    for (std::string line; std::getline(lines, line) && arguments.size() < 40;) {
        if (line.find('/') != std::string::npos || line == "combine" || line == "--data" ||
            line.rfind("--file", 0) == 0 || line.rfind("--data", 0) == 0 ||
            line.rfind("--out", 0) == 0 || longRange(line)) {
            return 0;
        }
        arguments.push_back(line);
    }
    arguments.push_back("--data");
    arguments.push_back(TARVO_SHIPPED_DATA);
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::istringstream input(split == std::string::npos ? std::string() : text.substr(split + 2));
    Discard discard;
    std::ostream out(&discard);
    std::ostream err(&discard);
    const int status =
        tarvo::cli::runTarvo(static_cast<int>(argv.size()), argv.data(), input, out, err, false);
    if (status < 0 || status > 2) {
        __builtin_trap();
    }
    return 0;
}
