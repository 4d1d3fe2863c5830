#pragma once

#include <array>
#include <memory>

#include "study/StudyTypes.h"

namespace veltrio {

class Program;
class TTavContents;

// The numbers of valid laboratories of each level just before and just
// after its Grubbs tests in the last GrubbsTest (slots 1..3).
struct TGrubbsCounts {
    std::array<double, MaxLevels + 1> LabsBeforeGrubbs{};
    std::array<double, MaxLevels + 1> LabsAfterGrubbs{};
};

TGrubbsCounts& GrubbsCountsOf(Program& program);

enum class TGrubbsSide { Low, High };

struct TSingleGrubbsResult {
    bool HighOutlier = false;
    bool LowOutlier = false;
};

// Grubbs' tests of the laboratory means, level by level, after the Cochran
// test (run first when it has not run): outliers at 1 % ('G') leave the
// level, stragglers at 5 % ('g') stay. Sets GrubbsDone and recomputes the
// statistics.
void GrubbsTest(Program& program);
// The single test of the largest and the smallest mean, repeated while
// outliers are found.
TSingleGrubbsResult SingleGrubbsTest(Program& program, int level);
// The double test of the two largest and the two smallest means together,
// on both sides or on one side.
void DoubleGrubbsTest(Program& program, int level);
void DoubleGrubbsTest(Program& program, int level, TGrubbsSide side);

// The statistics of a level under the current marks (exposed for tests).
struct TGrubbsStatistics {
    int P = 0;
    // Single test: first of equal extremes; -99 when not computable.
    int LabHigh = 0, LabLow = 0;
    double GHigh = -99.0, GLow = -99.0;
    // Double test: last of equal extremes; -99 when not computable.
    int LabsHigh2[2] = {0, 0};
    int LabsLow2[2] = {0, 0};
    double GHigh2 = -99.0, GLow2 = -99.0;
};
TGrubbsStatistics GrubbsStatistics(const Program& program, int level);

// The document of "Grubbs outliers", framed (help context 5300); runs the
// test first when it has not run. Null without a study.
std::unique_ptr<TTavContents> MakeGrubbsReport(Program& program);
void GrubbsReport(Program& program);

} // namespace veltrio
