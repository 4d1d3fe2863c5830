// The weight function, the weighted regressions and ISO Guide 35.
// Figures are checked against base R (scripts/quality/regression_reference.R,
// output in tests/data/quality/regression_reference.csv): lm() through the
// origin and with intercept for the five relations, lm(y ~ x, weights =
// 1/w^2) with cov.unscaled, deviance and anova() for the regression, mean,
// sd/sqrt(p) and qt() for ISO Guide 35. Every laboratory counts there, so the
// outlier tests are discarded here. The edge cases are worked by hand in the
// comments.
#include "PreliminaryFixture.h"

#include <cmath>
#include <map>

#include "charts/GraphWindow.h"
#include "preliminary/ExcludeLab.h"
#include "quality/ANOVA.h"
#include "quality/ISOGuide.h"
#include "quality/Regression.h"
#include "quality/Weights.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

// Counts what the procedures show.
class DocumentHost : public RecordingHost {
public:
    void ShowDocument(std::shared_ptr<TTavContents> document, const std::string& caption,
                      int helpContext) override {
        Documents.push_back(document);
        Captions.push_back(caption);
        HelpContexts.push_back(helpContext);
    }
    void ShowChart(std::shared_ptr<TGraphWindow> chart, const std::string& caption,
                   int helpContext) override {
        Charts.push_back(chart);
        Captions.push_back(caption);
        HelpContexts.push_back(helpContext);
    }
    std::vector<std::shared_ptr<TTavContents>> Documents;
    std::vector<std::shared_ptr<TGraphWindow>> Charts;
    std::vector<std::string> Captions;
    std::vector<int> HelpContexts;
};

std::filesystem::path QualityStudy(const std::string& name) {
    return std::filesystem::path(VELTRIO_TEST_DATA) / "quality" / (name + ".PAR");
}

// A uniform-level study text with assigned values: per level its assigned
// value and per laboratory its results.
std::string AssignedStudy(int replicates, const std::vector<double>& assigned,
                          const std::vector<LabRows>& levels) {
    std::ostringstream out;
    out << "FILEHEADER\n  UNIFORM\n  NLABS = " << levels.front().size()
        << "\n  NREPLICATES = " << replicates << "\n  NOOFLEVELS = " << levels.size()
        << "\n  SUBSTANCE = \"Test\"\n  UNIT = \"mg\"\n  TESTID = \"T\"\nEND\n";
    for (std::size_t lv = 0; lv < levels.size(); ++lv) {
        out << "LEVELHEADER\n  LEVELID = \"" << char('A' + lv)
            << "\"\n  ASSIGNED = " << assigned[lv] << "\nEND\nLEVELDATA\n";
        for (std::size_t lab = 0; lab < levels[lv].size(); ++lab) {
            out << "  " << lab + 1 << " L0" << lab + 1;
            for (double v : levels[lv][lab]) {
                out << ' ' << v;
            }
            out << " M1\n";
        }
        out << "END\n";
    }
    return out.str();
}

class Regression : public PreliminaryFixture {
protected:
    Regression() { program.SetHost(docs); }
    void LoadQuality(const std::string& name) {
        ASSERT_EQ(ReadStudyFile(program, QualityStudy(name)), 0) << name;
        program.CurrentFile = name + ".PAR";
        program.FixedDate = "2026-01-01";
        program.Settings.DiscardOutlierTests = true;
    }
    void LoadAssigned(int replicates, const std::vector<double>& assigned,
                      const std::vector<LabRows>& levels) {
        ASSERT_EQ(Read(AssignedStudy(replicates, assigned, levels)), 0);
        program.Settings.DiscardOutlierTests = true;
    }
    DocumentHost docs;
};

// Relative difference, absolute near zero.
double Difference(double ours, double reference) {
    return std::abs(ours - reference) / std::max(1.0, std::abs(reference));
}

