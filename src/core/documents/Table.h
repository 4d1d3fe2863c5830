#pragma once

#include "documents/BaseTable.h"

#include <memory>
#include <string>
#include <vector>

namespace veltrio {

// A complete table: title lines, a head row of column heads, the body (this
// grid) and footnote lines. Column operations reach the head as well; the
// table lays itself out from its contents while AutoSize is on (the default).
// Printed, it continues across pages with its title and head repeated.
class TTavTable : public TTavBaseTable {
public:
    TTavTable(int rows, int cols);
    ~TTavTable() override;

    TTavBaseTable& Head() { return *m_head; }
    const TTavBaseTable& Head() const { return *m_head; }
    std::vector<std::string> Title;
    std::vector<std::string> Footnotes;
    // With fixed widths (AutoSize off): a column whose plain text (a label,
    // a level name) would not fit widens to it, on the screen and on paper,
    // and never narrows. Merged, decimal-aligned and hidden cells keep their
    // widths.
    bool GrowToText = false;

    TTavCell* HeadCell(int col) { return m_head->ReadCell(0, col); }
    void SetColBorders(int col, std::uint8_t borders);
    void SetColAlignment(int col, TAlignment alignment);
    void SetColDecimals(int col, int decimals);
    void SetHeadHeightCm(double cm) { m_head->SetRowHeightCm(0, cm); }

    bool SetColCount(int count) override;
    bool SetColWidth(int col, int pixels) override;
    bool SetColWidthCm(int col, double cm) override;
    bool DelCol(int col) override;
    void CalcCommaPlaces(Canvas& canvas) override;
    void CalcCommaPlacesCm(Report& report) override;
    void ApplyMerges() override;
    void SetAutoSize(bool on) override;
    void CollectFonts(RtfExport& out) override;

    void Draw(int x, int y, Canvas& canvas) override;
    void Print(Report& report) override;
    int ScreenHeight(Canvas& canvas) override;
    int ScreenWidth(Canvas& canvas) override;
    double ReportWidth(Report& report) override;
    double ReportHeight(Report& report) override;
    void AppendPlainText(std::vector<std::string>& lines) const override;
    // Every title and footnote line, the first ones included; formatted
    // cells read as they are shown.
    void AppendCompleteText(std::vector<std::string>& lines) const;
    // Title, head, body and footnotes.
    void WriteHTML(HtmlExport& out) override;
    void WriteRTF(RtfExport& out) override;

protected:
    void ScreenLayout(Canvas& canvas) override;
    void PaperLayout(Report& report) override;

private:
    template <typename F> void ForColumnCells(int col, F&& apply);
    // Widens each column to need(cell) of its widest measured cell.
    template <typename Need> void GrowColumnsTo(Need need);
    void GrowColumns(Canvas& canvas);
    void GrowColumnsCm(Report& report);
    static int LinesHeight(Canvas& canvas, const std::vector<std::string>& lines);
    static int LinesWidth(Canvas& canvas, const std::vector<std::string>& lines);
    // The title lines and the head from the cursor down; the cursor ends at
    // the top of the body.
    void PrintTitleAndHead(Report& report) const;

    std::unique_ptr<TTavBaseTable> m_head;
};

} // namespace veltrio
