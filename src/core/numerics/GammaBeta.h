#pragma once

#include "numerics/NumericErrors.h"

#include <functional>

namespace veltrio {

// The classical special functions on which every significance test rests. The
// iteration limits and tolerances are fixed: they determine the printed
// probabilities, so they must not be "improved".

// ln Γ(x) by the six-term Lanczos series; x > 0 (otherwise EVeltrioError).
double LogGamma(double x);

// Continued-fraction factor of the incomplete beta function (100 iterations,
// relative tolerance 3e-7). Raises EBetaCFException when it does not converge.
double BETACF(double a, double b, double x);

// Regularised incomplete beta function I_x(a, b). Raises EBetaIException when x
// lies outside [0, 1] (or is NaN), and EVeltrioError when a or b is not
// positive, where the arithmetic would divide zero by zero.
double BETAI(double a, double b, double x);

// P(a, x) by its series; `gln` receives ln Γ(a). Raises EVeltrioError for
// x < 0 and when the series does not converge in 100 terms.
double GSER(double a, double x, double& gln);

// Q(a, x) = 1 − P(a, x) by its continued fraction; `gln` receives ln Γ(a).
// Raises EVeltrioError when it does not converge in 100 iterations.
double GCF(double a, double x, double& gln);

// Regularised lower incomplete gamma function P(a, x); a > 0, x ≥ 0, otherwise
// EVeltrioError.
double GAMMP(double a, double x);

// A root of f between x1 and x2 by bisection to within xacc (at most 40
// halvings). The result is always a point where f is negative (or zero).
// Raises ERTBisException when the root is not bracketed or not reached.
double RTBIS(const std::function<double(double)>& f, double x1, double x2, double xacc);

} // namespace veltrio
