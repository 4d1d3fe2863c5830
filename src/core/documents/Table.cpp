#include "documents/Table.h"

#include <cmath>

#include "documents/Canvas.h"
#include "documents/DocumentMessages.h"
#include "documents/HtmlExport.h"
#include "documents/Report.h"
#include "documents/RtfExport.h"
#include "documents/Units.h"

#include <algorithm>

namespace veltrio {

namespace {
bool ValidSize(int rows, int cols) {
    return rows >= 0 && cols >= 0 && rows <= TTavBaseTable::MaxRows &&
           cols <= TTavBaseTable::MaxCols;
}
} // namespace

TTavTable::TTavTable(int rows, int cols)
    : TTavBaseTable(rows, cols),
      m_head(std::make_unique<TTavBaseTable>(1, ValidSize(rows, cols) ? cols : 0)) {
    SetAutoSize(true);
}

TTavTable::~TTavTable() = default;

template <typename F> void TTavTable::ForColumnCells(int col, F&& apply) {
    if (col < 0 || col >= ColCount()) {
        return;
    }
    for (int row = 0; row < RowCount(); ++row) {
        apply(*ReadCell(row, col));
    }
    if (col < m_head->ColCount()) {
        apply(*m_head->ReadCell(0, col));
    }
}

void TTavTable::SetColBorders(int col, std::uint8_t borders) {
    ForColumnCells(col, [borders](TTavCell& cell) { cell.Borders = borders; });
}

void TTavTable::SetColAlignment(int col, TAlignment alignment) {
    ForColumnCells(col, [alignment](TTavCell& cell) { cell.Alignment = alignment; });
}

void TTavTable::SetColDecimals(int col, int decimals) {
    ForColumnCells(col, [decimals](TTavCell& cell) { cell.Decimals = decimals; });
}

bool TTavTable::SetColCount(int count) {
    return TTavBaseTable::SetColCount(count) && m_head->SetColCount(count);
}

bool TTavTable::SetColWidth(int col, int pixels) {
    return TTavBaseTable::SetColWidth(col, pixels) && m_head->SetColWidth(col, pixels);
}

bool TTavTable::SetColWidthCm(int col, double cm) {
    return TTavBaseTable::SetColWidthCm(col, cm) && m_head->SetColWidthCm(col, cm);
}

bool TTavTable::DelCol(int col) {
    return TTavBaseTable::DelCol(col) && m_head->DelCol(col);
}

void TTavTable::CalcCommaPlaces(Canvas& canvas) {
    TTavBaseTable::CalcCommaPlaces(canvas);
    m_head->CalcCommaPlaces(canvas);
}

void TTavTable::CalcCommaPlacesCm(Report& report) {
    TTavBaseTable::CalcCommaPlacesCm(report);
    m_head->CalcCommaPlacesCm(report);
}

void TTavTable::ApplyMerges() {
    TTavBaseTable::ApplyMerges();
    m_head->ApplyMerges();
}

void TTavTable::SetAutoSize(bool on) {
    SetAutoSizeOwn(on);
    m_head->SetAutoSize(on);
}

void TTavTable::ScreenLayout(Canvas& canvas) {
    CalcCommaPlaces(canvas);
    // Head and body share the comma place of each column: the larger wins.
    for (int col = 0; col < ColCount() && col < m_head->ColCount(); ++col) {
        if (RowCount() == 0) {
            break;
        }
        const int body = ReadCell(0, col)->CommaPlace;
        const int head = m_head->ReadCell(0, col)->CommaPlace;
        TTavBaseTable& target = body < head ? static_cast<TTavBaseTable&>(*this) : *m_head;
        const int place = body < head ? head : body;
        for (int row = 0; row < target.RowCount(); ++row) {
            TTavCell* cell = target.ReadCell(row, col);
            if (cell->Alignment == TAlignment::alDecimal) {
                cell->CommaPlace = place;
            }
        }
    }
    m_head->CalcColWidths(canvas);
    m_head->CalcRowHeights(canvas);
    CalcRowHeights(canvas);
    CalcColWidths(canvas);
    for (int col = 0; col < ColCount() && col < m_head->ColCount(); ++col) {
        if (RowCount() == 0) {
            break;
        }
        const int width = std::max(ReadColWidth(col), m_head->ReadColWidth(col));
        if (width > 0) {
            TTavBaseTable::SetColWidth(col, width);
            m_head->SetColWidth(col, width);
        }
    }
    RemoveDoubledRules();
    ApplyMerges();
    LayoutNeeded = false;
    m_head->LayoutNeeded = false;
}

void TTavTable::PaperLayout(Report& report) {
    m_head->PaperSizes(report);
    PaperSizes(report);
    for (int col = 0; col < ColCount() && col < m_head->ColCount(); ++col) {
        if (RowCount() == 0) {
            break;
        }
        const int width = std::max(ReadColWidth(col), m_head->ReadColWidth(col));
        if (width > 0) {
            TTavBaseTable::SetColWidth(col, width);
            m_head->SetColWidth(col, width);
        }
    }
    RemoveDoubledRules();
    ApplyMerges();
}

int TTavTable::LinesHeight(Canvas& canvas, const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return 4;
    }
    int height = 0;
    for (const std::string& line : lines) {
        height += canvas.TextHeight(line);
    }
    return height + 2 * static_cast<int>(lines.size() - 1);
}

