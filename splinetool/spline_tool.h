#pragma once

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
    float top = 0.0f;
    float step = 0.0f;
};

// The rows of a coefficient table as the tool reads them, 1-based: energies in keV and
// the three coefficients in cm2/g (natural logarithms once `takeLogarithms` ran).
struct SplineTable {
    int rowCount = 0;
    std::array<float, kMaxTableRows + 1> x{};
    std::array<std::array<float, kMaxTableRows + 1>, 3> y{};
};

// Edge-free stretches of a table, 1-based: top energy (keV), row count, first row.
struct Segments {
    int count = 0;
    std::array<float, kMaxSegments + 1> top{};
    std::array<int, kMaxSegments + 1> size{};
    std::array<int, kMaxSegments + 1> start{};
};

// Reads the three lines of "B2F.dat"; nothing, with a reason, when a line is missing or
// does not hold a number where one is expected.
std::optional<ExchangeRequest> readExchangeRequest(std::string_view text, std::string& error);

// A fixed-width exponent-style field: blanks ignored, an explicit point and an optional
// exponent honoured, a field without a point taking its last `impliedDecimals` digits as
// decimals. Nothing when the field is not a number.
std::optional<float> readExponentField(std::string_view field, int impliedDecimals);

// Reads a coefficient table (title, row count, density, rows), energies turned into keV.
// Refuses fewer than 2 or more than 100 rows, missing rows, unreadable fields, values that
// are not positive, and falling energies.
std::optional<SplineTable> readSplineTable(std::string_view text, std::string& error);

// Splits the table at absorption edges (two rows of equal energy); at most 20 segments.
std::optional<Segments> splitSegments(const SplineTable& table, std::string& error);

// Grid size: (top - 0.989) / step truncated, plus 1, in single precision.
int gridSize(float top, float step);

// Grid energy i (1-based) in keV: (i - 1) * step + 1.0.
float gridEnergy(int i, float step);

// Replaces energies and coefficients by their natural logarithms.
void takeLogarithms(SplineTable& table);

// The three coefficients at each grid energy by the not-a-knot spline of the segment
// holding it, in log-log terms. Numeric failures stop through the error mechanism.
std::vector<std::array<float, 3>> interpolateGrid(const SplineTable& logTable,
                                                  const Segments& segments, float step, int n);

// One 44-character line of "F2B.dat" (without the line end).
std::string formatExchangeLine(float energy, const std::array<float, 3>& values);

// The whole tool in the working directory: reads "B2F.dat" and the table, writes
// "F2B.dat". Returns the exit status: 0 only when the whole file was written.
int runSplineTool(std::ostream& console);

} // namespace tarvo::spline
