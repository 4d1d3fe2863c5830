#include "labs/LineDiagrams.h"

#include <string>
#include <vector>

#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "documents/NumberText.h"
#include "numerics/Stat.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"

namespace veltrio {

namespace {

constexpr int LineDiagramHelpContext = 5500;
constexpr int BlockSize = 50;
constexpr double ValueAxisLength = 12;
constexpr double CharWidth = 0.12;

std::string Fixed(double value, int decimals) {
    return FormatFixed(value, 15, decimals < 0 ? 0 : decimals);
}

std::string CaptionOf(Program& program, const TLevel& level) {
    return program.LibText(2, 95) + " : " + program.LibText(1, 11) + " " + level.LevelName;
}

bool IsExcludedMark(char mark) {
    return mark == MarkFileExcluded || mark == MarkUserExcluded;
}

bool IsOutlierMark(char mark) {
    return mark == MarkCochranOutlier || mark == MarkGrubbsOutlier;
}

const char* MarkLabel(char mark) {
    switch (mark) {
    case MarkCochranOutlier:
        return "Cochran";
    case MarkGrubbsOutlier:
        return "Grubbs";
    case MarkFileExcluded:
        return "U";
    case MarkUserExcluded:
        return "UL";
    default:
        return nullptr;
    }
}

} // namespace

void LineDiagramChart(Program& program, TGraphWindow& chart, int levelNo, int first, int last) {
    const DataType& study = *program.CurrentStudy;
    const TLevel& level = study.Level(levelNo);
    const TPreliminaryStats& prelim = *program.Prelim;
    const int r = last - first + 1;
    const double s = r > 22 ? 23.0 / r : 1.0;
    const bool regNo = program.Settings.ShowRegLabNo;
    const double x0 = regNo ? 3 : 2.1;
    const double y0 = r * s + 2;
    chart.SetOrigin(x0, y0);
    chart.SetAxisLengths(ValueAxisLength, r * s);
    chart.SetTickLength(0.1);

    const TFontDescriptor labelFont = ChartOutputFont(program.Settings, 10);
    auto titles = [&] {
        chart.SetTitle(CaptionOf(program, level), ChartOutputFont(program.Settings, 18, true), 0.7);
        chart.SetXAxisTitle(study.Substance + " " + study.Unit, 1, labelFont);
        chart.SetYAxisTitle(program.LibText(2, 5), 1, labelFont);
    };

    const double descMin = TPreliminaryStats::At(prelim.DescMin, levelNo, 1);
    if (descMin == MissingValue) {
        chart.SetXAxis(0, 0, 0, 1, 1);
        chart.SetYAxis(0, 0, 0, 1, 1);
        titles();
        chart.AddText(program.LibText(2, 104), x0 + 1, y0 - 2, 0, 0, chart.StandardFont);
        return;
    }

    const TAxisScale scale = AutoScale(TPreliminaryStats::At(prelim.DescMax, levelNo, 1), descMin);
    const double xmin = scale.Min, xmax = scale.Max;
    chart.SetXAxis(scale.Decimals, 0, xmin, xmax, scale.Interval);
    chart.SetYAxis(0, 2, first - 1, last, 1);
    chart.AddLine(x0, y0, x0, y0 - r * s - 0.2);

    // Laboratory codes, and the excluded laboratories circled.
    const TFontDescriptor markFont = ChartOutputFont(program.Settings, 8);
    for (int lab = first; lab <= last; ++lab) {
        const double y = y0 - (lab - first + 1) * s;
        const std::string& code = level.GetRandCode(lab);
        double xc = x0 - 0.3;
        if (regNo) {
            chart.AddText(study.Level(1).GetRegLabNo(lab), xc, y, 2, 1, labelFont);
            xc -= 1;
        }
        chart.AddText(code, xc, y, 2, 1, labelFont);
        if (const char* label = MarkLabel(level.GetMark(lab))) {
            const double k = static_cast<double>(code.size());
            const double diameter = (k - 1) * CharWidth + 0.6;
            chart.AddCircle(xc - k * CharWidth, y, diameter, clBlack, false);
            chart.AddText(label, xc - k * CharWidth - diameter / 2 - 0.1, y, 2, 1, markFont);
        }
    }

    // The general mean.
    const double grandMean = program.Stats->GrandMean[TDescriptiveStatistics::Slot(levelNo)];
    if (grandMean != MissingValue) {
        const double px = chart.PageX(grandMean);
        chart.AddLine(px, chart.PageY(first - 1), px, chart.PageY(last));
        chart.AddText("m", px, 2.0, 1, 0, chart.StandardFont);
    }

    // The results, and the list of those outside the value axis.
    std::vector<std::string> outsideLines;
    for (int lab = first; lab <= last; ++lab) {
        if (IsExcludedMark(level.GetMark(lab))) {
            continue;
        }
        std::vector<TPointXY> points;
        for (const TResult& result : level.Results(lab)) {
            if (!result.Usable()) {
                continue;
            }
            if (xmin < result.Value && result.Value <= xmax) {
                points.push_back({result.Value, static_cast<double>(lab)});
            } else {
                outsideLines.push_back("    " + program.LibText(10, 1) + " " +
                                       level.GetRandCode(lab) + program.LibText(10, 2) +
                                       Fixed(result.Value, result.Decimals));
            }
        }
        chart.AddCurve(points, "", clBlack, -1, TPenStyle::psSolid, 0.2, clBlack, 7);
    }
    // The usable results of the whole level without the excluded and the
    // outlying laboratories.
    TStatObject withoutOutliers;
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        const char mark = level.GetMark(lab);
        if (IsExcludedMark(mark) || IsOutlierMark(mark)) {
            continue;
        }
        for (const TResult& result : level.Results(lab)) {
            if (result.Usable()) {
                withoutOutliers.Add(result.Value);
            }
        }
    }

