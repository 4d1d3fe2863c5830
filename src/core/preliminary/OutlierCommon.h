#pragma once

#include <functional>
#include <string>

namespace veltrio {

class Program;
class TLevel;

// Helpers that the outlier tests and their reports share.

// Both statistics runs on the existing statistics, so that the figures of
// the outlier tests (CochranStat, GrubbsStat) stay; makes the statistics
// when there are none.
void RecomputeCellsAndLevels(Program& program);
// Only the level run (NoOfGrubbsLabs stays as the last test left it).
void RecomputeLevels(Program& program);
// Every mark among `marks` becomes ' '.
void ResetMarks(TLevel& level, const std::string& marks);
// The mean and sample variance of a figure of the valid laboratories of a
// level (`figure` of a laboratory; its -99 values are left out). P is the
// number of values summed; Mean is -99 without any, Variance -99 with fewer
// than two.
struct TLabFigureSpread {
    int P = 0;
    double Mean = -99.0;
    double Variance = -99.0;
};
TLabFigureSpread LabFigureSpread(const TLevel& level, const std::function<double(int)>& figure);

// Whether progress is shown for the outlier tests and the analysis of
// variance.
bool ShowTestProgress(const Program& program);

} // namespace veltrio
