#pragma once

#include <string>

namespace veltrio {

class Program;

// The loaded study and its computed figures as JSON.
std::string StudyToJson(const Program& program);

// `stats --evaluate`: runs the computations of "Execute interlaboratory
// study" (the outlier tests unless discarded, then the analysis of
// variance) and writes, per level, every laboratory's mark, CochranStat,
// GrubbsStat, NoOfGrubbsLabs and the precision figures Sr, SL, SR,
// r = 2.8·Sr and R = 2.8·SR (-99 where not computable), and MandelH and
// MandelK: Values (per laboratory in file order), ValueCount, Critical5,
// Critical1 and Marks, with the marks that the tests left.
std::string EvaluationToJson(Program& program);

} // namespace veltrio
