#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "labs/PerformanceScores.h"

namespace veltrio {

class CliHost;
class Program;

inline constexpr int ExitOk = 0;
inline constexpr int ExitRefused = 1;
inline constexpr int ExitUsage = 2;

extern const char* const kUsage;

struct Options {
    std::string Command;
    std::vector<std::string> Args;
    std::vector<std::string> Procedures;
    std::set<std::string> Formats{"html", "rtf", "pdf", "txt", "svg", "png"};
    std::filesystem::path LanguageFile;
    std::filesystem::path SettingsFile;
    int Language = -1;
    // --auto-split-correction on|off: overrides the settings file.
    int AutoSplitCorrection = -1;
    // --discard-outlier-tests: the option "Discard outlier tests" for the run.
    bool DiscardOutlierTests = false;
    // --weight-relation best|0..4: the relation of the weight function
    // (-1: the proposed one).
    int WeightRelation = -1;
    // --lab CODE: the laboratory of the regression on a laboratory.
    std::string Lab;
    bool Json = false;
    // stats: evaluate the study first; exclude these laboratory codes.
    bool Evaluate = false;
    std::vector<std::string> Exclude;
    std::filesystem::path OutDir = "veltrio-out";
    bool OutDirGiven = false;
    // fast-feedback: the kind of residual, the range of laboratories (0: all),
    // the table file (empty: DIR/fast-feedback.tab) or none.
    std::string Residuals = "resistant";
    int FirstLab = 0;
    int LastLab = 0;
    std::filesystem::path TabFile;
    bool NoTab = false;
    // run: the method groups of the confidence ellipses (--method-group, at
    // most five) and how they are marked (--ellipse-display: 0 markers, 1
    // method numbers).
    std::vector<std::vector<std::string>> MethodGroups;
    int EllipseDisplay = 0;
    // --assigned and --sigma-pt: the choices of the performance scores.
    TScoreOptions Scores;
    // rxt --write FILE.json: the JSON of the report texts to write.
    std::filesystem::path WriteJson;
    // lab-reports: the report-texts file and the folder of its data files
    // (--par-dir; empty: the folder of the report-texts file). The range of
    // laboratories is FirstLab and LastLab, the output folder OutDir.
    std::filesystem::path RepTextsFile;
    std::filesystem::path ParDir;
};

std::filesystem::path ProgramDirectory(const char* argv0);
bool ParseArgs(int argc, char** argv, Options& o, std::string& error);
// Settings, language file and transformations for a command that reads a
// study; ExitOk or the exit status of the failure (already reported).
int SetUpProgram(const Options& o, Program& program, const char* argv0);
bool LoadStudy(const std::filesystem::path& file, Program& program, CliHost& host);
// The language files (*.TEX, in any case) in a folder, by name.
std::vector<std::string> LanguageFilesIn(const std::filesystem::path& folder);
// What standard error says when the language file cannot be used: the
// problem, which file was looked for and where, and which language files
// the program's folder has.
std::string LanguageFileReport(const std::string& problem, const std::filesystem::path& file,
                               const std::filesystem::path& programDir);
// Excludes the laboratories named by --exclude, as "Exclude a laboratory"
// does; false (with the message printed) for a code the study lacks.
bool ApplyExclusions(const Options& o, Program& program);
int Stats(const Options& o, Program& program, CliHost& host);

} // namespace veltrio
