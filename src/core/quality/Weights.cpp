#include "quality/Weights.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/ScopeGuard.h"
#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "documents/Contents.h"
#include "documents/NumberText.h"
#include "documents/Table.h"
#include "preliminary/ReportCells.h"
#include "quality/ANOVA.h"
#include "quality/FigureText.h"
#include "study/ReportFraming.h"
#include "study/StudyReader.h"

namespace veltrio {

const char* const NoValidRelationMessage =
    "None of the five relations gives a positive weight at the assigned value of every level: "
    "the weight function cannot be determined.";
const char* const WeightFunctionCaption = "Determination of weight function";

namespace {

constexpr int kHelpContext = 6200;

using A = TAlignment;


} // namespace

TLineFit FitThroughOrigin(std::span<const double> x, std::span<const double> y) {
    TLineFit fit;
    fit.Intercept = 0.0;
    const std::size_t g = x.size();
    if (g == 0) {
        fit.Intercept = MissingValue;
        return fit;
    }
    double sxx = 0, sxy = 0, sy = 0;
    for (std::size_t i = 0; i < g; ++i) {
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
        sy += y[i];
    }
    if (sxx == 0) {
        return fit;
    }
    const double b = sxy / sxx;
    fit.Slope = b;
    const double ym = sy / static_cast<double>(g);
    double sse = 0, ssr = 0, sst = 0;
    for (std::size_t i = 0; i < g; ++i) {
        const double yh = b * x[i];
        sse += (y[i] - yh) * (y[i] - yh);
        ssr += (yh - ym) * (yh - ym);
        sst += (y[i] - ym) * (y[i] - ym);
    }
    if (sst != 0 && !(sse > ssr) && !(ssr > sst)) {
        fit.RSquared = 1.0 - sse / sst;
    }
    return fit;
}

TLineFit FitLine(std::span<const double> x, std::span<const double> y) {
    TLineFit fit;
    const std::size_t g = x.size();
    if (g == 0) {
        return fit;
    }
    const double n = static_cast<double>(g);
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < g; ++i) {
        sx += x[i];
        sy += y[i];
        sxx += x[i] * x[i];
        sxy += x[i] * y[i];
    }
    const double xm = sx / n, ym = sy / n;
    const double Sxx = sxx - sx * sx / n;
    const double Sxy = sxy - sx * ym;
    if (Sxx == 0) {
        return fit;
    }
    fit.Slope = Sxy / Sxx;
    fit.Intercept = ym - fit.Slope * xm;
    double sse = 0, sst = 0;
    for (std::size_t i = 0; i < g; ++i) {
        const double e = y[i] - fit.Intercept - fit.Slope * x[i];
        sse += e * e;
        sst += (y[i] - ym) * (y[i] - ym);
    }
    if (sst != 0) {
        fit.RSquared = 1.0 - sse / sst;
    }
    return fit;
}

void TWeights::Clear() {
    CurrentRelation = 0;
    BestRelation = 0;
    Intercept.fill(MissingValue);
    Slope.fill(MissingValue);
    RSquared.fill(MissingValue);
    RelationValid.fill(true);
    WeightOfLevel.fill(1.0);
}

double TWeights::RelationValue(int k, double mu) const {
    if (k < 0 || k >= RelationCount || mu == MissingValue) {
        return MissingValue;
    }
    const auto i = static_cast<std::size_t>(k);
    const double a = Intercept[i], b = Slope[i];
    if (b == MissingValue || a == MissingValue) {
        return MissingValue;
    }
    double w = MissingValue;
    switch (k) {
    case 0:
        w = b * mu;
        break;
    case 1:
        w = a + b * mu;
        break;
    case 2:
        w = b * mu > 0 ? std::sqrt(b * mu) : MissingValue;
        break;
    case 3:
        w = a + b * mu > 0 ? std::sqrt(a + b * mu) : MissingValue;
        break;
    case 4:
        w = mu > 0 ? std::exp(a + b * std::log(mu)) : MissingValue;
        break;
    default:
        break;
    }
    return std::isfinite(w) ? w : MissingValue;
}

