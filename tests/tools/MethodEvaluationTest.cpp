// Method evaluation: the order of method codes, the groups, the variance
// tests and the tests of the means against an independent recomputation in
// R (scripts/tools/method_evaluation_reference.R), and the document.
#include "ToolFixture.h"

#include <cmath>
#include <map>

#include "documents/Contents.h"
#include "documents/NumberText.h"
#include "numerics/Distributions.h"
#include "tools/MethodEvaluation.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class MethodEvaluationTest : public ToolFixture {
protected:
    // One level, two replicates; rows "code result result method".
    void LoadRows(const std::vector<std::string>& rows) {
        std::ostringstream out;
        out << "FILEHEADER\n  UNIFORM\n  NLABS = " << rows.size()
            << "\n  NREPLICATES = 2\n  NOOFLEVELS = 1\n  SUBSTANCE = \"Zinc\"\n"
               "  UNIT = \"mg/l\"\n  TESTID = \"T\"\nEND\nLEVELHEADER\n  LEVELID = \"Low\"\n"
               "END\nLEVELDATA\n";
        int n = 0;
        for (const auto& row : rows) {
            out << "  " << ++n << " " << row << "\n";
        }
        out << "END\n";
        ASSERT_EQ(Read(out.str()), 0);
    }
    std::vector<std::string> Lines() {
        auto doc = MethodEvaluationReport(program);
        return doc->AsStrings();
    }
    static bool Has(const std::vector<std::string>& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

TEST(CodesInOrderTest, OrderOfMethodCodes) {
    const struct {
        const char* a;
        const char* b;
        bool inOrder;
    } cases[] = {
        {"", "M2", true},
        {"M2", "", false},
        {"M2", "M10", true},
        {"M10", "M2", false},
        {"m3", "M10", true},
        {"M2", "m3", true},
        {"abc", "ABC", true},
        {"ABC", "abc", true},
        {"1A", "A", true},
        {"A", "1A", false},
        {"Z", "\xC3\xA5", true}, // Z before å
        {"\xC3\xA5", "Z", false},
        {"\xC3\xB8", "\xC3\x86", false}, // ø after Æ
        {"\xC3\xA6", "\xC3\x98", true},  // æ before Ø
        {"A01", "A1", true},
        {"A1", "A01", true},
        {"M", "M1", true},
        {"M1", "M", false},
        {"X99999999999999999999", "X100000000000000000000", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CodesInOrder(c.a, c.b), c.inOrder) << "\"" << c.a << "\" \"" << c.b << "\"";
    }
}

TEST(CaseStringListTest, LookupWithAndWithoutCase) {
    TCaseStringList folded(false), exact(true);
    for (auto* list : {&folded, &exact}) {
        list->Add("abc");
        list->Add("\xC3\xA5"
                  "x");
    }
    EXPECT_EQ(folded.IndexOf("ABC"), 0);
    EXPECT_EQ(folded.IndexOf("\xC3\x85X"), 1);
    EXPECT_EQ(folded.IndexOf("ab"), -1);
    EXPECT_EQ(exact.IndexOf("ABC"), -1);
    EXPECT_EQ(exact.IndexOf("abc"), 0);
}

// Every group and statistic of the fixtures, under the settings of each
// variant, against R.
TEST_F(MethodEvaluationTest, FiguresAgreeWithR) {
    const auto tests = ReadCsv(ToolData("method_tests_reference.csv"));
    const auto groups = ReadCsv(ToolData("method_groups_reference.csv"));
    ASSERT_EQ(tests.size(), 10u);
    double maxRel = 0;
    // Statistics to 1e-9 (exact algebra, summed differently); probabilities
    // to the accuracy of the incomplete gamma and beta functions (3e-7
    // relative in their series).
    auto near = [&](double actual, const std::string& expected, const char* what,
                    double rel = 1e-9) {
        if (expected == "NA") {
            EXPECT_EQ(actual, MissingValue) << what;
            return;
        }
        const double e = std::stod(expected);
        const double tol = rel * std::max(1.0, std::fabs(e));
        EXPECT_NEAR(actual, e, tol) << what;
        if (actual != MissingValue) {
            maxRel = std::max(maxRel, std::fabs(actual - e) / std::max(1.0, std::fabs(e)));
        }
    };
    for (const auto& row : tests) {
        const std::string variant = row.at("variant");
        const int lv = std::stoi(row.at("level"));
        SCOPED_TRACE(variant + " level " + row.at("level"));
        LoadTool(variant.substr(0, variant.find(':')));
        program.Settings.MethodCaseSensitive = variant.find(":case:") != std::string::npos;
        program.Settings.UseMissingMethod = variant.find(":missing") != std::string::npos;
        TMethodEval e(program, lv);
        e.Calculate();
        const int k = std::stoi(row.at("k"));
        ASSERT_EQ(e.MethodCodes.Count(), k);
        EXPECT_EQ(e.TotalN, std::stoi(row.at("TotalN")));
        // Groups by their code; the group without code is shown by its name.
        int matched = 0;
        for (const auto& g : groups) {
            if (g.at("variant") != variant || std::stoi(g.at("level")) != lv) {
                continue;
            }
            const std::string code = g.at("code").empty() ? "No code" : g.at("code");
            const int i = e.MethodCodes.IndexOf(code);
            ASSERT_NE(i, -1) << code;
            EXPECT_EQ(e.MethodCodes[i], code);
            const Tnxs& t = e.Groups[static_cast<std::size_t>(i)];
            EXPECT_EQ(t.N, std::stoi(g.at("n"))) << code;
            near(t.Mean, g.at("mean"), "mean");
            near(t.SD, g.at("sd"), "sd");
            ++matched;
        }
        EXPECT_EQ(matched, k);
        if (k < 2) {
            continue;
        }
        near(e.B, row.at("B"), "B");
        near(e.PB, row.at("PB"), "PB", 1e-7);
        near(e.L, row.at("L"), "L");
        near(e.PL, row.at("PL"), "PL", 1e-7);
        near(e.Z, row.at("Z"), "Z");
        near(e.PZ, row.at("PZ"), "PZ", 1e-7);
        near(e.H, row.at("H"), "H");
        near(e.PH, row.at("PH"), "PH", 1e-7);
        EXPECT_EQ(e.HomogeneousL, e.PL > 0.05);
        EXPECT_EQ(e.HomogeneousB, e.PB != MissingValue && e.PB > 0.05);
    }
    std::cout << "method evaluation vs R: max relative difference " << maxRel << "\n";
}

// M10, m3, M2 and no code, in that file order, are shown as: no code, M2,
// m3, M10.
TEST_F(MethodEvaluationTest, GroupsInCodeOrder) {
    LoadTool("METHODS.PAR");
    TMethodEval e(program, 1);
    e.Calculate();
    ASSERT_EQ(e.MethodCodes.Count(), 4);
    EXPECT_EQ(e.MethodCodes[0], "No code");
    EXPECT_EQ(e.MethodCodes[1], "M2");
    EXPECT_EQ(e.MethodCodes[2], "m3");
    EXPECT_EQ(e.MethodCodes[3], "M10");
}

// Only 'U' and 'L' remove a laboratory; outlier marks do not.
TEST_F(MethodEvaluationTest, OutlierMarksStayExclusionsLeave) {
    LoadTool("METHODS.PAR");
    TLevel& level = program.CurrentStudy->Level(1);
    level.SetMark(1, MarkCochranOutlier);
    level.SetMark(2, MarkGrubbsOutlier);
    TMethodEval marked(program, 1);
    marked.BuildGroups();
    EXPECT_EQ(marked.TotalN, 24);
    level.SetMark(1, MarkUserExcluded);
    level.SetMark(2, MarkFileExcluded);
    TMethodEval excluded(program, 1);
    excluded.BuildGroups();
    EXPECT_EQ(excluded.TotalN, 20);
}

// Observations 0.5, 1, 1 and 2 get the ranks 1, 2.5, 2.5 and 4: with the
// groups {0.5, 1} and {1, 2}, H = 12/20·(3.5²/2 + 6.5²/2) − 15 = 1.35.
// Equal mean ranks give H = 0 and p = 1, never a failure.
TEST_F(MethodEvaluationTest, KruskalWallisMidRanks) {
    LoadRows({"A1 0.5 1 P", "A2 1 2 Q"});
    TMethodEval e(program, 1);
    e.BuildGroups();
    e.KruskalWallisTest();
    EXPECT_NEAR(e.H, 1.35, 1e-12);
    EXPECT_NEAR(e.PH, 1 - ChiSquareProbability(1, 1.35), 1e-15);

    LoadRows({"A1 1 4 P", "A2 2 3 Q"});
    TMethodEval same(program, 1);
    same.BuildGroups();
    same.KruskalWallisTest();
    EXPECT_EQ(same.H, 0.0);
    EXPECT_EQ(same.PH, 1.0);
}

// Equal log-variances: L is 0 (never below), p(L) = 1.
TEST_F(MethodEvaluationTest, EqualVariancesGiveLZero) {
    LoadRows({"A1 0.1 0.2 P", "A2 0.3 0.4 Q", "A3 0.7 0.8 R", "A4 1.1 1.2 S"});
    TMethodEval e(program, 1);
    e.Calculate();
    EXPECT_GE(e.L, 0.0);
    EXPECT_NEAR(e.L, 0.0, 1e-12);
    EXPECT_NEAR(e.PL, 1.0, 1e-12);
    EXPECT_TRUE(e.HomogeneousL);
    EXPECT_NO_THROW(MethodEvaluationReport(program));
}

// Equal group means: no F ratio, Z and p(Z) shown "-" and no verdict.
TEST_F(MethodEvaluationTest, NoFRatioNoVerdict) {
    LoadRows({"A1 1 3 P", "A2 0 4 Q"});
    TMethodEval e(program, 1);
    e.Calculate();
    ASSERT_TRUE(e.HomogeneousL);
    EXPECT_EQ(e.Z, MissingValue);
    EXPECT_EQ(e.PZ, MissingValue);
    const auto lines = Lines();
    EXPECT_TRUE(Has(lines, "   Analysis of variance, F test: Z =-, p(Z) =-"));
    EXPECT_FALSE(Has(lines, "   The method means differ significantly (p < 0.05)."));
    EXPECT_FALSE(Has(lines, "   The method means do not differ significantly."));
}

// Spreads around their mean: 1e-10 apart at 1e-5 is a spread, equal values
// of 1e8 are none.
TEST_F(MethodEvaluationTest, GroupSpreadsRelativeToTheirValues) {
    LoadRows({"A1 0.0000100001 0.0000100002 P", "A2 100000000.1 100000000.1 Q"});
    TMethodEval e(program, 1);
    e.BuildGroups();
    ASSERT_EQ(e.Groups.size(), 2u);
    EXPECT_NEAR(e.Groups[0].SD, 1e-10 / std::sqrt(2.0), 1e-20);
    EXPECT_EQ(e.Groups[1].SD, 0.0);
}

// The 95 % confidence limits of a group's mean take t with N - 1 degrees of
// freedom, as printed in the tables: 12.71 for N = 2, 4.30 for N = 3; a
// group of one result shows "-".
TEST_F(MethodEvaluationTest, ConfidenceLimitsAndSingleResults) {
    LoadRows({"A1 10 12 P", "A2 20 21 Q", "A3 22 -99 Q", "A4 5 -99 R"});
    auto doc = MethodEvaluationReport(program);
    const auto lines = doc->AsStrings();
    const double s1 = std::sqrt(2.0);
    const std::string p = "P\t2\t11.000\t1.414\t" +
                          FormatFixed(11 - 12.71 * s1 / std::sqrt(2.0), 9, 3) + "\t" +
                          FormatFixed(11 + 12.71 * s1 / std::sqrt(2.0), 9, 3) + "\t";
    EXPECT_TRUE(Has(lines, p)) << p;
    const double s2 = 1.0;
    const std::string q = "Q\t3\t21.000\t1.000\t" +
                          FormatFixed(21 - 4.3 * s2 / std::sqrt(3.0), 9, 3) + "\t" +
                          FormatFixed(21 + 4.3 * s2 / std::sqrt(3.0), 9, 3) + "\t";
    EXPECT_TRUE(Has(lines, q)) << q;
    EXPECT_TRUE(Has(lines, "R\t-\t-\t-\t-\t-\t"));
}

// Every group with one result: no variance test can be formed (shown "-",
// no verdict), the means are compared by their ranks.
TEST_F(MethodEvaluationTest, GroupsOfOneResult) {
    LoadRows({"A1 1 -99 P", "A2 2 -99 Q", "A3 4 -99 R"});
    TMethodEval e(program, 1);
    e.Calculate();
    EXPECT_EQ(e.B, MissingValue);
    EXPECT_EQ(e.PB, MissingValue);
    EXPECT_EQ(e.L, MissingValue);
    EXPECT_FALSE(e.HomogeneousL);
    // Ranks 1, 2, 3: H = 12/12·(1 + 4 + 9) − 12 = 2.
    EXPECT_NEAR(e.H, 2.0, 1e-12);
    const auto lines = Lines();
    EXPECT_TRUE(Has(lines, "   Bartlett's test: B=-, p(B)=-"));
    EXPECT_TRUE(Has(lines, "   Log-variance test: L=-, p(L)=-"));
    EXPECT_FALSE(Has(lines, "   The variances are not homogeneous (p <= 0.05)."));
    EXPECT_TRUE(Has(lines, "   Kruskal-Wallis test: H =2.000, p(H) =" +
                               FormatFixed(1 - ChiSquareProbability(2, 2.0), 15, 3)));
}

TEST_F(MethodEvaluationTest, GoldenMethodGroups) {
    LoadTool("METHODS.PAR");
    MethodEvaluation(program);
    ASSERT_EQ(tools.Documents.size(), 1u);
    EXPECT_EQ(tools.Documents[0].Caption, "Method evaluation");
    EXPECT_EQ(tools.Documents[0].HelpContext, 8200);
    ExpectGolden(*tools.Documents[0].Document, "tools", "method_evaluation_groups");
}

TEST_F(MethodEvaluationTest, GoldenCcqmK30) {
    LoadTool("CCQMK30.PAR");
    MethodEvaluation(program);
    ASSERT_EQ(tools.Documents.size(), 1u);
    ExpectGolden(*tools.Documents[0].Document, "tools", "method_evaluation_ccqmk30");
}

} // namespace
