#pragma once

namespace tarvo::spline {

// Not-a-knot cubic spline interpolation in single precision. Arrays are passed as
// pointers to their first element; the routines use them 1-based as x[1..n] by taking
// `pointer - 1` internally. Errors are reported through the error mechanism.

// Evaluates at XVEC(1..N) the not-a-knot cubic spline through (XDATA, FDATA)(1..NDATA).
void CSIEZ(int ndata, const float* xdata, const float* fdata, int n, float* xvec, float* value);

// CSIEZ with the caller's workspace: IWK of max(N, NDATA) + N, WK of 5*NDATA, WK2 of 2*N.
void C2IEZ(int ndata, const float* xdata, const float* fdata, int n, float* xvec, float* value,
           int* iwk, float* wk, float* wk2);

// The not-a-knot spline's breakpoints BREAK(1..NDATA) and coefficients CSCOEF(4, NDATA).
void C2INT(int ndata, const float* xdata, const float* fdata, float* breakpoints, float* cscoef,
           int* iwk);

// A cubic spline with end conditions: code 0 not-a-knot, 1 given first derivative,
// 2 given second derivative.
void C2DEC(int ndata, const float* xdata, const float* fdata, int ileft, float dleft, int iright,
           float dright, float* breakpoints, float* cscoef, int* iwk);

// Copies the data sorted by abscissa into BREAK and CSCOEF(1, .); abscissae must differ.
void C1SOR(int ndata, const float* xdata, const float* fdata, float* breakpoints, float* cscoef,
           int ldc, int* iwk);

// Evaluates the piecewise polynomial (or its derivative of order IDERIV) at the
// ascending XVEC(1..N).
void C21GD(int ideriv, int n, const float* xvec, int nintv, const float* breakpoints,
           const float* ppcoef, float* value, int* iwk, float* wk1, float* wk2);

// Sorts RA(1..N) ascending into RB, permuting IPERM alongside.
void SVRGP(int n, const float* ra, float* rb, int* iperm);

// Rearranges X by IPERM: path 1 XPERMU(i) = X(IPERM(i)), path 2 XPERMU(IPERM(i)) = X(i).
void PERMU(int n, const float* x, int* ipermu, int ipath, float* xpermu);

} // namespace tarvo::spline
