// The charts of the weight function and of the regressions: no text over
// another, no extra point or curve from missing figures.
#include "ChartFixture.h"

#include "quality/ANOVA.h"
#include "quality/Regression.h"
#include "quality/Weights.h"

namespace veltrio::testing {
namespace {

class RegressionCharts : public ChartFixture {
protected:
    void LoadQuality(const std::string& name) {
        ASSERT_EQ(ReadStudyFile(program, std::filesystem::path(VELTRIO_TEST_DATA) / "quality" /
                                             (name + ".PAR")),
                  0);
    }
};

int Count(const TGraphWindow& chart, const std::string& prefix) {
    int n = 0;
    for (const auto& shape : chart.Describe()) {
        n += shape.rfind(prefix, 0) == 0 ? 1 : 0;
    }
    return n;
}

TEST_F(RegressionCharts, NoTextCoversAnother) {
    for (const std::string name : {"GLUC_ASSIGNED", "REG_TWENTY", "REG_NEGATIVE"}) {
        SCOPED_TRACE(name);
        charts.Charts.clear();
        LoadQuality(name);
        program.ChooseRegressionLab = [](Program&) { return 2; };
        RegressionAnalysis(program);
        RegressionAnalysisOnALaboratory(program);
        // The weight function's, the regression's and the laboratory's.
        ASSERT_EQ(charts.Charts.size(), 3u);
        EXPECT_EQ(charts.Charts[0].HelpContext, 6200);
        EXPECT_EQ(charts.Charts[1].HelpContext, 6300);
        EXPECT_EQ(charts.Charts[2].HelpContext, 6500);
        for (const auto& shown : charts.Charts) {
            for (const auto& pair : OverlappingTexts(*shown.Chart)) {
                ADD_FAILURE() << shown.Caption << ": " << pair;
            }
        }
        // The weight chart in the dialog's area as well.
        TGraphWindow dialogChart;
        dialogChart.SetXinCm(24.8);
        dialogChart.SetYinCm(17.1);
        WeightsOf(program).DrawChart(program, dialogChart, true);
        for (const auto& pair : OverlappingTexts(dialogChart)) {
            ADD_FAILURE() << "dialog: " << pair;
        }
    }
}

TEST_F(RegressionCharts, MissingFiguresDrawNothing) {
    LoadQuality("GLUC_ASSIGNED");
    ASSERT_TRUE(DeterminationOfWeightFunction(program));
    TRegression r;
    ASSERT_EQ(r.Calculate(program), TRegressionFigures::TFitResult::Fitted);
    const auto fitted = r.MakeChart(program);
    // Without coefficients only y = x is drawn: no fitted line and no legend
    // entry for it.
    r.Alpha = MissingValue;
    r.Beta = MissingValue;
    const auto unfitted = r.MakeChart(program);
    EXPECT_EQ(Count(*fitted, "line ") - Count(*unfitted, "line "), 2);
    // A level without s(R) gives the weight chart no point and no room
    // above it: the value axis reaches 1.4 times the largest s(R) there is.
    TWeights& w = WeightsOf(program);
    TANOVA& a = ANOVAOf(program);
    TGraphWindow chart;
    w.DrawChart(program, chart, false);
    const double top = chart.YMax();
    a.SR[3] = MissingValue;
    TGraphWindow without;
    w.DrawChart(program, without, false);
    EXPECT_LE(without.YMax(), top);
    EXPECT_GE(without.YMax(), 1.4 * std::max(a.SR[1], a.SR[2]));
    EXPECT_GE(without.YMin(), 0.0);
}

} // namespace
} // namespace veltrio::testing
