#pragma once

namespace veltrio {

class Program;

// The computations of "Execute interlaboratory study" without documents:
// the Cochran and Grubbs tests (unless "Discard outlier tests" is on), then
// the analysis of variance of every level.
void EvaluateStudy(Program& program);

} // namespace veltrio
