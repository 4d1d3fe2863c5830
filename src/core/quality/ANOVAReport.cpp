#include "quality/ANOVAReport.h"

#include <array>
#include <cmath>
#include <string>

#include "base/Missing.h"
#include "documents/Contents.h"
#include "documents/NumberText.h"
#include "documents/Table.h"
#include "preliminary/ReportCells.h"
#include "quality/ANOVA.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int kHelpContext = 6000;

using A = TAlignment;

// A right-justified fixed-point text of `width` characters, as the
// precision figures are written.
std::string Field(double value, int decimals, std::size_t width) {
    return PadLeft(FormatFixed(value, 15, decimals), width);
}

void DashOrNumber(TTavCell& cell, double value, int decimals, bool show) {
    if (show) {
        SetNumberCell(cell, value, decimals, A::alDecimal);
    } else {
        SetTextCell(cell, {"-"}, A::alCenter);
    }
}

std::string Stars(double p) {
    return p < 0.001 ? "***" : p < 0.01 ? "**" : p < 0.05 ? "*" : "";
}

// The sums of squares of one level.
std::unique_ptr<TTavTable> LevelTable(Program& program, const TANOVA& a, int lv) {
    const DataType& s = *program.CurrentStudy;
    const bool split = s.Design == dkSplitLevel;
    const auto i = static_cast<std::size_t>(lv);
    const int rows = split ? 4 : 3;
    auto t = std::make_unique<TTavTable>(rows, 6);
    t->SetAutoSize(false);
    TableLineWidth(program, *t);
    t->Title = {s.Substance + ", " + s.Unit,
                program.LibText(1, split ? 1 : 2) + " " + s.Level(lv).LevelName};
    const double widths[] = {3.0, 2.0, 2.4, 2.0, 2.0, 2.3};
    for (int c = 0; c < 6; ++c) {
        t->SetColWidthCm(c, widths[c]);
    }
    t->SetHeadHeightCm(1.3);
    for (int r = 0; r < rows; ++r) {
        t->SetRowHeightCm(r, 0.7);
    }
    const std::array<std::vector<std::string>, 6> heads = {{
        {program.LibText(1, 3), program.LibText(1, 4)},
        {program.LibText(1, 5), program.LibText(1, 6)},
        {program.LibText(1, 7), program.LibText(1, 8)},
        {" ", program.LibText(1, 9)},
        {"", program.LibText(1, 10)},
        {program.LibText(1, 92), "p"},
    }};
    const A headAlign[] = {A::alLeft, A::alCenter, A::alRight, A::alCenter, A::alRight, A::alCenter};
    for (int c = 0; c < 6; ++c) {
        SetTextCell(*t->HeadCell(c), heads[static_cast<std::size_t>(c)], headAlign[c]);
    }
    // Rows and the sources they show: laboratories, (samples,) within or
    // residual, total.
    const std::vector<int> sources = split ? std::vector<int>{0, 1, 2, 3} : std::vector<int>{0, 2, 3};
    const std::vector<int> labels = split ? std::vector<int>{12, 13, 14, 15}
                                          : std::vector<int>{12, 14, 15};
    const int tested = split ? 2 : 1;
    for (int r = 0; r < rows; ++r) {
        const auto src = static_cast<std::size_t>(sources[static_cast<std::size_t>(r)]);
        SetTextCell(*t->ReadCell(r, 0), {program.LibText(1, labels[static_cast<std::size_t>(r)])},
                    A::alLeft);
        const double df = a.DF[i][src];
        if (df != MissingValue) {
            SetNumberCell(*t->ReadCell(r, 1), df, 0, A::alCenter);
        } else {
            SetTextCell(*t->ReadCell(r, 1), {"-"}, A::alCenter);
        }
        const double ss = a.SumSq[i][src];
        DashOrNumber(*t->ReadCell(r, 2), ss, 4, ss != MissingValue);
        const bool total = r == rows - 1;
        if (total) {
            SetTextCell(*t->ReadCell(r, 3), {""}, A::alLeft);
        } else {
            const double ms = a.MeanSq[i][src];
            DashOrNumber(*t->ReadCell(r, 3), ms, 4, ms != MissingValue);
        }
        if (r < tested) {
            const double f = a.FValue[i][static_cast<std::size_t>(r)];
            const double p = a.PValue[i][static_cast<std::size_t>(r)];
            std::string text = FormatNumber(10, 7, 2, f);
            if (f != MissingValue) {
                text += Stars(p);
            }
            SetTextCell(*t->ReadCell(r, 4), {text}, A::alDecimal);
            if (f != MissingValue && f > 1 && p != MissingValue) {
                SetNumberCell(*t->ReadCell(r, 5), p, 4, A::alDecimal);
            } else {
                SetTextCell(*t->ReadCell(r, 5), {"-"}, A::alCenter);
            }
        } else {
            SetTextCell(*t->ReadCell(r, 4), {""}, A::alLeft);
            SetTextCell(*t->ReadCell(r, 5), {""}, A::alLeft);
        }
    }
    // Column 0, the pairs 1-2 and 4-5 and column 3 framed; the total row
    // ruled off from the sources above it.
    ClearRules(*t);
    TableBox(*t, 0, 0, rows - 1, 0);
    TableBox(*t, 0, 1, rows - 1, 2);
    TableBox(*t, 0, 3, rows - 1, 3);
    TableBox(*t, 0, 4, rows - 1, 5);
    for (int c = 0; c < 6; ++c) {
        t->ReadCell(rows - 1, c)->Borders |= bdTop;
    }
    // The head framed like the columns below it.
    TableBox(t->Head(), 0, 0, 0, 0);
    TableBox(t->Head(), 0, 1, 0, 2);
    TableBox(t->Head(), 0, 3, 0, 3);
    TableBox(t->Head(), 0, 4, 0, 5);
    t->GrowToText = true;
    return t;
}