void TWeights::Calculate(Program& program) {
    Determined = false;
    if (!program.CurrentStudy) {
        return;
    }
    TANOVA& anova = ANOVAOf(program);
    if (!anova.Calculated) {
        anova.Calculate(program);
    }
    const DataType& s = *program.CurrentStudy;
    const int levels = s.NoOfLevels;
    for (int k = 0; k < RelationCount; ++k) {
        std::vector<double> x, y;
        for (int lv = 1; lv <= levels; ++lv) {
            double px = s.Level(lv).NominalValue;
            if (px == MissingValue && program.Stats) {
                px = program.Stats->GrandMean[static_cast<std::size_t>(lv - 1)];
            }
            double py = anova.SR[static_cast<std::size_t>(lv)];
            if (px == MissingValue || py == MissingValue) {
                continue;
            }
            if (k == 2 || k == 3) {
                py = py * py;
            } else if (k == 4) {
                px = px > 0 ? std::log(px) : MissingValue;
                py = py > 0 ? std::log(py) : MissingValue;
                if (px == MissingValue || py == MissingValue) {
                    continue;
                }
            }
            x.push_back(px);
            y.push_back(py);
        }
        const auto i = static_cast<std::size_t>(k);
        TLineFit fit;
        if (!x.empty()) {
            fit = (k == 0 || k == 2) ? FitThroughOrigin(x, y) : FitLine(x, y);
            // A line below zero at the first point is fitted again through it.
            if (k != 0 && k != 2 && fit.Slope != MissingValue &&
                fit.Intercept + fit.Slope * x[0] < 0) {
                std::vector<double> sx, sy;
                for (std::size_t j = 1; j < x.size(); ++j) {
                    sx.push_back(x[j] - x[0]);
                    sy.push_back(y[j] - y[0]);
                }
                const TLineFit shifted = FitThroughOrigin(sx, sy);
                fit.Slope = shifted.Slope;
                fit.RSquared = shifted.RSquared;
                fit.Intercept =
                    shifted.Slope == MissingValue ? MissingValue : y[0] - shifted.Slope * x[0];
            }
        }
        Intercept[i] = fit.Intercept;
        Slope[i] = fit.Slope;
        RSquared[i] = fit.RSquared;
    }
    // Validity: the coefficients were formed, the relation's own condition
    // holds and its weight is positive at every assigned value.
    for (int k = 0; k < RelationCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        bool valid = Slope[i] != MissingValue && Intercept[i] != MissingValue;
        for (int lv = 1; valid && lv <= levels; ++lv) {
            const double mu = s.Level(lv).NominalValue;
            if (mu == MissingValue) {
                valid = false;
                break;
            }
            if ((k == 2 || k == 4) && mu < 0) {
                valid = false;
            }
            if (k == 3 && Intercept[i] + Slope[i] * mu < 0) {
                valid = false;
            }
            const double w = RelationValue(k, mu);
            if (w == MissingValue || !(w > 0)) {
                valid = false;
            }
        }
        RelationValid[i] = valid;
    }
    // The proposed relation: the largest R² among the valid ones, the lower
    // index on ties (a missing R² counts as -99).
    BestRelation = -1;
    for (int k = 0; k < RelationCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (RelationValid[i] &&
            (BestRelation < 0 || RSquared[i] > RSquared[static_cast<std::size_t>(BestRelation)])) {
            BestRelation = k;
        }
    }
    CurrentRelation = BestRelation < 0 ? 0 : BestRelation;
    Determined = BestRelation >= 0;
}

void TWeights::ComputeWeights(const Program& program) {
    WeightOfLevel.fill(1.0);
    if (!program.CurrentStudy) {
        return;
    }
    const DataType& s = *program.CurrentStudy;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        WeightOfLevel[static_cast<std::size_t>(lv)] =
            RelationValue(CurrentRelation, s.Level(lv).NominalValue);
    }
}

