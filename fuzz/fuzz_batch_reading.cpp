#include "materials/material_source.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

namespace {

// Lead (edges) and water, both kinds of table, read from the shipped data once.
const std::vector<std::shared_ptr<const tarvo::Material>>& materials() {
    static const auto loaded = [] {
        std::vector<std::shared_ptr<const tarvo::Material>> all;
        const tarvo::DataDirectory data(TARVO_SHIPPED_DATA);
        for (const char* name : {"Pb", "Water"}) {
            for (const auto kind :
                 {tarvo::TableKind::coefficients, tarvo::TableKind::crossSections}) {
                tarvo::RequestError error;
                all.push_back(tarvo::sharedMaterial(data, {name, "", ""}, kind, error));
            }
        }
        return all;
    }();
    return loaded;
}

// A column read alone, and an energy read alone, give the value they gave in company, to
// the bit.
void sameAloneAndInOthersCompany(const tarvo::Material& material, tarvo::ReadingMethod method,
                                 tarvo::EdgeSide side, const std::vector<double>& energies,
                                 const std::vector<std::vector<double>>& together) {
    std::vector<double> alone(energies.size());
    double* output = alone.data();
    const int column = 0;
    tarvo::readMaterialBatch(material, method, side, energies, std::span(&column, 1),
                             std::span(&output, 1));
    for (std::size_t i = 0; i < energies.size(); ++i) {
        double single = 0.0;
        double* singleOutput = &single;
        tarvo::readMaterialBatch(material, method, side, std::span(&energies[i], 1),
                                 std::span(&column, 1), std::span(&singleOutput, 1));
        const double value = together[0][i];
        for (const double other : {alone[i], single}) {
            if (std::memcmp(&other, &value, sizeof value) != 0 &&
                !(std::isnan(other) && std::isnan(value))) {
                std::abort();
            }
        }
    }
}

} // namespace

// Any bytes as energies (doubles, NaN and infinities among them): the batch readings of
// every column, by both methods and both sides, are the one-at-a-time readings within
// 1e-12, and NaN exactly where those give none; and the same alone as in company.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<double> energies(size / sizeof(double));
    if (!energies.empty()) {
        std::memcpy(energies.data(), data, energies.size() * sizeof(double));
    }
    for (const auto& material : materials()) {
        const int columns = material->readings.columnCount;
        std::vector<std::vector<double>> values(static_cast<size_t>(columns),
                                                std::vector<double>(energies.size()));
        std::vector<double*> outputs;
        std::vector<int> indices;
        for (int k = 0; k < columns; ++k) {
            outputs.push_back(values[static_cast<size_t>(k)].data());
            indices.push_back(k);
        }
        for (const auto method : {tarvo::ReadingMethod::loglog, tarvo::ReadingMethod::spline}) {
            for (const auto side : {tarvo::EdgeSide::below, tarvo::EdgeSide::above}) {
                tarvo::readMaterialBatch(*material, method, side, energies, indices, outputs);
                sameAloneAndInOthersCompany(*material, method, side, energies, values);
                for (size_t i = 0; i < energies.size(); ++i) {
                    const tarvo::Reading one = tarvo::readMaterial(*material, energies[i], method);
                    const int upper =
                        one.result == tarvo::ReadingResult::found && side == tarvo::EdgeSide::above
                            ? tarvo::upperEdgeRow(material->readings, energies[i])
                            : 0;
                    const auto expected =
                        upper != 0 ? tarvo::valuesAboveEdge(*material, upper, method) : one.values;
                    for (int k = 0; k < columns; ++k) {
                        const double got = values[static_cast<size_t>(k)][i];
                        const double want = expected[static_cast<size_t>(k)];
                        const bool none = one.result != tarvo::ReadingResult::found;
                        if (none ? !std::isnan(got)
                                 : !(std::abs(got - want) <= 1e-12 * std::abs(want))) {
                            std::abort();
                        }
                    }
                }
            }
        }
    }
    return 0;
}
