// The documents, charts and menu commands of the two regression analyses.
#include <algorithm>
#include <cmath>

#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "documents/Contents.h"
#include "documents/NumberText.h"
#include "documents/Table.h"
#include "preliminary/Grubbs.h"
#include "preliminary/ReportCells.h"
#include "quality/FigureText.h"
#include "quality/Regression.h"
#include "quality/Weights.h"
#include "study/Program.h"
#include "study/ReportFraming.h"
#include "study/StudyReader.h"

namespace veltrio {

namespace {

constexpr int kHelpContext = 6300;
constexpr int kLabHelpContext = 6500;

using A = TAlignment;


// y/w of a result as the listing shows it: its own decimals, one more when
// u < 0.1 and another when u < 0.01.
std::string ScaledText(const TResult& r, double w, double u) {
    const int decimals = r.Decimals + (u < 0.1 ? 1 : 0) + (u < 0.01 ? 1 : 0);
    return FormatFixed(r.Value / w, 15, decimals);
}

// "u   v" of a level for the head of the listing.
std::string UVText(const TRegressionFigures& f, const TLevel& l, int lv, bool fixedU) {
    const auto i = static_cast<std::size_t>(lv);
    const double w = f.WeightValue[i];
    const std::string u = f.U[i] == MissingValue
                              ? std::string("-")
                              : FormatFixed(f.U[i], 15, fixedU ? 3 : InverseDecimals(w));
    const std::string v =
        f.V[i] == MissingValue ? std::string("-") : FormatFixed(f.V[i], 15, l.NominalDecimals);
    return u + "   " + v;
}

// Whether a laboratory's results in a level enter the fit.
bool Counted(const Program& program, const TRegressionFigures& f, int lv, int lab) {
    const TLevel& l = program.CurrentStudy->Level(lv);
    return f.U[static_cast<std::size_t>(lv)] != MissingValue && l.LabValid(lab) &&
           program.Stats->Mean(lv, lab) != MissingValue;
}

// The fitted model as text lines; `indent` blanks before each.
void ModelLines(Program& program, const TRegressionFigures& f, TTavContents& doc, bool oneLab) {
    const std::string in(oneLab ? 6 : 5, ' ');
    const TWeights* w = program.Weights.get();
    doc.BlockBegin();
    doc.AddText(" ");
    if (oneLab) {
        doc.AddText(program.LibText(1, 44));
    }
    doc.AddText(program.LibText(1, 43));
    doc.AddText(in + "a = " + Num(f.Alpha, 6, 3));
    doc.AddText(in + "b = " + Num(f.Beta, 6, 3));
    doc.AddFormatText(in + "&gamma ² = " + Num(f.Gamma, 6, 2) + "²");
    doc.AddText(" ");
    doc.AddText(program.LibText(1, 44));
    doc.AddText(in + "y = " + Num(f.Alpha, 5, 2) + " + " + Num(f.Beta, 5, 2) + " · x + E,");
    if (w) {
        const auto k = static_cast<std::size_t>(w->CurrentRelation);
        const std::string a = Num(w->Intercept[k], 7, 3), b = Num(w->Slope[k], 7, 3);
        const std::string e = ExpNum(w->Intercept[k], 7, 3);
        std::string line;
        if (!oneLab) {
            const std::string head = in + "&sigma {E} = &gamma ·[";
            switch (w->CurrentRelation) {
            case 0:
                line = head + b + " · x]";
                break;
            case 1:
                line = head + a + " + " + b + " · x]";
                break;
            case 2:
                line = head + "(" + b + " · x)^2]";
                break;
            case 3:
                line = head + "(" + a + " + " + b + " · x)^2]";
                break;
            default:
                line = head + e + " · x^" + b + "]";
                break;
            }
        } else {
            const std::string head = in + "&sigma {E} = ";
            switch (w->CurrentRelation) {
            case 0:
                line = head + b + "·x";
                break;
            case 1:
                line = head + a + " + " + b + "·x";
                break;
            case 2:
                line = head + "(" + b + "·x)^2";
                break;
            case 3:
                line = head + "(" + a + " + " + b + "·x)^2";
                break;
            default:
                line = head + e + " · x^" + b;
                break;
            }
        }
        doc.AddFormatText(line);
    }
    doc.BlockEnd();
}

std::string Stat(double v, int precision = 15) {
    return v == MissingValue ? std::string("-") : FormatFixed(v, precision, 4);
}

// The table of the four tests and the note under it.
void TestsTable(Program& program, const TRegressionFigures& f, TTavContents& doc, bool oneLab) {
    const std::string L = std::to_string(f.L), N = std::to_string(f.N);
    const int cols = oneLab ? 4 : 5;
    auto t = std::make_unique<TTavTable>(4, cols);
    t->SetAutoSize(false);
    TableLineWidth(program, *t);
    const double widths[] = {4.0, 3.0, 1.7, 1.7, 3.5};
    const double labWidths[] = {4.0, 3.0, 3.0, 3.5};
    for (int c = 0; c < cols; ++c) {
        t->SetColWidthCm(c, oneLab ? labWidths[c] : widths[c]);
    }
    for (int r = 0; r < 4; ++r) {
        t->SetRowHeightCm(r, 0.6);
    }
    const int labels[] = {48, 49, 50, 51};
    const double stat[] = {f.LackOfFitF, f.SlopeT, f.BiasT, f.IdentityF};
    const double prob[] = {f.LackOfFitP, f.SlopeP, f.BiasP, f.IdentityP};
    for (int r = 0; r < 4; ++r) {
        SetTextCell(*t->ReadCell(r, 0), {program.LibText(1, labels[r])}, A::alLeft);
        SetTextCell(*t->ReadCell(r, 1), {Stat(stat[r], r == 3 ? 8 : 15)}, A::alDecimal);
        SetTextCell(*t->ReadCell(r, cols - 1), {Stat(prob[r])}, A::alDecimal);
    }
    if (oneLab) {
        SetTextCell(*t->ReadCell(0, 2), {L + "-2, " + N + "-" + L}, A::alCenter);
        SetTextCell(*t->ReadCell(1, 2), {N + "-2"}, A::alCenter);
        SetTextCell(*t->ReadCell(2, 2), {N + "-2"}, A::alCenter);
        SetTextCell(*t->ReadCell(3, 2), {"2, " + N + "-2"}, A::alCenter);
        for (int c = 0; c < cols; ++c) {
            SetTextCell(*t->HeadCell(c), {""}, A::alCenter);
        }
        t->SetHeadHeightCm(0.05);
    } else {
        SetTextCell(*t->ReadCell(0, 2), {L + "-2"}, A::alCenter);
        SetTextCell(*t->ReadCell(0, 3), {N + "-" + L}, A::alCenter);
        SetTextCell(*t->ReadCell(1, 2), {""}, A::alCenter);
        SetTextCell(*t->ReadCell(1, 3), {N + "-2"}, A::alCenter);
        SetTextCell(*t->ReadCell(2, 2), {""}, A::alCenter);
        SetTextCell(*t->ReadCell(2, 3), {N + "-2"}, A::alCenter);
        SetTextCell(*t->ReadCell(3, 2), {"2"}, A::alCenter);
        SetTextCell(*t->ReadCell(3, 3), {N + "-2"}, A::alCenter);
        t->SetHeadHeightCm(1.2);
        SetTextCell(*t->HeadCell(0), {program.LibText(1, 83)}, A::alCenter);
        SetTextCell(*t->HeadCell(1), {program.LibText(1, 84), "F/t"}, A::alCenter);
        SetTextCell(*t->HeadCell(2), {program.LibText(1, 85), "df"}, A::alCenter);
        SetTextCell(*t->HeadCell(3), {""}, A::alCenter);
        SetTextCell(*t->HeadCell(4), {program.LibText(1, 86), "p"}, A::alCenter);
        t->Head().MergeRowCells(0, 2, 1);
    }
    doc.AddText(" ");
    doc.BlockBegin();
    doc.AddTable(std::move(t));
    // Without a test there is no verdict.
    if (f.IdentityP != MissingValue) {
        doc.AddText(program.LibText(1, f.IdentityP < 0.05 ? 52 : 53));
    }
    doc.BlockEnd();
}

// The fitted line clipped to the square [lo, hi]²; empty when it misses it.
std::vector<TPointXY> FittedLine(double a, double b, double lo, double hi) {
    if (a == MissingValue || b == MissingValue) {
        return {};
    }
    double x1 = lo, x2 = hi;
    if (b != 0) {
        const double xa = (lo - a) / b, xb = (hi - a) / b;
        x1 = std::max(x1, std::min(xa, xb));
        x2 = std::min(x2, std::max(xa, xb));
    } else if (a < lo || a > hi) {
        return {};
    }
    if (!(x1 < x2)) {
        return {};
    }
    return {{x1, a + b * x1}, {x2, a + b * x2}};
}

void Extend(double v, double& lo, double& hi, bool& any) {
    if (v == MissingValue) {
        return;
    }
    lo = any ? std::min(lo, v) : v;
    hi = any ? std::max(hi, v) : v;
    any = true;
}

// Both axes over one range, the lines y = x and the fitted line.
void AxesAndLines(Program& program, TGraphWindow& chart, const TRegressionFigures& f, double lo,
                  double hi, TPenStyle fittedStyle) {
    const TAxisScale scale = AutoScale(hi, lo);
    chart.SetXAxis(scale.Decimals, 0, scale.Min, scale.Max, scale.Interval);
    chart.SetYAxis(scale.Decimals, 0, scale.Min, scale.Max, scale.Interval);
    const std::vector<TPointXY> diagonal{{scale.Min, scale.Min}, {scale.Max, scale.Max}};
    chart.AddCurve(diagonal, program.LibText(1, 74), clBlack, ChartLineWidth(program.Settings),
                   TPenStyle::psSolid, 0, clBlack, -1);
    const auto fitted = FittedLine(f.Alpha, f.Beta, scale.Min, scale.Max);
    if (!fitted.empty()) {
        chart.AddCurve(fitted, program.LibText(1, 75), clBlack, ChartLineWidth(program.Settings),
                       fittedStyle, 0, clBlack, -1);
    }
}

} // namespace

std::unique_ptr<TTavContents> TRegression::MakeReport(Program& program) const {
    const DataType& s = *program.CurrentStudy;
    const int levels = s.NoOfLevels;
    const int n = s.NoOfReplicates;
    const bool split = s.Design == dkSplitLevel;
    const bool regNo = program.Settings.ShowRegLabNo;
    auto doc = std::make_unique<TTavContents>();
    if (program.Settings.DiscardOutlierTests) {
        AddDiscardNote(program, *doc);
    }
    const int per = split ? 3 : 2;
    const int rows = split ? s.NoOfLabs : s.NoOfLabs * n;
    auto t = std::make_unique<TTavTable>(rows, per * levels + 2);
    t->SetAutoSize(false);
    t->GrowToText = true;
    TableLineWidth(program, *t);
    t->Title = {s.Substance + ", " + s.Unit, program.LibText(1, 39)};
    t->SetColWidthCm(0, 1.8);
    t->SetColWidthCm(1, regNo ? 1.6 : 0.8);
    for (int lv = 1; lv <= levels; ++lv) {
        const int c = 2 + per * (lv - 1);
        if (split) {
            t->SetColWidthCm(c, 1.9);
            t->SetColWidthCm(c + 1, 1.9);
            t->SetColWidthCm(c + 2, 0.8);
        } else {
            t->SetColWidthCm(c, 2.0);
            t->SetColWidthCm(c + 1, 1.0);
        }
    }
    for (int r = 0; r < rows; ++r) {
        t->SetRowHeightCm(r, 0.5);
        for (int c = 0; c < per * levels + 2; ++c) {
            SetTextCell(*t->ReadCell(r, c), {""}, A::alCenter);
            t->ReadCell(r, c)->Borders = 0;
        }
    }
    const TLevel& first = s.Level(1);
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        const int top = split ? lab - 1 : (lab - 1) * n;
        const int middle = split ? top : top + (n - 1) / 2;
        SetTextCell(*t->ReadCell(middle, 0), {first.GetRandCode(lab)}, A::alLeft);
        if (regNo) {
            SetTextCell(*t->ReadCell(middle, 1), {first.GetRegLabNo(lab)}, A::alLeft);
        }
        for (int lv = 1; lv <= levels; ++lv) {
            const TLevel& l = s.Level(lv);
            const auto i = static_cast<std::size_t>(lv);
            const int c = 2 + per * (lv - 1);
            const bool counted = Counted(program, *this, lv, lab);
            for (int rep = 1; rep <= n; ++rep) {
                const TResult& r = l.GetResult(lab, rep);
                const std::string text =
                    counted && r.Usable() ? ScaledText(r, WeightValue[i], U[i]) : "-";
                const int row = split ? top : top + rep - 1;
                const int col = split ? c + std::min(rep, 2) - 1 : c;
                if (split && rep > 2) {
                    break;
                }
                SetTextCell(*t->ReadCell(row, col), {text},
                            counted && r.Usable() ? A::alDecimal : A::alCenter);
            }
            SetTextCell(*t->ReadCell(middle, c + per - 1), {l.MarkText(lab)}, A::alLeft);
        }
        TableBox(*t, top, 0, split ? top : top + n - 1, per * levels + 1);
        for (int lv = 1; lv <= levels; ++lv) {
            const int c = 2 + per * (lv - 1);
            TableBox(*t, top, c, split ? top : top + n - 1, c + per - 1);
        }
    }
    TTavBaseTable& head = t->Head();
    SetTextCell(*head.ReadCell(0, 0), {"", "", "", "", program.LibText(1, split ? 41 : 61)},
                A::alLeft);
    SetTextCell(*head.ReadCell(0, 1), {""}, A::alLeft);
    for (int lv = 1; lv <= levels; ++lv) {
        const TLevel& l = s.Level(lv);
        const int c = 2 + per * (lv - 1);
        SetTextCell(*head.ReadCell(0, c),
                    {program.LibText(1, split ? 40 : 11), l.LevelName, program.LibText(1, 89),
                     s.Unit, UVText(*this, l, lv, split)},
                    A::alCenter);
        for (int k = 1; k < per; ++k) {
            SetTextCell(*head.ReadCell(0, c + k), {""}, A::alCenter);
        }
    }
    t->SetHeadHeightCm(2.4);
    for (int c = 0; c < head.ColCount(); ++c) {
        head.ReadCell(0, c)->Borders = bdAll;
    }
    head.MergeRowCells(0, 0, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        head.MergeRowCells(0, 2 + per * (lv - 1), per - 1);
    }
    doc->AddTable(std::move(t));
    ModelLines(program, *this, *doc, false);
    TestsTable(program, *this, *doc, false);
    FrameDocument(program, *doc, kHelpContext);
    return doc;
}

