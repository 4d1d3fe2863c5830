#include "charts/GraphWindow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrio {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

TEST(AxesTest, XAxisAtTheBottom) {
    TGraphWindow graph;
    graph.SetAxisLengths(10, 8);
    graph.SetXAxis(1, 0, 0, 1, 0.5);
    EXPECT_EQ(graph.XMin(), 0);
    EXPECT_EQ(graph.XMax(), 1);
    EXPECT_EQ(graph.Describe(), Lines("line 2 13 12 13 width -1 solid 000000\n"
                                      "line 2 12.8 2 13 width -1 solid 000000\n"
                                      "text \"0\" 2 13.2 align 12 font Arial 10\n"
                                      "line 7 12.8 7 13 width -1 solid 000000\n"
                                      "text \"0.5\" 7 13.2 align 12 font Arial 10\n"
                                      "line 12 12.8 12 13 width -1 solid 000000\n"
                                      "text \"1.0\" 12 13.2 align 12 font Arial 10\n"));
}

TEST(AxesTest, XAxisAtTheTopRotatedAndHidden) {
    TGraphWindow graph;
    graph.SetAxisLengths(10, 8);
    TFontDescriptor font{"Courier New", 8};
    graph.SetXAxisFont(font);
    graph.SetXAxis(0, 1, 1000, 3000, 2000);
    EXPECT_EQ(graph.Describe(), Lines("line 2 5 12 5 width -1 solid 000000\n"
                                      "line 2 4.8 2 5 width -1 solid 000000\n"
                                      "text \"1,000\" 2 4.8 align 10 font Courier New 8\n"
                                      "line 12 4.8 12 5 width -1 solid 000000\n"
                                      "text \"3,000\" 12 4.8 align 10 font Courier New 8\n"));
    graph.ClearChart();
    graph.XaxisLabelAngle = 45;
    graph.SetXAxis(0, 0, 0, 10, 10);
    EXPECT_EQ(graph.Describe()[2], "text \"0\" 2 13.2 align 22 angle 45 font Courier New 8");
    graph.ClearChart();
    graph.SetXAxis(0, 2, 5, 10, 1);
    EXPECT_TRUE(graph.Objects().empty());
    EXPECT_EQ(graph.XMin(), 5);
    EXPECT_EQ(graph.XMax(), 10);
}

TEST(AxesTest, YAxisLeftAndRight) {
    TGraphWindow graph;
    graph.SetAxisLengths(10, 8);
    graph.SetYAxis(2, 0, -0.5, 0.5, 0.5);
    EXPECT_EQ(graph.Describe(), Lines("line 2 13 2 5 width -1 solid 000000\n"
                                      "line 2 13 2.2 13 width -1 solid 000000\n"
                                      "text \"-0.50\" 1.8 13 align 21 font Arial 10\n"
                                      "line 2 9 2.2 9 width -1 solid 000000\n"
                                      "text \"0\" 1.8 9 align 21 font Arial 10\n"
                                      "line 2 5 2.2 5 width -1 solid 000000\n"
                                      "text \"0.50\" 1.8 5 align 21 font Arial 10\n"));
    graph.ClearChart();
    graph.SetTickLength(0.3);
    graph.SetYAxis(0, 1, 0, 1234567, 1234567);
    EXPECT_EQ(graph.Describe(), Lines("line 12 13 12 5 width -1 solid 000000\n"
                                      "line 12 13 11.7 13 width -1 solid 000000\n"
                                      "text \"0\" 12.2 13 align 01 font Arial 10\n"
                                      "line 12 5 11.7 5 width -1 solid 000000\n"
                                      "text \"1.23457e+06\" 12.2 5 align 01 font Arial 10\n"));
}

TEST(AxesTest, IntervalThatDoesNotDivideTheRange) {
    // 0..10 by 3: n = 3, ticks at 0, 3, 6, 9; the y axis has the same ticks
    // and labels only up to the maximum.
    TGraphWindow graph;
    graph.SetAxisLengths(10, 10);
    graph.SetXAxis(0, 0, 0, 10, 3);
    std::vector<std::string> labels;
    for (const std::string& line : graph.Describe()) {
        if (line.starts_with("text")) {
            labels.push_back(line.substr(0, line.find(" align")));
        }
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"text \"0\" 2 13.2", "text \"3\" 5 13.2",
                                                "text \"6\" 8 13.2", "text \"9\" 11 13.2"}));
}

