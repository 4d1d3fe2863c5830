#pragma once

#include "charts/GraphWindow.h"
#include "documents/BrowseObject.h"

#include <functional>
#include <memory>

namespace veltrio {

// A chart as an item of a document. The item owns its chart.
class TTavDrawWindow : public TTavBrowseObject {
public:
    explicit TTavDrawWindow(std::unique_ptr<TGraphWindow> graph) : Graph(std::move(graph)) {}

    std::unique_ptr<TGraphWindow> Graph;

    // The chart's size: PlotWidth × PlotHeight under pFitToSize, else
    // XinCm × YinCm.
    double WidthCm() const;
    double HeightCm() const;

    void Draw(int x, int y, Canvas& canvas) override;
    void Print(Report& report) override;
    void Preview(int x, int y) override;
    void ShowInfo() const override;
    int ScreenHeight(Canvas& canvas) override;
    int ScreenWidth(Canvas& canvas) override;
    bool IsFormat() const override { return false; }
    // The chart as a GIF image when a rasterizer is installed (the platform
    // installs one); otherwise the "not implemented" message.
    void WriteHTML(HtmlExport& out) override;
    void WriteRTF(RtfExport& out) override;
    double ReportWidth(Report& report) override;
    double ReportHeight(Report& report) override;
    bool FitsOnPage(Report& report, TTavContents& document) override;
    void AppendPlainText(std::vector<std::string>& lines) const override;
};

// Wraps the chart in an item and appends it to the document, which takes
// ownership.
TTavDrawWindow& AddGraph(TTavContents& document, std::unique_ptr<TGraphWindow> graph);

// Paints through a canvas onto a white raster picture of w × h pixels at the
// given resolution; the canvas is a 96-ppi screen scaled to that resolution.
// The core cannot rasterize; the platform installs its renderer at start-up.
// Without one, charts are not written as images.
using TChartRasterizer = std::function<TPicture(int width, int height, int pixelsPerInch,
                                                const std::function<void(Canvas&)>& paint)>;
void SetChartRasterizer(TChartRasterizer rasterizer);
const TChartRasterizer& ChartRasterizer();

} // namespace veltrio
