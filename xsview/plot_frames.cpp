#include "plot_frames.h"

#include <cmath>

namespace tarvo {

using namespace crossSectionFrame;

UserFrame crossSectionPlotFrame() {
    return {frameLeft, frameTop, frameRight, frameBottom, 525, 469};
}

UserFrame fractionPlotFrame() {
    return {frameLeft, fractionFrameTop, frameRight, fractionFrameBottom, 525, 213};
}

UserFrame enlargedViewFrame() {
    return {frameLeft, frameTop, frameRight, frameBottom, 725, 685};
}

bool overCrossSectionPlot(double x, double y) {
    return x >= 0 && x <= plotRight && y >= 0 && y <= readOutTop;
}

bool overFractionPlot(double x, double y) {
    return x >= 0 && x <= plotRight && y >= 0 && y <= fractionTop;
}

double readOutTotalY(double total) {
    return std::log(total) + kReadOutValueOffset;
}

} // namespace tarvo
