// Formatted lines: splitting into pieces, symbols, scripts and font runs,
// measured and drawn on the fixed-metric canvas and print engine.

#include "documents/Markup.h"
#include "documents/Units.h"
#include "documents/testing/FakeCanvas.h"
#include "documents/testing/FakeReport.h"

#include <gtest/gtest.h>

namespace veltrio {
namespace {

using testing::FakeCanvas;
using testing::FakeReport;

// A compact rendering of the pieces: T"text" for literal text, Y"char" for
// a symbol, D"text" / U"text" for sub- and superscripts, F"text" for a run.
std::string Describe(const std::vector<TMarkupPiece>& pieces) {
    std::string out;
    for (const TMarkupPiece& piece : pieces) {
        switch (piece.Kind) {
        case TMarkupKind::mkText:
            out += 'T';
            break;
        case TMarkupKind::mkSymbol:
            out += 'Y';
            break;
        case TMarkupKind::mkSubscript:
            out += 'D';
            break;
        case TMarkupKind::mkSuperscript:
            out += 'U';
            break;
        case TMarkupKind::mkFontRun:
            out += 'F';
            break;
        }
        out += '"' + piece.Text + '"';
    }
    return out;
}

struct SplitCase {
    const char* line;
    const char* pieces;
};

TEST(MarkupSplit, PiecesOfLines) {
    const SplitCase cases[] = {
        {"plain text, no commands", "T\"plain text, no commands\""},
        {"", ""},
        // The space after a symbol name stays part of the following text.
        {"&sigma {E} = ", "Y\"σ\"T\" {E} = \""},
        {"t = &sqrt p", "T\"t = \"Y\"√\"T\" p\""},
        {"&gamma ² = ", "Y\"γ\"T\" ² = \""},
        // An unknown name shows "?".
        {"a&b", "T\"a\"Y\"?\""},
        {"&Sigma x &sigma", "Y\"Σ\"T\" x \"Y\"σ\""},
        {"&SIGMA x", "Y\"?\"T\" x\""},
        // A symbol ends at the next "&" as well.
        {"&alpha&beta", "Y\"α\"Y\"β\""},
        // Scripts show their text up to and including the first space.
        {"s&subr;", "T\"s\"D\"r\""},
        {"s&subrep x;, n", "T\"s\"D\"rep \"T\", n\""},
        {"x&super2;+1", "T\"x\"U\"2\"T\"+1\""},
        // A script without ";" runs to the next "&" or the end of the line.
        {"&subab", "D\"ab\""},
        {"&subab&pm ", "D\"ab\"Y\"±\"T\" \""},
        {"&Font%Arial%12%B%0%bold text;after", "F\"bold text\"T\"after\""},
        {"&FontX%Arial%12%B%0%bold;", "F\"bold\""},
        // Text in the Symbol font shows the Greek letters it stands for.
        {"&Font%Symbol%12%B%0%abc;", "F\"αβχ\""},
        // Two ampersands: an empty command that shows "?" and then the next.
        {"&&pi x", "Y\"?\"Y\"π\"T\" x\""},
        {"a&", "T\"a\"Y\"?\""},
        {"&amp and &sqr ", "Y\"&\"T\" and \"Y\"²\"T\" \""},
        // A ";" ends only scripts and runs; after a symbol it is text.
        {"&pi;x", "Y\"?\""},
        {"&omega &my &leq &geq &cong ",
         "Y\"ω\"T\" \"Y\"μ\"T\" \"Y\"≤\"T\" \"Y\"≥\"T\" \"Y\"≅\"T\" \""},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(Describe(SplitMarkup(c.line)), c.pieces) << "line: " << c.line;
    }
}

TEST(MarkupSplit, EverySymbolOfTheTableIsFoundByItsExactName) {
    ASSERT_EQ(SymbolTable().size(), 36u);
    for (const TSymbolInfo& symbol : SymbolTable()) {
        const auto pieces = SplitMarkup("&" + std::string(symbol.Name));
        ASSERT_EQ(pieces.size(), 1u);
        EXPECT_EQ(pieces[0].Symbol, &symbol) << symbol.Name;
        EXPECT_NE(pieces[0].Text, "?") << symbol.Name;
    }
    EXPECT_EQ(FindSymbol("sqr")->FontName, "Times New Roman");
    EXPECT_EQ(FindSymbol("pm")->HtmlName, "&plusmn");
    EXPECT_EQ(FindSymbol("sqrt")->Code, 0xD6);
    EXPECT_EQ(FindSymbol("Omega"), nullptr);
}

TEST(MarkupFonts, RunFontTakesItsFieldsAndFallsBackToTheCurrentFont) {
    TFont current;
    current.Name = "Times New Roman";
    current.Size = 10;
    current.Color = 0x123456;
    current.Italic = true;

    auto run = [&](const char* line) { return RunFont(SplitMarkup(line).at(0), current); };

    const TFont symbol = run("&Font%Symbol%12%B%0%abc;");
    EXPECT_EQ(symbol.Name, "Symbol");
    EXPECT_EQ(symbol.Size, 12);
    EXPECT_TRUE(symbol.Bold);
    EXPECT_FALSE(symbol.Italic);
    EXPECT_EQ(symbol.Color, clBlack);

    const TFont styled = run("&Font%Arial%9%IUxb%255%t;");
    EXPECT_TRUE(styled.Italic);
    EXPECT_TRUE(styled.Underline);
    EXPECT_FALSE(styled.Bold); // lower-case letters are not styles
    EXPECT_EQ(styled.Color, MakeColor(255, 0, 0));

    // Defective runs render with the current font's name, size and colour.
    const TFont defective = run("&Font%%big%B%red%t;");
    EXPECT_EQ(defective.Name, "Times New Roman");
    EXPECT_EQ(defective.Size, 10);
    EXPECT_EQ(defective.Color, 0x123456u);
    const auto truncated = SplitMarkup("&Font%Arial;rest");
    EXPECT_EQ(Describe(truncated), "F\"\"T\"rest\"");
    EXPECT_EQ(RunFont(truncated[0], current).Name, "Arial");

    const TFont reduced = ReducedFont(TFont{"Arial", 11, MakeColor(0, 0, 255), true, true});
    EXPECT_EQ(reduced.Size, 8); // 7.7 to the nearest point
    EXPECT_FALSE(reduced.Bold);
    EXPECT_FALSE(reduced.Italic);
    EXPECT_EQ(reduced.Name, "Arial");
}

struct MeasureCase {
    const char* line;
    int width;  // pixels, 10-point font: 6 px per character, scripts 4 px
    int height; // 16 px, or the tallest run
};

TEST(MarkupScreen, WidthAndHeight) {
    const MeasureCase cases[] = {
        {"abc", 18, 16},
        {"&alpha x", 18, 16},
        {"a&subxy;", 14, 16},
        {"a&superxy z;", 6 + 3 * 4, 16},
        {"&Font%Arial%20%%0%ab;c", 2 * 12 + 6, 32},
        {"&Font%Arial%5%%0%ab;c", 2 * 3 + 6, 16},
        {"&foo", 6, 16},
        {"&&", 12, 16},
        {"", 0, 16},
    };
    FakeCanvas canvas;
    canvas.SetFont(TFont{"Times New Roman", 10});
    for (const MeasureCase& c : cases) {
        EXPECT_EQ(MarkupScreenWidth(canvas, c.line), c.width) << c.line;
        EXPECT_EQ(MarkupScreenHeight(canvas, c.line), c.height) << c.line;
        EXPECT_EQ(canvas.Font(), (TFont{"Times New Roman", 10})) << c.line;
    }
}

TEST(MarkupScreen, PiecesSitOnOneBottomLineWithScriptsShifted) {
    FakeCanvas canvas;
    const TFont base{"Times New Roman", 10};
    canvas.SetFont(base);
    DrawMarkup(canvas, 10, 20, "x&subi; = &Font%Arial%20%B%0%Y;&superrep x;");
    // The run makes the line 32 px high: every piece's bottom is at 20 + 32.
    ASSERT_EQ(canvas.Texts.size(), 5u);
    const auto& t = canvas.Texts;
    // Scripts: 7-point font, shifted by half of 7 points in pixels (4.67 -> 5).
    const int shift = 5;
    struct Expected {
        int x, y;
        const char* text;
        int size;
    } expected[] = {
        {10, 52, "x", 10}, {16, 52 + shift, "i", 7},    {20, 52, " = ", 10},
        {38, 52, "Y", 20}, {50, 52 - shift, "rep ", 7},
    };
    for (std::size_t i = 0; i < t.size(); ++i) {
        EXPECT_EQ(t[i].X, expected[i].x) << i;
        EXPECT_EQ(t[i].Y, expected[i].y) << i;
        EXPECT_EQ(t[i].Value, expected[i].text) << i;
        EXPECT_EQ(t[i].Font.Size, expected[i].size) << i;
        EXPECT_EQ(t[i].Vert, TVertAlign::Bottom) << i;
    }
    EXPECT_TRUE(t[3].Font.Bold);
    EXPECT_EQ(t[3].Font.Name, "Arial");
    EXPECT_EQ(canvas.Font(), base);
}

TEST(MarkupScreen, SymbolRunDrawsGreekInTheRunFont) {
    FakeCanvas canvas;
    DrawMarkup(canvas, 0, 0, "&Font%Symbol%12%B%0%abc;");
    ASSERT_EQ(canvas.Texts.size(), 1u);
    EXPECT_EQ(canvas.Texts[0].Value, "αβχ");
    EXPECT_EQ(canvas.Texts[0].Font, (TFont{"Symbol", 12, clBlack, true}));
}

TEST(MarkupReport, MeasuresAndPrintsOnTheBaseLine) {
    FakeReport report;
    report.OnPrint = [](Report& r) {
        r.SetFont(TFont{"Times New Roman", 10});
        EXPECT_DOUBLE_EQ(MarkupReportHeight(r, "x&subi;"), 0.5);
        EXPECT_DOUBLE_EQ(MarkupReportHeight(r, "&Font%Arial%20%%0%big;"), 1.0);
        EXPECT_DOUBLE_EQ(MarkupReportWidth(r, "ab&subi;&pm "), 0.4 + 0.14 + 0.2 + 0.2);
        r.GotoXY(3.0, 5.0);
        PrintMarkupAt(r, 2.0, "x&subi;&supern;&sigma &Font%Arial%20%I%0%R;");
        EXPECT_DOUBLE_EQ(r.CursorY(), 5.0);
        EXPECT_DOUBLE_EQ(r.CursorX(), 3.0);
        EXPECT_EQ(r.Font(), (TFont{"Times New Roman", 10}));
    };
    report.Execute();
    ASSERT_EQ(report.Pages.size(), 1u);
    const auto& texts = report.Pages[0].Texts;
    ASSERT_EQ(texts.size(), 6u);
    const double shift = 7.0 / 72.0 * 2.54 * 0.5;
    EXPECT_EQ(texts[0].Value, "x");
    EXPECT_DOUBLE_EQ(texts[0].X, 2.0);
    EXPECT_DOUBLE_EQ(texts[0].Y, 5.0);
    EXPECT_EQ(texts[1].Value, "i");
    EXPECT_DOUBLE_EQ(texts[1].X, 2.2);
    EXPECT_DOUBLE_EQ(texts[1].Y, 5.0 + shift);
    EXPECT_EQ(texts[1].Font.Size, 7);
    EXPECT_EQ(texts[2].Value, "n");
    EXPECT_DOUBLE_EQ(texts[2].Y, 5.0 - shift);
    EXPECT_EQ(texts[3].Value, "σ");
    EXPECT_DOUBLE_EQ(texts[3].X, 2.2 + 0.14 + 0.14);
    EXPECT_EQ(texts[4].Value, " ");
    EXPECT_EQ(texts[5].Value, "R");
    EXPECT_TRUE(texts[5].Font.Italic);
    EXPECT_EQ(texts[5].Font.Size, 20);
    EXPECT_DOUBLE_EQ(texts[5].Y, 5.0);
}

} // namespace
} // namespace veltrio
