#include "cross_section_plot.h"

#include "common/graph_surface.h"

#include <array>
#include <cmath>

namespace tarvo::xsview {
namespace {

using namespace crossSectionFrame;

struct SeriesStyle {
    CrossSectionColumn column;
    int colour;
};

// Drawing order and colours of the six cross-section curves.
constexpr std::array<SeriesStyle, 6> kCrossSectionSeries{{
    {CrossSectionColumn::coherent, 13},
    {CrossSectionColumn::incoherent, 14},
    {CrossSectionColumn::photoelectric, 12},
    {CrossSectionColumn::pairNuclear, 11},
    {CrossSectionColumn::pairElectron, 10},
    {CrossSectionColumn::total, 15},
}};

constexpr std::array<SeriesStyle, 5> kFractionSeries{{
    {CrossSectionColumn::fracCoherent, 13},
    {CrossSectionColumn::fracIncoherent, 14},
    {CrossSectionColumn::fracPhotoelectric, 12},
    {CrossSectionColumn::fracPairNuclear, 11},
    {CrossSectionColumn::fracPairElectron, 10},
}};

constexpr std::array<double, 6> kLegendY{12.8, 13.8, 14.8, 15.8, 16.8, 17.8};

struct StyleValues {
    double legendX;
    double legendTextSize;
    double largeLabelSize;
    double unitX;
};

StyleValues valuesOf(FrameStyle style) {
    return style == FrameStyle::graphWindow ? StyleValues{4.8, 12.5, 14.0, -1.4}
                                            : StyleValues{5.5, 16.0, 16.0, -1.2};
}

double plottedY(const CrossSectionRow& row, CrossSectionColumn column, bool fraction) {
    const double value = columnValue(row, column);
    if (fraction) {
        return 10.0 * value;
    }
    return crossSectionY(isPairColumn(column) && value < 1e-5 ? 1e-5 : value);
}

} // namespace

void drawGrid(GraphSurface& surface) {
    for (int i = 0; i <= 7; ++i) {
        for (int j = 1; j <= 10; ++j) {
            const double y = i * kLn10 + std::log(j);
            surface.line(0, y, plotRight, y, kGridColor);
        }
    }
    for (int i = 0; i <= 4; ++i) {
        for (int j = 1; j <= 10; ++j) {
            const double x = i * kLn10 + std::log(j);
            surface.line(x, 0, x, plotTop, kGridColor);
        }
    }
}

void drawMaskingBandsAndBorder(GraphSurface& surface) {
    surface.filledBox(0, plotTop, frameRight, frameTop, paletteColor(1));
    surface.filledBox(0, 0, frameRight, frameBottom, paletteColor(1));
    surface.box(0, 0, plotRight, plotTop, paletteColor(15));
}

void drawLegendBoxesAndLines(GraphSurface& surface) {
    surface.filledBox(4.5, 11.8, 11.2, 18.2, paletteColor(1));
    surface.setPenWidth(2);
    for (size_t k = 0; k < kCrossSectionSeries.size(); ++k) {
        surface.line(4.7, kLegendY[k], 8.2, kLegendY[k],
                     paletteColor(kCrossSectionSeries[k].colour));
    }
    surface.box(4.5, 11.8, 11.2, 18.1, paletteColor(15));
}

void drawLegendTexts(GraphSurface& surface, FrameStyle style) {
    static const char* const texts[] = {"Coherent scattering",
                                        "Incoherent scattering",
                                        "Photo-electric absorption",
                                        "Pair production in nuclear field",
                                        "Pair production in electron field",
                                        "Total mass attenuation coefficient"};
    const StyleValues values = valuesOf(style);
    const double size = surface.fontSize();
    surface.setFontSize(values.legendTextSize);
    for (size_t k = 0; k < kLegendY.size(); ++k) {
        surface.setCurrentPoint(values.legendX, kLegendY[k]);
        surface.print(QString::fromLatin1(texts[k]));
    }
    surface.setFontSize(size);
}

void drawEnergyAxisLabels(GraphSurface& surface, FrameStyle style) {
    const StyleValues values = valuesOf(style);
    const double size = surface.fontSize();
    surface.setFontSize(values.largeLabelSize);
    const double xs[] = {-0.4, 1.9, 4.2, 6.5, 8.8, 11.1};
    for (int k = 0; k < 6; ++k) {
        surface.setCurrentPoint(xs[k], -0.1);
        surface.printPowerOfTen(QString::number(k - 3));
    }
    surface.setCurrentPoint(6, -0.8);
    surface.print(QStringLiteral("Photon energy,    MeV"));
    surface.setFontSize(size);
}

void drawAxisLabels(GraphSurface& surface, FrameStyle style) {
    drawEnergyAxisLabels(surface, style);
    const StyleValues values = valuesOf(style);
    const double size = surface.fontSize();
    surface.setFontSize(values.largeLabelSize);
    const double ys[] = {0.4, 2.6, 4.9, 7.2, 9.5, 11.8, 14.1, 16.4, 18.7};
    for (int k = 0; k < 9; ++k) {
        surface.setCurrentPoint(-0.8, ys[k]);
        surface.printPowerOfTen(QString::number(k - 4));
    }
    surface.setCurrentPoint(values.unitX, 17.4);
    surface.print(QStringLiteral("cm"));
    surface.setFontSize(8);
    surface.setCurrentPoint(surface.currentX(), 17.4);
    surface.print(QStringLiteral("2"));
    surface.setFontSize(values.largeLabelSize);
    surface.setCurrentPoint(surface.currentX(), 17.4);
    surface.print(QStringLiteral("/g"));
    surface.setFontSize(size);
}

void drawSeries(GraphSurface& surface, const CrossSectionTable& table, CrossSectionColumn column,
                int colour, bool fraction) {
    if (table.rowCount < 1) {
        return;
    }
    const double firstY =
        (!fraction && isPairColumn(column)) ? -0.5 : plottedY(table.rows[1], column, fraction);
    surface.point(0, firstY);
    for (int i = 2; i <= table.rowCount && table.rows[static_cast<size_t>(i)].energy <= 100.0;
         ++i) {
        const CrossSectionRow& row = table.rows[static_cast<size_t>(i)];
        surface.lineTo(energyX(row.energy), plottedY(row, column, fraction), paletteColor(colour));
    }
}

void markSeriesPoints(GraphSurface& surface, const CrossSectionTable& table,
                      CrossSectionColumn column, int colour) {
    for (int i = 1; i <= table.rowCount && table.rows[static_cast<size_t>(i)].energy <= 100.0;
         ++i) {
        const CrossSectionRow& row = table.rows[static_cast<size_t>(i)];
        surface.circle(energyX(row.energy), plottedY(row, column, false), 0.03,
                       paletteColor(colour));
    }
}

void drawCrossSectionPlot(GraphSurface& surface, const CrossSectionTable& table) {
    surface.clear();
    surface.setPenWidth(1);
    drawGrid(surface);
    surface.setPenWidth(2);
    for (const SeriesStyle& series : kCrossSectionSeries) {
        drawSeries(surface, table, series.column, series.colour);
    }
    drawMaskingBandsAndBorder(surface);
    drawLegendBoxesAndLines(surface);
    drawLegendTexts(surface, FrameStyle::graphWindow);
    drawAxisLabels(surface, FrameStyle::graphWindow);
}

void drawFractionFrame(GraphSurface& surface, const CrossSectionTable& table) {
    surface.clear();
    surface.setPenWidth(1);
    for (int i = 0; i <= 4; ++i) {
        for (int j = 1; j <= 10; ++j) {
            const double x = i * kLn10 + std::log(j);
            surface.line(x, 0, x, fractionTop, kGridColor);
        }
    }
    for (int k = 1; k <= 9; ++k) {
        surface.line(0, k, plotRight, k, kGridColor);
    }
    surface.setPenWidth(2);
    for (const SeriesStyle& series : kFractionSeries) {
        drawSeries(surface, table, series.column, series.colour, true);
    }
    surface.box(0, 0, plotRight, fractionTop, paletteColor(15));
    const struct {
        const char* text;
        double x, y;
    } texts[] = {{"Relative", -1.4, 8.5},
                 {"Fraction", -1.4, 7.5},
                 {"1.0", -0.7, 10.5},
                 {"0.5", -0.7, 5.5},
                 {"0.0", -0.7, 0.5}};
    for (const auto& t : texts) {
        surface.setCurrentPoint(t.x, t.y);
        surface.print(QString::fromLatin1(t.text));
    }
}

void drawEnlargedViewFrame(GraphSurface& surface) {
    surface.clear();
    surface.setInsideBorders(false);
    surface.setPenWidth(1);
    drawGrid(surface);
    drawMaskingBandsAndBorder(surface);
    surface.setPenWidth(2);
    drawLegendBoxesAndLines(surface);
    surface.setPenWidth(1);
    drawLegendTexts(surface, FrameStyle::enlargedView);
    drawAxisLabels(surface, FrameStyle::enlargedView);
}

// The curves are kept between the bands, so the bands and the axis labels of the frame
// are drawn once: drawn again, their smoothed text would darken with every addition.
void addCurvesToEnlargedView(GraphSurface& surface, const CrossSectionTable& table, bool markers) {
    surface.setInsideBorders(true);
    surface.setPenWidth(2);
    surface.clipTo(0, 0, frameRight, plotTop);
    for (const SeriesStyle& series : kCrossSectionSeries) {
        drawSeries(surface, table, series.column, series.colour);
        if (markers) {
            markSeriesPoints(surface, table, series.column,
                             series.column == CrossSectionColumn::total ? 0 : 15);
        }
    }
    surface.unclip();
    surface.box(0, 0, plotRight, plotTop, paletteColor(15));
}

} // namespace tarvo::xsview
