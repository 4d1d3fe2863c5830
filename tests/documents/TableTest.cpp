// Cells and tables: grid operations and their misuse, number texts and
// decimal alignment, layout on the fixed-metric canvas (10-point characters
// 6 px wide, lines 16 px high), merges, rules, and printing across pages.

#include "documents/Table.h"
#include "documents/Contents.h"
#include "documents/TavPrinter.h"
#include "documents/Units.h"
#include "documents/testing/FakeCanvas.h"
#include "documents/testing/FakeReport.h"
#include "documents/testing/RecordingHost.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace veltrio {
namespace {

using testing::FakeCanvas;
using testing::FakeReport;
using testing::RecordingHost;

struct MisuseCase {
    const char* message;
    std::function<void(TTavTable&)> action;
};

TEST(TableGrid, MisuseShowsAMessageAndChangesNothing) {
    const MisuseCase cases[] = {
        {"Internal Error: TTavBaseTable.ReadCell", [](TTavTable& t) { t.ReadCell(17, 0); }},
        {"Internal Error: TTavBaseTable.ReadCell", [](TTavTable& t) { t.ReadCell(0, 4); }},
        {"Internal Error: TTavBaseTable.ReadCell", [](TTavTable& t) { t.ReadCell(-1, 0); }},
        {"Internal Error: TTavBaseTable.SetColCount", [](TTavTable& t) { t.SetColCount(-1); }},
        {"Internal Error: TTavBaseTable.SetRowCount", [](TTavTable& t) { t.SetRowCount(-1); }},
        {"Internal Error: TTavBaseTable.DelCol", [](TTavTable& t) { t.DelCol(4); }},
        {"Internal Error: TTavBaseTable.SetColWidth", [](TTavTable& t) { t.SetColWidth(4, 20); }},
        {"Internal Error: TTavBaseTable.SetColWidth", [](TTavTable& t) { t.SetColWidth(0, 0); }},
        {"Internal Error: TTavBaseTable.SetColWidthCm",
         [](TTavTable& t) { t.SetColWidthCm(0, -1.0); }},
        {"Internal Error: TTavBaseTable.SetRowHeightCm",
         [](TTavTable& t) { t.SetRowHeightCm(17, 1.0); }},
        {"Internal Error: TTavBaseTable.SetRowHeightCm",
         [](TTavTable& t) { t.SetRowHeightCm(0, 0.0); }},
        {"Internal Error: TTavBaseTable.MergeRowCells",
         [](TTavTable& t) { t.MergeRowCells(0, 2, 2); }},
        {"Internal Error: TTavBaseTable.MergeRowCells",
         [](TTavTable& t) { t.MergeRowCells(0, 1, 0); }},
        {"Internal Error: TTavBaseTable.MergeRowCells",
         [](TTavTable& t) { t.MergeRowCells(17, 0, 1); }},
    };
    for (const MisuseCase& c : cases) {
        RecordingHost host;
        TTavTable table(17, 4);
        table.ReadCell(3, 2)->SetValue(1.5);
        c.action(table);
        ASSERT_EQ(host.Messages.size(), 1u) << c.message;
        EXPECT_EQ(host.Messages[0], c.message);
        EXPECT_EQ(table.RowCount(), 17);
        EXPECT_EQ(table.ColCount(), 4);
        EXPECT_EQ(table.Head().ColCount(), 4);
        EXPECT_EQ(table.ReadCell(3, 2)->Value, 1.5);
        EXPECT_EQ(table.ReadColWidth(0), 50);
    }
}

TEST(TableGrid, BottomRightCellAndCreationLimits) {
    RecordingHost host;
    TTavTable table(17, 4);
    EXPECT_NE(table.ReadCell(16, 3), nullptr);
    EXPECT_TRUE(host.Messages.empty());

    TTavBaseTable tooManyRows(5001, 2);
    TTavTable tooManyCols(2, 101);
    EXPECT_EQ(tooManyRows.RowCount(), 0);
    EXPECT_EQ(tooManyRows.ColCount(), 0);
    EXPECT_EQ(tooManyCols.ColCount(), 0);
    EXPECT_EQ(tooManyCols.Head().ColCount(), 0);
    TTavBaseTable largest(5000, 100);
    EXPECT_EQ(largest.RowCount(), 5000);
    const std::vector<std::string> expected = {"Internal Error: TTavBaseTable.Create",
                                               "Internal Error: TTavBaseTable.Create"};
    EXPECT_EQ(host.Messages, expected);

    // Measures of an empty grid.
    host.Messages.clear();
    TTavBaseTable empty(0, 0);
    empty.ReadRowHeight(0);
    empty.ReadRowHeightCm(0);
    empty.ReadColWidth(0);
    empty.ReadColWidthCm(0);
    empty.ColCommaPlace(0);
    const std::vector<std::string> emptyMessages = {"Internal Error: TTavBaseTable.ReadRowHeight",
                                                    "Internal Error: TTavBaseTable.ReadRowHeightCm",
                                                    "Internal Error: TTavBaseTable.ReadColWidth",
                                                    "Internal Error: TTavBaseTable.ReadColWidthCm",
                                                    "Internal Error: TTavBaseTable.ColCommaPlace"};
    EXPECT_EQ(host.Messages, emptyMessages);
}

TEST(TableGrid, ColumnOperationsReachTheHeadAndRowOperationsOnlyTheBody) {
    RecordingHost host;
    TTavTable table(3, 2);
    table.HeadCell(1)->AddLine("second");
    table.SetColCount(4);
    table.SetRowCount(5);
    EXPECT_EQ(table.Head().ColCount(), 4);
    EXPECT_EQ(table.Head().RowCount(), 1);
    EXPECT_EQ(table.RowCount(), 5);
    table.DelCol(0);
    EXPECT_EQ(table.ColCount(), 3);
    EXPECT_EQ(table.HeadCell(0)->Lines, std::vector<std::string>{"second"});

    table.SetColWidthCm(1, 2.0);
    EXPECT_EQ(table.ReadCell(4, 1)->Width, 76); // 2 cm at 96 dpi: 75.6 px
    EXPECT_EQ(table.HeadCell(1)->Width, 76);
    table.SetRowHeightCm(2, 1.0);
    EXPECT_EQ(table.ReadRowHeight(2), 38);
    EXPECT_EQ(table.Head().ReadRowHeight(0), 15);
    table.SetHeadHeightCm(0.5);
    EXPECT_EQ(table.Head().ReadRowHeight(0), 19);

    table.SetColAlignment(2, TAlignment::alLeft);
    table.SetColDecimals(2, 5);
    table.SetColBorders(2, bdTop);
    for (TTavCell* cell : {table.ReadCell(0, 2), table.ReadCell(4, 2), table.HeadCell(2)}) {
        EXPECT_EQ(cell->Alignment, TAlignment::alLeft);
        EXPECT_EQ(cell->Decimals, 5);
        EXPECT_EQ(cell->Borders, bdTop);
    }
    table.SetLineWidthMm(0.3);
    EXPECT_EQ(table.ReadCell(4, 0)->LineWidthMm, 0.3);
    EXPECT_EQ(table.HeadCell(0)->LineWidthMm, -1.0);

    table.AddRowBlock(3, 4);
    table.AddRowBlock(0, 1);
    table.AddRowBlock(3, 3);
    ASSERT_EQ(table.RowBlocks().size(), 3u);
    EXPECT_EQ(table.RowBlocks()[0].FirstRow, 0);
    EXPECT_EQ(table.RowBlocks()[1].LastRow, 3);
    EXPECT_EQ(table.RowBlocks()[2].LastRow, 4);
    EXPECT_TRUE(host.Messages.empty());
}

struct NumberTextCase {
    double value;
    int decimals;
    bool thousands;
    const char* shown;
    const char* integer;
    const char* decimal;
    const char* plain; // the cell's plain text
};

TEST(TableCells, NumberTextsAndTheirParts) {
    const NumberTextCase cases[] = {
        {3.5, 2, false, "3.50", "3", ".50", "3.50"},
        {12.25, 2, false, "12.25", "12", ".25", "12.25"},
        {-0.5, 2, false, "-0.50", "-0", ".50", "-0.50"},
        {-12.345, 1, false, "-12.3", "-12", ".3", "-12.3"},
        {0.142, 3, false, "0.142", "0", ".142", "0.142"},
        {2.999, 2, false, "3.00", "3", ".00", "3.00"},
        {5.0, 0, false, "5", "5", "", "5"},
        {-0.0001, 2, false, "0.00", "-0", ".00", "0.00"},
        {1234567.891, 2, true, "1,234,567.89", "1,234,567", ".89", "1234567.89"},
        {123456789.123456, 4, false, "123456789.1235", "123456789", ".1235", "123456789.1000"},
        {MissingValue, 2, false, "", "", "", ""},
    };
    for (const NumberTextCase& c : cases) {
        TTavCell cell;
        cell.SetValue(c.value);
        cell.Decimals = c.decimals;
        cell.ThousandSeparators = c.thousands;
        EXPECT_EQ(cell.FormattedValue(), c.shown) << c.value;
        EXPECT_EQ(cell.IntegerPartText(), c.integer) << c.value;
        EXPECT_EQ(cell.DecimalPartText(), c.decimal) << c.value;
        EXPECT_EQ(cell.TextLines(), std::vector<std::string>{c.plain}) << c.value;
    }
}

TEST(TableCells, TextPartsAndMeasuresOfOtherKinds) {
    RecordingHost host;
    FakeCanvas canvas;
    TTavCell text;
    text.AddLine("12.5 %");
    EXPECT_EQ(text.IntegerPartText(), "12");
    EXPECT_EQ(text.DecimalPartText(), ".5 %");
    EXPECT_EQ(text.SizeOfDecimalPart(canvas), 24);
    TTavCell word;
    word.AddLine("abc");
    EXPECT_EQ(word.IntegerPartText(), "abc");
    EXPECT_EQ(word.SizeOfDecimalPart(canvas), 0);
    EXPECT_TRUE(host.Messages.empty());

    TTavCell twoLines;
    twoLines.AddLines({"1.5", "2.5"});
    TTavCell picture;
    picture.SetPicture(TPicture{20, 10, std::vector<TColor>(200)});
    twoLines.SizeOfIntegerPart(canvas);
    picture.SizeOfDecimalPart(canvas);
    FakeReport report;
    report.OnPrint = [&](Report& r) {
        picture.SizeOfIntegerPartCm(r);
        picture.SizeOfDecimalPartCm(r);
    };
    report.Execute();
    const std::vector<std::string> expected = {"Internal Error: TTavCell.SizeOfIntegerPart",
                                               "Internal Error: TTavCell.SizeOfDecimalPart",
                                               // both passes of the print engine
                                               "Internal Error: TTavCell.SizeOfIntegerPartCm",
                                               "Internal Error: TTavCell.SizeOfDecimalPartCm",
                                               "Internal Error: TTavCell.SizeOfIntegerPartCm",
                                               "Internal Error: TTavCell.SizeOfDecimalPartCm"};
    EXPECT_EQ(host.Messages, expected);
}

TEST(TableCells, NaturalSizesOnScreen) {
    FakeCanvas canvas;
    struct Case {
        const char* name;
        std::function<void(TTavCell&)> fill;
        int width;
        int height;
    } cases[] = {
        {"number", [](TTavCell& c) { c.SetValue(3.5); }, 5 * 6 + 8, 16 + 8},
        {"missing number", [](TTavCell&) {}, 8, 24},
        {"time", [](TTavCell& c) { c.SetTime(0.25); }, 8 * 6 + 8, 24},
        {"picture",
         [](TTavCell& c) {
             c.SetPicture(TPicture{40, 30, {}});
         },
         48, 38},
        {"lines",
         [](TTavCell& c) {
             c.AddLines({"ab", "abcd"});
         },
         24 + 8, 2 * (16 + 2)},
        {"no lines", [](TTavCell& c) { c.Kind = TCellKind::ckLines; }, 8, 4},
        {"markup", [](TTavCell& c) { c.AddLine("&Font%Arial%20%%0%ab;"); }, 24 + 8, 32 + 2},
        {"own font",
         [](TTavCell& c) {
             c.SetValue(1.0);
             c.Decimals = 0;
             c.SetFont(TFont{"Arial", 20});
         },
         12 + 8, 32 + 8},
        {"decimal with comma place",
         [](TTavCell& c) {
             c.SetValue(12.25);
             c.Alignment = TAlignment::alDecimal;
             c.CommaPlace = 30;
         },
         12 + 30 + 8, 24},
    };
    for (const auto& c : cases) {
        TTavCell cell;
        c.fill(cell);
        EXPECT_EQ(cell.NaturalWidth(canvas), c.width) << c.name;
        EXPECT_EQ(cell.NaturalHeight(canvas), c.height) << c.name;
        EXPECT_EQ(canvas.Font(), TFont{}) << c.name;
    }
}

TEST(TableCells, HorizontalPlacementOnScreen) {
    struct Case {
        TAlignment alignment;
        bool number; // "3.5" (natural width 26) or the line "ab" (12 px)
        int x;
    } cases[] = {
        {TAlignment::alLeft, true, 104},    {TAlignment::alRight, true, 170},
        {TAlignment::alCenter, true, 141},  {TAlignment::alDecimal, true, 170},
        {TAlignment::alLeft, false, 104},   {TAlignment::alRight, false, 184},
        {TAlignment::alCenter, false, 148}, {TAlignment::alDecimal, false, 184},
    };
    for (const auto& c : cases) {
        FakeCanvas canvas;
        TTavCell cell;
        if (c.number) {
            cell.SetValue(3.5);
            cell.Decimals = 1;
        } else {
            cell.Kind = TCellKind::ckLines;
            cell.Lines = {"ab"};
        }
        cell.Alignment = c.alignment;
        cell.Width = 100;
        cell.Height = 30;
        cell.Draw(canvas, 100, 50);
        ASSERT_EQ(canvas.Texts.size(), 1u);
        EXPECT_EQ(canvas.Texts[0].X, c.x) << static_cast<int>(c.alignment) << c.number;
        EXPECT_EQ(canvas.Texts[0].Y, 51);
        // All four rules around the cell.
        EXPECT_EQ(canvas.ShapesOf("line").size(), 4u);
    }
}

TEST(TableCells, MissingNumberShowsAndPrintsNothing) {
    FakeCanvas canvas;
    TTavCell cell;
    cell.Alignment = TAlignment::alDecimal;
    cell.CommaPlace = 20;
    cell.Draw(canvas, 0, 0);
    EXPECT_TRUE(canvas.Texts.empty());
    EXPECT_EQ(canvas.ShapesOf("line").size(), 4u);

    FakeReport report;
    report.OnPrint = [&](Report& r) {
        cell.Print(r, 1.0, 3.0);
        cell.Alignment = TAlignment::alRight;
        cell.Print(r, 1.0, 3.0);
    };
    report.Execute();
    EXPECT_TRUE(report.Pages.at(0).Texts.empty());
    EXPECT_EQ(report.Pages.at(0).Lines.size(), 8u);
}

TEST(TableCells, RulesAndBackgroundOnScreenAndPaper) {
    FakeCanvas canvas;
    TTavCell cell;
    cell.Color = MakeColor(200, 200, 0);
    cell.Borders = bdBottom | bdRight;
    cell.LineWidthMm = 0.5;
    cell.Width = 60;
    cell.Height = 20;
    cell.Draw(canvas, 10, 10);
    const auto fills = canvas.ShapesOf("fill");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].Points[1], (TPoint{71, 31}));
    EXPECT_EQ(fills[0].Brush.Color, MakeColor(200, 200, 0));
    const auto lines = canvas.ShapesOf("line");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Points[0], (TPoint{70, 10})); // right
    EXPECT_EQ(lines[1].Points[0], (TPoint{10, 30})); // bottom
    EXPECT_EQ(lines[0].Pen.Width, 2);                // 0.5 mm at 96 dpi: 1.9 px
    EXPECT_EQ(canvas.Pen().Width, 1);
    EXPECT_EQ(canvas.Brush().Color, clWhite);

    FakeReport report;
    report.OnPrint = [&](Report& r) { cell.Print(r, 2.0, 4.0); };
    report.Execute();
    const auto& page = report.Pages.at(0);
    ASSERT_EQ(page.Lines.size(), 2u);
    EXPECT_DOUBLE_EQ(page.Lines[0].Pen.Width, -5.0); // hundredths of a cm
    ASSERT_EQ(page.Fills.size(), 1u);
    EXPECT_NEAR(page.Fills[0].X2, 2.0 + 61 / PixelsPerCm(), 1e-12);
}

