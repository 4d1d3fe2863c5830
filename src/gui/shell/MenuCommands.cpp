#include "gui/shell/MenuCommands.h"

#include "study/Program.h"

namespace veltrio::gui {

bool MenuRuleAllows(TMenuRule rule, const Program& program) {
    if (rule == TMenuRule::NoStudy) {
        return true;
    }
    if (!program.StudyLoaded || !program.CurrentStudy) {
        return false;
    }
    const DataType& s = *program.CurrentStudy;
    switch (rule) {
    case TMenuRule::NoStudy:
    case TMenuRule::Loaded:
        return true;
    case TMenuRule::SplitLevel:
        return s.Design == dkSplitLevel;
    case TMenuRule::SplitLevelOrTwoReplicates:
        return s.Design == dkSplitLevel || s.NoOfReplicates == 2;
    case TMenuRule::UniformLevel:
        return s.Design == dkUniformLevel;
    case TMenuRule::MoreThanOneLevel:
        return s.NoOfLevels > 1;
    case TMenuRule::TwoReplicates:
        return s.NoOfReplicates == 2;
    }
    return false;
}

const std::vector<TMenuCommand>& ProcedureMenuCommands() {
    using M = TProcedureMenu;
    using R = TMenuRule;
    static const std::vector<TMenuCommand> list = {
        {M::Procedures, "Execute interlaboratory study", "execute-interlaboratory-study", R::Loaded,
         "Run the preliminary evaluation, the general analytical quality and the evaluation "
         "of laboratories"},

        {M::Preliminary, "Everything below", "everything-below-preliminary-evaluation", R::Loaded,
         "Run every procedure of the preliminary evaluation"},
        {M::Preliminary, "Base table (ISO table A)", "base-table-iso-table-a", R::Loaded,
         "The results of every laboratory in every level"},
        {M::Preliminary, "Base table corrected for spiking", "base-table-corrected-for-spiking",
         R::SplitLevel, "The base table with the spiking subtracted"},
        {M::Preliminary, "Cochran outliers", "cochran-outliers", R::Loaded,
         "Cochran's test for outlying variances"},
        {M::Preliminary, "Grubbs outliers", "grubbs-outliers", R::Loaded,
         "Grubbs' test for outlying means"},
        {M::Preliminary, "Youden plots", "youden-plots", R::SplitLevelOrTwoReplicates,
         "Youden plots of the sample pairs"},
        {M::Preliminary, "Line diagrams", "line-diagrams", R::UniformLevel,
         "Line diagrams of the laboratories"},
        {M::Preliminary, "Differences within sample pairs", "differences-within-sample-pairs",
         R::SplitLevel, "Differences between the two samples of a level"},
        {M::Preliminary, "Control of recovery rates", "control-of-recovery-rates", R::Loaded,
         "Recovery rates against the assigned values"},
        {M::Preliminary, "Descriptive statistics", "descriptive-statistics", R::Loaded,
         "Means, medians and standard deviations of every level"},
        {M::Preliminary, "Residual plots", "residual-plots", R::Loaded, "Residual plots", true},
        {M::Preliminary, "Exclude a laboratory", "exclude-a-laboratory", R::Loaded,
         "Leave a laboratory out of the evaluation"},

        {M::Quality, "Everything below", "everything-below-general-analytical-quality", R::Loaded,
         "Run every procedure of the general analytical quality"},
        {M::Quality, "Analysis of variance", "analysis-of-variance", R::Loaded,
         "Repeatability and reproducibility by analysis of variance"},
        {M::Quality, "Consensus means vs assigned values", "consensus-means-vs-assigned-values",
         R::Loaded, "The consensus means compared with the assigned values"},
        {M::Quality, "Determination of weight function", "determination-of-weight-function",
         R::MoreThanOneLevel, "The weight function of the standard deviations"},
        {M::Quality, "Regression analysis", "regression-analysis", R::MoreThanOneLevel,
         "Weighted regression of the results on the assigned values"},
        {M::Quality, "ISO Guide 35 : 1989", "iso-guide-35-1989", R::Loaded,
         "The evaluation of ISO Guide 35 : 1989"},
        {M::Quality, "Regression analysis on a laboratory", "regression-analysis-on-a-laboratory",
         R::MoreThanOneLevel, "Regression of one laboratory's results on the assigned values"},

        {M::Laboratories, "Everything below", "everything-below-evaluation-of-laboratories", R::Loaded,
         "Run every procedure of the evaluation of laboratories"},
        {M::Laboratories, "Robust residuals", nullptr, R::Loaded, "Robust residuals", true},
        {M::Laboratories, "Rank test", nullptr, R::Loaded, "Rank test", true},
        {M::Laboratories, "Mandel's h-values", "mandels-h-values", R::Loaded,
         "Mandel's between-laboratory consistency statistic"},
        {M::Laboratories, "Mandel's k-values", "mandels-k-values", R::Loaded,
         "Mandel's within-laboratory consistency statistic"},
        {M::Laboratories, "Performance scores", "performance-scores", R::Loaded,
         "z and z' scores of ISO 13528 with a robust consensus"},

        {M::LabReport, "Make report", "make-report", R::NoStudy, "Laboratory reports"},
        {M::LabReport, "Load report texts", "load-report-texts", R::NoStudy, "Load report texts"},
        {M::LabReport, "New report texts", "new-report-texts", R::NoStudy, "New report texts"},
        {M::LabReport, "Edit report texts", "edit-report-texts", R::NoStudy, "Edit report texts"},

        {M::Tools, "Fast feedback forms", "fast-feedback-forms", R::NoStudy,
         "Feedback forms for the laboratories from several study files"},
        {M::Tools, "Box plots", "box-plots", R::Loaded, "Box plots of the levels"},
        {M::Tools, "Method evaluation", "method-evaluation", R::Loaded,
         "The results grouped by analytical method"},
        {M::Tools, "Confidence ellipses", "confidence-ellipses", R::TwoReplicates,
         "Confidence ellipses of method groups"},
        {M::Tools, "Histograms", "histograms", R::Loaded, "Histograms of the results"},
    };
    return list;
}

} // namespace veltrio::gui
