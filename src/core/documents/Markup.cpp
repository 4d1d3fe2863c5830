#include "documents/Markup.h"

#include "base/TextUtil.h"
#include "documents/Canvas.h"
#include "documents/HtmlExport.h"
#include "documents/Report.h"
#include "documents/RtfExport.h"
#include "documents/Units.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace veltrio {

namespace {

// clang-format off
constexpr std::array<TSymbolInfo, 36> kSymbols = {{
    {"alpha",   "Symbol", 'a',  0x03B1, "&alpha"},
    {"beta",    "Symbol", 'b',  0x03B2, "&beta"},
    {"gamma",   "Symbol", 'g',  0x03B3, "&gamma"},
    {"delta",   "Symbol", 'd',  0x03B4, "&delta"},
    {"epsilon", "Symbol", 'e',  0x03B5, "&epsilon"},
    {"zeta",    "Symbol", 'z',  0x03B6, "&zeta"},
    {"phi",     "Symbol", 'f',  0x03C6, "&phi"},
    {"chi",     "Symbol", 'c',  0x03C7, "&chi"},
    {"iota",    "Symbol", 'i',  0x03B9, "&iota"},
    {"ny",      "Symbol", 'n',  0x03BD, "&ny"},
    {"kappa",   "Symbol", 'k',  0x03BA, "&kappa"},
    {"lambda",  "Symbol", 'l',  0x03BB, "&lambda"},
    {"pi",      "Symbol", 'p',  0x03C0, "&pi"},
    {"my",      "Symbol", 'm',  0x03BC, "&my"},
    {"eta",     "Symbol", 'h',  0x03B7, "&eta"},
    // Omega is 'w' in the Symbol encoding; 'o' there is omicron.
    {"omega",   "Symbol", 'w',  0x03C9, "&omega"},
    {"sigma",   "Symbol", 's',  0x03C3, "&sigma"},
    {"rho",     "Symbol", 'r',  0x03C1, "&rho"},
    {"tau",     "Symbol", 't',  0x03C4, "&tau"},
    {"psi",     "Symbol", 'y',  0x03C8, "&psi"},
    {"xi",      "Symbol", 'x',  0x03BE, "&xi"},
    {"theta",   "Symbol", 'q',  0x03B8, "&theta"},
    {"pm",      "Symbol", 0xB1, 0x00B1, "&plusmn"},
    {"amp",     "Symbol", 0x26, 0x0026, "&amp"},
    {"cong",    "Symbol", 0x40, 0x2245, "???"},
    {"sqr",     "Times New Roman", 0xB2, 0x00B2, "&sup2"},
    {"Sigma",   "Symbol", 'S',  0x03A3, "&Sigma"},
    {"Pi",      "Symbol", 'P',  0x03A0, "&Pi"},
    {"leq",     "Symbol", 0xA3, 0x2264, "&leq"},
    {"geq",     "Symbol", 0xB3, 0x2265, "&geq"},
    {"varphi",  "Symbol", 'j',  0x03D5, "&varphi"},
    {"Gamma",   "Symbol", 'G',  0x0393, "&Gamma"},
    {"Delta",   "Symbol", 'D',  0x0394, "&Delta"},
    {"Theta",   "Symbol", 'Q',  0x0398, "&Theta"},
    {"Lambda",  "Symbol", 'L',  0x039B, "&Lambda"},
    {"sqrt",    "Symbol", 0xD6, 0x221A, "&radic"},
}};

// The letters of the Symbol encoding, 'A'..'Z' and 'a'..'z'.
constexpr std::array<char32_t, 26> kSymbolUpper = {
    0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C,
    0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396};
constexpr std::array<char32_t, 26> kSymbolLower = {
    0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC,
    0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6};
// clang-format on

char32_t SymbolCodeToUnicode(char32_t code) {
    if (code >= 'A' && code <= 'Z') {
        return kSymbolUpper[code - 'A'];
    }
    if (code >= 'a' && code <= 'z') {
        return kSymbolLower[code - 'a'];
    }
    switch (code) {
    case 0x2D:
        return 0x2212; // minus
    case 0x2A:
        return 0x2217; // asterisk operator
    case 0x40:
        return 0x2245; // approximately equal
    case 0xA3:
        return 0x2264;
    case 0xB3:
        return 0x2265;
    case 0xB2:
        return 0x2033; // double prime
    case 0xD6:
        return 0x221A;
    default:
        return code;
    }
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool IsScriptCommand(std::string_view command) {
    return StartsWith(command, "Font") || StartsWith(command, "sub") ||
           StartsWith(command, "super");
}

std::string ScriptText(std::string_view text) {
    // Only the text up to and including its first space is shown.
    const std::size_t space = text.find(' ');
    return std::string(space == std::string_view::npos ? text : text.substr(0, space + 1));
}

TMarkupPiece CommandPiece(std::string_view command) {
    TMarkupPiece piece;
    piece.Command = std::string(command);
    if (StartsWith(command, "Font")) {
        piece.Kind = TMarkupKind::mkFontRun;
        const std::size_t first = command.find('%');
        std::array<std::string, 5> fields;
        if (first != std::string_view::npos) {
            std::string_view rest = command.substr(first + 1);
            for (std::size_t i = 0; i < fields.size(); ++i) {
                const std::size_t sep = rest.find('%');
                if (i + 1 == fields.size() || sep == std::string_view::npos) {
                    fields[i] = std::string(rest);
                    break;
                }
                fields[i] = std::string(rest.substr(0, sep));
                rest = rest.substr(sep + 1);
            }
        }
        piece.FontName = fields[0];
        piece.FontSize = fields[1];
        piece.FontStyle = fields[2];
        piece.FontColor = fields[3];
        piece.Text = piece.FontName == "Symbol" ? SymbolFontToUnicode(fields[4]) : fields[4];
    } else if (StartsWith(command, "super")) {
        piece.Kind = TMarkupKind::mkSuperscript;
        piece.Text = ScriptText(command.substr(5));
    } else if (StartsWith(command, "sub")) {
        piece.Kind = TMarkupKind::mkSubscript;
        piece.Text = ScriptText(command.substr(3));
    } else {
        piece.Kind = TMarkupKind::mkSymbol;
        piece.Symbol = FindSymbol(command);
        if (piece.Symbol != nullptr) {
            AppendUtf8(piece.Text, piece.Symbol->Unicode);
        } else {
            piece.Text = "?";
        }
    }
    return piece;
}

template <typename T> bool ParseInteger(std::string_view text, T& value) {
    if (text.empty()) {
        return false;
    }
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc{} && result.ptr == end;
}

// The font a piece is measured and drawn in, given the current font.
TFont PieceFont(const TMarkupPiece& piece, const TFont& current) {
    switch (piece.Kind) {
    case TMarkupKind::mkFontRun:
        return RunFont(piece, current);
    case TMarkupKind::mkSubscript:
    case TMarkupKind::mkSuperscript:
        return ReducedFont(current);
    default:
        return current;
    }
}

} // namespace

std::span<const TSymbolInfo> SymbolTable() {
    return kSymbols;
}

const TSymbolInfo* FindSymbol(std::string_view name) {
    for (const TSymbolInfo& symbol : kSymbols) {
        if (symbol.Name == name) {
            return &symbol;
        }
    }
    return nullptr;
}

std::string SymbolFontToUnicode(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        AppendUtf8(out, SymbolCodeToUnicode(NextCodePoint(text, pos)));
    }
    return out;
}

