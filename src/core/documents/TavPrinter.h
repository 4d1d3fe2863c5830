#pragma once

#include "base/Missing.h"
#include "documents/Graphics.h"

#include <string>

namespace veltrio {

class Report;
class TTavContents;

// Prints a document through the print engine: page header with the
// background picture and the page number, the items with their fit tests
// and page breaks, and the page footer.
// The page that documents print on: A4, with these margins (a document's
// InitialMarginLeft replaces the left one).
inline constexpr double PaperWidthCm = 21.0;
inline constexpr double PaperHeightCm = 29.7;
inline constexpr double PrintMarginLeftCm = 1.0;
inline constexpr double PrintMarginRightCm = 1.0;
inline constexpr double PrintMarginTopCm = 2.0;
inline constexpr double PrintMarginBottomCm = 1.0;

class TTavPrinter {
public:
    TTavContents* Document = nullptr;
    int PageCounter = 0;
    int PrintedPages = 0;
    // The page count when known beforehand; otherwise the engine's count is
    // printed.
    int TotalPages = MissingCount;
    int CurrentPage() const { return PageCounter + 1; }
    TFont Font{"Times New Roman", 12};

    // Sets up the engine (margins 1, 1, 2, 1 cm and the printer font),
    // runs it with this printer's events and leaves the document cursor
    // where it was.
    void Generate(Report& report);

    // Engine events.
    void BeforePrint(Report& report);
    void PrintBody(Report& report);
    void PrintHeader(Report& report);
    void PrintFooter(Report& report);

    // The page number as printed on the current page.
    std::string PageNumberText(const Report& report) const;
    // Print quality for a printer resolution: 75 dpi draft (−1), 150 low
    // (−2), 300 medium (−3), 600 high (−4), others medium.
    static int PrintQualityFor(int dpi);
};

} // namespace veltrio