TEST_F(Regression, FiguresAgreeWithR) {
    const auto rows =
        ReadCsv(std::filesystem::path(VELTRIO_TEST_DATA) / "quality" / "regression_reference.csv");
    ASSERT_GT(rows.size(), 250u);
    std::map<std::string, std::vector<std::map<std::string, std::string>>> byStudy;
    for (const auto& r : rows) {
        byStudy[r.at("study")].push_back(r);
    }
    ASSERT_EQ(byStudy.size(), 5u);
    double worst = 0;
    for (const auto& [name, figures] : byStudy) {
        SCOPED_TRACE(name);
        LoadQuality(name);
        TWeights& w = WeightsOf(program);
        w.Clear();
        w.Calculate(program);
        ASSERT_TRUE(w.Determined);
        w.ComputeWeights(program);
        TRegression reg;
        ASSERT_EQ(reg.Calculate(program), TRegressionFigures::TFitResult::Fitted);
        TISOGuide guide;
        guide.Calculate(program);
        TLabRegression lab;
        lab.ChosenLab = 2;
        ASSERT_EQ(lab.Calculate(program), TRegressionFigures::TFitResult::Fitted);
        const TANOVA& a = ANOVAOf(program);
        for (const auto& r : figures) {
            const std::string& f = r.at("name");
            const int i = std::stoi(r.at("index"));
            const auto k = static_cast<std::size_t>(i);
            const double ref = CsvNumber(r.at("value"));
            SCOPED_TRACE(f + "[" + r.at("index") + "]");
            double ours = 0;
            if (f.rfind("Lab.", 0) == 0) {
                const std::string g = f.substr(4);
                const std::map<std::string, double> labFigures = {{"Alpha", lab.Alpha},
                                                                  {"Beta", lab.Beta},
                                                                  {"Gamma", lab.Gamma},
                                                                  {"SAK1", lab.SAK1},
                                                                  {"SAK2", lab.SAK2},
                                                                  {"SAKo", lab.SAKo},
                                                                  {"LackOfFitF", lab.LackOfFitF},
                                                                  {"LackOfFitP", lab.LackOfFitP},
                                                                  {"SlopeT", lab.SlopeT},
                                                                  {"SlopeP", lab.SlopeP},
                                                                  {"IdentityF", lab.IdentityF},
                                                                  {"IdentityP", lab.IdentityP}};
                ASSERT_TRUE(labFigures.count(g)) << g;
                ours = labFigures.at(g);
                EXPECT_LE(Difference(ours, ref), g.back() == 'P' ? 1e-8 : 1e-9) << ours;
                worst = std::max(worst, Difference(ours, ref));
                continue;
            }
            if (f == "SR")
                ours = a.SR[k];
            else if (f == "Intercept")
                ours = w.Intercept[k];
            else if (f == "Slope")
                ours = w.Slope[k];
            else if (f == "RSquared")
                ours = w.RSquared[k];
            else if (f == "RelationValid")
                ours = w.RelationValid[k] ? 1 : 0;
            else if (f == "BestRelation")
                ours = w.BestRelation;
            else if (f == "WeightOfLevel")
                ours = w.WeightOfLevel[k];
            else if (f == "Alpha")
                ours = reg.Alpha;
            else if (f == "Beta")
                ours = reg.Beta;
            else if (f == "Gamma")
                ours = reg.Gamma;
            else if (f == "C11")
                ours = reg.C11;
            else if (f == "C22")
                ours = reg.C22;
            else if (f == "C12")
                ours = reg.C12;
            else if (f == "SAK1")
                ours = reg.SAK1;
            else if (f == "SAKo")
                ours = reg.SAKo;
            else if (f == "SAK2")
                ours = reg.SAK2;
            else if (f == "N")
                ours = reg.N;
            else if (f == "LackOfFitF")
                ours = reg.LackOfFitF;
            else if (f == "LackOfFitP")
                ours = reg.LackOfFitP;
            else if (f == "SlopeT")
                ours = reg.SlopeT;
            else if (f == "SlopeP")
                ours = reg.SlopeP;
            else if (f == "BiasT")
                ours = reg.BiasT;
            else if (f == "BiasP")
                ours = reg.BiasP;
            else if (f == "IdentityF")
                ours = reg.IdentityF;
            else if (f == "IdentityP")
                ours = reg.IdentityP;
            else if (f == "LevelMean")
                ours = guide.LevelMean[k];
            else if (f == "LabCount")
                ours = guide.LabCount[k];
            else if (f == "StdError")
                ours = guide.StdError[k];
            else if (f == "LowerLimit" || f == "UpperLimit") {
                ours = f == "LowerLimit" ? guide.LowerLimit[k] : guide.UpperLimit[k];
                // t(0.975) is found by bisection to within 0.001.
                EXPECT_NEAR(ours, ref, 0.002 * guide.StdError[k]);
                continue;
            } else {
                ADD_FAILURE() << "unknown figure " << f;
                continue;
            }
            if (std::isnan(ref)) {
                EXPECT_EQ(ours, MissingValue);
                continue;
            }
            // R² of an exact line: 1 up to rounding.
            const double tolerance = f == "RSquared" ? 1e-12 : (f.back() == 'P' ? 1e-8 : 1e-9);
            EXPECT_LE(Difference(ours, ref), tolerance) << ours << " vs " << ref;
            worst = std::max(worst, Difference(ours, ref));
        }
    }
    RecordProperty("WorstRelativeDifference", std::to_string(worst));
    std::printf("largest relative difference against R: %.3g\n", worst);
}

