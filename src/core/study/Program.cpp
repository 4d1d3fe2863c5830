#include "study/Program.h"

#include <algorithm>

#include "study/PreliminaryStats.h"

namespace veltrio {

Program::Program(Host& host) : m_host(&host) {}
Program::~Program() = default;

void Program::DestroyStudy() {
    Stats.reset();
    CurrentStudy.reset();
    StudyLoaded = false;
    SplitControl.reset();
    GrubbsCounts.reset();
    ANOVA.reset();
    Weights.reset();
    if (Prelim) {
        Prelim->StateChanged(TStateChange::Study);
    }
}

void Program::RecomputeStatistics() {
    if (!CurrentStudy) {
        Stats.reset();
        return;
    }
    Stats =
        std::make_unique<TDescriptiveStatistics>(CurrentStudy->NoOfLevels, CurrentStudy->NoOfLabs);
    Stats->ComputeCells(*CurrentStudy, SilentMode ? nullptr : &host());
    Stats->ComputeLevels(*CurrentStudy);
}

void Program::Register(const std::shared_ptr<TDerivedState>& state) {
    if (state) {
        m_derived.push_back(state);
    }
}

void Program::Notify(TStateChange change) {
    if (Prelim) {
        Prelim->StateChanged(change);
    }
    Outliers.Clear();
    // Objects dropped with an old study are forgotten here.
    m_derived.erase(std::remove_if(m_derived.begin(), m_derived.end(),
                                   [](const auto& w) { return w.expired(); }),
                    m_derived.end());
    // A copy: an object may register another one while it clears itself.
    const auto listeners = m_derived;
    for (const auto& weak : listeners) {
        if (const auto state = weak.lock()) {
            state->StateChanged(change);
        }
    }
    host().StudyStateChanged();
}

void Program::MarksChanged(TStateChange change) {
    if (CurrentStudy) {
        if (Stats) {
            Stats->ComputeLevels(*CurrentStudy);
        } else {
            RecomputeStatistics();
        }
    }
    Notify(change);
}

void Program::StudyReplaced() {
    RecomputeStatistics();
    Notify(TStateChange::Study);
}

} // namespace veltrio
