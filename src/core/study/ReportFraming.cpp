#include "study/ReportFraming.h"

#include <charconv>
#include <chrono>
#include <ctime>
#include <fstream>

#include "base/Missing.h"
#include "documents/BaseTable.h"
#include "documents/Cell.h"
#include "documents/Contents.h"
#include "documents/Table.h"
#include "study/Program.h"

namespace veltrio {

std::string ShortDateText(const Program& program) {
    if (!program.FixedDate.empty()) {
        return program.FixedDate;
    }
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#if defined(_WIN32)
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm);
    return buf;
}

void FrameDocument(Program& program, TTavContents& document, int helpContext) {
    TFont font;
    font.Name = program.Settings.OutputFontName;
    font.Size = 10;
    document.PageHeaderFont = font;
    document.PageFooterFont = font;
    document.DefaultFont = font;
    TFont small = font;
    small.Size = 6;
    document.PageNumberFont = small;
    document.PageNumbers = true;
    document.PageNumberFormat = TPageNumberFormat::pnfNrAfAntal;
    document.PageFooter = {program.CurrentFile.string(), ShortDateText(program)};
    document.PrintTitle = "VELTRIO";
    program.NextHelpContext = helpContext;
}

TFont OutputFont(const Program& program, int size, bool bold, bool italic) {
    TFont font;
    font.Name = program.Settings.OutputFontName;
    font.Size = size;
    font.Bold = bold;
    font.Italic = italic;
    return font;
}

void ShowDocument(Program& program, std::unique_ptr<TTavContents> document,
                  const std::string& caption) {
    program.host().ShowDocument(std::shared_ptr<TTavContents>(std::move(document)), caption,
                                program.NextHelpContext);
}

void AddDiscardNote(Program& program, TTavContents& document) {
    TFont font;
    font.Name = program.Settings.OutputFontName;
    font.Size = 10;
    font.Bold = true;
    font.Italic = true;
    document.SetFont(font);
    document.AddText(program.LibText(1, 93));
    font.Bold = false;
    font.Italic = false;
    document.SetFont(font);
}

std::string FormatNumber(int width, int column, int decimals, double value) {
    width = std::max(width, 0);
    std::string out(static_cast<std::size_t>(width), ' ');
    if (value == MissingValue) {
        if (column >= 1 && column <= width) {
            out[static_cast<std::size_t>(column - 1)] = '-';
        }
        return out;
    }
    char buf[400];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, std::max(decimals, 0));
    std::string s(buf, res.ec == std::errc() ? res.ptr : buf);
    if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) {
        s.erase(0, 1); // no "-0.00"
    }
    const std::size_t point = s.find('.');
    // Column of the first character.
    int first = point != std::string::npos ? column - static_cast<int>(point)
                                           : column - static_cast<int>(s.size());
    // A number that does not fit widens the field: a sign or a digit is
    // never dropped, at the cost of the column alignment of this one value.
    if (first < 1) {
        out.insert(0, static_cast<std::size_t>(1 - first), ' ');
        first = 1;
    }
    const std::size_t end = static_cast<std::size_t>(first - 1) + s.size();
    if (end > out.size()) {
        out.resize(end, ' ');
    }
    out.replace(static_cast<std::size_t>(first - 1), s.size(), s);
    return out;
}

std::string PadLeft(std::string_view text, std::size_t width) {
    return text.size() >= width ? std::string(text)
                                : std::string(width - text.size(), ' ') + std::string(text);
}

std::string UpperCaseText(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

void TableBox(TTavBaseTable& table, int firstRow, int firstCol, int lastRow, int lastCol) {
    for (int r = firstRow; r <= lastRow; ++r) {
        for (int c = firstCol; c <= lastCol; ++c) {
            TTavCell* cell = table.ReadCell(r, c);
            if (!cell) {
                continue;
            }
            std::uint8_t b = 0;
            if (c == firstCol) {
                b |= bdLeft;
            }
            if (c == lastCol) {
                b |= bdRight;
            }
            if (r == firstRow) {
                b |= bdTop;
            }
            if (r == lastRow) {
                b |= bdBottom;
            }
            cell->Borders = b;
        }
    }
}

void TableLineWidth(const Program& program, TTavTable& table) {
    const double mm = program.Settings.LineWidth / 2.0;
    table.SetLineWidthMm(mm);
    table.Head().SetLineWidthMm(mm);
}

bool FileCanBeOpened(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    return in.is_open();
}

} // namespace veltrio
