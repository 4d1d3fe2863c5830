#include "charts/ChartItem.h"
#include "charts/ChartStyle.h"
#include "documents/Contents.h"
#include "documents/DocumentExport.h"
#include "documents/HtmlExport.h"
#include "documents/TavPrinter.h"
#include "documents/testing/FakeCanvas.h"
#include "documents/testing/FakeReport.h"
#include "documents/testing/RecordingHost.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace veltrio {
namespace {

using testing::FakeCanvas;
using testing::FakeReport;

std::unique_ptr<TGraphWindow> SmallChart(double widthCm, double heightCm) {
    auto graph = std::make_unique<TGraphWindow>();
    graph->SetXinCm(widthCm);
    graph->SetYinCm(heightCm);
    graph->AddLine(0, 0, 1, 1);
    return graph;
}

FakeReport Print(TTavContents& doc) {
    FakeReport report;
    TTavPrinter printer;
    printer.Document = &doc;
    printer.Generate(report);
    return report;
}

TEST(ChartItemTest, SizeFromThePageOrThePlotSize) {
    TTavContents doc;
    TTavDrawWindow& item = AddGraph(doc, SmallChart(20, 16));
    FakeCanvas canvas;
    EXPECT_EQ(item.ScreenWidth(canvas), 756); // 20 cm at 96 dpi
    EXPECT_EQ(item.ScreenHeight(canvas), 605);
    EXPECT_EQ(item.CachedHeight, 605);
    item.Graph->Proportioning = TProportioning::pFitToSize;
    item.Graph->PlotWidth = 10;
    item.Graph->PlotHeight = 5;
    EXPECT_EQ(item.WidthCm(), 10);
    EXPECT_EQ(item.HeightCm(), 5);
    EXPECT_FALSE(item.IsFormat());
}

TEST(ChartItemTest, DrawScalesTheChartToItsScreenSize) {
    TTavContents doc;
    auto graph = std::make_unique<TGraphWindow>();
    graph->Proportioning = TProportioning::pFitToSize;
    graph->PlotWidth = 10;
    graph->PlotHeight = 5;
    graph->AddLine(1, 1, 9, 4);
    TTavDrawWindow& item = AddGraph(doc, std::move(graph));
    FakeCanvas canvas;
    item.Draw(100, 50, canvas);
    ASSERT_EQ(canvas.Shapes.size(), 1u);
    // 10 cm across 378 pixels: 37.8 px/cm, placed at (100, 50).
    EXPECT_EQ(canvas.Shapes[0].Points[0], (TPoint{138, 88}));
    EXPECT_EQ(canvas.Shapes[0].Points[1], (TPoint{440, 201}));
    EXPECT_EQ(canvas.Pen(), TPen{});
}

TEST(ChartItemTest, PrintingPlacesTheChartBelowTheCursorAndPaginates) {
    struct {
        int LinesBefore;
        double HeightCm;
        int Page;
    } const cases[] = {
        {3, 16, 1},  // fits
        {40, 16, 2}, // taller than the rest of the page: next page
        {40, 40, 1}, // taller than any page: printed where it stands
    };
    for (const auto& c : cases) {
        TTavContents doc;
        for (int i = 0; i < c.LinesBefore; ++i) {
            doc.AddText("line");
        }
        AddGraph(doc, SmallChart(12, c.HeightCm));
        doc.AddText("after");
        const FakeReport report = Print(doc);
        int page = 0;
        const FakeReport::Picture* picture = nullptr;
        for (std::size_t p = 0; p < report.Pages.size() && picture == nullptr; ++p) {
            if (!report.Pages[p].Pictures.empty()) {
                page = static_cast<int>(p) + 1;
                picture = &report.Pages[p].Pictures[0];
            }
        }
        ASSERT_NE(picture, nullptr) << c.LinesBefore << " " << c.HeightCm;
        EXPECT_EQ(page, c.Page) << c.LinesBefore << " " << c.HeightCm;
        EXPECT_NEAR(picture->X2 - picture->X1, 12, 1e-9);
        EXPECT_NEAR(picture->Y2 - picture->Y1, c.HeightCm, 1e-9);
        // The next line follows the chart.
        const auto* after =
            report.Pages[static_cast<std::size_t>(report.PageOf("after")) - 1].Find("after");
        ASSERT_NE(after, nullptr);
        if (report.PageOf("after") == page) {
            EXPECT_GT(after->Y, picture->Y2);
        }
    }
}

TEST(ChartItemTest, HtmlWithoutRasterizerShowsTheMessage) {
    testing::RecordingHost host;
    ScopedDocumentHost scoped(host);
    SetChartRasterizer(nullptr);
    TTavContents doc;
    doc.AddText("before");
    AddGraph(doc, SmallChart(5, 4));
    HtmlExport out;
    WriteDocumentHtml(doc, out);
    EXPECT_NE(out.Text().find("before"), std::string::npos);
    EXPECT_EQ(out.Text().find("<IMG"), std::string::npos);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0], "Ikke implementeret: TTavDrawWindow.WriteHTML");
}

