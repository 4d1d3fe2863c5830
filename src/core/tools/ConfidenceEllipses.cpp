#include "tools/ConfidenceEllipses.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "charts/ChartStyle.h"
#include "charts/GraphObjects.h"
#include "charts/GraphWindow.h"
#include "study/Program.h"
#include "tools/MethodEvaluation.h"

namespace veltrio {

namespace {

constexpr int EllipseHelpContext = 8300;
constexpr std::array<int, TKonfidensElipser::MaxGroups> GroupMarkers{0, 3, 5, 7, 9};
// The outline point near one end of the minor axis that carries the
// group's marker or label (1-based).
constexpr std::size_t MarkerPoint = 30;
constexpr int NoMarker = 12;
// A correlation this close to ±1 leaves no ellipse to draw.
constexpr double SingularLimit = 1e-10;

bool CodeBefore(const std::string& a, const std::string& b) {
    const std::string fa = CaseFolded(a), fb = CaseFolded(b);
    return fa != fb ? fa < fb : a < b;
}

// Adds a code to a list sorted without regard to case, unless it is there.
void AddSorted(std::vector<std::string>& list, const std::string& code) {
    const std::string folded = CaseFolded(code);
    for (const auto& c : list) {
        if (CaseFolded(c) == folded) {
            return;
        }
    }
    list.insert(std::upper_bound(list.begin(), list.end(), code, CodeBefore), code);
}

bool Usable(const TResult& r) {
    return r.Value != MissingValue && r.Flag == ' ';
}

} // namespace

TPrincipalAxes PrincipalAxes(const std::array<double, 4>& c) {
    const double a = c[0], d = c[1], b = c[3];
    const double r = std::sqrt(std::max(0.0, (a + b) * (a + b) - 4 * (a * b - d * d)));
    TPrincipalAxes p;
    p.Lambda1 = (a + b) / 2 + r / 2;
    p.Lambda2 = (a + b) / 2 - r / 2;
    const double k = (p.Lambda1 - a) / d;
    const double norm = std::sqrt(1 + k * k);
    p.U1 = {1 / norm, k / norm};
    p.U2 = {-k / norm, 1 / norm};
    return p;
}

std::string TMethodGroup::Text() const {
    std::string text;
    if (Methods) {
        for (const auto& c : *Methods) {
            text += (text.empty() ? "" : " & ") + c;
        }
    }
    return text;
}

bool TMethodGroup::Contains(const std::string& code) const {
    if (!Methods) {
        return false;
    }
    const std::string folded = CaseFolded(code);
    return std::any_of(Methods->begin(), Methods->end(),
                       [&](const std::string& c) { return CaseFolded(c) == folded; });
}

void TKonfidensElipser::AddMethod(TMethodGroup& group, const std::string& code) {
    if (!group.Methods) {
        group.Methods.emplace();
    }
    AddSorted(*group.Methods, code);
}

void TKonfidensElipser::ResetGroups() {
    for (auto& g : Groups) {
        g = TMethodGroup{};
    }
}

std::vector<std::string> TKonfidensElipser::CollectMethodCodes() const {
    std::vector<std::string> codes;
    if (!m_program.CurrentStudy) {
        return codes;
    }
    const DataType& s = *m_program.CurrentStudy;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& level = s.Level(lv);
        for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
            const char mark = level.GetMark(lab);
            const std::string& code = level.GetMethodCode(lab);
            if (mark != MarkFileExcluded && mark != MarkUserExcluded && !code.empty()) {
                AddSorted(codes, code);
            }
        }
    }
    return codes;
}

bool TKonfidensElipser::ChooseGroups() {
    TMethodGroupChoice choice;
    if (!m_program.host().ChooseMethodGroups(CollectMethodCodes(), choice)) {
        return false;
    }
    for (std::size_t g = 0; g < Groups.size(); ++g) {
        for (const auto& code : choice.Groups[g]) {
            if (!code.empty()) {
                AddMethod(Groups[g], code);
            }
        }
    }
    DisplayType = static_cast<std::uint8_t>(choice.DisplayType == 1 ? 1 : 0);
    return true;
}

