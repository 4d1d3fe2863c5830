#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/Graphics.h"

namespace veltrio {

// How wide a text is in a font, in centimetres on the screen. The program
// sets the measure of its drawing surface; without one an estimate of half
// an em a character is used.
using TTextWidthCm = std::function<double(const TFont&, std::string_view)>;
void SetReportTextMeasure(TTextWidthCm measure);
double ReportTextWidthCm(const TFont& font, std::string_view text);

// The lines of a memo broken to `widthCm` in `font`. Empty lines separate
// paragraphs (one empty line follows each such paragraph); the lines of a
// paragraph are joined with single blanks and broken at the last blank
// before the width; a word wider than the line is broken at the width.
std::vector<std::string> WrapLines(const std::string& text, const TFont& font, double widthCm);

} // namespace veltrio
