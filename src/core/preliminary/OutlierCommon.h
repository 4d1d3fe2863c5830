#pragma once

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
// Whether progress is shown for the outlier tests and the analysis of
// variance.
bool ShowTestProgress(const Program& program);

} // namespace veltrio