TEST(TableLayout, DecimalSeparatorsLineUp) {
    FakeCanvas canvas;
    TTavTable table(2, 1);
    table.SetColAlignment(0, TAlignment::alDecimal);
    table.SetColDecimals(0, 2);
    table.ReadCell(0, 0)->SetValue(3.5);
    table.ReadCell(1, 0)->SetValue(12.25);
    table.Draw(0, 0, canvas);
    // ".50" and ".25" are 18 px wide; the comma place is 18 + 4.
    EXPECT_EQ(table.ColCommaPlace(0), 22);
    const int width = table.ReadColWidth(0);
    // Walking down the column: 3.5 needs 6 + 22 + 8 = 36, so the column
    // becomes 46; 12.25 needs 12 + 22 + 8 = 42 and fits.
    EXPECT_EQ(width, 46);
    std::vector<int> decimalX;
    std::vector<int> integerEnd;
    for (const auto& text : canvas.Texts) {
        if (text.Value == ".50" || text.Value == ".25") {
            decimalX.push_back(text.X);
        } else if (text.Value == "3" || text.Value == "12") {
            integerEnd.push_back(text.X + 6 * static_cast<int>(text.Value.size()));
        }
    }
    const std::vector<int> separator(2, width - 22);
    EXPECT_EQ(decimalX, separator);
    EXPECT_EQ(integerEnd, separator);
}

