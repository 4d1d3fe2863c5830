// Charts exported as SVG, PNG and PDF: the drawing comes out at its true
// size, cut from its page with a margin of 0.3 cm, shapes land where their
// centimetres say, texts keep their point size, and the files are written
// whole or not at all.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>
#include <filesystem>

#include "PdfTools.h"
#include "base/AtomicFile.h"
#include "charts/GraphWindow.h"
#include "platform/ChartExport.h"

namespace fs = std::filesystem;
using namespace veltrio;
using veltrio::testing::PointsPerCm;
using veltrio::testing::QtFileTest;

namespace {

const TColor Red = MakeColor(255, 0, 0);
const TColor Blue = MakeColor(0, 0, 255);
constexpr const char* Title = "Reproducibility";

// A 26 × 30 cm page with axes, a curve, a 20-point text and a filled red
// square, all inside a frame from (1, 1) to (25, 29.5) cm. The offset
// (1, 0.5) cm moves every shape: the square is placed at (4, 4.5) so that it
// lands at (5, 5) cm on the page, and the text's left edge at 11 cm with its
// bottom at 20.5 cm.
std::unique_ptr<TGraphWindow> SmallChart() {
    auto g = std::make_unique<TGraphWindow>();
    g->SetXinCm(26);
    g->SetYinCm(30);
    g->SetOffset(1, 0.5);
    g->SetOrigin(3, 15);
    g->SetAxisLengths(12, 8);
    g->SetXAxis(0, 0, 0, 10, 2);
    g->SetYAxis(0, 0, 0, 10, 2);
    const TPointXY points[] = {{1, 1}, {5, 8}, {9, 3}};
    g->AddCurve(points, "results", clBlack, -1, TPenStyle::psSolid, 0.2, Blue, 1);
    TFontDescriptor font;
    font.Size = 20;
    g->AddText(Title, 10, 20, 0, 0, font);
    g->AddSquare(4, 4.5, 0.5, Red, true);
    g->AddRectangle(0, 0.5, 24, 29, clBlack, TPenStyle::psSolid, false);
    return g;
}

int Px(double cm, int ppi) {
    return static_cast<int>(std::lround(cm * ppi / 2.54));
}

// The exported part of SmallChart's page: the frame, the two screen pixels
// its line may reach beyond it, and the margin of 0.3 cm.
constexpr double FrameReachCm = 2 * 2.54 / 96;
constexpr double CropLeftCm = 1 - FrameReachCm - 0.3;
constexpr double CropTopCm = 1 - FrameReachCm - 0.3;
constexpr double CropWidthCm = 24 + 2 * (FrameReachCm + 0.3);
constexpr double CropHeightCm = 28.5 + 2 * (FrameReachCm + 0.3);

// A point of the page in the pixels of the exported image.
int Ix(double pageCm, int ppi) {
    return Px(pageCm - CropLeftCm, ppi);
}
int Iy(double pageCm, int ppi) {
    return Px(pageCm - CropTopCm, ppi);
}

bool IsRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}
bool IsBlue(QRgb c) {
    return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) > 200;
}
bool IsWhite(QRgb c) {
    return qRed(c) > 240 && qGreen(c) > 240 && qBlue(c) > 240;
}

// The box of the dark pixels inside a rectangle of the image.
QRect DarkBox(const QImage& image, const QRect& area) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    return box;
}

} // namespace

class ChartExport : public QtFileTest {
protected:
    ChartExport() : QtFileTest("veltrio_chart_export") {}
    std::size_t FilesInDir() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
};

