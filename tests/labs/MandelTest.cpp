// Mandel's h and k: the statistics of the public data sets against an
// independent calculation in R (scripts/labs/mandel_reference.R, output in
// tests/data/labs/mandel_reference.csv), the marks against the printed
// critical values, which laboratories get a value, the order of the charts
// and their pages.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <numeric>
#include <string>
#include <vector>

#include "PreliminaryFixture.h"
#include "labs/MandelH.h"
#include "labs/MandelK.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

using SL = TSignificanceLevel;

// ISO 5725-2 indicators for p = 3 .. 8 (h: 1 %, 5 %; k with n = 3:
// 1 %, 5 %), as printed, for the marks of the data sets with 7 or 8
// laboratories.
const std::map<int, std::array<double, 4>> PrintedCritical = {
    {3, {1.15, 1.15, 1.64, 1.53}}, {4, {1.49, 1.42, 1.77, 1.59}}, {5, {1.72, 1.57, 1.85, 1.62}},
    {6, {1.87, 1.66, 1.90, 1.64}}, {7, {1.98, 1.71, 1.94, 1.66}}, {8, {2.06, 1.75, 1.97, 1.67}},
};

std::string Stars(double value, double c1, double c5) {
    return std::string(value >= c5 ? "*" : "") + (value >= c1 ? "*" : "");
}

class MandelTest : public PreliminaryFixture {};

// h and k of every laboratory of GLUC_* and PENT_*, with no marks (as a
// study is read) and with the marks of the outlier tests, to 1e-10; the
// mark texts follow from those values and the printed critical values.
TEST_F(MandelTest, ValidationStudiesAsRecomputedInR) {
    const auto rows =
        ReadCsv(std::filesystem::path(VELTRIO_TEST_DATA) / "labs" / "mandel_reference.csv");
    ASSERT_GT(rows.size(), 200u);
    std::map<std::string, std::vector<std::map<std::string, std::string>>> byRun;
    for (const auto& r : rows) {
        byRun[r.at("study") + "/" + r.at("marks")].push_back(r);
    }
    int compared = 0;
    for (const auto& [run, labs] : byRun) {
        const std::string name = run.substr(0, run.find('/'));
        Load(name);
        if (labs.front().at("marks") == "tests") {
            CochranTest(program);
            GrubbsTest(program);
        }
        TMandelH h(program);
        TMandelK k(program);
        h.Calculate();
        k.Calculate();
        std::map<int, int> hCount, kCount;
        for (const auto& r : labs) {
            hCount[std::stoi(r.at("level"))] += r.at("h") == "NA" ? 0 : 1;
            kCount[std::stoi(r.at("level"))] += r.at("k") == "NA" ? 0 : 1;
        }
        for (const auto& r : labs) {
            const int lv = std::stoi(r.at("level"));
            const int lab = std::stoi(r.at("lab"));
            const std::string where = run + " level " + r.at("level") + " lab " + r.at("lab");
            const std::string mark = r.at("mark");
            ASSERT_EQ(std::string(1, study().Level(lv).GetMark(lab)), mark.empty() ? " " : mark)
                << where;
            const double hv = CsvNumber(r.at("h"));
            const double kv = CsvNumber(r.at("k"));
            EXPECT_TRUE(Near(h.Values(lab, lv), hv, 1e-10)) << where;
            EXPECT_TRUE(Near(k.Values(lab, lv), kv, 1e-10)) << where;
            const auto& ch = PrintedCritical.at(hCount[lv]);
            const auto& ck = PrintedCritical.at(kCount[lv]);
            EXPECT_EQ(h.MarkText(lab, lv),
                      (mark == "G" ? "G" : "") + Stars(std::fabs(hv), ch[0], ch[1]))
                << where;
            EXPECT_EQ(k.MarkText(lab, lv), (mark == "C" ? "C" : "") + Stars(kv, ck[2], ck[3]))
                << where;
            ++compared;
        }
        for (const auto& [lv, n] : hCount) {
            EXPECT_EQ(h.ValueCount(lv), n) << run;
            EXPECT_EQ(k.ValueCount(lv), kCount[lv]) << run;
            EXPECT_EQ(h.Critical(lv, SL::OnePercent), PrintedCritical.at(n)[0]) << run;
            EXPECT_EQ(k.Critical(lv, SL::FivePercent), PrintedCritical.at(kCount[lv])[3]) << run;
        }
    }
    EXPECT_EQ(compared, static_cast<int>(rows.size()));
}