std::shared_ptr<TGraphWindow> TRegression::MakeChart(Program& program) const {
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    auto chart = NewChartWindow(program.Settings);
    if (program.Settings.DiscardOutlierTests) {
        AddChartDiscardNote(*chart, program.LibText(1, 93), 0.1, 1.0);
    }
    chart->SetTickLength(0.1);
    chart->SetOrigin(1.8, 13);
    chart->SetAxisLengths(10.5, 10.5);
    chart->LegendPosition = TLegendPosition::lpOutsideRight;
    double lo = 0, hi = 0;
    bool any = false;
    const bool boxes = s.NoOfLabs >= 20;
    TBoxList list;
    list.BoxWidth = 0.8;
    list.WhiskerWidth = 0.3;
    std::vector<TPointXY> extremes, means, results;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& l = s.Level(lv);
        const double mu = l.NominalValue;
        if (mu == MissingValue) {
            continue;
        }
        Extend(mu, lo, hi, any);
        if (boxes) {
            const TQuantiles& q = Quantiles[static_cast<std::size_t>(lv)];
            if (q.Q1 != MissingValue && q.Median != MissingValue && q.Q3 != MissingValue &&
                q.P5 != MissingValue && q.P95 != MissingValue) {
                list.Boxes.push_back({q.P5, q.Q1, q.Median, q.Q3, q.P95, mu});
                Extend(q.P5, lo, hi, any);
                Extend(q.P95, lo, hi, any);
            }
            if (q.Minimum != MissingValue) {
                extremes.push_back({mu, q.Minimum});
                extremes.push_back({mu, q.Maximum});
                Extend(q.Minimum, lo, hi, any);
                Extend(q.Maximum, lo, hi, any);
            }
            const double m = d.GrandMean[static_cast<std::size_t>(lv - 1)];
            if (m != MissingValue) {
                means.push_back({mu, m});
                Extend(m, lo, hi, any);
            }
        } else {
            for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
                const char mark = l.GetMark(lab);
                if (mark == MarkFileExcluded || mark == MarkUserExcluded ||
                    mark == MarkCochranOutlier || mark == MarkGrubbsOutlier) {
                    continue;
                }
                for (int rep = 1; rep <= s.NoOfReplicates; ++rep) {
                    const TResult& r = l.GetResult(lab, rep);
                    if (r.Usable()) {
                        results.push_back({mu, r.Value});
                        Extend(r.Value, lo, hi, any);
                    }
                }
            }
        }
    }
    if (!any) {
        return nullptr;
    }
    AxesAndLines(program, *chart, *this, lo, hi, TPenStyle::psDot);
    if (boxes) {
        if (!list.Boxes.empty()) {
            chart->AddBoxPlots(list);
        }
        chart->AddCurve(extremes, program.LibText(1, 76), clBlack, -1, TPenStyle::psClear, 0.25,
                        clBlack, 6);
        chart->AddCurve(means, program.LibText(1, 73), clBlack, -1, TPenStyle::psClear, 0.25,
                        clBlack, 0);
    } else {
        chart->AddCurve(results, "", clBlack, -1, TPenStyle::psClear, 0.1, clBlack, 6);
    }
    chart->SetTitle(program.LibText(1, 57), ChartOutputFont(program.Settings, 18, true), 0.7);
    const TFontDescriptor axisFont = ChartOutputFont(program.Settings, 10);
    chart->SetXAxisTitle(program.LibText(1, 55) + " " + s.Substance, 1, axisFont);
    chart->SetYAxisTitle(program.LibText(1, 56) + " " + s.Unit, 0, axisFont);
    return chart;
}

