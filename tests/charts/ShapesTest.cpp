#include "charts/DrawWindow.h"
#include "charts/FontDescriptor.h"
#include "charts/GraphObjects.h"
#include "documents/testing/FakeCanvas.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace veltrio {
namespace {

using testing::FakeCanvas;

// 10 pixels per cm, so page cm read directly as pixels / 10.
TDrawContext Context(FakeCanvas& canvas, double defaultLineWidth = -1) {
    TDrawContext dc{canvas};
    dc.PixelsPerCmScaled = 10;
    dc.TextScale = 1;
    dc.DefaultLineWidth = defaultLineWidth;
    return dc;
}

std::string Points(const std::vector<TPoint>& points) {
    std::string s;
    for (const TPoint& p : points) {
        s += (s.empty() ? "" : " ") + std::to_string(p.X) + "," + std::to_string(p.Y);
    }
    return s;
}

TEST(LineWidthTest, WidthsInCmPixelsAndTheDefault) {
    struct {
        double Width, Default;
        int Pixels;
    } const cases[] = {
        {-1, -1, 1},   // the thinnest line on a surface whose default is the thinnest
        {-1, -3, 3},   // default in pixels
        {-1, 0.2, 2},  // default in cm
        {0.3, -1, 3},  // cm
        {-2, -1, 2},   // pixels
        {-4, 0.5, 4},  // pixels whatever the default
        {0, -1, 1},    // a zero width still draws a line
        {-1, 0, 1},    // a zero default too
        {0.01, -1, 1}, // rounds to nothing
    };
    for (const auto& c : cases) {
        FakeCanvas canvas;
        EXPECT_EQ(Context(canvas, c.Default).LineWidthPixels(c.Width), c.Pixels)
            << "width " << c.Width << " default " << c.Default;
    }
}

TEST(LineTest, SolidAndThinStyledLinesUseTheCanvasPen) {
    FakeCanvas canvas;
    TLine line;
    line.x1 = 1;
    line.y1 = 2;
    line.x2 = 3;
    line.y2 = 2;
    line.Color = 0x123456;
    line.PenStyle = TPenStyle::psDash;
    line.Width = -1;
    line.Draw(Context(canvas));
    ASSERT_EQ(canvas.Shapes.size(), 1u);
    EXPECT_EQ(canvas.Shapes[0].Kind, "line");
    EXPECT_EQ(Points(canvas.Shapes[0].Points), "10,20 30,20");
    EXPECT_EQ(canvas.Shapes[0].Pen, (TPen{0x123456, 1, TPenStyle::psDash}));
    // The canvas pen is restored.
    EXPECT_EQ(canvas.Pen(), TPen{});
}

TEST(LineTest, ThickDashedLineIsCutIntoFilledDashes) {
    FakeCanvas canvas;
    TLine line;
    line.x1 = 0;
    line.y1 = 1;
    line.x2 = 1.5;
    line.y2 = 1;
    line.Width = 0.1; // 1 pixel at 10 px/cm would not do: use 20 px/cm below
    line.PenStyle = TPenStyle::psDash;
    TDrawContext dc = Context(canvas);
    dc.PixelsPerCmScaled = 20; // width 2 px, dash 10 px, gap 4 px
    line.Draw(dc);
    std::vector<std::string> quads;
    for (const auto& shape : canvas.Shapes) {
        EXPECT_EQ(shape.Kind, "polygon");
        EXPECT_EQ(shape.Brush.Style, TBrushStyle::bsSolid);
        EXPECT_EQ(shape.Pen.Width, 1);
        quads.push_back(Points(shape.Points));
    }
    // 30 px long: dash 0..10, gap, dash 14..24, gap, dash 28..30 cut at the end.
    EXPECT_EQ(quads, (std::vector<std::string>{"0,21 10,21 10,19 0,19", "14,21 24,21 24,19 14,19",
                                               "28,21 30,21 30,19 28,19"}));
}

TEST(LineTest, ThickLinePatternsPerStyle) {
    // 10 px/cm: dash 5 px, dot 1 px, gap 2 px; a horizontal line 0..30 px,
    // 3 px wide. Each entry is the start and end of the pieces along x.
    struct {
        TPenStyle Style;
        std::string Pieces;
    } const cases[] = {
        {TPenStyle::psDash, "0-5 7-12 14-19 21-26 28-30"},
        {TPenStyle::psDot, "0-1 3-4 6-7 9-10 12-13 15-16 18-19 21-22 24-25 27-28"},
        {TPenStyle::psDashDot, "0-5 7-8 10-15 17-18 20-25 27-28"},
        {TPenStyle::psDashDotDot, "0-1 3-8 10-11 13-14 16-21 23-24 26-27 29-30"},
    };
    for (const auto& c : cases) {
        FakeCanvas canvas;
        LineThick(Context(canvas), 0, 0, 30, 0, 3, clBlack, c.Style);
        std::string pieces;
        for (const auto& shape : canvas.Shapes) {
            pieces += (pieces.empty() ? "" : " ") + std::to_string(shape.Points[0].X) + "-" +
                      std::to_string(shape.Points[1].X);
        }
        EXPECT_EQ(pieces, c.Pieces) << static_cast<int>(c.Style);
    }
}

TEST(LineTest, WrongPenStyleAndDegenerateLines) {
    FakeCanvas canvas;
    try {
        LineThick(Context(canvas), 0, 0, 30, 0, 3, clBlack, TPenStyle::psSolid);
        FAIL() << "no exception";
    } catch (const EGrafObjException& e) {
        EXPECT_STREQ(e.what(), "Wrong PenStyle in LineThick");
    }
    // A line of no length has no direction to cut along.
    LineThick(Context(canvas), 5, 5, 5, 5, 3, clBlack, TPenStyle::psDash);
    EXPECT_TRUE(canvas.Shapes.empty());
    // A clear line draws nothing.
    TLine line;
    line.x2 = 1;
    line.PenStyle = TPenStyle::psClear;
    line.Width = 0.5;
    line.Draw(Context(canvas));
    EXPECT_TRUE(canvas.Shapes.empty());
}

TEST(ShapeTest, PolygonCornersAndFills) {
    struct {
        std::unique_ptr<TCenteredShape> Shape;
        std::string Kind;
        std::string Points;
    } cases[] = {
        {std::make_unique<TTriangle>(), "polygon", "59,55 50,40 41,55"},      // apex upward
        {std::make_unique<TLeftTriangle>(), "polygon", "55,41 40,50 55,59"},  // apex left
        {std::make_unique<TRightTriangle>(), "polygon", "45,59 60,50 45,41"}, // apex right
        {std::make_unique<THexagon>(), "polygon", "50,60 59,55 59,45 50,40 41,45 41,55"},
        {std::make_unique<TSquare>(), "rect", "40,40 60,60"},
        {std::make_unique<TCircle>(), "ellipse", "45,45 55,55"},
    };
    for (auto& c : cases) {
        for (bool filled : {false, true}) {
            FakeCanvas canvas;
            c.Shape->x = 5;
            c.Shape->y = 5;
            c.Shape->Size = 1;
            c.Shape->Filled = filled;
            c.Shape->Color = 0x00FF00;
            c.Shape->Draw(Context(canvas));
            ASSERT_EQ(canvas.Shapes.size(), 1u) << c.Kind;
            EXPECT_EQ(canvas.Shapes[0].Kind, c.Kind);
            EXPECT_EQ(Points(canvas.Shapes[0].Points), c.Points) << c.Shape->Describe();
            EXPECT_EQ(canvas.Shapes[0].Pen.Color, 0x00FF00u);
            EXPECT_EQ(canvas.Shapes[0].Brush.Style,
                      filled ? TBrushStyle::bsSolid : TBrushStyle::bsClear);
            if (filled) {
                EXPECT_EQ(canvas.Shapes[0].Brush.Color, 0x00FF00u);
            }
            EXPECT_EQ(canvas.Brush(), TBrush{});
        }
    }
}

TEST(ShapeTest, PictureAtNaturalSizeOrStretched) {
    TGraphPicture picture;
    picture.x = 1;
    picture.y = 2;
    picture.Picture.Width = 7;
    picture.Picture.Height = 4;
    picture.Picture.Pixels.assign(28, clBlack);
    FakeCanvas canvas;
    picture.Draw(Context(canvas));
    picture.Width = 3;
    picture.Height = 2;
    picture.Draw(Context(canvas));
    ASSERT_EQ(canvas.Shapes.size(), 2u);
    EXPECT_EQ(Points(canvas.Shapes[0].Points), "10,20 17,24");
    EXPECT_EQ(Points(canvas.Shapes[1].Points), "10,20 40,40");
}

TEST(ShapeTest, OffsetAndOriginMoveEveryShape) {
    FakeCanvas canvas;
    TDrawContext dc = Context(canvas);
    dc.OffsetX = 1;
    dc.OffsetY = -0.5;
    dc.OriginX = 100;
    dc.OriginY = 200;
    TSquare square;
    square.x = 2;
    square.y = 3;
    square.Size = 0.5;
    square.Draw(dc);
    EXPECT_EQ(Points(canvas.Shapes[0].Points), "125,220 135,230");
    // Page coordinates are limited to ±32000 pixels.
    EXPECT_EQ(dc.Pixels(1e9), 32000);
    EXPECT_EQ(dc.Pixels(-1e9), -32000);
}

TEST(TextTest, AlignmentsAndScaledFont) {
    struct {
        int Horz, Vert;
        THorzAlign CanvasHorz;
        TVertAlign CanvasVert;
        int Y;
    } const cases[] = {
        {0, 0, THorzAlign::Left, TVertAlign::Bottom, 50},
        {1, 2, THorzAlign::Center, TVertAlign::Top, 50},
        // centred: top at y minus half the text height (24 px at 15 points)
        {2, 1, THorzAlign::Right, TVertAlign::Top, 38},
    };
    for (const auto& c : cases) {
        FakeCanvas canvas;
        TText text;
        text.x = 4;
        text.y = 5;
        text.Text = "12.5";
        text.HorzAlign = c.Horz;
        text.VertAlign = c.Vert;
        text.Font.Size = 10;
        TDrawContext dc = Context(canvas);
        dc.TextScale = 1.5;
        text.Draw(dc);
        ASSERT_EQ(canvas.Texts.size(), 1u);
        const auto& t = canvas.Texts[0];
        EXPECT_EQ(t.X, 40);
        EXPECT_EQ(t.Y, c.Y);
        EXPECT_EQ(t.Horz, c.CanvasHorz);
        EXPECT_EQ(t.Vert, c.CanvasVert);
        EXPECT_EQ(t.Font.Size, 15);
        EXPECT_EQ(t.Font.Name, "Arial");
        EXPECT_EQ(canvas.Font(), TFont{});
    }
}

TEST(TextTest, RotatedTextEndsAtItsPoint) {
    // "ABCD" at 10 points: 24 px wide, 16 px high. At 90 degrees the text
    // starts h/2 left of x and w below y, so it runs up to y, centred on x.
    FakeCanvas canvas;
    TText text;
    text.x = 10;
    text.y = 10;
    text.Text = "ABCD";
    text.Font.Size = 10;
    text.Angle = 90;
    text.HorzAlign = 2;
    text.Draw(Context(canvas));
    text.HorzAlign = 1; // centred on the point along the text
    text.Draw(Context(canvas));
    ASSERT_EQ(canvas.Texts.size(), 2u);
    EXPECT_EQ(canvas.Texts[0].X, 92);
    EXPECT_EQ(canvas.Texts[0].Y, 124);
    EXPECT_EQ(canvas.Texts[0].Angle, 90);
    EXPECT_EQ(canvas.Texts[1].X, 92);
    EXPECT_EQ(canvas.Texts[1].Y, 112);
}

TEST(FontDescriptorTest, DefaultsStyleByteAndRoundTrip) {
    const TFontDescriptor defaults;
    EXPECT_EQ(defaults.Name, "Arial");
    EXPECT_EQ(defaults.Size, 10);
    EXPECT_EQ(defaults.StyleByte(), 0);
    EXPECT_EQ(defaults.Color, clBlack);

    TFontDescriptor font{"Times New Roman", 14, true, false, true, false, 0x0000FF};
    EXPECT_EQ(font.StyleByte(), 5);
    std::stringstream stream;
    font.SaveToFile(stream);
    const std::string bytes = stream.str();
    ASSERT_EQ(bytes.size(), 4u + 15u + 4u + 1u + 4u);
    EXPECT_EQ(bytes.substr(4, 15), "Times New Roman");
    EXPECT_EQ(static_cast<unsigned char>(bytes[23]), 5);
    TFontDescriptor read;
    read.LoadFromFile(stream);
    EXPECT_EQ(read, font);

    std::stringstream shortRecord(bytes.substr(0, 20));
    TFontDescriptor unchanged;
    EXPECT_THROW(unchanged.LoadFromFile(shortRecord), std::runtime_error);
    EXPECT_EQ(unchanged, TFontDescriptor{});
}

TEST(DrawWindowTest, PageSizeBelowThreeCmIsRaised) {
    TDrawWindow window;
    EXPECT_EQ(window.XinCm(), 20);
    EXPECT_EQ(window.YinCm(), 16);
    window.SetXinCm(2);
    window.SetYinCm(-5);
    EXPECT_EQ(window.XinCm(), 3);
    EXPECT_EQ(window.YinCm(), 3);
    window.SetXinCm(26);
    EXPECT_EQ(window.XinCm(), 26);
}

} // namespace
} // namespace veltrio
