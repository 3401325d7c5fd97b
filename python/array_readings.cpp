#include "array_readings.h"

#include "common/table_reading.h"

#include <limits>
#include <vector>

namespace tarvo::python {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

void readColumns(const Material& material, const ReadingWay& way, const double* energies,
                 std::size_t count, std::span<const int> columns,
                 std::span<double* const> outputs) {
    std::vector<double> inMeV;
    if (way.unitsPerMeV != 1.0) {
        inMeV.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            inMeV[i] = energies[i] / way.unitsPerMeV;
        }
        energies = inMeV.data();
    }
    readMaterialBatch(material, way.method, way.side, {energies, count}, columns, outputs,
                      way.factor);
}

void attenuationOfLayers(const double* mu, const double* muEn, const double* thickness,
                         std::size_t count, double density, ThicknessUnit unit,
                         const AttenuationArrays& out) {
    for (std::size_t i = 0; i < count; ++i) {
        const double centimetres =
            thickness[i] >= 0 ? thicknessInCm(thickness[i], unit, density) : kNaN;
        const auto result = attenuationOf(mu[i], muEn[i], density, centimetres);
        const auto length = [&](double cm) {
            return result ? thicknessInUnit(cm, unit, density) : kNaN;
        };
        out.transmission[i] = result ? result->transmission : kNaN;
        out.attenuated[i] = result ? result->attenuated : kNaN;
        out.absorbed[i] = result ? result->energyAbsorbed : kNaN;
        out.halfValueLayer[i] = length(result ? result->halfValueLayer : 0);
        out.tenthValueLayer[i] = length(result ? result->tenthValueLayer : 0);
        out.meanFreePath[i] = length(result ? result->meanFreePath : 0);
    }
}

void thicknessesForTransmission(const double* mu, const double* transmission, std::size_t count,
                                double density, ThicknessUnit unit, double* thickness) {
    for (std::size_t i = 0; i < count; ++i) {
        const auto centimetres = thicknessForTransmission(mu[i], density, transmission[i]);
        thickness[i] = centimetres ? thicknessInUnit(*centimetres, unit, density) : kNaN;
    }
}

} // namespace tarvo::python
