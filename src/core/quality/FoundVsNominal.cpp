#include "quality/FoundVsNominal.h"

#include <algorithm>
#include <vector>

#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "documents/Contents.h"
#include "documents/Table.h"
#include "preliminary/ReportCells.h"
#include "study/Program.h"
#include "study/ReportFraming.h"
#include "study/StudyReader.h"

namespace veltrio {

namespace {

constexpr int kHelpContext = 6100;
constexpr const char* kCheckCaption = "Concensus values vs assigned values";

using A = TAlignment;

} // namespace

void TFoundVsNominal::Calculate(const Program& program) {
    Recovery.fill(MissingValue);
    if (!program.CurrentStudy || !program.Stats) {
        return;
    }
    const DataType& s = *program.CurrentStudy;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const double m = program.Stats->GrandMean[static_cast<std::size_t>(lv - 1)];
        const double mu = s.Level(lv).NominalValue;
        if (m != MissingValue && mu != MissingValue && mu != 0) {
            Recovery[static_cast<std::size_t>(lv)] = 100.0 * m / mu;
        }
    }
}

std::unique_ptr<TTavContents> TFoundVsNominal::MakeReport(Program& program) const {
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    auto doc = std::make_unique<TTavContents>();
    if (program.Settings.DiscardOutlierTests) {
        AddDiscardNote(program, *doc);
    }
    auto t = std::make_unique<TTavTable>(5, s.NoOfLevels + 1);
    t->SetAutoSize(false);
    t->GrowToText = true;
    t->Title = {" " + s.Substance + ", " + s.Unit, program.LibText(1, 66)};
    t->SetColWidthCm(0, 3.4);
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        t->SetColWidthCm(lv, 3.0);
    }
    t->SetHeadHeightCm(1.2);
    SetTextCell(*t->HeadCell(0), {""}, A::alCenter);
    const int labels[][2] = {{2, 100}, {2, 101}, {1, 94}, {1, 69}, {1, 70}};
    for (int r = 0; r < 5; ++r) {
        t->SetRowHeightCm(r, 0.6);
        SetTextCell(*t->ReadCell(r, 0), {program.LibText(labels[r][0], labels[r][1])}, A::alLeft);
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& level = s.Level(lv);
        const auto i = static_cast<std::size_t>(lv - 1);
        SetTextCell(*t->HeadCell(lv), {program.LibText(1, 67), level.LevelName}, A::alCenter);
        SetNumberCell(*t->ReadCell(0, lv), d.NoOfValidLabs[i], 0, A::alDecimal);
        SetNumberCell(*t->ReadCell(1, lv), s.NoOfReplicates, 0, A::alDecimal);
        SetNumberCell(*t->ReadCell(2, lv), d.GrandMean[i], level.Decimals + 1, A::alDecimal);
        SetNumberCell(*t->ReadCell(3, lv), level.NominalValue, level.NominalDecimals,
                      A::alDecimal);
        SetNumberCell(*t->ReadCell(4, lv), Recovery[static_cast<std::size_t>(lv)], 1,
                      A::alDecimal);
    }
    TableLineWidth(program, *t);
    doc->AddTable(std::move(t));
    FrameDocument(program, *doc, kHelpContext);
    return doc;
}

std::shared_ptr<TGraphWindow> TFoundVsNominal::MakeChart(Program& program) const {
    const DataType& s = *program.CurrentStudy;
    std::vector<TPointXY> points;
    double low = 0, high = 0;
    bool any = false;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const double mu = s.Level(lv).NominalValue;
        const double m = program.Stats->GrandMean[static_cast<std::size_t>(lv - 1)];
        if (mu == MissingValue || m == MissingValue) {
            continue;
        }
        points.push_back({mu, m});
        const double lo = std::min(mu, m), hi = std::max(mu, m);
        low = any ? std::min(low, lo) : lo;
        high = any ? std::max(high, hi) : hi;
        any = true;
    }
    // Nothing to draw: the automatic scale has no range to work on.
    if (!any) {
        return nullptr;
    }
    auto chart = NewChartWindow(program.Settings);
    if (program.Settings.DiscardOutlierTests) {
        AddChartDiscardNote(*chart, program.LibText(1, 93), 0.1, 1.0);
    }
    chart->SetTickLength(0.1);
    chart->SetOrigin(1.5, 13);
    chart->SetAxisLengths(11, 11);
    chart->LegendPosition = TLegendPosition::lpOutsideRight;
    const TAxisScale scale = AutoScale(high, low);
    chart->SetXAxis(scale.Decimals, 0, scale.Min, scale.Max, scale.Interval);
    chart->SetYAxis(scale.Decimals, 0, scale.Min, scale.Max, scale.Interval);
    // The line first, so that the points stay visible on it.
    const std::vector<TPointXY> diagonal{{scale.Min, scale.Min}, {scale.Max, scale.Max}};
    chart->AddCurve(diagonal, program.LibText(1, 74), clBlack, 0.1, TPenStyle::psSolid, 0.25,
                    clBlack, 12);
    chart->AddCurve(points, "", clBlack, -1, TPenStyle::psClear, 0.25, clBlack, 6);
    chart->SetTitle(program.LibText(1, 88), ChartOutputFont(program.Settings, 18, true), 0.7);
    const TFontDescriptor axisFont = ChartOutputFont(program.Settings, 10);
    chart->SetXAxisTitle(program.LibText(1, 72) + " " + s.Substance + " (" + s.Unit + ")", 1,
                         axisFont);
    chart->SetYAxisTitle(program.LibText(1, 95), 0, axisFont);
    return chart;
}

void ConsensusMeansVsAssignedValues(Program& program) {
    if (!program.CurrentStudy || !CheckNominalValues(program, kCheckCaption)) {
        return;
    }
    if (!program.Stats) {
        program.RecomputeStatistics();
    }
    TFoundVsNominal found;
    found.Calculate(program);
    auto doc = found.MakeReport(program);
    auto chart = found.MakeChart(program);
    if (!chart) {
        // Said in the document instead of an empty chart.
        doc->AddText(" ");
        doc->AddText(program.LibText(1, 96));
    }
    ShowDocument(program, std::move(doc), program.LibText(5, 40));
    if (chart) {
        program.host().ShowChart(chart, program.LibText(1, 71), kHelpContext);
    }
}

} // namespace veltrio
