#include "preliminary/Grubbs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/ScopeGuard.h"

#include "documents/Contents.h"
#include "documents/Table.h"
#include "numerics/CriticalValues.h"
#include "preliminary/Cochran.h"
#include "preliminary/OutlierCommon.h"
#include "preliminary/ReportCells.h"
#include "study/CellText.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int kHelpContext = 5300;
constexpr int kProgressSteps = 25;

using SL = TSignificanceLevel;
using GK = TGrubbsKind;

TGrubbsSide Opposite(TGrubbsSide side) {
    return side == TGrubbsSide::High ? TGrubbsSide::Low : TGrubbsSide::High;
}

struct LabMean {
    int Lab;
    double Mean;
};

// The plain mean and the sum of squared deviations of some means.
void MeanAndSS(const std::vector<LabMean>& v, double& mean, double& ss) {
    mean = 0.0;
    for (const auto& m : v) {
        mean += m.Mean;
    }
    mean /= static_cast<double>(v.size());
    ss = 0.0;
    for (const auto& m : v) {
        ss += (m.Mean - mean) * (m.Mean - mean);
    }
}

// Two extreme laboratories for the double test; `better(a, b)` is true
// when a replaces the candidate b (equal values replace: the last wins).
template <typename Better>
void TwoExtremes(const std::vector<LabMean>& v, Better better, int labs[2]) {
    int firstIdx = -1;
    for (int i = 0; i < static_cast<int>(v.size()); ++i) {
        if (firstIdx < 0 || better(v[i].Mean, v[firstIdx].Mean)) {
            firstIdx = i;
        }
    }
    int secondIdx = -1;
    for (int i = 0; i < static_cast<int>(v.size()); ++i) {
        if (i == firstIdx) {
            continue;
        }
        if (secondIdx < 0 || better(v[i].Mean, v[secondIdx].Mean)) {
            secondIdx = i;
        }
    }
    labs[0] = v[firstIdx].Lab;
    labs[1] = v[secondIdx].Lab;
}

double DoubleStatistic(const std::vector<LabMean>& v, const int labs[2], double ss) {
    if (ss <= 0.0) {
        return MissingValue;
    }
    std::vector<LabMean> rest;
    for (const auto& m : v) {
        if (m.Lab != labs[0] && m.Lab != labs[1]) {
            rest.push_back(m);
        }
    }
    double mean = 0.0;
    double ss12 = 0.0;
    MeanAndSS(rest, mean, ss12);
    return ss12 / ss;
}

void Step(Program& program) {
    if (ShowTestProgress(program)) {
        program.host().StepProgress();
    }
}

void Mark(Program& program, int level, int lab, char mark) {
    if (lab > 0) {
        program.CurrentStudy->Level(level).SetMark(lab, mark);
    }
}

} // namespace

TGrubbsCounts& GrubbsCountsOf(Program& program) {
    if (!program.GrubbsCounts) {
        program.GrubbsCounts = std::make_shared<TGrubbsCounts>();
    }
    return *program.GrubbsCounts;
}

TGrubbsStatistics GrubbsStatistics(const Program& program, int level) {
    const DataType& s = *program.CurrentStudy;
    const TLevel& l = s.Level(level);
    std::vector<LabMean> v;
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        if (l.LabValid(lab) && program.Stats->Mean(level, lab) != MissingValue) {
            v.push_back({lab, program.Stats->Mean(level, lab)});
        }
    }
    TGrubbsStatistics st;
    st.P = static_cast<int>(v.size());
    if (st.P < 2) {
        return st;
    }
    double mean = 0.0;
    double ss = 0.0;
    MeanAndSS(v, mean, ss);
    const LabMean* high = &v.front();
    const LabMean* low = &v.front();
    for (const auto& m : v) {
        if (m.Mean > high->Mean) {
            high = &m;
        }
        if (m.Mean < low->Mean) {
            low = &m;
        }
    }
    st.LabHigh = high->Lab;
    st.LabLow = low->Lab;
    // Equal means leave only rounding noise in SS; their spread is zero.
    const double sd = high->Mean == low->Mean ? 0.0 : std::sqrt(ss / (st.P - 1));
    if (sd > 0.0) {
        st.GHigh = (high->Mean - mean) / sd;
        st.GLow = (mean - low->Mean) / sd;
    }
    if (st.P < 4) {
        return st;
    }
    TwoExtremes(
        v, [](double a, double b) { return a <= b; }, st.LabsLow2);
    TwoExtremes(
        v, [](double a, double b) { return a >= b; }, st.LabsHigh2);
    if (sd > 0.0) {
        st.GLow2 = DoubleStatistic(v, st.LabsLow2, ss);
        st.GHigh2 = DoubleStatistic(v, st.LabsHigh2, ss);
    }
    return st;
}