// The head of a level column of the two summary tables.
std::vector<std::string> LevelHead(Program& program, int lv) {
    const DataType& s = *program.CurrentStudy;
    return {program.LibText(1, s.Design == dkSplitLevel ? 22 : 23), s.Level(lv).LevelName};
}

std::unique_ptr<TTavTable> ComponentsTable(Program& program, const TANOVA& a) {
    const DataType& s = *program.CurrentStudy;
    const bool split = s.Design == dkSplitLevel;
    auto t = std::make_unique<TTavTable>(3, s.NoOfLevels + 1);
    t->SetAutoSize(false);
    TableLineWidth(program, *t);
    t->Title = {s.Substance + ", " + s.Unit, program.LibText(1, 18), " ", program.LibText(1, 19)};
    t->SetColWidthCm(0, split ? 3.0 : 3.4);
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        t->SetColWidthCm(lv, split ? 3.4 : 3.0);
    }
    t->SetHeadHeightCm(1.3);
    SetTextCell(*t->HeadCell(0), {program.LibText(1, 20), program.LibText(1, 21)}, A::alLeft);
    const char* labels[] = {"s²(r)", "s²(L)", "s²(R)"};
    for (int r = 0; r < 3; ++r) {
        t->SetRowHeightCm(r, 0.7);
        SetTextCell(*t->ReadCell(r, 0), {labels[r]}, A::alLeft);
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        SetTextCell(*t->HeadCell(lv), LevelHead(program, lv), A::alCenter);
        const int d = s.Level(lv).Decimals + 1;
        const double values[] = {a.Sr[i], a.SL[i], a.SR[i]};
        for (int r = 0; r < 3; ++r) {
            const double v = values[r];
            if (v != MissingValue && v > 0) {
                // The standard deviation with a square sign: the variance.
                SetTextCell(*t->ReadCell(r, lv), {Field(v, d, 10) + "²"}, A::alDecimal);
            } else {
                SetTextCell(*t->ReadCell(r, lv), {"-"}, A::alCenter);
            }
        }
    }
    ClearRules(*t);
    TableBox(*t, 0, 0, 2, s.NoOfLevels);
    for (int c = 0; c <= s.NoOfLevels; ++c) {
        TableBox(*t, 0, c, 2, c);
        t->HeadCell(c)->Borders = bdAll;
    }
    t->GrowToText = true;
    return t;
}

