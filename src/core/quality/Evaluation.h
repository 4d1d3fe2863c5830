#pragma once

namespace veltrio {

class Program;

// The computations of "Execute interlaboratory study" without documents:
// the Cochran and Grubbs tests (unless "Discard outlier tests" is on); in a
// split-level study the differences within the sample pairs and the tests
// once more (with the automatic spiking correction where it applies); then
// the analysis of variance of every level.
void EvaluateStudy(Program& program);

} // namespace veltrio