TEST(AxesTest, DegenerateScalesDrawTheAxisLineOnly) {
    // An empty range or a zero interval has no ticks to divide; nothing is
    // divided by zero and points map onto the origin.
    struct {
        double Min, Max, Interval;
    } const cases[] = {{5, 5, 1}, {0, 10, 0}, {0, 10, -2}, {10, 0, 2}};
    for (const auto& c : cases) {
        TGraphWindow graph;
        graph.SetXAxis(0, 0, c.Min, c.Max, c.Interval);
        graph.SetYAxis(0, 0, c.Min, c.Max, c.Interval);
        EXPECT_EQ(graph.Objects().size(), 2u) << c.Min << " " << c.Max << " " << c.Interval;
    }
    TGraphWindow graph;
    graph.SetXAxis(0, 2, 5, 5, 1);
    graph.SetYAxis(0, 2, 5, 5, 1);
    EXPECT_EQ(graph.PageX(7), graph.X0());
    EXPECT_EQ(graph.PageY(7), graph.Y0());
}

TEST(AxesTest, AutoScaleAxesOverAllSets) {
    const std::vector<TPointXY> a = {{1, 10}, {MissingValue, 500}, {4, MissingValue}};
    const std::vector<TPointXY> b = {{9, 30}, {3, 2}};
    const std::vector<std::span<const TPointXY>> sets = {a, b};
    TGraphWindow graph;
    const auto [xs, ys] = graph.AutoScaleAxes(sets, 0, 0);
    EXPECT_EQ(xs, AutoScale(9, 1));
    EXPECT_EQ(ys, AutoScale(500, 2)); // each coordinate is missing on its own
    EXPECT_EQ(graph.XMax(), xs.Max);
    EXPECT_EQ(graph.YMax(), ys.Max);
}

TEST(AxesTest, AutoScaleAxesWithOneValueOrNone) {
    struct {
        std::vector<TPointXY> Points;
        TAxisScale X, Y;
    } const cases[] = {
        // One x value v: 0.5 v .. 1.5 v; one y value likewise.
        {{{4, 8}, {4, 8}}, AutoScale(6, 2), AutoScale(12, 4)},
        // Negative values keep the smaller below the larger.
        {{{-4, -8}}, AutoScale(-2, -6), AutoScale(-4, -12)},
        // y = 0: 0..10; x = 0: AutoScale(0, 0).
        {{{0, 0}}, AutoScale(0, 0), AutoScale(10, 0)},
        // No usable value at all scales as zero.
        {{{MissingValue, MissingValue}}, AutoScale(0, 0), AutoScale(10, 0)},
        {{}, AutoScale(0, 0), AutoScale(10, 0)},
    };
    for (const auto& c : cases) {
        const std::vector<std::span<const TPointXY>> sets = {c.Points};
        TGraphWindow graph;
        const auto [xs, ys] = graph.AutoScaleAxes(sets, 2, 2);
        EXPECT_EQ(xs, c.X);
        EXPECT_EQ(ys, c.Y);
    }
}

TEST(AxesTest, TitlesAndFrame) {
    TGraphWindow graph;
    graph.SetOrigin(3, 12);
    graph.SetAxisLengths(10, 8);
    const TFontDescriptor font{"Arial", 12};
    graph.SetTitle("Title", font, -1);
    graph.SetTitle("Far", font, 1);
    graph.SetXAxisTitle("x", 1, font);
    graph.SetXAxisTitle("none", 0, font);
    graph.SetYAxisTitle("y", 0, font);
    graph.SetYAxisTitle("unit", 1, font);
    graph.DrawFrame(clBlack, TPenStyle::psDot, 0.05);
    EXPECT_EQ(graph.Describe(), Lines("text \"Title\" 8 3.9 align 10 font Arial 12\n"
                                      "text \"Far\" 8 3 align 10 font Arial 12\n"
                                      "text \"x\" 8 12.7 align 12 font Arial 12\n"
                                      "text \"y\" 0.8 8 align 11 angle 90 font Arial 12\n"
                                      "text \"unit\" 2.8 3.7 align 00 font Arial 12\n"
                                      "line 3 12 13 12 width 0.05 dot 000000\n"
                                      "line 13 12 13 4 width 0.05 dot 000000\n"
                                      "line 13 4 3 4 width 0.05 dot 000000\n"
                                      "line 3 4 3 12 width 0.05 dot 000000\n"));
}

} // namespace
} // namespace veltrio
