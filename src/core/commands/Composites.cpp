#include "commands/Composites.h"

#include "commands/Commands.h"
#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "study/Program.h"
#include "study/StudyReader.h"

namespace veltrio {

namespace {

// Runs a procedure of the list when its command is enabled; the host
// learns which one runs (the command line names its files by it).
void RunIfEnabled(Program& program, const char* name) {
    const TProcedure* proc = FindProcedure(name);
    if (!proc || !program.CurrentStudy || (proc->Enabled && !proc->Enabled(program))) {
        return;
    }
    program.host().ProcedureStarting(proc->Name);
    proc->Run(program);
}

bool IsOutlierMark(char mark) {
    return mark == MarkCochranStraggler || mark == MarkCochranOutlier ||
           mark == MarkGrubbsStraggler || mark == MarkGrubbsOutlier;
}

} // namespace

void EverythingBelowPreliminary(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    // The evaluation starts from the study as read and excluded: the marks
    // of earlier tests go, and with them every figure that followed them.
    DataType& s = *program.CurrentStudy;
    for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
        TLevel& level = s.Level(lv);
        for (int lab = 1; lab <= level.NoOfLabs; ++lab) {
            if (IsOutlierMark(level.GetMark(lab))) {
                level.SetMark(lab, MarkNone);
            }
        }
    }
    program.MarksChanged(TStateChange::Marks);

    RunIfEnabled(program, "base-table-iso-table-a");
    RunIfEnabled(program, "base-table-corrected-for-spiking");
    const bool tests = !program.Settings.DiscardOutlierTests;
    if (tests) {
        CochranTest(program);
        GrubbsTest(program);
    }
    RunIfEnabled(program, "differences-within-sample-pairs");
    program.Outliers.CochranDone = false;
    program.Outliers.GrubbsDone = false;
    if (tests) {
        RunIfEnabled(program, "cochran-outliers");
        RunIfEnabled(program, "grubbs-outliers");
    }
    RunIfEnabled(program, "youden-plots");
    if (program.CurrentStudy && program.CurrentStudy->NoOfReplicates != 2) {
        RunIfEnabled(program, "line-diagrams");
    }
    RunIfEnabled(program, "control-of-recovery-rates");
}

void EverythingBelowQuality(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    RunIfEnabled(program, "analysis-of-variance");
    // The checks of the assigned values speak once for the composite; the
    // procedures that need the values are left out after them.
    if (!CheckNominalValues(program, NominalNotOkCaption)) {
        return;
    }
    RunIfEnabled(program, "consensus-means-vs-assigned-values");
    const TProcedure* weights = FindProcedure("determination-of-weight-function");
    if (!weights || !weights->Enabled(program) ||
        !CheckTwoNominalValues(program, NominalNotOkCaption)) {
        return;
    }
    RunIfEnabled(program, "determination-of-weight-function");
    RunIfEnabled(program, "regression-analysis");
}

void EverythingBelowLaboratories(Program& program) {
    RunIfEnabled(program, "mandels-h-values");
    RunIfEnabled(program, "mandels-k-values");
}

void ExecuteInterlaboratoryStudy(Program& program) {
    EverythingBelowPreliminary(program);
    EverythingBelowQuality(program);
    EverythingBelowLaboratories(program);
}

} // namespace veltrio
