// The document of the performance scores: per level (or sample) the choices
// and the consensus figures, the notes that apply, and the table of the
// laboratories with their means, z, z' and assessment; and the charts.
#include <algorithm>
#include <cmath>

#include "base/TextUtil.h"
#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "documents/Contents.h"
#include "documents/NumberText.h"
#include "documents/Table.h"
#include "labs/PerformanceScores.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int Chapter = 12;
constexpr int ScoreDecimals = 2;

void TextCell(TTavCell& cell, const std::vector<std::string>& lines, TAlignment alignment) {
    cell.Lines = lines;
    cell.Kind = TCellKind::ckLines;
    cell.Alignment = alignment;
}

void ValueCell(TTavCell& cell, double value, int decimals) {
    if (value == MissingValue) {
        TextCell(cell, {"-"}, TAlignment::alDecimal);
        return;
    }
    cell.Kind = TCellKind::ckNumber;
    cell.Decimals = decimals;
    cell.SetValue(value);
    cell.Alignment = TAlignment::alDecimal;
}

bool Excluded(char mark) {
    return mark == MarkFileExcluded || mark == MarkUserExcluded;
}

// The outlier letter of the tests, empty for the others.
std::string OutlierMarkText(char mark) {
    if (mark == MarkCochranOutlier || mark == MarkGrubbsOutlier ||
        mark == MarkCochranStraggler || mark == MarkGrubbsStraggler) {
        return std::string(1, mark);
    }
    return {};
}

std::string VerdictText(Program& p, TVerdict v) {
    switch (v) {
    case TVerdict::Satisfactory:
        return p.LibText(Chapter, 7);
    case TVerdict::Questionable:
        return p.LibText(Chapter, 8);
    case TVerdict::Unsatisfactory:
        return p.LibText(Chapter, 9);
    case TVerdict::None:
        break;
    }
    return "-";
}

// The figures are shown with one decimal more than the level's results.
int FigureDecimals(const TLevel& level) {
    return std::clamp(level.Decimals + 1, 0, 8);
}

} // namespace

