#pragma once

#include <memory>
#include <string>

namespace veltrio {

class Program;
class TTavContents;

// Cochran's test of the largest within-laboratory variance, level by level:
// above the 1 % critical value the laboratory is an outlier ('C') and leaves
// the level, and the test is repeated; between 5 % and 1 % a straggler ('c').

// Tests every level of the loaded study (with the automatic spiking
// correction when it applies) and sets CochranDone.
void CochranTest(Program& program);
// The iterative test of one level (1-based); writes CochranStat and
// NoOfGrubbsLabs of the first pass.
void CochranLevelTest(Program& program, int level);

// The document of "Cochran outliers", framed (help context 5200); runs the
// test first when it has not run. Null without a study.
std::unique_ptr<TTavContents> MakeCochranReport(Program& program);
// Makes the document and shows it.
void CochranReport(Program& program);

// The information dialog TdlgCochran: shown before the report of a
// split-level study while automatic spiking correction is on and the pair
// differences have not been computed.
bool CochranDialogNeeded(Program& program);
extern const char* const CochranDialogCaption;
std::string CochranDialogText();
// The menu command "Cochran outliers": the dialog when needed (through the
// host's ShowDialog), then the report.
void CochranOutliersCommand(Program& program);

} // namespace veltrio
