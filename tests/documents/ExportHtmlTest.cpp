// HTML of items and tables: font changes with relative sizes, the colour
// notation, escaping, formatted lines with both symbol switches, table
// cells, GIF files of picture cells and their names, and the page writer.

#include "base/AtomicFile.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "documents/FormatItem.h"
#include "documents/GifWriter.h"
#include "documents/HtmlExport.h"
#include "documents/Markup.h"
#include "documents/Table.h"
#include "documents/TextItems.h"
#include "documents/testing/RecordingHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace veltrio {
namespace {

namespace fs = std::filesystem;
using testing::RecordingHost;

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

// A fresh, empty folder for files of one test.
fs::path FreshFolder(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / "veltrio_export_html" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

TEST(HtmlNotation, ColoursReadRedGreenBlue) {
    const std::pair<TColor, const char*> cases[] = {
        {0x0000FF, "FF0000"}, {0x00FF00, "00FF00"}, {0xFF0000, "0000FF"},
        {0x123456, "563412"}, {clBlack, "000000"},  {clWhite, "FFFFFF"},
    };
    for (const auto& [color, text] : cases) {
        EXPECT_EQ(HtmlColor(color), text);
    }
}

TEST(HtmlNotation, TextEscapesMarkupCharactersAndKeepsUtf8) {
    EXPECT_EQ(HtmlText("Na{Cl}\\<b>&\"q\" æøåµ± σ"), "Na{Cl}\\&lt;b&gt;&amp;&quot;q&quot; æøåµ± σ");
    EXPECT_EQ(HtmlText("&nbsp"), "&amp;nbsp");
}

TEST(HtmlNotation, SizeAttributeRelativeToTheBaseFont) {
    struct Case {
        int size;
        const char* plain;
        const char* withNormal;
    };
    const Case cases[] = {
        {16, "SIZE=\"+2\" ", "SIZE=\"+2\" "},
        {14, "SIZE=\"+2\" ", "SIZE=\"+2\" "},
        {13, "SIZE=\"+1\" ", "SIZE=\"+1\" "},
        {12, "SIZE=\"+1\" ", "SIZE=\"+1\" "},
        {11, "", "Size=\"Normal\""},
        {10, "", "Size=\"Normal\""},
        {9, "", ""},
        {8, "", ""},
        {7, "SIZE=\"-1\" ", "SIZE=\"-1\" "},
        {6, "SIZE=\"-1\" ", "SIZE=\"-1\" "},
        {5, "SIZE=\"-2\" ", "SIZE=\"-2\" "},
    };
    HtmlExport out;
    out.BaseFont = MakeFont("Times New Roman", 10);
    for (const Case& c : cases) {
        EXPECT_EQ(out.SizeAttribute(c.size), c.plain) << c.size;
        EXPECT_EQ(out.SizeAttribute(c.size, true), c.withNormal) << c.size;
    }
}

struct FontSetCase {
    const char* what;
    std::vector<TFont> fonts;
    // What the last font change writes.
    const char* html;
};

TEST(HtmlFontSet, FontChangesWriteStyleTagsAndFontElements) {
    const TFont arial = MakeFont("Arial", 10, clBlack, true);
    const FontSetCase cases[] = {
        {"first change", {arial}, "<B><FONT FACE=\"Arial\" >\n"},
        {"first change, large and all styles",
         {MakeFont("Arial", 14, kRed, true, true, true, true)},
         "<B><I><U><STRIKE><FONT FACE=\"Arial\" SIZE=\"+2\" >\n"},
        {"first change, small", {MakeFont("Arial", 5)}, "<FONT FACE=\"Arial\" SIZE=\"-2\" >\n"},
        {"same name, size and colour: only the style changes",
         {arial, MakeFont("Arial", 10, clBlack, false, true)},
         "</B>\n<I>\n"},
        {"same font twice", {arial, arial}, "\n\n"},
        {"other face and colour",
         {arial, MakeFont("Courier New", 12, kRed, false, false, true)},
         "</FONT></B>\n<U><FONT COLOR=\"FF0000\" FACE=\"Courier New\" SIZE=\"+1\" >\n"},
        {"other face, normal size",
         {arial, MakeFont("Courier New", 11, clBlack, true)},
         "</FONT>\n<FONT FACE=\"Courier New\" Size=\"Normal\">\n"},
        {"other face, a little smaller",
         {arial, MakeFont("Courier New", 9, clBlack, true)},
         "</FONT>\n<FONT FACE=\"Courier New\" >\n"},
        {"other size only",
         {arial, MakeFont("Arial", 7, clBlack, true)},
         "</FONT>\n<FONT FACE=\"Arial\" SIZE=\"-1\" >\n"},
        {"a face that needs escaping", {MakeFont("A\"B<", 10)}, "<FONT FACE=\"A&quot;B&lt;\" >\n"},
    };
    for (const FontSetCase& c : cases) {
        HtmlExport out;
        out.BaseFont = MakeFont("Times New Roman", 10);
        std::size_t before = 0;
        for (const TFont& font : c.fonts) {
            before = out.Text().size();
            TTavFormat(TFormatKind::FontSet, font).WriteHTML(out);
        }
        EXPECT_EQ(out.Text().substr(before), c.html) << c.what;
        EXPECT_TRUE(out.FontElementOpen) << c.what;
        ASSERT_TRUE(out.CurrentFont) << c.what;
        EXPECT_EQ(*out.CurrentFont, c.fonts.back()) << c.what;
    }
}

TEST(HtmlFontSet, OtherFormatItemsWriteNothingButAPageBreak) {
    HtmlExport out;
    for (TFormatKind kind : {TFormatKind::BlockBegin, TFormatKind::BlockEnd,
                             TFormatKind::MarginLeft}) {
        TTavFormat(kind, 1.0).WriteHTML(out);
    }
    EXPECT_EQ(out.Text(), "");
    EXPECT_FALSE(out.CurrentFont);
    // A page break holds when the page is printed from a browser.
    TTavFormat(TFormatKind::PageBreak).WriteHTML(out);
    EXPECT_EQ(out.Text(), "<DIV STYLE=\"page-break-after: always\"></DIV>\n");
    EXPECT_FALSE(out.CurrentFont);
}

struct LineCase {
    const char* line;
    const char* characters; // symbols as characters (the default)
    const char* names;      // symbols as HTML names
};

TEST(HtmlItems, FormattedLinesInBothSymbolModes) {
    const LineCase cases[] = {
        {"&pm 2", "<FONT FACE=\"Symbol\">±</FONT> 2", "&plusmn  2"},
        {"&sigma {E} = ", "<FONT FACE=\"Symbol\">σ</FONT> {E} = ", "&sigma  {E} = "},
        {"x&sqr ", "x<FONT FACE=\"Times New Roman\">²</FONT> ", "x&sup2  "},
        {"&amp x", "<FONT FACE=\"Symbol\">&amp;</FONT> x", "&amp  x"},
        {"a&b", "a<FONT FACE=\"\">?</FONT>", "a<FONT FACE=\"\">?</FONT>"},
        {"s&subr;<1", "s<sub>r</sub>&lt;1", "s<sub>r</sub>&lt;1"},
        {"m&super2 x;", "m<sup>2 </sup>", "m<sup>2 </sup>"},
        {"&Font%Arial%12%B%255%a&b;", "<FONT FACE=\"Arial\">a</FONT><FONT FACE=\"\">?</FONT>",
         "<FONT FACE=\"Arial\">a</FONT><FONT FACE=\"\">?</FONT>"},
        {"&Font%Symbol%10%%0%ab;", "<FONT FACE=\"Symbol\">αβ</FONT>",
         "<FONT FACE=\"Symbol\">αβ</FONT>"},
        {"<b>\"", "&lt;b&gt;&quot;", "&lt;b&gt;&quot;"},
    };
    for (const LineCase& c : cases) {
        HtmlExport out;
        EXPECT_EQ(MarkupToHtml(c.line, out), c.characters) << c.line;
        out.SymbolNames = true;
        EXPECT_EQ(MarkupToHtml(c.line, out), c.names) << c.line;
    }
}

TEST(HtmlItems, TextAndFormattedTextLines) {
    HtmlExport out;
    TTavText("Substance <Na{Cl}> & \"æøå\"").WriteHTML(out);
    TTavFormatText("&pm 2").WriteHTML(out);
    EXPECT_EQ(out.Text(), "Substance &lt;Na{Cl}&gt; &amp; &quot;æøå&quot; <br>\n"
                          "<FONT FACE=\"Symbol\">±</FONT> 2\n"
                          "<br>\n");
}

struct HtmlCellCase {
    const char* what;
    std::function<void(TTavCell&)> setup;
    const char* html;
};

TEST(HtmlTable, CellAttributesFontsAndContents) {
    const HtmlCellCase cases[] = {
        {"number", [](TTavCell& c) { c.SetValue(3.14159), c.Decimals = 2; },
         "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r\">3.14</TD> \n"},
        {"missing number", [](TTavCell& c) { c.SetValue(MissingValue); },
         "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r\">&nbsp;</TD> \n"},
        {"left, plain line",
         [](TTavCell& c) {
             c.Kind = TCellKind::ckLines;
             c.Lines = {"a<b&c"};
             c.Alignment = TAlignment::alLeft;
         },
         "<TD HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r\">a&lt;b&amp;c <br></TD> \n"},
        {"centre, one empty plain line",
         [](TTavCell& c) {
             c.Kind = TCellKind::ckLines;
             c.Lines = {""};
             c.Alignment = TAlignment::alCenter;
         },
         "<TD ALIGN=CENTER HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r\">&nbsp; <br></TD> \n"},
        {"plain lines without a line",
         [](TTavCell& c) {
             c.Kind = TCellKind::ckLines;
             c.Lines.clear();
         },
         "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r\">&nbsp;</TD> \n"},
        {"decimal alignment, two plain lines",
         [](TTavCell& c) {
             c.Kind = TCellKind::ckLines;
             c.Lines = {"1.5", "22.25"};
             c.Alignment = TAlignment::alDecimal;
         },
         "<TD ALIGN=LEFT HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r d\">1.5 <br>22.25 <br></TD> \n"},
        {"background colour",
         [](TTavCell& c) {
             c.Color = kRed;
             c.Width = 80;
             c.Height = 20;
         },
         "<TD ALIGN=RIGHT BGCOLOR=\"FF0000\" HEIGHT = \"20\" WIDTH = \"80\" CLASS=\"t b l r\">&nbsp;</TD> \n"},
        {"formatted lines",
         [](TTavCell& c) {
             c.AddLine("&pm 2");
             c.AddLine("s&subr;");
         },
         "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r\"><FONT FACE=\"Symbol\">±</FONT> 2 "
         "s<sub>r</sub> </TD> \n"},
        {"own font: colour, face and size differ",
         [](TTavCell& c) {
             c.AddLine("x");
             c.SetFont(MakeFont("Arial", 12, kRed, true, false, true));
         },
         "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r\"><FONT COLOR=\"FF0000\" FACE=\"Arial\" "
         "SIZE=\"+1\" ><B><U>  x </FONT></U></B>  </TD> \n"},
        {"own font like the base but italic",
         [](TTavCell& c) {
             c.AddLine("x");
             c.SetFont(MakeFont("Times New Roman", 10, clBlack, false, true));
         },
         "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r\"><FONT ><I>  x </FONT></I>  </TD> \n"},
        {"time", [](TTavCell& c) { c.SetTime(0.75); },
         "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r\">18:00:00</TD> \n"},
        {"covered by a merged cell", [](TTavCell& c) { c.MergeState = TMergeState::msCovered; },
         ""},
        // The style sheet draws the cell's own rules; a hidden column shows
        // no box.
        {"rules of their own",
         [](TTavCell& c) {
             c.SetTime(0.75);
             c.Borders = bdTop | bdLeft;
         },
         "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t l\">18:00:00</TD> \n"},
        {"no rules",
         [](TTavCell& c) {
             c.SetTime(0.75);
             c.Borders = 0;
         },
         "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"50\">18:00:00</TD> \n"},
        {"hidden column",
         [](TTavCell& c) {
             c.SetTime(0.75);
             c.Width = 0;
         },
         "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"0\" CLASS=\"h\">18:00:00</TD> \n"},
    };
    for (const HtmlCellCase& c : cases) {
        TTavCell cell;
        c.setup(cell);
        HtmlExport out;
        out.BaseFont = MakeFont("Times New Roman", 10);
        cell.WriteHTML(out);
        EXPECT_EQ(out.Text(), c.html) << c.what;
    }
}

TEST(HtmlTable, CellSizesCanBeSwitchedOff) {
    TTavCell cell;
    cell.SetValue(2.0);
    cell.Decimals = 0;
    cell.Color = kRed;
    HtmlExport out;
    out.CellSizes = false;
    cell.WriteHTML(out);
    EXPECT_EQ(out.Text(), "<TD ALIGN=RIGHT BGCOLOR=\"FF0000\" CLASS=\"t b l r\">2</TD> \n");
}

TEST(HtmlTable, TitleRowsMergedHeadAndFootnotes) {
    TTavTable table(1, 4);
    table.SetAutoSize(false);
    table.Title = {"Table 1", "Level <A>"};
    table.Footnotes = {"* straggler", "** outlier"};
    for (int col = 0; col < 4; ++col) {
        table.SetColWidth(col, 40);
        table.HeadCell(col)->AddLine("h" + std::to_string(col));
        table.ReadCell(0, col)->SetValue(col);
        table.ReadCell(0, col)->Decimals = 0;
    }
    table.Head().MergeRowCells(0, 1, 2);
    table.ApplyMerges();
    HtmlExport out;
    table.WriteHTML(out);
    EXPECT_EQ(out.Text(),
              "<TABLE BORDER=1>\n"
              "<CAPTION>\n"
              "Table 1 <br>Level &lt;A&gt; <br></CAPTION>\n"
              "<TR> \n"
              "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"40\" CLASS=\"t b l r\">h0 </TD> \n"
              "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"120\" COLSPAN= \"3\" CLASS=\"t b l r\">h1 </TD> \n"
              "</TR> \n"
              "\n"
              "<TR> \n"
              "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"40\" CLASS=\"t b l r\">0</TD> \n"
              "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"40\" CLASS=\"t b l r\">1</TD> \n"
              "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"40\" CLASS=\"t b l r\">2</TD> \n"
              "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"40\" CLASS=\"t b l r\">3</TD> \n"
              "</TR> \n"
              "\n"
              "</TABLE>\n"
              "* straggler <br>\n"
              "** outlier <br>\n");
}

TEST(HtmlTable, BareGridIsATableWithoutCaption) {
    TTavBaseTable grid(1, 1);
    grid.ReadCell(0, 0)->SetValue(1.0);
    grid.ReadCell(0, 0)->Decimals = 1;
    HtmlExport out;
    grid.WriteHTML(out);
    EXPECT_EQ(out.Text(), "<TABLE BORDER=1>\n<TR> \n"
                          "<TD ALIGN=RIGHT HEIGHT = \"15\" WIDTH = \"50\" CLASS=\"t b l r\">1.0</TD> \n"
                          "</TR> \n\n</TABLE>\n");
}

TPicture SmallPicture() {
    TPicture picture;
    picture.Width = 3;
    picture.Height = 2;
    picture.Pixels = {kRed, clWhite, kRed, clBlack, clBlack, clWhite};
    return picture;
}

// 16-bit little-endian at `pos`.
unsigned Word(const std::string& bytes, std::size_t pos) {
    return static_cast<unsigned char>(bytes[pos]) |
           (static_cast<unsigned char>(bytes[pos + 1]) << 8);
}

struct GifNameCase {
    const char* what;
    const char* htmlName;
    std::vector<std::string> existing;
    int counter;
    const char* gifName; // nullptr: the naming message instead
    int counterAfter;
};

TEST(HtmlPictures, GifFileNamesAndTheNamingMessage) {
    const GifNameCase cases[] = {
        {"first picture", "page.html", {}, 0, "page0.gif", 1},
        {"four characters of the name", "report.htm", {}, 0, "repo0.gif", 1},
        {"cut after a full stop", "ab.html", {}, 0, "ab.0.gif", 1},
        {"existing files are skipped", "page.html", {"page0.gif", "page1.gif"}, 0, "page2.gif", 3},
        {"the counter goes on from where it stands", "page.html", {}, 7, "page7.gif", 8},
        {"the last number that can be used", "page.html", {}, 9998, "page9998.gif", 9999},
        {"reaching 9999", "page.html", {}, 9999, nullptr, 10000},
        {"reaching 9999 past an existing file",
         "page.html",
         {"page9998.gif"},
         9998,
         nullptr,
         10000},
    };
    for (const GifNameCase& c : cases) {
        RecordingHost host;
        const fs::path dir = FreshFolder("names");
        for (const std::string& name : c.existing) {
            std::ofstream(dir / name) << "old";
        }
        TTavBaseTable grid(1, 2);
        grid.ReadCell(0, 0)->SetPicture(SmallPicture());
        grid.ReadCell(0, 0)->Width = 30;
        grid.ReadCell(0, 0)->Height = 20;
        grid.ReadCell(0, 1)->SetValue(1.0);
        HtmlExport out(dir / c.htmlName);
        out.GifCounter = c.counter;
        grid.WriteHTML(out);
        EXPECT_EQ(out.GifCounter, c.counterAfter) << c.what;
        // The table goes on after the picture cell either way.
        EXPECT_NE(out.Text().find("1.000</TD> \n</TR> \n\n</TABLE>\n"), std::string::npos)
            << c.what;
        if (c.gifName == nullptr) {
            EXPECT_EQ(host.Messages, (std::vector<std::string>{
                                         "Unable to create gif files. Please delete some files "
                                         "called \"pageXXXX.gif"}))
                << c.what;
            EXPECT_EQ(out.Text().find("<img"), std::string::npos) << c.what;
            EXPECT_FALSE(fs::exists(dir / "page9999.gif")) << c.what;
            continue;
        }
        EXPECT_TRUE(host.Messages.empty()) << c.what;
        EXPECT_NE(out.Text().find(std::string("\"><img src=\"") + c.gifName +
                                  "\" HEIGHT=20 WIDTH=30></TD> \n"),
                  std::string::npos)
            << c.what << "\n"
            << out.Text();
        std::string bytes;
        ASSERT_TRUE(ReadWholeFile(dir / c.gifName, bytes)) << c.what;
        ASSERT_GE(bytes.size(), 10u) << c.what;
        EXPECT_EQ(bytes.substr(0, 6), "GIF87a") << c.what;
        EXPECT_EQ(Word(bytes, 6), 3u) << c.what;
        EXPECT_EQ(Word(bytes, 8), 2u) << c.what;
        for (const std::string& name : c.existing) {
            std::string old;
            ReadWholeFile(dir / name, old);
            EXPECT_EQ(old, "old") << c.what << ": " << name;
        }
    }
}

TEST(HtmlPage, DeclaresUtf8ClosesTheFontElementAndWritesGifsBesideIt) {
    const fs::path dir = FreshFolder("page");
    TTavContents document;
    document.PrintTitle = "Results <A&B>";
    document.AddText("æøå");
    document.SetFont(MakeFont("Arial", 10));
    auto table = std::make_unique<TTavTable>(1, 1);
    table->ReadCell(0, 0)->SetPicture(SmallPicture());
    document.AddTable(std::move(table));
    const fs::path page = dir / "results.html";
    WriteDocumentHtml(document, page);

    std::string html;
    ASSERT_TRUE(ReadWholeFile(page, html));
    EXPECT_TRUE(html.starts_with("<!DOCTYPE html>\n<HTML>\n<HEAD>\n<META charset=\"utf-8\">\n"
                                 "<TITLE>Results &lt;A&amp;B&gt;</TITLE>\n"))
        << html;
    EXPECT_NE(html.find("æøå <br>\n"), std::string::npos);
    EXPECT_TRUE(html.ends_with("</TABLE>\n</FONT>\n</BODY>\n</HTML>\n")) << html;
    // Referred to by name and written in the page's folder.
    EXPECT_NE(html.find("<img src=\"resu0.gif\""), std::string::npos) << html;
    EXPECT_TRUE(fs::exists(dir / "resu0.gif"));
    // Nothing else is left in the folder (no temporary file).
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"resu0.gif", "results.html"}));
}

