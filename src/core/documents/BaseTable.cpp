#include "documents/BaseTable.h"

#include "base/TextUtil.h"
#include "documents/Canvas.h"
#include "documents/DocumentMessages.h"
#include "documents/HtmlExport.h"
#include "documents/Markup.h"
#include "documents/Report.h"
#include "documents/RtfExport.h"
#include "documents/Units.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace veltrio {

TTavBaseTable::TTavBaseTable(int rows, int cols) {
    if (rows < 0 || cols < 0 || rows > MaxRows || cols > MaxCols) {
        InternalError("TTavBaseTable.Create");
        return;
    }
    m_rows = rows;
    m_columns.assign(static_cast<std::size_t>(cols),
                     std::vector<TTavCell>(static_cast<std::size_t>(rows)));
}

TTavBaseTable::~TTavBaseTable() = default;

bool TTavBaseTable::ValidCell(int row, int col) const {
    return row >= 0 && row < m_rows && col >= 0 && col < ColCount();
}

TTavCell* TTavBaseTable::ReadCell(int row, int col) {
    return const_cast<TTavCell*>(std::as_const(*this).ReadCell(row, col));
}

const TTavCell* TTavBaseTable::ReadCell(int row, int col) const {
    if (!ValidCell(row, col)) {
        InternalError("TTavBaseTable.ReadCell");
        return nullptr;
    }
    return &m_columns[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)];
}

bool TTavBaseTable::SetColCount(int count) {
    if (count < 0) {
        InternalError("TTavBaseTable.SetColCount");
        return false;
    }
    m_columns.resize(static_cast<std::size_t>(count),
                     std::vector<TTavCell>(static_cast<std::size_t>(m_rows)));
    LayoutNeeded = true;
    return true;
}

bool TTavBaseTable::SetRowCount(int count) {
    if (count < 0) {
        InternalError("TTavBaseTable.SetRowCount");
        return false;
    }
    for (auto& column : m_columns) {
        column.resize(static_cast<std::size_t>(count));
    }
    m_rows = count;
    LayoutNeeded = true;
    return true;
}

bool TTavBaseTable::SetColWidth(int col, int pixels) {
    if (col < 0 || col >= ColCount() || pixels <= 0) {
        InternalError("TTavBaseTable.SetColWidth");
        return false;
    }
    for (TTavCell& cell : m_columns[static_cast<std::size_t>(col)]) {
        cell.Width = pixels;
    }
    return true;
}

bool TTavBaseTable::SetColWidthCm(int col, double cm) {
    if (col < 0 || col >= ColCount() || cm <= 0.0) {
        InternalError("TTavBaseTable.SetColWidthCm");
        return false;
    }
    for (TTavCell& cell : m_columns[static_cast<std::size_t>(col)]) {
        cell.SetWidthCm(cm);
    }
    return true;
}

bool TTavBaseTable::SetRowHeightCm(int row, double cm) {
    if (row < 0 || row >= m_rows || cm <= 0.0) {
        InternalError("TTavBaseTable.SetRowHeightCm");
        return false;
    }
    for (auto& column : m_columns) {
        column[static_cast<std::size_t>(row)].SetHeightCm(cm);
    }
    return true;
}

bool TTavBaseTable::DelCol(int col) {
    if (col < 0 || col >= ColCount()) {
        InternalError("TTavBaseTable.DelCol");
        return false;
    }
    m_columns.erase(m_columns.begin() + col);
    LayoutNeeded = true;
    return true;
}

void TTavBaseTable::CalcRowHeights(Canvas& canvas) {
    for (int row = 0; row < m_rows; ++row) {
        int height = 0;
        for (const auto& column : m_columns) {
            const int natural = column[static_cast<std::size_t>(row)].NaturalHeight(canvas);
            if (natural > height) {
                height = natural + 2;
            }
        }
        for (auto& column : m_columns) {
            column[static_cast<std::size_t>(row)].Height = height;
        }
    }
}

