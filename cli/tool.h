#pragma once

#include <iosfwd>

namespace tarvo::cli {

// The whole tool on the arguments and streams given; returns the exit status: 0, 1 (data
// that cannot answer, an answer that cannot be written) or 2 (a bad argument). No input
// ends it through an exception.
int runTarvo(int argc, const char* const* argv, std::istream& in, std::ostream& out,
             std::ostream& err, bool inputIsTerminal);

} // namespace tarvo::cli