TEST(TableLayout, MergedCellsSpanTheirColumnsAfterAutomaticLayout) {
    FakeCanvas canvas;
    TTavTable table(2, 4);
    table.ReadCell(0, 1)->AddLine("merged heading");
    table.ReadCell(1, 0)->AddLine("a");
    table.ReadCell(1, 1)->AddLine("bbbbbbbbbbbbbbbbbbbb");
    table.ReadCell(1, 2)->AddLine("c");
    table.ReadCell(1, 3)->AddLine("d");
    table.MergeRowCells(0, 1, 2);
    EXPECT_EQ(table.ReadCell(0, 1)->Width, 150);
    table.Draw(0, 0, canvas);

    const int sum =
        table.ReadCell(1, 1)->Width + table.ReadCell(1, 2)->Width + table.ReadCell(1, 3)->Width;
    EXPECT_EQ(table.ReadCell(0, 1)->Width, sum);
    EXPECT_EQ(table.ReadCell(0, 2)->Width, 0);
    EXPECT_EQ(table.ReadCell(0, 3)->Width, 0);
    EXPECT_EQ(table.ReadCell(0, 1)->Span, 2);
    EXPECT_EQ(table.ReadCell(0, 3)->MergeState, TMergeState::msCovered);
    // The merged cell keeps the right rule of the last cell of its run.
    EXPECT_TRUE(table.ReadCell(0, 1)->Borders & bdRight);
    // Rows stay aligned: both rows are as wide as the table.
    int rowWidth = 0;
    for (int col = 0; col < 4; ++col) {
        rowWidth += table.ReadCell(0, col)->Width;
    }
    EXPECT_EQ(rowWidth, table.TotalWidth());
}

