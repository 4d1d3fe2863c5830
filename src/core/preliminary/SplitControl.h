#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "base/Missing.h"
#include "study/Program.h"
#include "study/StudyTypes.h"

namespace veltrio {

class TTavContents;

// The differences within the sample pairs of a split-level study and the
// automatic spiking correction that the Cochran test applies with them.
// Per-level figures have slots 1..3 (index 0 unused).
class TSplitControl : public TDerivedState {
public:
    TSplitControl() { Clear(); }

    // Another study, or other laboratories excluded: the pair differences
    // must be computed again. The outlier tests' own marks leave them: the
    // tests run with the correction that these figures give.
    void StateChanged(TStateChange change) override;

    int SignificantLevels = 0;
    std::array<double, MaxLevels + 1> MeanDifference{};
    std::array<double, MaxLevels + 1> TValue{};
    std::array<double, MaxLevels + 1> PValue{};
    std::array<double, MaxLevels + 1> DiffSD{};
    std::array<double, MaxLevels + 1> DiffVariance{};
    // The laboratories whose differences were summed (the p of the figures).
    std::array<int, MaxLevels + 1> NoOfLabs{};
    // The pair differences have been computed for the loaded study.
    bool PairsComputed = false;

    // The state of a newly opened study.
    void Clear();
    // Runs the outlier tests first where they have not run (unless the
    // settings discard them; they run without correction), then per level
    // Student's t test of the mean pair difference d = result 1 - result 2
    // against zero, over the laboratories that stay in the level.
    void ComputeDifferences(Program& program);
    // A level whose mean pair difference differs significantly from zero.
    bool Significant(int level) const;
    // Whether the Cochran test and its report correct the pairs: the
    // setting is on and some level is significant.
    bool CorrectionApplies(const Program& program) const;
    // Adds (apply) or takes off (remove) each significant level's mean
    // difference to every usable second result, then recomputes the cell
    // and level statistics and clears both outlier-test flags.
    void AutoSpikingCorrection(Program& program, bool apply) const;
};

// The program's split-level control, made on first use.
TSplitControl& SplitControlOf(Program& program);

// "Differences within sample pairs": computes the differences, then the
// framed document (help context 5600); both outlier-test flags are cleared
// so that the next test runs again, with the correction where it applies.
// Null without a study.
std::unique_ptr<TTavContents> MakePairDifferencesReport(Program& program);
// Makes the document and shows it.
void PairDifferencesReport(Program& program);
// The names of the levels joined for a sentence: "A", "A and B",
// "A, B and C" (`lastJoin` is the " and" of the language).
std::string LevelList(const std::vector<std::string>& names, const std::string& lastJoin);

// The automatic spiking correction for the lifetime of the object, when it
// applies (TSplitControl::CorrectionApplies). The second results are saved
// before they are corrected and given back unchanged, bit for bit, when the
// object goes, also when an exception ends the test or report; the cell and
// level statistics then follow the restored values and both test flags are
// cleared.
class TSpikingCorrection {
public:
    TSpikingCorrection(Program& program, const TSplitControl& split);
    ~TSpikingCorrection();
    TSpikingCorrection(const TSpikingCorrection&) = delete;
    TSpikingCorrection& operator=(const TSpikingCorrection&) = delete;

    bool Applied() const { return m_applied; }

private:
    struct Saved {
        int Level, Lab;
        TResult Result;
    };
    Program& m_program;
    bool m_applied = false;
    std::vector<Saved> m_saved;
};

} // namespace veltrio
