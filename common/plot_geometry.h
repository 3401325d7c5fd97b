#pragma once

#include "common/table_reading.h"

#include <optional>

namespace tarvo {

// 3 ln 10 and 4 ln 10: the offsets that put 0.001 MeV at X = 0 and 1e-4 cm2/g at Y = 0.
inline constexpr double kLn10 = 2.302585092994046;
inline constexpr double kEnergyOffset = 3.0 * kLn10;
inline constexpr double kCrossSectionOffset = 4.0 * kLn10;

// The read-outs write 3 ln 10 and 4 ln 10 with four figures, as 6.909 and 9.212.
inline constexpr double kReadOutEnergyOffset = 6.909;
inline constexpr double kReadOutValueOffset = 9.212;

// X of an energy (MeV) on every log-log plot: ln E + 3 ln 10.
double energyX(double energy);

// X at which the read-outs place their lines for an energy (MeV): ln E + 6.909.
double readOutX(double energy);

// Y of a mass cross section (cm2/g) on a cross-section plot: ln v + 4 ln 10.
double crossSectionY(double value);

// A surface's user coordinate window and its size in pixels. Y grows upwards.
struct UserFrame {
    double left = 0.0;
    double top = 0.0; // user Y of the top edge
    double right = 1.0;
    double bottom = 1.0; // user Y of the bottom edge
    int pixelWidth = 1;
    int pixelHeight = 1;
};

struct PixelPoint {
    double x = 0.0;
    double y = 0.0;
};

// Pixel position (from the top-left corner) of a point in user units.
PixelPoint toPixel(const UserFrame& frame, double x, double y);

// User position of a pixel position.
PixelPoint toUser(const UserFrame& frame, double pixelX, double pixelY);

// Pixels per user unit along X (for radii measured in user X units).
double pixelsPerUnitX(const UserFrame& frame);

// A line segment in pixels.
struct PixelSegment {
    PixelPoint from;
    PixelPoint to;
};

// The part of a segment inside the rectangle [left, right] x [top, bottom] (pixels), or
// nothing when it misses it.
std::optional<PixelSegment> clipSegment(const PixelSegment& segment, double left, double top,
                                        double right, double bottom);

// The row a read-out at abscissa `x` marks, rows standing at ln E + 6.909: the first row
// right of x (compared in single precision), or the row before it when that is nearer (a
// tie keeps the later row); 0 when no row lies right of x. Rows without a positive energy
// are passed over.
int nearestRow(const ReadingTable& table, double x);

// Whether abscissa `x` lies left of the first row, compared as nearestRow compares; also
// for a table without rows.
bool leftOfFirstRow(const ReadingTable& table, double x);

} // namespace tarvo
