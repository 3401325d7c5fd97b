#include "common/material_source.h"

#include <benchmark/benchmark.h>
#include <xraylib.h>

#include <filesystem>
#include <random>
#include <vector>

namespace {

// 10^6 energies spread on the log scale from 1 keV to 20 MeV, the same for both readers.
std::vector<double> randomEnergies() {
    std::mt19937 generator(20261208);
    std::uniform_real_distribution<double> exponent(std::log(0.001), std::log(20.0));
    std::vector<double> energies(1'000'000);
    for (double& energy : energies) {
        energy = std::exp(exponent(generator));
    }
    return energies;
}

// Water's coefficients through the call the command-line tool makes for each energy: all
// three (as "tarvo mu" reads them) or mu/rho alone (as xraylib's call below gives it).
void tarvoReading(benchmark::State& state) {
    std::string error;
    auto water = tarvo::loadMaterial(tarvo::DataDirectory(TARVO_SHIPPED_DATA), {"Water", "", ""},
                                     tarvo::Quantities::coefficients, error);
    if (!water) {
        state.SkipWithError(error.c_str());
        return;
    }
    water->readings.columnCount = static_cast<int>(state.range(0));
    const std::vector<double> energies = randomEnergies();
    for (auto _ : state) {
        double sum = 0.0;
        for (const double energy : energies) {
            sum += tarvo::readAtEnergy(water->readings, energy, 0.001, 20.0).values[0];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(energies.size()));
}
BENCHMARK(tarvoReading)->Arg(3)->Arg(1)->ArgName("coefficients")->Unit(benchmark::kMillisecond);

// The same readings from xraylib: CS_Total_CP("H2O", E in keV).
void xraylibReading(benchmark::State& state) {
    const std::vector<double> energies = randomEnergies();
    for (auto _ : state) {
        double sum = 0.0;
        for (const double energy : energies) {
            sum += CS_Total_CP("H2O", energy * 1000.0, nullptr);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(energies.size()));
}
BENCHMARK(xraylibReading)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
