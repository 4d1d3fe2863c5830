#pragma once

#include <string>

namespace veltrio {

class Program;

// The loaded study and its computed figures as JSON.
std::string StudyToJson(const Program& program);

} // namespace veltrio
