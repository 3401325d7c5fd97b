#include "cli/tool.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

// Any bytes as the command-line tool's arguments (lines up to the first empty line) and its
// standard input (the rest), on the shipped tables. Arguments that name paths or write
// tables are left out: the tool must not be steered into the file system here.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const size_t split = text.find("\n\n");
    std::vector<std::string> arguments{"tarvo"};
    std::istringstream lines(text.substr(0, split));
    for (std::string line; std::getline(lines, line) && arguments.size() < 40;) {
        if (line.find('/') != std::string::npos || line == "combine" || line == "--data" ||
            line.rfind("--file", 0) == 0 || line.rfind("--data", 0) == 0) {
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
    std::ostringstream out;
    std::ostringstream err;
    const int status =
        tarvo::cli::runTarvo(static_cast<int>(argv.size()), argv.data(), input, out, err, false);
    if (status < 0 || status > 2) {
        __builtin_trap();
    }
    return 0;
}
