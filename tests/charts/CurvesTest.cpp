#include "charts/GraphWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace veltrio {
namespace {

// A chart with the plot area x 2..12, y 5..13 (page cm) for data 0..10 on
// both axes, without axis shapes: 1 data unit is 1 cm across, 0.8 cm up.
void MakeChart(TGraphWindow& graph) {
    graph.SetAxisLengths(10, 8);
    graph.SetXAxis(0, 2, 0, 10, 1);
    graph.SetYAxis(0, 2, 0, 10, 1);
}

std::vector<std::string> Kinds(const TGraphWindow& graph, const std::string& prefix) {
    std::vector<std::string> lines;
    for (const std::string& line : graph.Describe()) {
        if (line.starts_with(prefix)) {
            lines.push_back(line);
        }
    }
    return lines;
}

const std::vector<TPointXY> WithGap = {{0, 0}, {5, 5}, {MissingValue, 3}, {10, 10}};

TEST(CurvesTest, MissingPointBreaksTheLineUnlessIgnored) {
    struct {
        bool Ignore;
        std::vector<std::string> Lines;
    } const cases[] = {
        {false, {"line 2 13 7 9 width -1 solid 0000FF"}},
        {true, {"line 2 13 7 9 width -1 solid 0000FF", "line 7 9 12 5 width -1 solid 0000FF"}},
    };
    for (const auto& c : cases) {
        TGraphWindow graph;
        MakeChart(graph);
        graph.SetIgnoreMissing(c.Ignore);
        graph.AddCurve(WithGap, "", 0x0000FF, -1, TPenStyle::psSolid, 0.2, clBlack, 1);
        EXPECT_EQ(Kinds(graph, "line"), c.Lines);
        // Every present point has its marker.
        EXPECT_EQ(Kinds(graph, "square"),
                  (std::vector<std::string>{"square 2 13 size 0.1 filled 000000",
                                            "square 7 9 size 0.1 filled 000000",
                                            "square 12 5 size 0.1 filled 000000"}));
    }
}

TEST(CurvesTest, MarkersOnlyInsideLinesAlsoOutside) {
    TGraphWindow graph;
    MakeChart(graph);
    const std::vector<TPointXY> points = {{5, 5}, {12, 5}, {5, -1}};
    graph.AddCurve(points, "", clBlack, 0.05, TPenStyle::psDash, 0.2, clBlack, 5);
    EXPECT_EQ(graph.Describe(),
              (std::vector<std::string>{"circle 7 9 size 0.2 hollow 000000",
                                        "line 7 9 14 9 width 0.05 dash 000000",
                                        "line 14 9 7 13.8 width 0.05 dash 000000"}));
}

TEST(CurvesTest, ClearLineStyleAndMarkerTwelve) {
    TGraphWindow graph;
    MakeChart(graph);
    const std::vector<TPointXY> points = {{1, 1}, {2, 2}};
    graph.AddCurve(points, "", clBlack, -1, TPenStyle::psClear, 0.2, clBlack, 6);
    EXPECT_EQ(Kinds(graph, "line").size(), 0u);
    EXPECT_EQ(Kinds(graph, "circle").size(), 2u);
    graph.ClearChart();
    graph.AddCurve(points, "", clBlack, -1, TPenStyle::psSolid, 0.2, clBlack, 12);
    EXPECT_EQ(graph.Describe(),
              (std::vector<std::string>{"line 3 12.2 4 11.4 width -1 solid 000000"}));
    graph.ClearChart();
    graph.AddCurve({}, "legend", clBlack, -1, TPenStyle::psSolid, 0.2, clBlack, 1);
    EXPECT_TRUE(graph.Objects().empty());
    EXPECT_EQ(graph.LegendCount, 0);
}

TEST(CurvesTest, LegendEntriesCountOnlyNamedCurves) {
    TGraphWindow graph;
    MakeChart(graph);
    const std::vector<TPointXY> none = {{MissingValue, MissingValue}};
    graph.AddCurve(none, "first", 0x0000FF, -1, TPenStyle::psSolid, 0.25, 0x00FF00, 4);
    graph.AddCurve(none, "", clBlack, -1, TPenStyle::psSolid, 0.25, clBlack, 1);
    graph.AddCurve(none, "second", clBlack, -1, TPenStyle::psDot, 0.25, clBlack, 0);
    graph.AddCurve(none, "third", clBlack, -1, TPenStyle::psSolid, 0.25, clBlack, 12);
    EXPECT_EQ(graph.LegendCount, 3);
    EXPECT_EQ(graph.Describe(), (std::vector<std::string>{
                                    "line 12.3 5 13.3 5 width -1 solid 0000FF",
                                    "triangle 12.8 5 size 0.17675 filled 00FF00",
                                    "text \"first\" 13.6 5 align 01 font Arial 10",
                                    "line 12.3 5.5 13.3 5.5 width -1 dot 000000",
                                    "square 12.8 5.5 size 0.125 hollow 000000",
                                    "text \"second\" 13.6 5.5 align 01 font Arial 10",
                                    // the third entry 1 cm below the top of the plot
                                    "line 12.3 6 13.3 6 width -1 solid 000000",
                                    "text \"third\" 13.6 6 align 01 font Arial 10",
                                }));
    graph.SetOrigin(2, 13);
    EXPECT_EQ(graph.LegendCount, 0);
}

TEST(CurvesTest, LegendPositions) {
    struct {
        TLegendPosition Position;
        int Entry;
        std::string Line, Text;
    } const cases[] = {
        {TLegendPosition::lpOutsideRight, 1, "line 12.3 5 13.3 5", "text \"L\" 13.6 5 align 01"},
        {TLegendPosition::lpFarOutsideRight, 2, "line 13.5 5.5 14.5 5.5",
         "text \"L\" 14.8 5.5 align 01"},
        {TLegendPosition::lpInsideRight, 1, "line 9 5.5 10 5.5", "text \"L\" 10.3 5.5 align 01"},
        {TLegendPosition::lpBottom, 1, "line 2 15 3 15", "text \"L\" 2.5 14.7 align 10"},
        {TLegendPosition::lpBottom, 4, "line 12.5 15 13.5 15", "text \"L\" 13 14.7 align 10"},
        {TLegendPosition::lpBottom, 5, "line 2 16.2 3 16.2", "text \"L\" 2.5 15.9 align 10"},
        {TLegendPosition::lpBottom, 16, "line 12.5 18.6 13.5 18.6", "text \"L\" 13 18.3 align 10"},
        // Beyond sixteen entries the rows go on downward.
        {TLegendPosition::lpBottom, 17, "line 2 19.8 3 19.8", "text \"L\" 2.5 19.5 align 10"},
    };
    for (const auto& c : cases) {
        TGraphWindow graph;
        MakeChart(graph);
        graph.LegendPosition = c.Position;
        graph.SetLegendFont(TFontDescriptor{"Times New Roman", 9});
        graph.AddLegendEntry(c.Entry, "L", TPenStyle::psSolid, clBlack, -1, 12, clBlack, 0.25);
        const auto lines = graph.Describe();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0], c.Line + " width -1 solid 000000") << c.Entry;
        EXPECT_EQ(lines[1], c.Text + " font Times New Roman 9") << c.Entry;
    }
}

