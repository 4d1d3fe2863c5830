#pragma once

namespace veltrio {

class Program;
class TGraphWindow;

// "Box plots": one chart with a horizontal box plot of every level (two in
// a split-level study, one per sample), the quartiles and the count of
// results outside the value axis beside each box, and an explanation below
// the last level.
void MakeBoxPlots(Program& program);

// One level's panel with its axis on the baseline (page cm from the top).
void DrawLevelPanel(Program& program, int level, bool lastLevel, TGraphWindow& chart,
                    double baseline, double leftEdge);

} // namespace veltrio
