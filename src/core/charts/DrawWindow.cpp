#include "charts/DrawWindow.h"

#include "documents/Canvas.h"

#include <algorithm>
#include <cmath>

namespace veltrio {

TDrawWindow::TDrawWindow() = default;
TDrawWindow::~TDrawWindow() = default;

void TDrawWindow::SetXinCm(double cm) {
    m_xInCm = std::max(3.0, cm);
}

void TDrawWindow::SetYinCm(double cm) {
    m_yInCm = std::max(3.0, cm);
}

void TDrawWindow::SetScaleFactor(double scale) {
    if (Proportioning == TProportioning::pUser && scale > 0) {
        m_scale = scale;
        Changed();
    }
}

double TDrawWindow::ExportWidthCm() const {
    return Proportioning == TProportioning::pFitToSize ? PlotWidth : m_xInCm;
}

double TDrawWindow::ExportHeightCm() const {
    return Proportioning == TProportioning::pFitToSize ? PlotHeight : m_yInCm;
}

TLine& TDrawWindow::AddLine(double x1, double y1, double x2, double y2, TColor color,
                            TPenStyle style, double width) {
    auto line = std::make_unique<TLine>();
    line->x1 = static_cast<float>(x1);
    line->y1 = static_cast<float>(y1);
    line->x2 = static_cast<float>(x2);
    line->y2 = static_cast<float>(y2);
    line->Color = color;
    line->PenStyle = style;
    line->Width = static_cast<float>(width);
    return static_cast<TLine&>(AddObject(std::move(line)));
}

TText& TDrawWindow::AddText(const std::string& text, double x, double y, int horzAlign,
                            int vertAlign, const TFontDescriptor& font, double angle) {
    auto t = std::make_unique<TText>();
    t->Text = text;
    t->x = static_cast<float>(x);
    t->y = static_cast<float>(y);
    t->HorzAlign = horzAlign;
    t->VertAlign = vertAlign;
    t->Font = font;
    t->Color = font.Color;
    t->Angle = static_cast<float>(angle);
    return static_cast<TText&>(AddObject(std::move(t)));
}

namespace {

template <class Shape>
std::unique_ptr<Shape> Centered(double x, double y, double size, TColor color, bool filled) {
    auto shape = std::make_unique<Shape>();
    shape->x = static_cast<float>(x);
    shape->y = static_cast<float>(y);
    shape->Size = static_cast<float>(size);
    shape->Color = color;
    shape->Filled = filled;
    return shape;
}

} // namespace

TCircle& TDrawWindow::AddCircle(double x, double y, double diameter, TColor color, bool filled) {
    return static_cast<TCircle&>(AddObject(Centered<TCircle>(x, y, diameter, color, filled)));
}

TSquare& TDrawWindow::AddSquare(double x, double y, double halfSide, TColor color, bool filled) {
    return static_cast<TSquare&>(AddObject(Centered<TSquare>(x, y, halfSide, color, filled)));
}

TTriangle& TDrawWindow::AddTriangle(double x, double y, double radius, TColor color, bool filled) {
    return static_cast<TTriangle&>(AddObject(Centered<TTriangle>(x, y, radius, color, filled)));
}

TLeftTriangle& TDrawWindow::AddLeftTriangle(double x, double y, double radius, TColor color,
                                            bool filled) {
    return static_cast<TLeftTriangle&>(
        AddObject(Centered<TLeftTriangle>(x, y, radius, color, filled)));
}

TRightTriangle& TDrawWindow::AddRightTriangle(double x, double y, double radius, TColor color,
                                              bool filled) {
    return static_cast<TRightTriangle&>(
        AddObject(Centered<TRightTriangle>(x, y, radius, color, filled)));
}

THexagon& TDrawWindow::AddHexagon(double x, double y, double radius, TColor color, bool filled) {
    return static_cast<THexagon&>(AddObject(Centered<THexagon>(x, y, radius, color, filled)));
}

TRectangle& TDrawWindow::AddRectangle(double x1, double y1, double x2, double y2, TColor color,
                                      TPenStyle style, bool filled) {
    auto r = std::make_unique<TRectangle>();
    r->x = static_cast<float>(x1);
    r->y = static_cast<float>(y1);
    r->Width = static_cast<float>(x2 - x1);
    r->Height = static_cast<float>(y2 - y1);
    r->Color = color;
    r->PenStyle = style;
    r->Filled = filled;
    return static_cast<TRectangle&>(AddObject(std::move(r)));
}

TGraphPicture& TDrawWindow::AddPicture(const TPicture& picture, double x1, double y1, double x2,
                                       double y2) {
    auto p = std::make_unique<TGraphPicture>();
    p->Picture = picture;
    p->x = static_cast<float>(x1);
    p->y = static_cast<float>(y1);
    p->Width = static_cast<float>(x2 - x1);
    p->Height = static_cast<float>(y2 - y1);
    return static_cast<TGraphPicture&>(AddObject(std::move(p)));
}

TGraphObject& TDrawWindow::AddObject(std::unique_ptr<TGraphObject> object) {
    m_objects.push_back(std::move(object));
    Changed();
    return *m_objects.back();
}

void TDrawWindow::ClearObjects() {
    m_objects.clear();
    Changed();
}

std::vector<std::string> TDrawWindow::Describe() const {
    std::vector<std::string> lines;
    lines.reserve(m_objects.size());
    for (const auto& object : m_objects) {
        lines.push_back(object->Describe());
    }
    return lines;
}

void TDrawWindow::SetOffset(double x, double y) {
    m_offsetX = x;
    m_offsetY = y;
    Changed();
}

void TDrawWindow::Changed() {
    if (OnChange) {
        OnChange();
    }
}

void TDrawWindow::CalcDimensions(int w, int h, int canvasPixelsPerInch) {
    const double sw = std::max(1, ScreenWidth);
    const double sh = std::max(1, ScreenHeight);
    const double d = sw * 0.00125;
    const double tw = w == 0 ? 1 : w;
    const double th = h == 0 ? 1 : h;
    const double r = tw / th;
    switch (Proportioning) {
    case TProportioning::pAutomatic:
        if (sw / sh < r) {
            m_scale = th / sh;
        } else if (sw / sh > r) {
            m_scale = tw / sw;
        }
        break;
    case TProportioning::pUser:
        break;
    case TProportioning::pTrue:
        m_scale = 1;
        break;
    case TProportioning::pAll: {
        const double perCm = d * 96 * m_scale / 2.54;
        if (sw / sh < r) {
            m_scale = th / (m_yInCm * perCm) * m_scale;
        } else {
            m_scale = tw / (m_xInCm * perCm) * m_scale;
        }
        break;
    }
    case TProportioning::pFitToSize: {
        const double pw = std::max(PlotWidth, 0.01);
        const double ph = std::max(PlotHeight, 0.01);
        m_scale = pw / ph >= r ? tw / pw : th / ph;
        m_scale *= 2.54 / (std::max(1, canvasPixelsPerInch) * d);
        break;
    }
    }
    m_pixelsPerCmScaled = d * 96 * m_scale / 2.54;
    m_textScale = d * m_scale;
    m_font.Size = static_cast<int>(std::lround(12 * m_scale));
}

TDrawContext TDrawWindow::Context(Canvas& canvas, int originX, int originY,
                                  bool withOffset) const {
    TDrawContext dc{canvas};
    dc.PixelsPerCmScaled = m_pixelsPerCmScaled;
    dc.TextScale = m_textScale;
    dc.DefaultLineWidth = DefaultLineWidth;
    dc.OffsetX = withOffset ? m_offsetX : 0;
    dc.OffsetY = withOffset ? m_offsetY : 0;
    dc.OriginX = originX;
    dc.OriginY = originY;
    return dc;
}

namespace {

using TBox = std::array<int, 4>;

bool Overlap(const TBox& a, const TBox& b) {
    return a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
}

TBox Moved(const TBox& b, int dx, int dy) {
    return {b[0] + dx, b[1] + dy, b[2] + dx, b[3] + dy};
}

} // namespace

TDrawWindow::TPlacement TDrawWindow::PlaceTexts(TDrawContext& dc) const {
    TPlacement placement;
    placement.Offsets.assign(m_objects.size(), {0, 0});
    // Texts placed near the page's left or top edge (a long level name
    // right-aligned at the axis, a large title) would be cut there or sit
    // on the window's edge: the whole drawing moves just far enough right
    // and down to keep them a few pixels inside.
    constexpr int edge = 4;
    for (const auto& object : m_objects) {
        if (const auto* text = dynamic_cast<const TText*>(object.get())) {
            if (text->Text.empty()) {
                continue;
            }
            const auto [x, y] = text->PixelTopLeft(dc);
            placement.ShiftX = std::min(placement.ShiftX, x - dc.OriginX - edge);
            placement.ShiftY = std::min(placement.ShiftY, y - dc.OriginY - edge);
        }
    }
    dc.OriginX -= placement.ShiftX;
    dc.OriginY -= placement.ShiftY;

    // Fixed texts first; then each movable one, in the order it was added,
    // takes the nearest free place in rings around its own.
    std::vector<TBox> taken;
    for (const auto& object : m_objects) {
        const auto* text = dynamic_cast<const TText*>(object.get());
        if (text != nullptr && !text->Movable && !text->Text.empty()) {
            taken.push_back(text->PixelBox(dc));
        }
    }
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        const auto* text = dynamic_cast<const TText*>(m_objects[i].get());
        if (text == nullptr || !text->Movable || text->Text.empty()) {
            continue;
        }
        const TBox box = text->PixelBox(dc);
        const int w = box[2] - box[0];
        const int h = std::max(1, box[3] - box[1]);
        auto free = [&](int dx, int dy) {
            const TBox b = Moved(box, dx, dy);
            return std::none_of(taken.begin(), taken.end(),
                                [&](const TBox& t) { return Overlap(b, t); });
        };
        std::pair<int, int> best{0, 0};
        if (!free(0, 0)) {
            bool found = false;
            // Up and down by half lines first, then sideways, farther out
            // ring by ring; a label never wanders more than four lines off.
            for (int ring = 1; ring <= 8 && !found; ++ring) {
                const int dy = ring * h / 2;
                const int dx = ring * std::max(1, w / 4);
                const std::pair<int, int> tries[] = {{0, -dy}, {0, dy},   {dx, 0},  {-dx, 0},
                                                     {dx, -dy}, {-dx, -dy}, {dx, dy}, {-dx, dy}};
                for (const auto& [tx, ty] : tries) {
                    if (free(tx, ty)) {
                        best = {tx, ty};
                        found = true;
                        break;
                    }
                }
            }
        }
        placement.Offsets[i] = best;
        taken.push_back(Moved(box, best.first, best.second));
    }
    return placement;
}