std::unique_ptr<TTavContents> TPerformanceScores::BuildReport() const {
    if (!m_program.CurrentStudy) {
        return nullptr;
    }
    Program& p = m_program;
    const DataType& s = *p.CurrentStudy;
    auto doc = std::make_unique<TTavContents>();
    if (p.Settings.DiscardOutlierTests) {
        AddDiscardNote(p, *doc);
    }
    doc->AddText(p.LibText(Chapter, 1) + ": " + s.Substance + ", " + s.Unit);
    doc->AddText(" ");
    if (s.Transformation != 0) {
        doc->AddText(p.LibText(Chapter, 36));
    }
    for (int item : {28, 29, 30}) {
        doc->AddText(p.LibText(Chapter, item));
    }
    for (const TScoreColumn& c : m_columns) {
        const TLevel& level = s.Level(c.Level);
        const int decimals = FigureDecimals(level);
        doc->AddText(" ");
        doc->BlockBegin();

        // The choices and the consensus.
        auto f = std::make_unique<TTavTable>(7, 2);
        f->SetAutoSize(false);
        f->GrowToText = true;
        TableLineWidth(p, *f);
        f->SetColWidthCm(0, 10.5);
        f->SetColWidthCm(1, 3.0);
        // The level (or sample) heads its figures.
        f->SetHeadHeightCm(0.6);
        TextCell(*f->HeadCell(0), {p.LibText(Chapter, c.Sample > 0 ? 34 : 33) + " " + c.Name},
                 TAlignment::alLeft);
        TextCell(*f->HeadCell(1), {s.Unit}, TAlignment::alCenter);
        f->Head().ReadCell(0, 0)->Borders = bdAll;
        f->Head().ReadCell(0, 1)->Borders = bdAll;
        const std::string assignedSource =
            c.AssignedFromFile ? p.LibText(Chapter, 11) : p.LibText(Chapter, 12);
        const int sigmaItem = m_options.Sigma == TSigmaChoice::Robust            ? 14
                              : m_options.Sigma == TSigmaChoice::Reproducibility ? 15
                                                                                  : 16;
        const std::pair<std::string, double> rows[] = {
            {p.LibText(Chapter, 10) + ", " + assignedSource, c.AssignedValue},
            {p.LibText(Chapter, 13) + ", " + p.LibText(Chapter, sigmaItem), c.SigmaPT},
            {p.LibText(Chapter, 17), c.Consensus.Mean},
            {p.LibText(Chapter, 18), c.Consensus.SD},
            {p.LibText(Chapter, 19), static_cast<double>(c.Consensus.Count)},
            {p.LibText(Chapter, 20),
             c.Consensus.Formed() ? static_cast<double>(c.Consensus.Rounds) : MissingValue},
            {p.LibText(Chapter, 21), c.UncertaintyOfAssigned},
        };
        for (int r = 0; r < 7; ++r) {
            f->SetRowHeightCm(r, 0.55);
            TextCell(*f->ReadCell(r, 0), {rows[r].first}, TAlignment::alLeft);
            ValueCell(*f->ReadCell(r, 1), rows[r].second, r == 4 || r == 5 ? 0 : decimals);
            if ((r == 4 || r == 5) && rows[r].second != MissingValue) {
                // Counts stand where the figures' last digits stand.
                f->ReadCell(r, 1)->Alignment = TAlignment::alRight;
            }
            f->ReadCell(r, 0)->Borders = 0;
            f->ReadCell(r, 1)->Borders = 0;
        }
        TableBox(*f, 0, 0, 6, 1);
        doc->AddTable(std::move(f));
        if (c.Consensus.Formed() && !c.Consensus.Converged) {
            doc->AddText(p.LibText(Chapter, 22));
        }
        if (c.AssignedFromFile) {
            doc->AddText(p.LibText(Chapter, 27));
        }
        switch (c.Problem) {
        case TScoreProblem::TooFewLaboratories:
            doc->AddText(p.LibText(Chapter, 24));
            break;
        case TScoreProblem::NoAssignedValue:
            doc->AddText(p.LibText(Chapter, 25));
            break;
        case TScoreProblem::NoSigma:
            doc->AddText(p.LibText(Chapter, 26));
            break;
        case TScoreProblem::None:
            break;
        }
        if (c.RecommendZPrime) {
            doc->AddText(p.LibText(Chapter, 23));
            doc->AddText(p.LibText(Chapter, 38));
        }
        doc->BlockEnd();
        if (!c.Scored()) {
            continue;
        }

        // The laboratories.
        std::vector<int> labs;
        for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
            if (!Excluded(level.GetMark(lab))) {
                labs.push_back(lab);
            }
        }
        auto t = std::make_unique<TTavTable>(static_cast<int>(labs.size()), 6);
        t->SetAutoSize(false);
        t->GrowToText = true;
        TableLineWidth(p, *t);
        const double widths[] = {2.6, 1.2, 2.8, 2.0, 2.0, 3.6};
        for (int col = 0; col < 6; ++col) {
            t->SetColWidthCm(col, widths[col]);
        }
        t->SetHeadHeightCm(0.7);
        const int heads[] = {2, 35, 3, 4, 5, 6};
        for (int col = 0; col < 6; ++col) {
            TextCell(*t->HeadCell(col), {p.LibText(Chapter, heads[col])},
                     col == 0 ? TAlignment::alLeft : TAlignment::alCenter);
            t->Head().ReadCell(0, col)->Borders = bdAll;
        }
        for (std::size_t row = 0; row < labs.size(); ++row) {
            const int lab = labs[row];
            const auto i = static_cast<std::size_t>(lab - 1);
            const int r = static_cast<int>(row);
            t->SetRowHeightCm(r, 0.5);
            TextCell(*t->ReadCell(r, 0), {level.GetRandCode(lab)}, TAlignment::alLeft);
            TextCell(*t->ReadCell(r, 1), {OutlierMarkText(level.GetMark(lab))},
                     TAlignment::alCenter);
            ValueCell(*t->ReadCell(r, 2), c.Mean[i], decimals);
            ValueCell(*t->ReadCell(r, 3), c.Z[i], ScoreDecimals);
            ValueCell(*t->ReadCell(r, 4), c.ZPrime[i], ScoreDecimals);
            TextCell(*t->ReadCell(r, 5), {VerdictText(p, VerdictOf(c.JudgedScore(lab)))},
                     TAlignment::alLeft);
            for (int col = 0; col < 6; ++col) {
                t->ReadCell(r, col)->Borders = 0;
            }
        }
        if (!labs.empty()) {
            TableBox(*t, 0, 0, static_cast<int>(labs.size()) - 1, 5);
        }
        doc->AddTable(std::move(t));
    }
    FrameDocument(p, *doc, PerformanceScoresHelpContext);
    return doc;
}