std::unique_ptr<TTavTable> SummaryTable(Program& program, const TANOVA& a) {
    const DataType& s = *program.CurrentStudy;
    const TDescriptiveStatistics& d = *program.Stats;
    auto t = std::make_unique<TTavTable>(10, s.NoOfLevels + 1);
    t->SetAutoSize(false);
    TableLineWidth(program, *t);
    t->Title = {program.LibText(1, 24)};
    t->SetColWidthCm(0, 3.4);
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        t->SetColWidthCm(lv, 3.0);
    }
    t->SetHeadHeightCm(1.3);
    SetTextCell(*t->HeadCell(0), {program.LibText(1, 25), program.LibText(1, 26)}, A::alLeft);
    const std::vector<std::string> labels = {program.LibText(2, 100), program.LibText(2, 101), "µ",
                                             "m", "s(r)", "s(R)", "r", "R", "cv(r)", "cv(R)"};
    for (int r = 0; r < 10; ++r) {
        t->SetRowHeightCm(r, 0.7);
        SetTextCell(*t->ReadCell(r, 0), {labels[static_cast<std::size_t>(r)]}, A::alLeft);
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        const auto i = static_cast<std::size_t>(lv);
        const TLevel& level = s.Level(lv);
        const int dec = level.Decimals + 1;
        SetTextCell(*t->HeadCell(lv), LevelHead(program, lv), A::alCenter);
        SetNumberCell(*t->ReadCell(0, lv), d.NoOfValidLabs[i - 1], 0, A::alCenter);
        SetNumberCell(*t->ReadCell(1, lv), s.NoOfReplicates, 0, A::alCenter);
        const double mu = level.NominalValue;
        DashOrNumber(*t->ReadCell(2, lv), mu, level.NominalDecimals, mu != MissingValue);
        const double m = d.GrandMean[i - 1];
        DashOrNumber(*t->ReadCell(3, lv), m, dec, m != MissingValue);
        const double sr = a.Sr[i];
        const double sR = a.SR[i];
        auto positive = [](double v) { return v != MissingValue && v > 0; };
        DashOrNumber(*t->ReadCell(4, lv), sr, dec, positive(sr));
        DashOrNumber(*t->ReadCell(5, lv), sR, dec, positive(sR));
        DashOrNumber(*t->ReadCell(6, lv), 2.8 * sr, dec, positive(sr));
        DashOrNumber(*t->ReadCell(7, lv), 2.8 * sR, dec, positive(sR));
        for (int r = 8; r <= 9; ++r) {
            const double sd = r == 8 ? sr : sR;
            if (mu != MissingValue && mu != 0 && positive(sd)) {
                SetTextCell(*t->ReadCell(r, lv), {FormatFixed(100.0 * sd / mu, 15, 1) + " %"},
                            A::alDecimal);
            } else {
                SetTextCell(*t->ReadCell(r, lv), {"-"}, A::alCenter);
            }
        }
    }
    // Three boxed blocks: p to s(R); r and R; the coefficients of variation.
    ClearRules(*t);
    TableBox(*t, 0, 0, 5, s.NoOfLevels);
    TableBox(*t, 6, 0, 7, s.NoOfLevels);
    TableBox(*t, 8, 0, 9, s.NoOfLevels);
    for (int c = 0; c <= s.NoOfLevels; ++c) {
        t->HeadCell(c)->Borders = bdAll;
        for (int r = 0; r < 10; ++r) {
            if (c > 0) {
                t->ReadCell(r, c)->Borders |= bdLeft;
            }
        }
    }
    t->GrowToText = true;
    return t;
}

} // namespace

std::unique_ptr<TTavContents> MakeANOVAReport(Program& program) {
    if (!program.CurrentStudy || !program.Stats) {
        return nullptr;
    }
    const DataType& s = *program.CurrentStudy;
    const TANOVA& a = ANOVAOf(program);
    auto doc = std::make_unique<TTavContents>();
    if (program.Settings.DiscardOutlierTests) {
        AddDiscardNote(program, *doc);
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        doc->BlockBegin();
        doc->AddTable(LevelTable(program, a, lv));
        if (s.Design == dkSplitLevel) {
            const double p = a.SampleVarP[static_cast<std::size_t>(lv)];
            doc->AddText(program.LibText(1, p != MissingValue && p < 0.05 ? 16 : 17) +
                         program.LibText(1, 91));
        }
        doc->BlockEnd();
        doc->AddText(" ");
    }
    doc->PageBreak();
    if (program.Settings.DiscardOutlierTests) {
        AddDiscardNote(program, *doc);
    }
    doc->AddTable(ComponentsTable(program, a));
    doc->AddText(" ");
    doc->AddTable(SummaryTable(program, a));
    FrameDocument(program, *doc, kHelpContext);
    return doc;
}

void AnalysisOfVarianceReport(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    ANOVAOf(program).Calculate(program);
    auto doc = MakeANOVAReport(program);
    if (doc) {
        ShowDocument(program, std::move(doc), program.LibText(5, 36));
    }
}

} // namespace veltrio
