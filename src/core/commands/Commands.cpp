#include "commands/Commands.h"

#include "commands/Composites.h"

#include <memory>

#include "preliminary/BaseTable.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "preliminary/RecoveryControl.h"
#include "preliminary/SplitControl.h"
#include "preliminary/YoudenPlots.h"
#include "labs/LineDiagrams.h"
#include "quality/ANOVAReport.h"
#include "quality/FoundVsNominal.h"
#include "quality/ISOGuide.h"
#include "quality/Regression.h"
#include "quality/Weights.h"
#include "labs/MandelH.h"
#include "labs/MandelK.h"
#include "labs/PerformanceScores.h"
#include "tools/BoxPlots.h"
#include "tools/ConfidenceEllipses.h"
#include "tools/Histogram.h"
#include "tools/MethodEvaluation.h"
#include "study/DescriptiveReport.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"

namespace veltrio {

namespace {

bool StudyLoaded(const Program& p) {
    return p.StudyLoaded && p.CurrentStudy;
}
bool SplitLevel(const Program& p) {
    return StudyLoaded(p) && p.CurrentStudy->Design == dkSplitLevel;
}
bool UniformLevel(const Program& p) {
    return StudyLoaded(p) && p.CurrentStudy->Design == dkUniformLevel;
}
bool MoreThanOneLevel(const Program& p) {
    return StudyLoaded(p) && p.CurrentStudy->NoOfLevels > 1;
}
bool TwoReplicates(const Program& p) {
    return StudyLoaded(p) && p.CurrentStudy->NoOfReplicates == 2;
}
bool SplitLevelOrTwoReplicates(const Program& p) {
    return SplitLevel(p) || (StudyLoaded(p) && p.CurrentStudy->NoOfReplicates == 2);
}

TPreliminaryStats& PrelimOf(Program& p) {
    if (!p.Prelim) {
        p.Prelim = std::make_unique<TPreliminaryStats>();
    }
    return *p.Prelim;
}

std::vector<TProcedure> MakeProcedures() {
    return {
        // The composites name their menu, since their captions are alike.
        {"execute-interlaboratory-study", "Execute interlaboratory study", StudyLoaded,
         ExecuteInterlaboratoryStudy},
        {"everything-below-preliminary-evaluation", "Everything below", StudyLoaded,
         EverythingBelowPreliminary},
        {"", "Base table (ISO table A)", StudyLoaded, BaseTableReport},
        {"", "Base table corrected for spiking", SplitLevel, BaseTableCorrectedReport},
        // The menu shows the information dialog first where it applies.
        {"", "Cochran outliers", StudyLoaded, CochranOutliersCommand},
        {"", "Grubbs outliers", StudyLoaded, GrubbsReport},
        {"", "Youden plots", SplitLevelOrTwoReplicates, YoudenPlots},
        {"", "Line diagrams", UniformLevel, LineDiagrams},
        {"", "Differences within sample pairs", SplitLevel, PairDifferencesReport},
        {"", "Control of recovery rates", StudyLoaded, RecoveryReport},
        {"", "Descriptive statistics", StudyLoaded,
         [](Program& p) { DescriptiveReport(p, PrelimOf(p)); }},
        // Hidden in the menu; left out of a run of every procedure.
        {"", "Residual plots", StudyLoaded, ResidualPlots, true},
        {"everything-below-general-analytical-quality", "Everything below", StudyLoaded,
         EverythingBelowQuality},
        {"", "Analysis of variance", StudyLoaded, AnalysisOfVarianceReport},
        {"", "Consensus means vs assigned values", StudyLoaded, ConsensusMeansVsAssignedValues},
        {"", "Determination of weight function", MoreThanOneLevel,
         [](Program& p) { DeterminationOfWeightFunction(p); }},
        {"", "Regression analysis", MoreThanOneLevel, RegressionAnalysis},
        {"", "ISO Guide 35 : 1989", StudyLoaded, ISOGuide35},
        {"", "Regression analysis on a laboratory", MoreThanOneLevel,
         RegressionAnalysisOnALaboratory},
        {"everything-below-evaluation-of-laboratories", "Everything below", StudyLoaded,
         EverythingBelowLaboratories},
        {"", "Mandel's h-values", StudyLoaded, MandelHValues},
        {"", "Mandel's k-values", StudyLoaded, MandelKValues},
        {"", "Performance scores", StudyLoaded, PerformanceScoresCommand},
        {"", "Box plots", StudyLoaded, MakeBoxPlots},
        {"", "Histograms", StudyLoaded, RunHistograms},
        {"", "Method evaluation", StudyLoaded, MethodEvaluation},
        {"", "Confidence ellipses", TwoReplicates, ConfidenceEllipses},
    };
}

} // namespace

std::string CommandName(std::string_view caption) {
    std::string name;
    bool gap = false;
    for (char c : caption) {
        const bool alnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (alnum) {
            if (gap && !name.empty()) {
                name += '-';
            }
            gap = false;
            name += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        } else if (c == ' ' || c == '-' || c == '/') {
            gap = true;
        }
    }
    return name;
}

const std::vector<TProcedure>& Procedures() {
    static const std::vector<TProcedure> list = [] {
        auto procs = MakeProcedures();
        for (auto& p : procs) {
            if (p.Name.empty()) {
                p.Name = CommandName(p.MenuCaption);
            }
        }
        return procs;
    }();
    return list;
}

std::string_view ProcedureMenu(std::string_view name) {
    struct TEntry {
        std::string_view First;
        std::string_view Menu;
    };
    // The first procedure of each menu in list order; a procedure belongs to
    // the menu of the last entry at or before it.
    static const TEntry menus[] = {
        {"execute-interlaboratory-study", "Procedures"},
        {"everything-below-preliminary-evaluation", "Preliminary evaluation"},
        {"everything-below-general-analytical-quality", "General analytical quality"},
        {"everything-below-evaluation-of-laboratories", "Evaluation of laboratories"},
        {"box-plots", "Tools"},
    };
    std::string_view menu;
    for (const auto& p : Procedures()) {
        for (const auto& e : menus) {
            if (p.Name == e.First) {
                menu = e.Menu;
            }
        }
        if (p.Name == name) {
            return menu;
        }
    }
    return {};
}

const TProcedure* FindProcedure(std::string_view name) {
    for (const auto& p : Procedures()) {
        if (p.Name == name) {
            return &p;
        }
    }
    return nullptr;
}

} // namespace veltrio