std::unique_ptr<TTavContents> TLabRegression::MakeReport(Program& program) const {
    const DataType& s = *program.CurrentStudy;
    const int levels = s.NoOfLevels;
    const int n = s.NoOfReplicates;
    const bool split = s.Design == dkSplitLevel;
    const bool regNo = program.Settings.ShowRegLabNo;
    const int lab = ChosenLab;
    auto doc = std::make_unique<TTavContents>();
    if (program.Settings.DiscardOutlierTests) {
        AddDiscardNote(program, *doc);
    }
    // The replicates the study has, and a mark column, per level.
    const int per = n + 1;
    auto t = std::make_unique<TTavTable>(1, per * levels + 1);
    t->SetAutoSize(false);
    t->GrowToText = true;
    TableLineWidth(program, *t);
    t->Title = {s.Substance + ", " + s.Unit, program.LibText(1, 39)};
    t->SetColWidthCm(0, regNo ? 3.4 : 2.0);
    t->SetRowHeightCm(0, 0.6);
    const TLevel& first = s.Level(1);
    SetTextCell(*t->ReadCell(0, 0),
                {first.GetRandCode(lab) + (regNo ? "  " + first.GetRegLabNo(lab) : std::string())},
                A::alLeft);
    TTavBaseTable& head = t->Head();
    SetTextCell(*head.ReadCell(0, 0), {program.LibText(1, 41), program.LibText(1, 59)}, A::alLeft);
    for (int lv = 1; lv <= levels; ++lv) {
        const TLevel& l = s.Level(lv);
        const auto i = static_cast<std::size_t>(lv);
        const int c = 1 + per * (lv - 1);
        const bool counted = Counted(program, *this, lv, lab);
        // The head of a level, (1,42) with u and v, needs about 4.2 cm.
        const double width = std::max(n <= 2 ? 1.8 : (n == 3 ? 1.4 : 1.1), 3.6 / n);
        for (int rep = 1; rep <= n; ++rep) {
            t->SetColWidthCm(c + rep - 1, width);
            const TResult& r = l.GetResult(lab, rep);
            const bool used = counted && r.Usable();
            SetTextCell(
                *t->ReadCell(0, c + rep - 1),
                {used ? FormatFixed(r.Value / WeightValue[i], 15, r.Decimals) : std::string("-")},
                used ? A::alDecimal : A::alCenter);
            SetTextCell(*head.ReadCell(0, c + rep - 1), {""}, A::alCenter);
        }
        t->SetColWidthCm(c + n, 0.8);
        SetTextCell(*t->ReadCell(0, c + n), {l.MarkText(lab)}, A::alLeft);
        SetTextCell(*head.ReadCell(0, c + n), {""}, A::alCenter);
        const std::string u =
            U[i] == MissingValue ? std::string("-") : FormatFixed(U[i], 15, l.NominalDecimals);
        const std::string v =
            V[i] == MissingValue ? std::string("-") : FormatFixed(V[i], 15, l.NominalDecimals);
        SetTextCell(*head.ReadCell(0, c),
                    {program.LibText(1, split ? 40 : 11), l.LevelName, program.LibText(1, 42),
                     u + "   " + v},
                    A::alCenter);
    }
    t->SetHeadHeightCm(2.0);
    for (int c = 0; c < head.ColCount(); ++c) {
        head.ReadCell(0, c)->Borders = bdAll;
    }
    for (int lv = 1; lv <= levels; ++lv) {
        head.MergeRowCells(0, 1 + per * (lv - 1), per - 1);
    }
    doc->AddTable(std::move(t));
    ModelLines(program, *this, *doc, true);
    TestsTable(program, *this, *doc, true);
    FrameDocument(program, *doc, kLabHelpContext);
    return doc;
}

