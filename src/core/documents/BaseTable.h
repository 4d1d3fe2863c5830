#pragma once

#include "documents/BrowseObject.h"
#include "documents/Cell.h"

#include <string>
#include <vector>

namespace veltrio {

// Rows that stay together on one printed page when they fit on a page.
struct TRowBlock {
    int FirstRow = 0;
    int LastRow = 0;
};

// A grid of cells, rows and columns 0-based. The table owns its cells.
// Misuse (a cell outside the grid, a negative count) shows
// "Internal Error: TTavBaseTable.<operation>" and changes nothing.
class TTavBaseTable : public TTavBrowseObject {
public:
    static constexpr int MaxRows = 5000;
    static constexpr int MaxCols = 100;

    TTavBaseTable(int rows, int cols);
    ~TTavBaseTable() override;

    int RowCount() const { return m_rows; }
    int ColCount() const { return static_cast<int>(m_columns.size()); }
    // nullptr (after the message) outside the grid.
    TTavCell* ReadCell(int row, int col);
    const TTavCell* ReadCell(int row, int col) const;

    // Column operations also reach the head of a TTavTable; row operations
    // the body only. Each returns false after a message.
    virtual bool SetColCount(int count);
    virtual bool SetRowCount(int count);
    virtual bool SetColWidth(int col, int pixels);
    virtual bool SetColWidthCm(int col, double cm);
    virtual bool SetRowHeightCm(int row, double cm);
    virtual bool DelCol(int col);
    virtual void CalcRowHeights(Canvas& canvas);
    virtual void CalcCommaPlaces(Canvas& canvas);
    virtual void CalcCommaPlacesCm(Report& report);
    virtual void ApplyMerges();
    virtual void SetAutoSize(bool on);
    // Fonts and colours that the RTF writer declares before the document.
    virtual void CollectFonts(RtfExport& out);

    bool AutoSize() const { return m_autoSize; }
    double TotalHeightCm() const;
    double TotalWidthCm() const;
    int TotalHeight() const;
    int TotalWidth() const;

    int ReadRowHeight(int row) const;
    double ReadRowHeightCm(int row) const;
    int ReadColWidth(int col) const;
    double ReadColWidthCm(int col) const;
    int ColCommaPlace(int col) const;

    void MergeRowCells(int row, int col, int count);
    void AddRowBlock(int firstRow, int lastRow);
    const std::vector<TRowBlock>& RowBlocks() const { return m_rowBlocks; }
    void SetLineWidthMm(double mm);
    double LineWidthMm() const { return m_lineWidthMm; }

    // Rule under the last row printed before a page break inside the table.
    bool CloseRule = true;
    // Set when the screen layout has to be computed again.
    bool LayoutNeeded = true;

    // Layout of the own grid.
    void CalcColWidths(Canvas& canvas);
    void RemoveDoubledRules();
    void PaperSizes(Report& report);

    // Document item.
    void Draw(int x, int y, Canvas& canvas) override;
    void Print(Report& report) override;
    void ShowInfo() const override;
    int ScreenHeight(Canvas& canvas) override;
    int ScreenWidth(Canvas& canvas) override;
    double ReportWidth(Report& report) override;
    double ReportHeight(Report& report) override;
    // Tables break pages themselves.
    bool FitsOnPage(Report&, TTavContents&) override { return true; }
    void AppendPlainText(std::vector<std::string>& lines) const override;
    // The grid as an HTML table / an RTF group of rows.
    void WriteHTML(HtmlExport& out) override;
    void WriteRTF(RtfExport& out) override;

    // Every row as an HTML "<TR>" element.
    void WriteHtmlRows(HtmlExport& out) const;
    // Every row as an RTF table row: "\trowd", the cells' rules and right
    // edges, then their contents in one group.
    void AppendRtfRows(RtfExport& out) const;

    // The grid as text: per row as many lines as its tallest cell, each
    // cell's line followed by a TAB character. With asShown, formatted lines
    // read as they are shown ("&pm 2.250" as "± 2.250"), for readers of text
    // files; otherwise as written.
    void AppendGridText(std::vector<std::string>& lines, bool asShown = false) const;
    // The grid at (x, y) in pixels.
    void DrawGrid(Canvas& canvas, int x, int y) const;
    // The cells of one row from the left margin with their top at y (cm).
    void PrintRow(Report& report, int row, double y) const;
    // All rows from the cursor down, breaking pages between rows.
    void PrintRows(Report& report) const;

protected:
    // The bare grid's own screen layout.
    virtual void ScreenLayout(Canvas& canvas);
    // Paper sizes and merges before printing or measuring on paper.
    virtual void PaperLayout(Report& report);
    void SetAutoSizeOwn(bool on);

private:
    bool ValidCell(int row, int col) const;

    std::vector<std::vector<TTavCell>> m_columns;
    int m_rows = 0;
    bool m_autoSize = false;
    double m_lineWidthMm = -1.0;
    std::vector<TRowBlock> m_rowBlocks;
};

} // namespace veltrio
