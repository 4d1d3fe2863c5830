#include "preliminary/Cochran.h"

#include <cmath>

#include "base/ScopeGuard.h"

#include "documents/Contents.h"
#include "documents/Table.h"
#include "numerics/CriticalValues.h"
#include "preliminary/OutlierCommon.h"
#include "preliminary/ReportCells.h"
#include "preliminary/SplitControl.h"
#include "study/CellText.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int kHelpContext = 5200;

using SL = TSignificanceLevel;

} // namespace

void CochranLevelTest(Program& program, int levelNo) {
    DataType& s = *program.CurrentStudy;
    TDescriptiveStatistics& d = *program.Stats;
    TLevel& level = s.Level(levelNo);
    const auto slot = TDescriptiveStatistics::Slot(levelNo);
    const int n = s.NoOfReplicates;
    // p counts the laboratories whose variance enters the sum: a valid
    // laboratory without a variance (fewer than two results) is not tested
    // and must not lower the critical value.
    auto tested = [&] {
        int count = 0;
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            count += level.LabValid(lab) && d.Variance(levelNo, lab) != MissingValue ? 1 : 0;
        }
        return count;
    };
    int p = tested();
    if (!((p >= 2 && n >= 3) || (p >= 3 && n == 2))) {
        return;
    }
    bool first = true;
    // Each pass that goes on marks one more laboratory, so there are at most
    // as many passes as laboratories; the bound also holds for figures that
    // are not finite.
    for (int pass = 1; pass <= s.NoOfLabs; ++pass) {
        p = tested();
        int maxLab = 0;
        double maxVar = 0.0;
        double sum = 0.0;
        for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
            if (!level.LabValid(lab)) {
                continue;
            }
            const double v = d.Variance(levelNo, lab);
            if (v == MissingValue) {
                continue;
            }
            sum += v;
            if (v > maxVar) {
                maxVar = v;
                maxLab = lab;
            }
        }
        // A variance that overflowed (infinite) makes the statistic not
        // computable, as does a sum of variances that is zero.
        double c =
            (p >= 2 && std::fabs(sum) > 1e-20 && maxLab > 0) ? maxVar / sum : MissingValue;
        if (!std::isfinite(c)) {
            c = MissingValue;
        }
        const double crit1 = CochranCriticalValue(n, p, SL::OnePercent);
        const double crit5 = CochranCriticalValue(n, p, SL::FivePercent);
        if (c != MissingValue) {
            if (c > crit1) {
                level.SetMark(maxLab, MarkCochranOutlier);
            } else if (c > crit5) {
                level.SetMark(maxLab, MarkCochranStraggler);
            }
        }
        if (first) {
            d.CochranStat[slot] = c;
            d.NoOfGrubbsLabs[slot] = p;
            first = false;
        }
        if (c == MissingValue || crit1 == MissingValue || c <= crit1 || p == 1) {
            break;
        }
    }
}

void CochranTest(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    if (!program.Stats) {
        program.RecomputeStatistics();
    }
    DataType& s = *program.CurrentStudy;
    const bool progress = ShowTestProgress(program);
    if (progress) {
        program.host().StartProgress(s.NoOfLevels);
    }
    TScopeExit endProgress([&] {
        if (progress) {
            program.host().EndProgress();
        }
    });
    {
        const TSpikingCorrection correction(program, SplitControlOf(program));
        for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
            ResetMarks(s.Level(lv), "cCgG");
            CochranLevelTest(program, lv);
            if (progress) {
                program.host().StepProgress();
            }
        }
    }
    // The level figures and everything derived follow the new marks;
    // NoOfGrubbsLabs keeps the count of the test's first pass. The Grubbs
    // marks were reset with them.
    program.MarksChanged(TStateChange::OutlierTest);
    program.Outliers.CochranDone = true;
}

namespace {

struct MarksShown {
    bool Straggler = false, Outlier = false, FileExcluded = false, Grubbs = false, User = false;
};

std::string CochranMarkText(char mark, MarksShown& shown) {
    switch (mark) {
    case MarkCochranStraggler:
        shown.Straggler = true;
        return "C*";
    case MarkCochranOutlier:
        shown.Outlier = true;
        return "C**";
    case MarkFileExcluded:
        shown.FileExcluded = true;
        return "U";
    case MarkGrubbsOutlier:
        shown.Grubbs = true;
        return "UG";
    case MarkUserExcluded:
        shown.User = true;
        return "UL";
    default:
        return "";
    }
}

void AddNotes(Program& program, TTavContents& doc, const MarksShown& shown) {
    doc.AddText(program.LibText(2, shown.Straggler ? 21 : 22));
    doc.AddText(program.LibText(2, shown.Outlier ? 23 : 24));
    if (shown.FileExcluded) {
        doc.AddText(program.LibText(2, 25));
    }
    if (shown.Grubbs) {
        doc.AddText(program.LibText(2, 26));
    }
    if (shown.User) {
        doc.AddText(program.LibText(2, 27));
    }
}

// The laboratories that took part in the level's test (every one with a
// standard deviation that the file or the user did not exclude; Grubbs marks
// come after the test), and those of them left after it (rows 0 and 1 of the
// statistics table). The first count is the p of the critical values.
std::pair<int, int> LabCounts(const Program& program, int lv) {
    const DataType& s = *program.CurrentStudy;
    int tested = 0;
    int outliers = 0;
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        const char mark = s.Level(lv).GetMark(lab);
        if (mark == MarkFileExcluded || mark == MarkUserExcluded ||
            program.Stats->SD(lv, lab) == MissingValue) {
            continue;
        }
        ++tested;
        if (mark == MarkCochranOutlier) {
            ++outliers;
        }
    }
    return {tested, tested - outliers};
}

