#include "charts/GraphObjects.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace veltrio {

namespace {

constexpr double Degree = std::numbers::pi / 180.0;

const char* StyleName(TPenStyle style) {
    switch (style) {
    case TPenStyle::psSolid:
        return "solid";
    case TPenStyle::psDash:
        return "dash";
    case TPenStyle::psDot:
        return "dot";
    case TPenStyle::psDashDot:
        return "dashdot";
    case TPenStyle::psDashDotDot:
        return "dashdotdot";
    case TPenStyle::psClear:
        return "clear";
    }
    return "?";
}

std::string ColorText(TColor color) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%06X", static_cast<unsigned>(color));
    return buffer;
}

// Pen and brush for a shape that is filled in its colour or hollow.
void SetShapePenAndBrush(const TDrawContext& dc, TColor color, bool filled) {
    dc.canvas.SetPen(TPen{color, dc.LineWidthPixels(-1), TPenStyle::psSolid});
    dc.canvas.SetBrush(filled ? TBrush{color, TBrushStyle::bsSolid}
                              : TBrush{clWhite, TBrushStyle::bsClear});
}

} // namespace

std::string ShapeNumber(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    return std::string(buffer, result.ptr);
}

int TDrawContext::Pixels(double cm) const {
    const double p = std::round(cm * PixelsPerCmScaled);
    return static_cast<int>(std::clamp(p, -32000.0, 32000.0));
}

int TDrawContext::LineWidthPixels(double width) const {
    double pixels = 0;
    if (width > 0) {
        pixels = Pixels(width);
    } else if (width == -1) {
        pixels = DefaultLineWidth >= 0 ? Pixels(DefaultLineWidth) : -DefaultLineWidth;
    } else {
        pixels = -width;
    }
    // A zero width (0 cm, or a width that rounds to nothing) would leave the
    // line invisible or give the dash routine nothing to cut.
    return std::max(1, static_cast<int>(std::lround(pixels)));
}

TGraphObject::~TGraphObject() = default;

// --- TLine ---

void TLine::Draw(const TDrawContext& dc) const {
    if (PenStyle == TPenStyle::psClear) {
        return;
    }
    CanvasStateSaver saver(dc.canvas);
    const int width = dc.LineWidthPixels(Width);
    const int px1 = dc.X(x1), py1 = dc.Y(y1), px2 = dc.X(x2), py2 = dc.Y(y2);
    if (width != 1 && PenStyle != TPenStyle::psSolid) {
        LineThick(dc, px1, py1, px2, py2, width, Color, PenStyle);
        return;
    }
    dc.canvas.SetPen(TPen{Color, width, PenStyle});
    dc.canvas.Line(px1, py1, px2, py2);
}

std::unique_ptr<TGraphObject> TLine::Clone() const {
    return std::make_unique<TLine>(*this);
}