TEST(CurvesTest, LabelledCurvePlacesLabelsBesideInsidePoints) {
    const std::vector<TPointXY> points = {{1, 1}, {MissingValue, 2}, {20, 3}, {4, 4}};
    const std::vector<std::string> labels = {"A", "B", "C", "D"};
    struct {
        int Position;
        std::vector<std::string> Texts;
    } const cases[] = {
        {0, {"text \"A\" 2.75 12.2 align 01", "text \"D\" 5.75 9.8 align 01"}},
        {1, {"text \"A\" 3.25 12.2 align 21", "text \"D\" 6.25 9.8 align 21"}},
        {2, {"text \"A\" 3 11.95 align 10", "text \"D\" 6 9.55 align 10"}},
        {3, {"text \"A\" 3 12.45 align 12", "text \"D\" 6 10.05 align 12"}},
        {4, {"text \"A\" 3 12.2 align 11", "text \"D\" 6 9.8 align 11"}},
        {5, {}},
    };
    for (const auto& c : cases) {
        TGraphWindow graph;
        MakeChart(graph);
        graph.AddLabelledCurve(points, "", clBlack, -1, TPenStyle::psClear, 0.2, clBlack, 12,
                               labels, TFontDescriptor{"Arial", 8}, c.Position);
        std::vector<std::string> texts;
        for (const std::string& t : Kinds(graph, "text")) {
            texts.push_back(t.substr(0, t.find(" font")));
        }
        EXPECT_EQ(texts, c.Texts) << "position " << c.Position;
    }
    // Fewer labels than points: the rest go without.
    TGraphWindow graph;
    MakeChart(graph);
    graph.AddLabelledCurve(points, "", clBlack, -1, TPenStyle::psClear, 0.2, clBlack, 12, {"A"},
                           TFontDescriptor{}, 4);
    EXPECT_EQ(Kinds(graph, "text").size(), 1u);
}

