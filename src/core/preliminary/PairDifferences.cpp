// The document of "Differences within sample pairs".
#include <algorithm>

#include "documents/Contents.h"
#include "documents/Table.h"
#include "preliminary/RecoveryControl.h"
#include "preliminary/ReportCells.h"
#include "preliminary/SplitControl.h"
#include "study/CellText.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int kHelpContext = 5600;

using A = TAlignment;

} // namespace

std::string LevelList(const std::vector<std::string>& names, const std::string& lastJoin) {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            list += i + 1 == names.size() ? lastJoin + " " : std::string(", ");
        }
        list += names[i];
    }
    return list;
}

std::unique_ptr<TTavContents> MakePairDifferencesReport(Program& program) {
    if (!program.CurrentStudy) {
        return nullptr;
    }
    TSplitControl& split = SplitControlOf(program);
    split.ComputeDifferences(program);
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    const int levels = s.NoOfLevels;
    const int r = s.NoOfLabs;
    const int lastCol = 2 * levels + 1;
    TSignificanceFlags flags;

    auto t = std::make_unique<TTavTable>(r + 7, 2 * levels + 2);
    t->SetAutoSize(false);
    t->Title = {" " + s.Substance + ", " + s.Unit, program.LibText(2, 58)};
    // The labels of the figures span both code columns; 4.15 cm hold the
    // longest of them, as in the statistics tables of the outlier tests.
    t->SetColWidthCm(0, 1.8);
    t->SetColWidthCm(1, 2.35);
    for (int lv = 1; lv <= levels; ++lv) {
        t->SetColWidthCm(2 * lv, 2.2);
        t->SetColWidthCm(2 * lv + 1, 0.7);
    }
    for (int row = 0; row < r + 7; ++row) {
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
            const int column = std::max(1, 8 - l.Decimals);
            SetTextCell(*t->ReadCell(row, 2 * lv),
                        {DifferenceText(d, lv, lab, l.Decimals + 1, column, 13)}, A::alDecimal);
            SetTextCell(*t->ReadCell(row, 2 * lv + 1), {ExclusionMarkText(l.GetMark(lab), flags)},
                        A::alLeft);
        }
    }

    SetTextCell(*t->ReadCell(r, 0), {program.LibText(2, 100)}, A::alLeft);
    SetTextCell(*t->ReadCell(r + 1, 0), {program.LibText(2, 101)}, A::alLeft);
    SetTextCell(*t->ReadCell(r + 2, 0), {"d"}, A::alLeft);
    SetTextCell(*t->ReadCell(r + 3, 0), {"s²"}, A::alLeft);
    SetTextCell(*t->ReadCell(r + 4, 0), {"s"}, A::alRight);
    t->ReadCell(r + 5, 0)->Lines = {" t = &sqrt p · (d/s)"};
    t->ReadCell(r + 5, 0)->Kind = TCellKind::ckFormatLines;
    t->ReadCell(r + 5, 0)->Alignment = A::alLeft;
    SetTextCell(*t->ReadCell(r + 6, 0), {program.LibText(2, 106)}, A::alLeft);
    for (int row = r; row <= r + 6; ++row) {
        for (int c = 1; c <= lastCol; ++c) {
            SetTextCell(*t->ReadCell(row, c), {""}, A::alLeft);
        }
    }
    std::vector<std::string> significant;
    for (int lv = 1; lv <= levels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        const TLevel& l = s.Level(lv);
        const int col = 2 * lv;
        const int c = std::max(1, 8 - l.Decimals);
        const int dec = l.Decimals + 1;
        auto value = [&](int row, int column, int decimals, double v) {
            SetTextCell(*t->ReadCell(row, col), {FormatNumber(13, column, decimals, v)},
                        A::alDecimal);
        };
        // Counts centred, as in the statistics tables of the outlier tests.
        SetNumberCell(*t->ReadCell(r, col), split.NoOfLabs[i], 0, A::alCenter);
        SetNumberCell(*t->ReadCell(r + 1, col), s.NoOfReplicates, 0, A::alCenter);
        value(r + 2, c, dec, split.MeanDifference[i]);
        value(r + 3, c, dec, split.DiffVariance[i]);
        value(r + 4, c, dec, split.DiffSD[i]);
        value(r + 5, 5, 4, split.TValue[i]);
        value(r + 6, 5, 4, split.PValue[i]);
        const std::string stars = SignificanceStars(split.PValue[i]);
        if (!stars.empty()) {
            flags.Starred = true;
            SetTextCell(*t->ReadCell(r + 6, col + 1), {stars}, A::alLeft);
        }
        if (split.Significant(lv)) {
            significant.push_back(l.LevelName);
        }
    }

    TableBox(*t, 0, 0, r - 1, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        TableBox(*t, 0, 2 * lv, r - 1, 2 * lv + 1);
    }
    TableBox(*t, r, 0, r + 4, lastCol);
    TableBox(*t, r + 5, 0, r + 6, lastCol);
    // The "s" label stands right in the code column, under the others.
    for (int row = r; row <= r + 6; ++row) {
        if (row != r + 4) {
            t->MergeRowCells(row, 0, 1);
        }
    }

    TTavBaseTable& head = t->Head();
    SetTextCell(*head.ReadCell(0, 0), {program.LibText(2, 59)}, A::alCenter);
    for (int lv = 1; lv <= levels; ++lv) {
        SetTextCell(*head.ReadCell(0, 2 * lv), {program.LibText(2, 60), s.Level(lv).LevelName},
                    A::alCenter);
    }
    for (int c = 0; c < head.ColCount(); ++c) {
        head.ReadCell(0, c)->Borders = bdAll;
    }
    head.MergeRowCells(0, 0, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        head.MergeRowCells(0, 2 * lv, 1);
    }
    TableLineWidth(program, *t);

    auto doc = std::make_unique<TTavContents>();
    if (program.Settings.DiscardOutlierTests) {
        AddDiscardNote(program, *doc);
    }
    doc->AddTable(std::move(t));
    doc->AddText(" ");
    doc->BlockBegin();
    SignificanceNotes(program, *doc, flags);
    if (!significant.empty()) {
        doc->AddText(program.LibText(2, 61) + " " + LevelList(significant, program.LibText(2, 57)) +
                     program.LibText(2, 62));
        doc->AddText(program.LibText(2, program.Settings.AutoSplitCorrection ? 63 : 64));
        doc->AddText(program.LibText(2, 65));
    }
    doc->BlockEnd();
    // The next outlier test runs again, with the correction where it
    // applies now.
    program.Outliers.Clear();
    FrameDocument(program, *doc, kHelpContext);
    return doc;
}

void PairDifferencesReport(Program& program) {
    auto doc = MakePairDifferencesReport(program);
    if (doc) {
        ShowDocument(program, std::move(doc), program.LibText(5, 5));
    }
}

} // namespace veltrio
