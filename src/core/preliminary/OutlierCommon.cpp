#include "preliminary/OutlierCommon.h"

#include "study/Program.h"

namespace veltrio {

void RecomputeCellsAndLevels(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    if (!program.Stats) {
        program.RecomputeStatistics();
        return;
    }
    program.Stats->ComputeCells(*program.CurrentStudy, nullptr);
    program.Stats->ComputeLevels(*program.CurrentStudy);
}

void RecomputeLevels(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    if (!program.Stats) {
        program.RecomputeStatistics();
        return;
    }
    program.Stats->ComputeLevels(*program.CurrentStudy);
}

void ResetMarks(TLevel& level, const std::string& marks) {
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        if (marks.find(level.GetMark(lab)) != std::string::npos) {
            level.SetMark(lab, MarkNone);
        }
    }
}

bool ShowTestProgress(const Program& program) {
    return !program.QuietTests;
}

} // namespace veltrio
