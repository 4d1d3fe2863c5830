// Critical values of the Cochran and Grubbs tests: spot values from ISO
// 5725-2:1994 Tables 4 and 5, the F and t formulas (Boost.Math) behind them,
// the extensions beyond the tables, and the generated rows against the files
// that the generating script wrote.
#include "numerics/CriticalValues.h"

#include "base/Missing.h"

#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace veltrio {
namespace {

constexpr auto P1 = TSignificanceLevel::OnePercent;
constexpr auto P5 = TSignificanceLevel::FivePercent;
constexpr auto Single = TGrubbsKind::Single;
constexpr auto Double = TGrubbsKind::Double;

// The tables hold single-precision numbers.
double Stored(double printed) {
    return static_cast<float>(printed);
}

// Upper critical value of Cochran's C from the F distribution.
double CochranFromF(double alpha, int n, int p) {
    const boost::math::fisher_f dist(n - 1, (n - 1) * (p - 1));
    const double f = quantile(complement(dist, alpha / p));
    return 1.0 / (1.0 + (p - 1) / f);
}

// Upper critical value of the single Grubbs statistic (two-sided level alpha).
double GrubbsSingleFromT(double alpha, int p) {
    const double t = quantile(complement(boost::math::students_t(p - 2), alpha / (2.0 * p)));
    return (p - 1) / std::sqrt(p) * std::sqrt(t * t / (p - 2 + t * t));
}

struct Spot {
    int n, p;
    double c1, c5;
};

TEST(CochranCriticalValue, SpotValuesOfIso5725_2Table4) {
    // ISO 5725-2:1994, Table 4 — Critical values for Cochran's test.
    for (const Spot& s :
         {Spot{2, 3, 0.993, 0.967}, Spot{2, 40, 0.294, 0.237}, Spot{3, 2, 0.995, 0.975},
          Spot{3, 10, 0.536, 0.445}, Spot{4, 20, 0.265, 0.220}, Spot{5, 7, 0.508, 0.431},
          Spot{6, 13, 0.291, 0.246}, Spot{6, 40, 0.113, 0.097}}) {
        EXPECT_EQ(CochranCriticalValue(s.n, s.p, P1), Stored(s.c1)) << s.n << ", " << s.p;
        EXPECT_EQ(CochranCriticalValue(s.n, s.p, P5), Stored(s.c5)) << s.n << ", " << s.p;
    }
}

TEST(CochranCriticalValue, StandardsTableFollowsTheFFormulaToItsDigits) {
    // Every cell of ISO 5725-2 Table 4 (3 decimals) is within rounding of the
    // F-distribution formula; a mistyped cell would stand out.
    for (int n = 2; n <= 6; ++n) {
        for (int p = (n == 2 ? 3 : 2); p <= 40; ++p) {
            EXPECT_NEAR(CochranCriticalValue(n, p, P1), CochranFromF(0.01, n, p), 0.001)
                << n << ", " << p;
            EXPECT_NEAR(CochranCriticalValue(n, p, P5), CochranFromF(0.05, n, p), 0.001)
                << n << ", " << p;
        }
    }
}

TEST(CochranCriticalValue, EdgeCasesOfTheLookup) {
    // n = 2, p = 2: a value no Cochran statistic can exceed.
    EXPECT_EQ(CochranCriticalValue(2, 2, P1), Stored(1.1));
    EXPECT_EQ(CochranCriticalValue(2, 2, P5), Stored(1.1));
    // Power law beyond 40 laboratories.
    EXPECT_DOUBLE_EQ(CochranCriticalValue(4, 60, P5), std::exp(0.93595 - 0.81870 * std::log(60.0)));
    EXPECT_NEAR(CochranCriticalValue(4, 60, P5), 0.089, 0.0005);
    EXPECT_DOUBLE_EQ(CochranCriticalValue(10, 150, P1),
                     std::exp(0.77397 - 0.87915 * std::log(150.0)));
    // Outside 2 … 150 laboratories the value of 150.
    for (int p : {500, 151, 1, 0, -3}) {
        EXPECT_EQ(CochranCriticalValue(4, p, P5), CochranCriticalValue(4, 150, P5)) << p;
        EXPECT_EQ(CochranCriticalValue(12, p, P1), CochranCriticalValue(12, 150, P1)) << p;
    }
    // Fewer than 2 replicates: no test.
    for (int n : {1, 0, -5}) {
        EXPECT_EQ(CochranCriticalValue(n, 10, P1), MissingValue);
    }
}

TEST(CochranCriticalValue, NeverMissingAndOrderedForTwoToTenReplicates) {
    for (int n = 2; n <= 10; ++n) {
        for (int p = -2; p <= 200; ++p) {
            const double c1 = CochranCriticalValue(n, p, P1);
            const double c5 = CochranCriticalValue(n, p, P5);
            ASSERT_NE(c1, MissingValue);
            EXPECT_GT(c1, 0.0);
            EXPECT_GE(c1, c5) << n << ", " << p;
        }
    }
}

TEST(CochranCriticalValue, ManyReplicatesFollowTheFFormula) {
    for (int n = 11; n <= 20; ++n) {
        for (int p = 2; p <= 150; ++p) {
            EXPECT_NEAR(CochranCriticalValue(n, p, P1), CochranFromF(0.01, n, p), 6e-5)
                << n << ", " << p;
            EXPECT_NEAR(CochranCriticalValue(n, p, P5), CochranFromF(0.05, n, p), 6e-5)
                << n << ", " << p;
        }
    }
    // Beyond 20 replicates the value of 20.
    EXPECT_EQ(CochranCriticalValue(50, 30, P5), CochranCriticalValue(20, 30, P5));
}

struct GrubbsSpot {
    int p;
    double s1, s5, d1, d5;
};

TEST(GrubbsCriticalValue, SpotValuesOfIso5725_2Table5) {
    // ISO 5725-2:1994, Table 5 — Critical values for Grubbs' test.
    for (const GrubbsSpot& s :
         {GrubbsSpot{4, 1.496, 1.481, 0.0000, 0.0002}, GrubbsSpot{5, 1.764, 1.715, 0.0018, 0.0090},
          GrubbsSpot{10, 2.482, 2.290, 0.1150, 0.1864},
          GrubbsSpot{20, 3.001, 2.709, 0.3585, 0.4391},
          GrubbsSpot{40, 3.381, 3.036, 0.5862, 0.6445}}) {
        EXPECT_EQ(GrubbsCriticalValue(Single, s.p, P1), Stored(s.s1)) << s.p;
        EXPECT_EQ(GrubbsCriticalValue(Single, s.p, P5), Stored(s.s5)) << s.p;
        EXPECT_EQ(GrubbsCriticalValue(Double, s.p, P1), Stored(s.d1)) << s.p;
        EXPECT_EQ(GrubbsCriticalValue(Double, s.p, P5), Stored(s.d5)) << s.p;
    }
    EXPECT_EQ(GrubbsCriticalValue(Single, 3, P1), Stored(1.155));
}

TEST(GrubbsCriticalValue, SingleValuesFollowTheTFormula) {
    // The standard's values within a rounding unit of their 3 decimals. Beyond
    // p = 40 the rows held by the program drift up to 0.002 from the formula
    // (at p = 140, 5 %: 3.493 against 3.4951), so the bound there is 0.002
    // between the table and the formula taken to the table's 3 decimals.
    const auto round3 = [](double x) { return std::round(x * 1000.0) / 1000.0; };
    for (int p = 3; p <= 147; ++p) {
        for (auto [level, alpha] : {std::pair{P1, 0.01}, std::pair{P5, 0.05}}) {
            const double value = GrubbsCriticalValue(Single, p, level);
            const double formula = GrubbsSingleFromT(alpha, p);
            if (p <= 40) {
                EXPECT_NEAR(value, formula, 0.001) << p;
            } else {
                EXPECT_NEAR(value, round3(formula), 0.002 + 1e-6) << p;
            }
        }
    }
}

TEST(GrubbsCriticalValue, RowsHeldBeyondTheStandard) {
    EXPECT_EQ(GrubbsCriticalValue(Single, 41, P1), Stored(3.393));
    EXPECT_EQ(GrubbsCriticalValue(Single, 100, P5), Stored(3.383));
    EXPECT_EQ(GrubbsCriticalValue(Single, 147, P1), Stored(3.883));
    EXPECT_EQ(GrubbsCriticalValue(Double, 41, P1), Stored(0.5932));
    EXPECT_EQ(GrubbsCriticalValue(Double, 100, P5), Stored(0.8192));
    EXPECT_EQ(GrubbsCriticalValue(Double, 149, P1), Stored(0.8465));
    EXPECT_EQ(GrubbsCriticalValue(Double, 149, P5), Stored(0.8677));
}

TEST(GrubbsCriticalValue, EdgeCasesOfTheLookup) {
    EXPECT_EQ(GrubbsCriticalValue(Double, 3, P1), MissingValue);
    EXPECT_EQ(GrubbsCriticalValue(Double, 3, P5), MissingValue);
    // The straight line outside the single table.
    EXPECT_DOUBLE_EQ(GrubbsCriticalValue(Single, 200, P1), 4.032112);
    EXPECT_DOUBLE_EQ(GrubbsCriticalValue(Single, 149, P1), 3.892984);
    EXPECT_DOUBLE_EQ(GrubbsCriticalValue(Single, 149, P5), 3.519027);
    EXPECT_DOUBLE_EQ(GrubbsCriticalValue(Single, 400, P5), 0.002669 * 400 + 3.121346);
    EXPECT_DOUBLE_EQ(GrubbsCriticalValue(Single, 2, P1), 0.002728 * 2 + 3.486512);
    // The value of 149 outside the double table.
    for (int p : {150, 300, 400, 2, 0, -7}) {
        EXPECT_EQ(GrubbsCriticalValue(Double, p, P1), GrubbsCriticalValue(Double, 149, P1)) << p;
    }
    // No test above 400 laboratories.
    for (TGrubbsKind kind : {Single, Double}) {
        for (TSignificanceLevel level : {P1, P5}) {
            EXPECT_EQ(GrubbsCriticalValue(kind, 401, level), MissingValue);
            EXPECT_EQ(GrubbsCriticalValue(kind, 100000, level), MissingValue);
        }
    }
}

TEST(GrubbsCriticalValue, TablesRiseSmoothlyWithP) {
    // Single values rise and 1 % lies above 5 %; double values rise and 1 %
    // lies below 5 %. Beyond the standard's table the steps shrink steadily: no
    // step may exceed the one before it by more than a rounding unit or two.
    for (int p = 4; p <= 149; ++p) {
        const double d1 = GrubbsCriticalValue(Double, p, P1);
        const double d5 = GrubbsCriticalValue(Double, p, P5);
        EXPECT_LE(d1, d5) << p;
        EXPECT_GE(d1, GrubbsCriticalValue(Double, p - 1, P1) - 1e-7) << p;
        EXPECT_GE(d5, GrubbsCriticalValue(Double, p - 1, P5) - 1e-7) << p;
        if (p <= 147) {
            EXPECT_GT(GrubbsCriticalValue(Single, p, P1), GrubbsCriticalValue(Single, p, P5)) << p;
            EXPECT_GE(GrubbsCriticalValue(Single, p, P1), GrubbsCriticalValue(Single, p - 1, P1))
                << p;
        }
    }
    for (TSignificanceLevel level : {P1, P5}) {
        for (int p = 41; p <= 147; ++p) {
            const double step =
                GrubbsCriticalValue(Double, p + 1, level) - GrubbsCriticalValue(Double, p, level);
            const double before =
                GrubbsCriticalValue(Double, p, level) - GrubbsCriticalValue(Double, p - 1, level);
            EXPECT_LE(step, before + 0.00025) << p;
        }
    }
}

// Reads the rows "p,v1,v5" (or "n,p,v1,v5") of a file the generating script
// wrote, skipping comments and the header.
std::vector<std::vector<double>> ReadRows(const std::string& name) {
    std::ifstream in(std::string(VELTRIO_SOURCE_DIR) + "/scripts/numerics/" + name);
    EXPECT_TRUE(in.good()) << name;
    std::vector<std::vector<double>> rows;
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (header) {
            header = false;
            continue;
        }
        std::vector<double> row;
        std::stringstream fields(line);
        std::string field;
        while (std::getline(fields, field, ',')) {
            row.push_back(std::stod(field));
        }
        rows.push_back(row);
    }
    return rows;
}

