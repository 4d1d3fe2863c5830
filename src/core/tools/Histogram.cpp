#include "tools/Histogram.h"

#include <algorithm>
#include <cmath>

#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "documents/Contents.h"
#include "documents/NumberText.h"
#include "documents/Table.h"
#include "numerics/Distributions.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int HistogramHelpContext = 8400;
constexpr int MiddleClass = 9;

using A = TAlignment;

void TextCell(TTavCell& cell, const std::string& text, A alignment) {
    cell.Lines.clear();
    cell.AddLines({text});
    cell.Kind = TCellKind::ckLines;
    cell.Alignment = alignment;
}

void NumberCell(TTavCell& cell, double value, int decimals) {
    cell.Kind = TCellKind::ckNumber;
    cell.Decimals = decimals;
    cell.SetValue(value);
    cell.Alignment = A::alRight;
}

bool UsableHere(const TLevel& level, int lab, const TResult& r) {
    const char mark = level.GetMark(lab);
    return mark != MarkFileExcluded && mark != MarkUserExcluded && r.Value != MissingValue &&
           r.Flag == ' ';
}

// Calls f(lab, result) for every usable value of a level, in laboratory and
// replicate order.
template <typename F> void ForUsableValues(const TLevel& level, F&& f) {
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        for (int rep = 1; rep <= level.NoOfReplicates; ++rep) {
            const TResult& r = level.GetResult(lab, rep);
            if (UsableHere(level, lab, r)) {
                f(lab, r);
            }
        }
    }
}

// Φ at a class's lower and upper end; the open tails end at 0 and 1.
double ClassProbability(const std::array<THistogramClass, HistogramClassCount>& classes,
                        std::size_t i, double (*z)(double, double, double), double m, double s) {
    const double upper = i + 1 == classes.size() ? 1.0 : NormalCDF(z(classes[i].Upper, m, s));
    const double lower = i == 0 ? 0.0 : NormalCDF(z(classes[i].Lower, m, s));
    return upper - lower;
}

double ZNormal(double x, double m, double s) {
    return (x - m) / s;
}
double ZLognormal(double x, double m, double s) {
    return (std::log(x) - m) / s;
}

// The G statistic 2·n·S and its upper-tail probability. A G below 0 can only
// come from rounding (every class fits exactly) and counts as 0.
std::pair<double, double> GTest(int n, double s) {
    const double g = std::max(0.0, 2.0 * n * s);
    const double p = 1.0 - ChiSquareProbability(THistogram::DegreesOfFreedom, g);
    return {g, std::clamp(p, 0.0, 1.0)};
}

} // namespace

double OneDigitWidth(double x) {
    if (!(x > 0) || !std::isfinite(x)) {
        return MissingValue;
    }
    int k = 0;
    if (x >= 1) {
        while (x > 10) {
            x /= 10;
            ++k;
        }
        return std::nearbyint(x) * std::pow(10.0, k);
    }
    while (x < 1) {
        x *= 10;
        ++k;
    }
    // Divided rather than multiplied by 0.1 k times, which would leave
    // 0.09000000000000001 for 0.09.
    return std::nearbyint(x) / std::pow(10.0, k);
}

double NormalCDF(double z) {
    constexpr double phi0 = 0.3989422804;
    if (z == 0) {
        return 0.5;
    }
    if (!std::isfinite(z)) {
        return z > 0 ? 1.0 : 0.0;
    }
    const double a = std::fabs(z);
    if (a < 2.5) {
        const double t = -z * z / 2;
        double sum = 1.0;
        double power = 1.0;     // t^k
        double factorial = 1.0; // k!
        for (int k = 1; k <= 17; ++k) {
            power *= t;
            factorial *= k;
            sum += power / (factorial * (2 * k + 1));
        }
        return 0.5 + phi0 * z * sum;
    }
    // R = 1/(a + 1/(a + 2/(a + 3/(a + ...)))) by its convergents A/B, two at
    // a time, until a·R settles to 1e-6.
    double aPrev = 1.0, a0 = 0.0; // A(-1), A(0)
    double bPrev = 0.0, b0 = 1.0; // B(-1), B(0)
    double last = 0.0;
    double r = 0.0;
    for (int k = 1; k <= 2000; ++k) {
        const double num = k == 1 ? 1.0 : static_cast<double>(k - 1);
        const double a1 = a * a0 + num * aPrev;
        const double b1 = a * b0 + num * bPrev;
        aPrev = a0;
        a0 = a1;
        bPrev = b0;
        b0 = b1;
        // Keep the recurrence in range.
        const double scale = std::fabs(b0);
        if (scale > 1e100) {
            aPrev /= scale;
            a0 /= scale;
            bPrev /= scale;
            b0 /= scale;
        }
        if (k % 2 == 0) {
            r = a0 / b0;
            if (std::fabs(a * r - last) < 1e-6) {
                break;
            }
            last = a * r;
        }
    }
    const double q = phi0 * std::exp(-z * z / 2) * r;
    return z > 0 ? 1.0 - q : q;
}