bool TWeights::SelectRelation(int k) {
    if (k >= 0 && k < RelationCount && RelationValid[static_cast<std::size_t>(k)]) {
        CurrentRelation = k;
    }
    return CurrentRelation == k;
}

std::string TWeights::RelationName(Program& program, int k) const {
    return program.LibText(1, 77 + k);
}

std::string TWeights::FormulaText(Program& program) const {
    const auto i = static_cast<std::size_t>(CurrentRelation);
    const std::string a = Num(Intercept[i], 5, 3), b = Num(Slope[i], 5, 3);
    const std::string sR = program.LibText(1, 36);
    switch (CurrentRelation) {
    case 0:
        return sR + " =  " + b + " · µ  ";
    case 1:
        return sR + " =  " + a + " + " + b + " · µ  ";
    case 2:
        return sR + " =  Sqrt(" + b + " · µ)  ";
    case 3:
        return sR + " =  Sqrt(" + a + " + " + b + " · µ)  ";
    default:
        return sR + " =  " + ExpNum(Intercept[i], 5, 3) + " ·µ^" + b + "   ";
    }
}

void TWeights::DrawChart(Program& program, TGraphWindow& chart, bool inDialog) const {
    const DataType& s = *program.CurrentStudy;
    const TANOVA& anova = ANOVAOf(program);
    chart.ClearChart();
    if (program.Settings.DiscardOutlierTests) {
        AddChartDiscardNote(chart, program.LibText(1, 93), 0.1, 1.0);
    }
    chart.SetTickLength(0.1);
    chart.SetOrigin(inDialog ? 4.5 : 1.5, 13);
    chart.SetAxisLengths(13, 10);
    chart.LegendPosition = TLegendPosition::lpInsideRight;
    std::vector<TPointXY> sr, sl, sR, extra;
    double largest = MissingValue;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const double mu = s.Level(lv).NominalValue;
        if (mu == MissingValue) {
            continue;
        }
        const auto i = static_cast<std::size_t>(lv);
        if (anova.Sr[i] != MissingValue) {
            sr.push_back({mu, anova.Sr[i]});
        }
        if (anova.SL[i] != MissingValue) {
            sl.push_back({mu, anova.SL[i]});
        }
        if (anova.SR[i] != MissingValue) {
            sR.push_back({mu, anova.SR[i]});
            if (largest == MissingValue || anova.SR[i] > largest) {
                largest = anova.SR[i];
            }
        }
    }
    // Room above the points for the curve: 1.4 times the largest s(R).
    if (largest != MissingValue && !sR.empty()) {
        extra.push_back({sR.front().x, 1.4 * largest});
    }
    const std::span<const TPointXY> sets[] = {sr, sl, sR, extra};
    chart.AutoScaleAxes(sets, 0, 0);
    chart.AddCurve(sr, program.LibText(1, 38), clBlack, -1, TPenStyle::psClear, 0.5, clBlack, 6);
    chart.AddCurve(sl, program.LibText(1, 37), clBlack, -1, TPenStyle::psClear, 0.5, clBlack, 5);
    chart.AddCurve(sR, program.LibText(1, 36), clBlack, -1, TPenStyle::psClear, 0.5, clBlack, 11);
    std::vector<TPointXY> curve;
    const double xmin = chart.XMin(), xmax = chart.XMax(), top = chart.YMax();
    for (int q = 1; q <= 100; ++q) {
        const double x = xmin + (xmax - xmin) * q / 100.0;
        const double y = RelationValue(CurrentRelation, x);
        if (y != MissingValue && y <= top) {
            curve.push_back({x, y});
        }
    }
    if (!curve.empty()) {
        chart.AddCurve(curve, "", clBlack, -1, TPenStyle::psSolid, 0, clBlack, -1);
    }
    // The title stands clear of the formula line under it.
    chart.SetTitle(program.LibText(1, 35), ChartOutputFont(program.Settings, 18, true), 0.6);
    chart.AddText(FormulaText(program), chart.X0(), chart.Y0() - chart.YAxisLength - 0.1, 0, 0,
                  chart.StandardFont);
    chart.SetXAxisTitle(program.LibText(1, 55) + " " + s.Substance + " (" + s.Unit + ")", 1,
                        ChartOutputFont(program.Settings, 10));
}

