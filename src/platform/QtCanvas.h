#pragma once

#include <QPainter>

#include "documents/Canvas.h"

namespace veltrio::platform {

// The core's Canvas on a QPainter (a widget, an image, a PDF page). The
// painter must stay active while the canvas is used.
class QtCanvas : public Canvas {
public:
    QtCanvas(QPainter& painter, int pixelsPerInch);

    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void TextOut(int x, int y, std::string_view text, THorzAlign horz, TVertAlign vert,
                 double angle) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void Polyline(std::span<const TPoint> points) override;
    void Polygon(std::span<const TPoint> points) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void FillRect(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Draw(int x, int y, const TPicture& picture) override;
    void StretchDraw(int x1, int y1, int x2, int y2, const TPicture& picture) override;
    int PixelsPerInch() const override { return m_ppi; }

private:
    void ApplyPenAndBrush(bool fill);
    QPainter& m_painter;
    int m_ppi;
};

} // namespace veltrio::platform