TEST(TableLayout, StackedCellsShareOneRule) {
    FakeCanvas canvas;
    TTavBaseTable grid(2, 2);
    grid.SetAutoSize(true);
    grid.Draw(0, 0, canvas);
    // Every cell below another loses its top rule, every cell right of
    // another its left rule.
    EXPECT_EQ(grid.ReadCell(0, 0)->Borders, bdAll);
    EXPECT_EQ(grid.ReadCell(1, 1)->Borders, bdBottom | bdRight);
    EXPECT_EQ(grid.ReadCell(0, 1)->Borders, bdTop | bdBottom | bdRight);
    EXPECT_EQ(grid.ReadCell(1, 0)->Borders, bdBottom | bdLeft | bdRight);
    const int boundary = grid.ReadRowHeight(0);
    const int left = grid.ReadColWidth(0);
    int rulesOnBoundary = 0;
    for (const auto& line : canvas.ShapesOf("line")) {
        if (line.Points[0].Y == boundary && line.Points[1].Y == boundary &&
            line.Points[0].X == left) {
            ++rulesOnBoundary;
        }
    }
    EXPECT_EQ(rulesOnBoundary, 1);
}

TEST(TableLayout, ScreenSizeOfATable) {
    FakeCanvas canvas;
    TTavTable table(3, 2);
    table.Title = {"Title", "Second title line that is the widest line"};
    for (int row = 0; row < 3; ++row) {
        table.ReadCell(row, 0)->AddLine("x");
        table.ReadCell(row, 1)->SetValue(row);
    }
    // Rows: number cells 24 high -> 26; head cells the same.
    const int title = 16 + 2 + 16;
    const int footnotes = 4;
    EXPECT_EQ(table.ScreenHeight(canvas), title + 26 + 3 * 26 + footnotes + 4);
    EXPECT_EQ(table.ScreenWidth(canvas), 41 * 6);
}