TEST(HtmlPage, SwitchesReachTheItems) {
    const fs::path dir = FreshFolder("switches");
    TTavContents document;
    document.AddFormatText("&pm 2");
    auto table = std::make_unique<TTavTable>(1, 1);
    document.AddTable(std::move(table));
    THtmlOptions options;
    options.SymbolNames = true;
    options.CellSizes = false;
    WriteDocumentHtml(document, dir / "p.html", options);
    std::string html;
    ASSERT_TRUE(ReadWholeFile(dir / "p.html", html));
    EXPECT_NE(html.find("&plusmn  2\n"), std::string::npos) << html;
    EXPECT_NE(html.find("<TD ALIGN=RIGHT CLASS=\"t b l r\">&nbsp;</TD> "), std::string::npos) << html;
}

TEST(HtmlPage, AGifWriterErrorEndsThePageAfterTheImageElement) {
    const fs::path dir = FreshFolder("gif_error");
    TTavContents document;
    document.AddText("before");
    auto table = std::make_unique<TTavTable>(1, 2);
    // Wider than a GIF image can be.
    TPicture wide;
    wide.Width = 70000;
    wide.Height = 1;
    wide.Pixels.assign(70000, clWhite);
    table->ReadCell(0, 0)->SetPicture(std::move(wide));
    table->ReadCell(0, 1)->SetValue(5.0);
    document.AddTable(std::move(table));
    document.AddText("after");
    const fs::path page = dir / "wide.html";
    EXPECT_THROW(WriteDocumentHtml(document, page), EGifException);
    std::string html;
    ASSERT_TRUE(ReadWholeFile(page, html));
    EXPECT_NE(html.find("before <br>\n"), std::string::npos);
    EXPECT_TRUE(html.ends_with("<img src=\"wide0.gif\" HEIGHT=15 WIDTH=50>")) << html;
    EXPECT_FALSE(fs::exists(dir / "wide0.gif"));
}

