#include "study/Program.h"

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

} // namespace veltrio
