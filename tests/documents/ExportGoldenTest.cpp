// A small mixed document (texts, formatted lines with symbols and scripts,
// font changes, a table with a merged head, colours, a missing value and a
// picture) exported as RTF and HTML and compared with reviewed files in
// tests/data/documents/export. VELTRIO_UPDATE_GOLDEN=1 rewrites them; a
// missing file fails.

#include "base/AtomicFile.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "documents/Table.h"
#include "documents/testing/FakeCanvas.h"
#include "documents/testing/RecordingHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace veltrio {
namespace {

namespace fs = std::filesystem;
using testing::FakeCanvas;
using testing::RecordingHost;

TFont MakeFont(std::string name, int size, TColor color = clBlack, bool bold = false) {
    TFont font;
    font.Name = std::move(name);
    font.Size = size;
    font.Color = color;
    font.Bold = bold;
    return font;
}

std::unique_ptr<TTavTable> ResultsTable() {
    auto table = std::make_unique<TTavTable>(3, 4);
    table->Title = {"Table 1: Results of {level} 1", "Unit: µg/kg"};
    table->Footnotes = {"* straggler, ** outlier", "Empty cells: no result"};
    table->HeadCell(0)->AddLine("Lab");
    table->HeadCell(1)->AddLine("Replicates <n = 3>");
    table->HeadCell(1)->Alignment = TAlignment::alCenter;
    table->Head().MergeRowCells(0, 1, 2);
    const char* labs[] = {"L{1}", "L<2>", "Lø\\3"};
    const double results[3][3] = {
        {12.25, 12.5, 11.75}, {13.0, MissingValue, 12.875}, {9.5, 10.25, 10.0}};
    for (int row = 0; row < 3; ++row) {
        TTavCell& lab = *table->ReadCell(row, 0);
        lab.AddLine(labs[row]);
        lab.Alignment = TAlignment::alLeft;
        for (int col = 1; col < 4; ++col) {
            TTavCell& cell = *table->ReadCell(row, col);
            cell.SetValue(results[row][col - 1]);
            cell.Decimals = 2;
            cell.Alignment = TAlignment::alDecimal;
        }
    }
    table->ReadCell(1, 3)->Color = MakeColor(255, 255, 0);
    table->ReadCell(2, 1)->Color = MakeColor(255, 0, 0);
    table->ReadCell(2, 1)->SetFont(MakeFont("Arial", 10, MakeColor(255, 255, 255), true));
    table->SetLineWidthMm(0.3);
    return table;
}

std::unique_ptr<TTavTable> FiguresTable() {
    auto table = std::make_unique<TTavTable>(1, 3);
    table->HeadCell(0)->AddLine("&sigma {r}");
    table->HeadCell(1)->AddLine("s&subR; / s&subr;");
    table->HeadCell(2)->AddLine("Plot");
    table->ReadCell(0, 0)->SetValue(0.4125);
    table->ReadCell(0, 0)->Decimals = 4;
    table->ReadCell(0, 1)->AddLine("&Font%Courier New%10%I%32768%1.8;");
    table->ReadCell(0, 1)->AddLine("&pm 0.2");
    TPicture picture;
    picture.Width = 4;
    picture.Height = 3;
    picture.Pixels = {
        clBlack, clWhite, clWhite, clBlack, clWhite, MakeColor(0, 0, 255), MakeColor(0, 0, 255),
        clWhite, clBlack, clWhite, clWhite, clBlack};
    table->ReadCell(0, 2)->SetPicture(picture);
    table->ReadCell(0, 2)->Alignment = TAlignment::alCenter;
    return table;
}

std::unique_ptr<TTavContents> MixedDocument() {
    auto document = std::make_unique<TTavContents>();
    document->PrintTitle = "Descriptive statistics";
    document->AddText("Substance: Na{Cl}\\K <test> & \"q\" æøåµ±");
    document->AddFormatText("t = &sqrt p · (m-&my )/s, s&subr; = 0.5 &pm 0.1, x&super2; &leq 3");
    document->AddFormatText("&Font%Arial%12%B%255%Warning:; result &sigma {E} = 2");
    document->SetFont(MakeFont("Arial", 12, clBlack, true));
    document->AddText("Level 1");
    document->SetFont(MakeFont("Arial", 10));
    document->BlockBegin();
    document->AddTable(ResultsTable());
    document->BlockEnd();
    document->PageBreak();
    document->AddTable(FiguresTable());
    document->AddText("End of report");
    FakeCanvas canvas;
    LayOutForExport(*document, canvas);
    return document;
}

fs::path GoldenPath(const std::string& name) {
    return fs::path(VELTRIO_TEST_DATA) / "documents" / "export" / name;
}

fs::path FreshFolder(const std::string& name) {
    const fs::path dir = fs::temp_directory_path() / "veltrio_export_golden" / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void ExpectGolden(const std::string& name, const std::string& actual) {
    const fs::path golden = GoldenPath(name);
    if (std::getenv("VELTRIO_UPDATE_GOLDEN") != nullptr) {
        ASSERT_TRUE(WriteFileAtomically(golden, actual));
    }
    std::string expected;
    ASSERT_TRUE(ReadWholeFile(golden, expected))
        << "missing golden file " << golden
        << " (write it with VELTRIO_UPDATE_GOLDEN=1 and review it)";
    if (actual != expected) {
        const fs::path written = FreshFolder("actual") / name;
        WriteFileAtomically(written, actual);
        ADD_FAILURE() << name << " differs from its golden file: diff -u " << golden << " "
                      << written;
    }
}

std::string HtmlOf(TTavContents& document, const fs::path& dir) {
    WriteDocumentHtml(document, dir / "mixed.html");
    std::string html;
    ReadWholeFile(dir / "mixed.html", html);
    return html;
}

TEST(ExportGolden, MixedDocumentAsRtf) {
    RecordingHost host;
    auto document = MixedDocument();
    ExpectGolden("mixed.rtf", WriteDocumentRtf(*document));
    EXPECT_TRUE(host.Messages.empty());
}

TEST(ExportGolden, MixedDocumentAsHtml) {
    RecordingHost host;
    auto document = MixedDocument();
    ExpectGolden("mixed.html", HtmlOf(*document, FreshFolder("html")));
    EXPECT_TRUE(host.Messages.empty());
}

TEST(ExportGolden, ExportingTwiceGivesIdenticalBytes) {
    auto document = MixedDocument();
    const int cursor = document->CursorIndex();
    EXPECT_EQ(WriteDocumentRtf(*document), WriteDocumentRtf(*document));
    const fs::path first = FreshFolder("first");
    const fs::path second = FreshFolder("second");
    EXPECT_EQ(HtmlOf(*document, first), HtmlOf(*document, second));
    std::string gif1;
    std::string gif2;
    ASSERT_TRUE(ReadWholeFile(first / "mixe0.gif", gif1));
    ASSERT_TRUE(ReadWholeFile(second / "mixe0.gif", gif2));
    EXPECT_EQ(gif1, gif2);
    // The writers walk the items without moving the shared cursor.
    EXPECT_EQ(document->CursorIndex(), cursor);
}

} // namespace
} // namespace veltrio
