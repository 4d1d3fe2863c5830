// RTF of items and tables: the font and colour lists, font codes, escaping
// of text, formatted lines, and table rows with their rules, right edges in
// twips, background colours, merges and cell fonts.

#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "documents/FormatItem.h"
#include "documents/Markup.h"
#include "documents/RtfExport.h"
#include "documents/Table.h"
#include "documents/TextItems.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace veltrio {
namespace {

TFont MakeFont(std::string name, int size, TColor color = clBlack, bool bold = false,
               bool italic = false, bool underline = false, bool strike = false) {
    TFont font;
    font.Name = std::move(name);
    font.Size = size;
    font.Color = color;
    font.Bold = bold;
    font.Italic = italic;
    font.Underline = underline;
    font.StrikeOut = strike;
    return font;
}

constexpr TColor kRed = MakeColor(255, 0, 0);
constexpr TColor kBlue = MakeColor(0, 0, 255);

// Lists: Times New Roman 0, Symbol 1, Arial 2; black 0, red 1, blue 2.
RtfExport ExportWithLists() {
    RtfExport out;
    out.AddFont("Times New Roman");
    out.AddFont("Symbol");
    out.AddFont("Arial");
    out.AddColor(clBlack);
    out.AddColor(kRed);
    out.AddColor(kBlue);
    out.FontCode(MakeFont("Times New Roman", 10), true);
    return out;
}

TEST(RtfLists, AddingKeepsTheFirstPositionAndNamesCompareExactly) {
    RtfExport out;
    out.AddFont("Arial");
    out.AddFont("Symbol");
    out.AddFont("Arial");
    out.AddFont("arial");
    out.AddColor(kRed);
    out.AddColor(clBlack);
    out.AddColor(kRed);
    EXPECT_EQ(out.Fonts(), (std::vector<std::string>{"Arial", "Symbol", "arial"}));
    EXPECT_EQ(out.FontIndex("Symbol"), 1);
    EXPECT_EQ(out.FontIndex("arial"), 2);
    EXPECT_EQ(out.FontIndex("Courier New"), -1);
    EXPECT_EQ(out.Colors(), (std::vector<TColor>{kRed, clBlack}));
    EXPECT_EQ(out.ColorIndex(clBlack), 1);
    EXPECT_EQ(out.ColorIndex(kBlue), -1);
}

TEST(RtfLists, LongFontNamesAreKeptToEightyCharacters) {
    RtfExport out;
    const std::string longName(100, 'x');
    out.AddFont(longName);
    ASSERT_EQ(out.Fonts().size(), 1u);
    EXPECT_EQ(out.Fonts()[0], std::string(80, 'x'));
    EXPECT_EQ(out.FontIndex(longName), 0);
}

struct CodeCase {
    TFont font;
    const char* code;
};

TEST(RtfFontCode, StylesSizeAndListIndexes) {
    const CodeCase cases[] = {
        {MakeFont("Arial", 10, clBlack, true), "\\f2 \\b \\i0 \\ul0 \\strike0 \\fs20 \\cf0"},
        {MakeFont("Times New Roman", 12, kRed, false, true, true, true),
         "\\f0 \\b0 \\i \\ul \\strike \\fs24 \\cf1"},
        {MakeFont("Symbol", 9, kBlue), "\\f1 \\b0 \\i0 \\ul0 \\strike0 \\fs18 \\cf2"},
        // A font or colour missing from the lists.
        {MakeFont("Courier New", 8, MakeColor(1, 2, 3)),
         "\\f-1 \\b0 \\i0 \\ul0 \\strike0 \\fs16 \\cf-1"},
    };
    for (const CodeCase& c : cases) {
        RtfExport out = ExportWithLists();
        EXPECT_EQ(out.FontCode(c.font), c.code);
        // Without the option the base font stays.
        EXPECT_EQ(out.BaseFontIndex(), 0);
        EXPECT_EQ(out.BaseFont().Name, "Times New Roman");
    }
}

TEST(RtfFontCode, TheOptionMakesTheFontTheBase) {
    RtfExport out = ExportWithLists();
    const TFont arial = MakeFont("Arial", 14, kBlue, true);
    out.FontCode(arial, true);
    EXPECT_EQ(out.BaseFontIndex(), 2);
    EXPECT_EQ(out.BaseFont(), arial);
}

struct EscapeCase {
    const char* text;
    const char* rtf;
};

TEST(RtfText, EscapesBracesBackslashesAndNonAscii) {
    const EscapeCase cases[] = {
        {"plain ASCII 1.25 <b>&\"q\"", "plain ASCII 1.25 <b>&\"q\""},
        {"{x}\\y", "\\{x\\}\\\\y"},
        {"\\par", "\\\\par"},
        {"a\tb", "a\\tab b"},
        {"æøåµ±", "\\u230?\\u248?\\u229?\\u181?\\u177?"},
        {"ÆØÅ", "\\u198?\\u216?\\u197?"},
        {"σ €", "\\u963? \\u8364?"},
        // Code units above 32767 are written as negative numbers.
        {"\uFB01", "\\u-1279?"},
        {"\uFFFD", "\\u-3?"},
        // Beyond the BMP: a surrogate pair.
        {"\U0001F600", "\\u-10179?\\u-8704?"},
    };
    for (const EscapeCase& c : cases) {
        EXPECT_EQ(RtfText(c.text), c.rtf) << c.text;
    }
}

TEST(RtfItems, TextFontChangeAndOtherFormatItems) {
    RtfExport out = ExportWithLists();
    TTavText text("Substance {Na\\Cl} æ");
    text.WriteRTF(out);
    TTavFormat fontSet(TFormatKind::FontSet, MakeFont("Arial", 12, kRed, true));
    fontSet.WriteRTF(out);
    for (TFormatKind kind : {TFormatKind::BlockBegin, TFormatKind::BlockEnd, TFormatKind::PageBreak,
                             TFormatKind::MarginLeft}) {
        TTavFormat(kind, 2.0).WriteRTF(out);
    }
    EXPECT_EQ(out.Lines(), (std::vector<std::string>{
                               "Substance \\{Na\\\\Cl\\} \\u230? \\par",
                               "\\f2 \\b \\i0 \\ul0 \\strike0 \\fs24 \\cf1",
                               // Of the layout items only a page break is
                               // written: forms meant for one reader each
                               // start on their own page.
                               "\\page",
                           }));
    EXPECT_EQ(out.BaseFontIndex(), 2);
    EXPECT_EQ(out.BaseFont().Size, 12);
}

struct MarkupCase {
    const char* line;
    const char* rtf;
};

TEST(RtfItems, FormattedLines) {
    const MarkupCase cases[] = {
        {"no commands {}", "no commands \\{\\}\\par"},
        // The symbol in its font by its Unicode value; the space that ends
        // the base font's control word keeps the following space as text.
        {"&pm 2", "\\f1\\u177?\\f0  2\\par"},
        {"&sigma {E} = ", "\\f1\\u963?\\f0  \\{E\\} = \\par"},
        {"x&sqr ", "x\\f0\\u178?\\f0  \\par"},
        {"a&b", "a?\\par"},
        {"s&subr;=1", "s\\sub r\\nosupersub =1\\par"},
        {"s&subrep x;", "s\\sub rep \\nosupersub \\par"},
        {"m&super2;", "m\\super 2\\nosupersub \\par"},
        // A font run returns to the base font; a digit after it stays text.
        {"&Font1%Arial%12%BI%255%bold;2",
         "\\f2 \\b \\i \\ul0 \\strike0 \\fs24 \\cf1 bold\\f0 \\b0 \\i0 \\ul0 \\strike0 \\fs20 "
         "\\cf0 2\\par"},
        {"&Font%Symbol%10%%0%abc;", "\\f1 \\b0 \\i0 \\ul0 \\strike0 \\fs20 \\cf0 "
                                    "\\u945?\\u946?\\u967?\\f0 \\b0 \\i0 \\ul0 \\strike0 \\fs20 "
                                    "\\cf0 \\par"},
    };
    for (const MarkupCase& c : cases) {
        RtfExport out = ExportWithLists();
        TTavFormatText(c.line).WriteRTF(out);
        ASSERT_EQ(out.Lines().size(), 1u) << c.line;
        EXPECT_EQ(out.Lines()[0], c.rtf) << c.line;
    }
}

TEST(RtfItems, SymbolsReturnToTheBaseFontOfTheLastFontChange) {
    RtfExport out = ExportWithLists();
    TTavFormat(TFormatKind::FontSet, MakeFont("Arial", 10)).WriteRTF(out);
    TTavFormatText("&alpha x").WriteRTF(out);
    EXPECT_EQ(out.Lines().back(), "\\f1\\u945?\\f2  x\\par");
}

// A 1-row table of two columns, 96 and 48 pixels wide (1440 and 720
// twips), both rows (head and body) with the given cells.
std::unique_ptr<TTavTable> TwoColumnTable() {
    auto table = std::make_unique<TTavTable>(1, 2);
    table->SetAutoSize(false);
    table->SetColWidth(0, 96);
    table->SetColWidth(1, 48);
    return table;
}

TEST(RtfTable, TitleHeadBodyAndFootnotes) {
    auto table = TwoColumnTable();
    table->Title = {"Table {1}", "Level A"};
    table->Footnotes = {"* straggler"};
    table->HeadCell(0)->AddLine("Lab");
    table->HeadCell(0)->Alignment = TAlignment::alCenter;
    table->HeadCell(1)->AddLine("x");
    table->ReadCell(0, 0)->AddLine("L\\1");
    table->ReadCell(0, 0)->Alignment = TAlignment::alLeft;
    table->ReadCell(0, 1)->SetValue(3.14159);
    table->ReadCell(0, 1)->Decimals = 2;
    RtfExport out = ExportWithLists();
    table->WriteRTF(out);
    EXPECT_EQ(out.Lines(), (std::vector<std::string>{
                               "Table \\{1\\}\\par",
                               "Level A\\par",
                               "{",
                               "\\trowd \\trgaph0",
                               "\\clbrdrt\\brdrs",
                               "\\clbrdrl\\brdrs",
                               "\\clbrdrr\\brdrs",
                               "\\clbrdrb\\brdrs",
                               "\\cellx1440",
                               "\\clbrdrt\\brdrs",
                               "\\clbrdrl\\brdrs",
                               "\\clbrdrr\\brdrs",
                               "\\clbrdrb\\brdrs",
                               "\\clpadr57\\clpadfr3",
                               "\\cellx2160",
                               "\\intbl {",
                               "\\qc Lab\\cell",
                               "\\qr x\\cell",
                               "}\\row",
                               "\\trowd \\trgaph0",
                               "\\clbrdrt\\brdrs",
                               "\\clbrdrl\\brdrs",
                               "\\clbrdrr\\brdrs",
                               "\\clbrdrb\\brdrs",
                               "\\cellx1440",
                               "\\clbrdrt\\brdrs",
                               "\\clbrdrl\\brdrs",
                               "\\clbrdrr\\brdrs",
                               "\\clbrdrb\\brdrs",
                               "\\clpadr57\\clpadfr3",
                               "\\cellx2160",
                               "\\intbl {",
                               "\\ql L\\\\1\\cell",
                               "\\qr 3.14\\cell",
                               "}\\row",
                               "}",
                               "* straggler\\par",
                           }));
}

struct CellCase {
    const char* what;
    std::function<void(TTavCell&)> setup;
    std::vector<std::string> frame; // rule lines and \cellx of body cell (0, 0)
    const char* content;            // its content line
};

TEST(RtfTable, CellRulesColoursAndContents) {
    const CellCase cases[] = {
        {"missing number",
         [](TTavCell& c) { c.SetValue(MissingValue); },
         {"\\clbrdrt\\brdrs", "\\clbrdrl\\brdrs", "\\clbrdrr\\brdrs", "\\clbrdrb\\brdrs",
          "\\clpadr57\\clpadfr3", "\\cellx1440"},
         "\\qr \\cell"},
        {"rules in order top, left, right, bottom",
         [](TTavCell& c) {
             c.Borders = bdBottom | bdRight;
             c.Alignment = TAlignment::alDecimal;
             c.SetValue(12.5);
             c.Decimals = 1;
         },
         {"\\clbrdrr\\brdrs", "\\clbrdrb\\brdrs", "\\clpadr57\\clpadfr3", "\\cellx1440"},
         "\\qr 12.5\\cell"},
        {"rule width in twips",
         [](TTavCell& c) {
             c.Borders = bdTop | bdLeft;
             c.LineWidthMm = 0.5; // 28.3 twips
         },
         {"\\clbrdrt\\brdrs\\brdrw28", "\\clbrdrl\\brdrs\\brdrw28", "\\clpadr57\\clpadfr3",
          "\\cellx1440"},
         "\\qr \\cell"},
        {"background colour",
         [](TTavCell& c) {
             c.Borders = 0;
             c.Color = kBlue;
         },
         {"\\clcbpat2", "\\clpadr57\\clpadfr3", "\\cellx1440"},
         "\\qr \\cell"},
        {"plain lines joined",
         [](TTavCell& c) {
             c.Borders = 0;
             c.Kind = TCellKind::ckLines;
             c.Lines = {"one", "{two}"};
             c.Alignment = TAlignment::alCenter;
         },
         {"\\cellx1440"},
         "\\qc one\\par \\{two\\}\\cell"},
        {"formatted lines joined",
         [](TTavCell& c) {
             c.Borders = 0;
             c.AddLine("&pm 1");
             c.AddLine("s&subr;");
             c.Alignment = TAlignment::alLeft;
         },
         {"\\cellx1440"},
         "\\ql \\f1\\u177?\\f0  1\\par s\\sub r\\nosupersub \\cell"},
        {"own font, then the base font again",
         [](TTavCell& c) {
             c.Borders = 0;
             c.AddLine("x");
             c.SetFont(MakeFont("Arial", 8, kRed, false, true));
         },
         {"\\clpadr57\\clpadfr3", "\\cellx1440"},
         "\\f2 \\b0 \\i \\ul0 \\strike0 \\fs16 \\cf1 \\qr x"
         "\\f0 \\b0 \\i0 \\ul0 \\strike0 \\fs20 \\cf0\\cell"},
        {"own font missing from the list",
         [](TTavCell& c) {
             c.Borders = 0;
             c.SetFont(MakeFont("Courier New", 10));
         },
         {"\\clpadr57\\clpadfr3", "\\cellx1440"},
         "\\f-1 \\b0 \\i0 \\ul0 \\strike0 \\fs20 \\cf0 \\qr "
         "\\f0 \\b0 \\i0 \\ul0 \\strike0 \\fs20 \\cf0\\cell"},
        {"time", [](TTavCell& c) { c.SetTime(0.5); }, {}, "\\qr 12:00:00\\cell"},
        {"picture writes nothing",
         [](TTavCell& c) {
             c.SetPicture(TPicture{2, 2, {0, 0, 0, 0}});
         },
         {},
         "\\qr \\cell"},
    };
    for (const CellCase& c : cases) {
        TTavBaseTable grid(1, 2);
        grid.SetColWidth(0, 96);
        grid.SetColWidth(1, 48);
        grid.ReadCell(0, 1)->Borders = 0;
        c.setup(*grid.ReadCell(0, 0));
        RtfExport out = ExportWithLists();
        grid.WriteRTF(out);
        const std::vector<std::string>& lines = out.Lines();
        ASSERT_GE(lines.size(), 6u) << c.what;
        EXPECT_EQ(lines.front(), "{") << c.what;
        EXPECT_EQ(lines[1], "\\trowd \\trgaph0") << c.what;
        const auto intbl = std::find(lines.begin(), lines.end(), "\\intbl {");
        ASSERT_NE(intbl, lines.end()) << c.what;
        if (!c.frame.empty()) {
            // Up to the first cell's right edge; right-aligned cells keep a
            // gap to the cell on their right.
            const auto edge = std::find(lines.begin() + 2, intbl, "\\cellx1440");
            ASSERT_NE(edge, intbl) << c.what;
            const std::vector<std::string> frame(lines.begin() + 2, edge + 1);
            EXPECT_EQ(frame, c.frame) << c.what;
        }
        // The second cell has no rules and ends at 1440 + 720 twips.
        EXPECT_EQ(*(intbl - 1), "\\cellx2160") << c.what;
        EXPECT_EQ(*(intbl + 1), c.content) << c.what;
        EXPECT_EQ(lines.back(), "}") << c.what;
    }
}

TEST(RtfTable, MergedCellsKeepTheRunningRightEdge) {
    TTavBaseTable grid(1, 5);
    for (int col = 0; col < 5; ++col) {
        grid.SetColWidth(col, 48);
    }
    grid.MergeRowCells(0, 1, 2);
    grid.ApplyMerges();
    RtfExport out = ExportWithLists();
    grid.WriteRTF(out);
    std::vector<std::string> edges;
    std::vector<std::string> contents;
    bool inContent = false;
    for (const std::string& line : out.Lines()) {
        if (line.starts_with("\\cellx")) {
            edges.push_back(line);
        }
        if (line == "\\intbl {") {
            inContent = true;
        } else if (line == "}\\row") {
            inContent = false;
        } else if (inContent) {
            contents.push_back(line);
        }
    }
    // Columns 1..3 merged: the merged cell ends where column 3 ends; the
    // covered cells have no width and are left out of the row.
    EXPECT_EQ(edges, (std::vector<std::string>{"\\cellx720", "\\cellx2880", "\\cellx3600"}));
    EXPECT_EQ(contents.size(), 3u);
}

TEST(RtfTable, CollectFontsOfHeadAndBodyInOrder) {
    TTavTable table(1, 3);
    table.HeadCell(0)->SetFont(MakeFont("Arial", 10, kRed));
    table.ReadCell(0, 0)->Color = kBlue;
    table.ReadCell(0, 1)->AddLine("&Font%Courier New%10%%16711935%x;");
    table.ReadCell(0, 2)->SetFont(MakeFont("Arial", 12, kBlue));
    RtfExport out;
    table.CollectFonts(out);
    EXPECT_EQ(out.Fonts(),
              (std::vector<std::string>{"Arial", "Symbol", "Times New Roman", "Courier New"}));
    EXPECT_EQ(out.Colors(), (std::vector<TColor>{kRed, kBlue, 0xFF00FF}));
}

TEST(RtfDocument, DeclaresEveryFontAndColourThatTheItemsReferTo) {
    TTavContents document;
    document.AddText("Title");
    document.SetFont(MakeFont("Arial", 12, kRed, true));
    document.AddFormatText("&Font%Verdana%10%%65280%green; and &sigma ");
    auto table = std::make_unique<TTavTable>(1, 1);
    table->ReadCell(0, 0)->SetFont(MakeFont("Courier New", 9, kBlue));
    table->ReadCell(0, 0)->Color = MakeColor(200, 200, 200);
    document.AddTable(std::move(table));
    const std::string rtf = WriteDocumentRtf(document);

    EXPECT_TRUE(rtf.starts_with("{\\rtf1\\ansi"));
    EXPECT_TRUE(rtf.ends_with("}\n"));
    const std::string fonts = "{\\fonttbl\n"
                              "{\\f0\\fnil\\fcharset0 Times New Roman;}\n"
                              "{\\f1\\fnil\\fcharset0 Arial;}\n"
                              "{\\f2\\fnil\\fcharset0 Symbol;}\n"
                              "{\\f3\\fnil\\fcharset0 Verdana;}\n"
                              "{\\f4\\fnil\\fcharset0 Courier New;}\n"
                              "}\n";
    EXPECT_NE(rtf.find(fonts), std::string::npos) << rtf;
    const std::string colors = "{\\colortbl\n"
                               "\\red0\\green0\\blue0;\n"
                               "\\red255\\green0\\blue0;\n"
                               "\\red0\\green255\\blue0;\n"
                               "\\red0\\green0\\blue255;\n"
                               "\\red200\\green200\\blue200;\n"
                               "}\n";
    EXPECT_NE(rtf.find(colors), std::string::npos) << rtf;
    // Fonts and colours in document order. The base font first, then the
    // items with indexes into those tables; the cell returns to the base
    // font of the last font change.
    EXPECT_NE(rtf.find("\\f0 \\b0 \\i0 \\ul0 \\strike0 \\fs20 \\cf0\nTitle \\par\n"
                       "\\f1 \\b \\i0 \\ul0 \\strike0 \\fs24 \\cf1\n"
                       "\\f3 \\b0 \\i0 \\ul0 \\strike0 \\fs20 \\cf2 green"
                       "\\f1 \\b \\i0 \\ul0 \\strike0 \\fs24 \\cf1  and \\f2\\u963?\\f1  \\par\n"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("\\clcbpat4\n"), std::string::npos);
    EXPECT_NE(rtf.find("\\qr \\f1 \\b \\i0 \\ul0 \\strike0 \\fs24 \\cf1\\cell"), std::string::npos);
    EXPECT_NE(rtf.find("\\f4 \\b0 \\i0 \\ul0 \\strike0 \\fs18 \\cf3 \\qr "), std::string::npos);
}

TEST(RtfDocument, FontNamesAreEscapedInTheFontTable) {
    TTavContents document;
    document.SetFont(MakeFont("Odd{Font}\\Ø", 10));
    const std::string rtf = WriteDocumentRtf(document);
    EXPECT_NE(rtf.find("{\\f1\\fnil\\fcharset0 Odd\\{Font\\}\\\\\\u216?;}"), std::string::npos)
        << rtf;
}

} // namespace
} // namespace veltrio

