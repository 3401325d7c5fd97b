#include "coefficient_plot.h"

#include "common/graph_surface.h"

#include <array>
#include <cmath>

namespace tarvo::coefview {
namespace {

using namespace coefficientFrame;

const QColor kAttenuationColour{255, 255, 0};
const QColor kTransferColour{0, 255, 0};
const QColor kAbsorptionColour{255, 0, 0};

struct Curve {
    double CoefficientRow::*member;
    QColor colour;
};

// Drawing order of the curves.
std::array<Curve, 3> curves() {
    return {{{&CoefficientRow::energyTransfer, kTransferColour},
             {&CoefficientRow::energyAbsorption, kAbsorptionColour},
             {&CoefficientRow::attenuation, kAttenuationColour}}};
}

// Right side of the legend's box.
constexpr double kLegendRight = 11.0;

// Text sizes of the frame: legend, "10", exponent, axis title, "cm"/"/g".
struct FrameSizes {
    double legend;
    double ten;
    double exponent;
};

void drawGrid(GraphSurface& surface) {
    surface.setPenWidth(1);
    for (int i = 0; i <= 6; ++i) {
        for (int j = 1; j <= 10; ++j) {
            const double y = std::log(j) + i * kLn10;
            surface.line(0, y, plotRight, y, kGridColor);
        }
    }
    for (int i = 0; i <= 4; ++i) {
        for (int j = 1; j <= 10; ++j) {
            const double x = std::log(j) + i * kLn10;
            surface.line(x, 0, x, plotTop, kGridColor);
        }
    }
    surface.setPenWidth(2);
}

void drawCurve(GraphSurface& surface, const CoefficientTable& table, const Curve& curve) {
    if (table.energyCount < 1) {
        return;
    }
    surface.point(0, coefficientY(table.rows[1].*curve.member));
    for (int i = 2; i <= table.energyCount; ++i) {
        const CoefficientRow& row = table.rows[static_cast<size_t>(i)];
        surface.lineTo(energyX(row.energy), coefficientY(row.*curve.member), curve.colour);
    }
}

void drawLegendAndLabels(GraphSurface& surface, const FrameSizes& sizes) {
    surface.filledBox(3.8, 11, kLegendRight, 14.2, paletteColor(1));
    surface.line(4, 13.9, 8, 13.9, kAttenuationColour);
    surface.line(4, 12.9, 8, 12.9, kTransferColour);
    surface.line(4, 11.9, 8, 11.9, kAbsorptionColour);
    surface.box(3.8, 11, kLegendRight, 14.2, paletteColor(15));
    surface.box(0, 0, plotRight, plotTop, paletteColor(15));
    const double ownSize = surface.fontSize();
    const struct {
        const char* text;
        double y;
    } legend[] = {{"Mass attenuation coefficient", 13.8},
                  {"Mass energy-transfer coefficient", 12.8},
                  {"Mass energy-absorption coefficient", 11.8}};
    // The size shrinks where the longest text would not fit the box with a margin.
    surface.setFontSize(sizes.legend);
    const QString longest = QString::fromLatin1(legend[2].text);
    while (surface.fontSize() > 6 && 4 + surface.textWidth(longest) > kLegendRight - 0.2) {
        surface.setFontSize(surface.fontSize() - 0.5);
    }
    for (const auto& entry : legend) {
        surface.setCurrentPoint(4, entry.y);
        surface.print(QString::fromLatin1(entry.text));
    }
    surface.setFontSize(sizes.ten);
    const double xs[] = {-0.4, 1.9, 4.2, 6.5, 8.8, 11.1};
    for (int k = 0; k < 6; ++k) {
        surface.setCurrentPoint(xs[k], -0.1);
        surface.printPowerOfTen(QString::number(k - 3), sizes.exponent);
    }
    surface.setCurrentPoint(6, -0.8);
    surface.print(QStringLiteral("Photon energy,    MeV"));
    const double ys[] = {0.4, 2.6, 4.9, 7.2, 9.5, 11.8, 14.1, 16.4};
    for (int k = 0; k < 8; ++k) {
        surface.setCurrentPoint(-0.8, ys[k]);
        surface.printPowerOfTen(QString::number(k - 3), sizes.exponent);
    }
    surface.setCurrentPoint(-1.2, 15.1);
    surface.print(QStringLiteral("cm"));
    surface.setFontSize(8);
    surface.setCurrentPoint(surface.currentX(), 15.1);
    surface.print(QStringLiteral("2"));
    surface.setFontSize(sizes.ten);
    surface.setCurrentPoint(surface.currentX(), 15.1);
    surface.print(QStringLiteral("/g"));
    surface.setFontSize(ownSize);
}

} // namespace

void drawCoefficientPlot(GraphSurface& surface, const CoefficientTable& table) {
    surface.clear();
    drawGrid(surface);
    for (const Curve& curve : curves()) {
        drawCurve(surface, table, curve);
    }
    drawLegendAndLabels(surface, {14, 14, 8});
}

void drawRatioPlot(GraphSurface& surface, const CoefficientTable& table) {
    surface.clear();
    surface.setPenWidth(1);
    for (int i = 0; i <= 4; ++i) {
        for (int j = 1; j <= 10; ++j) {
            const double x = std::log(j) + i * kLn10;
            surface.line(x, 0, x, ratioTop, kGridColor);
        }
    }
    for (int i = 0; i <= 10; ++i) {
        surface.line(0, 0.1 * i, plotRight, 0.1 * i, kGridColor);
    }
    surface.setPenWidth(2);
    surface.point(0, 0.9);
    for (int i = 2; i <= table.energyCount; ++i) {
        const CoefficientRow& row = table.rows[static_cast<size_t>(i)];
        surface.lineTo(energyX(row.energy), row.energyAbsorption / row.energyTransfer - 0.1,
                       kAttenuationColour);
    }
    surface.box(0, 0, plotRight, ratioTop, paletteColor(15));
    const struct {
        const char* text;
        double y;
    } labels[] = {{"1.0", 0.92}, {"0.5", 0.44}, {"0.1", 0.08}};
    for (const auto& label : labels) {
        surface.setCurrentPoint(-0.7, label.y);
        surface.print(QString::fromLatin1(label.text));
    }
}

void drawCoefficientEnlargedFrame(GraphSurface& surface) {
    surface.clear();
    drawGrid(surface);
    drawLegendAndLabels(surface, {18, 18, 10});
}

void addCoefficientCurves(GraphSurface& surface, const CoefficientTable& table, bool gaps) {
    surface.setPenWidth(2);
    for (const Curve& curve : curves()) {
        drawCurve(surface, table, curve);
        for (int i = 2; gaps && i <= table.energyCount; ++i) {
            const CoefficientRow& row = table.rows[static_cast<size_t>(i)];
            surface.circle(energyX(row.energy), coefficientY(row.*curve.member), 0.03,
                           paletteColor(1));
        }
    }
}

} // namespace tarvo::coefview