// Lab 1..6 of one level with three replicates; the marks and lines below
// change single laboratories.
class MandelCases : public MandelTest {
protected:
    void LoadLevel(const LabRows& rows) { LoadText(false, 3, {rows}); }
};

TEST_F(MandelCases, WhoGetsAValue) {
    LoadLevel({{10, 11, 12},
               {11, 12, 13},
               {12, 12, 12},   // no spread: k = 0
               {13, -99, -99}, // one result: h but no k
               {15, 16, 17},   // Grubbs outlier: scored, not in the reference
               {30, 31, 32},   // excluded by the user: neither
               {9, 10, 11}});  // excluded by the file: neither
    TLevel& level = program.CurrentStudy->Level(1);
    level.SetMark(5, MarkGrubbsOutlier);
    level.SetMark(6, MarkUserExcluded);
    level.SetMark(7, MarkFileExcluded);
    TMandelH h(program);
    TMandelK k(program);
    h.Calculate();
    k.Calculate();
    // Reference of h: the 10 results of labs 1-4 (mean 11.8) and the
    // standard deviation of their means 11, 12, 12, 13.
    const double centre = (33 + 36 + 36 + 13) / 10.0;
    const double sm = std::sqrt(2.0 / 3.0);
    const double means[] = {11, 12, 12, 13, 16};
    for (int lab = 1; lab <= 5; ++lab) {
        EXPECT_NEAR(h.Values(lab, 1), (means[lab - 1] - centre) / sm, 1e-12) << lab;
    }
    EXPECT_EQ(h.Values(6, 1), MissingValue);
    EXPECT_EQ(h.Values(7, 1), MissingValue);
    EXPECT_EQ(h.ValueCount(1), 5);
    EXPECT_EQ(h.MarkText(5, 1).substr(0, 1), "G");
    EXPECT_EQ(h.MarkText(6, 1), "");
    // k: s_r over labs 1-3 (s = 1, 1, 0); lab 5 has s = 1.
    const double sr = std::sqrt(2.0 / 3.0);
    EXPECT_NEAR(k.Values(1, 1), 1 / sr, 1e-12);
    EXPECT_EQ(k.Values(3, 1), 0.0);
    EXPECT_EQ(k.Values(4, 1), MissingValue);
    EXPECT_NEAR(k.Values(5, 1), 1 / sr, 1e-12);
    EXPECT_EQ(k.Values(6, 1), MissingValue);
    EXPECT_EQ(k.Values(7, 1), MissingValue);
    EXPECT_EQ(k.ValueCount(1), 4);
    // A Grubbs outlier is no Cochran outlier.
    EXPECT_EQ(k.MarkText(5, 1).find('C'), std::string::npos);
}

TEST_F(MandelCases, LessThanResultsAreNotUsed) {
    ASSERT_EQ(Read("FILEHEADER\n UNIFORM\n NLABS = 4\n NREPLICATES = 2\n NOOFLEVELS = 1\n"
                   " SUBSTANCE = \"S\"\n UNIT = \"u\"\n TESTID = \"T\"\nEND\n"
                   "LEVELHEADER\n LEVELID = \"A\"\nEND\nLEVELDATA\n"
                   " 1 A1 10 12 M\n 2 A2 <5 14 M\n 3 A3 12 13 M\n 4 A4 <5 <5 M\nEND\n"),
              0);
    TMandelH h(program);
    h.Calculate();
    // Means 11, 14, 12.5 over the five usable results (mean 12.2).
    const double sm = std::sqrt(((11 - 12.5) * (11 - 12.5) + 1.5 * 1.5 + 0) / 2);
    EXPECT_NEAR(h.Values(2, 1), (14 - 12.2) / sm, 1e-12);
    EXPECT_EQ(h.Values(4, 1), MissingValue);
    TMandelK k(program);
    k.Calculate();
    EXPECT_EQ(k.Values(2, 1), MissingValue);
    EXPECT_EQ(k.ValueCount(1), 2);
}