int TTavTable::LinesWidth(Canvas& canvas, const std::vector<std::string>& lines) {
    int width = 0;
    for (const std::string& line : lines) {
        width = std::max(width, canvas.TextWidth(line));
    }
    return width;
}

namespace {

// Whether a cell's plain text decides the least width of its column.
bool MeasuredForGrowth(const TTavCell& cell) {
    return (cell.Kind == TCellKind::ckLines || cell.Kind == TCellKind::ckFormatLines) &&
           cell.MergeState == TMergeState::msNormal && cell.Alignment != TAlignment::alDecimal;
}

// Columns narrower than this are hidden on purpose.
constexpr int HiddenColumnPixels = 2;

} // namespace

template <typename Need>
void TTavTable::GrowColumnsTo(Need need) {
    for (int col = 0; col < ColCount(); ++col) {
        const TTavCell& top = RowCount() > 0 ? *ReadCell(0, col) : *HeadCell(col);
        if (top.Width < HiddenColumnPixels) {
            continue;
        }
        int width = top.Width;
        for (TTavBaseTable* part : {m_head.get(), static_cast<TTavBaseTable*>(this)}) {
            for (int row = 0; row < part->RowCount(); ++row) {
                const TTavCell& cell = *part->ReadCell(row, col);
                if (MeasuredForGrowth(cell)) {
                    width = std::max(width, need(cell));
                }
            }
        }
        if (width > top.Width) {
            SetColWidth(col, width);
        }
    }
}

void TTavTable::GrowColumns(Canvas& canvas) {
    GrowColumnsTo([&canvas](const TTavCell& cell) { return cell.NaturalWidth(canvas); });
}

void TTavTable::GrowColumnsCm(Report& report) {
    // Rounded up to whole pixels, so that the width never falls short.
    GrowColumnsTo([&report](const TTavCell& cell) {
        return static_cast<int>(std::ceil(cell.NaturalWidthCm(report) * PixelsPerCm()));
    });
}

void TTavTable::Draw(int x, int y, Canvas& canvas) {
    CalcCommaPlaces(canvas);
    if (AutoSize() && LayoutNeeded) {
        ScreenLayout(canvas);
    } else if (!AutoSize() && GrowToText) {
        GrowColumns(canvas);
    }
    int ly = y;
    for (const std::string& line : Title) {
        canvas.TextOut(x, ly, line);
        ly += canvas.TextHeight(line) + 2;
    }
    const int y1 = y + LinesHeight(canvas, Title) + 2;
    m_head->DrawGrid(canvas, x, y1);
    const int y2 = y1 + m_head->TotalHeight();
    ly = y2 + TotalHeight() + 2;
    DrawGrid(canvas, x, y2);
    for (const std::string& line : Footnotes) {
        canvas.TextOut(x, ly, line);
        ly += canvas.TextHeight(line) + 2;
    }
}

int TTavTable::ScreenHeight(Canvas& canvas) {
    if (AutoSize() && LayoutNeeded) {
        ScreenLayout(canvas);
    } else if (!AutoSize() && GrowToText) {
        GrowColumns(canvas);
    }
    CachedHeight = LinesHeight(canvas, Title) + m_head->TotalHeight() + TotalHeight() +
                   LinesHeight(canvas, Footnotes) + 4;
    return CachedHeight;
}

int TTavTable::ScreenWidth(Canvas& canvas) {
    if (AutoSize() && LayoutNeeded) {
        ScreenLayout(canvas);
    } else if (!AutoSize() && GrowToText) {
        GrowColumns(canvas);
    }
    return std::max({LinesWidth(canvas, Title), LinesWidth(canvas, Footnotes), m_head->TotalWidth(),
                     TotalWidth()});
}

double TTavTable::ReportWidth(Report& report) {
    if (AutoSize()) {
        CalcCommaPlacesCm(report);
        PaperLayout(report);
    } else if (GrowToText) {
        GrowColumnsCm(report);
    }
    double width = TotalWidthCm();
    for (const auto* lines : {&Title, &Footnotes}) {
        for (const std::string& line : *lines) {
            width = std::max(width, report.TextWidthCm(line));
        }
    }
    return width;
}

