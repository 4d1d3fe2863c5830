#pragma once

#include "documents/BrowseObject.h"
#include "documents/Graphics.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace veltrio {

enum class TFormatKind : std::uint8_t {
    BlockBegin = 0,
    BlockEnd = 1,
    FontSet = 2,
    PageBreak = 3,
    MarginLeft = 4,
    MarginRight = 5,
    MarginTop = 6,
    MarginBottom = 7,
    Landscape = 8,
    Portrait = 9,
};

std::string_view FormatKindName(TFormatKind kind);

// A format item: keep-together blocks, font changes, page breaks, margins
// and orientation. It draws nothing itself; it changes how the items after
// it are drawn and printed.
class TTavFormat : public TTavBrowseObject {
public:
    explicit TTavFormat(TFormatKind kind, double value = 0.0) : Kind(kind), Value(value) {}
    TTavFormat(TFormatKind kind, const TFont& font) : Kind(kind), Font(font) {}

    TFormatKind Kind;
    // FontSet only.
    std::optional<TFont> Font;
    // Margins, in cm.
    double Value = 0.0;

    void Draw(int x, int y, Canvas& canvas) override;
    void Print(Report& report) override;
    void ShowInfo() const override;
    bool IsFormat() const override { return true; }
    double ReportWidth(Report&) override { return 0.0; }
    double ReportHeight(Report&) override { return 0.0; }
    bool FitsOnPage(Report& report, TTavContents& document) override;
    // FontSet: the page's font changes to the item's font; other kinds
    // write nothing.
    void WriteHTML(HtmlExport& out) override;
    // FontSet: the item's font code, which becomes the base font.
    void WriteRTF(RtfExport& out) override;

    // Height in cm of the block this BlockBegin opens, measured with the
    // current report font; −1 when the block is not closed before the end
    // of the document, another BlockBegin or a PageBreak. The document
    // cursor stands on this item and is left there.
    double BlockHeight(Report& report, TTavContents& document);
};

} // namespace veltrio