TGraphObject::TBounds TLine::GetBounds() const {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

void TLine::Rescale(double sx, double sy, double dx, double dy) {
    x1 = static_cast<float>(x1 / sx + dx);
    x2 = static_cast<float>(x2 / sx + dx);
    y1 = static_cast<float>(y1 / sy + dy);
    y2 = static_cast<float>(y2 / sy + dy);
}

std::string TLine::Describe() const {
    return "line " + ShapeNumber(x1) + " " + ShapeNumber(y1) + " " + ShapeNumber(x2) + " " +
           ShapeNumber(y2) + " width " + ShapeNumber(Width) + " " + StyleName(PenStyle) + " " +
           ColorText(Color);
}

void LineThick(const TDrawContext& dc, int x1, int y1, int x2, int y2, int width, TColor color,
               TPenStyle style) {
    const int dash = std::max(1, dc.Pixels(0.5));
    const int dot = std::max(1, dc.Pixels(0.1));
    const int gap = std::max(1, dc.Pixels(0.2));
    std::vector<int> pattern;
    switch (style) {
    case TPenStyle::psDash:
        pattern = {dash};
        break;
    case TPenStyle::psDot:
        pattern = {dot};
        break;
    case TPenStyle::psDashDot:
        pattern = {dash, dot};
        break;
    case TPenStyle::psDashDotDot:
        pattern = {dot, dash, dot};
        break;
    default:
        throw EGrafObjException("Wrong PenStyle in LineThick");
    }
    const double dx = x2 - x1, dy = y2 - y1;
    const double length = std::hypot(dx, dy);
    if (length == 0) {
        return; // no direction to cut along
    }
    const double ux = dx / length, uy = dy / length;
    // Half the width along the normal.
    const double nx = -uy * width / 2.0, ny = ux * width / 2.0;
    CanvasStateSaver saver(dc.canvas);
    dc.canvas.SetPen(TPen{color, 1, TPenStyle::psSolid});
    dc.canvas.SetBrush(TBrush{color, TBrushStyle::bsSolid});
    double pos = 0;
    for (std::size_t k = 0; pos < length; ++k) {
        const double end = std::min(length, pos + pattern[k % pattern.size()]);
        const double ax = x1 + ux * pos, ay = y1 + uy * pos;
        const double bx = x1 + ux * end, by = y1 + uy * end;
        const TPoint quad[4] = {
            {static_cast<int>(std::lround(ax + nx)), static_cast<int>(std::lround(ay + ny))},
            {static_cast<int>(std::lround(bx + nx)), static_cast<int>(std::lround(by + ny))},
            {static_cast<int>(std::lround(bx - nx)), static_cast<int>(std::lround(by - ny))},
            {static_cast<int>(std::lround(ax - nx)), static_cast<int>(std::lround(ay - ny))}};
        dc.canvas.Polygon(quad);
        pos = end + gap;
    }
}

// --- TText ---

namespace {

// The text's font on the canvas, at the drawing's text scale.
void UseTextFont(const TDrawContext& dc, const TFontDescriptor& descriptor) {
    TFont font = descriptor.ToFont();
    font.Size = std::max(1, static_cast<int>(std::lround(descriptor.Size * dc.TextScale)));
    dc.canvas.SetFont(font);
}

// Where a text w × h pixels rotated by `angle` starts so that it ends at
// (px, py) (right alignment), is centred on it or starts there, measured
// along its direction.
std::pair<double, double> RotatedStart(double px, double py, double w, double h, double angle,
                                       int horzAlign) {
    const double s = std::sin(angle * Degree), c = std::cos(angle * Degree);
    const double back = horzAlign == 1 ? w / 2 : horzAlign == 0 ? w : 0;
    return {px - (s * h + c * w - h / 2) + c * back, py + s * w - s * back};
}

} // namespace

std::array<int, 4> TText::PixelBox(const TDrawContext& dc) const {
    CanvasStateSaver saver(dc.canvas);
    UseTextFont(dc, Font);
    const double px = dc.X(x), py = dc.Y(y);
    const double w = dc.canvas.TextWidth(Text);
    const double h = dc.canvas.TextHeight(Text);
    if (Angle != 0) {
        // The corners of the box drawn from the start point.
        const auto [sx, sy] = RotatedStart(px, py, w, h, Angle, HorzAlign);
        const double s = std::sin(Angle * Degree), c = std::cos(Angle * Degree);
        double left = sx, top = sy, right = sx, bottom = sy;
        for (const double u : {0.0, w}) {
            for (const double v : {0.0, h}) {
                left = std::min(left, sx + u * c + v * s);
                top = std::min(top, sy - u * s + v * c);
                right = std::max(right, sx + u * c + v * s);
                bottom = std::max(bottom, sy - u * s + v * c);
            }
        }
        return {static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)),
                static_cast<int>(std::lround(right)), static_cast<int>(std::lround(bottom))};
    }
    const double left = HorzAlign == 1 ? px - w / 2 : HorzAlign == 2 ? px - w : px;
    const double top = VertAlign == 2 ? py : VertAlign == 0 ? py - h : py - std::floor(h / 2);
    return {static_cast<int>(std::floor(left)), static_cast<int>(std::floor(top)),
            static_cast<int>(std::ceil(left + w)), static_cast<int>(std::ceil(top + h))};
}

std::pair<int, int> TText::PixelTopLeft(const TDrawContext& dc) const {
    const auto box = PixelBox(dc);
    return {box[0], box[1]};
}

