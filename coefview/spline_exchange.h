#pragma once

#include "coefview/equal_interval.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The exchange with the spline tool: the viewer writes the request, the tool writes the
// results (the files and their names are in common/exchange_files.h).

// The text of "B2F.dat": the table path, the top energy and the step ("000.0").
std::string exchangeRequest(const std::string& tablePath, double top, double step);

// The first `points` lines of "F2B.dat", four numbers each (the energy is dropped); nothing
// when the file holds fewer or a value that is not a positive number.
std::optional<std::vector<IntervalValues>> readExchangeResults(std::string_view text, int points);

// The spline tool's console lines that name energies interpolated another way, without
// the tool's name: "20.0 to 500.0 keV interpolated by a monotone cubic: ...".
std::vector<std::string> repairNotes(std::string_view console);

// Asks for the table on `grid`: removes an earlier result, then writes the request; false
// with `error` set when the request cannot be written.
bool writeSplineRequest(const IntervalGrid& grid, std::string& error);

// The first `points` results of the tool's run; nothing with a reason when the result file
// is missing or holds fewer or values that are not positive numbers.
std::optional<std::vector<IntervalValues>> readSplineResults(int points, std::string& error);

// Removes both exchange files; ones that are not there are no failure.
void removeExchangeFiles();

} // namespace tarvo