TEST_F(ChartExport, ImagesShowThePageAtItsTrueSizeWhateverTheScreen) {
    struct Case {
        int Ppi;
        int ScreenWidth, ScreenHeight;
    } cases[] = {
        {96, 800, 600},
        {192, 800, 600},
        {96, 1920, 1080},
        // A screen standing upright is narrower than the page.
        {96, 600, 1000},
        {300, 2560, 1440},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Ppi) + " ppi, screen " + std::to_string(c.ScreenWidth) + "x" +
                     std::to_string(c.ScreenHeight));
        auto chart = SmallChart();
        chart->ScreenWidth = c.ScreenWidth;
        chart->ScreenHeight = c.ScreenHeight;
        chart->Width = 400;
        chart->Height = 560;
        const QImage image = platform::ChartAsImage(*chart, c.Ppi);
        // The drawing and its margin, not the 26 x 30 cm page.
        const int slack = c.Ppi / 96 + 1;
        EXPECT_NEAR(image.width(), Px(CropWidthCm, c.Ppi), slack);
        EXPECT_NEAR(image.height(), Px(CropHeightCm, c.Ppi), slack);
        EXPECT_EQ(image.dotsPerMeterX(), std::lround(c.Ppi / 0.0254));
        // The square spans 4.5..5.5 cm both ways on the page.
        EXPECT_TRUE(IsRed(image.pixel(Ix(5, c.Ppi), Iy(5, c.Ppi))));
        EXPECT_TRUE(IsRed(image.pixel(Ix(4.6, c.Ppi), Iy(5.4, c.Ppi))));
        EXPECT_TRUE(IsWhite(image.pixel(Ix(4.3, c.Ppi), Iy(5, c.Ppi))));
        EXPECT_TRUE(IsWhite(image.pixel(Ix(5, c.Ppi), Iy(5.7, c.Ppi))));
        // Where the square stands without the offset the page is empty.
        EXPECT_TRUE(IsWhite(image.pixel(Ix(3.7, c.Ppi), Iy(4.2, c.Ppi))));
        // The margin is white; the frame is drawn just inside it.
        EXPECT_TRUE(IsWhite(image.pixel(Px(0.1, c.Ppi), Px(0.1, c.Ppi))));
        EXPECT_FALSE(IsWhite(image.pixel(Ix(1, c.Ppi), Iy(10, c.Ppi))));
        // The window keeps its own size.
        EXPECT_EQ(chart->Width, 400);
        EXPECT_EQ(chart->Height, 560);
    }
}

TEST_F(ChartExport, TextsKeepTheirPointSize) {
    // "Reproducibility" in 20-point Arial (Liberation Sans) reaches from
    // the ascenders (about 0.73 em above the base line) to the descenders
    // (about 0.21 em below it): 0.94 em, 18.8 points, 0.66 cm.
    for (const int ppi : {96, 192}) {
        SCOPED_TRACE(ppi);
        auto chart = SmallChart();
        const QImage image = platform::ChartAsImage(*chart, ppi);
        const QRect area(Ix(10.5, ppi), Iy(18.5, ppi), Px(9, ppi), Px(2.3, ppi));
        const QRect box = DarkBox(image, area);
        ASSERT_FALSE(box.isEmpty());
        EXPECT_NEAR(box.height() * 2.54 / ppi, 0.66, 0.06);
        // Left edge at 11 cm; the text's bottom (its descent) at 20.5 cm.
        EXPECT_NEAR(box.left() * 2.54 / ppi + CropLeftCm, 11.0, 0.1);
        EXPECT_NEAR((box.bottom() + 1) * 2.54 / ppi + CropTopCm, 20.5, 0.06);
        // 15 characters of 20 points: several centimetres, not tens.
        const double widthCm = box.width() * 2.54 / ppi;
        EXPECT_GT(widthCm, 4.0);
        EXPECT_LT(widthCm, 7.0);
    }
}