namespace {

constexpr double OriginX = 1.5;
constexpr double OriginY = 12.5;
constexpr double XLength = 17.0;
constexpr double YLength = 10.0;

// The value axis: at least -4 to 4, wider to hold every score, in whole
// units.
std::pair<double, double> ScoreAxis(const std::vector<double>& scores) {
    double low = -4, high = 4;
    for (double z : scores) {
        if (z != MissingValue && std::isfinite(z)) {
            low = std::min(low, std::floor(z));
            high = std::max(high, std::ceil(z));
        }
    }
    return {low, high};
}

double AxisInterval(double low, double high) {
    const double span = high - low;
    return span <= 10 ? 1 : span <= 20 ? 2 : span <= 50 ? 5 : std::ceil(span / 100) * 10;
}

void LimitLines(TGraphWindow& g, double x1, double x2) {
    for (double limit : {2.0, 3.0}) {
        for (double sign : {-1.0, 1.0}) {
            g.AddLine(g.PageX(x1), g.PageY(sign * limit), g.PageX(x2), g.PageY(sign * limit),
                      clBlack, limit == 2 ? TPenStyle::psDash : TPenStyle::psSolid, -1);
        }
    }
    g.AddLine(g.PageX(x1), g.PageY(0), g.PageX(x2), g.PageY(0), clBlack, TPenStyle::psSolid, -1);
}

} // namespace

std::shared_ptr<TGraphWindow> TPerformanceScores::BuildColumnChart(const TScoreColumn& c) const {
    if (!m_program.CurrentStudy || !c.Scored()) {
        return nullptr;
    }
    Program& p = m_program;
    const DataType& s = *p.CurrentStudy;
    const TLevel& level = s.Level(c.Level);
    std::vector<int> labs;
    std::vector<double> scores;
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        const double z = c.Z[static_cast<std::size_t>(lab - 1)];
        if (!Excluded(level.GetMark(lab)) && z != MissingValue) {
            labs.push_back(lab);
            scores.push_back(z);
        }
    }
    const int n = static_cast<int>(labs.size());
    auto chart = NewChartWindow(p.Settings);
    TGraphWindow& g = *chart;
    g.SetTickLength(0.1);
    g.SetOrigin(OriginX, OriginY);
    g.SetAxisLengths(XLength, YLength);
    const auto [low, high] = ScoreAxis(scores);
    g.SetXAxis(0, 2, 0, std::max(1, n), 1);
    g.SetYAxis(0, 0, low, high, AxisInterval(low, high));
    g.AddLine(OriginX, OriginY, OriginX + XLength, OriginY);
    LimitLines(g, 0, std::max(1, n));

    // Codes that would touch their neighbours take turns on two rows.
    const TFontDescriptor codeFont = ChartOutputFont(p.Settings, 9);
    std::size_t widest = 1;
    for (int lab : labs) {
        widest = std::max(widest, Utf8Length(level.GetRandCode(lab)));
    }
    const double spacing = XLength / std::max(1, n);
    const int rows = static_cast<double>(widest) * 0.2 + 0.1 > spacing ? 2 : 1;
    for (int k = 0; k < n; ++k) {
        const double x = k + 0.5;
        const double z = scores[static_cast<std::size_t>(k)];
        const double half = std::min(0.35, 0.4 * spacing / (XLength / std::max(1, n)));
        g.AddRectangle(g.PageX(x - half), g.PageY(std::max(0.0, z)), g.PageX(x + half),
                       g.PageY(std::min(0.0, z)), clBlack, TPenStyle::psSolid,
                       VerdictOf(z) != TVerdict::Satisfactory);
        g.AddText(level.GetRandCode(labs[static_cast<std::size_t>(k)]), g.PageX(x),
                  OriginY + 0.2 + (k % rows) * 0.4, 1, 2, codeFont);
    }
    const TFontDescriptor axisFont = ChartOutputFont(p.Settings, 10);
    g.SetYAxisTitle("z", 1, axisFont);
    g.AddText(p.LibText(Chapter, 2), OriginX + XLength / 2, OriginY + 0.7 + (rows - 1) * 0.4, 1,
              2, axisFont);
    g.SetTitle(p.LibText(Chapter, 32) + ", " + s.Substance + ", " + p.LibText(Chapter, c.Sample > 0 ? 34 : 33) +
                   " " + c.Name,
               ChartOutputFont(p.Settings, 13, true), 0.6);
    return chart;
}

