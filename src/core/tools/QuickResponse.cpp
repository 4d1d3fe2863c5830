#include "tools/QuickResponse.h"

#include <algorithm>
#include <ctime>
#include <system_error>

#include "base/AtomicFile.h"
#include "base/ScopeGuard.h"
#include "base/TextUtil.h"
#include "documents/Contents.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"
#include "study/ReportFraming.h"
#include "study/StudyReader.h"
#include "tools/StudyPutAside.h"

namespace fs = std::filesystem;

namespace veltrio {

TFeedbackFile::TFeedbackFile() = default;
TFeedbackFile::TFeedbackFile(TFeedbackFile&&) noexcept = default;
TFeedbackFile& TFeedbackFile::operator=(TFeedbackFile&&) noexcept = default;
TFeedbackFile::~TFeedbackFile() = default;

namespace {

const std::string kCannotExecute = "  Fast feedback cannot be executed.";

std::string NameOf(const fs::path& p) {
    return p.filename().string();
}

// The size and time of a file; false when it is gone or not a file.
bool Identity(const fs::path& path, std::uintmax_t& size, fs::file_time_type& time) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec) || ec) {
        return false;
    }
    size = fs::file_size(path, ec);
    if (ec) {
        return false;
    }
    time = fs::last_write_time(path, ec);
    return !ec;
}

std::string CodeKey(const std::string& code) {
    return UpperCode(Utf8Left(code, 4));
}

} // namespace

TQuickResponse::TQuickResponse() = default;
TQuickResponse::~TQuickResponse() = default;

void TQuickResponse::ClearFiles() {
    FileNames.clear();
    RefNoOfLabs = RefNoOfLevels = RefNoOfReplicates = -99;
    RefTestId.clear();
    ResistantResiduals = true;
    SaveAsFile = true;
    FirstLab = 1;
    LastLab = 0;
}

bool TQuickResponse::AddFile(const fs::path& path) {
    TFeedbackFile f;
    f.Path = path;
    if (!Identity(path, f.Size, f.Time)) {
        return false;
    }
    FileNames.push_back(std::move(f));
    return true;
}

void TQuickResponse::DropStudies() {
    for (auto& f : FileNames) {
        f.Study.reset();
        f.Stats.reset();
        f.StoredStats.reset();
    }
}

int TQuickResponse::LargestNoOfLabs(Program& program) {
    TStudyPutAside aside(program);
    TSavedValue silent(program.SilentMode, true);
    int largest = -99;
    for (const auto& f : FileNames) {
        largest = std::max(largest, ReadHeaderOnly(program, f.Path).NoOfLabs);
    }
    return largest;
}

int TQuickResponse::ProbeFile(Program& program, const fs::path& path) {
    TStudyPutAside aside(program);
    TSavedValue silent(program.SilentMode, true);
    // A transformation that the file names is decided when the round runs.
    TSavedValue noQuestion(program.Settings.ConfirmTrans, false);
    TSavedValue noTransformation(program.ApplyTransformation,
                                  decltype(program.ApplyTransformation){});
    const THeaderInfo header = ReadHeaderOnly(program, path);
    if (header.Error != 0 || header.NoOfLabs <= 0) {
        return -99;
    }
    if (ReadStudyFile(program, path) != 0 || !program.StudyLoaded || !program.CurrentStudy) {
        return -99;
    }
    return program.CurrentStudy->NoOfLabs;
}

