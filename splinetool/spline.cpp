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
float& coefficient(float* c, int r, int m) {
    return c[(m - 1) * 4 + (r - 1)];
}
float coefficient(const float* c, int r, int m) {
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
void firstEquation(float* c, int n, int ileft, float dleft) {
    const float delta2 = coefficient(c, 3, 2);
    const float slope2 = coefficient(c, 4, 2);
    if (ileft == 0 && n == 2) {
        coefficient(c, 4, 1) = 1.0f;
        coefficient(c, 3, 1) = 1.0f;
        coefficient(c, 2, 1) = 2.0f * slope2;
    } else if (ileft == 0) {
        const float delta3 = coefficient(c, 3, 3);
        coefficient(c, 4, 1) = delta3;
        coefficient(c, 3, 1) = delta2 + delta3;
        coefficient(c, 2, 1) = ((delta2 + 2.0f * coefficient(c, 3, 1)) * slope2 * delta3 +
                                delta2 * delta2 * coefficient(c, 4, 3)) /
                               coefficient(c, 3, 1);
    } else if (ileft == 1) {
        coefficient(c, 4, 1) = 1.0f;
        coefficient(c, 3, 1) = 0.0f;
        coefficient(c, 2, 1) = dleft;
    } else {
        coefficient(c, 4, 1) = 2.0f;
        coefficient(c, 3, 1) = 1.0f;
        coefficient(c, 2, 1) = 3.0f * slope2 - delta2 / 2.0f * dleft;
    }
}

// Forward elimination through the interior equations.
void interiorEquations(float* c, int n) {
    for (int m = 2; m <= n - 1; ++m) {
        const float g = -coefficient(c, 3, m + 1) / coefficient(c, 4, m - 1);
        coefficient(c, 2, m) =
            g * coefficient(c, 2, m - 1) + 3.0f * (coefficient(c, 3, m) * coefficient(c, 4, m + 1) +
                                                   coefficient(c, 3, m + 1) * coefficient(c, 4, m));
        coefficient(c, 4, m) =
            g * coefficient(c, 3, m - 1) + 2.0f * (coefficient(c, 3, m) + coefficient(c, 3, m + 1));
    }
}

void complete(float* c, int n, float g) {
    coefficient(c, 4, n) = g * coefficient(c, 3, n - 1) + coefficient(c, 4, n);
    coefficient(c, 2, n) =
        (g * coefficient(c, 2, n - 1) + coefficient(c, 2, n)) / coefficient(c, 4, n);
}

// The last equation, by the right end condition, then the completion where needed.
void lastEquation(float* c, int n, int ileft, int iright, float dright) {
    const float deltaN = coefficient(c, 3, n);
    const float slopeN = coefficient(c, 4, n);
    const auto parabolaEnd = [&] {
        coefficient(c, 2, n) = 2.0f * slopeN;
        coefficient(c, 4, n) = 1.0f;
        complete(c, n, -1.0f / coefficient(c, 4, n - 1));
    };
    if (iright == 1) {
        coefficient(c, 2, n) = dright;
    } else if (iright == 2) {
        coefficient(c, 2, n) = 3.0f * slopeN + deltaN / 2.0f * dright;
        coefficient(c, 4, n) = 2.0f;
        complete(c, n, -1.0f / coefficient(c, 4, n - 1));
    } else if (n == 2) {
        if (ileft == 0) {
            coefficient(c, 2, 2) = slopeN;
        } else {
            parabolaEnd();
        }
    } else if (n == 3 && ileft == 0) {
        parabolaEnd();
    } else {
        const float deltaBefore = coefficient(c, 3, n - 1);
        const float big = deltaBefore + deltaN;
        coefficient(c, 2, n) =
            ((deltaN + 2.0f * big) * slopeN * deltaBefore +
             deltaN * deltaN * (coefficient(c, 1, n - 1) - coefficient(c, 1, n - 2)) /
                 deltaBefore) /
            big;
        const float g = -big / coefficient(c, 4, n - 1);
        coefficient(c, 4, n) = deltaBefore;
        complete(c, n, g);
    }
}

// Back substitution for the slopes, then the polynomial coefficients of each interval.
void finishCoefficients(const float* tau, float* c, int n) {
    for (int j = n - 1; j >= 1; --j) {
        coefficient(c, 2, j) =
            (coefficient(c, 2, j) - coefficient(c, 3, j) * coefficient(c, 2, j + 1)) /
            coefficient(c, 4, j);
    }
    for (int i = 2; i <= n; ++i) {
        const float dtau = tau[i] - tau[i - 1];
        const float divdf1 = (coefficient(c, 1, i) - coefficient(c, 1, i - 1)) / dtau;
        const float divdf3 = coefficient(c, 2, i - 1) + coefficient(c, 2, i) - 2.0f * divdf1;
        coefficient(c, 3, i - 1) = 2.0f * (divdf1 - coefficient(c, 2, i - 1) - divdf3) / dtau;
        coefficient(c, 4, i - 1) = (divdf3 / dtau) * (6.0f / dtau);
    }
}

} // namespace

