#include "spline.h"

#include "error_reporting.h"

#include <algorithm>
#include <memory>
#include <new>
#include <numeric>
#include <vector>

namespace tarvo::spline {
namespace {

// Coefficient c(r, m) of a table stored breakpoint after breakpoint, 1-based.
template <class Real> Real& coefficient(Real* c, int r, int m) {
    return c[(m - 1) * 4 + (r - 1)];
}
template <class Real> Real coefficient(const Real* c, int r, int m) {
    return c[(m - 1) * 4 + (r - 1)];
}

void reportDataCount(int ndata) {
    E1STI(1, ndata);
    E1MES(kTerminal, 1,
          "The number of data points must be 2 or more while NDATA = %(I1) is given.");
}

void reportPointCount(int n) {
    E1STI(1, n);
    E1MES(kTerminal, 2, "The length of XVEC must be at least one while N = %(I1) is given.");
}

// The first equation of the slope system, by the left end condition.
template <class Real> void firstEquation(Real* c, int n, int ileft, Real dleft) {
    const Real delta2 = coefficient(c, 3, 2);
    const Real slope2 = coefficient(c, 4, 2);
    if (ileft == 0 && n == 2) {
        coefficient(c, 4, 1) = Real(1.0);
        coefficient(c, 3, 1) = Real(1.0);
        coefficient(c, 2, 1) = Real(2.0) * slope2;
    } else if (ileft == 0) {
        const Real delta3 = coefficient(c, 3, 3);
        coefficient(c, 4, 1) = delta3;
        coefficient(c, 3, 1) = delta2 + delta3;
        coefficient(c, 2, 1) = ((delta2 + Real(2.0) * coefficient(c, 3, 1)) * slope2 * delta3 +
                                delta2 * delta2 * coefficient(c, 4, 3)) /
                               coefficient(c, 3, 1);
    } else if (ileft == 1) {
        coefficient(c, 4, 1) = Real(1.0);
        coefficient(c, 3, 1) = Real(0.0);
        coefficient(c, 2, 1) = dleft;
    } else {
        coefficient(c, 4, 1) = Real(2.0);
        coefficient(c, 3, 1) = Real(1.0);
        coefficient(c, 2, 1) = Real(3.0) * slope2 - delta2 / Real(2.0) * dleft;
    }
}

// Forward elimination through the interior equations.
template <class Real> void interiorEquations(Real* c, int n) {
    for (int m = 2; m <= n - 1; ++m) {
        const Real g = -coefficient(c, 3, m + 1) / coefficient(c, 4, m - 1);
        coefficient(c, 2, m) = g * coefficient(c, 2, m - 1) +
                               Real(3.0) * (coefficient(c, 3, m) * coefficient(c, 4, m + 1) +
                                            coefficient(c, 3, m + 1) * coefficient(c, 4, m));
        coefficient(c, 4, m) = g * coefficient(c, 3, m - 1) +
                               Real(2.0) * (coefficient(c, 3, m) + coefficient(c, 3, m + 1));
    }
}

template <class Real> void complete(Real* c, int n, Real g) {
    coefficient(c, 4, n) = g * coefficient(c, 3, n - 1) + coefficient(c, 4, n);
    coefficient(c, 2, n) =
        (g * coefficient(c, 2, n - 1) + coefficient(c, 2, n)) / coefficient(c, 4, n);
}

// The last equation, by the right end condition, then the completion where needed.
template <class Real> void lastEquation(Real* c, int n, int ileft, int iright, Real dright) {
    const Real deltaN = coefficient(c, 3, n);
    const Real slopeN = coefficient(c, 4, n);
    const auto parabolaEnd = [&] {
        coefficient(c, 2, n) = Real(2.0) * slopeN;
        coefficient(c, 4, n) = Real(1.0);
        complete(c, n, -Real(1.0) / coefficient(c, 4, n - 1));
    };
    if (iright == 1) {
        coefficient(c, 2, n) = dright;
    } else if (iright == 2) {
        coefficient(c, 2, n) = Real(3.0) * slopeN + deltaN / Real(2.0) * dright;
        coefficient(c, 4, n) = Real(2.0);
        complete(c, n, -Real(1.0) / coefficient(c, 4, n - 1));
    } else if (n == 2) {
        if (ileft == 0) {
            coefficient(c, 2, 2) = slopeN;
        } else {
            parabolaEnd();
        }
    } else if (n == 3 && ileft == 0) {
        parabolaEnd();
    } else {
        const Real deltaBefore = coefficient(c, 3, n - 1);
        const Real big = deltaBefore + deltaN;
        coefficient(c, 2, n) =
            ((deltaN + Real(2.0) * big) * slopeN * deltaBefore +
             deltaN * deltaN * (coefficient(c, 1, n - 1) - coefficient(c, 1, n - 2)) /
                 deltaBefore) /
            big;
        const Real g = -big / coefficient(c, 4, n - 1);
        coefficient(c, 4, n) = deltaBefore;
        complete(c, n, g);
    }
}

// Back substitution for the slopes, then the polynomial coefficients of each interval.
template <class Real> void finishCoefficients(const Real* tau, Real* c, int n) {
    for (int j = n - 1; j >= 1; --j) {
        coefficient(c, 2, j) =
            (coefficient(c, 2, j) - coefficient(c, 3, j) * coefficient(c, 2, j + 1)) /
            coefficient(c, 4, j);
    }
    for (int i = 2; i <= n; ++i) {
        const Real dtau = tau[i] - tau[i - 1];
        const Real divdf1 = (coefficient(c, 1, i) - coefficient(c, 1, i - 1)) / dtau;
        const Real divdf3 = coefficient(c, 2, i - 1) + coefficient(c, 2, i) - Real(2.0) * divdf1;
        coefficient(c, 3, i - 1) = Real(2.0) * (divdf1 - coefficient(c, 2, i - 1) - divdf3) / dtau;
        coefficient(c, 4, i - 1) = (divdf3 / dtau) * (Real(6.0) / dtau);
    }
}

} // namespace

template <class Real>
void CSIEZ(int ndata, const Real* xdata, const Real* fdata, int n, Real* xvec, Real* value) {
    E1PSH("CSIEZ");
    if (ndata < 2) {
        reportDataCount(ndata);
    }
    if (n < 1) {
        reportPointCount(n);
    }
    if (N1RTY(0) == 0) {
        try {
            std::vector<int> iwk(static_cast<size_t>(std::max(n, ndata) + n));
            std::vector<Real> wk(static_cast<size_t>(5 * ndata));
            std::vector<Real> wk2(static_cast<size_t>(2 * n));
            C2IEZ(ndata, xdata, fdata, n, xvec, value, iwk.data(), wk.data(), wk2.data());
        } catch (const std::bad_alloc&) {
            E1STI(1, ndata);
            E1STI(2, n);
            E1MES(kTerminal, 5,
                  "The required storage cannot be allocated.  Workspace allocation is based on "
                  "NDATA = %(I1) and N = %(I2).");
        }
    }
    E1POP("CSIEZ");
}

template <class Real>
void C2IEZ(int ndata, const Real* xdata, const Real* fdata, int n, Real* xvec, Real* value,
           int* iwk, Real* wk, Real* wk2) {
    E1PSH("C2IEZ");
    if (ndata < 2) {
        reportDataCount(ndata);
    }
    if (n < 1) {
        reportPointCount(n);
    }
    if (N1RTY(0) == 0) {
        C2INT(ndata, xdata, fdata, wk, wk + ndata, iwk);
    }
    if (N1RTY(0) == 0) {
        std::iota(iwk, iwk + n, 1);
        SVRGP(n, xvec, xvec, iwk);
        C21GD(0, n, xvec, ndata - 1, wk, wk + ndata, value, iwk + n, wk2, wk2 + n);
    }
    if (N1RTY(0) == 0) {
        PERMU(n, xvec, iwk, 1, xvec);
        PERMU(n, value, iwk, 1, value);
    }
    E1POP("C2IEZ");
}

template <class Real>
void C2INT(int ndata, const Real* xdata, const Real* fdata, Real* breakpoints, Real* cscoef,
           int* iwk) {
    E1PSH("C2INT");
    C2DEC(ndata, xdata, fdata, 0, Real(0.0), 0, Real(0.0), breakpoints, cscoef, iwk);
    E1POP("C2INT");
}

template <class Real>
void C2DEC(int ndata, const Real* xdata, const Real* fdata, int ileft, Real dleft, int iright,
           Real dright, Real* breakpoints, Real* cscoef, int* iwk) {
    E1PSH("C2DEC");
    if (ndata < 2) {
        reportDataCount(ndata);
    }
    if (ileft < 0 || ileft > 2) {
        E1STI(1, ileft);
        E1MES(kTerminal, 2, "The argument ILEFT = %(I1).  It must be 0, 1 or 2.");
    }
    if (iright < 0 || iright > 2) {
        E1STI(1, iright);
        E1MES(kTerminal, 3, "The argument IRIGHT = %(I1).  It must be 0, 1 or 2.");
    }
    if (N1RTY(0) == 0) {
        C1SOR(ndata, xdata, fdata, breakpoints, cscoef, 4, iwk);
    }
    if (N1RTY(0) == 0) {
        const int n = ndata;
        const Real* tau = breakpoints - 1;
        Real* c = cscoef;
        for (int m = 2; m <= n; ++m) {
            coefficient(c, 3, m) = tau[m] - tau[m - 1];
            coefficient(c, 4, m) =
                (coefficient(c, 1, m) - coefficient(c, 1, m - 1)) / coefficient(c, 3, m);
        }
        firstEquation(c, n, ileft, dleft);
        interiorEquations(c, n);
        lastEquation(c, n, ileft, iright, dright);
        finishCoefficients(tau, c, n);
    }
    E1POP("C2DEC");
}

template <class Real>
void C1SOR(int ndata, const Real* xdata, const Real* fdata, Real* breakpoints, Real* cscoef,
           int ldc, int* iwk) {
    E1PSH("C1SOR");
    const Real* x = xdata - 1;
    const Real* f = fdata - 1;
    Real* b = breakpoints - 1;
    const auto c1 = [&](int i) -> Real& { return cscoef[(i - 1) * ldc]; };
    int j = 2;
    while (j <= ndata && x[j] > x[j - 1]) {
        ++j;
    }
    if (j > ndata) {
        for (int i = 1; i <= ndata; ++i) {
            b[i] = x[i];
            c1(i) = f[i];
        }
    } else if (x[j] == x[j - 1]) {
        E1STI(1, j - 1);
        E1STI(2, j);
        E1STR(1, static_cast<float>(x[j]));
        E1MES(kTerminal, 2,
              "Points in the data point abscissas array, XDATA, must be distinct, but "
              "XDATA(%(I1)) = XDATA(%(I2)) = %(R1).");
    } else {
        std::iota(iwk, iwk + ndata, 1);
        SVRGP(ndata, xdata, breakpoints, iwk);
        for (int i = 1; i <= ndata; ++i) {
            c1(i) = f[iwk[i - 1]];
        }
        for (int i = 2; i <= ndata; ++i) {
            if (b[i] == b[i - 1]) {
                E1STI(1, iwk[i - 2]);
                E1STI(2, iwk[i - 1]);
                E1STR(1, static_cast<float>(b[i]));
                E1MES(kTerminal, 2,
                      "Points in the data point abscissas array, XDATA, must be distinct, but "
                      "XDATA(%(I1)) = XDATA(%(I2)) = %(R1).");
                break;
            }
        }
    }
    E1POP("C1SOR");
}

template <class Real>
void C21GD(int ideriv, int n, const Real* xvec, int nintv, const Real* breakpoints,
           const Real* ppcoef, Real* value, int* iwk, Real* wk1, Real* wk2) {
    E1PSH("C21GD");
    std::fill(value, value + std::max(n, 0), Real(0.0));
    if (nintv < 1) {
        E1STI(1, nintv);
        E1MES(kTerminal, 1,
              "The number of intervals must be at least 1 while NINTV = %(I1) is given.");
    } else if (ideriv < 0) {
        E1STI(1, ideriv);
        E1MES(kTerminal, 2,
              "The order of the derivative must be positive while IDERIV = %(I1) is given.");
    } else if (n < 1) {
        E1STI(1, n);
        E1MES(kTerminal, 3, "The length of XVEC must be at least 1 while N = %(I1) is given.");
    }
    for (int j = 2; N1RTY(0) == 0 && j <= n; ++j) {
        if (!(xvec[j - 1] > xvec[j - 2])) {
            E1STI(1, j - 1);
            E1STR(1, static_cast<float>(xvec[j - 2]));
            E1STI(2, j);
            E1STR(2, static_cast<float>(xvec[j - 1]));
            E1MES(kFatal, 4,
                  "The X data values must be strictly increasing, but XVEC(%(I1)) = %(R1) and "
                  "XVEC(%(I2)) = %(R2).");
        }
    }
    if (N1RTY(0) == 0) {
        const Real* b = breakpoints - 1;
        for (int j = 0; j < n; ++j) {
            // The largest interval whose breakpoint is at or below the point (1 left of
            // the data); a linear scan, since the points ascend.
            int left = j > 0 ? iwk[j - 1] : 1;
            while (left < nintv && b[left + 1] <= xvec[j]) {
                ++left;
            }
            iwk[j] = left;
            wk1[j] = xvec[j] - b[left];
            wk2[j] = Real(0.0);
        }
        for (int j = 0; j < n; ++j) {
            Real fmm = static_cast<Real>(4 - ideriv);
            for (int m = 4; m >= ideriv + 1; --m) {
                value[j] = value[j] / fmm * wk1[j] + coefficient(ppcoef, m, iwk[j]);
                fmm -= Real(1.0);
            }
        }
    }
    E1POP("C21GD");
}

template <class Real> void SVRGP(int n, const Real* ra, Real* rb, int* iperm) {
    E1PSH("SVRGP");
    if (n < 1) {
        E1STI(1, n);
        E1MES(kTerminal, 1,
              "The length of vectors RA, RB and IPERM must be greater than or equal to one.  "
              "On input the length, N, is given as %(I1).");
    } else {
        std::vector<std::pair<Real, int>> entries;
        for (int i = 0; i < n; ++i) {
            entries.emplace_back(ra[i], iperm[i]);
        }
        std::stable_sort(entries.begin(), entries.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (int i = 0; i < n; ++i) {
            rb[i] = entries[static_cast<size_t>(i)].first;
            iperm[i] = entries[static_cast<size_t>(i)].second;
        }
    }
    E1POP("SVRGP");
}

template <class Real> void PERMU(int n, const Real* x, int* ipermu, int ipath, Real* xpermu) {
    E1PSH("PERMU");
    if (n < 1) {
        E1STI(1, n);
        E1MES(kTerminal, 1,
              "The length of the arrays X and XPERMU must be positive while N = %(I1) is given.");
    } else if (ipath != 1 && ipath != 2) {
        E1STI(1, ipath);
        E1MES(kTerminal, 2, "IPATH must be equal to 1 or 2 while a value of %(I1) is given.");
    }
    for (int i = 1; N1RTY(0) == 0 && n > 1 && i <= n; ++i) {
        if (ipermu[i - 1] < 1 || ipermu[i - 1] > n) {
            E1STI(1, i);
            E1STI(2, n);
            E1STI(3, ipermu[i - 1]);
            E1MES(kTerminal, 3,
                  "IPERMU(%(I1)) = %(I3) is not allowed.  It must be between 1 and N = %(I2).");
        }
    }
    if (N1RTY(0) == 0) {
        const std::vector<Real> source(x, x + n);
        for (int i = 0; i < n; ++i) {
            if (ipath == 1) {
                xpermu[i] = source[static_cast<size_t>(ipermu[i] - 1)];
            } else {
                xpermu[ipermu[i] - 1] = source[static_cast<size_t>(i)];
            }
        }
    }
    E1POP("PERMU");
}

// The tool fits in double precision; the single-precision routines stay for comparison.
#define TARVO_SPLINE_ROUTINES(Real)                                                                \
    template void CSIEZ(int, const Real*, const Real*, int, Real*, Real*);                         \
    template void C2IEZ(int, const Real*, const Real*, int, Real*, Real*, int*, Real*, Real*);     \
    template void C2INT(int, const Real*, const Real*, Real*, Real*, int*);                        \
    template void C2DEC(int, const Real*, const Real*, int, Real, int, Real, Real*, Real*, int*);  \
    template void C1SOR(int, const Real*, const Real*, Real*, Real*, int, int*);                   \
    template void C21GD(int, int, const Real*, int, const Real*, const Real*, Real*, int*, Real*,  \
                        Real*);                                                                    \
    template void SVRGP(int, const Real*, Real*, int*);                                            \
    template void PERMU(int, const Real*, int*, int, Real*);
TARVO_SPLINE_ROUTINES(float)
TARVO_SPLINE_ROUTINES(double)
#undef TARVO_SPLINE_ROUTINES

} // namespace tarvo::spline