bool TQuickResponse::ReadFiles(Program& program) {
    for (auto& f : FileNames) {
        std::uintmax_t size = 0;
        fs::file_time_type time{};
        if (!Identity(f.Path, size, time)) {
            program.host().ShowMessage("The file " + f.Path.string() +
                                       " is no longer there: it was moved or deleted after it "
                                       "was chosen." +
                                       kCannotExecute);
            return false;
        }
        std::string bytes, why;
        if (size != f.Size || time != f.Time || !ReadWholeFile(f.Path, bytes, &why) ||
            bytes.size() != f.Size) {
            program.host().ShowMessage(
                why.empty()
                    ? "The file " + f.Path.string() +
                          " was changed after it was chosen; choose it again." + kCannotExecute
                    : "The file " + f.Path.string() + " cannot be read: " + why + "." +
                          kCannotExecute);
            return false;
        }
        // The reader shows its own message, and asks once whether a
        // transformation that the file names is applied.
        if (ReadStudyText(program, bytes, f.Path) != 0 || !program.StudyLoaded) {
            return false;
        }
        f.Study = std::move(program.CurrentStudy);
        f.Substance = f.Study->Substance;
        program.DestroyStudy();
    }
    return true;
}

bool TQuickResponse::CheckLaboratories(Program& program) {
    const DataType& ref = *FileNames.front().Study;
    for (std::size_t f = 0; f < FileNames.size(); ++f) {
        const DataType& s = *FileNames[f].Study;
        for (int lv = 1; lv <= s.NoOfLevels; ++lv) {
            for (int lab = 1; lab <= ref.NoOfLabs; ++lab) {
                const std::string& code = ref.Level(1).GetRandCode(lab);
                if (LabInFile(static_cast<int>(f), lv, code) == -99) {
                    program.host().ShowMessage(
                        "Laboratory " + code + " of " + NameOf(FileNames.front().Path) +
                        " is missing in level " + s.Level(lv).LevelName + " of " +
                        NameOf(FileNames[f].Path) + "." + kCannotExecute);
                    return false;
                }
            }
        }
    }
    return true;
}

int TQuickResponse::LabInFile(int file, int level, const std::string& code) const {
    const DataType& s = *FileNames.at(static_cast<std::size_t>(file)).Study;
    const TLevel& lv = s.Level(level);
    const std::string key = CodeKey(code);
    for (int lab = 1; lab <= s.NoOfLabs; ++lab) {
        if (CodeKey(lv.GetRandCode(lab)) == key) {
            return lab;
        }
    }
    return -99;
}

bool TQuickResponse::CheckFiles(Program& program) {
    if (FileNames.empty()) {
        return false;
    }
    bool ok = false;
    {
        TStudyPutAside aside(program);
        TSavedValue silent(program.SilentMode, true);
        ok = ReadFiles(program);
    }
    if (!ok) {
        DropStudies();
        return false;
    }
    const DataType& ref = *FileNames.front().Study;
    RefNoOfLabs = ref.NoOfLabs;
    RefNoOfLevels = ref.NoOfLevels;
    RefNoOfReplicates = ref.NoOfReplicates;
    RefTestId = ref.TestId;
    for (const auto& f : FileNames) {
        const DataType& s = *f.Study;
        if (s.NoOfLabs != RefNoOfLabs || s.NoOfLevels != RefNoOfLevels ||
            s.NoOfReplicates != RefNoOfReplicates || UpperCode(s.TestId) != UpperCode(RefTestId)) {
            program.host().ShowMessage(FilesVaryText);
            DropStudies();
            return false;
        }
    }
    if (!CheckLaboratories(program)) {
        DropStudies();
        return false;
    }
    return true;
}