void THistogram::PrepareHistograms(Program& program) {
    const DataType& s = *program.CurrentStudy;
    program.host().StartProgress(s.NoOfLevels);
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        THistogramLevel& h = Levels[i];
        h = THistogramLevel{};
        h.LognormalOK = true;
        ValueStats[i] = TStatObject{};
        LogStats[i] = TStatObject{};
        ForUsableValues(s.Level(lv), [&](int, const TResult& r) {
            ValueStats[i].Add(r.Value);
            if (r.Value > 0) {
                LogStats[i].Add(std::log(r.Value));
            } else {
                h.LognormalOK = false;
            }
        });
        ValueStats[i].SD();
        LogStats[i].SD();
        program.host().StepProgress();
    }
    program.host().EndProgress();
}

void THistogram::ComputeLevel(Program& program, int lv) {
    const TLevel& level = program.CurrentStudy->Level(lv);
    const auto li = static_cast<std::size_t>(lv);
    THistogramLevel& h = Levels[li];
    TStatObject& values = ValueStats[li];
    TStatObject& logs = LogStats[li];
    h.N = values.Count();
    h.Mean = values.Mean();
    h.SD = values.StdDev();
    h.HasSpread = h.N >= 2 && h.SD > 0;
    if (!h.HasSpread) {
        h.LognormalOK = false;
        return;
    }
    h.LogMean = logs.Mean();
    h.LogSD = logs.StdDev();
    // A lognormal spread of 0 (values so close that their logarithms do
    // not differ) leaves nothing to divide by: no lognormal fit.
    if (!(h.LogSD > 0) || logs.Count() != h.N) {
        h.LognormalOK = false;
    }

    // Classes: 9 is centred on the mean, the others follow outwards.
    const double w = OneDigitWidth(0.4 * h.SD);
    h.ClassWidth = w;
    auto& c = h.Classes;
    const std::size_t mid = MiddleClass - 1;
    c[mid].Lower = h.Mean - w / 2;
    c[mid].Upper = h.Mean + w / 2;
    for (std::size_t i = mid + 1; i + 1 < c.size(); ++i) {
        c[i].Lower = c[i - 1].Upper;
        c[i].Upper = c[i].Lower + w;
    }
    for (std::size_t i = mid; i-- > 1;) {
        c[i].Upper = c[i + 1].Lower;
        c[i].Lower = c[i].Upper - w;
    }
    c[0].Upper = c[1].Lower;
    c[0].Lower = c[0].Upper;
    c[16].Lower = c[15].Upper;
    c[16].Upper = c[16].Lower;

    ForUsableValues(level, [&](int lab, const TResult& r) {
        const double x = r.Value;
        if (x <= c[1].Lower || x > c[15].Upper) {
            h.Outside.push_back({level.GetRandCode(lab), x, r.Decimals});
            return;
        }
        for (std::size_t i = 1; i <= 15; ++i) {
            if (c[i].Lower < x && x <= c[i].Upper) {
                c[i].Count += 1;
                break;
            }
        }
    });
    for (const auto& cl : c) {
        h.MaxCount = std::max(h.MaxCount, cl.Count);
    }

    // The fits.
    const double n = h.N;
    double sNormal = 0, sLognormal = 0, sumN = 0, sumL = 0;
    for (std::size_t i = 0; i < c.size(); ++i) {
        const double f = c[i].Count / n;
        c[i].PNormal = ClassProbability(c, i, ZNormal, h.Mean, h.SD);
        sumN += c[i].PNormal;
        if (c[i].PNormal != 0 && f != 0) {
            sNormal += f * std::log(f / c[i].PNormal);
        }
        if (!h.LognormalOK) {
            continue;
        }
        const bool needsUpper = i + 1 < c.size();
        const bool needsLower = i > 0;
        if ((needsUpper && !(c[i].Upper > 0)) || (needsLower && !(c[i].Lower > 0))) {
            h.LognormalOK = false;
            continue;
        }
        c[i].PLognormal = ClassProbability(c, i, ZLognormal, h.LogMean, h.LogSD);
        sumL += c[i].PLognormal;
        if (c[i].PLognormal != 0 && f != 0) {
            const double ratio = f / c[i].PLognormal;
            if (!(ratio > 0)) {
                h.LognormalOK = false;
                continue;
            }
            sLognormal += f * std::log(ratio);
        }
    }
    h.SumPNormal = sumN;
    std::tie(h.GNormal, h.PNormal) = GTest(h.N, sNormal);
    if (h.LognormalOK) {
        h.SumPLognormal = sumL;
        std::tie(h.GLognormal, h.PLognormal) = GTest(h.N, sLognormal);
    } else {
        for (auto& cl : c) {
            cl.PLognormal = 0;
        }
    }
}

