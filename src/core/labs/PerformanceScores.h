#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Missing.h"

namespace veltrio {

class Program;
class TGraphWindow;
class TTavContents;

// The robust mean and standard deviation of ISO 13528:2022, Annex C.3
// (Algorithm A): from the median and 1.483·MAD (the sample standard
// deviation when MAD is 0), values are winsorised at x* ± 1.5·s*, then
// x* := their mean and s* := 1.134 · their standard deviation, until x* and
// s* change by less than Tolerance relatively.
struct TAlgorithmA {
    static constexpr int MaxRounds = 1000;
    static constexpr double Tolerance = 1e-10;
    // The fewest values that give a robust consensus.
    static constexpr int MinValues = 3;

    int Count = 0;
    double Mean = MissingValue;
    double SD = MissingValue;
    // Rounds of winsorising done; 0 when the start already held.
    int Rounds = 0;
    bool Converged = false;
    // Whether the start took the sample standard deviation (MAD was 0).
    bool StartedFromSD = false;

    // False with fewer than MinValues values (Mean and SD stay -99).
    bool Formed() const { return Mean != MissingValue && SD != MissingValue; }
};

TAlgorithmA AlgorithmA(std::vector<double> values);

// Where the assigned value X of a level comes from.
enum class TAssignedChoice {
    // The study file's assigned value where it gives one, x* elsewhere.
    Auto,
    // The study file's values only: a level without one is not scored.
    File,
    // The robust consensus x* of every level.
    Consensus,
};

// The standard deviation for proficiency assessment, sigma_pt.
enum class TSigmaChoice {
    // s* of Algorithm A.
    Robust,
    // The reproducibility standard deviation s(R) of the analysis of variance.
    Reproducibility,
    // A value per level given by the user.
    Typed,
};

struct TScoreOptions {
    TAssignedChoice Assigned = TAssignedChoice::Auto;
    TSigmaChoice Sigma = TSigmaChoice::Robust;
    // Typed: sigma_pt of levels 1, 2, 3.
    std::vector<double> TypedSigma;
};

// Why a level (or sample) got no scores.
enum class TScoreProblem {
    None,
    // Fewer than three laboratory means: no robust consensus.
    TooFewLaboratories,
    // The file gives no assigned value and the choice wants the file's.
    NoAssignedValue,
    // sigma_pt is missing or not above 0 (s* = 0 when all means are equal).
    NoSigma,
};

// The scores of one level, or of one sample of a split level.
struct TScoreColumn {
    int Level = 0;
    // The replicate column of the sample (split level), 0 for the whole
    // level (uniform level).
    int Sample = 0;
    // "A", or the sample's id in a split level.
    std::string Name;

    TAlgorithmA Consensus;
    double AssignedValue = MissingValue;
    bool AssignedFromFile = false;
    double SigmaPT = MissingValue;
    // u(X) = 1.25·s*/sqrt(p) when X is the consensus; -99 when the file
    // gives X (its uncertainty is not known).
    double UncertaintyOfAssigned = MissingValue;
    // u(X) > 0.3·sigma_pt: the standard's advice is to judge by z'.
    bool RecommendZPrime = false;
    TScoreProblem Problem = TScoreProblem::None;

    // Per laboratory (index lab - 1), -99 where not formed: the mean of the
    // laboratory's usable results on the study's stored scale, and the
    // scores.
    std::vector<double> Mean;
    std::vector<double> Z;
    std::vector<double> ZPrime;

    bool Scored() const { return Problem == TScoreProblem::None; }
    // The score that the verdict reads: z', where the document recommends
    // it, else z.
    double JudgedScore(int lab) const;
};

enum class TVerdict { None, Satisfactory, Questionable, Unsatisfactory };
// |score| <= 2, 2 < |score| < 3, |score| >= 3; None for -99.
TVerdict VerdictOf(double score);

// The performance scores of ISO 13528:2022 of every laboratory in every
// level (z and z'), from a robust consensus by Algorithm A over the means of
// the laboratories not excluded (U, L); the outliers of the tests take part
// and are scored. Figures of the study and marks as they are when Calculate
// runs.
class TPerformanceScores {
public:
    TPerformanceScores(Program& program, TScoreOptions options);

    void Calculate();
    const std::vector<TScoreColumn>& Columns() const { return m_columns; }
    const TScoreOptions& Options() const { return m_options; }

    std::unique_ptr<TTavContents> BuildReport() const;
    // Per column a bar chart of z by laboratory with lines at ±2 and ±3.
    std::shared_ptr<TGraphWindow> BuildColumnChart(const TScoreColumn& column) const;
    // Every laboratory's z over the columns.
    std::shared_ptr<TGraphWindow> BuildOverviewChart() const;

private:
    double SigmaOf(const TScoreColumn& column) const;

    Program& m_program;
    TScoreOptions m_options;
    std::vector<TScoreColumn> m_columns;
};

// The help context of the performance scores.
inline constexpr int PerformanceScoresHelpContext = 7100;

// The menu command "Performance scores" with the program's score options.
void PerformanceScoresCommand(Program& program);

// The scores of the loaded study with the given options (for the figures of
// the command line).
std::vector<TScoreColumn> ComputePerformanceScores(Program& program, const TScoreOptions& options);

} // namespace veltrio