bool TKonfidensElipser::ComputeGroups(int lv) {
    const TLevel& level = m_program.CurrentStudy->Level(lv);
    bool any = false;
    for (auto& g : Groups) {
        if (!g.Methods) {
            continue;
        }
        g.Valid = true;
        // The pairs of the group's laboratories with two usable results:
        // those without outlier marks give the mean, every one that is not
        // excluded gives the spread.
        std::vector<TPointXY> forMean, forSpread;
        for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
            if (!g.Contains(level.GetMethodCode(lab))) {
                continue;
            }
            const TResult& r1 = level.GetResult(lab, 1);
            const TResult& r2 = level.GetResult(lab, 2);
            if (!Usable(r1) || !Usable(r2)) {
                continue;
            }
            const char mark = level.GetMark(lab);
            if (mark == MarkFileExcluded || mark == MarkUserExcluded) {
                continue;
            }
            forSpread.push_back({r1.Value, r2.Value});
            if (mark != MarkCochranOutlier && mark != MarkGrubbsOutlier) {
                forMean.push_back({r1.Value, r2.Value});
            }
        }
        g.MeanX = g.MeanY = MissingValue;
        if (!forMean.empty()) {
            double sx = 0, sy = 0;
            for (const auto& p : forMean) {
                sx += p.x;
                sy += p.y;
            }
            g.MeanX = sx / static_cast<double>(forMean.size());
            g.MeanY = sy / static_cast<double>(forMean.size());
        }
        double cov = MissingValue;
        g.VarX = g.VarY = MissingValue;
        // Without a mean (every laboratory an outlier) there is nothing to
        // centre the ellipse on.
        if (forSpread.size() >= 2 && g.MeanX != MissingValue) {
            double xx = 0, yy = 0, xy = 0;
            for (const auto& p : forSpread) {
                xx += (p.x - g.MeanX) * (p.x - g.MeanX);
                yy += (p.y - g.MeanY) * (p.y - g.MeanY);
                xy += (p.x - g.MeanX) * (p.y - g.MeanY);
            }
            const double m1 = static_cast<double>(forSpread.size() - 1);
            g.VarX = xx / m1;
            g.VarY = yy / m1;
            cov = xy / m1;
        } else {
            g.Valid = false;
        }
        if (g.Valid) {
            // Singular relative to the spreads themselves: 1 − ρ² ≈ 0, so
            // that small values with a strong correlation keep their
            // ellipse.
            const double scale = g.VarX * g.VarY;
            if (cov == 0 || !(scale > 0) || !std::isfinite(scale) ||
                1 - cov * cov / scale < SingularLimit) {
                g.Valid = false;
            }
        }
        g.Covariance = {g.VarX, cov, cov, g.VarY};
        any = any || g.Valid;
    }
    return any;
}

std::vector<TPointXY> TKonfidensElipser::Outline(const TMethodGroup& g) const {
    const TPrincipalAxes axes = PrincipalAxes(g.Covariance);
    const double l1 = axes.Lambda1, l2 = axes.Lambda2;
    const double t0 = std::sqrt(Chi * l1);
    const double step = 2 * t0 / 60;
    std::vector<TPointXY> points;
    points.reserve(OutlinePoints);
    auto point = [&](double t, double f) {
        points.push_back(
            {g.MeanX + t * axes.U1.x + f * axes.U2.x, g.MeanY + t * axes.U1.y + f * axes.U2.y});
    };
    auto minor = [&](double t) {
        const double radicand = Chi * l2 - l2 * t * t / l1;
        return radicand > 0 ? std::sqrt(radicand) : 0.0;
    };
    for (int j = 1; j <= 60; ++j) {
        const double t = -t0 + (j - 1) * step;
        point(t, minor(t));
    }
    for (int j = 61; j <= 121; ++j) {
        const double t = t0 - (j - 61) * step;
        point(t, -minor(t));
    }
    points.push_back(points.front());
    return points;
}