std::vector<TMarkupPiece> SplitMarkup(std::string_view line) {
    std::vector<TMarkupPiece> pieces;
    auto addText = [&pieces](std::string_view text) {
        if (!text.empty()) {
            TMarkupPiece piece;
            piece.Text = std::string(text);
            pieces.push_back(std::move(piece));
        }
    };
    std::string_view rest = line;
    while (!rest.empty()) {
        const std::size_t amp = rest.find('&');
        if (amp == std::string_view::npos) {
            addText(rest);
            break;
        }
        addText(rest.substr(0, amp));
        const std::string_view after = rest.substr(amp + 1);
        const std::size_t terminator = after.find(IsScriptCommand(after) ? ';' : ' ');
        const std::size_t end = std::min(terminator, after.find('&'));
        std::string_view command;
        if (end == std::string_view::npos) {
            command = after;
            rest = {};
        } else {
            command = after.substr(0, end);
            rest = after.substr(end);
            if (!rest.empty() && rest.front() == ';') {
                rest.remove_prefix(1);
            }
        }
        pieces.push_back(CommandPiece(command));
    }
    return pieces;
}

TFont RunFont(const TMarkupPiece& run, const TFont& current) {
    TFont font;
    font.Name = run.FontName.empty() ? current.Name : run.FontName;
    if (!ParseInteger(run.FontSize, font.Size)) {
        font.Size = current.Size;
    }
    long long color = 0;
    font.Color = ParseInteger(run.FontColor, color) ? static_cast<TColor>(color) : current.Color;
    font.Bold = run.FontStyle.find('B') != std::string::npos;
    font.Italic = run.FontStyle.find('I') != std::string::npos;
    font.Underline = run.FontStyle.find('U') != std::string::npos;
    return font;
}