void TDrawWindow::DrawObjects(Canvas& canvas, int originX, int originY, bool withOffset) const {
    TDrawContext dc = Context(canvas, originX, originY, withOffset);
    CanvasStateSaver saver(canvas);
    const TPlacement placement = PlaceTexts(dc);
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        const auto [dx, dy] = placement.Offsets[i];
        if (dx == 0 && dy == 0) {
            m_objects[i]->Draw(dc);
            continue;
        }
        TDrawContext moved = dc;
        moved.OriginX += dx;
        moved.OriginY += dy;
        const auto& text = static_cast<const TText&>(*m_objects[i]);
        const TBox box = text.PixelBox(moved);
        // A label moved farther than its height points back to its place.
        if (std::abs(dx) + std::abs(dy) > box[3] - box[1]) {
            const int ax = dc.X(text.x), ay = dc.Y(text.y);
            const int cx = std::clamp(ax, box[0], box[2]);
            const int cy = std::clamp(ay, box[1], box[3]);
            CanvasStateSaver lineState(canvas);
            canvas.SetPen(TPen{MakeColor(128, 128, 128), 1, TPenStyle::psSolid});
            canvas.Line(ax, ay, cx, cy);
        }
        text.Draw(moved);
    }
}

void TDrawWindow::Paint(Canvas& canvas) {
    CanvasStateSaver saver(canvas);
    canvas.SetBrush(TBrush{BackgroundColor, TBrushStyle::bsSolid});
    canvas.FillRect(0, 0, Width, Height);
    CalcDimensions(Width, Height, canvas.PixelsPerInch());
    DrawObjects(canvas, 0, 0, true);
}