// A table of `rows` rows: "R<n>" and a number in each.
std::unique_ptr<TTavTable> LongTable(int rows) {
    auto table = std::make_unique<TTavTable>(rows, 2);
    table->Title = {"Lead", "Results"};
    table->Footnotes = {"end of table"};
    table->HeadCell(0)->AddLine("Lab");
    table->HeadCell(1)->AddLine("Value");
    for (int row = 0; row < rows; ++row) {
        table->ReadCell(row, 0)->AddLine("R" + std::to_string(row));
        table->ReadCell(row, 1)->SetValue(row * 1.5);
    }
    return table;
}

FakeReport PrintDocument(TTavContents& doc) {
    FakeReport report;
    TTavPrinter printer;
    printer.Document = &doc;
    printer.Generate(report);
    return report;
}

TEST(TablePrinting, LongTableRepeatsTitleAndHeadAndClosesEveryPage) {
    TTavContents doc;
    doc.PageHeader = {"page header"};
    doc.AddText("before");
    auto table = LongTable(100);
    const TTavTable& ref = *table;
    doc.AddTable(std::move(table));
    doc.AddText("after");
    const FakeReport report = PrintDocument(doc);
    ASSERT_GE(report.Pages.size(), 3u);

    const double width = ref.TotalWidthCm();
    std::set<std::string> printed;
    for (std::size_t p = 0; p < report.Pages.size(); ++p) {
        const auto& page = report.Pages[p];
        const auto* header = page.Find("page header");
        const auto* lead = page.Find("Lead");
        const auto* results = page.Find("Results");
        const auto* lab = page.Find("Lab");
        ASSERT_TRUE(header && lead && results && lab) << "page " << p + 1;
        EXPECT_LT(header->Y, lead->Y);
        EXPECT_LT(lead->Y, results->Y);
        EXPECT_LT(results->Y, lab->Y);
        double lastRowY = 0;
        for (const auto& text : page.Texts) {
            if (text.Value.size() > 1 && text.Value[0] == 'R' && isdigit(text.Value[1])) {
                EXPECT_TRUE(printed.insert(text.Value).second) << text.Value;
                EXPECT_GT(text.Y, lab->Y);
                lastRowY = std::max(lastRowY, text.Y);
            }
        }
        if (p + 1 < report.Pages.size()) {
            // A rule along the whole table closes it below its last row.
            bool closed = false;
            for (const auto& line : page.Lines) {
                closed = closed || (line.Y1 == line.Y2 && line.Y1 > lastRowY &&
                                    std::abs(line.X1 - 1.0) < 1e-9 &&
                                    std::abs(line.X2 - (1.0 + width)) < 1e-9);
            }
            EXPECT_TRUE(closed) << "page " << p + 1;
        }
    }
    EXPECT_EQ(printed.size(), 100u);
    // The page header is the document's own again after the table.
    const auto& last = report.Pages.back();
    EXPECT_GT(last.Find("after")->Y, last.Find("end of table")->Y);
}