TEST_F(Regression, LineFitsLeaveNothingFromMissingFigures) {
    struct Case {
        const char* what;
        std::vector<double> x, y;
        bool origin;
        double a, b, r2;
    };
    const Case cases[] = {
        // Σx² = 0: no slope.
        {"origin, x all 0", {0, 0}, {1, 2}, true, 0, MissingValue, MissingValue},
        // One point: SST = 0, so no R².
        {"origin, one point", {2}, {4}, true, 0, 2, MissingValue},
        // Sxx = 0: no slope and therefore no intercept either.
        {"line, one x", {3, 3}, {1, 2}, false, MissingValue, MissingValue, MissingValue},
        // y = 1 + 2x exactly.
        {"line, exact", {1, 2, 3}, {3, 5, 7}, false, 1, 2, 1},
        // Constant y: slope 0, SST = 0, no R².
        {"line, constant y", {1, 2}, {4, 4}, false, 4, 0, MissingValue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TLineFit f = c.origin ? FitThroughOrigin(c.x, c.y) : FitLine(c.x, c.y);
        EXPECT_DOUBLE_EQ(f.Intercept, c.a);
        EXPECT_DOUBLE_EQ(f.Slope, c.b);
        EXPECT_DOUBLE_EQ(f.RSquared, c.r2);
    }
}

TEST_F(Regression, EqualRSquaredProposesTheLowerRelation) {
    // Two levels: relations 1 and 3 both go through both points (R² 1).
    LoadQuality("REG_TWO_LEVELS");
    TWeights& w = WeightsOf(program);
    w.Clear();
    w.Calculate(program);
    ASSERT_TRUE(w.Determined);
    EXPECT_NEAR(w.RSquared[1], 1.0, 1e-12);
    EXPECT_NEAR(w.RSquared[3], 1.0, 1e-12);
    EXPECT_EQ(w.BestRelation, 1);
}

TEST_F(Regression, InvalidRelationCannotBeChosen) {
    // A negative assigned value: relations 2 and 4 have no weight there, and
    // relation 0 (b·µ) a negative one.
    LoadQuality("REG_NEGATIVE");
    TWeights& w = WeightsOf(program);
    w.Clear();
    w.Calculate(program);
    ASSERT_TRUE(w.Determined);
    EXPECT_FALSE(w.RelationValid[0]);
    EXPECT_FALSE(w.RelationValid[2]);
    EXPECT_FALSE(w.RelationValid[4]);
    EXPECT_TRUE(w.RelationValid[1]);
    const int before = w.CurrentRelation;
    for (const int k : {0, 2, 4, 5, -1}) {
        EXPECT_FALSE(w.SelectRelation(k)) << k;
        EXPECT_EQ(w.CurrentRelation, before);
    }
    EXPECT_TRUE(w.SelectRelation(3));
    EXPECT_EQ(w.CurrentRelation, 3);
}

TEST_F(Regression, CancelRestoresTheWeightsAndLeavesThemUndetermined) {
    LoadQuality("GLUC_ASSIGNED");
    int asked = 0;
    program.ChooseWeightRelation = [&](Program& p, TWeights& w) {
        ++asked;
        EXPECT_TRUE(w.SelectRelation(1));
        w.ComputeWeights(p);
        return false;
    };
    EXPECT_FALSE(DeterminationOfWeightFunction(program));
    TWeights& w = WeightsOf(program);
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(w.Determined);
    EXPECT_EQ(w.CurrentRelation, w.BestRelation);
    TWeights fresh;
    fresh.Calculate(program);
    fresh.ComputeWeights(program);
    EXPECT_EQ(w.WeightOfLevel, fresh.WeightOfLevel);
    EXPECT_TRUE(docs.Documents.empty());
    // The regression asks again and stops when cancelled again.
    RegressionAnalysis(program);
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(docs.Documents.empty());
    EXPECT_TRUE(docs.Charts.empty());
}

TEST_F(Regression, CommandsShowTheirDocumentsAndCharts) {
    LoadQuality("GLUC_ASSIGNED");
    program.ChooseWeightRelation = [](Program& p, TWeights& w) {
        EXPECT_TRUE(w.SelectRelation(1));
        w.ComputeWeights(p);
        return true;
    };
    RegressionAnalysis(program);
    // Weight chart and document, then the regression's document and chart.
    ASSERT_EQ(docs.Documents.size(), 2u);
    ASSERT_EQ(docs.Charts.size(), 2u);
    EXPECT_EQ(docs.HelpContexts, (std::vector<int>{6200, 6200, 6300, 6300}));
    EXPECT_EQ(WeightsOf(program).CurrentRelation, 1);
    // Determined: the next regression does not ask again.
    program.ChooseWeightRelation = [](Program&, TWeights&) {
        ADD_FAILURE() << "asked again";
        return false;
    };
    RegressionAnalysis(program);
    EXPECT_EQ(docs.Documents.size(), 3u);
    // Excluding a laboratory changes s(R): the weight function is made anew.
    ExcludeLaboratories(program, {4});
    EXPECT_FALSE(WeightsOf(program).Determined);
}

TEST_F(Regression, WeightFunctionFollowsTheMarks) {
    LoadQuality("GLUC_ASSIGNED");
    TWeights& w = WeightsOf(program);
    w.Calculate(program);
    const double before = ANOVAOf(program).SR[2];
    ExcludeLaboratories(program, {4});
    w.Calculate(program);
    const double after = ANOVAOf(program).SR[2];
    EXPECT_NE(before, after);
    TWeights fresh;
    fresh.Calculate(program);
    EXPECT_EQ(w.Slope, fresh.Slope);
}

TEST_F(Regression, NoValidRelationLeavesTheWeightFunctionUndetermined) {
    // One replicate: no within-laboratory spread, so no s(R) and no relation.
    LoadQuality("REG_ONE_REPLICATE");
    EXPECT_FALSE(DeterminationOfWeightFunction(program));
    ASSERT_EQ(docs.Messages.size(), 1u);
    EXPECT_EQ(docs.Messages[0], NoValidRelationMessage);
    EXPECT_FALSE(WeightsOf(program).Determined);
    RegressionAnalysis(program);
    EXPECT_TRUE(docs.Documents.empty());
}

TEST_F(Regression, TheProgressGaugeEndsOnEveryPath) {
    LoadQuality("GLUC_ASSIGNED");
    ASSERT_TRUE(DeterminationOfWeightFunction(program));
    const int started = docs.ProgressStarted, ended = docs.ProgressEnded;
    TRegression r;
    ASSERT_EQ(r.Calculate(program), TRegressionFigures::TFitResult::Fitted);
    EXPECT_EQ(docs.ProgressStarted, started + 1);
    EXPECT_EQ(docs.ProgressEnded, ended + 1);
    // Without a weight at any level there is no fit; the gauge ends anyway.
    program.Weights->WeightOfLevel.fill(MissingValue);
    EXPECT_EQ(r.Calculate(program), TRegressionFigures::TFitResult::NoResults);
    EXPECT_EQ(docs.ProgressEnded, ended + 2);
}

TEST_F(Regression, TwoLevelsHaveNoLackOfFitTest) {
    LoadQuality("REG_TWO_LEVELS");
    ASSERT_TRUE(DeterminationOfWeightFunction(program));
    TRegression r;
    ASSERT_EQ(r.Calculate(program), TRegressionFigures::TFitResult::Fitted);
    EXPECT_EQ(r.L, 2);
    EXPECT_EQ(r.LackOfFitF, MissingValue);
    EXPECT_EQ(r.LackOfFitP, MissingValue);
    EXPECT_NE(r.SlopeT, MissingValue);
    auto doc = r.MakeReport(program);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < doc->Count(); ++i) {
        doc->Item(i).AppendPlainText(lines);
    }
    bool dash = false;
    for (const auto& line : lines) {
        if (line.find(program.LibText(1, 48)) != std::string::npos) {
            dash = line.find('-') != std::string::npos;
        }
    }
    EXPECT_TRUE(dash);
}