void TTavBaseTable::CalcColWidths(Canvas& canvas) {
    for (auto& column : m_columns) {
        int width = 0;
        for (const TTavCell& cell : column) {
            const int natural = cell.NaturalWidth(canvas);
            if (natural > width) {
                width = natural + 10;
            }
        }
        for (TTavCell& cell : column) {
            cell.Width = width;
        }
    }
}

void TTavBaseTable::CalcCommaPlaces(Canvas& canvas) {
    for (auto& column : m_columns) {
        int widest = -1;
        for (const TTavCell& cell : column) {
            if (cell.Alignment == TAlignment::alDecimal && cell.HasDecimalParts()) {
                widest = std::max(widest, cell.SizeOfDecimalPart(canvas));
            }
        }
        if (widest < 0) {
            continue;
        }
        for (TTavCell& cell : column) {
            if (cell.Alignment == TAlignment::alDecimal && cell.HasDecimalParts()) {
                cell.CommaPlace = widest + 4;
            }
        }
    }
}

void TTavBaseTable::CalcCommaPlacesCm(Report& report) {
    for (auto& column : m_columns) {
        double widest = -1.0;
        for (const TTavCell& cell : column) {
            if (cell.Alignment == TAlignment::alDecimal && cell.HasDecimalParts()) {
                widest = std::max(widest, cell.SizeOfDecimalPartCm(report));
            }
        }
        if (widest < 0.0) {
            continue;
        }
        const int place = CmToPixels(widest + PixelsToCm(4));
        for (TTavCell& cell : column) {
            if (cell.Alignment == TAlignment::alDecimal && cell.HasDecimalParts()) {
                cell.CommaPlace = place;
            }
        }
    }
}

void TTavBaseTable::ApplyMerges() {
    for (int row = 0; row < m_rows; ++row) {
        const auto r = static_cast<std::size_t>(row);
        for (int col = 0; col < ColCount(); ++col) {
            TTavCell& first = m_columns[static_cast<std::size_t>(col)][r];
            if (first.MergeState != TMergeState::msFirst) {
                continue;
            }
            int next = col + 1;
            while (next < ColCount() && m_columns[static_cast<std::size_t>(next)][r].MergeState ==
                                            TMergeState::msCovered) {
                TTavCell& covered = m_columns[static_cast<std::size_t>(next)][r];
                first.Width += covered.Width;
                covered.Width = 0;
                ++next;
            }
        }
    }
}

void TTavBaseTable::SetAutoSizeOwn(bool on) {
    m_autoSize = on;
    LayoutNeeded = true;
}

void TTavBaseTable::SetAutoSize(bool on) {
    SetAutoSizeOwn(on);
}

void TTavBaseTable::CollectFonts(RtfExport& out) {
    for (const auto& column : m_columns) {
        for (const TTavCell& cell : column) {
            cell.CollectFonts(out);
        }
    }
}

void TTavBaseTable::WriteHTML(HtmlExport& out) {
    out.WriteLine("<TABLE BORDER=1>");
    WriteHtmlRows(out);
    out.WriteLine("</TABLE>");
}

void TTavBaseTable::WriteRTF(RtfExport& out) {
    out.AddLine("{");
    AppendRtfRows(out);
    out.AddLine("}");
}

void TTavBaseTable::WriteHtmlRows(HtmlExport& out) const {
    for (int row = 0; row < m_rows; ++row) {
        out.WriteLine("<TR> ");
        for (const auto& column : m_columns) {
            column[static_cast<std::size_t>(row)].WriteHTML(out);
        }
        out.WriteLine("</TR> ");
        out.WriteLine("");
    }
}