std::shared_ptr<TGraphWindow> TLabRegression::MakeChart(Program& program) const {
    const DataType& s = *program.CurrentStudy;
    const int lab = ChosenLab;
    auto chart = NewChartWindow(program.Settings);
    if (program.Settings.DiscardOutlierTests) {
        AddChartDiscardNote(*chart, program.LibText(1, 93), 0.1, 1.0);
    }
    chart->SetTickLength(0.1);
    chart->SetOrigin(4, 13);
    chart->SetAxisLengths(11, 11);
    chart->LegendPosition = TLegendPosition::lpOutsideRight;
    double lo = 0, hi = 0;
    bool any = false;
    std::vector<TPointXY> results;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& l = s.Level(lv);
        const double mu = l.NominalValue;
        if (mu == MissingValue) {
            continue;
        }
        Extend(mu, lo, hi, any);
        const char mark = l.GetMark(lab);
        if (mark == MarkFileExcluded || mark == MarkUserExcluded) {
            continue;
        }
        for (int rep = 1; rep <= s.NoOfReplicates; ++rep) {
            const TResult& r = l.GetResult(lab, rep);
            if (r.Usable()) {
                results.push_back({mu, r.Value});
                Extend(r.Value, lo, hi, any);
            }
        }
    }
    if (!any) {
        return nullptr;
    }
    AxesAndLines(program, *chart, *this, lo, hi, TPenStyle::psDot);
    chart->AddCurve(results, "", clBlack, -1, TPenStyle::psClear, 0.25, clBlack, 6);
    const std::string code = s.Level(1).GetRandCode(lab);
    chart->SetTitle(program.LibText(1, 65) + " " + code,
                    ChartOutputFont(program.Settings, 18, true), 0.7);
    const TFontDescriptor axisFont = ChartOutputFont(program.Settings, 10);
    chart->SetXAxisTitle(program.LibText(1, 63) + " " + s.Substance, 1, axisFont);
    chart->SetYAxisTitle(program.LibText(1, 64) + " " + s.Unit, 0, axisFont);
    return chart;
}

