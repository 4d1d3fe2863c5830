#pragma once

namespace veltrio {

class Program;
class TGraphWindow;

// "Line diagrams": per level (and per block of 50 laboratories) a chart
// with a row per laboratory, its results along a common value axis joined
// by a line, the excluded laboratories circled, the general mean, and the
// level's figures with and without the excluded laboratories below.
void LineDiagrams(Program& program);

// The diagram of laboratories first..last of a level.
void LineDiagramChart(Program& program, TGraphWindow& chart, int level, int first, int last);

} // namespace veltrio