    // The level's figures with every usable result and without the excluded
    // laboratories.
    const TFontDescriptor& font = chart.StandardFont;
    const int d = level.Decimals;
    chart.AddText(program.LibText(2, 111), x0 + ValueAxisLength, y0 - r * s, 2, 0, font);
    auto figureLine = [&](double y, const std::string& heading, int n, double mean, double sd) {
        chart.AddText(heading, x0, y, 0, 2, font);
        chart.AddText(program.LibText(2, 110) + " " + std::to_string(n), x0 + 6, y, 0, 2, font);
        chart.AddText(program.LibText(2, 74) + " " + (mean == MissingValue ? "-" : Fixed(mean, d)),
                      x0 + 7.5, y, 0, 2, font);
        chart.AddText(program.LibText(2, 72) + (sd == MissingValue ? " -" : " " + Fixed(sd, d)),
                      x0 + 11, y, 0, 2, font);
    };
    figureLine(y0 + 1.8, program.LibText(2, 71),
               TPreliminaryStats::At(prelim.DescUsable, levelNo, 1),
               TPreliminaryStats::At(prelim.DescMean, levelNo, 1),
               TPreliminaryStats::At(prelim.DescSD, levelNo, 1));
    figureLine(y0 + 2.3, program.LibText(2, 73), withoutOutliers.Count(), withoutOutliers.Mean(),
               withoutOutliers.Count() >= 2 ? withoutOutliers.SD() : MissingValue);

    if (!outsideLines.empty()) {
        chart.AddText(program.LibText(10, 3), x0, y0 + 2.8, 0, 2, font);
        for (std::size_t k = 0; k < outsideLines.size(); ++k) {
            chart.AddText(outsideLines[k], x0, y0 + 3.3 + 0.5 * static_cast<double>(k), 0, 2, font);
        }
    }
    titles();
}

void LineDiagrams(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    CurrentDescriptiveFigures(program);
    const DataType& study = *program.CurrentStudy;
    for (int l = 1; l <= study.NoOfLevels; ++l) {
        const TLevel& level = study.Level(l);
        for (int first = 1; first <= study.NoOfLabs; first += BlockSize) {
            const int last =
                first + BlockSize >= study.NoOfLabs ? study.NoOfLabs : first + BlockSize - 1;
            auto chart = NewChartWindow(program.Settings);
            if (program.Settings.DiscardOutlierTests) {
                // Above the title.
                AddChartDiscardNote(*chart, program.LibText(1, 93), 0.1, 0.5);
            }
            LineDiagramChart(program, *chart, l, first, last);
            program.host().ShowChart(chart, CaptionOf(program, level), LineDiagramHelpContext);
        }
    }
}

} // namespace veltrio