TEST(TablePrinting, RowBlockMovesToTheNextPageAsAWhole) {
    // Where does the page break fall without blocks?
    int firstOnPage2 = -1;
    {
        TTavContents doc;
        doc.AddTable(LongTable(60));
        const FakeReport report = PrintDocument(doc);
        for (int row = 0; row < 60 && firstOnPage2 < 0; ++row) {
            if (report.PageOf("R" + std::to_string(row)) == 2) {
                firstOnPage2 = row;
            }
        }
    }
    ASSERT_GT(firstOnPage2, 5);

    TTavContents doc;
    auto table = LongTable(60);
    table->AddRowBlock(firstOnPage2 - 2, firstOnPage2 + 2);
    doc.AddTable(std::move(table));
    const FakeReport report = PrintDocument(doc);
    EXPECT_EQ(report.PageOf("R" + std::to_string(firstOnPage2 - 3)), 1);
    for (int row = firstOnPage2 - 2; row <= firstOnPage2 + 2; ++row) {
        EXPECT_EQ(report.PageOf("R" + std::to_string(row)), 2) << row;
    }
}

TEST(TablePrinting, PaperLayoutAndCellPlacement) {
    TTavContents doc;
    auto table = std::make_unique<TTavTable>(1, 2);
    table->HeadCell(0)->AddLine("Lab");
    table->HeadCell(1)->AddLine("Mean");
    table->ReadCell(0, 0)->AddLine("A");
    table->ReadCell(0, 1)->SetValue(2.5);
    table->SetColAlignment(0, TAlignment::alLeft);
    table->SetColAlignment(1, TAlignment::alDecimal);
    table->SetColDecimals(1, 2);
    const TTavTable& ref = *table;
    doc.AddTable(std::move(table));
    const FakeReport report = PrintDocument(doc);
    const auto& page = report.Pages.at(0);

    const double px = 1.0 / PixelsPerCm();
    // Body cells: one 0.5 cm line + 8 px; stored in whole pixels.
    EXPECT_EQ(ref.ReadRowHeight(0), CmToPixels(0.5 + 8 * px));
    // Column 0: "Lab" is the widest (0.6 cm) + 8 px.
    EXPECT_EQ(ref.ReadColWidth(0), CmToPixels(0.6 + 8 * px));
    // Decimal column: ".50" is 0.6 cm, so the comma place is 0.6 cm + 4 px.
    EXPECT_EQ(ref.ColCommaPlace(1), CmToPixels(0.6 + 4 * px));
    const auto* integer = page.Find("2");
    const auto* decimal = page.Find(".50");
    ASSERT_TRUE(integer && decimal);
    EXPECT_NEAR(integer->X + 0.2, decimal->X, 1e-9);
    const double right = 1.0 + (ref.ReadColWidth(0) + ref.ReadColWidth(1)) * px;
    EXPECT_NEAR(decimal->X, right - ref.ColCommaPlace(1) * px, 1e-9);
    // Head cells: the first text line 1 px + 0.8 lines below the head's top.
    const auto* lab = page.Find("Lab");
    const auto* a = page.Find("A");
    ASSERT_TRUE(lab && a);
    EXPECT_NEAR(lab->X, 1.0 + 4 * px, 1e-9);
    EXPECT_NEAR(a->Y - lab->Y, ref.Head().ReadRowHeightCm(0), 1e-9);
}