TSingleGrubbsResult SingleGrubbsTest(Program& program, int level) {
    TSingleGrubbsResult result;
    TDescriptiveStatistics& d = *program.Stats;
    const auto slot = TDescriptiveStatistics::Slot(level);
    TGrubbsStatistics st = GrubbsStatistics(program, level);
    Step(program);
    TGrubbsSide side = st.GLow > st.GHigh ? TGrubbsSide::Low : TGrubbsSide::High;
    auto g = [&](TGrubbsSide sd) { return sd == TGrubbsSide::High ? st.GHigh : st.GLow; };
    auto lab = [&](TGrubbsSide sd) { return sd == TGrubbsSide::High ? st.LabHigh : st.LabLow; };
    d.GrubbsStat[slot] = g(side);
    d.NoOfGrubbsLabs[slot] = st.P;
    while (st.P > 2 && g(side) != MissingValue) {
        const double crit1 = GrubbsCriticalValue(GK::Single, st.P, SL::OnePercent);
        bool outlier = false;
        // The current side first, then the other one.
        for (const TGrubbsSide tested : {side, Opposite(side)}) {
            const double value = g(tested);
            if (value != MissingValue && crit1 != MissingValue && value > crit1) {
                Mark(program, level, lab(tested), MarkGrubbsOutlier);
                (tested == TGrubbsSide::High ? result.HighOutlier : result.LowOutlier) = true;
                side = Opposite(tested);
                outlier = true;
                break;
            }
        }
        if (!outlier) {
            const double c5 = GrubbsCriticalValue(GK::Single, st.P, SL::FivePercent);
            if (st.GLow != MissingValue && st.GLow > c5) {
                Mark(program, level, st.LabLow, MarkGrubbsStraggler);
            }
            if (st.GHigh != MissingValue && st.GHigh > c5) {
                Mark(program, level, st.LabHigh, MarkGrubbsStraggler);
            }
            break;
        }
        st = GrubbsStatistics(program, level);
        Step(program);
    }
    return result;
}

void DoubleGrubbsTest(Program& program, int level) {
    TGrubbsStatistics st = GrubbsStatistics(program, level);
    Step(program);
    TGrubbsSide side = st.GLow2 >= st.GHigh2 ? TGrubbsSide::High : TGrubbsSide::Low;
    auto g = [&](TGrubbsSide sd) { return sd == TGrubbsSide::High ? st.GHigh2 : st.GLow2; };
    auto labs = [&](TGrubbsSide sd) {
        return sd == TGrubbsSide::High ? st.LabsHigh2 : st.LabsLow2;
    };
    while (st.P > 3 && g(side) != MissingValue) {
        const double crit1 = GrubbsCriticalValue(GK::Double, st.P, SL::OnePercent);
        bool outlier = false;
        for (const TGrubbsSide tested : {side, Opposite(side)}) {
            const double value = g(tested);
            const int* pair = labs(tested);
            if (value != MissingValue && value < crit1 && pair[0] > 0 && pair[1] > 0) {
                Mark(program, level, pair[0], MarkGrubbsOutlier);
                Mark(program, level, pair[1], MarkGrubbsOutlier);
                side = Opposite(tested);
                outlier = true;
                break;
            }
        }
        if (!outlier) {
            const double c5 = GrubbsCriticalValue(GK::Double, st.P, SL::FivePercent);
            for (const TGrubbsSide tested : {TGrubbsSide::Low, TGrubbsSide::High}) {
                if (g(tested) != MissingValue && g(tested) < c5) {
                    Mark(program, level, labs(tested)[0], MarkGrubbsStraggler);
                    Mark(program, level, labs(tested)[1], MarkGrubbsStraggler);
                }
            }
            break;
        }
        st = GrubbsStatistics(program, level);
        Step(program);
    }
}

void DoubleGrubbsTest(Program& program, int level, TGrubbsSide side) {
    while (true) {
        const TGrubbsStatistics st = GrubbsStatistics(program, level);
        Step(program);
        const double g = side == TGrubbsSide::High ? st.GHigh2 : st.GLow2;
        const int* pair = side == TGrubbsSide::High ? st.LabsHigh2 : st.LabsLow2;
        if (st.P <= 3 || g == MissingValue) {
            return;
        }
        if (g < GrubbsCriticalValue(GK::Double, st.P, SL::OnePercent)) {
            Mark(program, level, pair[0], MarkGrubbsOutlier);
            Mark(program, level, pair[1], MarkGrubbsOutlier);
            continue;
        }
        if (g < GrubbsCriticalValue(GK::Double, st.P, SL::FivePercent)) {
            Mark(program, level, pair[0], MarkGrubbsStraggler);
            Mark(program, level, pair[1], MarkGrubbsStraggler);
        }
        return;
    }
}