double TTavTable::ReportHeight(Report& report) {
    if (AutoSize()) {
        CalcCommaPlacesCm(report);
        PaperLayout(report);
    } else if (GrowToText) {
        GrowColumnsCm(report);
    }
    const double lineHeight = report.RowHeight();
    const double footnotes =
        Footnotes.empty() ? 0.0
                          : static_cast<double>(Footnotes.size()) * lineHeight + PixelsToCm(2);
    return static_cast<double>(Title.size()) * lineHeight + m_head->TotalHeightCm() +
           TotalHeightCm() + footnotes;
}

void TTavTable::PrintTitleAndHead(Report& report) const {
    const double lineHeight = report.RowHeight();
    const double y0 = report.CursorY();
    for (std::size_t i = 0; i < Title.size(); ++i) {
        report.SetCursorY(y0 + static_cast<double>(i + 1) * lineHeight);
        report.PrintLeftAt(Title[i], report.MarginLeft());
    }
    const double headTop =
        y0 + static_cast<double>(Title.size()) * lineHeight + PixelsToCm(2) + 0.2 * lineHeight;
    // Every head row, each below the one before (heads of two or three rows
    // carry group captions over their columns).
    double rowTop = headTop;
    for (int row = 0; row < m_head->RowCount(); ++row) {
        m_head->PrintRow(report, row, rowTop);
        rowTop += m_head->ReadRowHeightCm(row);
    }
    report.GotoXY(report.MarginLeft(), headTop + m_head->TotalHeightCm());
}

void TTavTable::Print(Report& report) {
    CalcCommaPlacesCm(report);
    if (AutoSize()) {
        PaperLayout(report);
    } else if (GrowToText) {
        GrowColumnsCm(report);
    }
    const double lineHeight = report.RowHeight();
    const double needed = static_cast<double>(Title.size()) * lineHeight + PixelsToCm(2) +
                          m_head->TotalHeightCm() + (RowCount() > 0 ? ReadRowHeightCm(0) : 0.0);
    if (SpaceLeft(report) < needed) {
        report.StartNewPage();
    }

    // Every page the table continues on gets the document's page header and
    // then the table's title and head again.
    struct HeaderScope {
        Report& report;
        Report::Handler previous;
        ~HeaderScope() { report.OnPrintHeader = previous; }
    } scope{report, report.OnPrintHeader};
    report.OnPrintHeader = [this, previous = scope.previous](Report& r) {
        if (previous) {
            previous(r);
        }
        PrintTitleAndHead(r);
    };

    PrintTitleAndHead(report);
    PrintRows(report);
    report.OnPrintHeader = scope.previous;

    report.SetCursorX(report.MarginLeft());
    if (!Footnotes.empty()) {
        const double height = static_cast<double>(Footnotes.size()) * lineHeight + PixelsToCm(2);
        if (height > report.RemainingLines() * lineHeight) {
            report.StartNewPage();
        }
        for (const std::string& line : Footnotes) {
            report.SetCursorY(report.CursorY() + lineHeight);
            report.PrintLeftAt(line, report.MarginLeft());
        }
    }
    report.SetCursorY(report.CursorY() + PixelsToCm(2));
}

void TTavTable::AppendPlainText(std::vector<std::string>& lines) const {
    // The first title and footnote lines stay out of the plain text.
    for (std::size_t i = 1; i < Title.size(); ++i) {
        lines.push_back(Title[i]);
    }
    m_head->AppendGridText(lines);
    AppendGridText(lines);
    for (std::size_t i = 1; i < Footnotes.size(); ++i) {
        lines.push_back(Footnotes[i]);
    }
}

void TTavTable::AppendCompleteText(std::vector<std::string>& lines) const {
    lines.insert(lines.end(), Title.begin(), Title.end());
    m_head->AppendGridText(lines, true);
    AppendGridText(lines, true);
    lines.insert(lines.end(), Footnotes.begin(), Footnotes.end());
}

void TTavTable::CollectFonts(RtfExport& out) {
    m_head->CollectFonts(out);
    TTavBaseTable::CollectFonts(out);
}

void TTavTable::WriteHTML(HtmlExport& out) {
    // The caption is the table's first child, where HTML allows it.
    out.WriteLine("<TABLE BORDER=1>");
    out.WriteLine("<CAPTION>");
    for (const std::string& line : Title) {
        out.Write(HtmlText(line) + " <br>");
    }
    out.WriteLine("</CAPTION>");
    m_head->WriteHtmlRows(out);
    WriteHtmlRows(out);
    out.WriteLine("</TABLE>");
    for (const std::string& line : Footnotes) {
        out.WriteLine(HtmlText(line) + " <br>");
    }
}

void TTavTable::WriteRTF(RtfExport& out) {
    for (const std::string& line : Title) {
        out.AddLine(RtfText(line) + "\\par");
    }
    out.AddLine("{");
    m_head->AppendRtfRows(out);
    AppendRtfRows(out);
    out.AddLine("}");
    for (const std::string& line : Footnotes) {
        out.AddLine(RtfText(line) + "\\par");
    }
}

} // namespace veltrio