void THistogram::Calculate(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    PrepareHistograms(program);
    for (int lv = 1; lv <= program.CurrentStudy->NoOfLevels; ++lv) {
        ComputeLevel(program, lv);
    }
}

std::shared_ptr<TGraphWindow> THistogram::HistogramChart(Program& program, int lv) const {
    const DataType& s = *program.CurrentStudy;
    const TLevel& level = s.Level(lv);
    const THistogramLevel& h = Levels[static_cast<std::size_t>(lv)];
    const auto& c = h.Classes;
    auto chart = NewChartWindow(program.Settings);
    chart->LegendOn = false;
    chart->SetTickLength(0.1);
    chart->SetMarkerSize(0.2);
    chart->SetOrigin(2.4, 7.5);
    chart->SetAxisLengths(15, 6);
    chart->SetTitle(s.TestId + ", " + s.Substance + " " + s.Unit,
                    ChartOutputFont(program.Settings, 16), 0.5);

    const int d = level.Decimals;
    const std::size_t longest =
        std::max(FormatFixed(c[1].Lower, 10, d).size(), FormatFixed(c[15].Upper, 10, d).size());
    const double interval = longest > 5 ? 2 * h.ClassWidth : h.ClassWidth;
    chart->SetXAxis(d, 0, c[1].Lower, c[15].Upper, interval);
    const TAxisScale y = AutoScale(h.MaxCount, 0);
    chart->SetYAxis(y.Decimals, 0, y.Min, y.Max, y.Interval);

    std::vector<TPointXY> outline;
    for (std::size_t i = 1; i <= 15; ++i) {
        outline.push_back({c[i].Lower, c[i].Count});
        outline.push_back({c[i].Upper, c[i].Count});
    }
    chart->AddCurve(outline, "", clBlack, -1, TPenStyle::psSolid, 0.2, clBlack, 12);

    const double x0 = chart->X0();
    const double y0 = chart->Y0();
    const TFontDescriptor font = chart->StandardFont;
    // One line of 10 points every 0.45 cm: closer lines touch.
    constexpr double lineStep = 0.45;
    for (std::size_t k = 0; k < h.Outside.size(); ++k) {
        const THistogramOutside& o = h.Outside[k];
        chart->AddText(program.LibText(10, 1) + " " + o.RandCode + program.LibText(10, 2) +
                           FormatFixed(o.Value, 10, o.Decimals),
                       x0 + 0.3, y0 + 2.0 + lineStep * static_cast<double>(k + 1), 0, 2, font);
    }
    if (!h.Outside.empty()) {
        chart->AddText(program.LibText(10, 3), x0, y0 + 2.0, 0, 2, font);
    }
    // The level heads the figures, so that a printed or saved chart says
    // which level it shows (the window caption does on screen).
    chart->AddText(program.LibText(10, s.Design == dkSplitLevel ? 7 : 8) + " " +
                       level.LevelName + "    " + program.LibText(10, 4) + " " +
                       FormatFixed(h.Mean, 10, d + 1) + "    " + program.LibText(10, 5) +
                       FormatFixed(h.SD, 10, d + 1),
                   x0, y0 + 1.5, 0, 2, font);
    chart->SetYAxisTitle(program.LibText(10, 6), 0, ChartOutputFont(program.Settings, 12));
    chart->SetXAxisTitle(s.Unit, 1, ChartOutputFont(program.Settings, 12));
    return chart;
}

