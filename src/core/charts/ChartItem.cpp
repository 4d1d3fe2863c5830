#include "charts/ChartItem.h"

#include "documents/Canvas.h"
#include "documents/Contents.h"
#include "documents/DocumentMessages.h"
#include "documents/HtmlExport.h"
#include "documents/PngWriter.h"
#include "documents/RtfExport.h"
#include "documents/Report.h"

#include <cmath>

namespace veltrio {

namespace {

TChartRasterizer& RasterizerSlot() {
    static TChartRasterizer rasterizer;
    return rasterizer;
}

int CmToCanvasPixels(double cm, int pixelsPerInch) {
    return static_cast<int>(std::lround(cm * pixelsPerInch / 2.54));
}

// Charts in HTML pages are drawn at screen resolution; in RTF files, which
// are printed, finer.
constexpr int HtmlPixelsPerInch = 96;
constexpr int RtfPixelsPerInch = 150;

int CmToTwips(double cm) {
    return static_cast<int>(std::lround(cm * 1440 / 2.54));
}

} // namespace

void SetChartRasterizer(TChartRasterizer rasterizer) {
    RasterizerSlot() = std::move(rasterizer);
}

const TChartRasterizer& ChartRasterizer() {
    return RasterizerSlot();
}

double TTavDrawWindow::WidthCm() const {
    return Graph->ExportWidthCm();
}

double TTavDrawWindow::HeightCm() const {
    return Graph->ExportHeightCm();
}

void TTavDrawWindow::Draw(int x, int y, Canvas& canvas) {
    CanvasStateSaver saver(canvas);
    const int w = ScreenWidth(canvas);
    const int h = ScreenHeight(canvas);
    Graph->Width = w;
    Graph->Height = h;
    Graph->DrawOn(canvas, x, y, w, h);
}

void TTavDrawWindow::Print(Report& report) {
    const double line = report.RowHeight();
    const double w = WidthCm(), h = HeightCm();
    report.DrawGraphicAt(report.MarginLeft(), report.CursorY() + line, w, h, [this](Canvas& c) {
        Graph->Width = CmToCanvasPixels(WidthCm(), c.PixelsPerInch());
        Graph->Height = CmToCanvasPixels(HeightCm(), c.PixelsPerInch());
        Graph->DrawOn(c, 0, 0, Graph->Width, Graph->Height);
    });
    report.SetCursorY(report.CursorY() + line + h);
    report.SetCursorX(report.MarginLeft());
}

void TTavDrawWindow::Preview(int, int) {
    ShowDocumentMessage("Ikke implementeret: TTavDrawWindow.Preview");
}

void TTavDrawWindow::ShowInfo() const {
    ShowDocumentMessage("DrawWindow");
}

int TTavDrawWindow::ScreenHeight(Canvas& canvas) {
    CachedHeight = CmToCanvasPixels(HeightCm(), canvas.PixelsPerInch());
    return CachedHeight;
}

int TTavDrawWindow::ScreenWidth(Canvas& canvas) {
    return CmToCanvasPixels(WidthCm(), canvas.PixelsPerInch());
}

void TTavDrawWindow::WriteHTML(HtmlExport& out) {
    const TChartRasterizer& rasterize = ChartRasterizer();
    if (!rasterize) {
        ShowDocumentMessage("Ikke implementeret: TTavDrawWindow.WriteHTML");
        return;
    }
    const int w = CmToCanvasPixels(WidthCm(), HtmlPixelsPerInch);
    const int h = CmToCanvasPixels(HeightCm(), HtmlPixelsPerInch);
    const TPicture picture = rasterize(w, h, HtmlPixelsPerInch, [this, w, h](Canvas& c) {
        Graph->Width = w;
        Graph->Height = h;
        Graph->DrawOn(c, 0, 0, w, h);
    });
    out.WritePicture(picture, h, w);
    out.WriteLine("<br>");
}

void TTavDrawWindow::WriteRTF(RtfExport& out) {
    const TChartRasterizer& rasterize = ChartRasterizer();
    if (!rasterize) {
        return;
    }
    // Drawn as on a screen page of the chart's size, sampled finer.
    const int w = CmToCanvasPixels(WidthCm(), HtmlPixelsPerInch);
    const int h = CmToCanvasPixels(HeightCm(), HtmlPixelsPerInch);
    const int pw = CmToCanvasPixels(WidthCm(), RtfPixelsPerInch);
    const int ph = CmToCanvasPixels(HeightCm(), RtfPixelsPerInch);
    const TPicture picture = rasterize(pw, ph, RtfPixelsPerInch, [this, w, h](Canvas& c) {
        Graph->Width = w;
        Graph->Height = h;
        Graph->DrawOn(c, 0, 0, w, h);
    });
    const std::string png = EncodePng(picture);
    if (png.empty()) {
        return;
    }
    static const char* const hex = "0123456789abcdef";
    out.AddLine("{\\pict\\pngblip\\picw" + std::to_string(picture.Width) + "\\pich" +
                std::to_string(picture.Height) + "\\picwgoal" + std::to_string(CmToTwips(WidthCm())) +
                "\\pichgoal" + std::to_string(CmToTwips(HeightCm())));
    std::string line;
    for (unsigned char byte : png) {
        line += hex[byte >> 4];
        line += hex[byte & 15];
        if (line.size() >= 128) {
            out.AddLine(std::move(line));
            line.clear();
        }
    }
    out.AddLine(line + "}\\par");
}

double TTavDrawWindow::ReportWidth(Report&) {
    return WidthCm();
}

double TTavDrawWindow::ReportHeight(Report&) {
    return HeightCm();
}

bool TTavDrawWindow::FitsOnPage(Report& report, TTavContents&) {
    const double h = HeightCm();
    return h < report.RemainingLines() * report.RowHeight() || h > report.PageHeight();
}

void TTavDrawWindow::AppendPlainText(std::vector<std::string>& lines) const {
    lines.push_back("[chart " + ShapeNumber(WidthCm()) + " x " + ShapeNumber(HeightCm()) + " cm, " +
                    std::to_string(Graph->Objects().size()) + " shapes]");
}

TTavDrawWindow& AddGraph(TTavContents& document, std::unique_ptr<TGraphWindow> graph) {
    return static_cast<TTavDrawWindow&>(
        document.AddItem(std::make_unique<TTavDrawWindow>(std::move(graph))));
}

} // namespace veltrio