void LabelColumn(Program& program, TTavTable& t) {
    const int items[] = {112, 113, 101, 18, 19, 20};
    for (int r = 0; r < 6; ++r) {
        SetTextCell(*t.ReadCell(r, 0), {program.LibText(2, items[r])}, TAlignment::alLeft);
    }
}

std::unique_ptr<TTavContents> SplitLevelReport(Program& program, bool corrected) {
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    const int levels = s.NoOfLevels;
    auto doc = std::make_unique<TTavContents>();
    MarksShown shown;

    auto t1 = std::make_unique<TTavTable>(s.NoOfLabs, 2 * levels + 2);
    t1->SetAutoSize(false);
    TableLineWidth(program, *t1);
    t1->Title = {" " + s.Substance + ", " + s.Unit,
                 program.LibText(2, s.NoOfReplicates == 2 ? 12 : 14)};
    t1->SetColWidthCm(0, 2.075);
    t1->SetColWidthCm(1, 2.075);
    for (int lv = 1; lv <= levels; ++lv) {
        t1->SetColWidthCm(2 * lv, 2.2);
        t1->SetColWidthCm(2 * lv + 1, 0.7);
    }
    for (int r = 0; r < s.NoOfLabs; ++r) {
        t1->SetRowHeightCm(r, 0.6);
    }
    t1->SetHeadHeightCm(1.0);
    ClearRules(*t1);
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        const int row = lab - 1;
        const TLevel& first = s.Level(1);
        SetTextCell(*t1->ReadCell(row, 0), {first.GetRandCode(lab)}, TAlignment::alLeft);
        SetTextCell(*t1->ReadCell(row, 1),
                    {program.Settings.ShowRegLabNo ? first.GetRegLabNo(lab) : std::string()},
                    TAlignment::alLeft);
        for (int lv = 1; lv <= levels; ++lv) {
            const int dec = s.Level(lv).Decimals;
            const std::string stat = s.NoOfReplicates == 2 ? DifferenceText(d, lv, lab, dec, 6, 13)
                                                           : SDText(d, lv, lab, dec, 6, 13);
            SetTextCell(*t1->ReadCell(row, 2 * lv), {stat}, TAlignment::alDecimal);
            SetTextCell(*t1->ReadCell(row, 2 * lv + 1),
                        {CochranMarkText(s.Level(lv).GetMark(lab), shown)}, TAlignment::alLeft);
        }
    }
    TableBox(*t1, 0, 0, s.NoOfLabs - 1, 1);
    TTavBaseTable& head = t1->Head();
    SetTextCell(*head.ReadCell(0, 0), {program.LibText(2, 16)}, TAlignment::alCenter);
    for (int lv = 1; lv <= levels; ++lv) {
        TableBox(*t1, 0, 2 * lv, s.NoOfLabs - 1, 2 * lv + 1);
        SetTextCell(*head.ReadCell(0, 2 * lv), {program.LibText(2, 15), s.Level(lv).LevelName},
                    TAlignment::alCenter);
    }
    for (int c = 0; c < head.ColCount(); ++c) {
        head.ReadCell(0, c)->Borders = bdAll;
    }
    head.MergeRowCells(0, 0, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        head.MergeRowCells(0, 2 * lv, 1);
    }

    auto t2 = std::make_unique<TTavTable>(6, levels + 1);
    t2->SetAutoSize(false);
    t2->GrowToText = true; // labels of any language fit their column
    TableLineWidth(program, *t2);
    t2->Title = {program.LibText(2, 17)};
    t2->SetColWidthCm(0, 4.15);
    for (int lv = 1; lv <= levels; ++lv) {
        t2->SetColWidthCm(lv, 2.9);
    }
    for (int r = 0; r < 6; ++r) {
        t2->SetRowHeightCm(r, 0.6);
    }
    t2->SetHeadHeightCm(1.2);
    LabelColumn(program, *t2);
    SetTextCell(*t2->HeadCell(0), {""}, TAlignment::alLeft);
    for (int lv = 1; lv <= levels; ++lv) {
        SetTextCell(*t2->HeadCell(lv), {program.LibText(2, 15), s.Level(lv).LevelName},
                    TAlignment::alCenter);
        const auto [withSD, left] = LabCounts(program, lv);
        SetNumberCell(*t2->ReadCell(0, lv), withSD, 0, TAlignment::alCenter);
        SetNumberCell(*t2->ReadCell(1, lv), left, 0, TAlignment::alCenter);
        SetNumberCell(*t2->ReadCell(2, lv), s.NoOfReplicates, 0, TAlignment::alCenter);
        SetTextCell(*t2->ReadCell(3, lv), {CochranText(d, lv, 3, 6, 22)}, TAlignment::alDecimal);
        // Without a tested count there is no critical value to show.
        const int p = withSD;
        const double c5 = p >= 2 ? CochranCriticalValue(2, p, SL::FivePercent) : MissingValue;
        const double c1 = p >= 2 ? CochranCriticalValue(2, p, SL::OnePercent) : MissingValue;
        SetTextCell(*t2->ReadCell(4, lv), {FormatNumber(22, 6, 4, c5)}, TAlignment::alDecimal);
        SetTextCell(*t2->ReadCell(5, lv), {FormatNumber(22, 6, 4, c1)}, TAlignment::alDecimal);
    }
    ClearRules(*t2);
    for (int c = 0; c <= levels; ++c) {
        TableBox(*t2, 0, c, 5, c);
    }

    doc->AddTable(std::move(t1));
    doc->AddText(" ");
    doc->BlockBegin();
    doc->AddTable(std::move(t2));
    doc->AddText(" ");
    AddNotes(program, *doc, shown);
    doc->BlockEnd();
    if (corrected) {
        doc->AddText(program.LibText(2, 109));
    }
    return doc;
}

