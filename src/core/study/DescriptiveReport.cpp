#include "study/DescriptiveReport.h"

#include "documents/Contents.h"
#include "documents/Table.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int kRows = 17;
constexpr int kHelpContext = 5800;

enum class RowFormat { Integer, D, DPlus1, OneDecimal };

struct RowSpec {
    RowFormat Format;
    TPreliminaryStats::Grid<double> TPreliminaryStats::*Real;
    TPreliminaryStats::Grid<int> TPreliminaryStats::*Count;
};

using P = TPreliminaryStats;
const RowSpec kRowSpecs[kRows] = {
    {RowFormat::Integer, nullptr, &P::DescTotal},
    {RowFormat::Integer, nullptr, &P::DescMissing},
    {RowFormat::Integer, nullptr, &P::DescBelowLimit},
    {RowFormat::Integer, nullptr, &P::DescExcluded},
    {RowFormat::Integer, nullptr, &P::DescUsable},
    {RowFormat::D, &P::DescMin, nullptr},
    {RowFormat::DPlus1, &P::DescQ25, nullptr},
    {RowFormat::DPlus1, &P::DescMedian, nullptr},
    {RowFormat::DPlus1, &P::DescQ75, nullptr},
    {RowFormat::D, &P::DescMax, nullptr},
    {RowFormat::DPlus1, &P::DescMean, nullptr},
    {RowFormat::DPlus1, &P::DescSD, nullptr},
    {RowFormat::DPlus1, &P::DescRange, nullptr},
    {RowFormat::DPlus1, &P::DescIQR, nullptr},
    {RowFormat::DPlus1, &P::DescRobustSD, nullptr},
    {RowFormat::OneDecimal, &P::DescCV, nullptr},
    {RowFormat::OneDecimal, &P::DescRobustCV, nullptr},
};

std::string RowLabel(Program& program, int row) {
    static const char* const fixed[] = {"Min", "Q25", "M",   "Q75", "Max",    "X",
                                        "S",   "R",   "IQR", "RS",  "S/X (%)", "RS/M (%)"};
    return row < 5 ? program.LibText(2, 76 + row) : fixed[row - 5];
}

void FillValue(TTavCell& cell, const RowSpec& spec, const TPreliminaryStats& stats, int level,
               int column, int d) {
    cell.Kind = TCellKind::ckNumber;
    if (spec.Count) {
        cell.Decimals = 0;
        cell.SetValue(P::At(stats.*(spec.Count), level, column));
        return;
    }
    switch (spec.Format) {
    case RowFormat::D:
        cell.Decimals = d;
        break;
    case RowFormat::DPlus1:
        cell.Decimals = d + 1;
        break;
    default:
        cell.Decimals = 1;
    }
    cell.SetValue(P::At(stats.*(spec.Real), level, column));
}

void SetDash(TTavCell& cell) {
    cell.Kind = TCellKind::ckLines;
    cell.Lines.clear();
    cell.AddLine("-");
}

// Horizontal rules of a row: below rows 4, 9, 11, 14, 16, above row 0;
// the uniform table also above rows 5, 10, 12, 15.
std::uint8_t RowRules(int row, bool uniform) {
    std::uint8_t b = 0;
    if (row == 0 || (uniform && (row == 5 || row == 10 || row == 12 || row == 15))) {
        b |= bdTop;
    }
    if (row == 4 || row == 9 || row == 11 || row == 14 || row == 16) {
        b |= bdBottom;
    }
    return b;
}

std::unique_ptr<TTavTable> UniformTable(Program& program, const TPreliminaryStats& stats) {
    const DataType& s = *program.CurrentStudy;
    auto table = std::make_unique<TTavTable>(kRows, s.NoOfLevels + 1);
    table->SetAutoSize(false);
    // Level names of any length widen their column instead of running into
    // the next one.
    table->GrowToText = true;
    table->Title = {s.Substance + " " + s.Unit, program.LibText(2, 75)};
    table->SetColWidthCm(0, 2.5);
    for (int c = 1; c <= s.NoOfLevels; ++c) {
        table->SetColWidthCm(c, 2.0);
    }
    for (int r = 0; r < kRows; ++r) {
        table->SetRowHeightCm(r, 0.7);
    }
    table->SetHeadHeightCm(1.0);
    TTavCell* h0 = table->HeadCell(0);
    h0->Kind = TCellKind::ckLines;
    h0->Borders = bdAll;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        TTavCell* h = table->HeadCell(lv);
        h->Kind = TCellKind::ckLines;
        h->Alignment = TAlignment::alCenter;
        h->Borders = bdAll;
        h->AddLine(program.LibText(1, 11));
        h->AddLine(s.Level(lv).LevelName);
    }
    for (int r = 0; r < kRows; ++r) {
        TTavCell* label = table->ReadCell(r, 0);
        label->Kind = TCellKind::ckLines;
        label->Alignment = TAlignment::alLeft;
        label->AddLine(RowLabel(program, r));
        label->Borders = RowRules(r, true) | bdLeft | bdRight;
        for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
            TTavCell* cell = table->ReadCell(r, lv);
            cell->Borders = RowRules(r, true) | bdLeft | bdRight;
            if (P::At(stats.DescUsable, lv, 1) < 1) {
                SetDash(*cell);
                cell->Alignment = TAlignment::alRight;
                continue;
            }
            FillValue(*cell, kRowSpecs[r], stats, lv, 1, s.Level(lv).Decimals);
            cell->Alignment = r >= 5 && r <= 14 ? TAlignment::alDecimal : TAlignment::alRight;
        }
    }
    return table;
}