void TDrawWindow::DrawOn(Canvas& canvas, int x, int y, int w, int h) {
    CalcDimensions(w, h, canvas.PixelsPerInch());
    DrawObjects(canvas, x, y, true);
}

void TDrawWindow::DrawExport(Canvas& canvas, bool withOffset) {
    CalcDimensions(Width, Height, canvas.PixelsPerInch());
    CanvasStateSaver saver(canvas);
    canvas.SetFont(m_font);
    canvas.SetPen(TPen{});
    canvas.SetBrush(TBrush{BackgroundColor, TBrushStyle::bsSolid});
    const int w = static_cast<int>(std::lround(ExportWidthCm() * m_pixelsPerCmScaled));
    const int h = static_cast<int>(std::lround(ExportHeightCm() * m_pixelsPerCmScaled));
    canvas.FillRect(0, 0, w, h);
    DrawObjects(canvas, 0, 0, withOffset);
}

std::array<int, 4> TDrawWindow::DrawnBox(Canvas& canvas, bool withOffset) {
    CalcDimensions(Width, Height, canvas.PixelsPerInch());
    CanvasStateSaver saver(canvas);
    canvas.SetFont(m_font);
    TDrawContext dc = Context(canvas, 0, 0, withOffset);
    // The same placement as DrawObjects.
    const TPlacement placement = PlaceTexts(dc);
    bool any = false;
    std::array<int, 4> box{0, 0, 0, 0};
    auto take = [&](int l, int t, int r, int b) {
        if (!any) {
            box = {l, t, r, b};
            any = true;
            return;
        }
        box = {std::min(box[0], l), std::min(box[1], t), std::max(box[2], r),
               std::max(box[3], b)};
    };
    for (std::size_t i = 0; i < m_objects.size(); ++i) {
        const auto& object = m_objects[i];
        if (const auto* text = dynamic_cast<const TText*>(object.get())) {
            if (!text->Text.empty()) {
                const auto b = Moved(text->PixelBox(dc), placement.Offsets[i].first,
                                     placement.Offsets[i].second);
                take(b[0], b[1], b[2], b[3]);
            }
            continue;
        }
        const TGraphObject::TBounds b = object->GetBounds();
        // A line's width and a marker's outline reach a pixel or two beyond
        // the shape's geometry.
        constexpr int reach = 2;
        take(dc.X(b.XMin) - reach, dc.Y(b.YMin) - reach, dc.X(b.XMax) + reach,
             dc.Y(b.YMax) + reach);
    }
    return box;
}

} // namespace veltrio