std::unique_ptr<TTavContents> TWeights::MakeReport(Program& program) const {
    const DataType& s = *program.CurrentStudy;
    auto doc = std::make_unique<TTavContents>();
    if (program.Settings.DiscardOutlierTests) {
        AddDiscardNote(program, *doc);
    }
    auto t = std::make_unique<TTavTable>(RelationCount, 3);
    t->SetAutoSize(false);
    TableLineWidth(program, *t);
    t->Title = {s.Substance + ", " + s.Unit, program.LibText(1, 27)};
    t->SetColWidthCm(0, 2.0);
    t->SetColWidthCm(1, 5.0);
    t->SetColWidthCm(2, 2.5);
    t->SetHeadHeightCm(0.7);
    SetTextCell(*t->HeadCell(0), {program.LibText(1, 87)}, A::alCenter);
    SetTextCell(*t->HeadCell(1), {""}, A::alCenter);
    SetTextCell(*t->HeadCell(2), {"R²"}, A::alCenter);
    t->Head().MergeRowCells(0, 0, 1);
    for (int k = 0; k < RelationCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        t->SetRowHeightCm(k, 0.7);
        SetTextCell(*t->ReadCell(k, 0), {"s(repro)="}, A::alRight);
        const std::string a = Num(Intercept[i], 7, 3), b = Num(Slope[i], 7, 3);
        std::string rhs;
        switch (k) {
        case 0:
            rhs = b + "·µ";
            break;
        case 1:
            rhs = a + " + " + b + "·µ";
            break;
        case 2:
            rhs = "&sqrt [" + b + "·µ]";
            break;
        case 3:
            rhs = "&sqrt [" + a + " + " + b + "·µ]";
            break;
        default:
            rhs = ExpNum(Intercept[i], 7, 3) + " · µ^" + b;
            break;
        }
        TTavCell& cell = *t->ReadCell(k, 1);
        cell.Lines = {rhs};
        cell.Kind = TCellKind::ckFormatLines;
        cell.Alignment = A::alLeft;
        const std::string r2 = RSquared[i] == MissingValue
                                   ? "     -"
                                   : FormatThousands(100.0 * RSquared[i], 6, 2) + " %";
        SetTextCell(*t->ReadCell(k, 2), {r2}, A::alRight);
        // No rule between the label and its relation.
        t->ReadCell(k, 0)->Borders &= static_cast<std::uint8_t>(~bdRight);
        t->ReadCell(k, 1)->Borders &= static_cast<std::uint8_t>(~bdLeft);
    }
    doc->AddTable(std::move(t));

    const auto c = static_cast<std::size_t>(CurrentRelation);
    const std::string a = Num(Intercept[c], 7, 3), b = Num(Slope[c], 7, 3);
    doc->BlockBegin();
    doc->AddText(" ");
    doc->AddText(program.LibText(1, CurrentRelation == BestRelation ? 29 : 30));
    switch (CurrentRelation) {
    case 0:
        doc->AddText("s(repro) = " + b + "·µ");
        break;
    case 1:
        doc->AddText("s(repro) = " + a + " + " + b + "·µ");
        break;
    case 2:
        doc->AddFormatText("s(repro) = &sqrt [" + b + "·µ]");
        break;
    case 3:
        doc->AddFormatText("s(repro) = &sqrt [" + a + " + " + b + "·µ]");
        break;
    default:
        doc->AddText("s(repro) = " + ExpNum(Intercept[c], 7, 3) + " · µ^" + b);
        break;
    }
    doc->AddText(" ");
    doc->BlockEnd();

    const int levels = s.NoOfLevels;
    auto w = std::make_unique<TTavTable>(4, levels + 1);
    w->SetAutoSize(false);
    TableLineWidth(program, *w);
    w->Title = {program.LibText(1, 31)};
    w->SetColWidthCm(0, 4.6);
    w->SetHeadHeightCm(1.2);
    SetTextCell(*w->HeadCell(0), {""}, A::alLeft);
    SetTextCell(*w->ReadCell(0, 0), {program.LibText(1, 32)}, A::alLeft);
    SetTextCell(*w->ReadCell(1, 0), {program.LibText(1, 33)}, A::alLeft);
    SetTextCell(*w->ReadCell(2, 0), {" u = 1/w"}, A::alLeft);
    TTavCell& vLabel = *w->ReadCell(3, 0);
    vLabel.Lines = {" v = u &my "};
    vLabel.Kind = TCellKind::ckFormatLines;
    vLabel.Alignment = A::alLeft;
    const bool split = s.Design == dkSplitLevel;
    for (int r = 0; r < 4; ++r) {
        w->SetRowHeightCm(r, 0.6);
    }
    for (int lv = 1; lv <= levels; ++lv) {
        const TLevel& l = s.Level(lv);
        const double mu = l.NominalValue;
        const double wl = WeightOfLevel[static_cast<std::size_t>(lv)];
        w->SetColWidthCm(lv, 2.6);
        SetTextCell(*w->HeadCell(lv), {program.LibText(1, split ? 34 : 11), l.LevelName},
                    A::alCenter);
        SetNumberCell(*w->ReadCell(0, lv), mu, l.NominalDecimals, A::alDecimal);
        SetNumberCell(*w->ReadCell(1, lv), wl, l.Decimals + 2, A::alDecimal);
        if (wl == 0 || wl == MissingValue) {
            SetTextCell(*w->ReadCell(2, lv), {"-"}, A::alCenter);
            SetTextCell(*w->ReadCell(3, lv), {"-"}, A::alCenter);
        } else {
            const double u = 1.0 / wl;
            SetNumberCell(*w->ReadCell(2, lv), u, InverseDecimals(wl), A::alDecimal);
            if (mu == MissingValue) {
                SetTextCell(*w->ReadCell(3, lv), {"-"}, A::alCenter);
            } else {
                SetNumberCell(*w->ReadCell(3, lv), u * mu, l.NominalDecimals, A::alDecimal);
            }
        }
    }
    doc->BlockBegin();
    doc->AddTable(std::move(w));
    doc->BlockEnd();
    FrameDocument(program, *doc, kHelpContext);
    return doc;
}