TEST_F(Regression, LaboratoryOnOneAssignedValueIsRefusedWithAMessage) {
    // Levels A and B share the assigned value 10; laboratory 1 has no result
    // in C. D = Suu·Svv − Suv² = 0 for it: no line, a message, no document.
    LoadAssigned(2, {10, 10, 30},
                 {{{10.1, 9.9}, {10.4, 10.2}, {9.6, 9.8}, {10.0, 10.3}},
                  {{10.2, 10.0}, {9.7, 10.1}, {10.5, 10.2}, {9.9, 9.8}},
                  {{MissingValue, MissingValue}, {30.5, 29.8}, {31.0, 30.2}, {29.1, 29.9}}});
    program.ChooseRegressionLab = [](Program&) { return 1; };
    RegressionAnalysisOnALaboratory(program);
    EXPECT_EQ(docs.Documents.size(), 1u); // the weight function's
    ASSERT_FALSE(docs.Messages.empty());
    EXPECT_EQ(docs.Messages.back(), OneAssignedValueMessage);
}

TEST_F(Regression, LaboratoryInOneLevelOnlyGetsTheMessage) {
    LoadAssigned(2, {10, 20, 30},
                 {{{10.1, 9.9}, {10.4, 10.2}, {9.6, 9.8}, {10.0, 10.3}},
                  {{MissingValue, MissingValue}, {19.7, 20.1}, {20.5, 20.2}, {19.9, 19.8}},
                  {{MissingValue, MissingValue}, {30.5, 29.8}, {31.0, 30.2}, {29.1, 29.9}}});
    program.ChooseRegressionLab = [](Program&) { return 1; };
    RegressionAnalysisOnALaboratory(program);
    ASSERT_FALSE(docs.Messages.empty());
    EXPECT_EQ(docs.Messages.back(), NoLevelsForLabMessage);
    // Said before the weight function is made.
    EXPECT_TRUE(docs.Documents.empty());
    EXPECT_FALSE(WeightsOf(program).Determined);
    // No laboratory chosen: nothing at all.
    docs.Messages.clear();
    program.ChooseRegressionLab = [](Program&) { return MissingCount; };
    RegressionAnalysisOnALaboratory(program);
    EXPECT_TRUE(docs.Messages.empty());
    EXPECT_TRUE(docs.Documents.empty());
}

