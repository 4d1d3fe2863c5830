#pragma once

#include <string>
#include <vector>

#include "documents/Cell.h"

namespace veltrio {

class TTavBaseTable;

// Small helpers that fill table cells the way the preliminary reports do.

// A cell of text lines with the given alignment.
void SetTextCell(TTavCell& cell, const std::vector<std::string>& lines, TAlignment alignment);
// A number with decimals; -99 leaves the cell empty.
void SetNumberCell(TTavCell& cell, double value, int decimals, TAlignment alignment);
// Clears the rules of every cell of the table (body only).
void ClearRules(TTavBaseTable& table);

} // namespace veltrio