// Fewer than three values in a level: no critical value, no asterisk; with
// three there are.
TEST_F(MandelCases, FewerThanThreeValuesHaveNoCriticalValues) {
    LoadText(false, 2, {{{10, 11}, {10, 11}, {30, -99}}, {{10, 11}, {20, 22}, {50, 58}}});
    TMandelH h(program);
    TMandelK k(program);
    h.Calculate();
    k.Calculate();
    // Level 1: two laboratories with a standard deviation.
    EXPECT_EQ(k.ValueCount(1), 2);
    EXPECT_EQ(k.Critical(1, SL::FivePercent), MissingValue);
    EXPECT_EQ(k.Critical(1, SL::OnePercent), MissingValue);
    EXPECT_EQ(k.MarkText(1, 1), "");
    EXPECT_EQ(k.MarkText(2, 1), "");
    // Level 2: s^2 = 0.5, 2 and 32; k of lab 3 = sqrt(3 * 32 / 34.5) = 1.668,
    // between 1.65 (5 %) and 1.71 (1 %) at p = 3, n = 2.
    EXPECT_EQ(k.Critical(2, SL::FivePercent), 1.65);
    EXPECT_EQ(k.Critical(2, SL::OnePercent), 1.71);
    EXPECT_NEAR(k.Values(3, 2), std::sqrt(3 * 32 / 34.5), 1e-12);
    EXPECT_EQ(k.MarkText(3, 2), "*");
    EXPECT_EQ(k.MarkText(2, 2), "");
    // h, level 1: three means 10.5, 10.5, 30 about the mean of the five
    // results, 14.4 (not the mean of the means, 17): lab 3 at
    // 15.6 / 11.258 = 1.386, beyond 1.15 (both critical values at p = 3).
    EXPECT_EQ(h.ValueCount(1), 3);
    EXPECT_EQ(h.Critical(1, SL::OnePercent), 1.15);
    EXPECT_NEAR(h.Values(3, 1), (30 - 14.4) / std::sqrt((6.5 * 6.5 * 2 + 13 * 13) / 2), 1e-12);
    EXPECT_EQ(h.MarkText(3, 1), "**");
    EXPECT_EQ(h.MarkText(1, 1), "");
    // The charts' lines are those of the most values in a level.
    EXPECT_EQ(k.ChartCritical(SL::OnePercent), 1.71);
}

TEST_F(MandelCases, NoSpreadNoValues) {
    LoadLevel({{10, 10, 10}, {10, 10, 10}, {10, 10, 10}});
    TMandelH h(program);
    TMandelK k(program);
    h.Calculate();
    k.Calculate();
    EXPECT_EQ(h.ValueCount(1), 0);
    EXPECT_EQ(k.ValueCount(1), 0);
    EXPECT_EQ(h.Values(1, 1), MissingValue);
    EXPECT_EQ(h.ChartCritical(SL::OnePercent), MissingValue);
    EXPECT_EQ(h.SortKey(1), MissingValue);
}

// SortKey is the mean over the levels with a value; LabOrder ascends, keys
// that tie stay in laboratory order, laboratories without a key go last.
TEST_F(MandelCases, OrderOfTheCharts) {
    // Labs 2, 4, 5 and 7 are alike in both levels; lab 6 is excluded.
    const std::vector<double> a = {10, 11, 12};
    LoadText(false, 3,
             {{{14, 15, 16}, a, {8, 9, 10}, a, a, {40, 41, 42}, a, {20, 21, 22}},
              {{14, 15, 16}, a, {8, 9, 10}, a, a, {40, 41, 42}, a, {12, 13, 14}}});
    for (int lv = 1; lv <= 2; ++lv) {
        program.CurrentStudy->Level(lv).SetMark(6, MarkUserExcluded);
    }
    TMandelH h(program);
    h.Calculate();
    for (int lab = 1; lab <= 8; ++lab) {
        const double expected = lab == 6 ? MissingValue : (h.Values(lab, 1) + h.Values(lab, 2)) / 2;
        EXPECT_NEAR(h.SortKey(lab), expected, 1e-12) << lab;
    }
    std::vector<int> order;
    for (int i = 1; i <= 8; ++i) {
        order.push_back(h.LabOrder(i));
    }
    EXPECT_EQ(order, (std::vector<int>{3, 2, 4, 5, 7, 1, 8, 6}));
}

TEST_F(MandelCases, ProgressRunsOverTheLevelsAndTheOrder) {
    LoadText(false, 2, {{{10, 11}, {12, 13}, {11, 12}}, {{10, 11}, {12, 13}, {11, 12}}});
    const int started = host.ProgressStarted, steps = host.ProgressSteps;
    TMandelK k(program);
    k.Calculate();
    EXPECT_EQ(host.ProgressStarted, started + 1);
    EXPECT_EQ(host.ProgressSteps, steps + 2 + 2);
    EXPECT_EQ(host.ProgressEnded, host.ProgressStarted);
}