void TTavBaseTable::AppendRtfRows(RtfExport& out) const {
    for (int row = 0; row < m_rows; ++row) {
        const auto r = static_cast<std::size_t>(row);
        out.AddLine("\\trowd \\trgaph0");
        // Cells without width (hidden columns, cells covered by a merge)
        // are left out: word processors draw even an empty cell's edge, which
        // doubles the rule beside it.
        long rightEdge = 0;
        for (const auto& column : m_columns) {
            if (column[r].RtfWidthTwips() > 0) {
                column[r].AppendRtfFrame(out, rightEdge);
            }
        }
        out.AddLine("\\intbl {");
        for (const auto& column : m_columns) {
            if (column[r].RtfWidthTwips() > 0) {
                out.AddLine(column[r].RtfContent(out));
            }
        }
        out.AddLine("}\\row");
    }
}

double TTavBaseTable::TotalHeightCm() const {
    return PixelsToCm(TotalHeight());
}

double TTavBaseTable::TotalWidthCm() const {
    return PixelsToCm(TotalWidth());
}

int TTavBaseTable::TotalHeight() const {
    int height = 0;
    if (!m_columns.empty()) {
        for (const TTavCell& cell : m_columns.front()) {
            height += cell.Height;
        }
    }
    return height;
}

int TTavBaseTable::TotalWidth() const {
    int width = 0;
    if (m_rows > 0) {
        for (const auto& column : m_columns) {
            width += column.front().Width;
        }
    }
    return width;
}

int TTavBaseTable::ReadRowHeight(int row) const {
    if (m_rows == 0 || m_columns.empty() || row < 0 || row >= m_rows) {
        InternalError("TTavBaseTable.ReadRowHeight");
        return 0;
    }
    return m_columns.front()[static_cast<std::size_t>(row)].Height;
}

double TTavBaseTable::ReadRowHeightCm(int row) const {
    if (m_rows == 0 || m_columns.empty() || row < 0 || row >= m_rows) {
        InternalError("TTavBaseTable.ReadRowHeightCm");
        return 0.0;
    }
    return m_columns.front()[static_cast<std::size_t>(row)].HeightCm();
}

int TTavBaseTable::ReadColWidth(int col) const {
    if (m_columns.empty() || m_rows == 0 || col < 0 || col >= ColCount()) {
        InternalError("TTavBaseTable.ReadColWidth");
        return 0;
    }
    return m_columns[static_cast<std::size_t>(col)].front().Width;
}

double TTavBaseTable::ReadColWidthCm(int col) const {
    if (m_columns.empty() || m_rows == 0 || col < 0 || col >= ColCount()) {
        InternalError("TTavBaseTable.ReadColWidthCm");
        return 0.0;
    }
    return m_columns[static_cast<std::size_t>(col)].front().WidthCm();
}

int TTavBaseTable::ColCommaPlace(int col) const {
    if (m_columns.empty() || m_rows == 0 || col < 0 || col >= ColCount()) {
        InternalError("TTavBaseTable.ColCommaPlace");
        return 0;
    }
    return m_columns[static_cast<std::size_t>(col)].front().CommaPlace;
}

void TTavBaseTable::MergeRowCells(int row, int col, int count) {
    if (count <= 0 || !ValidCell(row, col) || col + count >= ColCount()) {
        InternalError("TTavBaseTable.MergeRowCells");
        return;
    }
    const auto r = static_cast<std::size_t>(row);
    TTavCell& first = m_columns[static_cast<std::size_t>(col)][r];
    const TTavCell& last = m_columns[static_cast<std::size_t>(col + count)][r];
    int width = 0;
    for (int c = col; c <= col + count; ++c) {
        width += m_columns[static_cast<std::size_t>(c)][r].Width;
    }
    first.Width = width;
    first.MergeState = TMergeState::msFirst;
    first.Span = count;
    first.Borders =
        static_cast<std::uint8_t>((first.Borders & ~bdRight) | (last.Borders & bdRight));
    for (int c = col + 1; c <= col + count; ++c) {
        TTavCell& covered = m_columns[static_cast<std::size_t>(c)][r];
        covered.Borders = 0;
        covered.Lines.clear();
        covered.AddLine("");
        covered.Width = 0;
        covered.MergeState = TMergeState::msCovered;
    }
}