TEST_F(ChartExport, AFitToSizeChartFillsItsPlotSize) {
    struct Case {
        double PlotWidth, PlotHeight;
    } cases[] = {{10, 4}, {16, 15}, {5, 12.3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.PlotWidth) + " x " + std::to_string(c.PlotHeight));
        TGraphWindow chart;
        chart.Proportioning = TProportioning::pFitToSize;
        chart.PlotWidth = c.PlotWidth;
        chart.PlotHeight = c.PlotHeight;
        chart.Width = 123;
        chart.Height = 77;
        chart.AddRectangle(0, 0, c.PlotWidth, c.PlotHeight, Blue, TPenStyle::psSolid, true);
        chart.AddSquare(2, 2, 0.25, Red, true);
        for (const int ppi : {96, 300}) {
            const QImage image = platform::ChartAsImage(chart, ppi);
            ASSERT_EQ(image.width(), Px(c.PlotWidth, ppi));
            ASSERT_EQ(image.height(), Px(c.PlotHeight, ppi));
            // Blue to the corners, less the last screen pixel that the
            // rectangle leaves out: no margin on any side.
            const int in = ppi / 96 + 2;
            const int right = image.width() - 1 - in;
            const int bottom = image.height() - 1 - in;
            for (const QPoint p :
                 {QPoint(in, in), QPoint(right, in), QPoint(in, bottom), QPoint(right, bottom)}) {
                EXPECT_TRUE(IsBlue(image.pixel(p))) << ppi << " ppi at " << p.x() << "," << p.y();
            }
            EXPECT_TRUE(IsRed(image.pixel(Px(2, ppi), Px(2, ppi)))) << ppi;
        }
        EXPECT_EQ(chart.Width, 123);
        EXPECT_EQ(chart.Height, 77);
    }
}

