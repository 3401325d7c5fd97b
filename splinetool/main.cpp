#include "common/text_file.h"
#include "splinetool/spline_tool.h"

#include <iostream>

int main() {
    std::string error;
    if (!tarvo::enterExecutableDirectory(error)) {
        std::cout << " Tarvo6_sub3: cannot enter the program's directory: " << error << '\n';
    }
    return tarvo::spline::runSplineTool(std::cout);
}
