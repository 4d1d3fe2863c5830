#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/Error.h"

namespace veltrio {

class Program;

// The limits of one data file of a laboratory-report round. Limit 1 bounds
// "A" (accepted), limit 2 "A*" (accepted with a remark); beyond is "I".
// A percent limit 1 of at least 1 makes the percent limits apply; otherwise
// the absolute ones do when absolute limit 1 is above 0; otherwise no
// assessment is made.
struct TThresholds {
    std::string Alias;
    std::int32_t AccuPct1 = 0;
    std::int32_t AccuPct2 = 0;
    double AccuAbs1 = 0;
    double AccuAbs2 = 0;
    std::int32_t PrecPct1 = 0;
    std::int32_t PrecPct2 = 0;
    double PrecAbs1 = 0;
    double PrecAbs2 = 0;
    bool operator==(const TThresholds&) const = default;
};

// One entry of the report files: the data file's name (no folder) and its
// limits.
struct TReportFile {
    std::string Name;
    TThresholds Limits;
    bool operator==(const TReportFile&) const = default;
};

struct TLabName {
    std::string Code; // at most 10 characters, matched against RandCode
    std::string Name; // at most 255 characters
    bool operator==(const TLabName&) const = default;
};

// A report-texts file that cannot be read: it ends inside a value, holds
// an unexpected tag, a length or count beyond the bytes left, or a number
// that is not finite.
class ERepTextsRead : public EVeltrioError {
public:
    using EVeltrioError::EVeltrioError;
};

// The texts of the laboratory reports: the test's descriptive texts, the
// data files with their limits, the laboratory names, the legends of the
// assessment codes and the signature. Stored in a report-texts file (.rxt).
// Texts are UTF-8 in memory; the file holds code page 850.
class TRepTexts {
public:
    // Empty texts and lists, the default legends (from the program's
    // language file when one is given, otherwise the English ones).
    explicit TRepTexts(Program* program = nullptr);

    std::filesystem::path RepTextsFile;
    std::string TestName;
    std::string Topic;
    std::string SampleTypes;
    std::string Parameters;
    std::string Host;
    std::string SamplesShipped;
    std::string TestDate;
    std::string Deadline;
    std::string ReportDate;
    std::string TotalReportDate;
    std::string HomogeneityText;   // lines separated by CR LF
    std::string StabilityText;     // lines separated by CR LF
    std::string AssignedValueText; // lines separated by CR LF
    std::filesystem::path ParDir;
    bool UseLabNames = false;
    bool ShowLegend = false;
    std::vector<TReportFile> ReportFiles;
    std::vector<TLabName> LabNames;
    std::vector<std::string> Legends; // "A", "A*", "I"
    std::string Signature;

    // The fourteen strings, the files, the names and the signature emptied,
    // the default legends; the two switches keep their values.
    void ClearRepTexts();
    void DefaultLegends();
    // Three legends: missing ones are the defaults, further ones dropped.
    std::vector<std::string> ShownLegends() const;

    // Reads the values of a report-texts file. The file is read into a
    // fresh object and assigned only when it is read through: on a read
    // error (ERepTextsRead) nothing here changes. `ParDir` and
    // `RepTextsFile` keep their values (the caller sets them).
    void ReadRepTexts(std::string_view bytes);
    // The bytes of the file: all six parts, part 1 ending with ParDir.
    std::string WriteRepTexts() const;

    // Reads RepTextsFile (ERepTextsRead, or EVeltrioError when it cannot be
    // opened) and sets ParDir to its folder.
    void LoadFile(const std::filesystem::path& file);
    // Writes RepTextsFile through a temporary file beside it, renamed into
    // place. False with the reason in `error` when it cannot be written; the
    // old file is then as it was.
    bool SaveRepTexts(std::string& error) const;

    // (11, 52) + " " + code; with a name for the code:
    // "  " + name + "," + six blanks + that.
    std::string LabTitle(const std::string& code) const;

    // Equal in everything that reading a file gives (all but RepTextsFile
    // and ParDir).
    bool SameContent(const TRepTexts& other) const;
    // The name of the first text that code page 850 cannot hold (it would
    // reach the file with "?" in its place); empty when every text fits.
    std::string TextOutsideCodePage() const;

private:
    Program* m_program;
};

// The limits of a grid cell: every "." and "," is the decimal separator.
// False when the cell is not a number (an empty cell included).
bool ParseLimitCell(std::string_view cell, double& value);
// A percent limit from its cell, rounded to the nearest integer, ties to
// even. False when the cell is not a number or out of range.
bool ParsePercentCell(std::string_view cell, std::int32_t& value);

// The lines of a laboratory-names text file ("name;code" per line) as
// (code, name) pairs: each part loses one leading and one trailing double
// quote, a part that is a whole number is written as that integer (12.0 ->
// 12, 007 -> 7); a line without ";" is the code alone. At most `maxRows`.
std::vector<TLabName> ParseLabNamesText(std::string_view text, std::size_t maxRows = 199);

// The 80-bit extended numbers of the file, little-endian, decoded and
// encoded without long double. Decoding gives false for a NaN or infinity.
void EncodeExtended80(double value, unsigned char out[10]);
bool DecodeExtended80(const unsigned char in[10], double& value);

} // namespace veltrio
