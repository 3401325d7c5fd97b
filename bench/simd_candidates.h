#pragma once

#include <cstddef>

// exp(a + b ln x) over an array, the arithmetic of a reading, by each SIMD candidate.
void logExpScalar(const double* x, double* out, std::size_t n, double a, double b);
void logExpSleef(const double* x, double* out, std::size_t n, double a, double b);
void logExpXsimd(const double* x, double* out, std::size_t n, double a, double b);
void logExpHighway(const double* x, double* out, std::size_t n, double a, double b);
void logExpHighwayAvx2(const double* x, double* out, std::size_t n, double a, double b);
