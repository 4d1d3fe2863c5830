#include "documents/DocumentExport.h"

#include "base/AtomicFile.h"

#include "documents/BaseTable.h"
#include "documents/Canvas.h"
#include "documents/Contents.h"
#include "documents/FormatItem.h"
#include "documents/HtmlExport.h"
#include "documents/Markup.h"
#include "documents/RtfExport.h"
#include "documents/TavPrinter.h"
#include "documents/TextItems.h"
#include <cmath>

namespace veltrio {

namespace {

const TFont* FontSetFont(const TTavBrowseObject& item) {
    const auto* format = dynamic_cast<const TTavFormat*>(&item);
    if (format != nullptr && format->Kind == TFormatKind::FontSet && format->Font) {
        return &*format->Font;
    }
    return nullptr;
}

void CollectDocumentFonts(TTavContents& document, RtfExport& out) {
    for (const TFont* font : {&document.DefaultFont, &document.PageHeaderFont,
                              &document.PageFooterFont, &document.PageNumberFont}) {
        out.AddFontAndColor(*font);
    }
    for (std::size_t i = 0; i < document.Count(); ++i) {
        if (const TFont* font = FontSetFont(document.Item(i))) {
            out.AddFontAndColor(*font);
        }
    }
    out.AddFont("Symbol");
    out.AddFont("Times New Roman");
    for (std::size_t i = 0; i < document.Count(); ++i) {
        TTavBrowseObject& item = document.Item(i);
        if (auto* table = dynamic_cast<TTavBaseTable*>(&item)) {
            table->CollectFonts(out);
        } else if (const auto* line = dynamic_cast<const TTavFormatText*>(&item)) {
            // Font runs of formatted lines need their fonts declared as much
            // as those in table cells.
            CollectMarkupFonts(line->Text, out);
        }
    }
}

// The page as the printer lays it out: A4 with the print engine's margins,
// the page number at the top right and the footer lines (file, date) at the
// bottom, so that a word processor shows the pages as they print.
std::string RtfPageSetup(const TTavContents& document, RtfExport& out) {
    auto twips = [](double cm) { return std::to_string(std::lround(cm * 566.929)); };
    const double left =
        document.InitialMarginLeft != MissingValue ? document.InitialMarginLeft : PrintMarginLeftCm;
    std::string rtf = "\\paperw" + twips(PaperWidthCm) + "\\paperh" + twips(PaperHeightCm) +
                      "\\margl" + twips(left) + "\\margr" + twips(PrintMarginRightCm) + "\\margt" +
                      twips(PrintMarginTopCm) + "\\margb" + twips(PrintMarginBottomCm) +
                      "\\headery" + twips(PrintMarginTopCm / 2) + "\\footery" +
                      twips(PrintMarginBottomCm / 2) + "\n";
    const std::string page = "{\\chpgn}";
    const std::string count = "{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}";
    std::string number;
    switch (document.PageNumberFormat) {
    case TPageNumberFormat::pnfSideNr:
        number = RtfText(document.PageNrText1) + " " + page;
        break;
    case TPageNumberFormat::pnfSideNrAfAntal:
        number = RtfText(document.PageNrText1) + " " + page + " " + RtfText(document.PageNrText2) +
                 " " + count;
        break;
    case TPageNumberFormat::pnfNr:
        number = page;
        break;
    case TPageNumberFormat::pnfNrAfAntal:
        number = page + "/" + count;
        break;
    }
    const bool numberOnTop =
        document.PageNumbers && document.PageNumberPosition == TPageNumberPosition::pnpTopRight;
    const bool numberBelow = document.PageNumbers && !numberOnTop;
    auto lines = [&](const std::vector<std::string>& texts, const TFont& font) {
        std::string group;
        for (const std::string& line : texts) {
            group +=
                "\\pard\\plain\\ql " + out.FontCode(font, false) + " " + RtfText(line) + "\\par\n";
        }
        return group;
    };
    auto numberLine = [&] {
        return "\\pard\\plain\\qr " + out.FontCode(document.PageNumberFont, false) + " " + number +
               "\\par\n";
    };
    if (numberOnTop || !document.PageHeader.empty()) {
        rtf += "{\\header\n" + (numberOnTop ? numberLine() : std::string()) +
               lines(document.PageHeader, document.PageHeaderFont) + "}\n";
    }
    if (numberBelow || !document.PageFooter.empty()) {
        rtf += "{\\footer\n" + lines(document.PageFooter, document.PageFooterFont) +
               (numberBelow ? numberLine() : std::string()) + "}\n";
    }
    return rtf;
}

std::string RtfHeader(const RtfExport& out, const std::string& pageSetup) {
    std::string header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl\n";
    for (std::size_t i = 0; i < out.Fonts().size(); ++i) {
        header +=
            "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 " + RtfText(out.Fonts()[i]) + ";}\n";
    }
    header += "}\n{\\colortbl\n";
    for (const TColor color : out.Colors()) {
        header += "\\red" + std::to_string(ColorRed(color)) + "\\green" +
                  std::to_string(ColorGreen(color)) + "\\blue" + std::to_string(ColorBlue(color)) +
                  ";\n";
    }
    header += "}\n" + pageSetup + "\\pard\\plain\n";
    return header;
}

// Tables as they print: thin collapsed rules where the cells have them
// (instead of the grid of BORDER=1), numbers right-aligned with figures of
// one width, hidden columns without a box, the document's font and size.
std::string HtmlStyleSheet(const TFont& font) {
    std::string family;
    for (const char c : font.Name) {
        if (c != '"' && c != '<' && c != '>' && c != '\\' && c != ';' && c != '{' && c != '}') {
            family += c;
        }
    }
    return "<STYLE>\n"
           "body { font-family: \"" +
           family + "\", \"Liberation Serif\", serif; font-size: " +
           std::to_string(font.Size > 0 ? font.Size : 10) +
           "pt; }\n"
           "table { border-collapse: collapse; border: none; margin: 0.2em 0 0.8em 0; }\n"
           "caption { text-align: left; white-space: nowrap; }\n"
           "td { border: none; padding: 1px 4px; vertical-align: top; }\n"
           "td.t { border-top: 1px solid #000; }\n"
           "td.b { border-bottom: 1px solid #000; }\n"
           "td.l { border-left: 1px solid #000; }\n"
           "td.r { border-right: 1px solid #000; }\n"
           "td.d { text-align: right; font-variant-numeric: tabular-nums; white-space: nowrap; }\n"
           "td.h { padding: 0; border: none; font-size: 0; line-height: 0; }\n"
           "</STYLE>";
}

} // namespace

void LayOutForExport(TTavContents& document, Canvas& canvas) {
    canvas.SetFont(document.DefaultFont);
    for (std::size_t i = 0; i < document.Count(); ++i) {
        TTavBrowseObject& item = document.Item(i);
        if (const TFont* font = FontSetFont(item)) {
            canvas.SetFont(*font);
        } else if (auto* table = dynamic_cast<TTavBaseTable*>(&item)) {
            table->ScreenWidth(canvas);
        }
    }
    canvas.SetFont(document.DefaultFont);
}

std::string WriteDocumentRtf(TTavContents& document) {
    RtfExport out;
    CollectDocumentFonts(document, out);
    out.AddLine(out.FontCode(document.DefaultFont, true));
    for (std::size_t i = 0; i < document.Count(); ++i) {
        document.Item(i).WriteRTF(out);
    }
    const std::string pageSetup = RtfPageSetup(document, out);
    std::string rtf = RtfHeader(out, pageSetup);
    for (const std::string& line : out.Lines()) {
        rtf += line;
        rtf += '\n';
    }
    rtf += "}\n";
    return rtf;
}

void WriteDocumentHtml(TTavContents& document, HtmlExport& out) {
    out.BaseFont = document.DefaultFont;
    out.CurrentFont.reset();
    out.FontElementOpen = false;
    out.WriteLine("<!DOCTYPE html>");
    out.WriteLine("<HTML>");
    out.WriteLine("<HEAD>");
    out.WriteLine("<META charset=\"utf-8\">");
    out.WriteLine("<TITLE>" + HtmlText(document.PrintTitle) + "</TITLE>");
    out.WriteLine(HtmlStyleSheet(document.DefaultFont));
    out.WriteLine("</HEAD>");
    out.WriteLine("<BODY>");
    for (std::size_t i = 0; i < document.Count(); ++i) {
        document.Item(i).WriteHTML(out);
    }
    if (out.FontElementOpen) {
        out.WriteLine("</FONT>");
        out.FontElementOpen = false;
    }
    out.WriteLine("</BODY>");
    out.WriteLine("</HTML>");
}

void WriteDocumentHtml(TTavContents& document, const std::filesystem::path& path,
                       const THtmlOptions& options) {
    HtmlExport out(path);
    out.SymbolNames = options.SymbolNames;
    out.CellSizes = options.CellSizes;
    auto writePage = [&path, &out] {
        std::string error;
        if (!WriteFileAtomically(path, out.Text(), &error)) {
            throw EExportError(error);
        }
    };
    try {
        WriteDocumentHtml(document, out);
    } catch (...) {
        writePage();
        throw;
    }
    writePage();
}

} // namespace veltrio
