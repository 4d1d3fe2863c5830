#include "preliminary/ReportCells.h"

#include "documents/BaseTable.h"

namespace veltrio {

void SetTextCell(TTavCell& cell, const std::vector<std::string>& lines, TAlignment alignment) {
    cell.Lines.clear();
    cell.AddLines(lines);
    cell.Kind = TCellKind::ckLines; // AddLines makes a formatted cell
    cell.Alignment = alignment;
}

void SetNumberCell(TTavCell& cell, double value, int decimals, TAlignment alignment) {
    cell.Kind = TCellKind::ckNumber;
    cell.Decimals = decimals;
    cell.SetValue(value);
    cell.Alignment = alignment;
}

void ClearRules(TTavBaseTable& table) {
    for (int r = 0; r < table.RowCount(); ++r) {
        for (int c = 0; c < table.ColCount(); ++c) {
            table.ReadCell(r, c)->Borders = 0;
        }
    }
}

} // namespace veltrio