std::unique_ptr<TTavContents> UniformReport(Program& program) {
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    const int levels = s.NoOfLevels;
    auto doc = std::make_unique<TTavContents>();
    MarksShown shown;

    auto layout = [&](TTavTable& t, int rows, double rowHeight, double headHeight) {
        t.SetAutoSize(false);
        t.GrowToText = true; // labels of any language fit their column
        TableLineWidth(program, t);
        // The labels of the statistics table ("Laboratories before the
        // test") need the 4.15 cm the split-level and Grubbs reports give
        // them; in 3.5 cm they cross the column rule.
        t.SetColWidthCm(0, 4.15);
        for (int lv = 1; lv <= levels; ++lv) {
            t.SetColWidthCm(2 * lv - 1, 2.0);
            t.SetColWidthCm(2 * lv, 1.0);
        }
        for (int r = 0; r < rows; ++r) {
            t.SetRowHeightCm(r, rowHeight);
        }
        t.SetHeadHeightCm(headHeight);
        ClearRules(t);
        TableBox(t, 0, 0, rows - 1, 0);
        for (int lv = 1; lv <= levels; ++lv) {
            TableBox(t, 0, 2 * lv - 1, rows - 1, 2 * lv);
        }
    };
    auto headRow = [&](TTavTable& t, const std::string& first) {
        TTavBaseTable& head = t.Head();
        SetTextCell(*head.ReadCell(0, 0), {first}, TAlignment::alCenter);
        for (int lv = 1; lv <= levels; ++lv) {
            SetTextCell(*head.ReadCell(0, 2 * lv - 1),
                        {program.LibText(1, 11), s.Level(lv).LevelName}, TAlignment::alCenter);
        }
        for (int c = 0; c < head.ColCount(); ++c) {
            head.ReadCell(0, c)->Borders = bdAll;
        }
        for (int lv = 1; lv <= levels; ++lv) {
            head.MergeRowCells(0, 2 * lv - 1, 1);
        }
    };

    auto t1 = std::make_unique<TTavTable>(s.NoOfLabs, 2 * levels + 1);
    t1->Title = {s.Substance + " " + s.Unit, program.LibText(2, 13)};
    layout(*t1, s.NoOfLabs, 0.7, 1.2);
    headRow(*t1, program.LibText(2, 5));
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        const int row = lab - 1;
        const TLevel& first = s.Level(1);
        std::string code = first.GetRandCode(lab);
        if (program.Settings.ShowRegLabNo) {
            code += PadLeft(first.GetRegLabNo(lab), 15);
        }
        SetTextCell(*t1->ReadCell(row, 0), {code}, TAlignment::alCenter);
        for (int lv = 1; lv <= levels; ++lv) {
            TTavCell& value = *t1->ReadCell(row, 2 * lv - 1);
            const double sd = d.SD(lv, lab);
            if (sd == MissingValue) {
                SetTextCell(value, {"-"}, TAlignment::alCenter);
            } else {
                SetNumberCell(value, sd, s.Level(lv).Decimals, TAlignment::alDecimal);
            }
            SetTextCell(*t1->ReadCell(row, 2 * lv),
                        {CochranMarkText(s.Level(lv).GetMark(lab), shown)}, TAlignment::alLeft);
        }
    }

    auto t2 = std::make_unique<TTavTable>(6, 2 * levels + 1);
    t2->Title = {program.LibText(2, 17)};
    layout(*t2, 6, 0.7, 1.2);
    headRow(*t2, "");
    LabelColumn(program, *t2);
    for (int lv = 1; lv <= levels; ++lv) {
        const auto slot = TDescriptiveStatistics::Slot(lv);
        const int col = 2 * lv - 1;
        const auto [withSD, left] = LabCounts(program, lv);
        SetNumberCell(*t2->ReadCell(0, col), withSD, 0, TAlignment::alCenter);
        SetNumberCell(*t2->ReadCell(1, col), left, 0, TAlignment::alCenter);
        SetNumberCell(*t2->ReadCell(2, col), s.NoOfReplicates, 0, TAlignment::alCenter);
        for (int r = 3; r <= 5; ++r) {
            SetTextCell(*t2->ReadCell(r, col + 1), {""}, TAlignment::alLeft);
        }
        SetTextCell(*t2->ReadCell(0, col + 1), {""}, TAlignment::alLeft);
        SetTextCell(*t2->ReadCell(1, col + 1), {""}, TAlignment::alLeft);
        SetTextCell(*t2->ReadCell(2, col + 1), {""}, TAlignment::alLeft);
        if (withSD < 2) {
            for (int r = 3; r <= 5; ++r) {
                SetTextCell(*t2->ReadCell(r, col), {"-"}, TAlignment::alCenter);
            }
            continue;
        }
        const int n = s.NoOfReplicates;
        const int p = withSD;
        SetNumberCell(*t2->ReadCell(3, col), d.CochranStat[slot], 3, TAlignment::alDecimal);
        SetNumberCell(*t2->ReadCell(4, col), CochranCriticalValue(n, p, SL::FivePercent), 4,
                      TAlignment::alDecimal);
        SetNumberCell(*t2->ReadCell(5, col), CochranCriticalValue(n, p, SL::OnePercent), 4,
                      TAlignment::alDecimal);
    }

    doc->AddTable(std::move(t1));
    doc->AddText(" ");
    doc->BlockBegin();
    doc->AddTable(std::move(t2));
    doc->AddText(" ");
    AddNotes(program, *doc, shown);
    if (SplitControlOf(program).CorrectionApplies(program)) {
        doc->AddText(program.LibText(2, 109));
    }
    doc->BlockEnd();
    return doc;
}

} // namespace

