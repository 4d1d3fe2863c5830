#include "charts/GraphWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrio {
namespace {

struct MarkerCase {
    int Code;
    std::vector<std::string> Shapes;
};

// Marker of size 0.4 cm at (5, 6), red.
const MarkerCase MarkerCases[] = {
    {0, {"square 5 6 size 0.2 hollow 0000FF"}},
    {1, {"square 5 6 size 0.2 filled 0000FF"}},
    {2,
     {"line 5 6.2 5 5.8 width -1 solid 0000FF",
      "line 4.826795 6.1 5.173205 5.9 width -1 solid 0000FF",
      "line 5.173205 6.1 4.826795 5.9 width -1 solid 0000FF"}},
    {3, {"triangle 5 6 size 0.2828 hollow 0000FF"}},
    {4, {"triangle 5 6 size 0.2828 filled 0000FF"}},
    {5, {"circle 5 6 size 0.4 hollow 0000FF"}},
    {6, {"circle 5 6 size 0.4 filled 0000FF"}},
    {7, {"line 5 5.8 5 6.2 width -1 solid 0000FF"}},
    {8, {"line 4.8 6 5.2 6 width -1 solid 0000FF"}},
    {9, {"hexagon 5 6 size 0.2 hollow 0000FF"}},
    {10, {"hexagon 5 6 size 0.2 filled 0000FF"}},
    {11, {"circle 5 6 size 0.4 hollow 0000FF", "circle 5 6 size 0.2 filled 0000FF"}},
    {12, {}},
    {13,
     {"line 4.8 5.8 5.2 6.2 width -1 solid 0000FF", "line 4.8 6.2 5.2 5.8 width -1 solid 0000FF"}},
    {14, {"square 5 6 size 0.2 hollow 0000FF", "circle 5 6 size 0.2 filled 0000FF"}},
    {15,
     {"square 5 6 size 0.2 hollow 0000FF", "line 4.8 5.8 5.2 6.2 width -1 solid 0000FF",
      "line 4.8 6.2 5.2 5.8 width -1 solid 0000FF"}},
    {16, {"lefttriangle 5 6 size 0.2828 hollow 0000FF"}},
    {17, {"lefttriangle 5 6 size 0.2828 filled 0000FF"}},
    {18, {"righttriangle 5 6 size 0.2828 hollow 0000FF"}},
    {19, {"righttriangle 5 6 size 0.2828 filled 0000FF"}},
    {20, {}},
    {-1, {}},
};

TEST(MarkerTest, EveryCodeDrawsItsShapes) {
    for (const MarkerCase& c : MarkerCases) {
        TGraphWindow graph;
        graph.DrawMarker(c.Code, MakeColor(255, 0, 0), 0.4, 5, 6, false);
        EXPECT_EQ(graph.Describe(), c.Shapes) << "marker code " << c.Code;
    }
}

TEST(MarkerTest, ClippedMarkerOnlyInsideThePlotAreaEdgesIncluded) {
    // Plot area: x 2..13, y 2..13 with the default origin and axis lengths.
    struct {
        double X, Y;
        bool Drawn;
    } const cases[] = {{2, 13, true},     {13, 2, true},    {7, 7, true},     {1.99, 7, false},
                       {13.01, 7, false}, {7, 1.99, false}, {7, 13.01, false}};
    for (const auto& c : cases) {
        TGraphWindow graph;
        graph.DrawMarker(1, clBlack, 0.25, c.X, c.Y, true);
        EXPECT_EQ(graph.Objects().size(), c.Drawn ? 1u : 0u) << c.X << "," << c.Y;
        graph.DrawMarker(1, clBlack, 0.25, c.X, c.Y, false);
        EXPECT_EQ(graph.Objects().size(), c.Drawn ? 2u : 1u) << "unclipped " << c.X << "," << c.Y;
    }
}

} // namespace
} // namespace veltrio
