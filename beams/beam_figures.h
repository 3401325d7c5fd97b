#pragma once

#include "beams/beam_study.h"

#include <array>
#include <string>
#include <vector>

namespace tarvo {

// A plot axis: the span of values it shows, on a linear or a logarithmic scale.
struct PlotAxis {
    double low = 0.0;
    double high = 1.0;
    bool logarithmic = false;
};

// Where a value lies along an axis: 0 at its low end, 1 at its high end.
double axisPosition(const PlotAxis& axis, double value);
// The value at a position along an axis (0 at its low end, 1 at its high end).
double axisValue(const PlotAxis& axis, double position);

// A labelled mark along an axis.
struct AxisTick {
    double position = 0.0; // 0 to 1
    std::string label;
};

// Round-numbered marks, 1, 2 or 5 times a power of ten apart (each decade on a logarithmic
// axis), at most about eight of them.
std::vector<AxisTick> axisTicks(const PlotAxis& axis);

// The spectrum plot's axes: keV from 0 to a round number at or above the highest bin; photons
// per keV from 0 (linear)
// or from four decades below the largest count (logarithmic) to above it.
PlotAxis spectrumEnergyAxis(const BeamStudy& study);
PlotAxis spectrumCountAxis(const BeamStudy& study, bool logarithmic);

// The chosen material's layers as the window shows them: in mm where its density is known,
// else as mass thickness.
struct LayerLength {
    double perMassThickness = 1.0; // the shown unit per g/cm2
    std::string unit;              // "mm" or "g/cm2"
};
LayerLength layerLength(const LayerQuality& layer);

// The transmission plot's thickness axis, in the chosen material's shown unit, from 0 to its
// tenth-value layer.
PlotAxis transmissionThicknessAxis(const BeamStudy& study);

// The text of a figure as the window prints it: four significant digits and its unit.
std::string figureText(double value, const std::string& unit);

// One row of the quality table: what it is, and its text in aluminium, copper and the chosen
// material.
struct QualityRow {
    std::string quantity; // "HVL1", as the tool names its rows before " in Al"
    std::array<std::string, 3> texts;
};

// The quality table's rows: HVL1, HVL2, QVL, TVL, homogeneity coefficient, effective energy
// (several joined by ", ", one at an absorption edge marked " (at an edge)").
std::vector<QualityRow> qualityRows(const BeamStudy& study);

// The beam's own figures: mean energy, kerma-weighted mean energy and air kerma per mAs at
// 1 m, as the tool names them, with their texts ("not calibrated" where the source is not).
std::vector<std::array<std::string, 2>> beamFigures(const BeamStudy& study);

// What the pointer reads over the spectrum plot at `energyKeV`: the nearest bin's energy and
// its photons per keV before and after the filters; empty outside the bins.
std::string spectrumReadOut(const BeamStudy& study, double energyKeV);

// What the pointer reads over the transmission plot at a thickness in the shown unit: the
// thickness and the transmission there; empty outside the curve.
std::string transmissionReadOut(const BeamStudy& study, double thickness);

// The transmission K(t)/K(0) at a thickness in the shown unit, read along the curve.
double transmissionAt(const BeamStudy& study, double thickness);

// What a setting's beam is, in a line: "W tube at 80 kV, 0 % ripple, after Al 2.5 mm".
std::string beamDescription(const BeamSetting& setting);

// Writes the beam after its filters as CSV in keV, as `tarvo spectrum FILE` reads it, through
// the atomic write; false, with `error`, when it cannot.
bool writeFilteredSpectrum(const std::string& path, const BeamStudy& study,
                           const BeamSetting& setting, std::string& error);

} // namespace tarvo
