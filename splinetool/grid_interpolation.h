#pragma once

#include "splinetool/spline_tool.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::spline {

// Why a segment was interpolated by the monotone cubic instead of the not-a-knot spline.
struct SegmentRepair {
    double from = 0.0; // keV: the first and last grid energy of the segment
    double to = 0.0;
    bool overshoot = false;     // the spline left the range of the two rows around an energy
                                // by more than 10 %
    bool offSteadyRows = false; // it left that range at all where the rows around the
                                // energy and their neighbours rise or fall steadily
    bool order = false;         // it broke mu/rho >= mu_tr/rho >= mu_en/rho where both rows
                                // keep that order
};

// Where a coefficient was lowered to the one above it: between rows that keep
// mu/rho >= mu_tr/rho >= mu_en/rho the curves crossed, within the rounding of the rows.
struct EvenedValues {
    double from = 0.0; // keV: the first and last grid energy of a segment lowered
    double to = 0.0;
    bool transfer = false;   // mu_tr/rho lowered to mu/rho
    bool absorption = false; // mu_en/rho lowered to mu_tr/rho
};

// The three coefficients (cm2/g) at each grid energy, the segments done another way and
// the values lowered.
struct GridValues {
    std::vector<std::array<double, 3>> values; // grid point i at index i - 1
    std::vector<SegmentRepair> repairs;
    std::vector<EvenedValues> evened;
};

// The coefficients at grid energies 1..n from `start` (keV, see gridEnergy) on the log-log
// scale, each segment by its not-a-knot spline fitted in double precision; a segment whose
// spline leaves the range of the two table rows around a grid energy by more than 10 % (at
// all where those rows and their neighbours rise or fall steadily), or breaks the order of the
// coefficients where both rows keep it, by Steffen's monotone cubic instead (which never leaves the
// range of the two rows), and where even that breaks the order, linearly between the two rows.
// `table` holds plain values (keV, cm2/g).
// Where the spline routines stop (data they refuse), nothing is returned and `error` holds
// their report; the process goes on.
std::optional<GridValues> interpolateGrid(const SplineTable& table, const Segments& segments,
                                          double step, int n, std::string& error,
                                          double start = 1.0);

// Steffen's monotone cubic through (x, y)(0..m-1) at `at`: within an interval it lies
// between the values of its two ends; outside the data, the straight line of the end
// interval.
double steffen(const std::vector<double>& x, const std::vector<double>& y, double at);

// The text a repaired segment is reported with: "20.0 to 500.0 keV: ... ".
std::string repairText(const SegmentRepair& repair);

// The note of lowered values, as the tool prints it: "1.1 to 1.4 keV mu_en/rho lowered to
// mu_tr/rho ...".
std::string evenedText(const EvenedValues& evened);

} // namespace tarvo::spline
