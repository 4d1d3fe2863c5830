#pragma once

#include "documents/Graphics.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrio {

class Canvas;

enum class TOrientation { poPortrait, poLandscape };

// A report pen. Width < 0 is −Width hundredths of a centimetre; Width >= 0
// is in device pixels, 0 and 1 being the thinnest line the device draws.
struct TReportPen {
    TColor Color = clBlack;
    TPenStyle Style = TPenStyle::psSolid;
    double Width = 1.0;

    bool operator==(const TReportPen&) const = default;
};

// The print engine: paginated output in centimetres, measured from the
// top-left corner of the page. The cursor's Y is the base line of the text
// printed there. The engine keeps the cursor, the margins, the printable
// section, the font stack, the pen and the page events; a device (a printer,
// a PDF file, a test recorder) supplies the measures and the drawing.
//
// Execute() runs the report twice: a counting pass that raises every event
// but draws nothing, then the output pass. The page count of the first pass
// is what PageCountPlaceholder() prints in the second.
class Report {
public:
    using Handler = std::function<void(Report&)>;

    virtual ~Report();

    // Events. OnPrintHeader and OnNewPage run at the start of every page
    // (in that order), OnPrintFooter at its end.
    Handler OnBeforePrint;
    Handler OnPrint;
    Handler OnPrintHeader;
    Handler OnPrintFooter;
    Handler OnNewPage;

    void Execute();
    bool Counting() const { return m_counting; }
    // Pages started so far in this pass, 1 on the first page.
    int PageNumber() const { return m_page; }
    // Pages of the last counting pass (0 before the first run).
    int CountedPages() const { return m_countedPages; }
    // The page count as printed text; in the counting pass a stand-in of
    // the same kind.
    std::string PageCountPlaceholder() const;

    // Settings.
    void SetTitle(std::string_view title);
    const std::string& Title() const { return m_title; }
    // Page size in portrait orientation.
    void SetPaperSize(double widthCm, double heightCm);
    // Applies from the next page on.
    void SetOrientation(TOrientation orientation) { m_orientation = orientation; }
    TOrientation Orientation() const { return m_orientation; }
    void SetPrintQuality(int quality) { m_printQuality = quality; }
    // Horizontal resolution of the output device in dots per inch.
    virtual int DeviceResolution() const { return 300; }
    int PrintQuality() const { return m_printQuality; }
    double PageWidth() const;
    double PageHeight() const;

    double MarginLeft() const { return m_marginLeft; }
    double MarginRight() const { return m_marginRight; }
    double MarginTop() const { return m_marginTop; }
    double MarginBottom() const { return m_marginBottom; }
    void SetMarginLeft(double cm) { m_marginLeft = cm; }
    void SetMarginRight(double cm) { m_marginRight = cm; }
    void SetMarginTop(double cm) { m_marginTop = cm; }
    void SetMarginBottom(double cm) { m_marginBottom = cm; }

    // The printable section.
    double AreaLeft() const { return m_areaLeft; }
    double AreaRight() const { return m_areaRight; }
    double AreaTop() const { return m_areaTop; }
    double AreaBottom() const { return m_areaBottom; }
    void SetAreaTop(double cm) { m_areaTop = cm; }
    void AreaFromMargins();

    // Height kept free above the bottom of the section for the page footer.
    double FooterHeight() const { return m_footerHeight; }
    void SetFooterHeight(double cm) { m_footerHeight = cm; }

    // Cursor.
    double CursorX() const { return m_cursorX; }
    double CursorY() const { return m_cursorY; }
    void SetCursorX(double cm) { m_cursorX = cm; }
    void SetCursorY(double cm) { m_cursorY = cm; }
    void GotoXY(double x, double y);
    void HomeCursor();
    // Cursor Y onto the last line of the section, X to its left edge.
    void BottomLine();
    // Line height of the current font.
    double RowHeight();
    // Whole lines between the cursor and the bottom of the section.
    int RemainingLines();