TEST_F(ChartExport, SvgIsAVectorPageOfTheTrueSize) {
    auto chart = SmallChart();
    const QByteArray svg = platform::ChartAsSvg(*chart);
    QSvgRenderer renderer(svg);
    ASSERT_TRUE(renderer.isValid());
    // The drawing in pixels of 96 ppi, at its physical size.
    const QRect box = renderer.viewBox();
    EXPECT_NEAR(box.width(), Px(CropWidthCm, 96), 2);
    EXPECT_NEAR(box.height(), Px(CropHeightCm, 96), 2);
    EXPECT_TRUE(svg.contains(Title));
    const std::string widthMm = "width=\"" + std::to_string(static_cast<int>(CropWidthCm * 10));
    EXPECT_TRUE(svg.contains(widthMm.c_str())) << svg.left(600).toStdString();
    // Drawn again, the square is where the raster export puts it.
    QImage image(box.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    EXPECT_TRUE(IsRed(image.pixel(Ix(5, 96), Iy(5, 96))));
    EXPECT_TRUE(IsWhite(image.pixel(Ix(3.7, 96), Iy(4.2, 96))));

    const fs::path file = dir / "chart.svg";
    std::string error;
    ASSERT_TRUE(platform::SaveChartAsSvg(*chart, file, &error)) << error;
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(file, bytes));
    EXPECT_TRUE(QSvgRenderer(QByteArray::fromStdString(bytes)).isValid());
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ChartExport, PngFilesCarryTheirResolution) {
    auto chart = SmallChart();
    const fs::path file = dir / "chart.png";
    std::string error;
    ASSERT_TRUE(platform::SaveChartAsPng(*chart, file, 300, &error)) << error;
    const QImage image(QString::fromStdString(file.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_NEAR(image.width(), Px(CropWidthCm, 300), 5);
    EXPECT_NEAR(image.height(), Px(CropHeightCm, 300), 5);
    EXPECT_EQ(image.dotsPerMeterX(), std::lround(300 / 0.0254));
    EXPECT_TRUE(IsRed(image.pixel(Ix(5, 300), Iy(5, 300))));
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ChartExport, PdfIsOnePageOfTheDrawingsSize) {
    auto chart = SmallChart();
    const fs::path file = dir / "chart.pdf";
    std::string error;
    ASSERT_TRUE(platform::SaveChartAsPdf(*chart, file, &error)) << error;
    const auto [w, h] = veltrio::testing::PdfPageSize(file);
    EXPECT_NEAR(w, CropWidthCm * PointsPerCm, 2);
    EXPECT_NEAR(h, CropHeightCm * PointsPerCm, 2);

    const QImage page = veltrio::testing::RenderPdfPage(file, 96);
    EXPECT_TRUE(IsRed(page.pixel(Ix(5, 96), Iy(5, 96))));
    EXPECT_TRUE(IsWhite(page.pixel(Ix(3.7, 96), Iy(4.2, 96))));

    // The text at 11 cm, its box about the font size high.
    const auto words = veltrio::testing::PdfWords(file);
    const auto it = std::find_if(words.begin(), words.end(),
                                 [](const auto& word) { return word.Text == Title; });
    ASSERT_NE(it, words.end());
    EXPECT_NEAR(it->XMin / PointsPerCm + CropLeftCm, 11.0, 0.1);
    EXPECT_NEAR(it->YMax / PointsPerCm + CropTopCm, 20.5, 0.15);
    EXPECT_NEAR(it->YMax - it->YMin, 20 * 1.15, 4);
    EXPECT_EQ(FilesInDir(), 1u);

    // A page without shapes is exported whole; near a standard size it keeps
    // its own size.
    TGraphWindow a4ish;
    a4ish.SetXinCm(21.05);
    a4ish.SetYinCm(29.65);
    ASSERT_TRUE(platform::SaveChartAsPdf(a4ish, file, &error)) << error;
    const auto [w2, h2] = veltrio::testing::PdfPageSize(file);
    EXPECT_NEAR(w2, 21.05 * PointsPerCm, 0.5);
    EXPECT_NEAR(h2, 29.65 * PointsPerCm, 0.5);
}

TEST_F(ChartExport, AFailedSaveLeavesNothingNewBehind) {
    using Save = bool (*)(TDrawWindow&, const fs::path&, std::string*);
    const Save saves[] = {
        platform::SaveChartAsSvg,
        platform::SaveChartAsPdf,
        [](TDrawWindow& c, const fs::path& f, std::string* e) {
            return platform::SaveChartAsPng(c, f, 96, e);
        },
    };
    auto chart = SmallChart();
    const fs::path inTheWay = dir / "taken";
    fs::create_directories(inTheWay / "inside");
    for (const Save save : saves) {
        // A folder that does not exist.
        std::string error;
        EXPECT_FALSE(save(*chart, dir / "missing" / "chart.out", &error));
        EXPECT_FALSE(error.empty());
        // A folder standing where the file should go.
        error.clear();
        EXPECT_FALSE(save(*chart, inTheWay, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(fs::is_directory(inTheWay / "inside"));
        EXPECT_EQ(FilesInDir(), 1u);
    }
}

TEST_F(ChartExport, AnExistingFileIsKeptWhenTheChartCannotBeDrawn) {
    const fs::path file = dir / "chart.png";
    ASSERT_TRUE(WriteFileAtomically(file, "the previous chart"));
    // A page far too large for an image.
    TGraphWindow huge;
    huge.SetXinCm(2.0e6);
    huge.SetYinCm(2.0e6);
    std::string error;
    EXPECT_FALSE(platform::SaveChartAsPng(huge, file, 300, &error));
    EXPECT_FALSE(error.empty());
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(file, bytes));
    EXPECT_EQ(bytes, "the previous chart");
    EXPECT_EQ(FilesInDir(), 1u);
}

TEST_F(ChartExport, PrintingKeepsThePage) {
    // A printer's page shows the chart where the page puts it, margins and
    // all: the square at (5, 5) cm from the page's corner.
    auto chart = SmallChart();
    QImage page(Px(26, 96), Px(30, 96), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        platform::PaintChartPage(*chart, painter, 96);
    }
    EXPECT_TRUE(IsRed(page.pixel(Px(5, 96), Px(5, 96))));
    EXPECT_TRUE(IsWhite(page.pixel(Px(3.7, 96), Px(4.2, 96))));
    EXPECT_FALSE(IsWhite(page.pixel(Px(1, 96), Px(10, 96)))) << "the frame at 1 cm";
}
