// Throughput of the SIMD candidates for the batch readings: exp(a + b ln x) over 10^6
// energies, each against the scalar libm loop, with their largest difference from it.
#include "bench/simd_candidates.h"

#include <benchmark/benchmark.h>
#include <sleef.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

void logExpScalar(const double* x, double* out, std::size_t n, double a, double b) {
    for (std::size_t i = 0; i < n; ++i) {
        out[i] = std::exp(a + b * std::log(x[i]));
    }
}

// SLEEF's own dispatcher picks AVX2 or SSE for the 4-wide functions (1.0 ULP).
void logExpSleef(const double* x, double* out, std::size_t n, double a, double b) {
    std::size_t i = 0;
    const __m256d va = _mm256_set1_pd(a);
    const __m256d vb = _mm256_set1_pd(b);
    for (; i + 4 <= n; i += 4) {
        const __m256d lnx = Sleef_logd4_u10(_mm256_loadu_pd(x + i));
        _mm256_storeu_pd(out + i, Sleef_expd4_u10(_mm256_add_pd(va, _mm256_mul_pd(vb, lnx))));
    }
    for (; i < n; ++i) {
        out[i] = std::exp(a + b * std::log(x[i]));
    }
}

namespace {

constexpr std::size_t kCount = 1000000;

const std::vector<double>& energies() {
    static const std::vector<double> values = [] {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> exponent(std::log(1e-3), std::log(0.79));
        std::vector<double> e(kCount);
        for (double& v : e) {
            v = std::exp(exponent(random));
        }
        return e;
    }();
    return values;
}

template <void (*Candidate)(const double*, double*, std::size_t, double, double)>
void logExp(benchmark::State& state) {
    const std::vector<double>& x = energies();
    std::vector<double> out(x.size());
    std::vector<double> scalar(x.size());
    logExpScalar(x.data(), scalar.data(), x.size(), -3.1, -2.7);
    for (auto _ : state) {
        Candidate(x.data(), out.data(), x.size(), -3.1, -2.7);
        benchmark::DoNotOptimize(out.data());
    }
    double largest = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        largest = std::max(largest, std::abs(out[i] / scalar[i] - 1));
    }
    state.counters["ns_per_value"] =
        benchmark::Counter(static_cast<double>(x.size()) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["largest_relative_difference"] = largest;
}
BENCHMARK(logExp<logExpScalar>)->Name("scalar_libm")->Unit(benchmark::kMillisecond);
BENCHMARK(logExp<logExpSleef>)->Name("sleef_u10_avx2")->Unit(benchmark::kMillisecond);
BENCHMARK(logExp<logExpXsimd>)->Name("xsimd_avx2")->Unit(benchmark::kMillisecond);
BENCHMARK(logExp<logExpHighwayAvx2>)->Name("highway_avx2")->Unit(benchmark::kMillisecond);
BENCHMARK(logExp<logExpHighway>)->Name("highway_dispatched")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