void TText::Draw(const TDrawContext& dc) const {
    CanvasStateSaver saver(dc.canvas);
    UseTextFont(dc, Font);
    const int px = dc.X(x), py = dc.Y(y);
    if (Angle != 0) {
        const auto [sx, sy] = RotatedStart(px, py, dc.canvas.TextWidth(Text),
                                           dc.canvas.TextHeight(Text), Angle, HorzAlign);
        dc.canvas.TextOut(static_cast<int>(std::lround(sx)), static_cast<int>(std::lround(sy)),
                          Text, THorzAlign::Left, TVertAlign::Top, Angle);
        return;
    }
    const THorzAlign horz = HorzAlign == 1   ? THorzAlign::Center
                            : HorzAlign == 2 ? THorzAlign::Right
                                             : THorzAlign::Left;
    if (VertAlign == 1) {
        const int top = py - dc.canvas.TextHeight(Text) / 2;
        dc.canvas.TextOut(px, top, Text, horz, TVertAlign::Top, 0.0);
    } else {
        dc.canvas.TextOut(px, py, Text, horz, VertAlign == 2 ? TVertAlign::Top : TVertAlign::Bottom,
                          0.0);
    }
}

std::unique_ptr<TGraphObject> TText::Clone() const {
    return std::make_unique<TText>(*this);
}

TGraphObject::TBounds TText::GetBounds() const {
    return {x, y, x, y};
}

void TText::Rescale(double sx, double sy, double dx, double dy) {
    x = static_cast<float>(x / sx + dx);
    y = static_cast<float>(y / sy + dy);
}

std::string TText::Describe() const {
    std::string d = "text \"" + Text + "\" " + ShapeNumber(x) + " " + ShapeNumber(y) + " align " +
                    std::to_string(HorzAlign) + std::to_string(VertAlign);
    if (Angle != 0) {
        d += " angle " + ShapeNumber(Angle);
    }
    d += " font " + Font.Name + " " + std::to_string(Font.Size);
    if (Font.StyleByte() != 0) {
        d += " style " + std::to_string(Font.StyleByte());
    }
    if (Movable) {
        d += " movable";
    }
    return d;
}

// --- centred shapes ---

TGraphObject::TBounds TCenteredShape::GetBounds() const {
    const double r = Reach();
    return {x - r, y - r, x + r, y + r};
}

void TCenteredShape::Rescale(double sx, double sy, double dx, double dy) {
    x = static_cast<float>(x / sx + dx);
    y = static_cast<float>(y / sy + dy);
    Size = static_cast<float>(Size / sx);
}

std::string TCenteredShape::DescribeAs(const char* kind) const {
    return std::string(kind) + " " + ShapeNumber(x) + " " + ShapeNumber(y) + " size " +
           ShapeNumber(Size) + (Filled ? " filled " : " hollow ") + ColorText(Color);
}

void TCenteredShape::DrawPolygon(const TDrawContext& dc, const double (&degrees)[3]) const {
    CanvasStateSaver saver(dc.canvas);
    SetShapePenAndBrush(dc, Color, Filled);
    TPoint points[3];
    for (int k = 0; k < 3; ++k) {
        const double t = degrees[k] * Degree;
        points[k] = {dc.X(x + Size * std::sin(t)), dc.Y(y + Size * std::cos(t))};
    }
    dc.canvas.Polygon(points);
}

void TCircle::Draw(const TDrawContext& dc) const {
    CanvasStateSaver saver(dc.canvas);
    SetShapePenAndBrush(dc, Color, Filled);
    const double r = Size / 2.0;
    dc.canvas.Ellipse(dc.X(x - r), dc.Y(y - r), dc.X(x + r), dc.Y(y + r));
}

std::unique_ptr<TGraphObject> TCircle::Clone() const {
    return std::make_unique<TCircle>(*this);
}

std::string TCircle::Describe() const {
    return DescribeAs("circle");
}

void TTriangle::Draw(const TDrawContext& dc) const {
    DrawPolygon(dc, {60, 180, 300});
}

std::unique_ptr<TGraphObject> TTriangle::Clone() const {
    return std::make_unique<TTriangle>(*this);
}

std::string TTriangle::Describe() const {
    return DescribeAs("triangle");
}

void TLeftTriangle::Draw(const TDrawContext& dc) const {
    DrawPolygon(dc, {150, 270, 30});
}

std::unique_ptr<TGraphObject> TLeftTriangle::Clone() const {
    return std::make_unique<TLeftTriangle>(*this);
}

std::string TLeftTriangle::Describe() const {
    return DescribeAs("lefttriangle");
}

