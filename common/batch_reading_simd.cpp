// The SIMD kernels of the batch readings, compiled for each instruction set Highway targets
// and chosen at run time for the machine.
#include "common/batch_reading.h"

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "common/batch_reading_simd.cpp"
#include <hwy/foreach_target.h>

#include <hwy/cache_control.h>
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

void IntervalCurveValues(const double* cubics, std::size_t column, const std::int32_t* intervals,
                         const double* t, double* out, std::size_t count) {
    // Each value's cubic one lane at a time, loaded where it lies (a copy of its
    // coefficients costs four stores a value, a gather more); a one-lane MulAdd is the
    // whole vector's lane by lane, so a value is the one a shared cubic gives.
    const hn::CappedTag<double, 1> one;
    for (std::size_t i = 0; i < count; ++i) {
        const double* cubic =
            cubics + static_cast<std::size_t>(intervals[i]) * kCubicStride + column * 4;
        const auto x = hn::Set(one, t[i]);
        auto value = hn::MulAdd(hn::Set(one, cubic[3]), x, hn::Set(one, cubic[2]));
        value = hn::MulAdd(value, x, hn::Set(one, cubic[1]));
        out[i] = hn::GetLane(hn::MulAdd(value, x, hn::Set(one, cubic[0])));
    }
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto lowest = hn::Set(d, kLowestExponent);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const auto value = hn::LoadU(d, out + i);
        hn::StoreU(hn::IfThenElseZero(hn::Gt(value, lowest), hn::Exp(d, value)), d, out + i);
    }
    for (; i < count; ++i) {
        out[i] = out[i] > kLowestExponent ? std::exp(out[i]) : 0.0;
    }
}

void IntervalExponents(const double* byPower, const std::int32_t* intervals, const double* t,
                       double* out, std::size_t count) {
    const hn::CappedTag<double, 4> d;
    const std::size_t lanes = hn::Lanes(d);
    for (std::size_t i = 0; i < count; ++i) {
        const double* cubic = byPower + static_cast<std::size_t>(intervals[i]) * 16;
        const auto x = hn::Set(d, t[i]);
        for (std::size_t k = 0; k < 4; k += lanes) {
            auto value = hn::MulAdd(hn::LoadU(d, cubic + 12 + k), x, hn::LoadU(d, cubic + 8 + k));
            value = hn::MulAdd(value, x, hn::LoadU(d, cubic + 4 + k));
            hn::StoreU(hn::MulAdd(value, x, hn::LoadU(d, cubic + k)), d, out + i * 4 + k);
        }
    }
}

void ExponentialsByColumn(const double* exponents, std::size_t count,
                          const std::array<double*, 4>& columns) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto lowest = hn::Set(d, kLowestExponent);
    const auto exponential = [&](auto value) {
        return hn::IfThenElseZero(hn::Gt(value, lowest), hn::Exp(d, value));
    };
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        hn::Vec<decltype(d)> power[4];
        hn::LoadInterleaved4(d, exponents + i * 4, power[0], power[1], power[2], power[3]);
        for (std::size_t k = 0; k < 4; ++k) {
            if (columns[k] != nullptr) {
                hn::StoreU(exponential(power[k]), d, columns[k] + i);
            }
        }
    }
    for (; i < count; ++i) {
        for (std::size_t k = 0; k < 4; ++k) {
            if (columns[k] != nullptr) {
                const double value = exponents[i * 4 + k];
                columns[k][i] = value > kLowestExponent ? std::exp(value) : 0.0;
            }
        }
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

bool WriteColumn(const double* values, double factor, double* out, double* notFinite,
                 std::size_t count, bool stream) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto scale = hn::Set(d, factor);
    const auto one = hn::Set(d, 1.0);
    auto anyFlagged = hn::Zero(d);
    bool flagged = false;
    std::size_t i = 0;
    // A stream goes past the caches, and needs whole vectors aligned as they are.
    const auto unaligned = [&] {
        return reinterpret_cast<std::uintptr_t>(out + i) % (lanes * sizeof(double)) != 0;
    };
    for (; i < count && stream && unaligned(); ++i) {
        out[i] = values[i] * factor;
        notFinite[i] = std::isfinite(out[i]) ? notFinite[i] : 1.0;
        flagged = flagged || notFinite[i] != 0.0;
    }
    for (; i + lanes <= count; i += lanes) {
        const auto value = hn::Mul(hn::LoadU(d, values + i), scale);
        if (stream) {
            hn::Stream(value, d, out + i);
        } else {
            hn::StoreU(value, d, out + i);
        }
        const auto flag = hn::IfThenElse(hn::IsFinite(value), hn::LoadU(d, notFinite + i), one);
        hn::StoreU(flag, d, notFinite + i);
        anyFlagged = hn::Max(anyFlagged, flag);
    }
    flagged = flagged || !hn::AllTrue(d, hn::Eq(anyFlagged, hn::Zero(d)));
    for (; i < count; ++i) {
        out[i] = values[i] * factor;
        notFinite[i] = std::isfinite(out[i]) ? notFinite[i] : 1.0;
        flagged = flagged || notFinite[i] != 0.0;
    }
    return flagged;
}