void TTavBaseTable::AddRowBlock(int firstRow, int lastRow) {
    const auto pos =
        std::find_if(m_rowBlocks.begin(), m_rowBlocks.end(),
                     [firstRow](const TRowBlock& b) { return b.FirstRow >= firstRow; });
    m_rowBlocks.insert(pos, TRowBlock{firstRow, lastRow});
}

void TTavBaseTable::SetLineWidthMm(double mm) {
    if (mm == m_lineWidthMm) {
        return;
    }
    m_lineWidthMm = mm;
    for (auto& column : m_columns) {
        for (TTavCell& cell : column) {
            cell.LineWidthMm = mm;
        }
    }
}

void TTavBaseTable::RemoveDoubledRules() {
    // Each shared edge keeps one rule: the bottom rule of the cell above and
    // the right rule of the cell to the left win.
    for (int col = 0; col < ColCount(); ++col) {
        auto& column = m_columns[static_cast<std::size_t>(col)];
        for (int row = 0; row < m_rows; ++row) {
            TTavCell& cell = column[static_cast<std::size_t>(row)];
            if (row > 0 && (column[static_cast<std::size_t>(row - 1)].Borders & bdBottom)) {
                cell.Borders &= static_cast<std::uint8_t>(~bdTop);
            }
            if (col > 0 &&
                (m_columns[static_cast<std::size_t>(col - 1)][static_cast<std::size_t>(row)]
                     .Borders &
                 bdRight)) {
                cell.Borders &= static_cast<std::uint8_t>(~bdLeft);
            }
        }
    }
}

void TTavBaseTable::PaperSizes(Report& report) {
    for (int row = 0; row < m_rows; ++row) {
        double height = 0.0;
        for (const auto& column : m_columns) {
            height =
                std::max(height, column[static_cast<std::size_t>(row)].NaturalHeightCm(report));
        }
        for (auto& column : m_columns) {
            column[static_cast<std::size_t>(row)].SetHeightCm(height);
        }
    }
    for (auto& column : m_columns) {
        double width = 0.0;
        for (const TTavCell& cell : column) {
            width = std::max(width, cell.NaturalWidthCm(report));
        }
        for (TTavCell& cell : column) {
            cell.SetWidthCm(width);
        }
    }
}

void TTavBaseTable::ScreenLayout(Canvas& canvas) {
    CalcCommaPlaces(canvas);
    CalcColWidths(canvas);
    CalcRowHeights(canvas);
    RemoveDoubledRules();
    ApplyMerges();
    LayoutNeeded = false;
}

void TTavBaseTable::PaperLayout(Report& report) {
    PaperSizes(report);
    RemoveDoubledRules();
    ApplyMerges();
}

void TTavBaseTable::DrawGrid(Canvas& canvas, int x, int y) const {
    int cy = y;
    for (int row = 0; row < m_rows; ++row) {
        int cx = x;
        int height = 0;
        for (const auto& column : m_columns) {
            const TTavCell& cell = column[static_cast<std::size_t>(row)];
            cell.Draw(canvas, cx, cy);
            cx += cell.Width;
            height = cell.Height;
        }
        cy += height;
    }
}

void TTavBaseTable::PrintRow(Report& report, int row, double y) const {
    double x = report.MarginLeft();
    for (const auto& column : m_columns) {
        const TTavCell& cell = column[static_cast<std::size_t>(row)];
        cell.Print(report, x, y);
        x += cell.WidthCm();
    }
}

