// The floor under the command-line tool's batch speed: reads the same lines from the
// standard input and writes a row of the same length for each, computing nothing.
// Usage: cli_floor ROW_BYTES < energies > rows
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const long rowBytes = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 42;
    const std::string row(static_cast<size_t>(rowBytes > 1 ? rowBytes - 1 : 0), '0');
    std::vector<char> input(1 << 16);
    std::string output;
    output.reserve((1 << 16) + 4096);
    size_t read = 0;
    while ((read = std::fread(input.data(), 1, input.size(), stdin)) > 0) {
        for (const char* at = input.data();
             (at = static_cast<const char*>(std::memchr(at, '\n', input.data() + read - at))) !=
             nullptr;
             ++at) {
            output += row;
            output += '\n';
            if (output.size() >= (1 << 16)) {
                std::fwrite(output.data(), 1, output.size(), stdout);
                output.clear();
            }
        }
    }
    std::fwrite(output.data(), 1, output.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
