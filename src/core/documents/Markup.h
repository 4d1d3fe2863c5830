#pragma once

#include "documents/Graphics.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltrio {

class Canvas;
class HtmlExport;
class Report;
class RtfExport;

// Formatted lines: plain text with embedded commands, each started by "&".
//   "&Font...%name%size%style%colour%text;"  the text in that font
//   "&sub" text ";" / "&super" text ";"      lowered / raised, reduced font
//   "&" name, ended by a space               one symbol ("&sigma ", "&pm ")
// The space after a symbol name stays part of the following text.

struct TSymbolInfo {
    std::string_view Name;
    // Font and character code of the classic symbol encoding (RTF output).
    std::string_view FontName;
    unsigned char Code;
    // The character that is shown.
    char32_t Unicode;
    std::string_view HtmlName;
};

std::span<const TSymbolInfo> SymbolTable();
// Exact, case-sensitive; nullptr for an unknown name.
const TSymbolInfo* FindSymbol(std::string_view name);

// Text written in the classic Symbol font encoding ("abc" in Symbol shows
// alpha, beta, chi) as the Unicode characters it shows, so that no Symbol
// font has to be installed. Characters without a symbol stay as they are.
std::string SymbolFontToUnicode(std::string_view text);

enum class TMarkupKind { mkText, mkFontRun, mkSubscript, mkSuperscript, mkSymbol };

struct TMarkupPiece {
    TMarkupKind Kind = TMarkupKind::mkText;
    // What is shown: the literal text, the run's or script's text, or the
    // symbol's character ("?" for an unknown name).
    std::string Text;
    // The command as written after "&" (empty for literal text).
    std::string Command;
    // Symbols: the table entry, nullptr when unknown.
    const TSymbolInfo* Symbol = nullptr;
    // Font runs: the fields as written; empty when missing.
    std::string FontName;
    std::string FontSize;
    std::string FontStyle;
    std::string FontColor;
};

// The pieces of a formatted line in order.
std::vector<TMarkupPiece> SplitMarkup(std::string_view line);

// The font of a run; fields that are missing or not integers fall back to
// the current font's.
TFont RunFont(const TMarkupPiece& run, const TFont& current);
// Sub- and superscripts: the current font without style at 0.7 × its size.
TFont ReducedFont(const TFont& current);

// On a canvas, with the canvas font as the current font.
int MarkupScreenHeight(Canvas& canvas, std::string_view line);
int MarkupScreenWidth(Canvas& canvas, std::string_view line);
// Every piece bottom-aligned on y + MarkupScreenHeight. The canvas font is
// unchanged afterwards.
void DrawMarkup(Canvas& canvas, int x, int y, std::string_view line);

// On a report, with the report font as the current font.
double MarkupReportHeight(Report& report, std::string_view line);
double MarkupReportWidth(Report& report, std::string_view line);
// The line from x on the cursor's base line; cursor and font are unchanged.
void PrintMarkupAt(Report& report, double x, std::string_view line);

// The line as HTML: font runs as FONT elements carrying the face, scripts as
// sub and sup, symbols as their characters in a FONT element of the
// symbol's face (or their HTML names when the export's switch says so).
std::string MarkupToHtml(std::string_view line, const HtmlExport& out);
// The line as RTF: font runs in their own font code, scripts with
// "\sub "/"\super " … "\nosupersub ", symbols in their font; each local font
// returns to the export's base font.
std::string MarkupToRtf(std::string_view line, RtfExport& out);
// The fonts and colours the line needs in RTF: the symbol fonts, then the
// font and colour of every font run.
void CollectMarkupFonts(std::string_view line, RtfExport& out);

} // namespace veltrio
