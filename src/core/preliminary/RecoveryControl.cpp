#include "preliminary/RecoveryControl.h"

#include <algorithm>
#include <cmath>

#include "documents/Contents.h"
#include "documents/Table.h"
#include "numerics/Distributions.h"
#include "preliminary/Grubbs.h"
#include "preliminary/OutlierCommon.h"
#include "preliminary/ReportCells.h"
#include "study/CellText.h"
#include "study/Program.h"
#include "study/ReportFraming.h"
#include "study/Transformations.h"

namespace veltrio {

namespace {

constexpr int kHelpContext = 5700;

using A = TAlignment;

void FormatCell(TTavCell& cell, const std::string& line, A alignment) {
    cell.Lines = {line};
    cell.Kind = TCellKind::ckFormatLines;
    cell.Alignment = alignment;
}

// m/µ in percent, on the original scale of a transformed study; -99 where
// it cannot be formed.
double RecoveryPercent(int transformation, double m, double mu) {
    if (m == MissingValue || mu == MissingValue) {
        return MissingValue;
    }
    if (transformation != 0) {
        m = BackTransform(transformation, m);
        mu = BackTransform(transformation, mu);
        if (m == MissingValue || mu == MissingValue) {
            return MissingValue;
        }
    }
    if (mu == 0) {
        return MissingValue;
    }
    const double r = 100.0 * m / mu;
    return std::isfinite(r) ? r : MissingValue;
}

} // namespace

void TRecoveryControl::Clear() {
    MeanOfMeans.fill(MissingValue);
    TValue.fill(MissingValue);
    PValue.fill(MissingValue);
    SD.fill(MissingValue);
    Variance.fill(MissingValue);
    NoOfLabs.fill(0);
}

void TRecoveryControl::ComputeRecovery(Program& program) {
    Clear();
    if (!program.CurrentStudy) {
        return;
    }
    if (!program.Settings.DiscardOutlierTests && !program.Outliers.GrubbsDone) {
        GrubbsTest(program);
    }
    if (!program.Stats) {
        program.RecomputeStatistics();
    }
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        const TLevel& level = s.Level(lv);
        const TLabFigureSpread spread =
            LabFigureSpread(level, [&](int lab) { return d.Mean(lv, lab); });
        const int p = spread.P;
        NoOfLabs[i] = p;
        if (p == 0) {
            continue;
        }
        const double m = spread.Mean;
        MeanOfMeans[i] = m;
        if (p < 2) {
            continue;
        }
        const double var = spread.Variance;
        Variance[i] = var;
        SD[i] = var > 0 ? std::sqrt(var) : 0.0;
        const double mu = level.NominalValue;
        if (mu == MissingValue || SD[i] <= 0) {
            continue;
        }
        const double t = std::sqrt(static_cast<double>(p)) * (m - mu) / SD[i];
        if (!std::isfinite(t)) {
            continue;
        }
        TValue[i] = t;
        PValue[i] = 1.0 - StudentProbability(p - 1, t);
    }
}

std::string SignificanceStars(double p) {
    if (p == MissingValue) {
        return "";
    }
    if (p < 0.001) {
        return "***";
    }
    if (p < 0.01) {
        return "**";
    }
    return p < 0.05 ? "*" : "";
}

std::string ExclusionMarkText(char mark, TSignificanceFlags& flags) {
    switch (mark) {
    case MarkCochranOutlier:
        flags.CochranOutlier = true;
        return "UC";
    case MarkGrubbsOutlier:
        flags.GrubbsOutlier = true;
        return "UG";
    case MarkFileExcluded:
        flags.FileExcluded = true;
        return "U";
    case MarkUserExcluded:
        flags.UserExcluded = true;
        return "UL";
    default:
        return "";
    }
}

