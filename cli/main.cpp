#include "cli/tool.h"

#include <iostream>

#include <unistd.h>

int main(int argc, char* argv[]) {
    std::ios::sync_with_stdio(false);
    return tarvo::cli::runTarvo(argc, argv, std::cin, std::cout, std::cerr,
                                isatty(STDIN_FILENO) != 0);
}
