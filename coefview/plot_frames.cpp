#include "plot_frames.h"

#include <cmath>

namespace tarvo {

using namespace coefficientFrame;

UserFrame coefficientPlotFrame() {
    return {frameLeft, frameTop, frameRight, frameBottom, 529, 513};
}

UserFrame ratioPlotFrame() {
    return {frameLeft, ratioFrameTop, frameRight, ratioFrameBottom, 529, 185};
}

UserFrame coefficientEnlargedFrame() {
    return {frameLeft, frameTop, frameRight, frameBottom, 657, 681};
}

double coefficientY(double value) {
    return std::log(value) + kEnergyOffset;
}

double cursorY(double value) {
    return std::log(value) + kReadOutEnergyOffset;
}

bool cursorInside(double x, double y) {
    const auto pointerX = static_cast<float>(x);
    const auto pointerY = static_cast<float>(y);
    return pointerX > 0.0f && pointerX < cursorRight && pointerY > 0.0f && pointerY < cursorTop;
}

int cursorRow(const ReadingTable& table, double x, double y) {
    if (!cursorInside(x, y) || leftOfFirstRow(table, x)) {
        return 0;
    }
    return nearestRow(table, x);
}

} // namespace tarvo
