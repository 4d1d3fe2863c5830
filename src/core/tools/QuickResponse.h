#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veltrio {

class DataType;
class Program;
class TPreliminaryStats;
class TTavContents;

// The help context of the fast feedback forms and their dialogs.
inline constexpr int FastFeedbackHelpContext = 900;

inline constexpr const char* FilesVaryText =
    "The chosen files vary with respect to the number of laboratories, replicates, levels or "
    "identification of proficiency test.  Fast feedback cannot be executed.";

// One chosen data file of a round: the path with what it was when chosen
// (size and time of last change), and, during a run, the study read from it
// with its descriptive figures.
struct TFeedbackFile {
    std::filesystem::path Path;
    std::uintmax_t Size = 0;
    std::filesystem::file_time_type Time{};
    // `Substance` of the file's header.
    std::string Substance;
    std::unique_ptr<DataType> Study;
    std::unique_ptr<TPreliminaryStats> Stats;
    // The same figures of the stored values where they differ: in a spiked
    // sample without the spike added back (null when no level is spiked).
    std::unique_ptr<TPreliminaryStats> StoredStats;

    // The figures that residuals compare a stored value with.
    const TPreliminaryStats& FiguresOfStoredValues() const {
        return StoredStats ? *StoredStats : *Stats;
    }

    TFeedbackFile();
    TFeedbackFile(TFeedbackFile&&) noexcept;
    TFeedbackFile& operator=(TFeedbackFile&&) noexcept;
    ~TFeedbackFile();
};

// The fast feedback forms: several data files of one proficiency-test round
// (same laboratories, levels, replicates and test identification) give every
// laboratory one form with its results, the comparison value and spread of
// all laboratories, and a residual class per result.
//
// A run reads each file once; the user's study stays loaded throughout (the
// files are read while it is put aside) and is current again afterwards.
class TQuickResponse {
public:
    TQuickResponse();
    ~TQuickResponse();

    // Empties the list and sets the options to their initial state.
    void ClearFiles();
    // Appends a file and notes its size and time, so that a run sees when it
    // was changed or removed since. False (nothing added) when the file
    // cannot be found.
    bool AddFile(const std::filesystem::path& path);
    int FileCount() const { return static_cast<int>(FileNames.size()); }
    std::vector<TFeedbackFile> FileNames;

    int RefNoOfLabs = -99;
    int RefNoOfLevels = -99;
    int RefNoOfReplicates = -99;
    std::string RefTestId;

    bool ResistantResiduals = true;
    bool SaveAsFile = true;
    int FirstLab = 1;
    int LastLab = 0;

    // Reads every chosen file (once) and checks that they share the first
    // file's header and laboratories. On any refusal the message is shown
    // through the program's host and false returned; the studies read are
    // dropped again. The program's own study is untouched either way.
    bool CheckFiles(Program& program);
    // The descriptive figures of every file read by CheckFiles.
    void ComputeFileStats(Program& program);
    // The document of the forms of laboratories FirstLab..LastLab (index in
    // the first file); empty when the range is empty. Needs CheckFiles and
    // ComputeFileStats.
    std::unique_ptr<TTavContents> MakeForms(Program& program);
    // Writes the plain text of the document to `tabFile` (when not empty)
    // through a temporary file, shows the document and frees the per-file
    // figures. False when the text file could not be written (the reason
    // was shown); the document is shown all the same.
    bool FinishDocument(Program& program, std::unique_ptr<TTavContents> document,
                        const std::filesystem::path& tabFile);
    // The whole generation: checks, figures, forms, FinishDocument. False
    // when the files were refused (nothing shown) or the text file failed.
    bool Generate(Program& program, const std::filesystem::path& tabFile);
    // The same, with the text file asked for once the forms are made (an
    // empty path writes none); asked only when SaveAsFile is on.
    bool GenerateAsking(Program& program,
                        const std::function<std::filesystem::path()>& askTabFile);

    // The largest number of laboratories among the chosen files, from their
    // headers (-99 with no readable file).
    int LargestNoOfLabs(Program& program);

    // Whether a file can join the round, as the file selection checks it:
    // its header and then the whole file must read (the reader's message is
    // shown otherwise). The number of laboratories of the file, or -99.
    // The user's study stays loaded, and no transformation is asked about.
    static int ProbeFile(Program& program, const std::filesystem::path& path);

    // The laboratory index in level `level` of file `file` (0-based) that
    // has `code`; -99 when none.
    int LabInFile(int file, int level, const std::string& code) const;

private:
    bool ReadFiles(Program& program);
    bool CheckLaboratories(Program& program);
    void DropStudies();
};

// "Mon, YYYY" (month name in the output language 0..5) of the given year
// and month 1..12.
std::string DateText(int language, int year, int month);
// The same for today, or for the program's fixed date (tests).
std::string DateText(const Program& program);

} // namespace veltrio