void GrubbsTest(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    if (!program.Outliers.CochranDone || !program.Stats) {
        CochranTest(program);
    }
    DataType& s = *program.CurrentStudy;
    TGrubbsCounts& counts = GrubbsCountsOf(program);
    const bool progress = ShowTestProgress(program);
    if (progress) {
        program.host().StartProgress(kProgressSteps);
    }
    TScopeExit endProgress([&] {
        if (progress) {
            program.host().EndProgress();
        }
    });
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        ResetMarks(s.Level(lv), "gG");
        // The laboratories that take part: valid ones with a mean. Their
        // count is the p of the first verdict and of its critical values.
        counts.LabsBeforeGrubbs[i] = GrubbsStatistics(program, lv).P;
        const TSingleGrubbsResult single = SingleGrubbsTest(program, lv);
        if (!single.HighOutlier && !single.LowOutlier) {
            DoubleGrubbsTest(program, lv);
        } else if (single.HighOutlier != single.LowOutlier) {
            DoubleGrubbsTest(program, lv,
                             single.HighOutlier ? TGrubbsSide::Low : TGrubbsSide::High);
        }
        counts.LabsAfterGrubbs[i] = GrubbsStatistics(program, lv).P;
    }
    RecomputeCellsAndLevels(program);
    // The test stands on the Cochran test's marks, which stay.
    program.MarksChanged(TStateChange::OutlierTest);
    program.Outliers.CochranDone = true;
    program.Outliers.GrubbsDone = true;
}

namespace {

struct MarksShown {
    bool Straggler = false, Outlier = false, FileExcluded = false, Cochran = false, User = false;
};

std::string GrubbsMarkText(char mark, MarksShown& shown) {
    switch (mark) {
    case MarkGrubbsStraggler:
        shown.Straggler = true;
        return "G*";
    case MarkGrubbsOutlier:
        shown.Outlier = true;
        return "G**";
    case MarkCochranOutlier:
        shown.Cochran = true;
        return "UC";
    case MarkFileExcluded:
        shown.FileExcluded = true;
        return "U";
    case MarkUserExcluded:
        shown.User = true;
        return "UL";
    default:
        return "";
    }
}

std::unique_ptr<TTavTable> MeansTable(Program& program, MarksShown& shown) {
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    const int levels = s.NoOfLevels;
    const bool split = s.Design == dkSplitLevel;
    auto t = std::make_unique<TTavTable>(s.NoOfLabs, 2 * levels + 2);
    t->SetAutoSize(false);
    TableLineWidth(program, *t);
    t->Title = {" " + s.Substance + ", " + s.Unit, program.LibText(2, 29)};
    t->SetColWidthCm(0, 2.075);
    t->SetColWidthCm(1, 2.075);
    for (int lv = 1; lv <= levels; ++lv) {
        t->SetColWidthCm(2 * lv, 2.2);
        t->SetColWidthCm(2 * lv + 1, 0.7);
    }
    for (int r = 0; r < s.NoOfLabs; ++r) {
        t->SetRowHeightCm(r, 0.6);
    }
    t->SetHeadHeightCm(1.0);
    ClearRules(*t);
    const TLevel& first = s.Level(1);
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        const int row = lab - 1;
        SetTextCell(*t->ReadCell(row, 0), {first.GetRandCode(lab)}, TAlignment::alLeft);
        SetTextCell(*t->ReadCell(row, 1),
                    {program.Settings.ShowRegLabNo ? first.GetRegLabNo(lab) : std::string()},
                    TAlignment::alLeft);
        for (int lv = 1; lv <= levels; ++lv) {
            const TLevel& l = s.Level(lv);
            const int column = std::max(1, 10 - l.MaxDecimals);
            const int n = d.N(lv, lab);
            const std::string mean = n >= (split ? 2 : 1)
                                         ? MeanText(d, lv, lab, l.Decimals + 1, column, 13)
                                         : AlignedNumberText(MissingValue, 0, column, 13);
            SetTextCell(*t->ReadCell(row, 2 * lv), {mean}, TAlignment::alDecimal);
            SetTextCell(*t->ReadCell(row, 2 * lv + 1), {GrubbsMarkText(l.GetMark(lab), shown)},
                        TAlignment::alLeft);
        }
    }
    TTavBaseTable& head = t->Head();
    SetTextCell(*head.ReadCell(0, 0), {program.LibText(2, 31)}, TAlignment::alCenter);
    TableBox(*t, 0, 0, s.NoOfLabs - 1, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        TableBox(*t, 0, 2 * lv, s.NoOfLabs - 1, 2 * lv + 1);
        SetTextCell(
            *head.ReadCell(0, 2 * lv),
            {split ? program.LibText(2, 30) : program.LibText(1, 11), s.Level(lv).LevelName},
            TAlignment::alCenter);
    }
    for (int c = 0; c < head.ColCount(); ++c) {
        head.ReadCell(0, c)->Borders = bdAll;
    }
    head.MergeRowCells(0, 0, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        head.MergeRowCells(0, 2 * lv, 1);
    }
    return t;
}

