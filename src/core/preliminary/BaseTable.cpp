#include "preliminary/BaseTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "documents/Contents.h"
#include "documents/Table.h"
#include "preliminary/ReportCells.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int kHelpAsReported = 5000;
constexpr int kHelpCorrected = 5100;

// The transformations of the study values (index 0 none, 1 ln, 2 log10,
// 3 square root, 4 inverse).
double TransformValue(int index, double x) {
    switch (index) {
    case 1:
        return std::log(x);
    case 2:
        return std::log(x) / std::log(10.0);
    case 3:
        return std::sqrt(x);
    case 4:
        return 1.0 / x;
    default:
        return x;
    }
}

double BackTransformValue(int index, double x) {
    switch (index) {
    case 1:
        return std::exp(x);
    case 2:
        return std::pow(10.0, x);
    case 3:
        return x * x;
    case 4:
        return 1.0 / x;
    default:
        return x;
    }
}

std::string Fixed(double value, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals < 0 ? 0 : decimals, value);
    return buf;
}

// The flag followed by the value; a missing value is the flag and "-".
std::string ResultText(char flag, double value, int decimals) {
    return std::string(1, flag) +
           (value == MissingValue ? std::string("-") : Fixed(value, decimals));
}

struct NotesShown {
    bool FileExcluded = false;
    bool User = false;
    bool NoSpike = false;
};

std::string BaseMarkText(char mark, NotesShown& shown) {
    if (mark == MarkFileExcluded) {
        shown.FileExcluded = true;
        return "U";
    }
    if (mark == MarkUserExcluded) {
        shown.User = true;
        return "UL";
    }
    return " ";
}

void AddNotes(Program& program, TTavContents& doc, const NotesShown& shown) {
    doc.BlockBegin();
    if (shown.FileExcluded) {
        doc.AddText(program.LibText(2, 9));
    }
    if (shown.User) {
        doc.AddText(program.LibText(2, 10));
    }
    doc.BlockEnd();
}

void FrameHead(TTavBaseTable& head) {
    for (int r = 0; r < head.RowCount(); ++r) {
        for (int c = 0; c < head.ColCount(); ++c) {
            head.ReadCell(r, c)->Borders = bdAll;
        }
    }
}

// Splits "12.50-2.00" in front of its sign into two lines.
std::vector<std::string> SplitAtSign(const std::string& text) {
    const auto at = text.find_first_of("+-", 1);
    if (at == std::string::npos) {
        return {text};
    }
    return {text.substr(0, at), text.substr(at)};
}

} // namespace

double AddSpike(int index, double value, double spiking) {
    return TransformValue(index, BackTransformValue(index, value) + spiking);
}

