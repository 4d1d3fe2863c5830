#pragma once

#include <string>

namespace veltrio {

class Program;

// The loaded study and its statistics as readable text: the header, then per
// level the level statistics and every laboratory's codes, mark, results and
// cell statistics.
std::string StudyToText(const Program& program);

} // namespace veltrio
