#include "common/text_file.h"
#include "splinetool/grid_interpolation.h"
#include "splinetool/spline_tool.h"

#include <benchmark/benchmark.h>

namespace {

// The default job of the equal-interval dialog: 1 to 500 keV in 0.5 keV steps, all three
// columns, on the uranium table (66 rows, edges from 1.04 to 116 keV).
void defaultJobOnUranium(benchmark::State& state) {
    std::string error;
    const auto text = tarvo::readTextFile(TARVO_SHIPPED_DATA "/mu_ele/92_U.mut", error);
    auto table = text ? tarvo::spline::readSplineTable(*text, error) : std::nullopt;
    const auto segments = table ? tarvo::spline::splitSegments(*table, error) : std::nullopt;
    if (!segments) {
        state.SkipWithError(error.c_str());
        return;
    }
    const int points = tarvo::spline::gridSize(500.0, 0.5);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tarvo::spline::interpolateGrid(*table, *segments, 0.5, points, error));
    }
    state.counters["rows"] = table->rowCount;
}
BENCHMARK(defaultJobOnUranium)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
