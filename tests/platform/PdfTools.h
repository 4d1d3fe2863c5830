#pragma once

#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

namespace veltrio::testing {

// A word of a PDF page with its box in points from the top-left corner, as
// poppler's pdftotext reports it.
struct PdfWord {
    std::string Text;
    double XMin = 0, YMin = 0, XMax = 0, YMax = 0;
};

// The words of the first page; an empty list when the tool fails (the
// failure is recorded as a test failure).
std::vector<PdfWord> PdfWords(const std::filesystem::path& pdf);
// The first page rendered by poppler's pdftoppm at the given resolution.
QImage RenderPdfPage(const std::filesystem::path& pdf, int pixelsPerInch);
// The MediaBox of the first page in points (width, height); (0, 0) when
// there is none.
std::pair<double, double> PdfPageSize(const std::filesystem::path& pdf);

constexpr double PointsPerCm = 72 / 2.54;

} // namespace veltrio::testing
