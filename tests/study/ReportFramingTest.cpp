#include "StudyFixture.h"

#include "documents/Contents.h"
#include "documents/Table.h"
#include "documents/TextItems.h"
#include "study/CellText.h"
#include "study/ReportFraming.h"

using namespace veltrio;
using veltrio::testing::StudyFixture;

TEST(FormatNumber, PlacesTheDecimalPointOnTheColumn) {
    struct Case {
        int Width, Column, Decimals;
        double Value;
        std::string Expected;
    } cases[] = {
        {13, 6, 2, 3.14159, "    3.14     "},
        {13, 6, 0, 42, "   42        "},
        {8, 3, 1, -99, "  -     "},
        {8, 4, 2, -1.005, " -1.00  "}, // -1.005 is just below -1.005 in binary
        {8, 4, 2, -0.001, "  0.00  "}, // no minus sign on a rounded zero
        {10, 6, 3, 2.0005, "    2.001 "},
        // A number too long for its field widens it, to the left or to the
        // right; no digit and no sign is lost.
        {6, 2, 3, 12345.678, "12345.678 "},
        {5, 5, 2, 1.5, "   1.50"},
        {6, 2, 1, -123.4, "-123.4   "},
        {4, 1, 0, -7, "-7    "},
        {3, 3, 2, -1e6, "-1000000.00"},
    };
    for (const auto& c : cases) {
        const std::string s = FormatNumber(c.Width, c.Column, c.Decimals, c.Value);
        EXPECT_EQ(s, c.Expected) << c.Value;
        EXPECT_GE(s.size(), static_cast<std::size_t>(c.Width));
    }
}

TEST(CellText, NumbersWithoutDecimalsBeginAfterTheColumn) {
    // The mean/SD texts differ from FormatNumber only without decimals.
    EXPECT_EQ(AlignedNumberText(3.14159, 2, 6, 13), "    3.14     ");
    EXPECT_EQ(AlignedNumberText(42, 0, 6, 13), "      42     ");
    EXPECT_EQ(AlignedNumberText(-99, 3, 4, 8), "   -    ");
}

TEST(Framing, SmallHelpers) {
    EXPECT_EQ(PadLeft("ab", 4), "  ab");
    EXPECT_EQ(PadLeft("abcdef", 4), "abcdef");
    EXPECT_EQ(UpperCaseText("abc-æ9z"), "ABC-æ9Z");
    EXPECT_EQ(MinOf(1.0, -2.0), -2.0);
    EXPECT_EQ(MaxOf(1.0, -2.0), 1.0);
    EXPECT_TRUE(FileCanBeOpened(std::string(VELTRIO_TEST_DATA) + "/study/SPLIT.PAR"));
    EXPECT_FALSE(FileCanBeOpened(std::string(VELTRIO_TEST_DATA) + "/study/NONE.PAR"));
    EXPECT_FALSE(FileCanBeOpened(VELTRIO_TEST_DATA));
}

TEST(Framing, TableBoxFramesOnlyTheBlock) {
    TTavTable table(4, 4);
    TableBox(table, 1, 1, 2, 3);
    struct Case {
        int Row, Col;
        std::uint8_t Borders;
    } cases[] = {
        {1, 1, bdTop | bdLeft},    {1, 2, bdTop},    {1, 3, bdTop | bdRight},
        {2, 1, bdBottom | bdLeft}, {2, 2, bdBottom}, {2, 3, bdBottom | bdRight},
        {0, 0, bdAll},             {3, 3, bdAll},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(table.ReadCell(c.Row, c.Col)->Borders, c.Borders) << c.Row << "," << c.Col;
    }
    TTavTable single(1, 1);
    TableBox(single, 0, 0, 0, 0);
    EXPECT_EQ(single.ReadCell(0, 0)->Borders, bdAll);
}

class FramingDocument : public StudyFixture {};

TEST_F(FramingDocument, FrameDocumentAndDiscardNote) {
    program.Settings.OutputFontName = "Liberation Serif";
    program.Settings.LineWidth = 0.4;
    program.CurrentFile = "/data/PT7.PAR";
    program.FixedDate = "2026-12-10";
    TTavContents doc;
    AddDiscardNote(program, doc);
    doc.AddText("body");
    FrameDocument(program, doc, 5200);
    EXPECT_EQ(doc.DefaultFont.Name, "Liberation Serif");
    EXPECT_EQ(doc.DefaultFont.Size, 10);
    EXPECT_EQ(doc.PageHeaderFont.Size, 10);
    EXPECT_EQ(doc.PageFooterFont.Size, 10);
    EXPECT_EQ(doc.PageNumberFont.Size, 6);
    EXPECT_TRUE(doc.PageNumbers);
    EXPECT_EQ(doc.PageNumberFormat, TPageNumberFormat::pnfNrAfAntal);
    EXPECT_EQ(doc.PageFooter, (std::vector<std::string>{"/data/PT7.PAR", "2026-12-10"}));
    EXPECT_EQ(doc.PrintTitle, "VELTRIO");
    EXPECT_EQ(program.NextHelpContext, 5200);
    // The note in bold italic, then the font back to upright.
    const auto lines = doc.AsStrings();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], program.LibText(1, 93));
    EXPECT_FALSE(program.LibText(1, 93).empty());

    TTavTable table(2, 2);
    TableLineWidth(program, table);
    EXPECT_DOUBLE_EQ(table.LineWidthMm(), 0.2);
    EXPECT_DOUBLE_EQ(table.Head().LineWidthMm(), 0.2);
}
