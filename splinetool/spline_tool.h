#pragma once

#include "common/energy_grid.h"

#include <array>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::spline {

// Capacities of the tool.
inline constexpr int kMaxTableRows = 100;
inline constexpr int kMaxSegments = 20;
inline constexpr int kMaxGridPoints = 1000;

// What "B2F.dat" asks for: the table path (30 characters, trailing blanks dropped), the
// top energy and the step in keV.
struct ExchangeRequest {
    std::string tablePath;
    double top = 0.0;
    double step = 0.0;
};

// The rows of a coefficient table as the tool reads them, 1-based: energies in keV and
// the three coefficients in cm2/g. The tool works in double precision: rows a fraction of
// an eV apart (protactinium's at 5.0000 and 5.0009 keV) would cost single precision digits.
struct SplineTable {
    int rowCount = 0;
    std::array<double, kMaxTableRows + 1> x{};
    std::array<std::array<double, kMaxTableRows + 1>, 3> y{};
};

// Edge-free stretches of a table, 1-based: top energy (keV), row count, first row.
struct Segments {
    int count = 0;
    std::array<double, kMaxSegments + 1> top{};
    std::array<int, kMaxSegments + 1> size{};
    std::array<int, kMaxSegments + 1> start{};
};

// Reads the three lines of "B2F.dat"; nothing, with a reason, when a line is missing or
// does not hold a number where one is expected.
std::optional<ExchangeRequest> readExchangeRequest(std::string_view text, std::string& error);

// A fixed-width exponent-style field: blanks ignored, an explicit point and an optional
// exponent honoured, a field without a point taking its last `impliedDecimals` digits as
// decimals. Nothing when the field is not a number.
std::optional<double> readExponentField(std::string_view field, int impliedDecimals);

// Reads a coefficient table (title, row count, density, rows), energies turned into keV.
// Refuses fewer than 2 or more than 100 rows, missing rows, unreadable fields, values that
// are not positive, and falling energies.
std::optional<SplineTable> readSplineTable(std::string_view text, std::string& error);

// Splits the table at absorption edges (two rows of equal energy); at most 20 segments.
std::optional<Segments> splitSegments(const SplineTable& table, std::string& error);

// Grid size: (top - 0.989) / step truncated, plus 1; -1 when it is not a number.
int gridSize(double top, double step);

// One 44-character line of "F2B.dat" (without the line end).
std::string formatExchangeLine(double energy, const std::array<double, 3>& values);

// The whole tool in the working directory: removes an earlier "F2B.dat", reads "B2F.dat"
// and the table, writes "F2B.dat" and names on the console the energies interpolated by
// the monotone cubic. Returns the exit status: 0 only when the whole file was written.
int runSplineTool(std::ostream& console);

} // namespace tarvo::spline
