#pragma once

#include <memory>

namespace veltrio {

class Program;
class TTavContents;

// The base table (ISO 5725-2 table A): every reported result with the
// laboratories' exclusion marks and method codes and the assigned values.

// Split-level study: the results as reported (the known spike added back
// to the spiked sample) or as held, with the spike subtracted. Framed with
// help context 5000 (as reported) or 5100 (corrected).
std::unique_ptr<TTavContents> MakeSplitLevelBaseTable(Program& program, bool asReported);
// Uniform study: one row per replicate. Framed with help context 5000.
std::unique_ptr<TTavContents> MakeUniformBaseTable(Program& program);

// "Base table (ISO table A)": the table of the study's design, shown.
void BaseTableReport(Program& program);
// "Base table corrected for spiking" (split-level studies), shown.
void BaseTableCorrectedReport(Program& program);

// The spiking amount added to (or, with a negative amount, taken from) a
// value on the reported scale of a study with transformation `index`.
double AddSpike(int index, double value, double spiking);

} // namespace veltrio
