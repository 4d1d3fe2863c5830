// The distribution functions against Boost.Math over degrees of freedom 1 …
// 400 and probabilities 1e-6 … 1 − 1e-6. The arguments are Boost's quantiles
// of the grid probabilities; the references are Boost's distribution functions
// at those arguments. The underlying routines converge to 3e-7 (relative); the
// bounds asserted are the agreement measured over the grid, rounded up.
#include "numerics/Distributions.h"

#include "Grid.h"

#include <boost/math/distributions/chi_squared.hpp>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <gtest/gtest.h>

#include <cmath>

namespace veltrio {
namespace {

using boost::math::cdf;
using boost::math::complement;
using boost::math::quantile;
using test::DegreesOfFreedom;
using test::Probabilities;

// What callers use is the upper-tail probability (the p-value: p of the F
// operations, 1 − StudentProbability, 1 − ChiSquareProbability). Measured over
// the grid, against Boost:
//   F, F ratio, Student: p-value relative error 1.8e-7, absolute 2.6e-8;
//   chi-square:          p-value relative error 7.2e-7, absolute 3.6e-7 (the
//                        series for P(a, x) stops at a relative step of 3e-7,
//                        and near the median of 300 or 400 degrees of freedom
//                        its remaining terms add up to about twice that);
//   two-sided F:         relative error 4.2e-6 at 1 degree of freedom and
//                        p = 1e-6, where its first term evaluates the
//                        incomplete beta at x = ν1/(ν1 + ν2/F) within 1e-12 of 1
//                        and the rounding of x itself shows; elsewhere as F.
// The bounds asserted are these figures rounded up.
constexpr double PValueRelative = 4e-7;
constexpr double Absolute = 1e-7;

struct Agreement {
    double relativeBound = PValueRelative;
    double absoluteBound = Absolute;
    double relative = 0.0;
    double absolute = 0.0;
    // value and reference are the returned probability; the p-values are the
    // upper tails derived from them.
    void Check(double value, double reference, double pValue, double pReference) {
        const double rel = test::RelativeError(pValue, pReference);
        const double abs = std::fabs(value - reference);
        relative = std::max(relative, rel);
        absolute = std::max(absolute, abs);
        EXPECT_LT(rel, relativeBound);
        EXPECT_LT(abs, absoluteBound);
    }
    void Record() const {
        ::testing::Test::RecordProperty("max_p_value_relative_error", test::Figure(relative));
        ::testing::Test::RecordProperty("max_absolute_error", test::Figure(absolute));
    }
};

// The F value whose upper tail under F(d1, d2) is prob.
double UpperFQuantile(int d1, int d2, double prob) {
    const boost::math::fisher_f dist(d1, d2);
    return test::Invert([&](double f) { return cdf(complement(dist, f)); }, prob, 1e-300, 1e300);
}

TEST(FTestProbability, AgreesWithBoostOverTheGrid) {
    Agreement agreement;
    for (int d1 : DegreesOfFreedom()) {
        for (int d2 : DegreesOfFreedom()) {
            for (double prob : Probabilities()) {
                const double f = UpperFQuantile(d1, d2, prob);
                if (f < 1.0) {
                    continue; // the larger variance is always on top
                }
                const double ref = cdf(complement(boost::math::fisher_f(d1, d2), f));
                double F = 0.0;
                double p = 0.0;
                FTestProbability(d1 + 1, d2 + 1, f, 1.0, F, p);
                EXPECT_DOUBLE_EQ(F, f);
                SCOPED_TRACE(::testing::Message() << d1 << ", " << d2 << ", F=" << f);
                agreement.Check(p, ref, p, ref);
            }
        }
    }
    agreement.Record();
}

TEST(FRatioProbability, AgreesWithBoostOverTheGridOnBothSidesOfOne) {
    Agreement agreement;
    for (int d1 : DegreesOfFreedom()) {
        for (int d2 : DegreesOfFreedom()) {
            for (double prob : Probabilities()) {
                const double f = UpperFQuantile(d1, d2, prob);
                const double ref = cdf(complement(boost::math::fisher_f(d1, d2), f));
                double F = 0.0;
                double p = 0.0;
                FRatioProbability(d1 + 1, d2 + 1, f, 1.0, F, p);
                EXPECT_DOUBLE_EQ(F, f);
                SCOPED_TRACE(::testing::Message() << d1 << ", " << d2 << ", F=" << f);
                agreement.Check(p, ref, p, ref);
            }
        }
    }
    agreement.Record();
}

TEST(FTestProbabilityTwoSided, IsTwiceTheUpperTailForEqualCounts) {
    Agreement agreement{5e-6, Absolute};
    for (int d : DegreesOfFreedom()) {
        for (double prob : Probabilities()) {
            if (prob > 0.5) {
                continue; // F ≥ 1
            }
            const double f = UpperFQuantile(d, d, prob);
            const double ref = 2.0 * cdf(complement(boost::math::fisher_f(d, d), f));
            double F = 0.0;
            double p = 0.0;
            FTestProbabilityTwoSided(d + 1, d + 1, 1.0, f, F, p);
            EXPECT_DOUBLE_EQ(F, f);
            SCOPED_TRACE(::testing::Message() << d << ", F=" << f);
            agreement.Check(p, ref, p, ref);
        }
    }
    agreement.Record();
}

TEST(StudentProbability, AgreesWithBoostOverTheGrid) {
    Agreement agreement;
    for (int nu : DegreesOfFreedom()) {
        const boost::math::students_t dist(nu);
        for (double prob : Probabilities()) {
            // prob is the two-sided tail 1 − A(t | ν).
            const double t = quantile(complement(dist, prob / 2.0));
            const double tail = 2.0 * cdf(complement(dist, t));
            const double a = StudentProbability(nu, t);
            SCOPED_TRACE(::testing::Message() << nu << ", t=" << t);
            agreement.Check(a, 1.0 - tail, 1.0 - a, tail);
            // The sign of t does not matter.
            EXPECT_EQ(StudentProbability(nu, -t), a);
        }
    }
    agreement.Record();
}

TEST(ChiSquareProbability, AgreesWithBoostOverTheGrid) {
    Agreement agreement{1e-6, 5e-7};
    for (int nu : DegreesOfFreedom()) {
        const boost::math::chi_squared dist(nu);
        for (double prob : Probabilities()) {
            const double x = quantile(complement(dist, prob));
            const double tail = cdf(complement(dist, x));
            const double c = ChiSquareProbability(nu, x);
            SCOPED_TRACE(::testing::Message() << nu << ", x=" << x);
            agreement.Check(c, 1.0 - tail, 1.0 - c, tail);
        }
    }
    agreement.Record();
}

TEST(StudentProbability, ZeroAtZeroAndTowardsOneForLargeT) {
    for (int nu : DegreesOfFreedom()) {
        EXPECT_EQ(StudentProbability(nu, 0.0), 0.0);
        EXPECT_GT(StudentProbability(nu, 1e8), 1.0 - 1e-6);
    }
}

TEST(ChiSquareProbability, RisesFromZeroTowardsOne) {
    for (int nu : {1, 16, 400}) {
        double last = ChiSquareProbability(nu, 0.0);
        EXPECT_EQ(last, 0.0);
        for (double x = 0.25; x < 3.0 * nu + 40.0; x *= 1.5) {
            const double next = ChiSquareProbability(nu, x);
            EXPECT_GE(next, last) << nu << ", " << x;
            last = next;
        }
        EXPECT_GT(last, 1.0 - 1e-6);
    }
}

TEST(StudentQuantile95, FixedValuesForFewDegreesOfFreedom) {
    EXPECT_EQ(StudentQuantile95(1), 12.71);
    EXPECT_EQ(StudentQuantile95(2), 4.3);
    EXPECT_EQ(StudentQuantile95(3), 3.18);
    EXPECT_EQ(StudentQuantile95(4), 2.78);
}

TEST(StudentQuantile95, WithinOneThousandthBelowBoostFrom5To400) {
    double worst = 0.0;
    for (int nu = 5; nu <= 400; ++nu) {
        const double ref = quantile(boost::math::students_t(nu), 0.975);
        const double t = StudentQuantile95(nu);
        // Bisection keeps the point where the function is still negative.
        EXPECT_LE(t, ref) << nu;
        EXPECT_LT(ref - t, 0.001) << nu;
        worst = std::max(worst, ref - t);
    }
    EXPECT_NEAR(StudentQuantile95(5), 2.571, 0.001);
    EXPECT_NEAR(StudentQuantile95(100000), 1.96, 0.001);
    RecordProperty("max_error", test::Figure(worst));
}

struct FCase {
    int na, nb;
    double va, vb;
};

TEST(FTestProbability, EqualVariancesTakeTheSecondAsNumerator) {
    // F = 1 with ν1 = nb − 1 and ν2 = na − 1: P(F(9, 3) > 1).
    double F = 0.0;
    double p = 0.0;
    FTestProbability(4, 10, 2.5, 2.5, F, p);
    EXPECT_EQ(F, 1.0);
    EXPECT_NEAR(p, cdf(complement(boost::math::fisher_f(9, 3), 1.0)), 1e-6);
}

TEST(FTestProbability, DoesNotDependOnTheOrderOfTheSamples) {
    for (const FCase& c :
         {FCase{4, 10, 1.0, 3.5}, FCase{21, 7, 0.2, 0.05}, FCase{3, 3, 8.0, 1.0}}) {
        double F1 = 0.0, p1 = 0.0, F2 = 0.0, p2 = 0.0;
        FTestProbability(c.na, c.nb, c.va, c.vb, F1, p1);
        FTestProbability(c.nb, c.na, c.vb, c.va, F2, p2);
        EXPECT_GE(F1, 1.0);
        EXPECT_EQ(F1, F2);
        EXPECT_EQ(p1, p2);
    }
}

TEST(FRatioProbability, KeepsTheOrderOfTheVariances) {
    double F = 0.0;
    double p = 0.0;
    FRatioProbability(5, 12, 1.0, 4.0, F, p);
    EXPECT_EQ(F, 0.25);
    EXPECT_NEAR(p, cdf(complement(boost::math::fisher_f(4, 11), 0.25)), 1e-6);
    EXPECT_GT(p, 0.5);
}

TEST(FTestProbabilityTwoSided, IsOneForEqualVariances) {
    for (int n : {2, 3, 11, 401}) {
        double F = 0.0;
        double p = 0.0;
        FTestProbabilityTwoSided(n, n, 0.7, 0.7, F, p);
        EXPECT_EQ(F, 1.0);
        EXPECT_NEAR(p, 1.0, 1e-6) << n;
    }
}

TEST(FTestProbabilityTwoSided, UnequalCountsPassTwiceTheTailOn) {
    // Twice the upper tail, even where that exceeds 1.
    double F = 0.0;
    double p = 0.0;
    FTestProbabilityTwoSided(3, 30, 1.0, 1.0, F, p);
    const double ref = 2.0 * cdf(complement(boost::math::fisher_f(29, 2), 1.0));
    EXPECT_GT(ref, 1.0);
    EXPECT_NEAR(p, ref, 1e-6);
}

} // namespace
} // namespace veltrio