bool AllInside(const double* x, std::size_t count, double low, double high) {
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const auto below = hn::Set(d, low);
    const auto above = hn::Set(d, high);
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes) {
        const auto v = hn::LoadU(d, x + i);
        // A NaN is inside no interval: both comparisons are false.
        if (!hn::AllTrue(d, hn::And(hn::Lt(below, v), hn::Lt(v, above)))) {
            return false;
        }
    }
    for (; i < count; ++i) {
        if (!(low < x[i] && x[i] < high)) {
            return false;
        }
    }
    return true;
}

} // namespace tarvo::batch::HWY_NAMESPACE
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace tarvo::batch {

HWY_EXPORT(Logarithms);
HWY_EXPORT(IntervalCurveValues);
HWY_EXPORT(OneCurveValues);
HWY_EXPORT(IntervalExponents);
HWY_EXPORT(ExponentialsByColumn);
HWY_EXPORT(EvenOut);
HWY_EXPORT(WriteColumn);
HWY_EXPORT(AllInside);

void logarithms(const double* x, double* out, std::size_t count) {
    HWY_DYNAMIC_DISPATCH(Logarithms)(x, out, count);
}

void intervalCurveValues(const double* cubics, std::size_t column, const std::int32_t* intervals,
                         const double* t, double* out, std::size_t count) {
    HWY_DYNAMIC_DISPATCH(IntervalCurveValues)(cubics, column, intervals, t, out, count);
}

void intervalExponents(const double* byPower, const std::int32_t* intervals, const double* t,
                       double* out, std::size_t count) {
    HWY_DYNAMIC_DISPATCH(IntervalExponents)(byPower, intervals, t, out, count);
}

void exponentialsByColumn(const double* exponents, std::size_t count,
                          const std::array<double*, 4>& columns) {
    HWY_DYNAMIC_DISPATCH(ExponentialsByColumn)(exponents, count, columns);
}

void oneCurveValues(const double* cubic, double origin, const double* logEnergies, double* out,
                    std::size_t count) {
    HWY_DYNAMIC_DISPATCH(OneCurveValues)(cubic, origin, logEnergies, out, count);
}

void evenOut(const double* even, double* mu, double* transfer, double* absorption,
             std::size_t count) {
    HWY_DYNAMIC_DISPATCH(EvenOut)(even, mu, transfer, absorption, count);
}

bool writeColumn(const double* values, double factor, double* out, double* notFinite,
                 std::size_t count, bool stream) {
    return HWY_DYNAMIC_DISPATCH(WriteColumn)(values, factor, out, notFinite, count, stream);
}

bool allInside(const double* x, std::size_t count, double low, double high) {
    return HWY_DYNAMIC_DISPATCH(AllInside)(x, count, low, high);
}

void flushStreams() {
    hwy::FlushStream();
}

} // namespace tarvo::batch
#endif