TFont ReducedFont(const TFont& current) {
    TFont font;
    font.Name = current.Name;
    font.Color = current.Color;
    font.Size = static_cast<int>(std::lround(0.7 * current.Size));
    return font;
}

int MarkupScreenHeight(Canvas& canvas, std::string_view line) {
    const TFont current = canvas.Font();
    int height = canvas.TextHeight(line);
    for (const TMarkupPiece& piece : SplitMarkup(line)) {
        if (piece.Kind == TMarkupKind::mkFontRun) {
            canvas.SetFont(RunFont(piece, current));
            height = std::max(height, canvas.TextHeight(piece.Text));
            canvas.SetFont(current);
        }
    }
    return height;
}

int MarkupScreenWidth(Canvas& canvas, std::string_view line) {
    const TFont current = canvas.Font();
    int width = 0;
    for (const TMarkupPiece& piece : SplitMarkup(line)) {
        canvas.SetFont(PieceFont(piece, current));
        width += canvas.TextWidth(piece.Text);
        canvas.SetFont(current);
    }
    return width;
}

void DrawMarkup(Canvas& canvas, int x, int y, std::string_view line) {
    const TFont current = canvas.Font();
    const int bottom = y + MarkupScreenHeight(canvas, line);
    for (const TMarkupPiece& piece : SplitMarkup(line)) {
        const TFont font = PieceFont(piece, current);
        canvas.SetFont(font);
        int pieceBottom = bottom;
        if (piece.Kind == TMarkupKind::mkSubscript || piece.Kind == TMarkupKind::mkSuperscript) {
            const int offset = static_cast<int>(
                std::lround(PointsToPixels(font.Size, canvas.PixelsPerInch()) / 2.0));
            pieceBottom += piece.Kind == TMarkupKind::mkSubscript ? offset : -offset;
        }
        canvas.TextOut(x, pieceBottom, piece.Text, THorzAlign::Left, TVertAlign::Bottom);
        x += canvas.TextWidth(piece.Text);
        canvas.SetFont(current);
    }
}

double MarkupReportHeight(Report& report, std::string_view line) {
    double height = report.RowHeight();
    for (const TMarkupPiece& piece : SplitMarkup(line)) {
        if (piece.Kind == TMarkupKind::mkFontRun) {
            report.PushFont();
            report.SetFont(RunFont(piece, report.Font()));
            height = std::max(height, report.RowHeight());
            report.PopFont();
        }
    }
    return height;
}

double MarkupReportWidth(Report& report, std::string_view line) {
    double width = 0.0;
    for (const TMarkupPiece& piece : SplitMarkup(line)) {
        report.PushFont();
        report.SetFont(PieceFont(piece, report.Font()));
        width += report.TextWidthCm(piece.Text);
        report.PopFont();
    }
    return width;
}

