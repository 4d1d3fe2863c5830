#pragma once

namespace veltrio {

class Program;

// The composite commands. Each runs the procedures of its menu whose
// commands are enabled for the study, in the menu's order; an error of one
// procedure ends the composite (the windows already shown stay).

// "Everything below" of Preliminary evaluation: the outlier marks reset,
// the base tables, the outlier tests as computations, the pair
// differences, the outlier reports, Youden plots, line diagrams (not with 2
// replicates) and the control of recovery rates.
void EverythingBelowPreliminary(Program& program);
// "Everything below" of General analytical quality: analysis of variance,
// consensus means, weight function, regression analysis. A study without
// assigned values is told so once, and the procedures that need them are
// left out.
void EverythingBelowQuality(Program& program);
// "Everything below" of Evaluation of laboratories: Mandel's h and k.
void EverythingBelowLaboratories(Program& program);
// "Execute interlaboratory study": the three composites above in turn.
void ExecuteInterlaboratoryStudy(Program& program);

} // namespace veltrio
