#include "commands/Commands.h"

#include <memory>

#include "study/DescriptiveReport.h"
#include "study/PreliminaryStats.h"
#include "study/Program.h"

namespace veltrio {

namespace {

bool StudyLoaded(const Program& p) { return p.StudyLoaded && p.CurrentStudy; }

TPreliminaryStats& PrelimOf(Program& p) {
    if (!p.Prelim) {
        p.Prelim = std::make_unique<TPreliminaryStats>();
    }
    return *p.Prelim;
}

std::vector<TProcedure> MakeProcedures() {
    return {
        {"descriptive", "Descriptive statistics", StudyLoaded,
         [](Program& p) { DescriptiveReport(p, PrelimOf(p)); }},
    };
}

} // namespace

const std::vector<TProcedure>& Procedures() {
    static const std::vector<TProcedure> list = MakeProcedures();
    return list;
}

const TProcedure* FindProcedure(std::string_view name) {
    for (const auto& p : Procedures()) {
        if (p.Name == name) {
            return &p;
        }
    }
    return nullptr;
}

} // namespace veltrio