void SignificanceNotes(Program& program, TTavContents& document, const TSignificanceFlags& flags) {
    if (flags.Starred) {
        for (const int item : {44, 45, 46}) {
            document.AddText(program.LibText(2, item));
        }
    } else {
        document.AddText(program.LibText(2, 47));
    }
    const std::pair<bool, int> marks[] = {{flags.CochranOutlier, 48},
                                          {flags.GrubbsOutlier, 49},
                                          {flags.FileExcluded, 50},
                                          {flags.UserExcluded, 51}};
    for (const auto& [shown, item] : marks) {
        if (shown) {
            document.AddText(program.LibText(2, item));
        }
    }
    document.AddText(" ");
}

std::unique_ptr<TTavContents> TRecoveryControl::MakeReport(Program& program) {
    if (!program.CurrentStudy) {
        return nullptr;
    }
    ComputeRecovery(program);
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    const int levels = s.NoOfLevels;
    const int r = s.NoOfLabs;
    const int lastCol = 2 * levels + 1;
    const bool split = s.Design == dkSplitLevel;
    TSignificanceFlags flags;

    auto t = std::make_unique<TTavTable>(r + 9, 2 * levels + 2);
    t->SetAutoSize(false);
    TableLineWidth(program, *t);
    t->Title = {" " + s.Substance + ", " + s.Unit,
                program.LibText(2, 52) + program.LibText(2, 114)};
    // The labels of the figures span both code columns; 4.15 cm hold the
    // longest of them, as in the statistics tables of the outlier tests.
    t->SetColWidthCm(0, 1.8);
    t->SetColWidthCm(1, 2.35);
    for (int lv = 1; lv <= levels; ++lv) {
        t->SetColWidthCm(2 * lv, 2.2);
        t->SetColWidthCm(2 * lv + 1, 0.7);
    }
    for (int row = 0; row < r + 9; ++row) {
        t->SetRowHeightCm(row, 0.6);
    }
    t->SetHeadHeightCm(1.0);
    ClearRules(*t);

    const TLevel& first = s.Level(1);
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        const int row = lab - 1;
        SetTextCell(*t->ReadCell(row, 0), {first.GetRandCode(lab)}, A::alLeft);
        SetTextCell(*t->ReadCell(row, 1),
                    {program.Settings.ShowRegLabNo ? first.GetRegLabNo(lab) : std::string()},
                    A::alLeft);
        for (int lv = 1; lv <= levels; ++lv) {
            const TLevel& l = s.Level(lv);
            const int column = std::max(1, 10 - l.MaxDecimals);
            // A mean that the figures do not use is not shown (in a split
            // level a laboratory needs both samples).
            const std::string mean = d.N(lv, lab) >= (split ? 2 : 1)
                                         ? MeanText(d, lv, lab, l.Decimals + 1, column, 13)
                                         : AlignedNumberText(MissingValue, 0, column, 13);
            SetTextCell(*t->ReadCell(row, 2 * lv), {mean}, A::alDecimal);
            SetTextCell(*t->ReadCell(row, 2 * lv + 1), {ExclusionMarkText(l.GetMark(lab), flags)},
                        A::alLeft);
        }
    }

    SetTextCell(*t->ReadCell(r, 0), {program.LibText(2, 100)}, A::alLeft);
    SetTextCell(*t->ReadCell(r + 1, 0), {program.LibText(2, 101)}, A::alLeft);
    SetTextCell(*t->ReadCell(r + 2, 0), {"m"}, A::alLeft);
    FormatCell(*t->ReadCell(r + 3, 0), "s&sqr ", A::alLeft);
    SetTextCell(*t->ReadCell(r + 4, 0), {"s"}, A::alLeft);
    SetTextCell(*t->ReadCell(r + 5, 0), {program.LibText(2, 55)}, A::alLeft);
    SetTextCell(*t->ReadCell(r + 6, 0), {program.LibText(2, 108)}, A::alLeft);
    FormatCell(*t->ReadCell(r + 7, 0), " t = &sqrt p · (m-µ)/s", A::alLeft);
    SetTextCell(*t->ReadCell(r + 8, 0), {program.LibText(2, 106)}, A::alLeft);
    for (int row = r; row <= r + 8; ++row) {
        for (int c = 1; c <= lastCol; ++c) {
            SetTextCell(*t->ReadCell(row, c), {""}, A::alLeft);
        }
    }

    for (int lv = 1; lv <= levels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        const TLevel& l = s.Level(lv);
        const int col = 2 * lv;
        const int dec = l.Decimals + 1;
        auto value = [&](int row, int column, int decimals, double v) {
            SetTextCell(*t->ReadCell(row, col), {FormatNumber(13, column, decimals, v)},
                        A::alDecimal);
        };
        auto dash = [&](int row) { SetTextCell(*t->ReadCell(row, col), {"-"}, A::alCenter); };
        // Counts centred, as in the statistics tables of the outlier tests.
        SetNumberCell(*t->ReadCell(r, col), NoOfLabs[i], 0, A::alCenter);
        SetNumberCell(*t->ReadCell(r + 1, col), s.NoOfReplicates, 0, A::alCenter);
        value(r + 2, 6, dec, MeanOfMeans[i]);
        value(r + 3, 6, dec, Variance[i]);
        value(r + 4, 6, dec, SD[i]);
        value(r + 5, 6, l.NominalDecimals, l.NominalValue);
        if (l.NominalValue == MissingValue) {
            dash(r + 6);
            dash(r + 7);
            dash(r + 8);
            continue;
        }
        const double recovery = RecoveryPercent(s.Transformation, MeanOfMeans[i], l.NominalValue);
        if (recovery == MissingValue) {
            dash(r + 6);
        } else {
            value(r + 6, 5, 1, recovery);
        }
        value(r + 7, 5, 4, TValue[i]);
        value(r + 8, 5, 4, PValue[i]);
        const std::string stars = SignificanceStars(PValue[i]);
        if (!stars.empty()) {
            flags.Starred = true;
            SetTextCell(*t->ReadCell(r + 8, col + 1), {stars}, A::alLeft);
        }
    }

    TableBox(*t, 0, 0, r - 1, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        TableBox(*t, 0, 2 * lv, r - 1, 2 * lv + 1);
    }
    TableBox(*t, r, 0, r + 6, lastCol);
    TableBox(*t, r + 7, 0, r + 7, lastCol);
    TableBox(*t, r + 8, 0, r + 8, lastCol);
    for (int row = r; row <= r + 8; ++row) {
        t->MergeRowCells(row, 0, 1);
    }

    TTavBaseTable& head = t->Head();
    SetTextCell(*head.ReadCell(0, 0), {program.LibText(2, 53)}, A::alCenter);
    for (int lv = 1; lv <= levels; ++lv) {
        SetTextCell(
            *head.ReadCell(0, 2 * lv),
            {split ? program.LibText(2, 30) : program.LibText(1, 11), s.Level(lv).LevelName},
            A::alCenter);
    }
    for (int c = 0; c < head.ColCount(); ++c) {
        head.ReadCell(0, c)->Borders = bdAll;
    }
    head.MergeRowCells(0, 0, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        head.MergeRowCells(0, 2 * lv, 1);
    }

    auto doc = std::make_unique<TTavContents>();
    if (program.Settings.DiscardOutlierTests) {
        AddDiscardNote(program, *doc);
    }
    doc->AddTable(std::move(t));
    doc->AddText(" ");
    doc->BlockBegin();
    SignificanceNotes(program, *doc, flags);
    if (s.Transformation != 0) {
        // m and µ are on the transformed scale; the recovery is not.
        doc->AddText(program.LibText(2, 115));
    }
    doc->BlockEnd();
    FrameDocument(program, *doc, kHelpContext);
    return doc;
}

void RecoveryReport(Program& program) {
    TRecoveryControl recovery;
    auto doc = recovery.MakeReport(program);
    if (doc) {
        ShowDocument(program, std::move(doc), program.LibText(5, 4));
    }
}

void ResidualPlots(Program& program) {
    program.host().ShowMessage(program.LibText(5, 17));
}

} // namespace veltrio