void PrintMarkupAt(Report& report, double x, std::string_view line) {
    const double baseline = report.CursorY();
    for (const TMarkupPiece& piece : SplitMarkup(line)) {
        report.PushFont();
        const TFont font = PieceFont(piece, report.Font());
        report.SetFont(font);
        if (piece.Kind == TMarkupKind::mkSubscript || piece.Kind == TMarkupKind::mkSuperscript) {
            const double offset = PointsToCm(font.Size) * 0.5;
            report.SetCursorY(baseline +
                              (piece.Kind == TMarkupKind::mkSubscript ? offset : -offset));
        }
        report.PrintLeftAt(piece.Text, x);
        x += report.TextWidthCm(piece.Text);
        report.SetCursorY(baseline);
        report.PopFont();
    }
}

std::string MarkupToHtml(std::string_view line, const HtmlExport& out) {
    std::string html;
    for (const TMarkupPiece& piece : SplitMarkup(line)) {
        switch (piece.Kind) {
        case TMarkupKind::mkText:
            html += HtmlText(piece.Text);
            break;
        case TMarkupKind::mkFontRun:
            html += "<FONT FACE=\"" + HtmlText(piece.FontName) + "\">" + HtmlText(piece.Text) +
                    "</FONT>";
            break;
        case TMarkupKind::mkSubscript:
            html += "<sub>" + HtmlText(piece.Text) + "</sub>";
            break;
        case TMarkupKind::mkSuperscript:
            html += "<sup>" + HtmlText(piece.Text) + "</sup>";
            break;
        case TMarkupKind::mkSymbol:
            if (out.SymbolNames && piece.Symbol != nullptr) {
                html += std::string(piece.Symbol->HtmlName) + " ";
            } else {
                // Browsers no longer map the Symbol font's codes to Greek
                // letters, so the character itself goes into the element.
                const std::string_view face =
                    piece.Symbol != nullptr ? piece.Symbol->FontName : std::string_view();
                html +=
                    "<FONT FACE=\"" + std::string(face) + "\">" + HtmlText(piece.Text) + "</FONT>";
            }
            break;
        }
    }
    return html;
}

std::string MarkupToRtf(std::string_view line, RtfExport& out) {
    // Every control word that ends a local font is closed with a space, so
    // that a following digit or space stays text.
    const std::string restore = "\\f" + std::to_string(out.BaseFontIndex()) + " ";
    std::string rtf;
    for (const TMarkupPiece& piece : SplitMarkup(line)) {
        switch (piece.Kind) {
        case TMarkupKind::mkText:
            rtf += RtfText(piece.Text);
            break;
        case TMarkupKind::mkFontRun: {
            const TFont base = out.BaseFont();
            rtf += out.FontCode(RunFont(piece, base)) + " " + RtfText(piece.Text) +
                   out.FontCode(base) + " ";
            break;
        }
        case TMarkupKind::mkSubscript:
            rtf += "\\sub " + RtfText(piece.Text) + "\\nosupersub ";
            break;
        case TMarkupKind::mkSuperscript:
            rtf += "\\super " + RtfText(piece.Text) + "\\nosupersub ";
            break;
        case TMarkupKind::mkSymbol:
            if (piece.Symbol != nullptr) {
                // The character by its Unicode value, so that no Symbol font
                // is needed to read it.
                rtf += "\\f" + std::to_string(out.FontIndex(piece.Symbol->FontName)) +
                       RtfText(piece.Text) + restore;
            } else {
                rtf += "?";
            }
            break;
        }
    }
    return rtf;
}

void CollectMarkupFonts(std::string_view line, RtfExport& out) {
    out.AddFont("Symbol");
    out.AddFont("Times New Roman");
    for (const TMarkupPiece& piece : SplitMarkup(line)) {
        if (piece.Kind == TMarkupKind::mkFontRun) {
            out.AddFontAndColor(RunFont(piece, out.BaseFont()));
        }
    }
}

} // namespace veltrio