std::unique_ptr<TTavTable> StatisticsTable(Program& program) {
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    const TGrubbsCounts& counts = GrubbsCountsOf(program);
    const int levels = s.NoOfLevels;
    auto t = std::make_unique<TTavTable>(6, levels + 1);
    t->SetAutoSize(false);
    t->GrowToText = true; // labels of any language fit their column
    TableLineWidth(program, *t);
    t->Title = {program.LibText(2, 32) + program.LibText(2, 107)};
    t->SetColWidthCm(0, 4.15);
    for (int lv = 1; lv <= levels; ++lv) {
        t->SetColWidthCm(lv, 2.9);
    }
    for (int r = 0; r < 6; ++r) {
        t->SetRowHeightCm(r, 0.6);
    }
    t->SetHeadHeightCm(1.0);
    const int labels[] = {112, 113, 101, 33, 34, 35};
    for (int r = 0; r < 6; ++r) {
        SetTextCell(*t->ReadCell(r, 0), {program.LibText(2, labels[r])}, TAlignment::alLeft);
    }
    SetTextCell(*t->HeadCell(0), {""}, TAlignment::alLeft);
    for (int lv = 1; lv <= levels; ++lv) {
        const auto slot = TDescriptiveStatistics::Slot(lv);
        const auto i = static_cast<std::size_t>(lv);
        SetTextCell(*t->HeadCell(lv),
                    {s.Design == dkSplitLevel ? program.LibText(2, 15) : program.LibText(1, 11),
                     s.Level(lv).LevelName},
                    TAlignment::alCenter);
        SetNumberCell(*t->ReadCell(0, lv), counts.LabsBeforeGrubbs[i], 0, TAlignment::alCenter);
        SetNumberCell(*t->ReadCell(1, lv), counts.LabsAfterGrubbs[i], 0, TAlignment::alCenter);
        SetNumberCell(*t->ReadCell(2, lv), s.NoOfReplicates, 0, TAlignment::alCenter);
        if (d.GrubbsStat[slot] == MissingValue) {
            SetTextCell(*t->ReadCell(3, lv), {"-"}, TAlignment::alCenter);
        } else {
            SetTextCell(*t->ReadCell(3, lv), {GrubbsText(d, lv, 3, 6, 22)}, TAlignment::alDecimal);
        }
        // The single test needs three laboratories; below that no
        // critical value applies. The count is the one the first verdict
        // used, not that of a later recomputation.
        const int p = counts.LabsBeforeGrubbs[i];
        for (int r = 4; r <= 5; ++r) {
            if (p < 3) {
                SetTextCell(*t->ReadCell(r, lv), {"-"}, TAlignment::alCenter);
            } else {
                const double c =
                    GrubbsCriticalValue(GK::Single, p, r == 4 ? SL::FivePercent : SL::OnePercent);
                SetTextCell(*t->ReadCell(r, lv), {FormatNumber(22, 6, 4, c)},
                            TAlignment::alDecimal);
            }
        }
    }
    ClearRules(*t);
    for (int c = 0; c <= levels; ++c) {
        TableBox(*t, 0, c, 5, c);
    }
    return t;
}

} // namespace

std::unique_ptr<TTavContents> MakeGrubbsReport(Program& program) {
    if (!program.CurrentStudy) {
        return nullptr;
    }
    if (!program.Outliers.GrubbsDone || !program.Stats) {
        GrubbsTest(program);
        RecomputeLevels(program);
    }
    auto doc = std::make_unique<TTavContents>();
    MarksShown shown;
    doc->AddTable(MeansTable(program, shown));
    doc->AddText(" ");
    doc->BlockBegin();
    doc->AddTable(StatisticsTable(program));
    doc->AddText(" ");
    doc->AddText(program.LibText(2, shown.Straggler ? 36 : 37));
    doc->AddText(program.LibText(2, shown.Outlier ? 38 : 39));
    if (shown.FileExcluded) {
        doc->AddText(program.LibText(2, 40));
    }
    if (shown.Cochran) {
        doc->AddText(program.LibText(2, 41));
    }
    if (shown.User) {
        doc->AddText(program.LibText(2, 42));
    }
    doc->BlockEnd();
    FrameDocument(program, *doc, kHelpContext);
    return doc;
}

void GrubbsReport(Program& program) {
    auto doc = MakeGrubbsReport(program);
    if (doc) {
        ShowDocument(program, std::move(doc), program.LibText(5, 3));
    }
}

} // namespace veltrio
