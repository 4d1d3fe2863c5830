#pragma once

#include "documents/Graphics.h"

#include <span>
#include <string_view>

namespace veltrio {

enum class THorzAlign { Left, Center, Right };
// Top and Bottom refer to the text's line box (ascent plus descent), Baseline
// to the base line of its font.
enum class TVertAlign { Top, Baseline, Bottom };

// A surface measured and drawn in pixels: the browser window, an image, a
// chart's picture. Font, pen and brush are state of the canvas that every
// drawing operation uses; implementations read them when they draw.
class Canvas {
public:
    virtual ~Canvas();

    const TFont& Font() const { return m_font; }
    void SetFont(const TFont& font) { m_font = font; }
    const TPen& Pen() const { return m_pen; }
    void SetPen(const TPen& pen) { m_pen = pen; }
    const TBrush& Brush() const { return m_brush; }
    void SetBrush(const TBrush& brush) { m_brush = brush; }

    // Measures in the current font.
    virtual int TextWidth(std::string_view text) = 0;
    virtual int TextHeight(std::string_view text) = 0;

    // Text in the current font. (x, y) is the anchor given by the alignment;
    // angle is in degrees, counter-clockwise, around the anchor.
    virtual void TextOut(int x, int y, std::string_view text, THorzAlign horz = THorzAlign::Left,
                         TVertAlign vert = TVertAlign::Top, double angle = 0.0) = 0;

    // Outlines use the pen; filled shapes also the brush.
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    virtual void Polyline(std::span<const TPoint> points) = 0;
    virtual void Polygon(std::span<const TPoint> points) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    // The rectangle [x1, x2) x [y1, y2) in the brush colour, without outline.
    virtual void FillRect(int x1, int y1, int x2, int y2) = 0;
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    // The picture at its own size with its top-left corner at (x, y).
    virtual void Draw(int x, int y, const TPicture& picture) = 0;
    // The picture stretched into the rectangle.
    virtual void StretchDraw(int x1, int y1, int x2, int y2, const TPicture& picture) = 0;

    virtual int PixelsPerInch() const = 0;

    // Pen position for MoveTo/LineTo sequences.
    void MoveTo(int x, int y) { m_penPos = {x, y}; }
    void LineTo(int x, int y) {
        Line(m_penPos.X, m_penPos.Y, x, y);
        m_penPos = {x, y};
    }

private:
    TFont m_font;
    TPen m_pen;
    TBrush m_brush;
    TPoint m_penPos;
};

// Restores the canvas font, pen and brush when it goes out of scope.
class CanvasStateSaver {
public:
    explicit CanvasStateSaver(Canvas& canvas)
        : m_canvas(canvas), m_font(canvas.Font()), m_pen(canvas.Pen()), m_brush(canvas.Brush()) {}
    ~CanvasStateSaver() {
        m_canvas.SetFont(m_font);
        m_canvas.SetPen(m_pen);
        m_canvas.SetBrush(m_brush);
    }
    CanvasStateSaver(const CanvasStateSaver&) = delete;
    CanvasStateSaver& operator=(const CanvasStateSaver&) = delete;

private:
    Canvas& m_canvas;
    TFont m_font;
    TPen m_pen;
    TBrush m_brush;
};

} // namespace veltrio
