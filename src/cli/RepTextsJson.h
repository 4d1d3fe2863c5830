#pragma once

#include <string>
#include <string_view>

namespace veltrio {

class TRepTexts;
struct Options;

// The report texts as JSON, keyed by the field names of the model:
// TestName ... AssignedValueText, ParDir, UseLabNames, ShowLegend,
// ReportFiles (Name, Alias and the eight limits), LabNames (Code, Name),
// Legends and Signature.
std::string RepTextsToJson(const TRepTexts& texts);

// Sets the fields of `texts` (a new model) from such JSON. A key that is
// missing keeps the field's value; an unknown key or a value of the wrong
// kind is refused with its position in `error`.
bool RepTextsFromJson(std::string_view json, TRepTexts& texts, std::string& error);

// veltrio-cli rxt FILE.rxt --json, and rxt --write FILE.json OUT.rxt.
int RepTextsCommand(const Options& o, const char* argv0);

} // namespace veltrio
