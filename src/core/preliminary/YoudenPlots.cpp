#include "preliminary/YoudenPlots.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/TextUtil.h"
#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "documents/NumberText.h"
#include "numerics/Stat.h"
#include "study/Program.h"

namespace veltrio {

namespace {

constexpr int YoudenHelpContext = 5400;
constexpr double AxisLength = 11;
// Laboratory codes per line of the list of laboratories outside the axes.
constexpr int CodesPerLine = 14;

double Coordinate(const TPointXY& p, TCoordinate c) {
    return c == TCoordinate::X ? p.x : p.y;
}

// "Sample id, unit", or the sample id alone without a unit; the unit alone
// when the level names no samples (a uniform level's replicates).
std::string AxisTitle(const std::string& sampleId, const std::string& unit) {
    if (Trim(sampleId).empty()) {
        return unit;
    }
    return Trim(unit).empty() ? sampleId : sampleId + ", " + unit;
}

// A split level's pair by both its samples ("N1/N2"); the level name when
// the samples carry no ids.
std::string PairName(const TLevel& level) {
    const std::string first = Trim(level.SampleId(1));
    const std::string second = Trim(level.SampleId(2));
    if (first.empty() && second.empty()) {
        return level.LevelName;
    }
    return first + "/" + second;
}

// The texts added from object `from` on (at most `count` of them) may move
// away from texts they would cover.
void MarkTextsMovable(TGraphWindow& chart, std::size_t from,
                      std::size_t count = static_cast<std::size_t>(-1)) {
    const auto& objects = chart.Objects();
    for (std::size_t i = from; i < objects.size() && count > 0; ++i) {
        if (auto* text = dynamic_cast<TText*>(objects[i].get())) {
            text->Movable = true;
            --count;
        }
    }
}

} // namespace

TRobustRange RobustRange(std::span<const TPointXY> points, TCoordinate coordinate) {
    TStatObject values;
    std::size_t missing = 0;
    for (const auto& p : points) {
        const double v = Coordinate(p, coordinate);
        if (v == MissingValue) {
            ++missing;
        } else {
            values.Add(v);
        }
    }
    // Missing coordinates leave as long as more than one point remains.
    if (values.Count() == 0 && missing > 0) {
        values.Add(MissingValue);
    }
    TRobustRange r;
    if (values.Count() == 0) {
        r.Min = r.Max = r.Upper = r.Lower = MissingValue;
        return r;
    }
    r.Min = values.Min;
    r.Max = values.Max;
    const double median = values.Median();
    TStatObject deviations;
    for (double v : values.Values()) {
        deviations.Add(std::fabs(v - median));
    }
    const double mad = deviations.Median();
    r.Upper = median + 5.2 * mad;
    r.Lower = median - 5.2 * mad;
    return r;
}

void YoudenChart(Program& program, TGraphWindow& chart, int levelNo, bool withTitles) {
    const DataType& study = *program.CurrentStudy;
    const TLevel& level = study.Level(levelNo);
    const bool split = study.Design == dkSplitLevel;

    chart.SetTickLength(0.15);
    chart.SetOrigin(2.5, 13);
    chart.SetAxisLengths(AxisLength, AxisLength);

    // Every laboratory as (result 1, result 2) with its code; the Cochran
    // and Grubbs outliers once more in a list of their own.
    std::vector<TPointXY> points;
    std::vector<std::string> codes;
    std::vector<TPointXY> outliers;
    std::vector<std::string> outlierLabels;
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        const char mark = level.GetMark(lab);
        TPointXY p{MissingValue, MissingValue};
        if (mark != MarkFileExcluded && mark != MarkUserExcluded && level.NoOfReplicates >= 2) {
            const TResult& first = level.GetResult(lab, 1);
            const TResult& second = level.GetResult(lab, 2);
            p.x = first.Flag != ' ' ? MissingValue : first.Value;
            p.y = second.Flag != ' ' || p.x == MissingValue ? MissingValue : second.Value;
        }
        points.push_back(p);
        codes.push_back(level.GetRandCode(lab));
        if (mark == MarkCochranOutlier || mark == MarkGrubbsOutlier) {
            outliers.push_back(p);
            outlierLabels.push_back(mark == MarkCochranOutlier ? "Cochran" : "Grubbs");
        } else {
            outliers.push_back({MissingValue, MissingValue});
            outlierLabels.emplace_back();
        }
    }

    // One scale for both axes; laboratories beyond the median ± 5.2 MAD do
    // not stretch it, and it never starts below 0 on their account.
    const TRobustRange rx = RobustRange(points, TCoordinate::X);
    const TRobustRange ry = RobustRange(points, TCoordinate::Y);
    double low = std::max(0.0, std::min(std::max(rx.Min, rx.Lower), std::max(ry.Min, ry.Lower)));
    double high = std::max(std::min(rx.Max, rx.Upper), std::min(ry.Max, ry.Upper));
    const double nominal = level.NominalValue;
    const bool circle = program.Settings.Circle20 && nominal != MissingValue;
    if (nominal != MissingValue) {
        low = std::min(low, nominal);
        high = std::max(high, nominal);
        if (circle) {
            low = std::min(low, 0.8 * nominal);
            high = std::max(high, 1.2 * nominal);
        }
    }
    // No laboratory to plot: a scale around the low end.
    if (high < low) {
        high = low;
    }
    const TAxisScale scale = AutoScale(high, low);
    const double a = scale.Min, b = scale.Max;
    chart.SetXAxis(scale.Decimals, 0, a, b, scale.Interval);
    chart.SetYAxis(scale.Decimals, 0, a, b, scale.Interval);