namespace veltrio {
namespace {

TEST(RtfTable, CellsWithoutWidthAreLeftOutOfTheRow) {
    // A hidden column (0.001 cm) between two framed ones: its rules would
    // double those of its neighbours in a word processor.
    TTavBaseTable grid(1, 3);
    grid.SetColWidth(0, 48);
    grid.SetColWidthCm(1, 0.001);
    grid.SetColWidth(2, 48);
    RtfExport out = ExportWithLists();
    grid.WriteRTF(out);
    std::vector<std::vector<std::string>> frames(1);
    for (const std::string& line : out.Lines()) {
        if (line == "\\intbl {") {
            break;
        }
        if (line.starts_with("\\clbrdr") || line.starts_with("\\cellx")) {
            frames.back().push_back(line);
            if (line.starts_with("\\cellx")) {
                frames.emplace_back();
            }
        }
    }
    // The hidden cell is not in the row at all: two framed cells remain,
    // the second one beginning where the first one ends.
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].size(), 5u) << "four rules and the edge";
    EXPECT_EQ(frames[0].back(), "\\cellx720");
    EXPECT_EQ(frames[1].size(), 5u);
    EXPECT_EQ(frames[1].back(), "\\cellx1440");
    const auto contents = std::count(out.Lines().begin(), out.Lines().end(), "\\qr \\cell");
    EXPECT_EQ(contents, 2);
}

