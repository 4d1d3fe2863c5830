// The laboratory reports of a proficiency-test round: per laboratory its
// head, memos, results with residual classes and assessments, legend and
// signature; per file and level a summary with its Youden chart; and an
// overview of every laboratory's results.
#include "tools/LabReports.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "base/Missing.h"
#include "base/ScopeGuard.h"
#include "base/TextUtil.h"
#include "charts/ChartItem.h"
#include "charts/ChartStyle.h"
#include "charts/GraphWindow.h"
#include "documents/BaseTable.h"
#include "documents/Contents.h"
#include "documents/NumberText.h"
#include "documents/Table.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "preliminary/YoudenPlots.h"
#include "quality/ANOVA.h"
#include "study/DescriptiveStatistics.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"
#include "study/ReportFraming.h"
#include "study/Study.h"
#include "study/Transformations.h"
#include "tools/LabReportText.h"
#include "tools/QuickResponse.h"
#include "tools/RepTexts.h"
#include "tools/StudyPutAside.h"

namespace fs = std::filesystem;

namespace veltrio {

namespace {

constexpr int kResultColumns = 15;

// The figures of one file of the round, taken while it was the loaded study
// with the marks of its outlier tests.
struct TFileRun {
    const TReportFile* Entry = nullptr;
    TFeedbackFile* File = nullptr;
    std::array<double, MaxLevels + 1> Sr{};
    std::array<double, MaxLevels + 1> SL{};
    std::array<double, MaxLevels + 1> SR{};

