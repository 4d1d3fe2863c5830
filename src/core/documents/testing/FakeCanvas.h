#pragma once

#include "documents/Canvas.h"

#include <string>
#include <vector>

namespace veltrio::testing {

// A canvas with fixed metrics that records what is drawn, so that layout
// can be checked exactly: every character (code point) of a font of size s
// points is CharWidth(s) = round(0.6 s) pixels wide and every text is
// TextHeight(s) = round(1.6 s) pixels high; 96 pixels per inch.
class FakeCanvas : public Canvas {
public:
    struct Text {
        int X, Y;
        std::string Value;
        TFont Font;
        THorzAlign Horz;
        TVertAlign Vert;
        double Angle;
    };
    struct Shape {
        std::string Kind; // "line", "rect", "fill", "ellipse", "polyline", "polygon", "picture"
        std::vector<TPoint> Points;
        TPen Pen;
        TBrush Brush;
    };

    static int CharWidth(int points);
    static int LineHeight(int points);

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
    int PixelsPerInch() const override { return 96; }

    // Drawn so far.
    std::vector<Text> Texts;
    std::vector<Shape> Shapes;
    // Shapes of one kind.
    std::vector<Shape> ShapesOf(const std::string& kind) const;
    void Clear();

private:
    void AddShape(std::string kind, std::vector<TPoint> points);
};

} // namespace veltrio::testing
