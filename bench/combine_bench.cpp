#include "coefview/combine_coefficient_tables.h"
#include "xsview/combine_element_tables.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// Fifteen elements of tissues, contrast media and shielding, equal shares.
const int kElements[] = {1, 6, 7, 8, 11, 12, 15, 16, 17, 19, 20, 26, 30, 53, 82};

tarvo::Recipe fifteenElements() {
    tarvo::Recipe recipe{tarvo::Weighting::byWeight, {}};
    for (const int z : kElements) {
        recipe.items.push_back({z, 1.0});
    }
    return recipe;
}

const std::string kData = TARVO_SHIPPED_DATA;

void combineElementTables15(benchmark::State& state) {
    const auto rows = fifteenElements();
    std::string error;
    for (auto _ : state) {
        auto result = tarvo::combineElementTables(tarvo::DataDirectory(kData), rows,
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
    const auto rows = fifteenElements();
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