void TQuickResponse::ComputeFileStats(Program& program) {
    TStudyPutAside aside(program);
    TSavedValue silent(program.SilentMode, true);
    for (auto& f : FileNames) {
        if (!f.Study) {
            continue;
        }
        program.CurrentStudy = std::move(f.Study);
        // Give the study back to the file also when the figures fail.
        TScopeExit giveBack([&] { f.Study = std::move(program.CurrentStudy); });
        f.Stats = std::make_unique<TPreliminaryStats>();
        f.Stats->ResetDescriptive();
        f.Stats->ComputeDescriptive(program);
        DataType& study = *program.CurrentStudy;
        if (study.Design != dkSplitLevel) {
            continue;
        }
        // The figures of the stored values: the spike left where the reader
        // took it off, rather than added and taken off again.
        std::vector<std::unique_ptr<TSavedValue<double>>> unspiked;
        for (int lv = 1; lv <= study.NoOfLevels; ++lv) {
            if (study.Level(lv).Spiking != MissingValue) {
                unspiked.push_back(
                    std::make_unique<TSavedValue<double>>(study.Level(lv).Spiking, MissingValue));
            }
        }
        if (!unspiked.empty()) {
            f.StoredStats = std::make_unique<TPreliminaryStats>();
            f.StoredStats->ComputeDescriptive(program);
        }
    }
}

bool TQuickResponse::FinishDocument(Program& program, std::unique_ptr<TTavContents> document,
                                    const fs::path& tabFile) {
    bool written = true;
    if (!tabFile.empty()) {
        std::string text;
        for (const auto& line : document->AsStrings()) {
            text += line;
            text += '\n';
        }
        std::string why;
        if (!WriteFileAtomically(tabFile, text, &why)) {
            program.host().ShowMessage("The forms could not be saved as " + tabFile.string() +
                                       ": " + why + ".");
            written = false;
        }
    }
    program.NextHelpContext = FastFeedbackHelpContext;
    ShowDocument(program, std::move(document), program.LibText(4, 12));
    DropStudies();
    return written;
}

bool TQuickResponse::Generate(Program& program, const fs::path& tabFile) {
    return GenerateAsking(program, [&tabFile] { return tabFile; });
}

bool TQuickResponse::GenerateAsking(Program& program,
                                    const std::function<fs::path()>& askTabFile) {
    TSavedValue silent(program.SilentMode, true);
    // The per-file studies and figures are freed on every path.
    TScopeExit drop([this] { DropStudies(); });
    if (!CheckFiles(program)) {
        return false;
    }
    ComputeFileStats(program);
    auto document = MakeForms(program);
    const fs::path tabFile = SaveAsFile && askTabFile ? askTabFile() : fs::path();
    return FinishDocument(program, std::move(document), tabFile);
}

std::string DateText(int language, int year, int month) {
    static const char* const kMonths[6][12] = {
        {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
        {"Jan", "Feb", "Mar", "Apr", "Maj", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dec"},
        {"Jan", "Feb", "M\u00e4r", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"},
        {"janv.", "f\u00e9vr.", "mars", "avr.", "mai", "juin", "juil.", "ao\u00fbt", "sept.",
         "oct.", "nov.", "d\u00e9c."},
        {"ene.", "feb.", "mar.", "abr.", "may.", "jun.", "jul.", "ago.", "sept.", "oct.", "nov.",
         "dic."},
        {"jan.", "feb.", "mar.", "apr.", "m\u00e1j", "j\u00fan", "j\u00fal", "aug.", "sep.",
         "okt.", "nov.", "dec."},
    };
    month = std::clamp(month, 1, 12);
    std::string name;
    if (language >= 0 && language <= 5) {
        name = kMonths[language][month - 1];
    } else {
        name = (month < 10 ? "0" : "") + std::to_string(month);
    }
    return name + ", " + std::to_string(year);
}

std::string DateText(const Program& program) {
    int year = 0, month = 0;
    const std::string& fixed = program.FixedDate;
    // A fixed date reads YYYY-MM-DD.
    if (fixed.size() >= 7 && fixed[4] == '-') {
        year = std::atoi(fixed.substr(0, 4).c_str());
        month = std::atoi(fixed.substr(5, 2).c_str());
    } else {
        const std::time_t now = std::time(nullptr);
        std::tm tm{};
        localtime_r(&now, &tm);
        year = tm.tm_year + 1900;
        month = tm.tm_mon + 1;
    }
    return DateText(program.Settings.OutputLanguage, year, month);
}

} // namespace veltrio
