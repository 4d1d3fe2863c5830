#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace veltrio {

class Program;
class TQuickResponse;
class TRepTexts;

// The assessment of a deviation against a file's limits: "A" within limit 1,
// "A*" within limit 2, "I" beyond; "" when the file sets no limits, "-"
// when the limits that apply need a percentage that cannot be formed.
std::string LimitAssessment(double deviation, double percent, int pct1, int pct2, double abs1,
                            double abs2);

// A percentage of |reference|, rounded to the nearest integer (ties to even);
// -99 when the reference is missing or 0.
double RoundedPercent(double value, double reference);

// The laboratory reports of a proficiency-test round: the data files named
// by the report texts (those that read), checked as the fast feedback checks
// them; then one document per level and file (with its Youden chart where
// the design allows one), the overview of every result and, last, the
// reports of the laboratories FirstLab..LastLab of `round`.
//
// `askOptions` is asked once the files are known (the range of laboratories
// and "Save as File" of `round`; false ends the command); `askTabFile` when
// "Save as File" is on (an empty path writes no text file). The user's study
// stays the loaded one throughout. False when nothing was produced.
bool RunLabReports(Program& program, const TRepTexts& texts, TQuickResponse& round,
                   const std::function<bool(TQuickResponse&)>& askOptions,
                   const std::function<std::filesystem::path()>& askTabFile);

} // namespace veltrio
