#include "common/text_file.h"

#include <iostream>

// The spline interpolation of the tool is not built yet: say so and fail, so that no
// caller takes a missing "F2B.dat" for a result.
int main() {
    std::string error;
    tarvo::enterExecutableDirectory(error);
    std::cout << "Tarvo6_sub3: the spline interpolation is not available in this build\n";
    return 2;
}
