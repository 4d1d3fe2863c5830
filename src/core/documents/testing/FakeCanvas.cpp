#include "documents/testing/FakeCanvas.h"

#include "base/TextUtil.h"

#include <cmath>

namespace veltrio::testing {

int FakeCanvas::CharWidth(int points) {
    return static_cast<int>(std::lround(0.6 * points));
}

int FakeCanvas::LineHeight(int points) {
    return static_cast<int>(std::lround(1.6 * points));
}

int FakeCanvas::TextWidth(std::string_view text) {
    return static_cast<int>(Utf8Length(text)) * CharWidth(Font().Size);
}

int FakeCanvas::TextHeight(std::string_view) {
    return LineHeight(Font().Size);
}

void FakeCanvas::TextOut(int x, int y, std::string_view text, THorzAlign horz, TVertAlign vert,
                         double angle) {
    Texts.push_back(Text{x, y, std::string(text), Font(), horz, vert, angle});
}

void FakeCanvas::AddShape(std::string kind, std::vector<TPoint> points) {
    Shapes.push_back(Shape{std::move(kind), std::move(points), Pen(), Brush()});
}

void FakeCanvas::Line(int x1, int y1, int x2, int y2) {
    AddShape("line", {{x1, y1}, {x2, y2}});
}

void FakeCanvas::Polyline(std::span<const TPoint> points) {
    AddShape("polyline", {points.begin(), points.end()});
}

void FakeCanvas::Polygon(std::span<const TPoint> points) {
    AddShape("polygon", {points.begin(), points.end()});
}

void FakeCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    AddShape("rect", {{x1, y1}, {x2, y2}});
}

void FakeCanvas::FillRect(int x1, int y1, int x2, int y2) {
    AddShape("fill", {{x1, y1}, {x2, y2}});
}

void FakeCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    AddShape("ellipse", {{x1, y1}, {x2, y2}});
}

void FakeCanvas::Draw(int x, int y, const TPicture& picture) {
    AddShape("picture", {{x, y}, {x + picture.Width, y + picture.Height}});
}

void FakeCanvas::StretchDraw(int x1, int y1, int x2, int y2, const TPicture&) {
    AddShape("picture", {{x1, y1}, {x2, y2}});
}

std::vector<FakeCanvas::Shape> FakeCanvas::ShapesOf(const std::string& kind) const {
    std::vector<Shape> result;
    for (const Shape& shape : Shapes) {
        if (shape.Kind == kind) {
            result.push_back(shape);
        }
    }
    return result;
}

void FakeCanvas::Clear() {
    Texts.clear();
    Shapes.clear();
}

} // namespace veltrio::testing