TEST(GeneratedTables, MatchTheFilesTheScriptWrote) {
    const auto single = ReadRows("grubbs_single_41_to_147.csv");
    ASSERT_EQ(single.size(), 107u);
    for (const auto& r : single) {
        const int p = static_cast<int>(r[0]);
        EXPECT_EQ(GrubbsCriticalValue(Single, p, P1), Stored(r[1])) << p;
        EXPECT_EQ(GrubbsCriticalValue(Single, p, P5), Stored(r[2])) << p;
    }
    const auto dbl = ReadRows("grubbs_double_41_to_149.csv");
    ASSERT_EQ(dbl.size(), 109u);
    for (const auto& r : dbl) {
        const int p = static_cast<int>(r[0]);
        EXPECT_EQ(GrubbsCriticalValue(Double, p, P1), Stored(r[1])) << p;
        EXPECT_EQ(GrubbsCriticalValue(Double, p, P5), Stored(r[2])) << p;
    }
    const auto cochran = ReadRows("cochran_11_to_20_replicates.csv");
    ASSERT_EQ(cochran.size(), 10u * 149u);
    for (const auto& r : cochran) {
        const int n = static_cast<int>(r[0]);
        const int p = static_cast<int>(r[1]);
        EXPECT_EQ(CochranCriticalValue(n, p, P1), Stored(r[2])) << n << ", " << p;
        EXPECT_EQ(CochranCriticalValue(n, p, P5), Stored(r[3])) << n << ", " << p;
    }
}

} // namespace
} // namespace veltrio
