#include "quality/Evaluation.h"

#include "preliminary/Cochran.h"
#include "preliminary/Grubbs.h"
#include "quality/ANOVA.h"
#include "study/Program.h"

namespace veltrio {

void EvaluateStudy(Program& program) {
    if (!program.CurrentStudy) {
        return;
    }
    if (!program.Settings.DiscardOutlierTests) {
        CochranTest(program);
        GrubbsTest(program);
    }
    ANOVAOf(program).Calculate(program);
}

} // namespace veltrio
