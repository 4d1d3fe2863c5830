// The document: items in order, the shared cursor, plain text, and what each
// item kind measures and draws on the fixed-metric canvas.

#include "documents/Contents.h"
#include "documents/FormatItem.h"
#include "documents/Table.h"
#include "documents/TextItems.h"
#include "documents/testing/FakeCanvas.h"
#include "documents/testing/RecordingHost.h"

#include <gtest/gtest.h>

namespace veltrio {
namespace {

using testing::FakeCanvas;
using testing::RecordingHost;

std::string TextOf(const TTavBrowseObject* item) {
    if (const auto* text = dynamic_cast<const TTavText*>(item)) {
        return text->Text;
    }
    return item == nullptr ? "nil" : "other";
}

TEST(Contents, DefaultsOfANewDocument) {
    TTavContents doc;
    EXPECT_EQ(doc.DefaultFont, (TFont{"Times New Roman", 10}));
    EXPECT_EQ(doc.PageFooterFont, doc.DefaultFont);
    EXPECT_EQ(doc.PageNrText1, "Side");
    EXPECT_EQ(doc.PageNrText2, "af");
    EXPECT_EQ(doc.PrintTitle, "TAV Print job");
    EXPECT_EQ(doc.PageNumberFormat, TPageNumberFormat::pnfSideNrAfAntal);
    EXPECT_EQ(doc.PageNumberPosition, TPageNumberPosition::pnpTopRight);
    EXPECT_EQ(doc.FirstPageNumber, 1);
    EXPECT_EQ(doc.InitialMarginLeft, MissingValue);
    EXPECT_FALSE(doc.PageNumbers);
}

TEST(Contents, EmptyDocumentHasNoItemsAndNoText) {
    TTavContents doc;
    EXPECT_EQ(doc.First(), nullptr);
    EXPECT_EQ(doc.Last(), nullptr);
    EXPECT_EQ(doc.Next(), nullptr);
    EXPECT_EQ(doc.Prior(), nullptr);
    EXPECT_TRUE(doc.AsStrings().empty());
}

TEST(Contents, CursorWalksAndStopsAtTheEnds) {
    TTavContents doc;
    doc.AddText("a");
    doc.AddText("b");
    // Appending leaves the cursor on the new item.
    EXPECT_EQ(TextOf(doc.Current()), "b");
    doc.AddText("c");

    EXPECT_EQ(TextOf(doc.First()), "a");
    EXPECT_EQ(TextOf(doc.Prior()), "nil");
    EXPECT_EQ(TextOf(doc.Current()), "a");
    EXPECT_EQ(TextOf(doc.Next()), "b");
    EXPECT_EQ(TextOf(doc.Next()), "c");
    EXPECT_EQ(TextOf(doc.Next()), "nil");
    // After running off the end, Prior gives the item before the last.
    EXPECT_EQ(TextOf(doc.Prior()), "b");
    EXPECT_EQ(TextOf(doc.Last()), "c");
}

TEST(Contents, SetMarginLeftKeepsTheFirstValueAsInitialMargin) {
    TTavContents doc;
    doc.SetMarginLeft(2.5);
    doc.SetMarginLeft(4.0);
    EXPECT_EQ(doc.InitialMarginLeft, 2.5);
    ASSERT_EQ(doc.Count(), 2u);
    EXPECT_EQ(dynamic_cast<TTavFormat&>(doc.Item(0)).Value, 2.5);
    EXPECT_EQ(dynamic_cast<TTavFormat&>(doc.Item(1)).Value, 4.0);
}

TEST(Contents, FormatOperationsAppendTheirKinds) {
    TTavContents doc;
    doc.BlockBegin();
    doc.SetFont(TFont{"Arial", 14});
    doc.PageBreak();
    doc.BlockEnd();
    doc.SetMarginLeft(1.5);
    const TFormatKind expected[] = {TFormatKind::BlockBegin, TFormatKind::FontSet,
                                    TFormatKind::PageBreak, TFormatKind::BlockEnd,
                                    TFormatKind::MarginLeft};
    ASSERT_EQ(doc.Count(), std::size(expected));
    for (std::size_t i = 0; i < doc.Count(); ++i) {
        const auto& item = dynamic_cast<TTavFormat&>(doc.Item(i));
        EXPECT_EQ(item.Kind, expected[i]) << i;
        EXPECT_TRUE(item.IsFormat());
    }
    EXPECT_EQ(dynamic_cast<TTavFormat&>(doc.Item(1)).Font->Name, "Arial");
}

TEST(Contents, AsStringsHoldsTextLinesAndTablesOnly) {
    TTavContents doc;
    doc.AddText("Heading");
    doc.AddFormatText("&sigma  is not plain text");
    doc.SetFont(TFont{"Arial", 12});

    auto table = std::make_unique<TTavTable>(2, 3);
    table->Title = {"Substance mg/kg", "Level 1", "Level 2"};
    table->Footnotes = {"note 1", "note 2"};
    table->HeadCell(0)->AddLine("Lab");
    table->HeadCell(1)->AddLine("Value");
    table->HeadCell(2)->AddLine("Mark");
    table->ReadCell(0, 0)->AddLine("A1");
    table->ReadCell(0, 1)->SetValue(3.14159);
    table->ReadCell(0, 1)->Decimals = 2;
    table->ReadCell(0, 2)->AddLines({"C*", "G**"});
    table->ReadCell(1, 0)->AddLine("B2");
    // Row 1: a missing value and a default (missing) number.
    doc.AddTable(std::move(table));

    auto oneTitle = std::make_unique<TTavTable>(1, 1);
    oneTitle->Title = {"only line"};
    oneTitle->ReadCell(0, 0)->SetValue(12345.678912345);
    oneTitle->ReadCell(0, 0)->Decimals = 8;
    doc.AddTable(std::move(oneTitle));

    auto grid = std::make_unique<TTavBaseTable>(1, 2);
    grid->ReadCell(0, 0)->AddLine("x");
    grid->ReadCell(0, 1)->SetTime(0.5);
    doc.AddTable(std::move(grid));
    doc.AddText("End");

    const std::vector<std::string> expected = {
        "Heading",
        "Level 1",
        "Level 2",
        "Lab\tValue\tMark\t",
        "A1\t3.14\tC*\t",
        "\t\tG**\t",
        "B2\t\t\t",
        "note 2",
        // An untouched head cell is an empty number: one empty line.
        "\t",
        // 10 significant digits, the rest of the decimals as zeros.
        "12345.67891000\t",
        "x\t12:00:00\t",
        "End",
    };
    EXPECT_EQ(doc.AsStrings(), expected);

    // For a reader (clipboard, text files) the tables keep the first title
    // line, which names substance and unit, and the first footnote.
    std::vector<std::string> complete = expected;
    complete.insert(complete.begin() + 1, "Substance mg/kg");
    complete.insert(complete.begin() + 8, "note 1");
    complete.insert(complete.begin() + 10, "only line");
    EXPECT_EQ(doc.PlainText(), complete);
}

// Text files show a formatted cell as it is shown ("± 2.250"); the
// document's own text keeps the markup, and plain lines stay as written.
TEST(Contents, PlainTextShowsFormattedCellsAsShown) {
    TTavContents doc;
    auto table = std::make_unique<TTavTable>(1, 3);
    table->ReadCell(0, 0)->Lines = {"&pm 2.250"};
    table->ReadCell(0, 0)->Kind = TCellKind::ckFormatLines;
    table->ReadCell(0, 1)->Lines = {"&pm plain"};
    table->ReadCell(0, 1)->Kind = TCellKind::ckLines;
    table->ReadCell(0, 2)->Lines = {"s&subr; = 1"};
    table->ReadCell(0, 2)->Kind = TCellKind::ckFormatLines;
    doc.AddTable(std::move(table));
    EXPECT_EQ(doc.AsStrings(),
              (std::vector<std::string>{"\t\t\t", "&pm 2.250\t&pm plain\ts&subr; = 1\t"}));
    EXPECT_EQ(doc.PlainText(),
              (std::vector<std::string>{"\t\t\t", "\u00b1 2.250\t&pm plain\tsr = 1\t"}));
}

TEST(Items, TextAndFormattedTextMeasureAndDraw) {
    FakeCanvas canvas;
    TTavText text("abcd");
    EXPECT_EQ(text.ScreenWidth(canvas), 24);
    EXPECT_EQ(text.ScreenHeight(canvas), 16);
    EXPECT_EQ(text.CachedHeight, 16);
    text.Draw(5, 7, canvas);
    ASSERT_EQ(canvas.Texts.size(), 1u);
    EXPECT_EQ(canvas.Texts[0].X, 5);
    EXPECT_EQ(canvas.Texts[0].Y, 7);
    EXPECT_EQ(canvas.Texts[0].Vert, TVertAlign::Top);

    TTavFormatText formatted("a&Font%Arial%20%%0%B;");
    EXPECT_EQ(formatted.ScreenWidth(canvas), 6 + 12);
    EXPECT_EQ(formatted.ScreenHeight(canvas), 32);
    EXPECT_EQ(formatted.CachedHeight, 32);
}

TEST(Items, FontItemChangesTheCanvasFontAndOthersDrawNothing) {
    FakeCanvas canvas;
    const TFont arial{"Arial", 14, clBlack, true};
    TTavFormat font(TFormatKind::FontSet, arial);
    font.Draw(0, 0, canvas);
    EXPECT_EQ(canvas.Font(), arial);
    EXPECT_EQ(font.ScreenHeight(canvas), 0);
    EXPECT_EQ(font.ScreenWidth(canvas), 0);
    TTavFormat pageBreak(TFormatKind::PageBreak);
    pageBreak.Draw(0, 0, canvas);
    EXPECT_TRUE(canvas.Texts.empty());
    EXPECT_TRUE(canvas.Shapes.empty());
}

TEST(Items, ShowInfoDescribesTheItem) {
    RecordingHost host;
    TTavText("plain").ShowInfo();
    TTavFormatText("&pi  r").ShowInfo();
    TTavFormat(TFormatKind::FontSet, TFont{"Arial", 9}).ShowInfo();
    TTavFormat(TFormatKind::MarginBottom, 2.0).ShowInfo();
    TTavTable(3, 2).ShowInfo();
    const std::vector<std::string> expected = {"Line : plain", "Line : &pi  r",
                                               "Format : FontSet Arial", "Format : MarginBottom",
                                               "Table : (2,3)"};
    EXPECT_EQ(host.Messages, expected);
}

} // namespace
} // namespace veltrio