std::shared_ptr<TGraphWindow> TKonfidensElipser::DrawEllipses(int lv) const {
    const DataType& s = *m_program.CurrentStudy;
    const TLevel& level = s.Level(lv);
    const TSettings& settings = m_program.Settings;
    auto chart = NewChartWindow(settings);
    chart->SetTickLength(0.1);
    chart->SetMarkerSize(0.3);
    chart->SetOrigin(1.5, 13.5);
    chart->SetAxisLengths(12, 12);
    chart->SetTitle(s.TestId + ", " + s.Substance + " " + s.Unit + ", " +
                        m_program.LibText(10, s.Design == dkSplitLevel ? 14 : 15) + " " +
                        level.LevelName,
                    ChartOutputFont(settings, 14), 0.5);

    std::vector<std::vector<TPointXY>> outlines(Groups.size());
    double minX = std::numeric_limits<double>::max(), maxX = -minX;
    double minY = minX, maxY = -minX;
    for (std::size_t g = 0; g < Groups.size(); ++g) {
        if (!Groups[g].Methods || !Groups[g].Valid) {
            continue;
        }
        outlines[g] = Outline(Groups[g]);
        for (std::size_t i = 0; i + 1 < outlines[g].size(); ++i) {
            minX = std::min(minX, outlines[g][i].x);
            maxX = std::max(maxX, outlines[g][i].x);
            minY = std::min(minY, outlines[g][i].y);
            maxY = std::max(maxY, outlines[g][i].y);
        }
    }
    // A margin of 1 % of the span on either side, whatever the sign and
    // size of the values.
    const double padX = 0.01 * (maxX - minX), padY = 0.01 * (maxY - minY);
    const TAxisScale x = AutoScale(maxX + padX, minX - padX);
    const TAxisScale y = AutoScale(maxY + padY, minY - padY);
    chart->SetXAxis(x.Decimals, 0, x.Min, x.Max, x.Interval);
    chart->SetYAxis(y.Decimals, 0, y.Min, y.Max, y.Interval);

    int valid = 0;
    for (const auto& g : Groups) {
        valid += g.Methods && g.Valid ? 1 : 0;
    }
    int v = 0, without = 0;
    const TFontDescriptor legendFont = ChartOutputFont(settings, 10);
    for (std::size_t g = 0; g < Groups.size(); ++g) {
        const TMethodGroup& group = Groups[g];
        if (!group.Methods) {
            continue;
        }
        const int marker = GroupMarkers[g];
        if (!group.Valid) {
            ++without;
            chart->AddLegendEntry(valid + without, group.Text() + m_program.LibText(9, 3),
                                  TPenStyle::psClear, clBlack, -1, NoMarker, clBlack, 0.2);
            continue;
        }
        ++v;
        chart->AddCurve(outlines[g], "", clBlack, -1, TPenStyle::psSolid, 0.1, clBlack, NoMarker);
        const std::vector<TPointXY> at{outlines[g][MarkerPoint - 1]};
        if (DisplayType == 0) {
            chart->AddLegendEntry(v, group.Text(), TPenStyle::psSolid, clBlack, -1, marker, clBlack,
                                  0.2);
            chart->AddCurve(at, "", clBlack, 0.01, TPenStyle::psClear, 0.2, clBlack, marker);
        } else {
            const std::size_t from = chart->Objects().size();
            chart->AddLabelledCurve(at, "", clBlack, 0.01, TPenStyle::psClear, 0.2, clBlack,
                                    NoMarker, {group.Text()}, legendFont, 0);
            // Ellipses of similar groups put their labels close together:
            // a label may step aside from another.
            for (std::size_t i = from; i < chart->Objects().size(); ++i) {
                if (auto* text = dynamic_cast<TText*>(chart->Objects()[i].get())) {
                    text->Movable = true;
                }
            }
        }
    }
    return chart;
}

void TKonfidensElipser::MakeEllipseCharts() {
    const DataType& s = *m_program.CurrentStudy;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const TLevel& level = s.Level(lv);
        if (!ComputeGroups(lv)) {
            m_program.host().ShowMessage(m_program.LibText(9, 2) + " " + level.LevelName);
            continue;
        }
        m_program.host().ShowChart(
            DrawEllipses(lv), m_program.LibText(9, 1) + " " + level.LevelName, EllipseHelpContext);
    }
}

void ConfidenceEllipses(Program& program) {
    if (!program.CurrentStudy || program.CurrentStudy->NoOfReplicates != 2) {
        return;
    }
    TKonfidensElipser ellipses(program);
    ellipses.ResetGroups();
    if (ellipses.ChooseGroups()) {
        ellipses.MakeEllipseCharts();
    }
}

} // namespace veltrio
