#pragma once

#include <memory>

namespace veltrio {

class Program;
class TTavContents;
class TPreliminaryStats;

// The document of "Descriptive statistics" (computing the figures first
// when they are not current), framed but not shown.
std::unique_ptr<TTavContents> MakeDescriptiveReport(Program& program, TPreliminaryStats& stats);
// Builds the document and shows it in a new browser window.
void DescriptiveReport(Program& program, TPreliminaryStats& stats);

} // namespace veltrio
