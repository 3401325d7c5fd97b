#include "materials/material_source.h"

#include <benchmark/benchmark.h>
#include <xraylib.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <span>
#include <vector>

namespace {

// 10^6 energies spread on the log scale from 1 keV to 20 MeV, the same for both readers;
// or the float64 energies of the file TARVO_BENCH_ENERGIES names (the Python benchmark
// hands its own over, so both languages read the same energies).
std::vector<double> randomEnergies() {
    if (const char* file = std::getenv("TARVO_BENCH_ENERGIES")) {
        std::ifstream in(file, std::ios::binary);
        std::vector<double> given;
        for (double energy = 0; in.read(reinterpret_cast<char*>(&energy), sizeof energy);) {
            given.push_back(energy);
        }
        return given;
    }
    std::mt19937 generator(20261208);
    std::uniform_real_distribution<double> exponent(std::log(0.001), std::log(20.0));
    std::vector<double> energies(1'000'000);
    for (double& energy : energies) {
        energy = std::exp(exponent(generator));
    }
    return energies;
}

// Water's three coefficients through the call the command-line tool makes for each energy,
// by either method: 0 the log-log line, 1 the spline.
void tarvoReading(benchmark::State& state) {
    tarvo::RequestError error;
    const auto water =
        tarvo::loadMaterial(tarvo::DataDirectory(TARVO_SHIPPED_DATA), {"Water", "", ""},
                            tarvo::TableKind::coefficients, error);
    if (!water) {
        state.SkipWithError(error.message.c_str());
        return;
    }
    const auto method =
        state.range(0) == 0 ? tarvo::ReadingMethod::loglog : tarvo::ReadingMethod::spline;
    const std::vector<double> energies = randomEnergies();
    for (auto _ : state) {
        double sum = 0.0;
        for (const double energy : energies) {
            sum += tarvo::readMaterial(*water, energy, method).values[0];
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(energies.size()));
}
BENCHMARK(tarvoReading)->Arg(0)->Arg(1)->ArgName("spline")->Unit(benchmark::kMillisecond);

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

// 10^6 energies from 1 keV to 0.79 MeV (xraylib's range), in random or ascending order.
std::vector<double> peerEnergies(bool sorted) {
    std::mt19937 generator(20261210);
    std::uniform_real_distribution<double> exponent(std::log(0.001), std::log(0.79));
    std::vector<double> energies(1'000'000);
    for (double& energy : energies) {
        energy = std::exp(exponent(generator));
    }
    if (sorted) {
        std::sort(energies.begin(), energies.end());
    }
    return energies;
}

// The batch reading of the C++ API: iron (an element) or whole blood (a material of its own
// table, of 10 elements), one column (mu/rho) or all three, random or ascending energies.
void batchReading(benchmark::State& state) {
    const char* names[] = {"Fe", "Blood_Whole"};
    tarvo::RequestError error;
    const auto material = tarvo::sharedMaterial(tarvo::DataDirectory(TARVO_SHIPPED_DATA),
                                                {names[state.range(0)], "", ""},
                                                tarvo::TableKind::coefficients, error);
    if (!material) {
        state.SkipWithError(error.message.c_str());
        return;
    }
    const std::vector<double> energies = peerEnergies(state.range(2) != 0);
    const std::size_t columns = static_cast<std::size_t>(state.range(1));
    std::vector<std::vector<double>> values(columns, std::vector<double>(energies.size()));
    std::vector<double*> outputs;
    for (auto& column : values) {
        outputs.push_back(column.data());
    }
    const int all[] = {0, 1, 2};
    for (auto _ : state) {
        tarvo::readMaterialBatch(*material, tarvo::ReadingMethod::spline, tarvo::EdgeSide::below,
                                 energies, std::span(all, columns), outputs);
        benchmark::DoNotOptimize(outputs.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(energies.size()));
}
BENCHMARK(batchReading)
    ->ArgsProduct({{0, 1}, {1, 3}, {0, 1}})
    ->ArgNames({"blood", "columns", "sorted"})
    ->Unit(benchmark::kMillisecond);

// The peer on the same energies: xraylib's CS_Total(26, E in keV) for iron.
void xraylibIron(benchmark::State& state) {
    const std::vector<double> energies = peerEnergies(false);
    std::vector<double> values(energies.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < energies.size(); ++i) {
            values[i] = CS_Total(26, energies[i] * 1000.0, nullptr);
        }
        benchmark::DoNotOptimize(values.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(energies.size()));
}
BENCHMARK(xraylibIron)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
