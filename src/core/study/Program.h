#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/Host.h"
#include "settings/Settings.h"
#include "study/DescriptiveStatistics.h"
#include "study/Study.h"
#include "study/StudyTypes.h"
#include "textlib/TextLibrary.h"

namespace veltrio {

class TPreliminaryStats;
class TSplitControl;
struct TGrubbsCounts;
class TANOVA;
class TWeights;
struct TScoreOptions;

// What made the figures derived from the study void.
enum class TStateChange {
    // An outlier test set its marks; the figures of the tests that follow
    // from them are set again by the test itself.
    OutlierTest,
    // The user excluded laboratories or the marks were reset.
    Marks,
    // Another study was loaded, or the loaded one was transformed or saved
    // from the editor.
    Study,
};

// Figures that an evaluation object keeps between commands. It registers
// with the program and clears what the change made void.
class TDerivedState {
public:
    virtual ~TDerivedState() = default;
    virtual void StateChanged(TStateChange change) = 0;
};

// The program-wide objects of one run: the loaded study with its statistics,
// the state of the outlier tests, the user's exclusions, the settings and the
// text library. Procedures reach them through this one object.
class Program {
public:
    explicit Program(Host& host);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Host& host() const { return *m_host; }
    void SetHost(Host& host) { m_host = &host; }

    // The text of (chapter, item) from the open language file.
    std::string LibText(int chapter, int item) { return TextLib.LibText(chapter, item); }

    // Destroys the loaded study and its statistics.
    void DestroyStudy();
    // A new statistics instance for the study, with both runs.
    void RecomputeStatistics();

    // The marks of the loaded study changed (`change` says by what): the
    // level statistics follow them, the descriptive figures and both test
    // flags are cleared, every registered object hears of it and the host
    // re-evaluates its menus. An outlier test sets its own flag afterwards.
    void MarksChanged(TStateChange change = TStateChange::Marks);
    // The loaded study was replaced (or no study is left): its statistics
    // are made anew and everything derived from the old one is cleared.
    void StudyReplaced();
    // Registers an object whose figures follow the study. The program does
    // not own it: an object that is gone is simply forgotten.
    void Register(const std::shared_ptr<TDerivedState>& state);
    // The registered objects, taken away and given back while a tool reads
    // other studies with the user's study put aside: they keep the figures
    // of the user's study.
    std::vector<std::weak_ptr<TDerivedState>> TakeRegistrations() { return std::move(m_derived); }
    void GiveBackRegistrations(std::vector<std::weak_ptr<TDerivedState>> registrations) {
        m_derived = std::move(registrations);
    }

    TSettings Settings;
    TTextLibrary TextLib;

    std::unique_ptr<DataType> CurrentStudy;
    bool StudyLoaded = false;
    std::unique_ptr<TDescriptiveStatistics> Stats;
    TOutliers Outliers;
    TExcludedRandCodes ExcludedCodes;
    TLabSet ExcludedLabs;
    // The figures of "Descriptive statistics"; made by the first procedure
    // that needs them.
    std::unique_ptr<TPreliminaryStats> Prelim;
    // The long-lived evaluation objects of the procedures (split-level
    // control, the laboratory counts of the last Grubbs test, the analysis of
    // variance). Made by the first procedure that needs them and dropped with
    // the study, so that a newly opened study starts from their initial state.
    // Shared pointers because the study layer does not know their types.
    std::shared_ptr<TSplitControl> SplitControl;
    std::shared_ptr<TGrubbsCounts> GrubbsCounts;
    std::shared_ptr<TANOVA> ANOVA;
    // The weight function of the regression analyses.
    std::shared_ptr<TWeights> Weights;
    // How "Determination of weight function" lets the user look at the
    // relations and choose one (the desktop program's dialog, veltrio-cli's
    // --weight-relation); true for OK. Without it the proposed relation holds.
    std::function<bool(Program&, TWeights&)> ChooseWeightRelation;
    // The laboratory of "Regression analysis on a laboratory": its index, or
    // -99 when none was chosen. Without it none is.
    std::function<int(Program&)> ChooseRegressionLab;
    // The choices of the performance scores, kept for the session (null:
    // the defaults).
    std::shared_ptr<TScoreOptions> ScoreOptions;

    // Suppress the progress display while a tool processes several files.
    bool SilentMode = false;
    bool QuietTests = false;

    // The folder of the programs and their language files.
    std::filesystem::path ProgramDir;
    // The study file last opened; its encoding is kept for writing it back.
    std::filesystem::path CurrentFile;
    bool CurrentFileIsUtf8 = false;

    // The help context of the next document window (set by FrameDocument).
    int NextHelpContext = 0;
    // The date of page footers; empty for today's date. Tests and golden
    // files fix it.
    std::string FixedDate;

    // Applies a transformation (1..4) to the loaded study. Installed by the
    // transformation unit; without it a transformation named in a data file
    // is kept on the study but not applied.
    std::function<void(Program&, int)> ApplyTransformation;

private:
    void Notify(TStateChange change);

    Host* m_host;
    std::vector<std::weak_ptr<TDerivedState>> m_derived;
};

} // namespace veltrio
