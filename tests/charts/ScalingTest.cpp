#include "charts/GraphWindow.h"
#include "documents/testing/FakeCanvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace veltrio {
namespace {

using testing::FakeCanvas;

struct ScaleCase {
    TProportioning Proportioning;
    int ScreenW, ScreenH;
    int W, H;
    double Scale;
};

TEST(ScalingTest, ScalePerProportioning) {
    const ScaleCase cases[] = {
        {TProportioning::pAutomatic, 800, 600, 800, 300, 0.5}, // wider than the screen
        {TProportioning::pAutomatic, 800, 600, 400, 600, 0.5}, // taller
        {TProportioning::pAutomatic, 800, 600, 400, 300, 1.0}, // same shape: unchanged
        {TProportioning::pAutomatic, 1600, 1200, 1600, 600, 0.5},
        {TProportioning::pTrue, 800, 600, 100, 100, 1.0},
        {TProportioning::pAutomatic, 800, 600, 0, 0, 1.0 / 800}, // zero counts as one
    };
    for (const ScaleCase& c : cases) {
        TDrawWindow window;
        window.Proportioning = c.Proportioning;
        window.ScreenWidth = c.ScreenW;
        window.ScreenHeight = c.ScreenH;
        window.CalcDimensions(c.W, c.H, 96);
        EXPECT_DOUBLE_EQ(window.ScaleFactor(), c.Scale) << c.W << "x" << c.H;
        const double d = c.ScreenW * 0.00125;
        EXPECT_DOUBLE_EQ(window.PixelsPerCmScaled(), d * 96 * c.Scale / 2.54);
        EXPECT_DOUBLE_EQ(window.TextScale(), d * c.Scale);
        EXPECT_EQ(window.Font().Size, std::lround(12 * c.Scale));
    }
}

TEST(ScalingTest, UserScaleOnlyUnderUserProportioning) {
    TDrawWindow window;
    window.SetScaleFactor(2);
    EXPECT_EQ(window.ScaleFactor(), 1);
    window.Proportioning = TProportioning::pUser;
    window.SetScaleFactor(2);
    window.CalcDimensions(100, 100, 96);
    EXPECT_EQ(window.ScaleFactor(), 2);
    EXPECT_EQ(window.Font().Size, 24);
}

TEST(ScalingTest, AllAndFitToSizeFillTheTarget) {
    struct {
        TProportioning Proportioning;
        int W, H;
        double PageW, PageH;
    } const cases[] = {
        // pAll: the page width fills a tall target, the height a wide one,
        // and repeated scaling keeps the same scale.
        {TProportioning::pAll, 400, 600, 400, 320},
        {TProportioning::pAll, 1000, 400, 500, 400},
        // pFitToSize: the plot size (10 × 5 cm) fits the target at 96 dpi.
        {TProportioning::pFitToSize, 400, 400, 400, 200},
        {TProportioning::pFitToSize, 1000, 100, 200, 100},
    };
    for (const auto& c : cases) {
        TDrawWindow window;
        window.Proportioning = c.Proportioning;
        window.PlotWidth = 10;
        window.PlotHeight = 5;
        for (int round = 0; round < 2; ++round) {
            window.CalcDimensions(c.W, c.H, 96);
            EXPECT_NEAR(window.ExportWidthCm() * window.PixelsPerCmScaled(), c.PageW, 1e-6);
            EXPECT_NEAR(window.ExportHeightCm() * window.PixelsPerCmScaled(), c.PageH, 1e-6);
        }
    }
}

TEST(ScalingTest, PaintFillsTheBackgroundAndDrawsWithTheOffset) {
    TDrawWindow window;
    window.Width = 800;
    window.Height = 600;
    window.BackgroundColor = 0x00FFFF;
    window.SetOffset(1, 2);
    window.AddLine(0, 0, 2.54, 0);
    FakeCanvas canvas;
    window.Paint(canvas);
    ASSERT_EQ(canvas.Shapes.size(), 2u);
    EXPECT_EQ(canvas.Shapes[0].Kind, "fill");
    EXPECT_EQ(canvas.Shapes[0].Brush.Color, 0x00FFFFu);
    // Scale 1 on an 800-pixel screen: 96 pixels per 2.54 cm.
    EXPECT_EQ(canvas.Shapes[1].Points[0], (TPoint{38, 76}));
    EXPECT_EQ(canvas.Shapes[1].Points[1], (TPoint{134, 76}));

    canvas.Clear();
    window.DrawExport(canvas, false);
    EXPECT_EQ(canvas.Shapes[0].Points[1], (TPoint{756, 605}));
    EXPECT_EQ(canvas.Shapes[1].Points[0], (TPoint{0, 0}));
}

TEST(ScalingTest, TextsBeyondTheLeftOrTopEdgeMoveTheDrawingIntoView) {
    // On the fake canvas a 10-point character is 6 pixels wide and a text
    // 16 pixels high; scale 1: 37.8 pixels a centimetre.
    struct Case {
        const char* Name;
        double X, Y;
        int Horz, Vert;
        double Angle;
        TPoint Shift;
    };
    // Texts end up at least 4 pixels inside the edges.
    const Case cases[] = {
        // Right-aligned at 0.5 cm (19 px), 60 px wide: 41 px beyond the edge.
        {"right-aligned label", 0.5, 5, 2, 1, 0, {45, 0}},
        // Bottom at 0.2 cm (8 px), 16 px high: 8 px above the top.
        {"title at the top", 5, 0.2, 1, 0, 0, {0, 12}},
        // Centred on the page: nothing moves.
        {"inside", 5, 5, 1, 1, 0, {0, 0}},
        // Vertical, centred on 0.1 cm: half its height (8 px) beyond, less
        // the 4 px to the edge.
        {"vertical axis title", 0.1, 5, 1, 1, 90, {8, 0}},
        // At the edge itself: moved off it.
        {"left-aligned at 0", 0, 5, 0, 1, 0, {4, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TGraphWindow window;
        window.Width = 800;
        window.Height = 600;
        window.AddText("ABCDEFGHIJ", c.X, c.Y, c.Horz, c.Vert, TFontDescriptor{"Arial", 10},
                       c.Angle);
        window.AddLine(1, 1, 2, 1);
        FakeCanvas canvas;
        window.Paint(canvas);
        const auto lines = canvas.ShapesOf("line");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].Points[0], (TPoint{38 + c.Shift.X, 38 + c.Shift.Y}));
        ASSERT_EQ(canvas.Texts.size(), 1u);
        if (c.Angle == 0) {
            const int left = canvas.Texts[0].X - (c.Horz == 2 ? 60 : c.Horz == 1 ? 30 : 0);
            EXPECT_GE(left, 4);
            EXPECT_GE(canvas.Texts[0].Y - (c.Vert == 0 ? 16 : 0), 0);
        }
    }
}

TEST(ScalingTest, ChangesNotifyTheWindow) {
    TGraphWindow graph;
    int changes = 0;
    graph.OnChange = [&] { ++changes; };
    graph.AddLine(0, 0, 1, 1);
    graph.SetTickLength(0.2); // unchanged: no repaint
    graph.SetMarkerSize(0.3);
    graph.SetIgnoreMissing(true);
    graph.ClearChart();
    EXPECT_EQ(changes, 4);
}

} // namespace
} // namespace veltrio
