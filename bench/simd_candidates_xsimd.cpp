// xsimd, compiled for AVX2 with FMA (its run-time dispatch needs a unit per instruction set).
#include "bench/simd_candidates.h"

#include <xsimd/xsimd.hpp>

#include <cmath>

void logExpXsimd(const double* x, double* out, std::size_t n, double a, double b) {
    using batch = xsimd::batch<double, xsimd::avx2>;
    const std::size_t lanes = batch::size;
    std::size_t i = 0;
    for (; i + lanes <= n; i += lanes) {
        const batch lnx = xsimd::log(batch::load_unaligned(x + i));
        xsimd::exp(xsimd::fma(batch(b), lnx, batch(a))).store_unaligned(out + i);
    }
    for (; i < n; ++i) {
        out[i] = std::exp(a + b * std::log(x[i]));
    }
}
