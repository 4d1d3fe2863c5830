// Arguments outside the domains, for every public function: each raises its
// named error (or the general error of the program) or returns −99; none
// returns a number silently. Run under the address and undefined-behaviour
// sanitizers this also shows that none of them reads out of bounds.
#include "numerics/CriticalValues.h"
#include "numerics/Distributions.h"
#include "numerics/GammaBeta.h"
#include "numerics/Stat.h"

#include "base/Missing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <tuple>

namespace veltrio {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// Runs call and expects an exception of type E with the given message (any
// message when it is empty).
template <typename E>
void ExpectRaises(const std::function<void()>& call, const std::string& message,
                  const std::string& what) {
    try {
        call();
        ADD_FAILURE() << what << ": no exception";
    } catch (const E& e) {
        if (!message.empty()) {
            EXPECT_EQ(std::string(e.what()), message) << what;
        }
    } catch (const std::exception& e) {
        ADD_FAILURE() << what << ": wrong exception: " << e.what();
    }
}

TEST(BadInputs, BETAIWithXOutsideTheUnitInterval) {
    for (double x : {-1e-12, -1.0, 1.0 + 1e-12, 2.0, NaN, Inf, -Inf}) {
        ExpectRaises<EBetaIException>([x] { BETAI(2.0, 3.0, x); }, "BETAI: x not in [0..1]",
                                      "BETAI x=" + std::to_string(x));
    }
}

TEST(BadInputs, BETAIWithShapesThatAreNotPositive) {
    // With a zero shape the arithmetic would divide zero by zero.
    for (auto [a, b] :
         {std::pair{0.0, 1.0}, std::pair{1.0, 0.0}, std::pair{-1.0, 2.0}, std::pair{NaN, 2.0}}) {
        ExpectRaises<EVeltrioError>([a, b] { BETAI(a, b, 0.5); }, "",
                                    "BETAI a=" + std::to_string(a));
        ExpectRaises<EVeltrioError>([a, b] { BETAI(a, b, 0.0); }, "", "BETAI at 0");
    }
}

TEST(BadInputs, BETACFOutsideTheDomainOfBETAI) {
    // BETACF is the raw factor and checks nothing itself (BETAI does): outside
    // the domain it still yields a finite number or its own error, never NaN
    // or another failure.
    for (auto [a, b, x] :
         {std::tuple{-1.0, 2.0, 0.5}, std::tuple{0.0, 2.0, 0.5}, std::tuple{2.0, 0.0, 0.5},
          std::tuple{2.0, 3.0, -0.5}, std::tuple{2.0, 3.0, 1.5}, std::tuple{2.0, 3.0, NaN},
          std::tuple{-0.5, -0.5, 0.3}}) {
        try {
            EXPECT_TRUE(std::isfinite(BETACF(a, b, x))) << a << ", " << b << ", " << x;
        } catch (const EBetaCFException& e) {
            EXPECT_STREQ(e.what(), "a or b too big, or itmax too small");
        }
    }
}

TEST(BadInputs, LogGammaOfNonPositiveArguments) {
    for (double x : {0.0, -0.5, -3.0, NaN}) {
        ExpectRaises<EVeltrioError>([x] { LogGamma(x); }, "", "LogGamma " + std::to_string(x));
    }
}

TEST(BadInputs, GammaFunctionsWithInvalidArguments) {
    const std::string gammp = "pause in GAMMP - invalid arguments";
    for (auto [a, x] : {std::pair{0.0, 1.0}, std::pair{-2.0, 1.0}, std::pair{1.0, -1e-9},
                        std::pair{1.0, NaN}, std::pair{NaN, 1.0}}) {
        ExpectRaises<EVeltrioError>([a, x] { GAMMP(a, x); }, gammp, "GAMMP");
    }
    double gln = 0.0;
    ExpectRaises<EVeltrioError>([&] { GSER(2.0, -1.0, gln); }, "pause in GSER - x less than 0",
                                "GSER");
    // A shape that is not positive has no ln Γ.
    ExpectRaises<EVeltrioError>([&] { GSER(0.0, 1.0, gln); }, "", "GSER a=0");
    ExpectRaises<EVeltrioError>([&] { GCF(-1.0, 1.0, gln); }, "", "GCF a=-1");
    ExpectRaises<EVeltrioError>([&] { GSER(2.0, NaN, gln); },
                                "pause in GSER - a too large, itmax too small", "GSER x=NaN");
}

TEST(BadInputs, RTBISWithoutABracketOrWithNaN) {
    const auto nan = [](double) { return NaN; };
    ExpectRaises<ERTBisException>([&] { RTBIS(nan, 0.0, 1.0, 1e-3); },
                                  "Root must be bracketed for bisection.", "RTBIS NaN");
    const auto sq = [](double x) { return x * x + 1.0; };
    ExpectRaises<ERTBisException>([&] { RTBIS(sq, -1.0, 1.0, 1e-3); },
                                  "Root must be bracketed for bisection.", "RTBIS no root");
}

TEST(BadInputs, FOperationsWithBadCountsOrVariances) {
    struct Case {
        int na, nb;
        double va, vb;
    };
    using FOperation = void (*)(int, int, double, double, double&, double&);
    for (FOperation op : {&FTestProbability, &FTestProbabilityTwoSided, &FRatioProbability}) {
        for (const Case& c : {Case{1, 5, 1.0, 2.0}, Case{5, 1, 1.0, 2.0}, Case{0, 5, 1.0, 2.0},
                              Case{-3, 5, 1.0, 2.0}, Case{5, 5, -1.0, 2.0}, Case{5, 5, 1.0, -2.0},
                              Case{5, 5, 0.0, 2.0}, Case{5, 5, 1.0, 0.0}, Case{5, 5, 0.0, 0.0},
                              Case{5, 5, NaN, 1.0}, Case{5, 5, 1.0, Inf}}) {
            double F = 0.0;
            double p = 0.0;
            ExpectRaises<EVeltrioError>([&] { op(c.na, c.nb, c.va, c.vb, F, p); }, "",
                                        "F operation " + std::to_string(c.na) + "," +
                                            std::to_string(c.nb) + "," + std::to_string(c.va) +
                                            "," + std::to_string(c.vb));
        }
    }
}

TEST(BadInputs, StudentAndChiSquareWithoutDegreesOfFreedom) {
    for (int nu : {0, -1, -400}) {
        ExpectRaises<EVeltrioError>([nu] { StudentProbability(nu, 1.0); }, "",
                                    "StudentProbability");
        ExpectRaises<EVeltrioError>([nu] { StudentQuantile95(nu); }, "", "StudentQuantile95");
        ExpectRaises<EVeltrioError>([nu] { ChiSquareProbability(nu, 1.0); },
                                    "pause in GAMMP - invalid arguments", "ChiSquareProbability");
    }
    ExpectRaises<EBetaIException>([] { StudentProbability(5, NaN); }, "BETAI: x not in [0..1]",
                                  "t=NaN");
    // A negative chi-square value (only rounding can produce one).
    ExpectRaises<EVeltrioError>([] { ChiSquareProbability(3, -1e-12); },
                                "pause in GAMMP - invalid arguments", "chi-square x<0");
}

TEST(BadInputs, CriticalValuesOutsideTheTables) {
    // Every lookup is defined for any integers: a value or −99, never a read
    // outside a table.
    for (int n : {-100, -1, 0, 1, 2, 10, 11, 20, 21, 1000}) {
        for (int p : {-100, -1, 0, 1, 2, 40, 41, 150, 151, 400, 401, 100000}) {
            for (TSignificanceLevel level :
                 {TSignificanceLevel::OnePercent, TSignificanceLevel::FivePercent}) {
                const double c = CochranCriticalValue(n, p, level);
                EXPECT_TRUE(c == MissingValue || (c > 0.0 && c <= 1.1f)) << n << ", " << p;
                EXPECT_EQ(c == MissingValue, n < 2) << n << ", " << p;
            }
        }
    }
    for (TGrubbsKind kind : {TGrubbsKind::Single, TGrubbsKind::Double}) {
        for (int p : {-100, -1, 0, 1, 2, 3, 147, 148, 149, 150, 400, 401, 100000}) {
            const double g = GrubbsCriticalValue(kind, p, TSignificanceLevel::OnePercent);
            EXPECT_EQ(g == MissingValue, p > 400 || (kind == TGrubbsKind::Double && p == 3)) << p;
        }
    }
}

TEST(BadInputs, StatisticsHelpersWithoutEnoughValues) {
    TStat empty;
    EXPECT_EQ(empty.Median(), MissingValue);
    EXPECT_EQ(empty.Avg(), MissingValue);
    EXPECT_EQ(empty.Std(), 0.0);

    TStatObject none;
    EXPECT_EQ(none.Median(), MissingValue);
    EXPECT_EQ(none.Percentile(50), MissingValue);
    EXPECT_EQ(none.SD(), 0.0);

    TStatObject six;
    for (double x : {3.0, 1.0, 4.0, 1.0, 5.0, 9.0}) {
        six.Add(x);
    }
    for (int a : {-1, 101, 1000, -1000}) {
        EXPECT_EQ(six.Percentile(a), MissingValue) << a;
    }

    TStatObject notKept;
    notKept.KeepValues = false;
    for (double x : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0}) {
        notKept.Add(x);
    }
    EXPECT_EQ(notKept.Count(), 7);
    EXPECT_EQ(notKept.Median(), MissingValue);
    EXPECT_EQ(notKept.Percentile(25), MissingValue);
    EXPECT_EQ(notKept.SD(), MissingValue);
}

} // namespace
} // namespace veltrio
