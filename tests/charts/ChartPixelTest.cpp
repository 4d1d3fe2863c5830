#include "charts/GraphWindow.h"
#include "platform/RasterPicture.h"

#include <gtest/gtest.h>

namespace veltrio {
namespace {

// A few pixels of a chart painted by the platform's raster canvas: the
// geometry tests check the shapes, these that they reach the pixels.
TEST(ChartPixelTest, MarkersAndDashesReachThePixels) {
    TGraphWindow graph;
    graph.Proportioning = TProportioning::pFitToSize;
    graph.PlotWidth = 4;
    graph.PlotHeight = 4;
    const TColor red = MakeColor(255, 0, 0);
    graph.DrawMarker(1, red, 1, 1, 1, false);                   // filled square, 19..57 px
    graph.DrawMarker(3, red, 1, 3, 1, false);                   // hollow triangle around (113, 38)
    graph.AddLine(0, 3, 4, 3, clBlack, TPenStyle::psDash, 0.1); // 4 px wide at y 113
    const int size = 151;                                       // 4 cm at 96 dpi: 37.75 px/cm
    const TPicture p = platform::RenderPicture(
        size, size, 96, [&](Canvas& canvas) { graph.DrawOn(canvas, 0, 0, size, size); });
    ASSERT_EQ(p.Width, size);
    auto at = [&](int x, int y) { return p.Pixels[static_cast<std::size_t>(y * size + x)]; };
    EXPECT_EQ(at(38, 38), red);      // inside the filled square
    EXPECT_EQ(at(113, 40), clWhite); // inside the hollow triangle
    EXPECT_EQ(at(10, 113), clBlack); // first dash: 0..19 px
    EXPECT_EQ(at(23, 113), clWhite); // gap: 19..27 px
    EXPECT_EQ(at(35, 113), clBlack); // second dash
    EXPECT_EQ(at(10, 100), clWhite); // beside the line
}

} // namespace
} // namespace veltrio
