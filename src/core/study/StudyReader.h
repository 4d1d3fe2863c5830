#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrio {

class Program;

// Error numbers of the data-file reader. 22 and 23 refuse counts that the
// study cannot hold (no laboratories, more than three levels); 24 a split
// level whose NREPLICATES is not 2.
enum ReadError : int {
    reNone = 0,
    reNumber = 1,
    reLevelHeader = 2,
    reKeyword = 3,
    reLevelData = 4,
    reLabLines = 7,
    reFileHeader = 8,
    reQuoted = 9,
    reDesign = 10,
    reNLabs = 11,
    reNReplicates = 12,
    reNoOfLevels = 13,
    reSubstance = 14,
    reUnit = 15,
    reLevelId = 16,
    reReplicateRange = 17,
    reTestId = 18,
    reEndOfFile = 19,
    reSpiked = 20,
    reTooManyLabs = 21,
    reNoLabs = 22,
    reTooManyLevels = 23,
    reSplitReplicates = 24,
};

// Reads a study file into the program's current study. On success the study
// is loaded with its statistics; on any error the message is shown through the
// host and no study exists. Returns the error number (0 on success).
int ReadStudyFile(Program& program, const std::filesystem::path& path);
// The same, from bytes already in memory (`name` is used as the file name).
int ReadStudyText(Program& program, std::string_view bytes, const std::filesystem::path& name);

struct THeaderInfo {
    int NoOfLabs = -99;
    int NoOfLevels = -99;
    int NoOfReplicates = -99;
    std::string TestId;
    std::string Substance;
    int Error = 0;
};

// Parses only the file header (destroying the loaded study first). On an
// error the message is shown and the three numbers are -99.
THeaderInfo ReadHeaderOnly(Program& program, const std::filesystem::path& path,
                           std::size_t testIdLength = 255, std::size_t substanceLength = 255);

// The first laboratory whose code in level 1 equals `code` (cut to 4
// characters); -99 when none.
int FindLabByCode(const Program& program, std::string_view code);

inline constexpr const char* NominalNotOkCaption = "Nominal Value Not OK";
inline constexpr const char* NominalNotOkText =
    "This function is not applicable; an assigned value was not specified in the data file.  If "
    "the assigned value is unknown the average or the median may be used.  The figures can be "
    "found in \"Descriptive statistics\" under \"Preliminary evaluation\".";
inline constexpr const char* LessOneNominalText =
    "This function is not apllicable; There were less than two different assigned values "
    "specified.";

// True when every level has an assigned value; otherwise shows the dialog.
bool CheckNominalValues(Program& program, const std::string& caption);
// True when the levels carry at least two different assigned values.
bool CheckTwoNominalValues(Program& program, const std::string& caption);

} // namespace veltrio