    // The circle of ± 20 % around the assigned value.
    if (circle) {
        chart.AddCircle(chart.PageX(nominal), chart.PageY(nominal),
                        0.4 * nominal * AxisLength / (b - a), clBlack, false);
    }

    const TFontDescriptor labelFont = ChartOutputFont(program.Settings, 8);
    chart.AddLabelledCurve(outliers, "", clBlack, -1, TPenStyle::psClear, 0.4, clBlack, 5,
                           outlierLabels, labelFont, 3);

    // Laboratories with both results whose point lies outside the axes.
    std::vector<std::string> outside{program.LibText(0, 1), ""};
    int onLine = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const TPointXY& p = points[i];
        if (p.x == MissingValue || p.y == MissingValue) {
            continue;
        }
        if (p.x < a || p.x > b || p.y < a || p.y > b) {
            if (onLine == CodesPerLine) {
                outside.emplace_back();
                onLine = 0;
            }
            outside.back() += " " + codes[i];
            ++onLine;
        }
    }
    const bool anyOutside = outside.size() > 2 || !outside.back().empty();

    // Codes of laboratories close together, and the assigned value's label,
    // move apart rather than print over each other.
    const std::size_t codesFrom = chart.Objects().size();
    chart.AddLabelledCurve(points, "", clBlack, -1, TPenStyle::psClear, 0.25, clBlack, 12, codes,
                           labelFont, 4);
    MarkTextsMovable(chart, codesFrom);

    if (anyOutside) {
        for (std::size_t k = 0; k < outside.size(); ++k) {
            chart.AddText(outside[k], chart.X0(), chart.Y0() + 1.5 + 0.5 * static_cast<double>(k),
                          0, 2, chart.StandardFont);
        }
    }

    if (nominal != MissingValue) {
        const std::vector<TPointXY> assigned{{nominal, nominal}};
        const std::size_t labelFrom = chart.Objects().size();
        chart.AddLabelledCurve(assigned, program.LibText(0, 2), clBlack, -1, TPenStyle::psClear,
                               0.15, clBlack, 6, {program.LibText(0, 2)},
                               ChartOutputFont(program.Settings, 10), 1);
        // The label, not the legend entry that follows it.
        MarkTextsMovable(chart, labelFrom, 1);
    }

    const std::vector<TPointXY> diagonal{{a, a}, {b, b}};
    const std::string diagonalText =
        split ? " " + level.SampleId(2) + "=" + level.SampleId(1) : std::string(" y=x");
    chart.AddCurve(diagonal, diagonalText, clBlack, -1, TPenStyle::psSolid, 0.25, clBlack, 12);

    const TFontDescriptor titleFont = ChartOutputFont(program.Settings, 10);
    // A uniform level's axes are its first and second replicate.
    const std::string xName = split ? level.SampleId(1) : program.LibText(0, 9) + " 1";
    const std::string yName = split ? level.SampleId(2) : program.LibText(0, 9) + " 2";
    chart.SetXAxisTitle(AxisTitle(xName, study.Unit), 1, titleFont);
    chart.SetYAxisTitle(AxisTitle(yName, study.Unit), 0, titleFont);

    if (withTitles) {
        if (split) {
            const std::string spiking =
                level.Spiking != MissingValue
                    ? program.LibText(0, 3) + " " +
                          FormatFixed(level.Spiking, 15, level.SpikingDecimals) + " " +
                          program.LibText(0, 4) + " " + level.SampleId(level.SpikedSample)
                    : program.LibText(0, 5);
            chart.SetTitle(spiking, ChartOutputFont(program.Settings, 10), 0.3);
        }
        chart.SetTitle(program.LibText(0, 6), ChartOutputFont(program.Settings, 18, true), 1.5);
        const std::string levelLine =
            split ? study.Substance + ", " + Trim(program.LibText(0, 7)) + " " + PairName(level)
                  : study.Substance + ", " + program.LibText(0, 8) + " " + level.LevelName;
        chart.SetTitle(levelLine, ChartOutputFont(program.Settings, 12), 0.9);
    }
}

void YoudenPlots(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    const DataType& study = *program.CurrentStudy;
    for (int l = 1; l <= study.NoOfLevels; ++l) {
        const TLevel& level = study.Level(l);
        if (level.AllLabsIncomplete) {
            continue;
        }
        auto chart = NewChartWindow(program.Settings);
        if (program.Settings.DiscardOutlierTests) {
            AddChartDiscardNote(*chart, program.LibText(1, 93), 0.1, 1.0);
        }
        YoudenChart(program, *chart, l, true);
        // A split level's pair by its two samples; a uniform level, whose
        // replicates are no pair, by its name.
        const std::string caption =
            program.LibText(0, 6) + " " + study.Substance + ", " + study.Unit +
            (study.Design == dkSplitLevel ? program.LibText(0, 7) + " " + PairName(level)
                                          : ", " + program.LibText(0, 8) + " " + level.LevelName);
        program.host().ShowChart(chart, caption, YoudenHelpContext);
    }
}

} // namespace veltrio