void CSIEZ(int ndata, const float* xdata, const float* fdata, int n, float* xvec, float* value) {
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
            std::vector<float> wk(static_cast<size_t>(5 * ndata));
            std::vector<float> wk2(static_cast<size_t>(2 * n));
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

void C2IEZ(int ndata, const float* xdata, const float* fdata, int n, float* xvec, float* value,
           int* iwk, float* wk, float* wk2) {
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

void C2INT(int ndata, const float* xdata, const float* fdata, float* breakpoints, float* cscoef,
           int* iwk) {
    E1PSH("C2INT");
    C2DEC(ndata, xdata, fdata, 0, 0.0f, 0, 0.0f, breakpoints, cscoef, iwk);
    E1POP("C2INT");
}

void C2DEC(int ndata, const float* xdata, const float* fdata, int ileft, float dleft, int iright,
           float dright, float* breakpoints, float* cscoef, int* iwk) {
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
        const float* tau = breakpoints - 1;
        float* c = cscoef;
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

void C1SOR(int ndata, const float* xdata, const float* fdata, float* breakpoints, float* cscoef,
           int ldc, int* iwk) {
    E1PSH("C1SOR");
    const float* x = xdata - 1;
    const float* f = fdata - 1;
    float* b = breakpoints - 1;
    const auto c1 = [&](int i) -> float& { return cscoef[(i - 1) * ldc]; };
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
        E1STR(1, x[j]);
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
                E1STR(1, b[i]);
                E1MES(kTerminal, 2,
                      "Points in the data point abscissas array, XDATA, must be distinct, but "
                      "XDATA(%(I1)) = XDATA(%(I2)) = %(R1).");
                break;
            }
        }
    }
    E1POP("C1SOR");
}

void C21GD(int ideriv, int n, const float* xvec, int nintv, const float* breakpoints,
           const float* ppcoef, float* value, int* iwk, float* wk1, float* wk2) {
    E1PSH("C21GD");
    std::fill(value, value + std::max(n, 0), 0.0f);
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
            E1STR(1, xvec[j - 2]);
            E1STI(2, j);
            E1STR(2, xvec[j - 1]);
            E1MES(kFatal, 4,
                  "The X data values must be strictly increasing, but XVEC(%(I1)) = %(R1) and "
                  "XVEC(%(I2)) = %(R2).");
        }
    }
    if (N1RTY(0) == 0) {
        const float* b = breakpoints - 1;
        for (int j = 0; j < n; ++j) {
            // The largest interval whose breakpoint is at or below the point (1 left of
            // the data); a linear scan, since the points ascend.
            int left = j > 0 ? iwk[j - 1] : 1;
            while (left < nintv && b[left + 1] <= xvec[j]) {
                ++left;
            }
            iwk[j] = left;
            wk1[j] = xvec[j] - b[left];
            wk2[j] = 0.0f;
        }
        for (int j = 0; j < n; ++j) {
            float fmm = static_cast<float>(4 - ideriv);
            for (int m = 4; m >= ideriv + 1; --m) {
                value[j] = value[j] / fmm * wk1[j] + coefficient(ppcoef, m, iwk[j]);
                fmm -= 1.0f;
            }
        }
    }
    E1POP("C21GD");
}

void SVRGP(int n, const float* ra, float* rb, int* iperm) {
    E1PSH("SVRGP");
    if (n < 1) {
        E1STI(1, n);
        E1MES(kTerminal, 1,
              "The length of vectors RA, RB and IPERM must be greater than or equal to one.  "
              "On input the length, N, is given as %(I1).");
    } else {
        std::vector<std::pair<float, int>> entries;
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

void PERMU(int n, const float* x, int* ipermu, int ipath, float* xpermu) {
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
        const std::vector<float> source(x, x + n);
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

} // namespace tarvo::spline
