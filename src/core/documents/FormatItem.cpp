#include "documents/FormatItem.h"

#include "documents/Canvas.h"
#include "documents/Contents.h"
#include "documents/DocumentMessages.h"
#include "documents/HtmlExport.h"
#include "documents/Report.h"
#include "documents/RtfExport.h"

#include <string>

namespace veltrio {

std::string_view FormatKindName(TFormatKind kind) {
    switch (kind) {
    case TFormatKind::BlockBegin:
        return "BlockBegin";
    case TFormatKind::BlockEnd:
        return "BlockEnd";
    case TFormatKind::FontSet:
        return "FontSet";
    case TFormatKind::PageBreak:
        return "PageBreak";
    case TFormatKind::MarginLeft:
        return "MarginLeft";
    case TFormatKind::MarginRight:
        return "MarginRight";
    case TFormatKind::MarginTop:
        return "MarginTop";
    case TFormatKind::MarginBottom:
        return "MarginBottom";
    case TFormatKind::Landscape:
        return "Landscape";
    case TFormatKind::Portrait:
        return "Portrait";
    }
    return "Unknown";
}

void TTavFormat::Draw(int, int, Canvas& canvas) {
    if (Kind == TFormatKind::FontSet && Font) {
        canvas.SetFont(*Font);
    }
}

void TTavFormat::Print(Report& report) {
    switch (Kind) {
    case TFormatKind::BlockBegin:
    case TFormatKind::BlockEnd:
        break;
    case TFormatKind::FontSet:
        if (Font) {
            report.SetFont(*Font);
        }
        break;
    case TFormatKind::PageBreak:
        report.StartNewPage();
        break;
    case TFormatKind::MarginLeft:
        report.SetMarginLeft(Value);
        report.AreaFromMargins();
        break;
    case TFormatKind::MarginRight:
        report.SetMarginRight(Value);
        report.AreaFromMargins();
        break;
    case TFormatKind::MarginTop:
        report.SetMarginTop(Value);
        report.AreaFromMargins();
        break;
    case TFormatKind::MarginBottom:
        report.SetMarginBottom(Value);
        report.AreaFromMargins();
        break;
    case TFormatKind::Landscape:
        report.SetOrientation(TOrientation::poLandscape);
        break;
    case TFormatKind::Portrait:
        report.SetOrientation(TOrientation::poPortrait);
        break;
    }
}

void TTavFormat::ShowInfo() const {
    std::string text = "Format : " + std::string(FormatKindName(Kind));
    if (Kind == TFormatKind::FontSet && Font) {
        text += " " + Font->Name;
    }
    ShowDocumentMessage(text);
}

bool TTavFormat::FitsOnPage(Report& report, TTavContents& document) {
    if (Kind != TFormatKind::BlockBegin) {
        return true;
    }
    const double height = BlockHeight(report, document);
    const double lineHeight = report.RowHeight();
    if (lineHeight != 0.0 && height / lineHeight > report.RemainingLines()) {
        // A block taller than a whole page is printed where it stands.
        const double printable = report.PageHeight() - report.MarginTop() - report.MarginBottom();
        return height > printable;
    }
    return SpaceLeft(report) > height;
}

double TTavFormat::BlockHeight(Report& report, TTavContents& document) {
    const int start = document.CursorIndex();
    double sum = 0.0;
    bool closed = false;
    for (TTavBrowseObject* item = document.Next(); item != nullptr; item = document.Next()) {
        if (const auto* format = dynamic_cast<const TTavFormat*>(item)) {
            if (format->Kind == TFormatKind::BlockEnd) {
                closed = true;
                break;
            }
            if (format->Kind == TFormatKind::BlockBegin || format->Kind == TFormatKind::PageBreak) {
                break;
            }
            continue; // fonts, margins and orientation are passed over
        }
        sum += item->ReportHeight(report);
    }
    document.SetCursorIndex(start);
    return closed ? sum : -1.0;
}

void TTavFormat::WriteHTML(HtmlExport& out) {
    // A page break also holds when the page is printed from a browser.
    if (Kind == TFormatKind::PageBreak) {
        out.WriteLine("<DIV STYLE=\"page-break-after: always\"></DIV>");
        return;
    }
    if (Kind != TFormatKind::FontSet || !Font) {
        return;
    }
    const TFont& font = *Font;
    if (!out.CurrentFont) {
        out.Write(HtmlOpeningTags(font, nullptr));
        out.Write("<FONT FACE=\"" + HtmlText(font.Name) + "\" ");
        out.Write(out.SizeAttribute(font.Size));
        out.WriteLine(">");
        out.FontElementOpen = true;
    } else {
        const TFont current = *out.CurrentFont;
        const bool sameFont =
            font.Color == current.Color && font.Name == current.Name && font.Size == current.Size;
        // The open element already carries the same face, size and colour:
        // only the styles change.
        if (out.FontElementOpen && !sameFont) {
            out.Write("</FONT>");
            out.FontElementOpen = false;
        }
        out.WriteLine(HtmlClosingTags(current, &font));
        out.Write(HtmlOpeningTags(font, &current));
        if (sameFont) {
            out.WriteLine("");
        } else {
            out.Write("<FONT ");
            if (font.Color != current.Color) {
                out.Write("COLOR=\"" + HtmlColor(font.Color) + "\" ");
            }
            out.Write("FACE=\"" + HtmlText(font.Name) + "\" ");
            out.Write(out.SizeAttribute(font.Size, true));
            out.Write(">");
            out.FontElementOpen = true;
            out.WriteLine("");
        }
    }
    out.CurrentFont = font;
}

void TTavFormat::WriteRTF(RtfExport& out) {
    if (Kind == TFormatKind::FontSet && Font) {
        out.AddLine(out.FontCode(*Font, true));
    } else if (Kind == TFormatKind::PageBreak) {
        // Forms meant for one reader each (one laboratory a page) must not
        // run into each other in a word processor either.
        out.AddLine("\\page");
    }
}

} // namespace veltrio
