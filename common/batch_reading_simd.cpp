// The SIMD kernels of the batch readings, compiled for each instruction set Highway targets
// and chosen at run time for the machine.
#include "common/batch_reading.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "common/batch_reading_simd.cpp"
#include <hwy/foreach_target.h>

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include <algorithm>
#include <cmath>

HWY_BEFORE_NAMESPACE();
namespace tarvo::batch::HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void Logarithms(const double* x, double* out, std::size_t count) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::StoreU(hn::Log(d, hn::LoadU(d, x + i)), d, out + i);
    }
    for (; i < count; ++i) {
        out[i] = std::log(x[i]);
    }
}

// Below this the exponential is 0 (a cubic of -infinity: the column reads 0 there).
constexpr double kLowestExponent = -745.0;

double curveAt(double a, double b, double c, double d, double t) {
    const double value = a + t * (b + t * (c + t * d));
    return value > kLowestExponent ? std::exp(value) : 0.0;
}

void CurveValues(const CubicColumns& cubic, const double* t, double* out, std::size_t count) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto lowest = hn::Set(d, kLowestExponent);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const auto x = hn::LoadU(d, t + i);
        auto value = hn::LoadU(d, cubic.power[3] + i);
        value = hn::MulAdd(value, x, hn::LoadU(d, cubic.power[2] + i));
        value = hn::MulAdd(value, x, hn::LoadU(d, cubic.power[1] + i));
        value = hn::MulAdd(value, x, hn::LoadU(d, cubic.power[0] + i));
        hn::StoreU(hn::IfThenElseZero(hn::Gt(value, lowest), hn::Exp(d, value)), d, out + i);
    }
    for (; i < count; ++i) {
        out[i] = curveAt(cubic.power[0][i], cubic.power[1][i], cubic.power[2][i], cubic.power[3][i],
                         t[i]);
    }
}

void OneCurveValues(const double* cubic, double origin, const double* logEnergies, double* out,
                    std::size_t count) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto lowest = hn::Set(d, kLowestExponent);
    const auto from = hn::Set(d, origin);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const auto x = hn::Sub(hn::LoadU(d, logEnergies + i), from);
        auto value = hn::MulAdd(hn::Set(d, cubic[3]), x, hn::Set(d, cubic[2]));
        value = hn::MulAdd(value, x, hn::Set(d, cubic[1]));
        value = hn::MulAdd(value, x, hn::Set(d, cubic[0]));
        hn::StoreU(hn::IfThenElseZero(hn::Gt(value, lowest), hn::Exp(d, value)), d, out + i);
    }
    for (; i < count; ++i) {
        out[i] = curveAt(cubic[0], cubic[1], cubic[2], cubic[3], logEnergies[i] - origin);
    }
}

void EvenOut(const double* even, double* mu, double* transfer, double* absorption,
             std::size_t count) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const auto keep = hn::Gt(hn::LoadU(d, even + i), hn::Zero(d));
        const auto v0 = hn::LoadU(d, mu + i);
        const auto v1 = hn::IfThenElse(keep, hn::Min(hn::LoadU(d, transfer + i), v0),
                                       hn::LoadU(d, transfer + i));
        const auto v2 = hn::IfThenElse(keep, hn::Min(hn::LoadU(d, absorption + i), v1),
                                       hn::LoadU(d, absorption + i));
        hn::StoreU(v1, d, transfer + i);
        hn::StoreU(v2, d, absorption + i);
    }
    for (; i < count; ++i) {
        if (even[i] > 0) {
            transfer[i] = std::min(transfer[i], mu[i]);
            absorption[i] = std::min(absorption[i], transfer[i]);
        }
    }
}

void WriteColumn(const double* values, double factor, double* out, double* notFinite,
                 std::size_t count) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto scale = hn::Set(d, factor);
    const auto one = hn::Set(d, 1.0);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const auto value = hn::Mul(hn::LoadU(d, values + i), scale);
        hn::StoreU(value, d, out + i);
        const auto flag = hn::LoadU(d, notFinite + i);
        hn::StoreU(hn::IfThenElse(hn::IsFinite(value), flag, one), d, notFinite + i);
    }
    for (; i < count; ++i) {
        out[i] = values[i] * factor;
        notFinite[i] = std::isfinite(out[i]) ? notFinite[i] : 1.0;
    }
}

} // namespace tarvo::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace tarvo::batch {

HWY_EXPORT(Logarithms);
HWY_EXPORT(CurveValues);
HWY_EXPORT(OneCurveValues);
HWY_EXPORT(EvenOut);
HWY_EXPORT(WriteColumn);

void logarithms(const double* x, double* out, std::size_t count) {
    HWY_DYNAMIC_DISPATCH(Logarithms)(x, out, count);
}

void curveValues(const CubicColumns& cubic, const double* t, double* out, std::size_t count) {
    HWY_DYNAMIC_DISPATCH(CurveValues)(cubic, t, out, count);
}

void oneCurveValues(const double* cubic, double origin, const double* logEnergies, double* out,
                    std::size_t count) {
    HWY_DYNAMIC_DISPATCH(OneCurveValues)(cubic, origin, logEnergies, out, count);
}

void evenOut(const double* even, double* mu, double* transfer, double* absorption,
             std::size_t count) {
    HWY_DYNAMIC_DISPATCH(EvenOut)(even, mu, transfer, absorption, count);
}

void writeColumn(const double* values, double factor, double* out, double* notFinite,
                 std::size_t count) {
    HWY_DYNAMIC_DISPATCH(WriteColumn)(values, factor, out, notFinite, count);
}

} // namespace tarvo::batch
#endif
