#pragma once

#include <memory>

namespace veltrio {

class Program;
class TTavContents;

// The document of "Analysis of variance": per level the table of sums of
// squares, degrees of freedom, mean squares and F tests, then the variance
// components and the summary of the precision estimates. Reads the figures
// of the program's TANOVA, which must be calculated.
std::unique_ptr<TTavContents> MakeANOVAReport(Program& program);

// The menu command: calculates the analysis of variance afresh and shows
// its document.
void AnalysisOfVarianceReport(Program& program);

} // namespace veltrio
