#pragma once

namespace tarvo::spline {

// Not-a-knot cubic spline interpolation in single (Real) or double precision. Arrays are
// passed as pointers to their first element; the routines use them 1-based as x[1..n] by
// taking `pointer - 1` internally. Errors are reported through the error mechanism.

// Evaluates at XVEC(1..N) the not-a-knot cubic spline through (XDATA, FDATA)(1..NDATA).
template <class Real>
void CSIEZ(int ndata, const Real* xdata, const Real* fdata, int n, Real* xvec, Real* value);

// CSIEZ with the caller's workspace: IWK of max(N, NDATA) + N, WK of 5*NDATA, WK2 of 2*N.
template <class Real>
void C2IEZ(int ndata, const Real* xdata, const Real* fdata, int n, Real* xvec, Real* value,
           int* iwk, Real* wk, Real* wk2);

// The not-a-knot spline's breakpoints BREAK(1..NDATA) and coefficients CSCOEF(4, NDATA).
template <class Real>
void C2INT(int ndata, const Real* xdata, const Real* fdata, Real* breakpoints, Real* cscoef,
           int* iwk);

// A cubic spline with end conditions: code 0 not-a-knot, 1 given first derivative,
// 2 given second derivative.
template <class Real>
void C2DEC(int ndata, const Real* xdata, const Real* fdata, int ileft, Real dleft, int iright,
           Real dright, Real* breakpoints, Real* cscoef, int* iwk);

// Copies the data sorted by abscissa into BREAK and CSCOEF(1, .); abscissae must differ.
template <class Real>
void C1SOR(int ndata, const Real* xdata, const Real* fdata, Real* breakpoints, Real* cscoef,
           int ldc, int* iwk);

// Evaluates the piecewise polynomial (or its derivative of order IDERIV) at the
// ascending XVEC(1..N).
template <class Real>
void C21GD(int ideriv, int n, const Real* xvec, int nintv, const Real* breakpoints,
           const Real* ppcoef, Real* value, int* iwk, Real* wk1, Real* wk2);

// Sorts RA(1..N) ascending into RB, permuting IPERM alongside.
template <class Real> void SVRGP(int n, const Real* ra, Real* rb, int* iperm);

// Rearranges X by IPERM: path 1 XPERMU(i) = X(IPERM(i)), path 2 XPERMU(IPERM(i)) = X(i).
template <class Real> void PERMU(int n, const Real* x, int* ipermu, int ipath, Real* xpermu);

} // namespace tarvo::spline