TEST(ChartItemTest, HtmlWritesTheChartAsAGifPicture) {
    const auto dir = std::filesystem::temp_directory_path() / "veltrio_chart_item_html";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    int rasterized = 0;
    SetChartRasterizer([&](int w, int h, int ppi, const std::function<void(Canvas&)>& paint) {
        ++rasterized;
        EXPECT_EQ(ppi, 96);
        FakeCanvas canvas;
        paint(canvas);
        EXPECT_EQ(canvas.Shapes.size(), 1u);
        TPicture picture;
        picture.Width = w;
        picture.Height = h;
        picture.Pixels.assign(static_cast<std::size_t>(w * h), clWhite);
        return picture;
    });
    TTavContents doc;
    AddGraph(doc, SmallChart(5, 4));
    HtmlExport out(dir / "report.html");
    WriteDocumentHtml(doc, out);
    SetChartRasterizer(nullptr);
    EXPECT_EQ(rasterized, 1);
    EXPECT_NE(out.Text().find("repo0.gif"), std::string::npos) << out.Text();
    EXPECT_TRUE(std::filesystem::exists(dir / "repo0.gif"));
    std::filesystem::remove_all(dir);
}

TEST(ChartItemTest, RtfHoldsTheChartAsAPngPictureOfItsSize) {
    int calls = 0;
    SetChartRasterizer([&](int w, int h, int ppi, const std::function<void(Canvas&)>& paint) {
        ++calls;
        EXPECT_EQ(ppi, 150);
        FakeCanvas canvas;
        paint(canvas);
        EXPECT_EQ(canvas.Shapes.size(), 1u);
        TPicture picture;
        picture.Width = w;
        picture.Height = h;
        picture.Pixels.assign(static_cast<std::size_t>(w * h), MakeColor(0, 0, 255));
        return picture;
    });
    TTavContents doc;
    doc.AddText("before");
    AddGraph(doc, SmallChart(5, 4));
    doc.AddText("after");
    const std::string rtf = WriteDocumentRtf(doc);
    SetChartRasterizer(nullptr);
    EXPECT_EQ(calls, 1);
    // 5 × 4 cm: 295 × 236 pixels at 150 ppi, 2835 × 2268 twips.
    const auto pict = rtf.find("{\\pict\\pngblip\\picw295\\pich236\\picwgoal2835\\pichgoal2268");
    ASSERT_NE(pict, std::string::npos) << rtf.substr(0, 400);
    EXPECT_LT(rtf.find("before"), pict);
    EXPECT_GT(rtf.find("after"), pict);
    // The picture data: a PNG signature in hexadecimal.
    EXPECT_NE(rtf.find("89504e470d0a1a0a", pict), std::string::npos);

    // Without a rasterizer the chart is left out and the rest is written.
    const std::string without = WriteDocumentRtf(doc);
    EXPECT_EQ(without.find("\\pict"), std::string::npos);
    EXPECT_NE(without.find("after"), std::string::npos);
}

TEST(ChartItemTest, MessagesOfTheUnsupportedOperations) {
    testing::RecordingHost host;
    ScopedDocumentHost scoped(host);
    TTavDrawWindow item(SmallChart(5, 4));
    item.Preview(0, 0);
    item.ShowInfo();
    EXPECT_EQ(host.Messages, (std::vector<std::string>{"Ikke implementeret: TTavDrawWindow.Preview",
                                                       "DrawWindow"}));
}

TEST(ChartStyleTest, LineWidthFontsAndDiscardNote) {
    struct {
        double LineWidth, Expected;
    } const widths[] = {{-1, -1}, {-0.3, -1}, {0, 0}, {0.5, 0.05}, {2, 0.2}};
    for (const auto& c : widths) {
        TSettings settings;
        settings.LineWidth = c.LineWidth;
        EXPECT_DOUBLE_EQ(ChartLineWidth(settings), c.Expected) << c.LineWidth;
    }
    TSettings settings;
    settings.OutputFontName = "Courier New";
    TGraphWindow graph;
    ChartFonts(graph, settings);
    graph.SetXAxis(0, 0, 0, 1, 1);
    graph.SetYAxis(0, 0, 0, 1, 1);
    graph.AddLegendEntry(1, "L", TPenStyle::psSolid, clBlack, -1, 12, clBlack, 0.2);
    AddChartDiscardNote(graph, "note", 1, 2);
    int texts = 0;
    for (const auto& line : graph.Describe()) {
        if (line.starts_with("text \"note\"")) {
            EXPECT_EQ(line, "text \"note\" 1 2 align 00 font Arial 10 style 3");
        } else if (line.starts_with("text")) {
            ++texts;
            EXPECT_NE(line.find("font Courier New 10"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(texts, 5);
}

} // namespace
} // namespace veltrio