namespace {

// The checks and the preparation that both commands need first; false when
// the command ends here.
bool CheckRegression(Program& program, const std::string& caption) {
    if (!program.CurrentStudy || !CheckNominalValues(program, caption) ||
        !CheckTwoNominalValues(program, caption)) {
        return false;
    }
    // The outlier test first, so that the weight function is made from the
    // marks the regression uses.
    if (!program.Settings.DiscardOutlierTests && !program.Outliers.GrubbsDone) {
        GrubbsTest(program);
    }
    return true;
}

// The weight function when it is not determined; false when cancelled.
bool EnsureWeights(Program& program) {
    return WeightsOf(program).Determined || DeterminationOfWeightFunction(program);
}

// The message of a fit that could not be made; true when there is a fit.
bool Fitted(Program& program, TRegressionFigures::TFitResult result) {
    switch (result) {
    case TRegressionFigures::TFitResult::Fitted:
        return true;
    case TRegressionFigures::TFitResult::OneAssignedValue:
        program.host().ShowMessage(OneAssignedValueMessage);
        return false;
    case TRegressionFigures::TFitResult::NoResults:
        program.host().ShowMessage(NoRegressionResultsMessage);
        return false;
    }
    return false;
}

} // namespace

void RegressionAnalysis(Program& program) {
    if (!CheckRegression(program, RegressionCaption) || !EnsureWeights(program)) {
        return;
    }
    TRegression r;
    if (!Fitted(program, r.Calculate(program))) {
        return;
    }
    ShowDocument(program, r.MakeReport(program), program.LibText(5, 38));
    if (auto chart = r.MakeChart(program)) {
        program.host().ShowChart(chart, program.LibText(5, 73), kHelpContext);
    }
}

void RegressionAnalysisOnALaboratory(Program& program) {
    if (!CheckRegression(program, LabRegressionCaption)) {
        return;
    }
    // The laboratory before the weight function: a laboratory that cannot
    // be fitted is said before the dialog of the weights is shown.
    TLabRegression r;
    r.ChosenLab = program.ChooseRegressionLab ? program.ChooseRegressionLab(program) : MissingCount;
    if (r.ChosenLab == MissingCount) {
        return;
    }
    if (!TLabRegression::HasTwoLevels(program, r.ChosenLab)) {
        program.host().ShowMessage(NoLevelsForLabMessage);
        return;
    }
    if (!EnsureWeights(program)) {
        return;
    }
    if (!Fitted(program, r.Calculate(program))) {
        return;
    }
    ShowDocument(program, r.MakeReport(program), program.LibText(5, 39));
    if (auto chart = r.MakeChart(program)) {
        const std::string code = program.CurrentStudy->Level(1).GetRandCode(r.ChosenLab);
        program.host().ShowChart(chart, program.LibText(1, 65) + " " + code, kLabHelpContext);
    }
}

} // namespace veltrio
