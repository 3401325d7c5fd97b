#include "plot_geometry.h"

#include <algorithm>
#include <cmath>

namespace tarvo {
namespace {

// Rows stand at ln E + 6.909, compared in single precision as the read-outs compare.
float singlePrecisionX(double energy) {
    return static_cast<float>(std::log(energy)) + static_cast<float>(kReadOutEnergyOffset);
}

} // namespace

double energyX(double energy) {
    return std::log(energy) + kEnergyOffset;
}

double readOutX(double energy) {
    return std::log(energy) + kReadOutEnergyOffset;
}

double crossSectionY(double value) {
    return std::log(value) + kCrossSectionOffset;
}

PixelPoint toPixel(const UserFrame& frame, double x, double y) {
    return {(x - frame.left) / (frame.right - frame.left) * frame.pixelWidth,
            (frame.top - y) / (frame.top - frame.bottom) * frame.pixelHeight};
}

PixelPoint toUser(const UserFrame& frame, double pixelX, double pixelY) {
    return {frame.left + pixelX / frame.pixelWidth * (frame.right - frame.left),
            frame.top - pixelY / frame.pixelHeight * (frame.top - frame.bottom)};
}

double pixelsPerUnitX(const UserFrame& frame) {
    return frame.pixelWidth / (frame.right - frame.left);
}

// Liang and Barsky's clipping: the segment as from + t (to - from), t in [0, 1], narrowed
// by each of the four edges in turn.
std::optional<PixelSegment> clipSegment(const PixelSegment& segment, double left, double top,
                                        double right, double bottom) {
    const double dx = segment.to.x - segment.from.x;
    const double dy = segment.to.y - segment.from.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {segment.from.x - left, right - segment.from.x, segment.from.y - top,
                         bottom - segment.from.y};
    double enter = 0.0;
    double leave = 1.0;
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0.0) {
                return std::nullopt;
            }
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0.0) {
            enter = std::max(enter, t);
        } else {
            leave = std::min(leave, t);
        }
    }
    if (enter > leave) {
        return std::nullopt;
    }
    return PixelSegment{{segment.from.x + enter * dx, segment.from.y + enter * dy},
                        {segment.from.x + leave * dx, segment.from.y + leave * dy}};
}

int nearestRow(const ReadingTable& table, double x) {
    const auto pointer = static_cast<float>(x);
    for (int i = 1; i <= table.rowCount; ++i) {
        const double energy = table.energies[static_cast<size_t>(i)];
        if (!(energy > 0) || !(singlePrecisionX(energy) > pointer)) {
            continue;
        }
        if (i > 1) {
            const float here = std::fabs(pointer - singlePrecisionX(energy));
            const float before =
                std::fabs(pointer - singlePrecisionX(table.energies[static_cast<size_t>(i - 1)]));
            if (here > before) {
                return i - 1;
            }
        }
        return i;
    }
    return 0;
}

bool leftOfFirstRow(const ReadingTable& table, double x) {
    return table.rowCount < 1 || singlePrecisionX(table.energies[1]) > static_cast<float>(x);
}

} // namespace tarvo