TEST(HtmlPage, AnUnwritablePageIsAnExportError) {
    TTavContents document;
    document.AddText("x");
    const fs::path missing = FreshFolder("unwritable") / "no such folder" / "p.html";
    EXPECT_THROW(WriteDocumentHtml(document, missing), EExportError);
    EXPECT_FALSE(fs::exists(missing));
}

TEST(HtmlPage, AStyleSheetLaysTablesOutAsTheyPrint) {
    const fs::path dir = FreshFolder("style");
    TTavContents document;
    document.DefaultFont = MakeFont("Times New Roman", 10);
    auto table = std::make_unique<TTavTable>(1, 1);
    table->Title = {"Lead, mg/kg"};
    document.AddTable(std::move(table));
    WriteDocumentHtml(document, dir / "p.html");
    std::string html;
    ASSERT_TRUE(ReadWholeFile(dir / "p.html", html));
    const auto style = html.find("<STYLE>");
    ASSERT_NE(style, std::string::npos);
    EXPECT_LT(style, html.find("</HEAD>"));
    EXPECT_NE(html.find("font-family: \"Times New Roman\""), std::string::npos);
    EXPECT_NE(html.find("font-size: 10pt"), std::string::npos);
    EXPECT_NE(html.find("border-collapse: collapse"), std::string::npos);
    // The caption is the table's first child, as HTML requires.
    EXPECT_NE(html.find("<TABLE BORDER=1>\n<CAPTION>\nLead, mg/kg <br></CAPTION>"),
              std::string::npos)
        << html;
}

} // namespace
} // namespace veltrio