void TTavBaseTable::PrintRows(Report& report) const {
    const double printable = report.PageHeight() - report.MarginTop() - report.MarginBottom();
    for (int row = 0; row < m_rows; ++row) {
        const double height = ReadRowHeightCm(row);
        bool breakHere = SpaceLeft(report) < height;
        if (!breakHere) {
            for (const TRowBlock& block : m_rowBlocks) {
                if (block.FirstRow == row) {
                    double blockHeight = 0.0;
                    for (int r = block.FirstRow; r <= std::min(block.LastRow, m_rows - 1); ++r) {
                        blockHeight += ReadRowHeightCm(r);
                    }
                    breakHere = SpaceLeft(report) < blockHeight;
                    break;
                }
            }
        }
        if (breakHere && height <= printable) {
            if (CloseRule) {
                report.SetPen(clBlack, TPenStyle::psSolid,
                              m_lineWidthMm > 0.0 ? -m_lineWidthMm * 10.0 : 1.0);
                report.MoveTo(report.MarginLeft(), report.CursorY());
                report.LineTo(report.MarginLeft() + TotalWidthCm(), report.CursorY());
            }
            report.StartNewPage();
        }
        PrintRow(report, row, report.CursorY());
        report.SetCursorY(report.CursorY() + height);
    }
}

void TTavBaseTable::Draw(int x, int y, Canvas& canvas) {
    CalcCommaPlaces(canvas);
    if (m_autoSize && LayoutNeeded) {
        ScreenLayout(canvas);
    }
    DrawGrid(canvas, x, y);
}

void TTavBaseTable::Print(Report& report) {
    CalcCommaPlacesCm(report);
    if (m_autoSize) {
        PaperLayout(report);
    }
    if (m_rows > 0 && !m_columns.empty() && SpaceLeft(report) < ReadRowHeightCm(0)) {
        report.StartNewPage();
    }
    report.SetCursorX(report.MarginLeft());
    PrintRows(report);
}

void TTavBaseTable::ShowInfo() const {
    ShowDocumentMessage("Table : (" + IntText(ColCount()) + "," + IntText(m_rows) + ")");
}

int TTavBaseTable::ScreenHeight(Canvas& canvas) {
    if (m_autoSize) {
        CalcRowHeights(canvas);
    }
    CachedHeight = TotalHeight();
    return CachedHeight;
}

int TTavBaseTable::ScreenWidth(Canvas& canvas) {
    if (m_autoSize && LayoutNeeded) {
        ScreenLayout(canvas);
    }
    return TotalWidth();
}

double TTavBaseTable::ReportWidth(Report& report) {
    if (m_autoSize) {
        CalcCommaPlacesCm(report);
        PaperLayout(report);
    }
    return TotalWidthCm();
}

double TTavBaseTable::ReportHeight(Report& report) {
    if (m_autoSize) {
        CalcCommaPlacesCm(report);
        PaperLayout(report);
    }
    return TotalHeightCm();
}

void TTavBaseTable::AppendGridText(std::vector<std::string>& lines, bool asShown) const {
    for (int row = 0; row < m_rows; ++row) {
        std::vector<std::vector<std::string>> cells;
        std::size_t count = 0;
        for (const auto& column : m_columns) {
            const TTavCell& cell = column[static_cast<std::size_t>(row)];
            cells.push_back(cell.TextLines());
            if (asShown && cell.Kind == TCellKind::ckFormatLines) {
                for (std::string& line : cells.back()) {
                    std::string shown;
                    for (const TMarkupPiece& piece : SplitMarkup(line)) {
                        shown += piece.Text;
                    }
                    line = std::move(shown);
                }
            }
            count = std::max(count, cells.back().size());
        }
        for (std::size_t i = 0; i < count; ++i) {
            std::string line;
            for (const auto& cell : cells) {
                if (i < cell.size()) {
                    line += cell[i];
                }
                line += '\t';
            }
            lines.push_back(std::move(line));
        }
    }
}

void TTavBaseTable::AppendPlainText(std::vector<std::string>& lines) const {
    AppendGridText(lines);
}

} // namespace veltrio