    // Fonts.
    const TFont& Font() const { return m_font; }
    void SetFont(const TFont& font) { m_font = font; }
    void SetFontName(std::string_view name) { m_font.Name = std::string(name); }
    void SetFontSize(int points) { m_font.Size = points; }
    void SetFontColor(TColor color) { m_font.Color = color; }
    void SetBold(bool on) { m_font.Bold = on; }
    void SetItalic(bool on) { m_font.Italic = on; }
    void SetUnderline(bool on) { m_font.Underline = on; }
    void SetStrikeOut(bool on) { m_font.StrikeOut = on; }
    void PushFont();
    // Popping an empty stack keeps the current font.
    void PopFont();

    // Text in the current font on the cursor's base line. PrintAtCursor
    // advances the cursor and honours TAB characters (stops every TabWidth
    // from the left edge of the section); the others leave it.
    void PrintAtCursor(std::string_view text);
    void PrintLeftAt(std::string_view text, double x);
    void PrintRightAt(std::string_view text, double x);
    void PrintCenteredAt(std::string_view text, double x);
    double TextWidthCm(std::string_view text);
    double TabWidth() const { return m_tabWidth; }
    void SetTabWidth(double cm) { m_tabWidth = cm; }

    // Graphics.
    void SetPen(TColor color, TPenStyle style, double width);
    const TReportPen& Pen() const { return m_pen; }
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void FillRect(double x1, double y1, double x2, double y2, TColor color);
    void StretchPicture(double x1, double y1, double x2, double y2, const TPicture& picture);
    // A graphic drawn through a canvas onto the rectangle of the given size
    // at (x, y): charts print their pictures this way.
    void DrawGraphicAt(double x, double y, double widthCm, double heightCm,
                       const std::function<void(Canvas&)>& paint);

    // Paging.
    void StartNewPage();

protected:
    Report();

    // Measures (also used in the counting pass).
    virtual double FontLineHeight(const TFont& font) = 0;
    virtual double FontTextWidth(const TFont& font, std::string_view text) = 0;
    // Output (never called in the counting pass).
    virtual void DeviceBeginDocument(const std::string& title) = 0;
    virtual void DeviceBeginPage(double widthCm, double heightCm) = 0;
    virtual void DeviceEndPage() = 0;
    virtual void DeviceEndDocument() = 0;
    virtual void DeviceText(double x, double baseline, const TFont& font,
                            std::string_view text) = 0;
    virtual void DeviceLine(double x1, double y1, double x2, double y2, const TReportPen& pen) = 0;
    virtual void DeviceFillRect(double x1, double y1, double x2, double y2, TColor color) = 0;
    virtual void DeviceStretchPicture(double x1, double y1, double x2, double y2,
                                      const TPicture& picture) = 0;
    virtual void DeviceGraphic(double x, double y, double widthCm, double heightCm,
                               const std::function<void(Canvas&)>& paint) = 0;

private:
    struct Settings {
        double marginLeft, marginRight, marginTop, marginBottom;
        TOrientation orientation;
        TFont font;
    };
    void RunPass(bool counting, const Settings& settings);
    void BeginPage();
    void EndPage();
    void Fire(const Handler& handler);

    std::string m_title;
    double m_paperWidth = 21.0;
    double m_paperHeight = 29.7;
    TOrientation m_orientation = TOrientation::poPortrait;
    TOrientation m_pageOrientation = TOrientation::poPortrait;
    int m_printQuality = 0;
    double m_marginLeft = 1.0;
    double m_marginRight = 1.0;
    double m_marginTop = 1.0;
    double m_marginBottom = 1.0;
    double m_areaLeft = 0.0;
    double m_areaRight = 0.0;
    double m_areaTop = 0.0;
    double m_areaBottom = 0.0;
    double m_footerHeight = 0.0;
    double m_cursorX = 0.0;
    double m_cursorY = 0.0;
    double m_penX = 0.0;
    double m_penY = 0.0;
    double m_tabWidth = 1.25;
    TFont m_font;
    std::vector<TFont> m_fontStack;
    TReportPen m_pen;
    bool m_counting = false;
    bool m_running = false;
    int m_page = 0;
    int m_countedPages = 0;
};

} // namespace veltrio
