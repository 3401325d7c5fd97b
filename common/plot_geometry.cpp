#include "plot_geometry.h"

#include <cmath>

namespace tarvo {

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

} // namespace tarvo
