#include "preliminary/OutlierCommon.h"

#include "numerics/Stat.h"
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

TLabFigureSpread LabFigureSpread(const TLevel& level, const std::function<double(int)>& figure) {
    TLabFigureSpread spread;
    double sum = 0.0;
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        if (level.LabValid(lab) && figure(lab) != MissingValue) {
            sum += figure(lab);
            ++spread.P;
        }
    }
    if (spread.P == 0) {
        return spread;
    }
    spread.Mean = sum / spread.P;
    if (spread.P < 2) {
        return spread;
    }
    TRootSumSquares rss;
    for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
        if (level.LabValid(lab) && figure(lab) != MissingValue) {
            rss.Add(figure(lab) - spread.Mean);
        }
    }
    spread.Variance = rss.SampleVariance(spread.P);
    return spread;
}

bool ShowTestProgress(const Program& program) {
    return !program.QuietTests;
}

} // namespace veltrio