TEST(TableGrowToText, FixedColumnsWidenToTheirLabelsOnly) {
    // Column 0 a label too wide for it, column 1 a decimal-aligned number
    // text, column 2 hidden, column 3 a merged head over 3 and 4.
    TTavTable t(1, 5);
    t.SetAutoSize(false);
    t.GrowToText = true;
    for (int col = 0; col < 5; ++col) {
        t.SetColWidth(col, col == 2 ? 0 + 1 : 30);
    }
    t.ReadCell(0, 0)->AddLine("Laboratories before the test");
    t.ReadCell(0, 0)->Alignment = TAlignment::alLeft;
    t.ReadCell(0, 1)->AddLine("   12.345678901234   ");
    t.ReadCell(0, 1)->Alignment = TAlignment::alDecimal;
    t.ReadCell(0, 2)->AddLine("hidden method code");
    t.HeadCell(3)->AddLine("a merged head that is long");
    t.Head().MergeRowCells(0, 3, 1);
    t.ApplyMerges();
    FakeCanvas canvas;
    t.ScreenWidth(canvas);
    const int label = t.ReadCell(0, 0)->NaturalWidth(canvas);
    EXPECT_EQ(t.ReadCell(0, 0)->Width, label);
    EXPECT_EQ(t.HeadCell(0)->Width, label) << "the head follows its column";
    EXPECT_EQ(t.ReadCell(0, 1)->Width, 30);
    EXPECT_EQ(t.ReadCell(0, 2)->Width, 1);
    EXPECT_EQ(t.ReadCell(0, 3)->Width, 30);
    // Never narrower: a shorter label later leaves the width.
    t.ReadCell(0, 0)->Lines = {"x"};
    t.ScreenWidth(canvas);
    EXPECT_EQ(t.ReadCell(0, 0)->Width, label);
    // On paper the report's measures decide, rounded up to whole pixels.
    FakeReport report;
    t.ReadCell(0, 0)->Lines = {"Laboratories before the test, and more words"};
    t.ReportWidth(report);
    EXPECT_GE(t.ReadCell(0, 0)->WidthCm() + 1e-9, t.ReadCell(0, 0)->NaturalWidthCm(report));
    // Without the switch a fixed table keeps its widths.
    TTavTable fixed(1, 1);
    fixed.SetAutoSize(false);
    fixed.SetColWidth(0, 30);
    fixed.ReadCell(0, 0)->AddLine("Laboratories before the test");
    fixed.ScreenWidth(canvas);
    EXPECT_EQ(fixed.ReadCell(0, 0)->Width, 30);
}

} // namespace
TEST(TablePrinting, EveryHeadRowIsPrintedAboveTheBody) {
    // A head of three rows (group captions over the columns) on paper, on
    // the first page and again after a page break.
    TTavContents doc;
    auto table = LongTable(90);
    ASSERT_TRUE(table->Head().SetRowCount(3));
    table->Head().ReadCell(1, 0)->AddLine("Code");
    table->Head().ReadCell(2, 1)->AddLine("mg/kg");
    doc.AddTable(std::move(table));
    const FakeReport report = PrintDocument(doc);
    ASSERT_GE(report.Pages.size(), 2u);
    for (std::size_t p = 0; p < report.Pages.size(); ++p) {
        const auto& page = report.Pages[p];
        const auto* lab = page.Find("Lab");
        const auto* code = page.Find("Code");
        const auto* unit = page.Find("mg/kg");
        ASSERT_TRUE(lab && code && unit) << "page " << p + 1;
        EXPECT_LT(lab->Y, code->Y);
        EXPECT_LT(code->Y, unit->Y);
        for (const auto& text : page.Texts) {
            if (text.Value.size() > 1 && text.Value[0] == 'R' && isdigit(text.Value[1])) {
                EXPECT_GT(text.Y, unit->Y) << text.Value;
            }
        }
    }
}

} // namespace veltrio
