#pragma once

#include <array>

#include "charts/FontDescriptor.h"
#include "documents/Canvas.h"
#include "documents/Graphics.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

namespace veltrio {

// Raised by the thick-line routine for a pen style it has no pattern for.
class EGrafObjException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How page centimetres become pixels of one drawing: the surface's scale,
// its offset in cm, the pixel position of the page's top-left corner and
// the default line width (>= 0: cm; < 0: that many pixels).
struct TDrawContext {
    Canvas& canvas;
    double PixelsPerCmScaled = 96.0 / 2.54;
    double TextScale = 1.0;
    double DefaultLineWidth = -1.0;
    double OffsetX = 0.0;
    double OffsetY = 0.0;
    int OriginX = 0;
    int OriginY = 0;

    // A length in cm as pixels, to the nearest integer, limited to ±32000.
    int Pixels(double cm) const;
    int X(double cm) const { return OriginX + Pixels(cm + OffsetX); }
    int Y(double cm) const { return OriginY + Pixels(cm + OffsetY); }
    // A line width as pixels: > 0 cm; −1 the default line width; other
    // values ≤ 0 that many pixels. Never below one pixel.
    int LineWidthPixels(double width) const;
};

// A shape of a chart, placed in page centimetres (y grows downward).
class TGraphObject {
public:
    virtual ~TGraphObject();

    TColor Color = clBlack;
    TColor SecondColor = clWhite;

    virtual void Draw(const TDrawContext& dc) const = 0;
    virtual std::unique_ptr<TGraphObject> Clone() const = 0;
    // Smallest and largest x and y the shape covers.
    struct TBounds {
        double XMin, YMin, XMax, YMax;
    };
    virtual TBounds GetBounds() const = 0;
    // x := x / sx + dx, y := y / sy + dy; sizes are divided too.
    virtual void Rescale(double sx, double sy, double dx, double dy) = 0;
    // A one-line description for geometry tests: kind, then the fields.
    virtual std::string Describe() const = 0;
};

class TLine : public TGraphObject {
public:
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    float Width = -1;
    TPenStyle PenStyle = TPenStyle::psSolid;

    void Draw(const TDrawContext& dc) const override;
    std::unique_ptr<TGraphObject> Clone() const override;
    TBounds GetBounds() const override;
    void Rescale(double sx, double sy, double dx, double dy) override;
    std::string Describe() const override;
};

class TText : public TGraphObject {
public:
    float x = 0, y = 0;
    // 0 left edge, 1 centre, 2 right edge at x.
    int HorzAlign = 0;
    // 0 bottom, 1 centre, 2 top at y.
    int VertAlign = 0;
    std::string Text;
    // Degrees, counter-clockwise; 0 horizontal.
    float Angle = 0;
    TFontDescriptor Font{"Arial", 12};
    // A label that the drawing may move a little, away from other texts it
    // would cover (laboratory codes beside their points); a text moved
    // farther than its own height gets a thin line back to its place.
    bool Movable = false;

    // The top-left corner of the drawn text's box in pixels (of the rotated
    // box for a rotated text), measured on the context's canvas.
    std::pair<int, int> PixelTopLeft(const TDrawContext& dc) const;
    // The box the text covers on the canvas: left, top, right, bottom.
    std::array<int, 4> PixelBox(const TDrawContext& dc) const;
    void Draw(const TDrawContext& dc) const override;
    std::unique_ptr<TGraphObject> Clone() const override;
    TBounds GetBounds() const override;
    void Rescale(double sx, double sy, double dx, double dy) override;
    std::string Describe() const override;
};

// Shapes around a centre (x, y) with one size.
class TCenteredShape : public TGraphObject {
public:
    float x = 0, y = 0;
    float Size = 0;
    bool Filled = false;

    TBounds GetBounds() const override;
    void Rescale(double sx, double sy, double dx, double dy) override;

protected:
    // Half the extent of the shape from its centre.
    virtual double Reach() const { return Size; }
    std::string DescribeAs(const char* kind) const;
    void DrawPolygon(const TDrawContext& dc, const double (&degrees)[3]) const;
};

// Size is the diameter.
class TCircle : public TCenteredShape {
public:
    void Draw(const TDrawContext& dc) const override;
    std::unique_ptr<TGraphObject> Clone() const override;
    std::string Describe() const override;

protected:
    double Reach() const override { return Size / 2; }
};

// Size is the radius; apex upward.
class TTriangle : public TCenteredShape {
public:
    void Draw(const TDrawContext& dc) const override;
    std::unique_ptr<TGraphObject> Clone() const override;
    std::string Describe() const override;
};

class TLeftTriangle : public TCenteredShape {
public:
    void Draw(const TDrawContext& dc) const override;
    std::unique_ptr<TGraphObject> Clone() const override;
    std::string Describe() const override;
};

class TRightTriangle : public TCenteredShape {
public:
    void Draw(const TDrawContext& dc) const override;
    std::unique_ptr<TGraphObject> Clone() const override;
    std::string Describe() const override;
};

// Size is half the side.
class TSquare : public TCenteredShape {
public:
    void Draw(const TDrawContext& dc) const override;
    std::unique_ptr<TGraphObject> Clone() const override;
    std::string Describe() const override;
};

// Size is the radius; corners at top and bottom.
class THexagon : public TCenteredShape {
public:
    void Draw(const TDrawContext& dc) const override;
    std::unique_ptr<TGraphObject> Clone() const override;
    std::string Describe() const override;
};

class TRectangle : public TGraphObject {
public:
    float x = 0, y = 0, Width = 0, Height = 0;
    float PenWidth = -1;
    bool Filled = false;
    TBrushStyle BrushStyle = TBrushStyle::bsSolid;
    TPenStyle PenStyle = TPenStyle::psSolid;

    void Draw(const TDrawContext& dc) const override;
    std::unique_ptr<TGraphObject> Clone() const override;
    TBounds GetBounds() const override;
    void Rescale(double sx, double sy, double dx, double dy) override;
    std::string Describe() const override;
};

class TGraphPicture : public TGraphObject {
public:
    float x = 0, y = 0, Width = 0, Height = 0;
    TPicture Picture;

    // Width > 0: stretched into the rectangle; otherwise at the picture's
    // own pixel size with its top-left corner at (x, y).
    void Draw(const TDrawContext& dc) const override;
    std::unique_ptr<TGraphObject> Clone() const override;
    TBounds GetBounds() const override;
    void Rescale(double sx, double sy, double dx, double dy) override;
    std::string Describe() const override;
};

// A styled line wider than one pixel as filled dashes and dots: dash 0.5 cm,
// dot 0.1 cm, each followed by a 0.2 cm gap. Throws EGrafObjException for a
// solid or clear pen style.
void LineThick(const TDrawContext& dc, int x1, int y1, int x2, int y2, int width, TColor color,
               TPenStyle style);

// A number of a description: shortest text that reads back to the same float.
std::string ShapeNumber(double value);

} // namespace veltrio
