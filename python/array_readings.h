#pragma once

#include "coefview/attenuation.h"
#include "common/option_words.h"
#include "materials/material_source.h"

#include <cstddef>
#include <span>

namespace tarvo::python {

// How a run of readings is taken.
struct ReadingWay {
    ReadingMethod method = ReadingMethod::spline;
    EdgeSide side = EdgeSide::below; // below or above: a reading gives one value
    double unitsPerMeV = 1.0;        // 1000 for energies in keV
    double factor = 1.0;             // each value's factor (A / 0.60221367 for b/atom)
};

// Reads the columns `columns` of a material at `count` energies into `outputs` (one array
// of `count` values per column, cm2/g times the factor); NaN where an energy has no
// reading (outside the tables, not a number, not above 0).
void readColumns(const Material& material, const ReadingWay& way, const double* energies,
                 std::size_t count, std::span<const int> columns, std::span<double* const> outputs);

// The six results of narrow-beam attenuation, each an array of the readings' count.
struct AttenuationArrays {
    double* transmission;
    double* attenuated;
    double* absorbed;
    double* halfValueLayer;
    double* tenthValueLayer;
    double* meanFreePath;
};

// The attenuation of layers `thickness` (in `unit`) of a material of `density` g/cm3 with
// mu/rho and mu_en/rho (cm2/g) given element by element; the lengths come out in `unit`.
// NaN wherever a coefficient or a thickness cannot give one.
void attenuationOfLayers(const double* mu, const double* muEn, const double* thickness,
                         std::size_t count, double density, ThicknessUnit unit,
                         const AttenuationArrays& out);

// The thickness (in `unit`) that lets each fraction `transmission` through; NaN where a
// fraction or a coefficient (cm2/g) is out of range.
void thicknessesForTransmission(const double* mu, const double* transmission, std::size_t count,
                                double density, ThicknessUnit unit, double* thickness);

} // namespace tarvo::python