TEST_F(Regression, LaboratoryOnTheIdentityLineHasNoTestsOfItsSpread) {
    // Laboratory 1 reports the assigned values exactly: SAKo = SAK1 = 0 (up
    // to rounding, which must not trip the consistency check), so γ and
    // every test are "-", never a division by zero.
    LoadAssigned(2, {10, 20, 40},
                 {{{10, 10}, {10.4, 10.2}, {9.6, 9.8}, {10.0, 10.3}},
                  {{20, 20}, {19.7, 20.1}, {20.5, 20.9}, {19.2, 19.8}},
                  {{40, 40}, {40.5, 39.8}, {41.0, 41.2}, {38.1, 39.9}}});
    program.ChooseRegressionLab = [](Program&) { return 1; };
    RegressionAnalysisOnALaboratory(program);
    ASSERT_EQ(docs.Documents.size(), 2u);
    TLabRegression r;
    r.ChosenLab = 1;
    ASSERT_EQ(r.Calculate(program), TRegressionFigures::TFitResult::Fitted);
    EXPECT_NEAR(r.Alpha, 0, 1e-9);
    EXPECT_NEAR(r.Beta, 1, 1e-12);
    EXPECT_EQ(r.SAKo, 0);
    EXPECT_EQ(r.SAK1, 0);
    EXPECT_EQ(r.Gamma, MissingValue);
    EXPECT_EQ(r.SlopeT, MissingValue);
    EXPECT_EQ(r.BiasT, MissingValue);
    EXPECT_EQ(r.IdentityF, MissingValue);
    EXPECT_EQ(r.LackOfFitF, MissingValue);
}

