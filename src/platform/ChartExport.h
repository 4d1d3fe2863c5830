#pragma once

#include <QByteArray>
#include <QImage>
#include <filesystem>
#include <string>

class QPainter;

namespace veltrio {
class TDrawWindow;
}

namespace veltrio::platform {

// A chart's page (ExportWidthCm × ExportHeightCm) drawn at its true size:
// one page centimetre is one centimetre of the output, whatever the size of
// the window that shows the chart. The shapes carry the chart's offset. The
// chart's window size is restored afterwards.

// The page drawn with its top-left corner at the painter's origin, on a
// device of pixelsPerInch resolution (a printer's page).
void PaintChartPage(TDrawWindow& chart, QPainter& painter, double pixelsPerInch);

// The exports below show the drawing and a margin of 0.3 cm around it, cut
// from the page at its true size; printing (PaintChartPage) keeps the page.

// The drawing as an SVG document (vector shapes and text).
QByteArray ChartAsSvg(TDrawWindow& chart);
// The drawing as an image of pixelsPerInch resolution on white.
QImage ChartAsImage(TDrawWindow& chart, int pixelsPerInch);

// The drawing written to a file, beside it first and then renamed into place;
// on failure the reason goes to *error, an existing file is left as it was
// and false is returned.
bool SaveChartAsSvg(TDrawWindow& chart, const std::filesystem::path& file, std::string* error);
bool SaveChartAsPng(TDrawWindow& chart, const std::filesystem::path& file, int pixelsPerInch,
                    std::string* error);
// One PDF page of the drawing's size.
bool SaveChartAsPdf(TDrawWindow& chart, const std::filesystem::path& file, std::string* error);

} // namespace veltrio::platform