    const DataType& Study() const { return *File->Study; }
    std::string Alias() const {
        return Entry->Limits.Alias.empty() ? Entry->Name : Entry->Limits.Alias;
    }
};

TTavCell& Text(TTavCell& cell, const std::string& text, TAlignment alignment,
               std::uint8_t borders) {
    cell.Kind = TCellKind::ckLines;
    cell.Lines.clear();
    cell.AddLine(text);
    cell.Alignment = alignment;
    cell.Borders = borders;
    return cell;
}

TTavCell& Lines(TTavCell& cell, const std::vector<std::string>& lines, TAlignment alignment,
                std::uint8_t borders) {
    cell.Kind = TCellKind::ckLines;
    cell.Lines = lines.empty() ? std::vector<std::string>{""} : lines;
    cell.Alignment = alignment;
    cell.Borders = borders;
    return cell;
}

std::string UnitSuffix(const DataType& study) {
    const std::string unit = Trim(study.Unit);
    return unit.empty() ? std::string() : ", " + unit;
}

// The assigned value of a column of a level: in a split level's spiked
// sample with the spike added on the study's own scale.
double SpikedAssignedValue(const DataType& study, const TLevel& level, int column) {
    if (study.Design == dkSplitLevel && column == level.SpikedSample &&
        level.Spiking != MissingValue && level.NominalValue != MissingValue) {
        return SpikeAdded(study.Transformation, level.NominalValue, level.Spiking);
    }
    return level.NominalValue;
}

// A result as reported: in a split level's spiked sample with the spike
// added back on the study's own scale.
double ReportedValue(const DataType& study, const TLevel& level, int rep, double stored) {
    if (stored == MissingValue || study.Design != dkSplitLevel || rep != level.SpikedSample ||
        level.Spiking == MissingValue) {
        return stored;
    }
    return SpikeAdded(study.Transformation, stored, level.Spiking);
}

std::string ResultText(const DataType& study, const TLevel& level, int lab, int rep) {
    const TResult& res = level.GetResult(lab, rep);
    const double x = ReportedValue(study, level, rep, res.Value);
    if (x == MissingValue) {
        return "-";
    }
    return (res.Flag == '<' ? "<" : "") + FormatThousands(x, 8, res.Decimals);
}

int UsableResults(const TLevel& level, int lab) {
    int n = 0;
    for (int r = 1; r <= level.NoOfReplicates; ++r) {
        n += level.GetResult(lab, r).Usable() ? 1 : 0;
    }
    return n;
}

std::string LabelOf(const DataType& study, const TLevel& level, int rep) {
    return study.Design == dkSplitLevel ? "    " + level.SampleId(rep) : level.LevelName;
}

// ---------------------------------------------------------------------------
// The laboratory's pages.

void ReportHead(Program& program, const TRepTexts& texts, TTavContents& doc) {
    const TFont font = OutputFont(program, 10);
    doc.SetFont(font);
    auto t = std::make_unique<TTavTable>(5, 5);
    t->SetAutoSize(false);
    TableLineWidth(program, *t);
    const double widths[] = {2.5, 9.5, 7.0, 5.0, 3.0};
    const std::uint8_t rules[] = {bdTop | bdBottom | bdLeft, bdTop | bdBottom | bdRight, 0,
                                  bdTop | bdBottom | bdLeft, bdTop | bdBottom | bdRight};
    t->SetHeadHeightCm(0.7);
    for (int c = 0; c < 5; ++c) {
        t->SetColWidthCm(c, widths[c]);
        Text(*t->HeadCell(c), "", TAlignment::alLeft, rules[c]);
        for (int r = 0; r < 5; ++r) {
            t->SetRowHeightCm(r, 0.55);
            Text(*t->ReadCell(r, c), "", TAlignment::alLeft, rules[c]);
        }
    }
    t->ReadCell(4, 3)->Borders = bdTop;
    t->ReadCell(4, 4)->Borders = bdTop;
    Text(*t->HeadCell(1), program.LibText(11, 1), TAlignment::alLeft, rules[1]);
    Text(*t->HeadCell(3), program.LibText(11, 7), TAlignment::alLeft, rules[3]);
    Text(*t->HeadCell(4), texts.SamplesShipped, TAlignment::alLeft, rules[4]);
    const TFont bold = OutputFont(program, 10, true);
    const std::pair<int, const std::string*> left[] = {
        {2, &texts.TestName}, {3, &texts.Topic}, {4, &texts.SampleTypes},
        {5, &texts.Parameters}, {6, &texts.Host}};
    for (int r = 0; r < 5; ++r) {
        Text(*t->ReadCell(r, 0), program.LibText(11, left[r].first), TAlignment::alLeft, rules[0]);
        TTavCell& value = Text(*t->ReadCell(r, 1), *left[r].second, TAlignment::alLeft, rules[1]);
        if (r < 2) {
            value.SetFont(bold);
        }
    }
    const std::pair<int, const std::string*> right[] = {{8, &texts.TestDate},
                                                        {9, &texts.Deadline},
                                                        {10, &texts.ReportDate},
                                                        {11, &texts.TotalReportDate}};
    for (int r = 0; r < 4; ++r) {
        Text(*t->ReadCell(r, 3), program.LibText(11, right[r].first), TAlignment::alLeft,
             rules[3]);
        Text(*t->ReadCell(r, 4), *right[r].second, TAlignment::alLeft, rules[4]);
    }
    doc.AddTable(std::move(t));
}

void ReportMemos(Program& program, const TRepTexts& texts, TTavContents& doc) {
    const TFont font = OutputFont(program, 10);
    auto t = std::make_unique<TTavTable>(1, 3);
    t->SetAutoSize(true);
    TableLineWidth(program, *t);
    const std::string* memos[] = {&texts.HomogeneityText, &texts.StabilityText,
                                  &texts.AssignedValueText};
    for (int c = 0; c < 3; ++c) {
        t->SetColWidthCm(c, 9.0);
        Text(*t->HeadCell(c), program.LibText(11, 12 + c), TAlignment::alLeft, bdAll);
        Lines(*t->ReadCell(0, c), WrapLines(*memos[c], font, 8.5), TAlignment::alLeft, bdAll);
    }
    doc.AddTable(std::move(t));
}

// The head of the results table: three rows over fifteen columns.
void ResultsHead(Program& program, TTavTable& t) {
    TTavBaseTable& head = t.Head();
    const TFont bold = OutputFont(program, 10, true);
    for (int c = 0; c < kResultColumns; ++c) {
        std::uint8_t r1 = bdTop | bdLeft | bdRight;
        std::uint8_t r2 = bdBottom | bdLeft | bdRight;
        if (c == 8 || c == 12) {
            r1 = bdTop | bdLeft;
            r2 = bdBottom | bdLeft;
        } else if (c == 9) {
            r1 = bdTop;
            r2 = bdBottom;
        } else if (c == 10 || c == 13) {
            r1 = bdTop | bdRight;
            r2 = bdBottom | bdRight;
        }
        if (c >= 5 && c <= 7) {
            r2 = bdBottom;
        }
        const TAlignment a = c <= 1 ? TAlignment::alLeft : TAlignment::alCenter;
        Text(*head.ReadCell(0, c), "", TAlignment::alCenter, bdAll);
        Text(*head.ReadCell(1, c), "", a, r1);
        Text(*head.ReadCell(2, c), "", a, r2);
    }
    Text(*head.ReadCell(0, 0), program.LibText(11, 15), TAlignment::alCenter, bdAll).SetFont(bold);
    Text(*head.ReadCell(0, 5), program.LibText(11, 21), TAlignment::alCenter, bdAll);
    Text(*head.ReadCell(0, 12), program.LibText(11, 30), TAlignment::alCenter, bdAll);
    const std::pair<int, int> row1[] = {{0, 16}, {1, 17}, {2, 18},  {3, 19},  {4, 20},
                                        {5, 22}, {8, 26}, {9, 27},  {10, 28}, {11, 29},
                                        {12, 31}, {13, 32}, {14, 33}};
    for (const auto& [c, item] : row1) {
        TTavCell& cell = *head.ReadCell(1, c);
        cell.Lines = {program.LibText(11, item)};
        if (c == 0 || c == 1 || c == 3 || c == 8 || c == 12) {
            cell.Alignment = TAlignment::alCenter;
        }
    }
    const std::pair<int, int> row2[] = {{5, 23},  {6, 24},  {7, 25}, {8, 50},
                                        {9, 47}, {10, 48}, {12, 49}, {13, 47}};
    for (const auto& [c, item] : row2) {
        head.ReadCell(2, c)->Lines = {program.LibText(11, item)};
        head.ReadCell(2, c)->Alignment = TAlignment::alCenter;
    }
    head.MergeRowCells(0, 0, 4);
    head.MergeRowCells(0, 5, 6);
    head.MergeRowCells(0, 12, 2);
    head.MergeRowCells(1, 5, 2);
}

// One row of a laboratory's results: replicate `rep` of level `lv` of a file.
void LabResultRow(const TFileRun& run, int lab, int lv, int rep, TTavTable& t, int row) {
    const DataType& study = run.Study();
    const TLevel& level = study.Level(lv);
    const TThresholds& lim = run.Entry->Limits;
    const TAlignment align[kResultColumns] = {
        TAlignment::alLeft,    TAlignment::alLeft,    TAlignment::alCenter,
        TAlignment::alDecimal, TAlignment::alCenter,  TAlignment::alCenter,
        TAlignment::alCenter,  TAlignment::alCenter,  TAlignment::alDecimal,
        TAlignment::alCenter,  TAlignment::alCenter,  TAlignment::alCenter,
        TAlignment::alDecimal, TAlignment::alCenter,  TAlignment::alCenter};
    // The rows of a level form one block: a rule above its first replicate
    // and under its last.
    std::uint8_t rules = bdLeft | bdRight;
    if (rep == 1) {
        rules |= bdTop;
    }
    if (rep == study.NoOfReplicates) {
        rules |= bdBottom;
    }
    for (int c = 0; c < kResultColumns; ++c) {
        Text(*t.ReadCell(row, c), "", align[c], rules);
    }
    auto set = [&](int c, const std::string& text) { t.ReadCell(row, c)->Lines = {text}; };
    const char mark = level.GetMark(lab);
    if (rep == 1) {
        set(0, run.Alias());
        set(2, study.Unit);
        if (mark == MarkCochranOutlier) {
            set(13, "C**");
        }
    }
    set(1, LabelOf(study, level, rep));
    const double a = SpikedAssignedValue(study, level, rep);
    if (a != MissingValue) {
        set(8, FormatThousands(a, 8, level.Decimals) + "  ");
    }
    const TResult& res = level.GetResult(lab, rep);
    const double x = ReportedValue(study, level, rep, res.Value);
    if (x == MissingValue) {
        set(3, "-");
        return;
    }
    set(3, ResultText(study, level, lab, rep));
    const double sR = run.SR[static_cast<std::size_t>(lv)];
    const bool counted = mark != MarkFileExcluded && mark != MarkUserExcluded;
    if (counted && res.Flag == ' ' && a != MissingValue) {
        if (sR != 0 && sR != MissingValue) {
            const double d = std::fabs(x - a) / sR;
            const int col = d < 1 ? 5 : d <= 2 ? 6 : 7;
            set(col, x > a ? "+" : x < a ? "-" : "0");
        }
        const double u = std::fabs(x - a);
        const double w = RoundedPercent(u, a);
        set(10, w == MissingValue ? "-" : FormatThousands(w, 8, 0));
        set(11, LimitAssessment(u, w, lim.AccuPct1, lim.AccuPct2, lim.AccuAbs1, lim.AccuAbs2));
    } else if (counted && res.Flag == ' ') {
        // No assigned value: no deviation to judge.
        set(10, "-");
        set(11, "-");
    }
    if (rep == 1) {
        // A spread needs at least two usable results.
        if (UsableResults(level, lab) >= 2) {
            const double sd = level.LabSD(lab);
            TTavCell& cell = *t.ReadCell(row, 12);
            cell.Kind = TCellKind::ckNumber;
            cell.Decimals = level.Decimals + 1;
            cell.SetValue(sd);
            const double a1 = level.NominalValue;
            const double w = a1 == MissingValue ? MissingValue : RoundedPercent(sd, a1);
            set(14, sd == MissingValue ? "-"
                                       : LimitAssessment(sd, w, lim.PrecPct1, lim.PrecPct2,
                                                         lim.PrecAbs1, lim.PrecAbs2));
        } else {
            set(12, "-");
            set(14, "-");
        }
        if (mark == MarkGrubbsOutlier) {
            set(9, "G**");
        }
        set(4, level.GetMethodCode(lab));
    }
}

void LabResults(Program& program, const TRepTexts& texts, TQuickResponse& round,
                const std::vector<TFileRun>& runs, int lab, TTavContents& doc) {
    const DataType& ref = runs.front().Study();
    const std::string code = ref.Level(1).GetRandCode(lab);
    doc.SetFont(OutputFont(program, 10, true));
    doc.AddText(texts.UseLabNames ? program.LibText(11, 51) + " " + texts.LabTitle(code)
                                  : program.LibText(4, 2) + " " + code);
    doc.SetFont(OutputFont(program, 7));
    const int levels = round.RefNoOfLevels;
    const int reps = round.RefNoOfReplicates;
    auto t = std::make_unique<TTavTable>(static_cast<int>(runs.size()) * levels * reps,
                                         kResultColumns);
    t->SetAutoSize(false);
    t->Head().SetRowCount(3);
    for (int c = 0; c < kResultColumns; ++c) {
        t->SetColWidthCm(c, c == 0 ? 2.2 : 1.8);
    }
    ResultsHead(program, *t);
    int row = 0;
    for (std::size_t f = 0; f < runs.size(); ++f) {
        for (int lv = 1; lv <= levels; ++lv) {
            // Laboratories are matched by their code, not their line.
            const int inFile = round.LabInFile(static_cast<int>(f), lv, code);
            for (int r = 1; r <= reps; ++r, ++row) {
                if (inFile == -99) {
                    for (int c = 0; c < kResultColumns; ++c) {
                        Text(*t->ReadCell(row, c), c == 3 ? "-" : "", TAlignment::alCenter,
                             bdLeft | bdRight);
                    }
                    continue;
                }
                LabResultRow(runs[f], inFile, lv, r, *t, row);
            }
        }
    }
    TableLineWidth(program, *t);
    doc.AddTable(std::move(t));
}

void LegendTable(Program& program, const TRepTexts& texts, TTavContents& doc) {
    doc.BlockBegin();
    doc.SetFont(OutputFont(program, 10));
    auto t = std::make_unique<TTavTable>(3, 2);
    t->SetAutoSize(false);
    TableLineWidth(program, *t);
    t->SetColWidthCm(0, 1.0);
    t->SetColWidthCm(1, 20.0);
    t->SetHeadHeightCm(0.5);
    Text(*t->HeadCell(0), program.LibText(11, 53), TAlignment::alLeft, bdAll)
        .SetFont(OutputFont(program, 10, true));
    Text(*t->HeadCell(1), "", TAlignment::alLeft, bdAll);
    const char* codes[] = {"A", "A*", "I"};
    const auto legends = texts.ShownLegends();
    for (int r = 0; r < 3; ++r) {
        t->SetRowHeightCm(r, 0.5);
        Text(*t->ReadCell(r, 0), codes[r], TAlignment::alLeft, bdAll);
        Text(*t->ReadCell(r, 1), legends[static_cast<std::size_t>(r)], TAlignment::alLeft, bdAll);
    }
    t->Head().MergeRowCells(0, 0, 1);
    doc.AddTable(std::move(t));
    doc.BlockEnd();
}

void SignatureTable(Program& program, const TRepTexts& texts, TTavContents& doc) {
    doc.SetFont(OutputFont(program, 10));
    auto t = std::make_unique<TTavTable>(1, 1);
    t->SetAutoSize(false);
    t->SetColWidthCm(0, 27.0);
    t->SetHeadHeightCm(0.5);
    t->SetRowHeightCm(0, 0.5);
    Text(*t->HeadCell(0), "", TAlignment::alLeft, 0);
    Text(*t->ReadCell(0, 0), texts.Signature, TAlignment::alLeft, 0);
    doc.AddTable(std::move(t));
}

void LabReport(Program& program, const TRepTexts& texts, TQuickResponse& round,
               const std::vector<TFileRun>& runs, int lab, TTavContents& doc) {
    ReportHead(program, texts, doc);
    doc.AddText(" ");
    ReportMemos(program, texts, doc);
    doc.AddText(" ");
    LabResults(program, texts, round, runs, lab, doc);
    doc.AddText(" ");
    if (texts.ShowLegend) {
        LegendTable(program, texts, doc);
    }
    doc.AddText(" ");
    doc.AddText(" ");
    if (!texts.Signature.empty()) {
        SignatureTable(program, texts, doc);
    }
}

// ---------------------------------------------------------------------------
// The summary of one level of one file, while the file is the loaded study.

void LevelSummary(Program& program, const TRepTexts& texts, const TFileRun& run, int q) {
    const DataType& study = *program.CurrentStudy;
    const TLevel& level = study.Level(q);
    const int n = study.NoOfReplicates;
    const bool split = study.Design == dkSplitLevel;
    auto doc = std::make_unique<TTavContents>();
    doc->PageHeaderFont = OutputFont(program, 12);
    doc->PageHeader = {program.LibText(11, 1), texts.TestName};
    doc->PrintOrientation = 1;
    doc->SetMarginLeft(1.0);
    doc->SetFont(OutputFont(program, 12));
    doc->AddFormatText(run.Alias());
    doc->SetFont(OutputFont(program, 10));
    doc->AddText(" ");

    auto t = std::make_unique<TTavTable>(11, n + 1);
    t->SetAutoSize(false);
    t->Head().SetRowCount(2);
    TableLineWidth(program, *t);
    t->SetColWidthCm(0, 9.0);
    for (int c = 1; c <= n; ++c) {
        t->SetColWidthCm(c, 1.5);
    }
    TTavBaseTable& head = t->Head();
    for (int r = 0; r < 2; ++r) {
        head.SetRowHeightCm(r, 0.7);
        for (int c = 0; c <= n; ++c) {
            std::uint8_t rules = bdAll;
            if (r == 0) {
                rules &= static_cast<std::uint8_t>(~bdBottom);
            } else {
                rules &= static_cast<std::uint8_t>(~bdTop);
                if (c >= 1 && c < n) {
                    rules &= static_cast<std::uint8_t>(~bdRight);
                }
            }
            Text(*head.ReadCell(r, c), "", c == 0 ? TAlignment::alLeft : TAlignment::alCenter,
                 rules);
        }
    }
    head.ReadCell(0, 1)->Lines = {program.LibText(11, 34)};
    for (int c = 1; c <= n; ++c) {
        head.ReadCell(1, c)->Lines = {split ? level.SampleId(c) : (c == 1 ? level.LevelName : "")};
    }
    if (n > 1) {
        head.MergeRowCells(0, 1, n - 1);
        if (!split) {
            head.MergeRowCells(1, 1, n - 1);
        }
    }

    // The level statistics follow the marks of the file's outlier tests.
    const TDescriptiveStatistics& stats = *program.Stats;
    const TPreliminaryStats& desc = CurrentDescriptiveFigures(program);
    const std::string unit = UnitSuffix(study);
    const int dec = level.Decimals;
    const std::size_t lv = static_cast<std::size_t>(q);
    const double sr = run.Sr[lv], sR = run.SR[lv];
    auto percentOf = [&](double s) {
        return level.NominalValue != MissingValue && level.NominalValue != 0 && s != MissingValue &&
                       s > 0
                   ? 100.0 * s / level.NominalValue
                   : MissingValue;
    };
    struct Row {
        std::string Label;
        int Decimals;
        bool PerColumn;
        std::function<double(int)> Value;
    };
    const Row rows[] = {
        {program.LibText(11, 35), 0, false, [&](int) { return double(level.NoOfValidLabs()); }},
        {program.LibText(11, 36), 0, false,
         [&](int) { return double(study.NoOfCochranOutliers()); }},
        {program.LibText(11, 37), 0, false,
         [&](int) { return double(study.NoOfGrubbsOutliers()); }},
        {program.LibText(11, 38) + unit, dec, split,
         [&](int c) { return SpikedAssignedValue(study, level, c); }},
        {program.LibText(11, 39) + unit, dec, false,
         [&](int) { return stats.GrandMean[TDescriptiveStatistics::Slot(q)]; }},
        {program.LibText(11, 40) + unit, dec, split,
         [&](int c) { return TPreliminaryStats::At(desc.DescMedian, q, split ? c : 1); }},
        {program.LibText(11, 41) + unit, dec + 1, false, [&](int) { return sr; }},
        {program.LibText(11, 42) + unit, dec + 1, false, [&](int) { return run.SL[lv]; }},
        {program.LibText(11, 43) + unit, dec + 1, false, [&](int) { return sR; }},
        {program.LibText(11, 44) + ", %", 1, false, [&](int) { return percentOf(sr); }},
        {program.LibText(11, 45) + ", %", 1, false, [&](int) { return percentOf(sR); }},
    };
    for (int r = 0; r < 11; ++r) {
        t->SetRowHeightCm(r, 0.7);
        const Row& row = rows[r];
        Text(*t->ReadCell(r, 0), row.Label, TAlignment::alLeft, bdAll);
        for (int c = 1; c <= n; ++c) {
            const double v = row.PerColumn || c == 1 ? row.Value(c) : MissingValue;
            TTavCell& cell = *t->ReadCell(r, c);
            if (v == MissingValue) {
                Text(cell, row.PerColumn || c == 1 ? "-" : "", TAlignment::alCenter, bdAll);
                continue;
            }
            cell.Kind = TCellKind::ckNumber;
            cell.Alignment = row.PerColumn ? TAlignment::alDecimal : TAlignment::alCenter;
            cell.Decimals = row.Decimals;
            cell.Borders = bdAll;
            cell.SetValue(v);
        }
        if (!row.PerColumn && n > 1) {
            t->MergeRowCells(r, 1, n - 1);
        }
    }
    doc->AddTable(std::move(t));

    // The Youden chart of the level, where the design has one.
    if ((split || n == 2) && !level.AllLabsIncomplete) {
        auto chart = std::make_unique<TGraphWindow>();
        SetUpChartWindow(*chart, program.Settings);
        YoudenChart(program, *chart, q, false);
        // Wide enough for the legend right of the axes (16 cm cut it off).
        chart->PlotWidth = 18.5;
        chart->PlotHeight = 15;
        chart->Proportioning = TProportioning::pFitToSize;
        AddGraph(*doc, std::move(chart));
    }
    program.NextHelpContext = FastFeedbackHelpContext;
    ShowDocument(program, std::move(doc), study.Substance);
}

// ---------------------------------------------------------------------------
// The overview of every result of level 1.

std::string OverviewMark(char mark) {
    switch (mark) {
    case MarkCochranOutlier:
        return "C**";
    case MarkGrubbsOutlier:
        return "G**";
    case MarkUserExcluded:
        return "L**";
    case MarkFileExcluded:
        return "** ";
    default:
        return "   ";
    }
}

void ResultsOverview(Program& program, const TRepTexts& texts, TQuickResponse& round,
                     const std::vector<TFileRun>& runs, const std::string& caption) {
    auto doc = std::make_unique<TTavContents>();
    doc->PageHeaderFont = OutputFont(program, 12);
    doc->PageHeader = {program.LibText(11, 1), texts.TestName};
    doc->SetMarginLeft(1.0);
    doc->SetFont(OutputFont(program, 8));
    const int n = round.RefNoOfReplicates;
    const int labs = round.RefNoOfLabs;
    const DataType& ref = runs.front().Study();
    for (std::size_t first = 0; first < runs.size(); first += 3) {
        const int g = static_cast<int>(std::min<std::size_t>(3, runs.size() - first));
        if (first > 0) {
            doc->PageBreak();
        }
        const int cols = (n + 2) * g + 1;
        auto t = std::make_unique<TTavTable>(labs, cols);
        t->SetAutoSize(false);
        t->Head().SetRowCount(5);
        TTavBaseTable& head = t->Head();
        for (int c = 0; c < cols; ++c) {
            const bool method = c > 0 && c % (n + 2) == 0;
            const bool markCol = c > 0 && (c + 1) % (n + 2) == 0;
            t->SetColWidthCm(c, c == 0 ? 1.8 : markCol ? 1.0 : 1.4);
            const TAlignment a = method    ? TAlignment::alCenter
                                 : markCol ? TAlignment::alLeft
                                           : TAlignment::alDecimal;
            const bool rightRule = c == 0 || method;
            for (int r = 0; r < 5; ++r) {
                std::uint8_t rules = 0;
                if (c <= 1) {
                    rules |= bdLeft;
                }
                if (r == 0) {
                    rules |= c == 0 ? bdTop : bdTop | bdBottom;
                }
                if (r == 4) {
                    rules |= bdBottom;
                }
                if (rightRule) {
                    rules |= bdRight;
                }
                Text(*head.ReadCell(r, c), "",
                     r == 2 ? TAlignment::alLeft : TAlignment::alCenter, rules);
            }
            for (int j = 0; j < labs; ++j) {
                Text(*t->ReadCell(j, c), "", a,
                     static_cast<std::uint8_t>((c <= 1 ? bdLeft : 0) | (rightRule ? bdRight : 0)));
            }
        }
        head.ReadCell(4, 0)->Lines = {program.LibText(11, 46)};
        for (int j = 1; j <= labs; ++j) {
            t->ReadCell(j - 1, 0)->Lines = {ref.Level(1).GetRandCode(j) + "  "};
        }
        for (int k = 0; k < g; ++k) {
            const std::size_t f = first + static_cast<std::size_t>(k);
            const TFileRun& run = runs[f];
            const DataType& study = run.Study();
            const TLevel& level = study.Level(1);
            const int b = k * (n + 2);
            head.ReadCell(0, b + 1)->Lines = {run.Alias() + UnitSuffix(study)};
            for (int c = 1; c <= n; ++c) {
                head.ReadCell(1, b + c)->Lines = {study.Design == dkSplitLevel || c == 1
                                                      ? (study.Design == dkSplitLevel
                                                             ? level.SampleId(c)
                                                             : level.LevelName)
                                                      : ""};
                const double a = SpikedAssignedValue(study, level, c);
                if (a != MissingValue) {
                    head.ReadCell(3, b + c)->Lines = {FormatThousands(a, 8, level.Decimals)};
                }
            }
            head.ReadCell(2, b + 1)->Lines = {program.LibText(11, 26) + " " +
                                              program.LibText(11, 50)};
            head.ReadCell(1, b + n + 2)->Lines = {program.LibText(11, 20)};
            for (int j = 1; j <= labs; ++j) {
                const std::string code = ref.Level(1).GetRandCode(j);
                const int lab = round.LabInFile(static_cast<int>(f), 1, code);
                for (int c = 1; c <= n + 2; ++c) {
                    t->ReadCell(j - 1, b + c)->Borders |= bdTop | bdBottom;
                }
                t->ReadCell(j - 1, b + n + 2)->Borders |= bdRight;
                if (lab == -99) {
                    continue;
                }
                for (int c = 1; c <= n; ++c) {
                    t->ReadCell(j - 1, b + c)->Lines = {ResultText(study, level, lab, c)};
                }
                t->ReadCell(j - 1, b + n + 1)->Lines = {OverviewMark(level.GetMark(lab))};
                t->ReadCell(j - 1, b + n + 2)->Lines = {level.GetMethodCode(lab)};
            }
            head.MergeRowCells(0, b + 1, n + 1);
        }
        TableLineWidth(program, *t);
        doc->AddTable(std::move(t));
    }
    program.NextHelpContext = FastFeedbackHelpContext;
    ShowDocument(program, std::move(doc), caption);
}

} // namespace

std::string LimitAssessment(double deviation, double percent, int pct1, int pct2, double abs1,
                            double abs2) {
    if (pct1 >= 1) {
        if (percent == MissingValue) {
            return "-";
        }
        if (percent <= pct1) {
            return "A";
        }
        return pct2 >= 1 && percent <= pct2 ? "A*" : "I";
    }
    if (abs1 > 0) {
        if (deviation <= abs1) {
            return "A";
        }
        return abs2 > 0 && deviation <= abs2 ? "A*" : "I";
    }
    return "";
}

double RoundedPercent(double value, double reference) {
    if (value == MissingValue || reference == MissingValue || reference == 0) {
        return MissingValue;
    }
    return std::nearbyint(100.0 * value / std::fabs(reference));
}

bool RunLabReports(Program& program, const TRepTexts& texts, TQuickResponse& round,
                   const std::function<bool(TQuickResponse&)>& askOptions,
                   const std::function<fs::path()>& askTabFile) {
    TSavedValue silent(program.SilentMode, true);
    TSavedValue quiet(program.QuietTests, true);
    round.ClearFiles();
    TScopeExit drop([&] { round.ClearFiles(); });
    // The files of the round that read; a file that does not has been
    // named by the reader and is left out.
    std::vector<const TReportFile*> entries;
    round.LastLab = 0;
    for (const TReportFile& entry : texts.ReportFiles) {
        const fs::path path = texts.ParDir / entry.Name;
        const int labs = TQuickResponse::ProbeFile(program, path);
        if (labs == -99 || !round.AddFile(path)) {
            continue;
        }
        round.LastLab = std::max(round.LastLab, labs);
        entries.push_back(&entry);
    }
    if (entries.empty()) {
        program.host().ShowMessage(
            "None of the data files of the report texts could be read; no report was made.");
        return false;
    }
    if (!askOptions(round)) {
        return false;
    }
    if (!round.CheckFiles(program)) {
        return false;
    }
    std::vector<TFileRun> runs(entries.size());
    for (std::size_t f = 0; f < entries.size(); ++f) {
        runs[f].Entry = entries[f];
        runs[f].File = &round.FileNames[f];
    }
    const int firstLab = std::max(round.FirstLab, 1);
    const int lastLab = std::min(round.LastLab, round.RefNoOfLabs);
    const int steps = std::max(0, lastLab - firstLab + 1) + static_cast<int>(runs.size());
    program.host().StartProgress(steps);
    TScopeExit endProgress([&] { program.host().EndProgress(); });

    // Each file in turn as the loaded study: its outlier tests, precision
    // figures and level summaries. The user's study comes back afterwards.
    std::string lastCaption;
    {
        TStudyPutAside aside(program);
        for (TFileRun& run : runs) {
            program.host().StepProgress();
            program.CurrentStudy = std::move(run.File->Study);
            program.StudyLoaded = true;
            TScopeExit giveBack([&] {
                run.File->Study = std::move(program.CurrentStudy);
                program.DestroyStudy();
            });
            program.StudyReplaced();
            CochranTest(program);
            GrubbsTest(program);
            TANOVA& anova = ANOVAOf(program);
            anova.Calculate(program);
            run.Sr = anova.Sr;
            run.SL = anova.SL;
            run.SR = anova.SR;
            for (int q = 1; q <= round.RefNoOfLevels; ++q) {
                LevelSummary(program, texts, run, q);
            }
            lastCaption = program.CurrentStudy->Substance;
        }
    }
    ResultsOverview(program, texts, round, runs, lastCaption);

    auto doc = std::make_unique<TTavContents>();
    const TFont font = OutputFont(program, 10);
    doc->SetFont(font);
    doc->DefaultFont = font;
    doc->PrintOrientation = 2;
    for (int s = firstLab; s <= lastLab; ++s) {
        LabReport(program, texts, round, runs, s, *doc);
        if (s < lastLab) {
            doc->PageBreak();
        }
        program.host().StepProgress();
    }
    const fs::path tabFile = round.SaveAsFile && askTabFile ? askTabFile() : fs::path();
    return round.FinishDocument(program, std::move(doc), tabFile);
}

} // namespace veltrio