TEST_F(Regression, ConsistencyChecksEndTheCommandWithTheirMessage) {
    struct Case {
        double sak1, sak2, sako;
        bool lab;
        const char* contains;
    };
    const Case cases[] = {
        {5.0, 5.0, 6.0, false, ""},
        // Within 0.1 %: still consistent.
        {5.0, 5.004, 5.0, false, ""},
        {5.0, 6.0, 7.0, false, "SAK1         5.0000 <  SAK2        6.0000"},
        {5.0, 6.0, 7.0, true, "SAK1         5.0000 <=  SAK2        6.0000"},
        {5.0, 4.0, 4.0, false, "SAKo         4.0000 <  SAK1        5.0000"},
        // Rounding noise about an exact fit is no contradiction.
        {1e-25, 0.0, 0.0, true, ""},
    };
    for (const Case& c : cases) {
        const std::string e = RegressionConsistencyError(c.sak1, c.sak2, c.sako, c.lab, 1e-12);
        if (*c.contains == 0) {
            EXPECT_TRUE(e.empty()) << e;
        } else {
            EXPECT_NE(e.find(c.contains), std::string::npos) << e;
            EXPECT_NE(e.find("Fejl i Regressionsanalyse"), std::string::npos);
        }
    }
}

TEST_F(Regression, TwentyLaboratoriesDrawBoxPlots) {
    LoadQuality("REG_TWENTY");
    ASSERT_TRUE(DeterminationOfWeightFunction(program));
    TRegression r;
    ASSERT_EQ(r.Calculate(program), TRegressionFigures::TFitResult::Fitted);
    for (int lv = 1; lv <= 3; ++lv) {
        EXPECT_NE(r.Quantiles[static_cast<std::size_t>(lv)].Q1, MissingValue);
    }
    const auto chart = r.MakeChart(program);
    ASSERT_TRUE(chart);
    // Seven lines a box; not the 120 markers of every result.
    int lines = 0;
    const auto shapes = chart->Describe();
    for (const auto& shape : shapes) {
        lines += shape.rfind("line ", 0) == 0 ? 1 : 0;
    }
    EXPECT_GE(lines, 21);
    EXPECT_LT(shapes.size(), 120u);
}

TEST_F(Regression, ISOGuideWorkedExample) {
    // Means 10 and 12, n = 2: mean 11, D = 2, MS = 4, standard error 1,
    // half-width t(0.975; 1) = 12.71: limits -1.71 and 23.71. Laboratory 3
    // has only '<' results and does not count.
    ASSERT_EQ(Read("FILEHEADER\n  UNIFORM\n  NLABS = 3\n  NREPLICATES = 2\n  NOOFLEVELS = 1\n"
                   "  SUBSTANCE = \"S\"\n  UNIT = \"u\"\n  TESTID = \"T\"\nEND\n"
                   "LEVELHEADER\n  LEVELID = \"A\"\nEND\nLEVELDATA\n"
                   "  1 L01 9 11 M1\n  2 L02 12 -99 M1\n  3 L03 <5 <5 M1\nEND\n"),
              0);
    TISOGuide g;
    g.Calculate(program);
    EXPECT_EQ(g.LabCount[1], 2);
    EXPECT_EQ(g.ReplicateCount[1], 2);
    EXPECT_DOUBLE_EQ(g.LevelMean[1], 11);
    EXPECT_DOUBLE_EQ(g.StdError[1], 1);
    EXPECT_NEAR(g.LowerLimit[1], -1.71, 1e-9);
    EXPECT_NEAR(g.UpperLimit[1], 23.71, 1e-9);
    EXPECT_EQ(g.LevelMean[2], 0.0);
}

} // namespace
