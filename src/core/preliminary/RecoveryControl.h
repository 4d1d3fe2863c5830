#pragma once

#include <array>
#include <memory>
#include <string>

#include "base/Missing.h"
#include "study/StudyTypes.h"

namespace veltrio {

class Program;
class TTavContents;

// "Control of recovery rates": per level, Student's t test of the mean of
// the laboratory means m against the assigned value µ, t = √p·(m − µ)/s.
// Per-level figures have slots 1..3 (index 0 unused); -99 where a figure
// cannot be computed.
class TRecoveryControl {
public:
    TRecoveryControl() { Clear(); }

    std::array<double, MaxLevels + 1> MeanOfMeans{};
    std::array<double, MaxLevels + 1> TValue{};
    std::array<double, MaxLevels + 1> PValue{};
    std::array<double, MaxLevels + 1> SD{};
    std::array<double, MaxLevels + 1> Variance{};
    // The laboratories whose means were summed (the p of the figures).
    std::array<int, MaxLevels + 1> NoOfLabs{};

    void Clear();
    // Runs the outlier tests first where they have not run (unless the
    // settings discard them), then computes every level from the means of
    // the laboratories that stay in the level.
    void ComputeRecovery(Program& program);
    // Computes, then the framed document (help context 5700). Null without
    // a study.
    std::unique_ptr<TTavContents> MakeReport(Program& program);
};

// The menu command: the document of a new computation, shown.
void RecoveryReport(Program& program);
// "Residual plots": only its message.
void ResidualPlots(Program& program);

// The stars of a two-sided probability: "***" below 0.001, "**" below 0.01,
// "*" below 0.05, else nothing (also for -99).
std::string SignificanceStars(double p);

// What a table of laboratories and tests showed; it decides the notes.
struct TSignificanceFlags {
    bool Starred = false;
    bool CochranOutlier = false; // "UC"
    bool GrubbsOutlier = false;  // "UG"
    bool FileExcluded = false;   // "U"
    bool UserExcluded = false;   // "UL"
};
// The mark of a laboratory in these tables ("UC", "UG", "U", "UL" or
// empty), noted in the flags.
std::string ExclusionMarkText(char mark, TSignificanceFlags& flags);
// The notes after the table of the recovery and the pair differences: the
// levels of significance (or that nothing is significant), one line per
// kind of mark shown, then a blank line.
void SignificanceNotes(Program& program, TTavContents& document, const TSignificanceFlags& flags);

} // namespace veltrio