std::unique_ptr<TTavContents> MakeSplitLevelBaseTable(Program& program, bool asReported) {
    if (!program.CurrentStudy) {
        return nullptr;
    }
    const DataType& s = *program.CurrentStudy;
    const TSettings& set = program.Settings;
    const int levels = s.NoOfLevels;
    const int cols = 4 * levels + 2;
    const int lastCol = cols - 1;
    NotesShown shown;

    auto t = std::make_unique<TTavTable>(s.NoOfLabs, cols);
    t->SetAutoSize(false);
    // Three head rows before any column setting: rows added later would be
    // default cells, narrower than their columns.
    t->Head().SetRowCount(3);
    TableLineWidth(program, *t);
    t->Title = {" " + s.Substance + ", " + s.Unit};
    if (asReported) {
        t->Title.push_back(program.LibText(2, 1));
    } else {
        t->Title.push_back(program.LibText(2, 2));
        t->Title.push_back(program.LibText(2, 3));
    }
    t->SetColWidthCm(0, 1.05);
    t->SetColWidthCm(1, 1.05);
    for (int lv = 1; lv <= levels; ++lv) {
        t->SetColWidthCm(4 * lv - 2, 1.5);
        t->SetColWidthCm(4 * lv - 1, 1.5);
        t->SetColWidthCm(4 * lv, 0.5);
        t->SetColWidthCm(4 * lv + 1, set.AllMethodID ? 1.5 : 0.001);
    }
    if (!set.AllMethodID) {
        t->SetColWidthCm(lastCol, 1.5);
    }
    for (int r = 0; r < s.NoOfLabs; ++r) {
        t->SetRowHeightCm(r, 0.6);
    }

    TTavBaseTable& head = t->Head();
    head.SetRowHeightCm(0, 1.0);
    head.SetRowHeightCm(1, 1.2);
    head.SetRowHeightCm(2, 0.5);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < cols; ++c) {
            SetTextCell(*head.ReadCell(r, c), {""}, TAlignment::alCenter);
        }
    }
    FrameHead(head);
    SetTextCell(*head.ReadCell(0, 0), {program.LibText(2, 5)}, TAlignment::alCenter);
    bool tallAssigned = false;
    for (int lv = 1; lv <= levels; ++lv) {
        const TLevel& l = s.Level(lv);
        const int c0 = 4 * lv - 2;
        SetTextCell(*head.ReadCell(0, c0), {program.LibText(2, 4), l.LevelName},
                    TAlignment::alCenter);
        SetTextCell(*head.ReadCell(1, c0), {program.LibText(2, 6), s.Unit}, TAlignment::alCenter);
        if (set.AllMethodID) {
            SetTextCell(*head.ReadCell(1, c0 + 3), {program.LibText(2, 7)}, TAlignment::alCenter);
        }
        const int spikedCol = l.SpikedSample == 1 ? c0 : c0 + 1;
        const int plainCol = l.SpikedSample == 1 ? c0 + 1 : c0;
        const int nd = l.NominalDecimals;
        if (l.NominalValue == MissingValue) {
            SetTextCell(*head.ReadCell(2, c0), {"-"}, TAlignment::alCenter);
            SetTextCell(*head.ReadCell(2, c0 + 1), {"-"}, TAlignment::alCenter);
            continue;
        }
        SetTextCell(*head.ReadCell(2, plainCol), {Fixed(l.NominalValue, nd)}, TAlignment::alCenter);
        std::vector<std::string> spiked;
        if (l.Spiking == MissingValue) {
            spiked = {Fixed(l.NominalValue, nd) + "*"};
            shown.NoSpike = true;
        } else if (asReported) {
            spiked = {Fixed(AddSpike(s.Transformation, l.NominalValue, l.Spiking), nd)};
        } else if (s.Transformation != 0) {
            spiked = {Fixed(l.NominalValue, nd)};
        } else {
            const std::string text =
                l.Spiking >= 0
                    ? Fixed(l.NominalValue + l.Spiking, nd) + "-" + Fixed(l.Spiking, nd)
                    : Fixed(l.NominalValue + l.Spiking, nd) + "+" + Fixed(-l.Spiking, nd);
            if (text.size() > 7) {
                spiked = SplitAtSign(text);
                tallAssigned = true;
            } else {
                spiked = {text};
            }
        }
        SetTextCell(*head.ReadCell(2, spikedCol), spiked, TAlignment::alCenter);
    }
    if (!set.AllMethodID) {
        SetTextCell(*head.ReadCell(0, lastCol), {program.LibText(2, 7)}, TAlignment::alCenter);
    }
    if (tallAssigned) {
        head.SetRowHeightCm(2, 1.0);
    }

    const TLevel& first = s.Level(1);
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        const int row = lab - 1;
        SetTextCell(*t->ReadCell(row, 0), {first.GetRandCode(lab)}, TAlignment::alLeft);
        SetTextCell(*t->ReadCell(row, 1),
                    {set.ShowRegLabNo ? first.GetRegLabNo(lab) : std::string()},
                    TAlignment::alLeft);
        for (int lv = 1; lv <= levels; ++lv) {
            const TLevel& l = s.Level(lv);
            const int c0 = 4 * lv - 2;
            for (int smp = 1; smp <= 2; ++smp) {
                const TResult& r = l.GetResult(lab, smp);
                double value = r.Value;
                if (asReported && smp == l.SpikedSample && r.Value != MissingValue &&
                    r.Flag != '<' && l.Spiking != MissingValue) {
                    value = AddSpike(s.Transformation, r.Value, l.Spiking);
                }
                SetTextCell(*t->ReadCell(row, c0 + smp - 1),
                            {ResultText(r.Flag, value, r.Decimals)}, TAlignment::alDecimal);
            }
            SetTextCell(*t->ReadCell(row, c0 + 2), {BaseMarkText(l.GetMark(lab), shown)},
                        TAlignment::alCenter);
            SetTextCell(*t->ReadCell(row, c0 + 3), {set.AllMethodID ? l.GetMethodCode(lab) : ""},
                        TAlignment::alCenter);
        }
        if (!set.AllMethodID) {
            SetTextCell(*t->ReadCell(row, lastCol), {first.GetMethodCode(lab)},
                        TAlignment::alCenter);
        }
    }
    ClearRules(*t);
    const int last = s.NoOfLabs - 1;
    TableBox(*t, 0, 0, last, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        TableBox(*t, 0, 4 * lv - 2, last, 4 * lv);
        TableBox(*t, 0, 4 * lv + 1, last, 4 * lv + 1);
    }
    // Head cells spanning the code columns and each level's group.
    head.MergeRowCells(0, 0, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        head.MergeRowCells(0, 4 * lv - 2, set.AllMethodID ? 3 : 2);
        head.MergeRowCells(1, 4 * lv - 2, 2);
    }

    auto doc = std::make_unique<TTavContents>();
    doc->AddTable(std::move(t));
    AddNotes(program, *doc, shown);
    if (shown.NoSpike) {
        doc->AddText(program.LibText(2, 99));
    }
    FrameDocument(program, *doc, asReported ? kHelpAsReported : kHelpCorrected);
    return doc;
}

