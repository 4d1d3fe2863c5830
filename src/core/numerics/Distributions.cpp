#include "numerics/Distributions.h"

#include "numerics/GammaBeta.h"

#include <cmath>
#include <string>

namespace veltrio {

namespace {

void CheckFArguments(const char* routine, int na, int nb, double va, double vb) {
    const bool countsOk = na >= 2 && nb >= 2;
    const bool variancesOk = va > 0.0 && vb > 0.0 && std::isfinite(va) && std::isfinite(vb);
    if (!countsOk || !variancesOk) {
        throw EVeltrioError(std::string(routine) +
                            ": counts must be at least 2 and variances positive");
    }
}

// Orders the variances larger over smaller; ν1 belongs to the numerator.
void LargerOverSmaller(int na, int nb, double va, double vb, double& F, double& nu1, double& nu2) {
    if (va > vb) {
        F = va / vb;
        nu1 = na - 1;
        nu2 = nb - 1;
    } else {
        F = vb / va;
        nu1 = nb - 1;
        nu2 = na - 1;
    }
}

double UpperTail(double F, double nu1, double nu2) {
    return BETAI(nu2 / 2.0, nu1 / 2.0, nu2 / (nu2 + nu1 * F));
}

} // namespace

void FTestProbability(int na, int nb, double va, double vb, double& F, double& p) {
    CheckFArguments("FTestProbability", na, nb, va, vb);
    double nu1 = 0.0;
    double nu2 = 0.0;
    LargerOverSmaller(na, nb, va, vb, F, nu1, nu2);
    p = UpperTail(F, nu1, nu2);
}

void FTestProbabilityTwoSided(int na, int nb, double va, double vb, double& F, double& p) {
    CheckFArguments("FTestProbabilityTwoSided", na, nb, va, vb);
    double nu1 = 0.0;
    double nu2 = 0.0;
    LargerOverSmaller(na, nb, va, vb, F, nu1, nu2);
    // Both terms are the upper tail, one computed through the lower tail of the
    // reciprocal; the sum is kept as it stands because it fixes the last digits.
    p = (1.0 - BETAI(nu1 / 2.0, nu2 / 2.0, nu1 / (nu1 + nu2 / F))) + UpperTail(F, nu1, nu2);
}

void FRatioProbability(int na, int nb, double va, double vb, double& F, double& p) {
    CheckFArguments("FRatioProbability", na, nb, va, vb);
    F = va / vb;
    p = UpperTail(F, na - 1, nb - 1);
}

double StudentProbability(int nu, double t) {
    if (nu < 1) {
        throw EVeltrioError("StudentProbability: degrees of freedom must be at least 1");
    }
    const double v = nu;
    return 1.0 - BETAI(v / 2.0, 0.5, v / (v + t * t));
}

double StudentQuantile95(int nu) {
    switch (nu) {
    case 1:
        return 12.71;
    case 2:
        return 4.3;
    case 3:
        return 3.18;
    case 4:
        return 2.78;
    default:
        break;
    }
    if (nu < 1) {
        throw EVeltrioError("StudentQuantile95: degrees of freedom must be at least 1");
    }
    return RTBIS([nu](double t) { return StudentProbability(nu, t) - 0.95; }, 1.9, 2.7, 0.001);
}

double ChiSquareProbability(int nu, double x) {
    return GAMMP(nu / 2.0, x / 2.0);
}

} // namespace veltrio
