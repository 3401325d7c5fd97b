#include "coefview/coefficient_table.h"
#include "common/text_file.h"
#include "xsview/cross_section_table.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <vector>

namespace {

std::vector<tarvo::CrossSectionRow> crossSectionRows() {
    std::vector<tarvo::CrossSectionRow> rows(tarvo::kMaxCrossSectionRows);
    for (size_t i = 0; i < rows.size(); ++i) {
        const double energy = 0.001 * std::pow(1.1, static_cast<double>(i));
        rows[i] = {energy, 1.0 / energy, 0.2, 4.0 / (energy * energy * energy), 0.01, 0.001};
    }
    return rows;
}

std::vector<tarvo::CoefficientRow> coefficientRows() {
    std::vector<tarvo::CoefficientRow> rows(tarvo::kMaxCoefficientRows);
    for (size_t i = 0; i < rows.size(); ++i) {
        const double energy = 0.001 * std::pow(1.07, static_cast<double>(i));
        rows[i] = {energy, 4.0 / energy, 3.9 / energy, 3.8 / energy};
    }
    return rows;
}

// Runs in a scratch directory below the system's temporary directory.
struct ScratchDirectory {
    ScratchDirectory() {
        path = std::filesystem::temp_directory_path() / "tarvo-bench";
        std::filesystem::create_directories(path / "mix");
        std::filesystem::create_directories(path / "mu_mix");
        std::filesystem::current_path(path);
    }
    std::filesystem::path path;
};

void loadCrossSectionTable150(benchmark::State& state) {
    ScratchDirectory scratch;
    std::string error;
    tarvo::writeMaterialTable("mix\\bench.mix", "Bench", 1.0, crossSectionRows(), error);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarvo::loadCrossSectionTable("mix\\bench.mix", error));
    }
}
BENCHMARK(loadCrossSectionTable150)->Unit(benchmark::kMicrosecond);

void loadCoefficientTable150(benchmark::State& state) {
    ScratchDirectory scratch;
    std::string error;
    const std::vector<tarvo::CompositionEntry> composition{{1, 0.1119}, {8, 0.8881}};
    tarvo::writeMaterialCoefficientTable("mu_mix\\bench.muc3", "Bench", 1.0, coefficientRows(),
                                         composition, error);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarvo::loadCoefficientTable("mu_mix\\bench.muc3", true, error));
    }
}
BENCHMARK(loadCoefficientTable150)->Unit(benchmark::kMicrosecond);

void writeCrossSectionTable150(benchmark::State& state) {
    ScratchDirectory scratch;
    const std::vector<tarvo::CrossSectionRow> rows = crossSectionRows();
    std::string error;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            tarvo::writeMaterialTable("mix\\out.mix", "Out", 1.0, rows, error));
    }
}
BENCHMARK(writeCrossSectionTable150)->Unit(benchmark::kMicrosecond);

void writeCoefficientTable150(benchmark::State& state) {
    ScratchDirectory scratch;
    const std::vector<tarvo::CoefficientRow> rows = coefficientRows();
    const std::vector<tarvo::CompositionEntry> composition{{1, 0.1119}, {8, 0.8881}};
    std::string error;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tarvo::writeMaterialCoefficientTable(
            "mu_mix\\out.muc3", "Out", 1.0, rows, composition, error));
    }
}
BENCHMARK(writeCoefficientTable150)->Unit(benchmark::kMicrosecond);

// The text of a table without the file system: what the writers compute.
void formatCrossSectionRows150(benchmark::State& state) {
    const std::vector<tarvo::CrossSectionRow> rows = crossSectionRows();
    for (auto _ : state) {
        for (const tarvo::CrossSectionRow& row : rows) {
            benchmark::DoNotOptimize(tarvo::formatCrossSectionRow(row));
        }
    }
}
BENCHMARK(formatCrossSectionRows150)->Unit(benchmark::kMicrosecond);

void formatCoefficientRows150(benchmark::State& state) {
    const std::vector<tarvo::CoefficientRow> rows = coefficientRows();
    for (auto _ : state) {
        for (const tarvo::CoefficientRow& row : rows) {
            benchmark::DoNotOptimize(tarvo::formatCoefficientRow(row));
        }
    }
}
BENCHMARK(formatCoefficientRows150)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
