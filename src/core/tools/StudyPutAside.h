#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "base/ScopeGuard.h"
#include "study/DescriptiveStatistics.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"
#include "study/Study.h"

namespace veltrio {

// Puts the user's study with everything that follows it aside for the
// lifetime of the guard, so that other files can be read into the program,
// and gives it back on every exit.
class TStudyPutAside {
public:
    explicit TStudyPutAside(Program& p)
        : m_p(p), m_study(std::move(p.CurrentStudy)), m_stats(std::move(p.Stats)),
          m_prelim(std::move(p.Prelim)), m_split(std::move(p.SplitControl)),
          m_grubbs(std::move(p.GrubbsCounts)), m_anova(std::move(p.ANOVA)),
          m_registrations(p.TakeRegistrations()), m_loaded(p.StudyLoaded, false),
          m_outliers(p.Outliers), m_codes(p.ExcludedCodes), m_labs(p.ExcludedLabs),
          m_file(p.CurrentFile), m_utf8(p.CurrentFileIsUtf8), m_help(p.NextHelpContext) {}
    ~TStudyPutAside() {
        m_p.DestroyStudy();
        m_p.CurrentStudy = std::move(m_study);
        m_p.Stats = std::move(m_stats);
        m_p.Prelim = std::move(m_prelim);
        m_p.SplitControl = std::move(m_split);
        m_p.GrubbsCounts = std::move(m_grubbs);
        m_p.ANOVA = std::move(m_anova);
        m_p.GiveBackRegistrations(std::move(m_registrations));
        // The saved values below are given back by their own guards, after
        // this body; the menus re-evaluate when the host is told.
        m_tell.emplace(m_p);
    }
    TStudyPutAside(const TStudyPutAside&) = delete;
    TStudyPutAside& operator=(const TStudyPutAside&) = delete;

private:
    struct TTellHost {
        explicit TTellHost(Program& p) : m_p(p) {}
        ~TTellHost() { m_p.host().StudyStateChanged(); }
        Program& m_p;
    };
    Program& m_p;
    // Declared first, destroyed last: after every saved value is back.
    std::optional<TTellHost> m_tell;
    std::unique_ptr<DataType> m_study;
    std::unique_ptr<TDescriptiveStatistics> m_stats;
    std::unique_ptr<TPreliminaryStats> m_prelim;
    std::shared_ptr<TSplitControl> m_split;
    std::shared_ptr<TGrubbsCounts> m_grubbs;
    std::shared_ptr<TANOVA> m_anova;
    std::vector<std::weak_ptr<TDerivedState>> m_registrations;
    TSavedValue<bool> m_loaded;
    TSavedValue<TOutliers> m_outliers;
    TSavedValue<TExcludedRandCodes> m_codes;
    TSavedValue<TLabSet> m_labs;
    TSavedValue<std::filesystem::path> m_file;
    TSavedValue<bool> m_utf8;
    TSavedValue<int> m_help;
};

} // namespace veltrio
