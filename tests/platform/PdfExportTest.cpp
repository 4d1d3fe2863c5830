// Printing to PDF runs the document printer on the Qt print engine: pages,
// page breaks and the atomic file handling are checked on real PDF output.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <filesystem>
#include <regex>

#include "PdfTools.h"
#include "base/AtomicFile.h"
#include "documents/Contents.h"
#include "documents/Table.h"
#include "platform/PdfExport.h"
#include "platform/QtCanvas.h"
#include "platform/RasterPicture.h"
#include "settings/FileSizeLimit.h"

namespace fs = std::filesystem;
using namespace veltrio;

namespace {

// Page objects of a PDF file: Qt writes the page dictionaries uncompressed.
int CountPages(const fs::path& pdf) {
    std::string bytes;
    if (!ReadWholeFile(pdf, bytes)) {
        return -1;
    }
    const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(
        std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator()));
}

std::unique_ptr<TTavContents> TableDocument(int rows) {
    auto doc = std::make_unique<TTavContents>();
    doc->AddText("A long table");
    auto table = std::make_unique<TTavTable>(rows, 3);
    for (int r = 0; r < rows; ++r) {
        table->ReadCell(r, 0)->SetValue(r + 1);
        table->ReadCell(r, 1)->SetValue((r + 1) * 0.5);
        table->ReadCell(r, 2)->AddLine("row " + std::to_string(r + 1));
    }
    doc->AddTable(std::move(table));
    doc->PageNumbers = true;
    return doc;
}

} // namespace

class PdfExport : public ::testing::Test {
protected:
    static void SetUpTestSuite() { veltrio::testing::EnsureGuiApplication(); }
    // A folder of this test's own: ctest runs the tests side by side.
    fs::path dir = fs::temp_directory_path() / "veltrio_pdf" /
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
    void SetUp() override {
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
};

TEST_F(PdfExport, PagesFollowTheDocumentLength) {
    struct Case {
        int Rows;
        int MinPages, MaxPages;
    } cases[] = {
        {5, 1, 1},
        // About 0.5 cm a row on an A4 page with 2 + 1 cm margins: 150 rows
        // need three to four pages.
        {150, 3, 4},
    };
    for (const auto& c : cases) {
        auto doc = TableDocument(c.Rows);
        const fs::path pdf = dir / ("rows" + std::to_string(c.Rows) + ".pdf");
        std::string error;
        ASSERT_TRUE(platform::PrintDocumentToPdf(*doc, pdf, &error)) << error;
        const int pages = CountPages(pdf);
        EXPECT_GE(pages, c.MinPages) << c.Rows;
        EXPECT_LE(pages, c.MaxPages) << c.Rows;
    }
    // Nothing but the files themselves is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(PdfExport, AnUnwritableDestinationFailsAndKeepsNothing) {
    auto doc = TableDocument(3);
    std::string error;
    EXPECT_FALSE(platform::PrintDocumentToPdf(*doc, dir / "missing" / "x.pdf", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 0);
}

TEST_F(PdfExport, AWriteCutShortFailsAndKeepsTheGoodFile) {
    // A full disk or a file-size limit: the PDF writer itself would report
    // nothing, and a truncated PDF replaced the good one behind "Wrote ...".
    auto doc = TableDocument(40);
    const fs::path pdf = dir / "report.pdf";
    std::string error;
    ASSERT_TRUE(platform::PrintDocumentToPdf(*doc, pdf, &error)) << error;
    const auto goodSize = fs::file_size(pdf);
    auto other = TableDocument(80);
    bool written = true;
    {
        veltrio::testing::FileSizeLimit limit(goodSize / 2);
        written = platform::PrintDocumentToPdf(*other, pdf, &error);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(error, "Cannot write the file " + pdf.string() +
                         ": the file would exceed the file-size limit.");
    EXPECT_EQ(fs::file_size(pdf), goodSize);
    EXPECT_GE(CountPages(pdf), 1) << "the good PDF is still readable";
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(PdfExport, RasterPicturesRoundTripAndCanvasDraws) {
    const TPicture p = platform::RenderPicture(20, 10, 96, [](Canvas& c) {
        TBrush red;
        red.Color = MakeColor(255, 0, 0);
        c.SetBrush(red);
        c.FillRect(0, 0, 10, 10);
    });
    ASSERT_EQ(p.Width, 20);
    ASSERT_EQ(p.Height, 10);
    EXPECT_EQ(p.Pixels[0], MakeColor(255, 0, 0));
    EXPECT_EQ(p.Pixels[15], MakeColor(255, 255, 255));
    const TPicture back = platform::ToPicture(platform::ToQImage(p));
    EXPECT_EQ(back.Pixels, p.Pixels);

    // Text measures grow with the font size.
    QImage img(10, 10, QImage::Format_RGB32);
    QPainter painter(&img);
    platform::QtCanvas canvas(painter, 96);
    TFont small;
    small.Size = 8;
    canvas.SetFont(small);
    const int w8 = canvas.TextWidth("Reproducibility");
    TFont big = small;
    big.Size = 16;
    canvas.SetFont(big);
    const int w16 = canvas.TextWidth("Reproducibility");
    EXPECT_GT(w8, 0);
    EXPECT_NEAR(w16, 2 * w8, 0.15 * w16);
}