TWeights& WeightsOf(Program& program) {
    if (!program.Weights) {
        program.Weights = std::make_shared<TWeights>();
        program.Register(program.Weights);
    }
    return *program.Weights;
}

bool DeterminationOfWeightFunction(Program& program) {
    if (!program.CurrentStudy || !CheckNominalValues(program, WeightFunctionCaption) ||
        !CheckTwoNominalValues(program, WeightFunctionCaption)) {
        return false;
    }
    TWeights& w = WeightsOf(program);
    w.Clear();
    w.Calculate(program);
    if (!w.Determined) {
        program.host().ShowMessage(NoValidRelationMessage);
        return false;
    }
    w.ComputeWeights(program);
    if (program.ChooseWeightRelation) {
        const int relation = w.CurrentRelation;
        const auto weights = w.WeightOfLevel;
        if (!program.ChooseWeightRelation(program, w)) {
            // What held before the dialog, and no weight function.
            w.CurrentRelation = relation;
            w.WeightOfLevel = weights;
            w.Determined = false;
            return false;
        }
    }
    // The dialog may have left an invalid choice; it never counts.
    if (!w.RelationValid[static_cast<std::size_t>(w.CurrentRelation)]) {
        w.CurrentRelation = w.BestRelation;
    }
    w.ComputeWeights(program);
    auto chart = NewChartWindow(program.Settings);
    w.DrawChart(program, *chart, false);
    program.host().ShowChart(chart, program.LibText(1, 35), kHelpContext);
    ShowDocument(program, w.MakeReport(program), program.LibText(5, 37));
    return true;
}

} // namespace veltrio
