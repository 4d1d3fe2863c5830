// The documents and the chart of "Analysis of variance" and "Consensus means
// vs assigned values": golden documents of the example designs, the cells
// that follow the figures (F below 1, a zero between-laboratory component,
// an assigned value of 0, a level without laboratories), the shared range of
// the chart's axes and the check of the assigned values.
#include "PreliminaryFixture.h"

#include "base/TextUtil.h"
#include "charts/GraphObjects.h"
#include "charts/GraphWindow.h"
#include "preliminary/ExcludeLab.h"
#include "quality/ANOVA.h"
#include "quality/ANOVAReport.h"
#include "quality/FoundVsNominal.h"

using namespace veltrio;
using namespace veltrio::testing;

namespace {

class QualityReports : public PreliminaryFixture {
protected:
    // The value cells of the first line of the document that starts with
    // `label` and a TAB.
    std::vector<std::string> Row(TTavContents& doc, const std::string& label) {
        for (const auto& line : doc.AsStrings()) {
            if (line.rfind(label + "\t", 0) == 0) {
                std::vector<std::string> cells;
                std::size_t at = label.size() + 1;
                while (at < line.size()) {
                    const std::size_t tab = line.find('\t', at);
                    cells.push_back(Trim(line.substr(at, tab - at)));
                    at = tab == std::string::npos ? line.size() : tab + 1;
                }
                return cells;
            }
        }
        return {};
    }
};

TEST_F(QualityReports, AnalysisOfVarianceOfBothDesignsMatchesItsGoldenDocuments) {
    for (const std::string name : {"GLUC_ABC", "GLUC_PAIRS"}) {
        Load(name);
        ANOVAOf(program).Calculate(program);
        auto doc = MakeANOVAReport(program);
        ASSERT_NE(doc, nullptr);
        ExpectGolden(*doc, "quality", "anova_" + name);
    }
}

TEST_F(QualityReports, AnalysisOfVarianceCellsFollowTheFigures) {
    // Level 1: the laboratories agree better than the replicates (between
    // mean square below the within one): F < 1, no stars, no p, s(L) = 0.
    // Level 2: clearly different laboratories: F with three stars.
    LoadText(false, 2,
             {{{10.0, 12.0}, {10.5, 11.5}, {11.2, 10.8}, {10.9, 11.1}},
              {{10.0, 10.1}, {20.0, 20.2}, {30.0, 30.1}, {15.0, 15.1}}});
    program.Settings.DiscardOutlierTests = true;
    TANOVA& a = ANOVAOf(program);
    a.Calculate(program);
    ASSERT_LT(a.FValue[1][0], 1.0);
    ASSERT_GT(a.FValue[2][0], 100.0);
    auto doc = MakeANOVAReport(program);
    const auto labs = doc->AsStrings();
    // The first "Laboratories" row belongs to level A, the next to level B.
    std::vector<std::vector<std::string>> rows;
    for (const auto& line : labs) {
        if (line.rfind(program.LibText(1, 12) + "\t", 0) == 0) {
            rows.push_back({});
            std::size_t at = program.LibText(1, 12).size() + 1;
            while (at < line.size()) {
                const std::size_t tab = line.find('\t', at);
                rows.back().push_back(Trim(line.substr(at, tab - at)));
                at = tab == std::string::npos ? line.size() : tab + 1;
            }
        }
    }
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][3].find('*'), std::string::npos) << rows[0][3];
    EXPECT_EQ(rows[0][4], "-");
    EXPECT_NE(rows[1][3].find("***"), std::string::npos) << rows[1][3];
    // The variance components: s(L) of level A is 0 and shown as "-".
    const auto sL = Row(*doc, "s²(L)");
    ASSERT_EQ(sL.size(), 2u);
    EXPECT_EQ(sL[0], "-");
    EXPECT_NE(sL[1].find("²"), std::string::npos);
    // Without an assigned value the coefficients of variation are "-".
    EXPECT_EQ(Row(*doc, "cv(r)"), (std::vector<std::string>{"-", "-"}));
    // The discard note opens the document and the variance components.
    int notes = 0;
    for (const auto& line : labs) {
        notes += line == program.LibText(1, 93) ? 1 : 0;
    }
    EXPECT_EQ(notes, 2);
}

TEST_F(QualityReports, ConsensusMeansFollowTheMarksAndTheAssignedValues) {
    Load("GLUC_ABC");
    // Assigned values 40, 0 and 135: the recovery of level B is empty.
    program.CurrentStudy->Level(1).NominalValue = 40.0;
    program.CurrentStudy->Level(2).NominalValue = 0.0;
    program.CurrentStudy->Level(3).NominalValue = 135.0;
    TFoundVsNominal found;
    found.Calculate(program);
    const double m1 = stats().GrandMean[0];
    EXPECT_NEAR(found.Recovery[1], 100.0 * m1 / 40.0, 1e-12);
    EXPECT_EQ(found.Recovery[2], MissingValue);
    // After an exclusion the consensus mean is that of the laboratories left.
    ExcludeLaboratories(program, {1});
    found.Calculate(program);
    EXPECT_NE(stats().GrandMean[0], m1);
    EXPECT_NEAR(found.Recovery[1], 100.0 * stats().GrandMean[0] / 40.0, 1e-12);

    auto doc = found.MakeReport(program);
    const auto recovery = Row(*doc, program.LibText(1, 70));
    ASSERT_EQ(recovery.size(), 3u);
    EXPECT_EQ(recovery[1], "") << "an assigned value of 0 gives no recovery";

    // The chart: both axes one range; y = x from corner to corner; the
    // level with µ = 0 still drawn at (0, m).
    auto chart = found.MakeChart(program);
    ASSERT_NE(chart, nullptr);
    EXPECT_EQ(chart->XMin(), chart->YMin());
    EXPECT_EQ(chart->XMax(), chart->YMax());
    EXPECT_LE(chart->XMin(), 0.0);
    EXPECT_GE(chart->XMax(), stats().GrandMean[2]);
}

TEST_F(QualityReports, ConsensusMeansNeedAnAssignedValueForEveryLevel) {
    Load("GLUC_ABC");
    ConsensusMeansVsAssignedValues(program);
    ASSERT_EQ(host.Dialogs.size(), 1u);
    EXPECT_EQ(host.Dialogs[0].Caption, "Concensus values vs assigned values");
    EXPECT_EQ(host.Dialogs[0].Text, NominalNotOkText);
}

TEST_F(QualityReports, ConsensusChartWithoutAPointIsANoteInTheDocument) {
    // Every laboratory excluded: no consensus mean, so no point to draw.
    LoadText(false, 2, {{{10.0, 10.2}, {10.4, 10.6}, {10.1, 10.3}}});
    program.CurrentStudy->Level(1).NominalValue = 10.0;
    ExcludeLaboratories(program, {1, 2, 3});
    TFoundVsNominal found;
    found.Calculate(program);
    EXPECT_EQ(found.Recovery[1], MissingValue);
    EXPECT_EQ(found.MakeChart(program), nullptr);
}

} // namespace
