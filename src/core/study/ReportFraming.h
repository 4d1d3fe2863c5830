#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "documents/Graphics.h"

namespace veltrio {

class Program;
class TTavContents;
class TTavBaseTable;
class TTavTable;

// Finishes a document as every procedure does: fonts, page numbers "n of m",
// the page footer (study file and date), the print title, and the help
// context of the window that will show it.
void FrameDocument(Program& program, TTavContents& document, int helpContext);
// The note that the outlier tests were switched off, in bold italic.
void AddDiscardNote(Program& program, TTavContents& document);

// A text of `width` characters with the number's decimal point on column
// `column` (1-based); -99 gives "-" on that column. A number too long for
// the field makes the text longer rather than lose a digit or its sign.
std::string FormatNumber(int width, int column, int decimals, double value);
std::string PadLeft(std::string_view text, std::size_t width);
std::string UpperCaseText(std::string_view text);
// Rules around a block of cells: only the block's outer edges.
void TableBox(TTavBaseTable& table, int firstRow, int firstCol, int lastRow, int lastCol);
// Half the LineWidth setting, for the table and its head.
void TableLineWidth(const Program& program, TTavTable& table);
inline double MinOf(double a, double b) { return a < b ? a : b; }
inline double MaxOf(double a, double b) { return a > b ? a : b; }
bool FileCanBeOpened(const std::filesystem::path& path);

// Hands a framed document to the host for a new browser window, with the
// help context that FrameDocument set.
// The output font of the settings at `size` points.
TFont OutputFont(const Program& program, int size, bool bold = false, bool italic = false);

void ShowDocument(Program& program, std::unique_ptr<TTavContents> document,
                  const std::string& caption);

// The date printed in page footers: the clock, unless fixed (tests and
// golden files fix it).
std::string ShortDateText(const Program& program);

} // namespace veltrio