std::unique_ptr<TTavTable> SplitLevelTable(Program& program, const TPreliminaryStats& stats) {
    const DataType& s = *program.CurrentStudy;
    const int cols = 2 * s.NoOfLevels + 1;
    auto table = std::make_unique<TTavTable>(kRows, cols);
    table->SetAutoSize(false);
    // Level names of any length widen their column instead of running into
    // the next one.
    table->GrowToText = true;
    table->Title = {" " + s.Substance + ", " + s.Unit, program.LibText(2, 75)};
    table->SetColWidthCm(0, 2.5);
    for (int c = 1; c < cols; ++c) {
        table->SetColWidthCm(c, 1.7);
    }
    for (int r = 0; r < kRows; ++r) {
        table->SetRowHeightCm(r, 0.6);
    }
    table->SetHeadHeightCm(1.0);
    TTavCell* h0 = table->HeadCell(0);
    h0->Kind = TCellKind::ckLines;
    h0->Borders = bdAll;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        for (int smp = 1; smp <= 2; ++smp) {
            const int col = (lv - 1) * 2 + smp;
            TTavCell* h = table->HeadCell(col);
            h->Kind = TCellKind::ckLines;
            h->Alignment = TAlignment::alCenter;
            h->AddLine(program.LibText(2, 81));
            h->AddLine(s.Level(lv).SampleId(smp));
        }
        TableBox(table->Head(), 0, (lv - 1) * 2 + 1, 0, (lv - 1) * 2 + 2);
    }
    for (int r = 0; r < kRows; ++r) {
        TTavCell* label = table->ReadCell(r, 0);
        label->Kind = TCellKind::ckLines;
        label->Alignment = TAlignment::alLeft;
        label->AddLine(RowLabel(program, r));
        label->Borders = RowRules(r, false) | bdLeft | bdRight;
        for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
            for (int smp = 1; smp <= 2; ++smp) {
                TTavCell* cell = table->ReadCell(r, (lv - 1) * 2 + smp);
                cell->Borders = RowRules(r, false) | (smp == 1 ? bdLeft : bdRight);
                cell->Alignment = TAlignment::alRight;
                FillValue(*cell, kRowSpecs[r], stats, lv, smp, s.Level(lv).Decimals);
            }
        }
    }
    return table;
}

} // namespace

std::unique_ptr<TTavContents> MakeDescriptiveReport(Program& program, TPreliminaryStats& stats) {
    if (!program.CurrentStudy) {
        return nullptr;
    }
    if (!stats.DescCalculated) {
        stats.ComputeDescriptive(program);
    }
    auto doc = std::make_unique<TTavContents>();
    if (program.Settings.DiscardOutlierTests) {
        AddDiscardNote(program, *doc);
    }
    if (program.CurrentStudy->Design == dkSplitLevel) {
        doc->AddTable(SplitLevelTable(program, stats));
    } else {
        doc->AddTable(UniformTable(program, stats));
    }
    for (int item = 82; item <= 88; ++item) {
        doc->AddText(program.LibText(2, item));
    }
    doc->AddText(program.LibText(2, 105));
    for (int item = 89; item <= 94; ++item) {
        doc->AddText(program.LibText(2, item));
    }
    FrameDocument(program, *doc, kHelpContext);
    return doc;
}

void DescriptiveReport(Program& program, TPreliminaryStats& stats) {
    auto doc = MakeDescriptiveReport(program, stats);
    if (doc) {
        ShowDocument(program, std::move(doc), program.LibText(5, 6));
    }
}

} // namespace veltrio