void THistogram::HistogramFitTable(Program& program, int lv, TTavContents& document) const {
    const DataType& s = *program.CurrentStudy;
    const TLevel& level = s.Level(lv);
    const THistogramLevel& h = Levels[static_cast<std::size_t>(lv)];
    const auto& c = h.Classes;
    const bool split = s.Design == dkSplitLevel;
    const int d = level.Decimals + 1;

    auto t = std::make_unique<TTavTable>(HistogramClassCount + 1, 5);
    t->Title = {program.LibText(10, 13) + " " + s.TestId + "  " +
                program.LibText(10, split ? 14 : 15) + " " + level.LevelName};
    TextCell(*t->HeadCell(0), "", A::alCenter);
    for (int col = 1; col <= 4; ++col) {
        TextCell(*t->HeadCell(col), program.LibText(10, 18 + col), A::alCenter);
    }
    for (std::size_t i = 0; i < c.size(); ++i) {
        const int row = static_cast<int>(i);
        NumberCell(*t->ReadCell(row, 0), static_cast<double>(i + 1), 0);
        if (i == 0) {
            TextCell(*t->ReadCell(row, 1), "-  " + FormatFixed(c[i].Upper, 10, d), A::alRight);
        } else if (i + 1 == c.size()) {
            TextCell(*t->ReadCell(row, 1), FormatFixed(c[i].Lower, 10, d) + "  -", A::alLeft);
        } else {
            TextCell(*t->ReadCell(row, 1),
                     FormatFixed(c[i].Lower, 10, d) + "  -  " + FormatFixed(c[i].Upper, 10, d),
                     A::alRight);
        }
        NumberCell(*t->ReadCell(row, 2), c[i].Count / h.N, 3);
        NumberCell(*t->ReadCell(row, 3), c[i].PNormal, 3);
        if (h.LognormalOK) {
            NumberCell(*t->ReadCell(row, 4), c[i].PLognormal, 3);
        } else {
            TextCell(*t->ReadCell(row, 4), "-", A::alRight);
        }
    }
    const int sumRow = HistogramClassCount;
    for (int col = 0; col <= 2; ++col) {
        TextCell(*t->ReadCell(sumRow, col), "", A::alRight);
    }
    NumberCell(*t->ReadCell(sumRow, 3), h.SumPNormal, 3);
    if (h.LognormalOK) {
        NumberCell(*t->ReadCell(sumRow, 4), h.SumPLognormal, 3);
    } else {
        TextCell(*t->ReadCell(sumRow, 4), "", A::alRight);
    }

    t->Footnotes.push_back(program.LibText(10, 16) + " " + FormatFixed(h.PNormal, 10, 6) +
                           " (G = " + FormatFixed(h.GNormal, 10, 6) + ")");
    t->Footnotes.push_back(program.LibText(10, h.PNormal < 0.05 ? 17 : 18));
    if (h.LognormalOK) {
        t->Footnotes.push_back(program.LibText(10, 23) + " " + FormatFixed(h.PLognormal, 10, 6) +
                               " (G = " + FormatFixed(h.GLognormal, 10, 6) + ")");
        t->Footnotes.push_back(program.LibText(10, h.PLognormal < 0.05 ? 24 : 25));
    }
    t->Footnotes.push_back(" ");

    document.BlockBegin();
    TableLineWidth(program, *t);
    document.AddTable(std::move(t));
    document.BlockEnd();
}

void RunHistograms(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    THistogram histogram;
    histogram.Calculate(program);
    const DataType& s = *program.CurrentStudy;
    const bool split = s.Design == dkSplitLevel;
    auto doc = std::make_unique<TTavContents>();
    bool anyChart = false;
    program.host().StartProgress(s.NoOfLevels);
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& level = s.Level(lv);
        if (histogram.Levels[static_cast<std::size_t>(lv)].HasSpread) {
            anyChart = true;
            auto chart = histogram.HistogramChart(program, lv);
            histogram.HistogramFitTable(program, lv, *doc);
            program.host().ShowChart(chart,
                                     program.LibText(10, split ? 7 : 8) + " " + level.LevelName,
                                     HistogramHelpContext);
        } else {
            program.host().ShowMessage(program.LibText(10, 9) +
                                       program.LibText(10, split ? 10 : 11) + level.LevelName);
        }
        program.host().StepProgress();
    }
    program.host().EndProgress();
    // The messages already name every level without spread; a document
    // without a single table would be an empty window.
    if (anyChart) {
        FrameDocument(program, *doc, HistogramHelpContext);
        ShowDocument(program, std::move(doc), program.LibText(10, 12));
    }
}

} // namespace veltrio