// Figures that overflow are no figures: no value, no count, and the
// document and chart still come out.
TEST_F(MandelCases, OverflowingResultsGiveNoValues) {
    LoadLevel({{1, 2, 3}, {1, 2, 3}, {1, 2, 3}});
    // Beyond what a data file holds: set in place.
    const double big = 1e308;
    const double values[3][3] = {{big, -big, big}, {big, big, -big}, {-big, big, big}};
    for (int lab = 1; lab <= 3; ++lab) {
        for (int rep = 1; rep <= 3; ++rep) {
            program.CurrentStudy->Level(1).SetResult(lab, rep, ' ', values[lab - 1][rep - 1], 0);
        }
    }
    for (const bool h : {true, false}) {
        std::unique_ptr<TMandel> m;
        if (h) {
            m = std::make_unique<TMandelH>(program);
        } else {
            m = std::make_unique<TMandelK>(program);
        }
        m->Calculate();
        for (int lab = 1; lab <= 3; ++lab) {
            const double v = m->Values(lab, 1);
            EXPECT_TRUE(v == MissingValue || std::isfinite(v)) << lab;
        }
        EXPECT_NE(m->BuildReport(), nullptr);
        EXPECT_NE(m->BuildChart(1), nullptr);
    }
}

TEST_F(MandelCases, IndicesOutsideTheStudyHaveNoFigures) {
    LoadText(false, 2, {{{10, 11}, {12, 13}, {11, 12}}});
    TMandelK k(program);
    k.Calculate();
    for (const auto& [lab, level] :
         std::vector<std::pair<int, int>>{{0, 1}, {4, 1}, {1, 0}, {1, 2}, {-1, -1}, {46, 3}}) {
        EXPECT_EQ(k.Values(lab, level), MissingValue) << lab << "/" << level;
        EXPECT_EQ(k.MarkText(lab, level), "") << lab << "/" << level;
    }
    EXPECT_EQ(k.ValueCount(0), 0);
    EXPECT_EQ(k.ValueCount(2), 0);
    EXPECT_EQ(k.SortKey(0), MissingValue);
    EXPECT_EQ(k.SortKey(4), MissingValue);
    EXPECT_EQ(k.LabOrder(0), 0);
    EXPECT_EQ(k.LabOrder(4), 0);
    EXPECT_EQ(k.BuildChart(0), nullptr);
    EXPECT_EQ(k.BuildChart(2), nullptr);
    // Before Calculate there is nothing to show.
    TMandelH fresh(program);
    EXPECT_EQ(fresh.Values(1, 1), MissingValue);
    EXPECT_EQ(fresh.BuildChart(1), nullptr);
}

TEST(MandelPages, FewestPagesFilledAlike) {
    struct Case {
        int labs, pageSize;
        std::vector<TMandelPage> pages;
    } cases[] = {
        {31, 30, {{1, 16}, {17, 31}}},
        {45, 30, {{1, 23}, {24, 45}}},
        {45, 20, {{1, 15}, {16, 30}, {31, 45}}},
        {12, 30, {{1, 12}}},
        {30, 30, {{1, 30}}},
        {1, 1, {{1, 1}}},
        {0, 30, {}},
        {3, 0, {{1, 1}, {2, 2}, {3, 3}}}, // a page size below 1 counts as 1
        {3, -7, {{1, 1}, {2, 2}, {3, 3}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MandelChartPages(c.labs, c.pageSize), c.pages) << c.labs << "/" << c.pageSize;
    }
}

TEST(MandelPages, EveryStudySizeAndPageSize) {
    for (int labs = 1; labs <= 45; ++labs) {
        for (int size = 1; size <= 100; ++size) {
            const auto pages = MandelChartPages(labs, size);
            const int expectedPages = (labs + size - 1) / size;
            ASSERT_EQ(static_cast<int>(pages.size()), expectedPages) << labs << "/" << size;
            int next = 1;
            for (std::size_t j = 0; j < pages.size(); ++j) {
                const int n = pages[j].Last - pages[j].First + 1;
                EXPECT_EQ(pages[j].First, next);
                EXPECT_GE(n, 1);
                EXPECT_LE(n, size);
                if (j + 1 < pages.size()) {
                    EXPECT_EQ(n, pages[0].Last - pages[0].First + 1);
                }
                next = pages[j].Last + 1;
            }
            EXPECT_EQ(next, labs + 1);
        }
    }
}

} // namespace
