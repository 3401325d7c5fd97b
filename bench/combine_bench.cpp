#include "coefview/combine_coefficient_tables.h"
#include "xsview/combine_element_tables.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// Fifteen elements of tissues, contrast media and shielding, equal shares.
const char* const kStems[] = {"01_H",  "06_C", "07_N",  "08_O",  "11_Na", "12_Mg", "15_P", "16_S",
                              "17_Cl", "19_K", "20_Ca", "26_Fe", "30_Zn", "53_I",  "82_Pb"};

std::vector<tarvo::CompositionRow> fifteenElements(const char* extension) {
    std::vector<tarvo::CompositionRow> rows;
    for (const char* stem : kStems) {
        const std::string file = std::string(stem) + extension;
        rows.push_back({file, 1.0, file, "1", true});
    }
    return rows;
}

const std::string kData = TARVO_SHIPPED_DATA;

void combineElementTables15(benchmark::State& state) {
    const auto rows = fifteenElements(".ele");
    std::string error;
    for (auto _ : state) {
        auto result = tarvo::combineElementTables(tarvo::DataDirectory(kData), rows,
                                                  tarvo::Weighting::byWeight,
                                                  tarvo::kMixtureEdgeFactor, error);
        if (!result) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(combineElementTables15)->Unit(benchmark::kMillisecond);

void combineCoefficientTables15(benchmark::State& state) {
    const auto rows = fifteenElements(".mut");
    std::string error;
    for (auto _ : state) {
        auto result = tarvo::combineCoefficientTables(tarvo::DataDirectory(kData), rows, error);
        if (!result) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(combineCoefficientTables15)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
