#include "numerics/GammaBeta.h"

#include <array>
#include <cmath>

namespace veltrio {

namespace {

constexpr int ITMAX = 100;
constexpr double EPS = 3e-7;
constexpr int JMAX = 40;

// Stands for the floating-point fault that an argument outside the domain
// would cause in the arithmetic (a division of zero by zero, say).
[[noreturn]] void RaiseInvalidOperation(const char* routine) {
    throw EVeltrioError(std::string(routine) + ": invalid floating point operation");
}

} // namespace

double LogGamma(double x) {
    if (!(x > 0.0)) {
        RaiseInvalidOperation("LogGamma");
    }
    static constexpr std::array<double, 6> c = {76.18009173,  -86.50532033,   24.01409822,
                                                -1.231739516, 0.120858003e-2, -0.536382e-5};
    constexpr double s = 2.50662827465;
    double y = x - 1.0;
    double tmp = y + 5.5;
    tmp = (y + 0.5) * std::log(tmp) - tmp;
    double ser = 1.0;
    for (double cj : c) {
        y = y + 1.0;
        ser = ser + cj / y;
    }
    return tmp + std::log(s * ser);
}

double BETACF(double a, double b, double x) {
    double am = 1.0;
    double bm = 1.0;
    double az = 1.0;
    const double qab = a + b;
    const double qap = a + 1.0;
    const double qam = a - 1.0;
    double bz = 1.0 - qab * x / qap;
    for (int m = 1; m <= ITMAX; ++m) {
        const double em = m;
        const double tem = em + em;
        double d = em * (b - m) * x / ((qam + tem) * (a + tem));
        const double ap = az + d * am;
        const double bp = bz + d * bm;
        d = -(a + em) * (qab + em) * x / ((a + tem) * (qap + tem));
        const double app = ap + d * az;
        const double bpp = bp + d * bz;
        const double aold = az;
        am = ap / bpp;
        bm = bp / bpp;
        az = app / bpp;
        bz = 1.0;
        if (std::fabs(az - aold) < EPS * std::fabs(az)) {
            return az;
        }
    }
    throw EBetaCFException("a or b too big, or itmax too small");
}

double BETAI(double a, double b, double x) {
    // Written so that NaN fails the test as well.
    if (!(x >= 0.0 && x <= 1.0)) {
        throw EBetaIException("BETAI: x not in [0..1]");
    }
    if (!(a > 0.0 && b > 0.0)) {
        RaiseInvalidOperation("BETAI");
    }
    double bt = 0.0;
    if (x != 0.0 && x != 1.0) {
        bt = std::exp(LogGamma(a + b) - LogGamma(a) - LogGamma(b) + a * std::log(x) +
                      b * std::log(1.0 - x));
    }
    if (x < (a + 1.0) / (a + b + 2.0)) {
        return bt * BETACF(a, b, x) / a;
    }
    return 1.0 - bt * BETACF(b, a, 1.0 - x) / b;
}

double GSER(double a, double x, double& gln) {
    gln = LogGamma(a);
    if (x <= 0.0) {
        if (x < 0.0) {
            throw EVeltrioError("pause in GSER - x less than 0");
        }
        return 0.0;
    }
    double ap = a;
    double sum = 1.0 / a;
    double del = sum;
    for (int n = 1; n <= ITMAX; ++n) {
        ap = ap + 1.0;
        del = del * x / ap;
        sum = sum + del;
        if (std::fabs(del) < std::fabs(sum) * EPS) {
            return sum * std::exp(-x + a * std::log(x) - gln);
        }
    }
    throw EVeltrioError("pause in GSER - a too large, itmax too small");
}

double GCF(double a, double x, double& gln) {
    gln = LogGamma(a);
    double gold = 0.0;
    double a0 = 1.0;
    double a1 = x;
    double b0 = 0.0;
    double b1 = 1.0;
    double fac = 1.0;
    for (int n = 1; n <= ITMAX; ++n) {
        const double an = n;
        const double ana = an - a;
        a0 = (a1 + a0 * ana) * fac;
        b0 = (b1 + b0 * ana) * fac;
        const double anf = an * fac;
        a1 = x * a0 + anf * a1;
        b1 = x * b0 + anf * b1;
        if (a1 != 0.0) {
            fac = 1.0 / a1;
            const double g = b1 * fac;
            if (std::fabs((g - gold) / g) < EPS) {
                return std::exp(-x + a * std::log(x) - gln) * g;
            }
            gold = g;
        }
    }
    throw EVeltrioError("pause in GCF - a too large, itmax too small");
}

double GAMMP(double a, double x) {
    if (!(x >= 0.0 && a > 0.0)) {
        throw EVeltrioError("pause in GAMMP - invalid arguments");
    }
    double gln = 0.0;
    if (x < a + 1.0) {
        return GSER(a, x, gln);
    }
    return 1.0 - GCF(a, x, gln);
}

double RTBIS(const std::function<double(double)>& f, double x1, double x2, double xacc) {
    double fmid = f(x2);
    const double f1 = f(x1);
    // Written so that a NaN value counts as not bracketed.
    if (!(f1 * fmid < 0.0)) {
        throw ERTBisException("Root must be bracketed for bisection.");
    }
    double r = 0.0;
    double dx = 0.0;
    if (f1 < 0.0) {
        r = x1;
        dx = x2 - x1;
    } else {
        r = x2;
        dx = x1 - x2;
    }
    for (int j = 1; j <= JMAX; ++j) {
        dx = dx * 0.5;
        const double xmid = r + dx;
        fmid = f(xmid);
        if (fmid <= 0.0) {
            r = xmid;
        }
        if (std::fabs(dx) < xacc || fmid == 0.0) {
            return r;
        }
    }
    throw ERTBisException("RTBIS: Too many bisections.");
}

} // namespace veltrio