std::shared_ptr<TGraphWindow> TPerformanceScores::BuildOverviewChart() const {
    if (!m_program.CurrentStudy) {
        return nullptr;
    }
    Program& p = m_program;
    const DataType& s = *p.CurrentStudy;
    std::vector<const TScoreColumn*> scored;
    std::vector<double> all;
    for (const TScoreColumn& c : m_columns) {
        if (c.Scored()) {
            scored.push_back(&c);
            all.insert(all.end(), c.Z.begin(), c.Z.end());
        }
    }
    if (scored.size() < 2) {
        return nullptr;
    }
    const int columns = static_cast<int>(scored.size());
    auto chart = NewChartWindow(p.Settings);
    TGraphWindow& g = *chart;
    g.SetTickLength(0.1);
    g.SetOrigin(OriginX, OriginY);
    g.SetAxisLengths(XLength, YLength);
    const auto [low, high] = ScoreAxis(all);
    g.SetXAxis(0, 2, 0.5, columns + 0.5, 1);
    g.SetYAxis(0, 0, low, high, AxisInterval(low, high));
    g.AddLine(OriginX, OriginY, OriginX + XLength, OriginY);
    LimitLines(g, 0.5, columns + 0.5);
    const TFontDescriptor labelFont = ChartOutputFont(p.Settings, 8);
    const TFontDescriptor axisFont = ChartOutputFont(p.Settings, 10);
    for (int k = 0; k < columns; ++k) {
        g.AddText(scored[static_cast<std::size_t>(k)]->Name, g.PageX(k + 1), OriginY + 0.2, 1, 2,
                  axisFont);
    }
    // One line per laboratory over the levels, its code at its last point.
    const TLevel& first = s.Level(1);
    for (int lab = 1; lab <= first.NoOfLabs; ++lab) {
        std::vector<TPointXY> points;
        for (int k = 0; k < columns; ++k) {
            const double z = scored[static_cast<std::size_t>(k)]->Z[static_cast<std::size_t>(lab - 1)];
            if (z != MissingValue) {
                points.push_back({static_cast<double>(k + 1), z});
            }
        }
        if (points.empty()) {
            continue;
        }
        g.AddCurve(points, "", clBlack, -1, TPenStyle::psSolid, 0.12, clBlack, 13);
        // The code at every point beyond the limits of a satisfactory score.
        for (const TPointXY& point : points) {
            if (VerdictOf(point.y) != TVerdict::Satisfactory) {
                g.AddText(first.GetRandCode(lab), g.PageX(point.x) + 0.2, g.PageY(point.y), 0, 1,
                          labelFont)
                    .Movable = true;
            }
        }
    }
    g.SetYAxisTitle("z", 1, axisFont);
    g.AddText(p.LibText(Chapter, s.Design == dkSplitLevel ? 34 : 33), OriginX + XLength / 2,
              OriginY + 0.7, 1, 2, axisFont);
    g.SetTitle(p.LibText(Chapter, 32) + ", " + s.Substance, ChartOutputFont(p.Settings, 13, true),
               0.6);
    return chart;
}

void PerformanceScoresCommand(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    TPerformanceScores scores(program,
                              program.ScoreOptions ? *program.ScoreOptions : TScoreOptions{});
    scores.Calculate();
    auto doc = scores.BuildReport();
    if (doc) {
        ShowDocument(program, std::move(doc),
                     program.LibText(8, 6) + " - " + program.LibText(Chapter, 37));
    }
    const std::string caption = program.LibText(Chapter, 31);
    for (const TScoreColumn& c : scores.Columns()) {
        if (auto chart = scores.BuildColumnChart(c)) {
            program.host().ShowChart(chart, caption + " " + c.Name, PerformanceScoresHelpContext);
        }
    }
    if (auto chart = scores.BuildOverviewChart()) {
        program.host().ShowChart(chart, caption, PerformanceScoresHelpContext);
    }
}

} // namespace veltrio
