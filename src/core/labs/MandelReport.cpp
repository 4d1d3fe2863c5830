// The document of Mandel's statistics: the values with their marks, the
// notes on the marks, and the critical values of every level.
#include "labs/Mandel.h"

#include "documents/Contents.h"
#include "documents/NumberText.h"
#include "documents/Table.h"
#include "study/Program.h"
#include "study/ReportFraming.h"

namespace veltrio {

namespace {

constexpr int MandelHelpContext = 7000;
constexpr int Decimals = 3;

void TextCell(TTavCell& cell, const std::vector<std::string>& lines, TAlignment alignment) {
    cell.Lines = lines;
    cell.Kind = TCellKind::ckLines;
    cell.Alignment = alignment;
}

// Markup lines ("&pm 2.450").
void FormatCell(TTavCell& cell, const std::string& line, TAlignment alignment) {
    cell.Lines = {line};
    cell.Kind = TCellKind::ckFormatLines;
    cell.Alignment = alignment;
}

void NumberCell(TTavCell& cell, double value, int decimals) {
    cell.Kind = TCellKind::ckNumber;
    cell.Decimals = decimals;
    cell.SetValue(value);
    cell.Alignment = TAlignment::alDecimal;
}

// A number, or "-" on the decimal point where there is none.
void ValueCell(TTavCell& cell, double value, int decimals) {
    if (value == MissingValue) {
        TextCell(cell, {"-"}, TAlignment::alDecimal);
    } else {
        NumberCell(cell, value, decimals);
    }
}

} // namespace

std::string TMandel::LevelHead() const {
    return m_program.LibText(8, m_program.CurrentStudy->Design == dkSplitLevel ? 3 : 4);
}

// Column 0 and a value and a mark column per level; the level heads span
// both columns of their level.
namespace {

void LayOut(Program& program, TTavTable& t, int rows, const std::string& levelHead) {
    const DataType& s = *program.CurrentStudy;
    t.SetAutoSize(false);
    t.GrowToText = true; // labels of any language fit their column
    TableLineWidth(program, t);
    t.SetColWidthCm(0, 3.3);
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        t.SetColWidthCm(2 * lv - 1, 2.0);
        t.SetColWidthCm(2 * lv, 1.0);
    }
    for (int r = 0; r < rows; ++r) {
        t.SetRowHeightCm(r, 0.6);
        for (int c = 0; c < t.ColCount(); ++c) {
            t.ReadCell(r, c)->Borders = 0;
        }
    }
    t.SetHeadHeightCm(1.2);
    TTavBaseTable& head = t.Head();
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        TextCell(*head.ReadCell(0, 2 * lv - 1), {levelHead, s.Level(lv).LevelName},
                 TAlignment::alCenter);
        TextCell(*head.ReadCell(0, 2 * lv), {}, TAlignment::alCenter);
    }
    for (int c = 0; c < head.ColCount(); ++c) {
        head.ReadCell(0, c)->Borders = bdAll;
    }
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        head.MergeRowCells(0, 2 * lv - 1, 1);
    }
}

void BoxRows(TTavTable& t, int firstRow, int lastRow, int levels) {
    TableBox(t, firstRow, 0, lastRow, 0);
    for (int lv = 1; lv <= levels; ++lv) {
        TableBox(t, firstRow, 2 * lv - 1, lastRow, 2 * lv);
    }
}

} // namespace

