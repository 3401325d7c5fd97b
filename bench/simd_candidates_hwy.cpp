// Highway, dispatched at run time to the best instruction set of the machine.
#include "bench/simd_candidates.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "bench/simd_candidates_hwy.cpp"
#include <hwy/foreach_target.h>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>
#include <hwy/targets.h>

HWY_BEFORE_NAMESPACE();
namespace candidates::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void LogExp(const double* x, double* out, std::size_t n, double a, double b) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto va = hn::Set(d, a);
    const auto vb = hn::Set(d, b);
    std::size_t i = 0;
    for (; i + lanes <= n; i += lanes) {
        const auto lnx = hn::Log(d, hn::LoadU(d, x + i));
        hn::StoreU(hn::Exp(d, hn::MulAdd(vb, lnx, va)), d, out + i);
    }
    for (; i < n; ++i) {
        out[i] = std::exp(a + b * std::log(x[i]));
    }
}

} // namespace candidates::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace candidates {
HWY_EXPORT(LogExp);
}

void logExpHighway(const double* x, double* out, std::size_t n, double a, double b) {
    HWY_DYNAMIC_DISPATCH(candidates::LogExp)(x, out, n, a, b);
}

// The same held to AVX2, as the other candidates are.
void logExpHighwayAvx2(const double* x, double* out, std::size_t n, double a, double b) {
    hwy::DisableTargets(HWY_AVX3 | HWY_AVX3_DL);
    HWY_DYNAMIC_DISPATCH(candidates::LogExp)(x, out, n, a, b);
    hwy::DisableTargets(0);
}
#endif
