// Printing a document on the fixed-metric print engine: the printing loop,
// keep-together blocks, format items, page header, footer and page numbers.
// A4 paper, margins left 1, right 1, top 2, bottom 1 cm; a 10-point line is
// 0.5 cm high and a character 0.2 cm wide.

#include "documents/Contents.h"
#include "documents/FormatItem.h"
#include "documents/TavPrinter.h"
#include "documents/testing/FakeReport.h"

#include <gtest/gtest.h>

namespace veltrio {
namespace {

using testing::FakeReport;

std::string Line(int i) {
    return "line " + std::to_string(i);
}

void AddLines(TTavContents& doc, int from, int to) {
    for (int i = from; i <= to; ++i) {
        doc.AddText(Line(i));
    }
}

FakeReport Print(TTavContents& doc) {
    FakeReport report;
    TTavPrinter printer;
    printer.Document = &doc;
    printer.Generate(report);
    return report;
}

TEST(Printing, LinesFillThePageAboveTheBottomMargin) {
    TTavContents doc;
    AddLines(doc, 1, 120);
    const FakeReport report = Print(doc);
    ASSERT_EQ(report.Pages.size(), 3u);
    // Page 1 starts one line below top margin + header (none) + line height:
    // base lines 3.0, 3.5, ... while more than a line is left above 28.7.
    const auto& first = report.Pages[0];
    ASSERT_EQ(first.Texts.size(), 52u);
    EXPECT_DOUBLE_EQ(first.Texts.front().Y, 3.0);
    EXPECT_DOUBLE_EQ(first.Texts.front().X, 1.0);
    EXPECT_NEAR(first.Texts.back().Y, 28.5, 1e-9);
    // Later pages start at the top of the section (top margin + 0.2 lines).
    const auto& second = report.Pages[1];
    EXPECT_EQ(second.Texts.front().Value, Line(53));
    EXPECT_NEAR(second.Texts.front().Y, 2.6, 1e-9);
    EXPECT_EQ(second.Texts.size(), 53u);
    EXPECT_EQ(report.Pages[2].Texts.back().Value, Line(120));
    EXPECT_EQ(report.DocumentsBegun, 1); // the counting pass prints nothing
}

struct BlockCase {
    const char* name;
    int linesBefore;
    int blockLines;
    bool closed;
    int pageOfFirstBlockLine;
};

TEST(Printing, KeepTogetherBlocks) {
    const BlockCase cases[] = {
        {"fits in the rest of the page", 10, 10, true, 1},
        // After 45 lines 7 whole lines remain; 10 go to the next page.
        {"needs more lines than remain", 45, 10, true, 2},
        {"exactly the remaining lines", 45, 7, true, 1},
        // 60 lines (30 cm) exceed the printable 26.7 cm: printed where it stands.
        {"taller than a page", 45, 60, true, 1},
        // An unclosed block measures -1 and is printed where it stands.
        {"never closed", 45, 10, false, 1},
    };
    for (const BlockCase& c : cases) {
        TTavContents doc;
        AddLines(doc, 1, c.linesBefore);
        doc.BlockBegin();
        AddLines(doc, 1000, 999 + c.blockLines);
        if (c.closed) {
            doc.BlockEnd();
        }
        doc.AddText("after");
        const FakeReport report = Print(doc);
        EXPECT_EQ(report.PageOf(Line(1000)), c.pageOfFirstBlockLine) << c.name;
        EXPECT_NE(report.PageOf("after"), 0) << c.name;
        if (c.pageOfFirstBlockLine == 2) {
            EXPECT_EQ(report.PageOf(Line(c.linesBefore)), 1) << c.name;
        }
    }
}

TEST(Printing, BlockHeightIsMeasuredInTheFontAtItsStartAndEndsAtBreaks) {
    FakeReport report;
    report.OnPrint = [](Report& r) {
        TTavContents doc;
        doc.BlockBegin();
        doc.AddText("a");
        doc.SetFont(TFont{"Times New Roman", 20}); // passed over while measuring
        doc.AddFormatText("b&Font%Arial%30%%0%big;");
        doc.AddText("c");
        doc.BlockEnd();
        doc.BlockBegin();
        doc.AddText("d");
        doc.PageBreak();
        doc.BlockEnd();

        r.SetFont(TFont{"Times New Roman", 10});
        auto* first = dynamic_cast<TTavFormat*>(doc.First());
        EXPECT_DOUBLE_EQ(first->BlockHeight(r, doc), 0.5 + 1.5 + 0.5);
        EXPECT_EQ(doc.CursorIndex(), 0); // the cursor is back on the block
        doc.SetCursorIndex(6);
        auto* second = dynamic_cast<TTavFormat*>(doc.Current());
        EXPECT_DOUBLE_EQ(second->BlockHeight(r, doc), -1.0);
        EXPECT_EQ(doc.CursorIndex(), 6);
    };
    report.Execute();
}

TEST(Printing, FormatItemsChangeFontMarginsPagesAndOrientation) {
    TTavContents doc;
    doc.SetMarginLeft(3.0);
    doc.AddText("A");
    doc.SetFont(TFont{"Arial", 20, MakeColor(0, 0, 255), true});
    doc.SetMarginLeft(5.0);
    doc.AddText("B");
    doc.PageBreak();
    doc.AddText("C");
    doc.AddItem(std::make_unique<TTavFormat>(TFormatKind::Landscape));
    doc.PageBreak();
    doc.AddText("D");

    const FakeReport report = Print(doc);
    ASSERT_EQ(report.Pages.size(), 3u);
    const auto* a = report.Pages[0].Find("A");
    const auto* b = report.Pages[0].Find("B");
    ASSERT_TRUE(a && b);
    EXPECT_DOUBLE_EQ(a->X, 3.0);
    EXPECT_EQ(a->Font, doc.DefaultFont);
    EXPECT_DOUBLE_EQ(b->X, 5.0);
    EXPECT_EQ(b->Font.Name, "Arial");
    EXPECT_DOUBLE_EQ(b->Y, a->Y + 1.0); // a 20-point line
    // A new page starts at the first margin of the document again; the font
    // carries over.
    const auto* c = report.Pages[1].Find("C");
    ASSERT_TRUE(c);
    EXPECT_DOUBLE_EQ(c->X, 3.0);
    EXPECT_EQ(c->Font.Size, 20);
    EXPECT_DOUBLE_EQ(report.Pages[1].Width, 21.0);
    EXPECT_DOUBLE_EQ(report.Pages[2].Width, 29.7);
    EXPECT_DOUBLE_EQ(report.Pages[2].Height, 21.0);
}

TEST(Printing, FormattedLineMovesDownByItsTallestFont) {
    TTavContents doc;
    doc.AddText("a");
    doc.AddFormatText("x&Font%Arial%30%%0%Big;");
    doc.AddText("b");
    const FakeReport report = Print(doc);
    const auto& page = report.Pages.at(0);
    EXPECT_DOUBLE_EQ(page.Find("x")->Y, 3.0 + 1.5);
    EXPECT_DOUBLE_EQ(page.Find("Big")->Y, 3.0 + 1.5);
    EXPECT_DOUBLE_EQ(page.Find("b")->Y, 4.5 + 0.5);
}

struct NumberCase {
    TPageNumberFormat format;
    int firstPageNumber;
    const char* secondPage;
};

TEST(Printing, PageNumbers) {
    const NumberCase cases[] = {
        {TPageNumberFormat::pnfNrAfAntal, 1, "2/3"},
        {TPageNumberFormat::pnfSideNrAfAntal, 1, "Side 2 af 3"},
        {TPageNumberFormat::pnfSideNr, 1, "Side 2"},
        {TPageNumberFormat::pnfNr, 1, "2 "},
        {TPageNumberFormat::pnfSideNr, 5, "Side 6"},
    };
    for (const NumberCase& c : cases) {
        TTavContents doc;
        doc.PageNumbers = true;
        doc.PageNumberFormat = c.format;
        doc.FirstPageNumber = c.firstPageNumber;
        AddLines(doc, 1, 120);
        const FakeReport report = Print(doc);
        ASSERT_EQ(report.Pages.size(), 3u);
        const auto* number = report.Pages[1].Find(c.secondPage);
        ASSERT_NE(number, nullptr) << c.secondPage << "\n" << report.Pages[1].Joined();
        // Right-aligned 1 cm inside the right margin, on the top margin.
        EXPECT_NEAR(number->X + 0.2 * std::string(c.secondPage).size(), 19.0, 1e-9);
        EXPECT_DOUBLE_EQ(number->Y, 2.0);
    }
}

TEST(Printing, PageThreeOfFiveAndTheFirstPageNumber) {
    TTavContents doc;
    doc.PageNumbers = true;
    doc.PageNumberFormat = TPageNumberFormat::pnfNrAfAntal;
    doc.PageNumberPosition = TPageNumberPosition::pnpBottomRight;
    AddLines(doc, 1, 230);
    FakeReport report = Print(doc);
    ASSERT_EQ(report.Pages.size(), 5u);
    const auto* third = report.Pages[2].Find("3/5");
    ASSERT_NE(third, nullptr);
    EXPECT_DOUBLE_EQ(third->Y, 29.7 - 1.0);

    doc.FirstPageNumber = 5;
    doc.PageNumberFormat = TPageNumberFormat::pnfSideNr;
    report = Print(doc);
    EXPECT_NE(report.Pages[0].Find("Side 5"), nullptr);
    EXPECT_NE(report.Pages[4].Find("Side 9"), nullptr);
}

TEST(Printing, HeaderAndFooterLinesOnEveryPage) {
    TTavContents doc;
    doc.PageHeader = {"Study 7", "Cochran"};
    doc.PageFooter = {"file.par", "2024-01-01"};
    doc.PageHeaderFont = TFont{"Arial", 12};
    doc.PageFooterFont = TFont{"Arial", 8};
    AddLines(doc, 1, 100);
    const FakeReport report = Print(doc);
    ASSERT_GE(report.Pages.size(), 2u);
    for (const auto& page : report.Pages) {
        // Header: from the top margin one 12-point line (0.6 cm) apart.
        const auto* h1 = page.Find("Study 7");
        const auto* h2 = page.Find("Cochran");
        ASSERT_TRUE(h1 && h2);
        EXPECT_DOUBLE_EQ(h1->Y, 2.6);
        EXPECT_DOUBLE_EQ(h2->Y, 3.2);
        EXPECT_EQ(h1->Font.Name, "Arial");
        // Footer: its last line on the bottom of the section (28.7 cm).
        const auto* f1 = page.Find("file.par");
        const auto* f2 = page.Find("2024-01-01");
        ASSERT_TRUE(f1 && f2);
        EXPECT_NEAR(f1->Y, 28.3, 1e-9);
        EXPECT_NEAR(f2->Y, 28.7, 1e-9);
        EXPECT_EQ(f2->Font.Size, 8);
        // The body stays above the footer: more than a line above 28.7 - 0.8.
        for (const auto& text : page.Texts) {
            if (text.Value.rfind("line ", 0) == 0) {
                EXPECT_LT(text.Y, 27.9 + 1e-9) << text.Value;
                EXPECT_GT(text.Y, 3.2) << text.Value;
            }
        }
    }
    // First page: body starts below top margin + header height + one line.
    EXPECT_NEAR(report.Pages[0].Find(Line(1))->Y, 2.0 + 1.2 + 0.6 + 0.5, 1e-9);
}

TEST(Printing, TitleOrientationBackgroundAndCursor) {
    TTavContents doc;
    doc.PrintTitle = "A print title that is longer than thirty-one characters";
    doc.PrintOrientation = 2;
    doc.BackGround = TPicture{378, 189, std::vector<TColor>(378 * 189, clWhite)};
    doc.BackGroundCenter = true;
    AddLines(doc, 1, 3);
    doc.SetCursorIndex(1);

    const FakeReport report = Print(doc);
    EXPECT_EQ(report.DocumentTitle, "A print title that is longer th");
    ASSERT_EQ(report.Pages.size(), 1u);
    EXPECT_DOUBLE_EQ(report.Pages[0].Width, 29.7);
    ASSERT_EQ(report.Pages[0].Pictures.size(), 1u);
    const auto& picture = report.Pages[0].Pictures[0];
    // 378 x 189 pixels at 96 dpi: 10.00125 x 5.000625 cm, centred on the page.
    const double width = 378 * 2.54 / 96;
    const double height = 189 * 2.54 / 96;
    EXPECT_NEAR(picture.X1, (29.7 - width) / 2, 1e-9);
    EXPECT_NEAR(picture.Y1, (21.0 - height) / 2, 1e-9);
    EXPECT_NEAR(picture.X2 - picture.X1, width, 1e-9);
    EXPECT_EQ(doc.CursorIndex(), 1);
}

TEST(Printing, PrintQualityFollowsThePrinterResolution) {
    const std::pair<int, int> cases[] = {{75, -1}, {150, -2}, {300, -3}, {600, -4}, {1200, -3}};
    for (const auto& [dpi, quality] : cases) {
        EXPECT_EQ(TTavPrinter::PrintQualityFor(dpi), quality) << dpi;
    }
}

TEST(Printing, AnItemThatFitsOnNoPageIsPrintedOnce) {
    // A footer taller than the page leaves no room for any line.
    TTavContents doc;
    doc.PageFooter.assign(60, "f");
    AddLines(doc, 1, 2);
    const FakeReport report = Print(doc);
    EXPECT_EQ(report.Pages.size(), 3u);
    EXPECT_EQ(report.PageOf(Line(1)), 2);
    EXPECT_EQ(report.PageOf(Line(2)), 3);
}

} // namespace
} // namespace veltrio