std::unique_ptr<TTavContents> MakeCochranReport(Program& program) {
    if (!program.CurrentStudy) {
        return nullptr;
    }
    if (!program.Outliers.CochranDone || !program.Stats) {
        CochranTest(program);
        RecomputeLevels(program);
    }
    std::unique_ptr<TTavContents> doc;
    if (program.CurrentStudy->Design == dkSplitLevel) {
        {
            const TSpikingCorrection correction(program, SplitControlOf(program));
            doc = SplitLevelReport(program, correction.Applied());
        }
        program.Outliers.CochranDone = true;
    } else {
        doc = UniformReport(program);
    }
    FrameDocument(program, *doc, kHelpContext);
    return doc;
}

void CochranReport(Program& program) {
    auto doc = MakeCochranReport(program);
    if (doc) {
        ShowDocument(program, std::move(doc), program.LibText(5, 2));
    }
}

const char* const CochranDialogCaption = "Cocran without spiking correction ";

std::string CochranDialogText() {
    return "Cochran outliers is calculated without automatic spiking correction. If you want "
           "automatic spiking correction, select:\n"
           "Procedures | Preliminary evaluation | everything below\n"
           "or\n"
           "Procedures | Execute interlaboratory study\n"
           "or\n"
           "Procedures | Preliminary evaluation |  Differences within sample pairs\n"
           "followed by\n"
           "Procedures | Preliminary evaluation |  Cochran outliers";
}

bool CochranDialogNeeded(Program& program) {
    return program.CurrentStudy && program.CurrentStudy->Design == dkSplitLevel &&
           program.Settings.AutoSplitCorrection && !SplitControlOf(program).PairsComputed;
}

void CochranOutliersCommand(Program& program) {
    if (CochranDialogNeeded(program)) {
        program.host().ShowDialog(CochranDialogCaption, CochranDialogText(), kHelpContext);
    }
    CochranReport(program);
}

} // namespace veltrio