TEST(BoxPlotTest, VerticalAndHorizontalBoxes) {
    TBoxList list;
    list.Boxes.push_back(TBox{1, 2, 3, 4, 5, 5});
    list.Boxes.push_back(TBox{1, 2, MissingValue, 4, 5, 8}); // incomplete: not drawn
    list.BoxWidth = 1;
    list.WhiskerWidth = 0.4;
    TGraphWindow graph;
    MakeChart(graph);
    graph.AddBoxPlots(list);
    const std::vector<std::string> vertical = {
        "line 6.5 9.8 7.5 9.8 width -1 solid 000000",   // third quartile
        "line 6.5 10.6 7.5 10.6 width -1 solid 000000", // median
        "line 6.5 11.4 7.5 11.4 width -1 solid 000000", // first quartile
        "line 6.5 11.4 6.5 9.8 width -1 solid 000000",
        "line 7.5 11.4 7.5 9.8 width -1 solid 000000",
        "line 7 9.8 7 9 width -1 solid 000000",
        "line 7 12.2 7 11.4 width -1 solid 000000",
        "line 6.8 9 7.2 9 width -1 solid 000000",
        "line 6.8 12.2 7.2 12.2 width -1 solid 000000",
    };
    EXPECT_EQ(graph.Describe(), vertical);

    list.Horizontal = true;
    graph.ClearChart();
    graph.AddBoxPlots(list);
    const std::vector<std::string> horizontal = {
        "line 6 8.5 6 9.5 width -1 solid 000000", "line 5 8.5 5 9.5 width -1 solid 000000",
        "line 4 8.5 4 9.5 width -1 solid 000000", "line 4 8.5 6 8.5 width -1 solid 000000",
        "line 4 9.5 6 9.5 width -1 solid 000000", "line 6 9 7 9 width -1 solid 000000",
        "line 3 9 4 9 width -1 solid 000000",     "line 7 8.8 7 9.2 width -1 solid 000000",
        "line 3 8.8 3 9.2 width -1 solid 000000",
    };
    EXPECT_EQ(graph.Describe(), horizontal);
}

TEST(CurveListTest, PointsCountedFromOne) {
    TCurveList list;
    list.Add(1, 2);
    list.Add(MissingValue, 4);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Point(2).x, MissingValue);
    EXPECT_EQ(list.Point(2).y, 4);
    EXPECT_THROW(list.Point(0), std::out_of_range);
    EXPECT_THROW(list.Point(3), std::out_of_range);
    EXPECT_EQ(list.Points().size(), 2u);
    EXPECT_EQ(TCurvePoint{}.y, MissingValue);
}

} // namespace
} // namespace veltrio
