#include "common/text_file.h"
#include "splinetool/error_reporting.h"
#include "splinetool/spline_tool.h"

#include <cstdlib>
#include <iostream>

int main() {
    // The tool reports the routines' errors on its console and ends where they stop.
    tarvo::spline::setErrorOutput(std::cout);
    tarvo::spline::setStopAction([] { std::exit(1); });
    std::string error;
    if (!tarvo::enterExecutableDirectory(error)) {
        std::cout << " Tarvo6_sub3: cannot enter the program's directory: " << error << '\n';
    }
    return tarvo::spline::runSplineTool(std::cout);
}