void TRightTriangle::Draw(const TDrawContext& dc) const {
    DrawPolygon(dc, {-30, 90, 210});
}

std::unique_ptr<TGraphObject> TRightTriangle::Clone() const {
    return std::make_unique<TRightTriangle>(*this);
}

std::string TRightTriangle::Describe() const {
    return DescribeAs("righttriangle");
}

void TSquare::Draw(const TDrawContext& dc) const {
    CanvasStateSaver saver(dc.canvas);
    SetShapePenAndBrush(dc, Color, Filled);
    dc.canvas.Rectangle(dc.X(x - Size), dc.Y(y - Size), dc.X(x + Size), dc.Y(y + Size));
}

std::unique_ptr<TGraphObject> TSquare::Clone() const {
    return std::make_unique<TSquare>(*this);
}

std::string TSquare::Describe() const {
    return DescribeAs("square");
}

void THexagon::Draw(const TDrawContext& dc) const {
    CanvasStateSaver saver(dc.canvas);
    SetShapePenAndBrush(dc, Color, Filled);
    TPoint points[6];
    for (int k = 0; k < 6; ++k) {
        const double t = k * 60 * Degree;
        points[k] = {dc.X(x + Size * std::sin(t)), dc.Y(y + Size * std::cos(t))};
    }
    dc.canvas.Polygon(points);
}

std::unique_ptr<TGraphObject> THexagon::Clone() const {
    return std::make_unique<THexagon>(*this);
}

std::string THexagon::Describe() const {
    return DescribeAs("hexagon");
}

// --- TRectangle ---

void TRectangle::Draw(const TDrawContext& dc) const {
    CanvasStateSaver saver(dc.canvas);
    dc.canvas.SetPen(TPen{Color, dc.LineWidthPixels(PenWidth), PenStyle});
    dc.canvas.SetBrush(Filled ? TBrush{Color, BrushStyle} : TBrush{clWhite, TBrushStyle::bsClear});
    dc.canvas.Rectangle(dc.X(x), dc.Y(y), dc.X(x + Width), dc.Y(y + Height));
}

std::unique_ptr<TGraphObject> TRectangle::Clone() const {
    return std::make_unique<TRectangle>(*this);
}

TGraphObject::TBounds TRectangle::GetBounds() const {
    return {std::min(x, x + Width), std::min(y, y + Height), std::max(x, x + Width),
            std::max(y, y + Height)};
}

void TRectangle::Rescale(double sx, double sy, double dx, double dy) {
    x = static_cast<float>(x / sx + dx);
    y = static_cast<float>(y / sy + dy);
    Width = static_cast<float>(Width / sx);
    Height = static_cast<float>(Height / sy);
}

std::string TRectangle::Describe() const {
    return "rectangle " + ShapeNumber(x) + " " + ShapeNumber(y) + " " + ShapeNumber(Width) + " " +
           ShapeNumber(Height) + (Filled ? " filled " : " hollow ") + StyleName(PenStyle) + " " +
           ColorText(Color);
}

// --- TGraphPicture ---

void TGraphPicture::Draw(const TDrawContext& dc) const {
    if (Width > 0) {
        dc.canvas.StretchDraw(dc.X(x), dc.Y(y), dc.X(x + Width), dc.Y(y + Height), Picture);
    } else {
        dc.canvas.Draw(dc.X(x), dc.Y(y), Picture);
    }
}

std::unique_ptr<TGraphObject> TGraphPicture::Clone() const {
    return std::make_unique<TGraphPicture>(*this);
}

TGraphObject::TBounds TGraphPicture::GetBounds() const {
    return {x, y, x + std::max(0.0f, Width), y + std::max(0.0f, Height)};
}

void TGraphPicture::Rescale(double sx, double sy, double dx, double dy) {
    x = static_cast<float>(x / sx + dx);
    y = static_cast<float>(y / sy + dy);
    Width = static_cast<float>(Width / sx);
    Height = static_cast<float>(Height / sy);
}

std::string TGraphPicture::Describe() const {
    return "picture " + ShapeNumber(x) + " " + ShapeNumber(y) + " " + ShapeNumber(Width) + " " +
           ShapeNumber(Height) + " pixels " + std::to_string(Picture.Width) + "x" +
           std::to_string(Picture.Height);
}

} // namespace veltrio
