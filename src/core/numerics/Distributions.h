#pragma once

namespace veltrio {

// Probability functions of the F, Student t and chi-square distributions.
//
// The three F operations take counts, not degrees of freedom: they use na − 1
// and nb − 1, so a caller that holds degrees of freedom d passes d + 1. Counts
// below 2 and variances that are not positive and finite raise EVeltrioError.

// F = larger variance over smaller (vb/va when they are equal) and its upper-tail
// probability P(F(ν1, ν2) > F), ν1 belonging to the larger variance.
void FTestProbability(int na, int nb, double va, double vb, double& F, double& p);

// F as in FTestProbability and twice its upper-tail probability. Meant for equal
// counts; with unequal counts the result can exceed 1 and is passed on as it is.
void FTestProbabilityTwoSided(int na, int nb, double va, double vb, double& F, double& p);

// F = va / vb without reordering and P(F(na − 1, nb − 1) > F).
void FRatioProbability(int na, int nb, double va, double vb, double& F, double& p);

// Probability that a Student variable with ν degrees of freedom lies in
// [−|t|, |t|]; 1 minus it is the two-sided p-value of t. ν ≥ 1.
double StudentProbability(int nu, double t);

// The two-sided 95 % quantile t(0.975; ν) for ν ≥ 1: fixed values for ν ≤ 4,
// otherwise found by bisection to within 0.001 (never above the true value).
double StudentQuantile95(int nu);

// Probability that a chi-square variable with ν degrees of freedom is ≤ x.
double ChiSquareProbability(int nu, double x);

} // namespace veltrio