std::unique_ptr<TTavContents> MakeUniformBaseTable(Program& program) {
    if (!program.CurrentStudy) {
        return nullptr;
    }
    const DataType& s = *program.CurrentStudy;
    const TSettings& set = program.Settings;
    const int levels = s.NoOfLevels;
    const int n = s.NoOfReplicates;
    const int cols = 3 * levels + 2;
    const int lastCol = cols - 1;
    const int rows = s.NoOfLabs * n;
    const int labelOffset = std::max(1, n / 2) - 1;
    NotesShown shown;

    auto t = std::make_unique<TTavTable>(rows, cols);
    t->SetAutoSize(false);
    // Three head rows before any column setting: rows added later would be
    // default cells, narrower than their columns.
    t->Head().SetRowCount(3);
    TableLineWidth(program, *t);
    t->Title = {s.Substance + " " + s.Unit, program.LibText(2, 1)};
    t->SetColWidthCm(0, 2.2);
    t->SetColWidthCm(1, 0.8);
    for (int lv = 1; lv <= levels; ++lv) {
        t->SetColWidthCm(3 * lv - 1, 2.3);
        t->SetColWidthCm(3 * lv, 1.0);
        t->SetColWidthCm(3 * lv + 1, set.AllMethodID ? 1.7 : 0.001);
    }
    if (!set.AllMethodID) {
        t->SetColWidthCm(lastCol, 1.4);
    }
    for (int r = 0; r < rows; ++r) {
        t->SetRowHeightCm(r, 0.6);
    }

    TTavBaseTable& head = t->Head();
    head.SetRowHeightCm(0, 0.6);
    head.SetRowHeightCm(1, 0.6);
    head.SetRowHeightCm(2, 1.6);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < cols; ++c) {
            SetTextCell(*head.ReadCell(r, c), {""}, TAlignment::alCenter);
        }
    }
    FrameHead(head);
    SetTextCell(*head.ReadCell(0, 0), {program.LibText(2, 5)}, TAlignment::alCenter);
    for (int lv = 1; lv <= levels; ++lv) {
        const TLevel& l = s.Level(lv);
        const int c0 = 3 * lv - 1;
        SetTextCell(*head.ReadCell(0, c0), {program.LibText(1, 11)}, TAlignment::alCenter);
        SetTextCell(*head.ReadCell(1, c0), {l.LevelName}, TAlignment::alCenter);
        const std::string nominal = l.NominalValue == MissingValue
                                        ? std::string("-")
                                        : Fixed(l.NominalValue, l.NominalDecimals);
        SetTextCell(*head.ReadCell(2, c0), {program.LibText(2, 6), s.Unit, nominal},
                    TAlignment::alCenter);
        if (set.AllMethodID) {
            SetTextCell(*head.ReadCell(2, c0 + 2), {program.LibText(2, 7)}, TAlignment::alCenter);
        }
    }
    if (!set.AllMethodID) {
        SetTextCell(*head.ReadCell(0, lastCol), {program.LibText(2, 7)}, TAlignment::alCenter);
    }

    const TLevel& first = s.Level(1);
    ClearRules(*t);
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        const int top = (lab - 1) * n;
        const int label = top + labelOffset;
        for (int r = top; r < top + n; ++r) {
            for (int c = 0; c < cols; ++c) {
                SetTextCell(*t->ReadCell(r, c), {""}, TAlignment::alCenter);
            }
        }
        SetTextCell(*t->ReadCell(label, 0), {first.GetRandCode(lab)}, TAlignment::alCenter);
        SetTextCell(*t->ReadCell(label, 1),
                    {set.ShowRegLabNo ? first.GetRegLabNo(lab) : std::string()},
                    TAlignment::alCenter);
        for (int lv = 1; lv <= levels; ++lv) {
            const TLevel& l = s.Level(lv);
            const int c0 = 3 * lv - 1;
            const std::string mark = BaseMarkText(l.GetMark(lab), shown);
            for (int rep = 1; rep <= n; ++rep) {
                const TResult& r = l.GetResult(lab, rep);
                TTavCell& cell = *t->ReadCell(top + rep - 1, c0);
                if (r.Value == MissingValue) {
                    SetTextCell(cell, {"-"}, TAlignment::alCenter);
                } else {
                    SetTextCell(cell, {ResultText(r.Flag, r.Value, r.Decimals)},
                                TAlignment::alDecimal);
                }
                SetTextCell(*t->ReadCell(top + rep - 1, c0 + 1), {mark}, TAlignment::alCenter);
            }
            if (set.AllMethodID) {
                SetTextCell(*t->ReadCell(label, c0 + 2), {l.GetMethodCode(lab)},
                            TAlignment::alCenter);
            }
        }
        if (!set.AllMethodID) {
            SetTextCell(*t->ReadCell(label, lastCol), {first.GetMethodCode(lab)},
                        TAlignment::alCenter);
        }
        const int bottom = top + n - 1;
        TableBox(*t, top, 0, bottom, 1);
        for (int lv = 1; lv <= levels; ++lv) {
            TableBox(*t, top, 3 * lv - 1, bottom, 3 * lv);
            TableBox(*t, top, 3 * lv + 1, bottom, 3 * lv + 1);
        }
        t->AddRowBlock(top, bottom);
    }
    head.MergeRowCells(0, 0, 1);
    for (int lv = 1; lv <= levels; ++lv) {
        const int span = set.AllMethodID ? 2 : 1;
        head.MergeRowCells(0, 3 * lv - 1, span);
        head.MergeRowCells(1, 3 * lv - 1, span);
        head.MergeRowCells(2, 3 * lv - 1, 1);
    }

    auto doc = std::make_unique<TTavContents>();
    doc->AddTable(std::move(t));
    AddNotes(program, *doc, shown);
    FrameDocument(program, *doc, kHelpAsReported);
    return doc;
}

void BaseTableReport(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    auto doc = program.CurrentStudy->Design == dkSplitLevel ? MakeSplitLevelBaseTable(program, true)
                                                            : MakeUniformBaseTable(program);
    ShowDocument(program, std::move(doc), program.LibText(5, 71));
}

void BaseTableCorrectedReport(Program& program) {
    if (!program.CurrentStudy || program.CurrentStudy->Design != dkSplitLevel) {
        return;
    }
    ShowDocument(program, MakeSplitLevelBaseTable(program, false), program.LibText(5, 72));
}

} // namespace veltrio
