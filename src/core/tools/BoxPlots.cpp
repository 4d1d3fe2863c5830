#include "tools/BoxPlots.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "documents/NumberText.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"

namespace veltrio {

namespace {

constexpr int BoxPlotHelpContext = 8100;
constexpr std::array<double, 5> Baselines{5.0, 9.5, 14.0, 18.5, 23.0};
constexpr double AxisLength = 13.0;
// Box heights on the vertical axis (0..3): sample 1 of a split level above
// sample 2; a single box at the lower place.
constexpr double UpperBox = 1.5;
constexpr double LowerBox = 0.5;
constexpr TColor clBlue = MakeColor(0, 0, 255);

// The quartile figures of one sample column of a level.
struct TQuartiles {
    double Median = MissingValue;
    double Q25 = MissingValue;
    double Q75 = MissingValue;
    double IQR = MissingValue;

    bool Present() const {
        return Median != MissingValue && Q25 != MissingValue && Q75 != MissingValue &&
               IQR != MissingValue;
    }
};

TQuartiles QuartilesOf(const TPreliminaryStats& p, int level, int column) {
    return {TPreliminaryStats::At(p.DescMedian, level, column),
            TPreliminaryStats::At(p.DescQ25, level, column),
            TPreliminaryStats::At(p.DescQ75, level, column),
            TPreliminaryStats::At(p.DescIQR, level, column)};
}

} // namespace

void DrawLevelPanel(Program& program, int levelNo, bool lastLevel, TGraphWindow& chart,
                    double baseline, double leftEdge) {
    const DataType& study = *program.CurrentStudy;
    const TLevel& level = study.Level(levelNo);
    const TPreliminaryStats& prelim = *program.Prelim;
    const double b = baseline;
    const TFontDescriptor font10 = ChartOutputFont(program.Settings, 10);

    chart.LegendOn = false;
    chart.SetTickLength(0.1);
    chart.SetMarkerSize(0.3);
    chart.SetOrigin(leftEdge, b);
    chart.SetAxisLengths(AxisLength, 4.5);

    const bool split = study.Design == dkSplitLevel;
    const std::array<TQuartiles, 2> q{QuartilesOf(prelim, levelNo, 1),
                                      QuartilesOf(prelim, levelNo, 2)};
    const bool twoSamples = split && q[0].Present() && q[1].Present();
    const bool singleBox = !twoSamples && q[0].Present();

    if (twoSamples || singleBox) {
        const int samples = twoSamples ? 2 : 1;
        double lower = q[0].Q25 - 2 * q[0].IQR;
        double upper = q[0].Q75 + 2 * q[0].IQR;
        if (twoSamples) {
            lower = std::min(lower, q[1].Q25 - 2 * q[1].IQR);
            upper = std::max(upper, q[1].Q75 + 2 * q[1].IQR);
        }
        const TAxisScale scale = AutoScale(upper, lower);
        const double amin = program.Settings.LowerXZero ? 0.0 : scale.Min;
        const double amax = scale.Max;
        chart.SetYAxis(0, 2, 0, 3, 1);
        chart.SetXAxis(scale.Decimals, 0, amin, amax, scale.Interval);

        TBoxList boxes;
        boxes.Horizontal = true;
        boxes.BoxWidth = 0.8;
        boxes.WhiskerWidth = 0.3;
        const std::array<double, 2> heights{twoSamples ? UpperBox : LowerBox, LowerBox};
        for (int s = 0; s < samples; ++s) {
            const TQuartiles& qs = q[static_cast<std::size_t>(s)];
            boxes.Boxes.push_back({qs.Q25 - qs.IQR, qs.Q25, qs.Median, qs.Q75, qs.Q75 + qs.IQR,
                                   heights[static_cast<std::size_t>(s)]});
        }
        // The labels end a little left of the axis, clear of a point drawn
        // at its first value.
        const double labelEdge = leftEdge - 0.2;
        if (twoSamples) {
            chart.AddText(level.SampleId(1) + ".", labelEdge, b - 2.0, 2, 0, font10);
            chart.AddText(level.SampleId(2) + ".", labelEdge, b - 0.5, 2, 0, font10);
        }
        chart.AddBoxPlots(boxes);

        // Results beyond the whiskers as points; those beyond the axis only
        // counted. A split level's samples are its two replicate positions;
        // a single box takes every replicate of a uniform level and the
        // first sample of a split level.
        std::array<int, 2> outside{0, 0};
        for (int s = 0; s < samples; ++s) {
            const TQuartiles& qs = q[static_cast<std::size_t>(s)];
            std::vector<TPointXY> points;
            for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
                const char mark = level.GetMark(lab);
                if (mark == MarkFileExcluded || mark == MarkUserExcluded) {
                    continue;
                }
                for (int rep = 1; rep <= level.NoOfReplicates; ++rep) {
                    if (split && rep != s + 1) {
                        continue;
                    }
                    const TResult& result = level.GetResult(lab, rep);
                    if (result.Value == MissingValue || result.Flag != ' ') {
                        continue;
                    }
                    double value = result.Value;
                    if (split && rep == level.SpikedSample && level.Spiking != MissingValue) {
                        value += level.Spiking;
                    }
                    if (value < amin || value > amax) {
                        ++outside[static_cast<std::size_t>(s)];
                    } else if (value < qs.Q25 - qs.IQR || value > qs.Q75 + qs.IQR) {
                        points.push_back({value, heights[static_cast<std::size_t>(s)]});
                    }
                }
            }
            chart.AddCurve(points, "", clBlue, -1, TPenStyle::psClear, 0.25, clBlue, 5);
        }

        const int d = level.Decimals + 1;
        const double x = leftEdge + 13.5;
        // Four lines in the 1.5 cm beside a box (a split level's two boxes
        // are 1.5 cm apart): 8 points high and 0.36 cm apart they stand clear
        // of each other and of the other box's lines (10 points at 0.3 cm
        // touch).
        const TFontDescriptor font8 = ChartOutputFont(program.Settings, 8);
        constexpr double step = 0.36;
        for (int s = 0; s < samples; ++s) {
            const TQuartiles& qs = q[static_cast<std::size_t>(s)];
            const double y = b - 3.0 + 1.5 * s;
            chart.AddText(" Q75 = " + FormatThousands(qs.Q75, 8, d), x, y, 0, 2, font8);
            chart.AddText(" M   = " + FormatThousands(qs.Median, 8, d), x, y + step, 0, 2, font8);
            chart.AddText(" Q25 = " + FormatThousands(qs.Q25, 8, d), x, y + 2 * step, 0, 2, font8);
            chart.AddText(program.LibText(3, 9) + " " +
                              std::to_string(outside[static_cast<std::size_t>(s)]),
                          x, y + 3 * step, 0, 2, font8);
        }
        if (singleBox) {
            chart.AddText(level.LevelName + ".", labelEdge, b - 0.5, 2, 0, font10);
        }
    }

    if (lastLevel) {
        const TFontDescriptor font12 = ChartOutputFont(program.Settings, 12);
        // Below the last axis's tick labels, not on them, and a line of
        // 12 points apart.
        for (int k = 0; k < 8; ++k) {
            chart.AddText(program.LibText(3, k + 1), leftEdge, b + 1.0 + 0.55 * k, 0, 2, font12);
        }
    }
}

void MakeBoxPlots(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    CurrentDescriptiveFigures(program);
    const DataType& study = *program.CurrentStudy;
    auto chart = NewChartWindow(program.Settings);
    chart->AddText(study.TestId + ", " + study.Substance + " " + study.Unit, 10.0, 1.0, 1, 1,
                   ChartOutputFont(program.Settings, 15));
    const int levels = std::min<int>(study.NoOfLevels, static_cast<int>(Baselines.size()));
    for (int l = 1; l <= levels; ++l) {
        DrawLevelPanel(program, l, l == study.NoOfLevels, *chart,
                       Baselines[static_cast<std::size_t>(l - 1)], 1.1);
    }
    program.host().ShowChart(chart, "Box Plots", BoxPlotHelpContext);
}

} // namespace veltrio