TEST(RtfDocument, PagesAreLaidOutAsTheyPrint) {
    TTavContents doc;
    doc.PageNumbers = true;
    doc.PageNumberFormat = TPageNumberFormat::pnfNrAfAntal;
    doc.PageFooter = {"C:\\data\\LEAD.PAR", "2026-01-01"};
    doc.AddText("Body");
    const std::string rtf = WriteDocumentRtf(doc);
    auto has = [&](const std::string& piece) { return rtf.find(piece) != std::string::npos; };
    // A4 with the print margins: 1 cm left and right, 2 cm top, 1 cm bottom.
    EXPECT_TRUE(has("\\paperw11906\\paperh16838\\margl567\\margr567\\margt1134\\margb567")) << rtf;
    // The page number "n/N" at the top right, the footer lines at the bottom.
    const auto header = rtf.find("{\\header");
    const auto footer = rtf.find("{\\footer");
    ASSERT_NE(header, std::string::npos);
    ASSERT_NE(footer, std::string::npos);
    EXPECT_NE(rtf.find("\\qr", header), std::string::npos);
    EXPECT_TRUE(has("{\\chpgn}/{\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}\\par"));
    EXPECT_NE(rtf.find("C:\\\\data\\\\LEAD.PAR\\par", footer), std::string::npos);
    EXPECT_NE(rtf.find("2026-01-01\\par", footer), std::string::npos);
    // Header and footer come before the body.
    EXPECT_LT(footer, rtf.find("Body\\par"));
    // A document's own first left margin replaces the print margin.
    doc.SetMarginLeft(2.5);
    EXPECT_NE(WriteDocumentRtf(doc).find("\\margl1417"), std::string::npos);
}

} // namespace
} // namespace veltrio