void TMandel::AddValuesTable(TTavContents& doc) {
    const DataType& s = *m_program.CurrentStudy;
    const int labs = s.NoOfLabs;
    auto t = std::make_unique<TTavTable>(labs, 2 * m_levels + 1);
    t->Title = {s.Substance + ", " + s.Unit, m_program.LibText(8, NameItem())};
    LayOut(m_program, *t, labs, LevelHead());
    TextCell(*t->HeadCell(0), {m_program.LibText(8, 2)}, TAlignment::alCenter);
    bool outlier = false, one = false, two = false;
    for (int lab = 1; lab <= labs; ++lab) {
        const int row = lab - 1;
        std::string code = s.Level(1).GetRandCode(lab);
        if (m_program.Settings.ShowRegLabNo) {
            code += PadLeft(s.Level(1).GetRegLabNo(lab), 15);
        }
        TextCell(*t->ReadCell(row, 0), {code}, TAlignment::alCenter);
        for (int lv = 1; lv <= m_levels; ++lv) {
            ValueCell(*t->ReadCell(row, 2 * lv - 1), Values(lab, lv), Decimals);
            const std::string mark = MarkText(lab, lv);
            TextCell(*t->ReadCell(row, 2 * lv), {mark}, TAlignment::alLeft);
            const auto stars =
                mark.find('*') == std::string::npos ? 0 : mark.size() - mark.find('*');
            outlier |= !mark.empty() && mark[0] == OutlierMark();
            one |= stars == 1;
            two |= stars == 2;
        }
    }
    BoxRows(*t, 0, labs - 1, m_levels);
    doc.AddTable(std::move(t));
    const int note = FirstNoteItem();
    if (outlier) {
        doc.AddText(m_program.LibText(8, note));
    }
    if (one) {
        doc.AddText(m_program.LibText(8, note + 1));
    }
    if (two) {
        doc.AddText(m_program.LibText(8, note + 2));
    }
}

void TMandel::AddCriticalTable(TTavContents& doc) {
    const DataType& s = *m_program.CurrentStudy;
    auto t = std::make_unique<TTavTable>(4, 2 * m_levels + 1);
    LayOut(m_program, *t, 4, LevelHead());
    TextCell(*t->HeadCell(0), {""}, TAlignment::alLeft);
    for (int r = 0; r < 4; ++r) {
        TextCell(*t->ReadCell(r, 0), {m_program.LibText(8, 8 + r)}, TAlignment::alLeft);
    }
    for (int lv = 1; lv <= m_levels; ++lv) {
        const int col = 2 * lv - 1;
        NumberCell(*t->ReadCell(0, col), ValueCount(lv), 0);
        NumberCell(*t->ReadCell(1, col), s.NoOfReplicates, 0);
        const TSignificanceLevel order[] = {TSignificanceLevel::FivePercent,
                                            TSignificanceLevel::OnePercent};
        for (int k = 0; k < 2; ++k) {
            TTavCell& cell = *t->ReadCell(2 + k, col);
            const double c = Critical(lv, order[k]);
            if (c == MissingValue) {
                TextCell(cell, {"-"}, TAlignment::alDecimal);
            } else if (TwoSided()) {
                FormatCell(cell, "&pm " + FormatFixed(c, 15, Decimals), TAlignment::alDecimal);
            } else {
                NumberCell(cell, c, Decimals);
            }
        }
        for (int r = 0; r < 4; ++r) {
            TextCell(*t->ReadCell(r, col + 1), {""}, TAlignment::alLeft);
        }
    }
    BoxRows(*t, 0, 1, m_levels);
    BoxRows(*t, 2, 3, m_levels);
    doc.BlockBegin();
    doc.AddTable(std::move(t));
    doc.BlockEnd();
}

std::unique_ptr<TTavContents> TMandel::BuildReport() {
    if (!m_program.CurrentStudy) {
        return nullptr;
    }
    auto doc = std::make_unique<TTavContents>();
    if (m_program.Settings.DiscardOutlierTests) {
        AddDiscardNote(m_program, *doc);
    }
    AddValuesTable(*doc);
    doc->AddText(" ");
    AddCriticalTable(*doc);
    FrameDocument(m_program, *doc, MandelHelpContext);
    return doc;
}

void TMandel::MakeReport() {
    auto doc = BuildReport();
    if (doc) {
        ShowDocument(m_program, std::move(doc),
                     m_program.LibText(8, 6) + " - " + m_program.LibText(8, NameItem()));
    }
}

} // namespace veltrio
