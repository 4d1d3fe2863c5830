// A document holding a chart printed to PDF: the chart takes its size in
// centimetres on the page and its texts their point size, at the printer's
// resolution.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "PdfTools.h"
#include "charts/ChartItem.h"
#include "documents/Contents.h"
#include "platform/PdfExport.h"

namespace fs = std::filesystem;
using namespace veltrio;
using veltrio::testing::PointsPerCm;
using veltrio::testing::QtFileTest;

namespace {

constexpr const char* Label = "Repeatability";

// The chart of a laboratory report: a 16 × 10 cm plot fitted to its size,
// a 20-point text at (1, 3) cm and a filled red square at (8, 5) cm of the
// chart.
std::unique_ptr<TGraphWindow> ReportChart() {
    auto g = std::make_unique<TGraphWindow>();
    g->Proportioning = TProportioning::pFitToSize;
    g->PlotWidth = 16;
    g->PlotHeight = 10;
    TFontDescriptor font;
    font.Size = 20;
    g->AddText(Label, 1, 3, 0, 0, font);
    g->AddSquare(8, 5, 0.4, MakeColor(255, 0, 0), true);
    g->AddRectangle(0, 0, 16, 10, clBlack, TPenStyle::psSolid, false);
    return g;
}

bool IsRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}

} // namespace

class ChartItemPrint : public QtFileTest {
protected:
    ChartItemPrint() : QtFileTest("veltrio_chart_print") {}
};

TEST_F(ChartItemPrint, AChartPrintsAtItsSizeInCentimetres) {
    TTavContents doc;
    doc.AddText("Before the chart");
    AddGraph(doc, ReportChart());
    const fs::path pdf = dir / "report.pdf";
    std::string error;
    ASSERT_TRUE(platform::PrintDocumentToPdf(doc, pdf, &error)) << error;

    const auto words = veltrio::testing::PdfWords(pdf);
    const auto text =
        std::find_if(words.begin(), words.end(), [](const auto& w) { return w.Text == "Before"; });
    const auto label =
        std::find_if(words.begin(), words.end(), [](const auto& w) { return w.Text == Label; });
    ASSERT_NE(text, words.end());
    ASSERT_NE(label, words.end());
    // The chart's left edge is the page's left margin, where the text starts.
    const double leftCm = text->XMin / PointsPerCm;
    EXPECT_NEAR(label->XMin / PointsPerCm, leftCm + 1.0, 0.1);
    // A 20-point text: its box about 1.1 em high, as on the screen.
    EXPECT_NEAR(label->YMax - label->YMin, 20 * 1.15, 4);

    // The square 7 cm right of the text and 2 cm below its bottom edge.
    const QImage page = veltrio::testing::RenderPdfPage(pdf, 96);
    ASSERT_FALSE(page.isNull());
    const double topCm = label->YMax / PointsPerCm - 3.0; // the chart's top edge
    auto at = [&](double xCm, double yCm) {
        return page.pixel(static_cast<int>(std::lround(xCm * 96 / 2.54)),
                          static_cast<int>(std::lround(yCm * 96 / 2.54)));
    };
    EXPECT_TRUE(IsRed(at(leftCm + 8, topCm + 5)));
    EXPECT_TRUE(IsRed(at(leftCm + 8.3, topCm + 5.3)));
    EXPECT_FALSE(IsRed(at(leftCm + 8.6, topCm + 5)));
    EXPECT_FALSE(IsRed(at(leftCm + 8, topCm + 5.6)));
}
