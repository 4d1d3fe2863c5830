#include "study/Study.h"

#include <cmath>
#include <stdexcept>

#include "base/TextUtil.h"
#include "numerics/Stat.h"

namespace veltrio {

std::string MarkTextOf(char mark) {
    switch (mark) {
    case MarkFileExcluded:
        return "U";
    case MarkUserExcluded:
        return "UL";
    case MarkCochranStraggler:
        return "C*";
    case MarkCochranOutlier:
        return "C**";
    case MarkGrubbsStraggler:
        return "G*";
    case MarkGrubbsOutlier:
        return "G**";
    default:
        return " ";
    }
}

TLevel::TLevel(int noOfLabs, int noOfReplicates, const DataType* study)
    : NoOfLabs(static_cast<std::uint16_t>(noOfLabs)),
      NoOfReplicates(static_cast<std::uint16_t>(noOfReplicates)), m_study(study),
      m_results(static_cast<std::size_t>(noOfLabs) * static_cast<std::size_t>(noOfReplicates)),
      m_regLabNo(static_cast<std::size_t>(noOfLabs)), m_randCode(static_cast<std::size_t>(noOfLabs)),
      m_methodCode(static_cast<std::size_t>(noOfLabs)),
      m_marks(static_cast<std::size_t>(noOfLabs), MarkNone) {}

std::size_t TLevel::LabIndex(int lab) const {
    if (lab < 1 || lab > NoOfLabs) {
        throw std::out_of_range("laboratory index " + IntText(lab) + " outside 1.." +
                                IntText(NoOfLabs));
    }
    return static_cast<std::size_t>(lab - 1);
}

std::size_t TLevel::ResultIndex(int lab, int rep) const {
    const std::size_t l = LabIndex(lab);
    if (rep < 1 || rep > NoOfReplicates) {
        throw std::out_of_range("replicate index " + IntText(rep) + " outside 1.." +
                                IntText(NoOfReplicates));
    }
    return l * NoOfReplicates + static_cast<std::size_t>(rep - 1);
}

void TLevel::SetResult(int lab, int rep, char flag, double value, int decimals) {
    m_results[ResultIndex(lab, rep)] = TResult{flag, value, static_cast<std::int8_t>(decimals)};
}

const TResult& TLevel::GetResult(int lab, int rep) const { return m_results[ResultIndex(lab, rep)]; }

void TLevel::SetRegLabNo(int lab, std::string_view code) {
    m_regLabNo[LabIndex(lab)].assign(Utf8LeftView(code, CodeLength));
}
const std::string& TLevel::GetRegLabNo(int lab) const { return m_regLabNo[LabIndex(lab)]; }
void TLevel::SetRandCode(int lab, std::string_view code) {
    m_randCode[LabIndex(lab)].assign(Utf8LeftView(code, CodeLength));
}
const std::string& TLevel::GetRandCode(int lab) const { return m_randCode[LabIndex(lab)]; }
void TLevel::SetMethodCode(int lab, std::string_view code) {
    m_methodCode[LabIndex(lab)].assign(Utf8LeftView(code, CodeLength));
}
const std::string& TLevel::GetMethodCode(int lab) const { return m_methodCode[LabIndex(lab)]; }
void TLevel::SetMark(int lab, char mark) { m_marks[LabIndex(lab)] = mark; }
char TLevel::GetMark(int lab) const { return m_marks[LabIndex(lab)]; }

bool TLevel::IsSplitLevel() const { return m_study && m_study->Design == dkSplitLevel; }

bool TLevel::LabValid(int lab) const {
    if (!IsIncludedMark(GetMark(lab))) {
        return false;
    }
    if (IsSplitLevel()) {
        return NoOfReplicates >= 2 && GetResult(lab, 1).Usable() && GetResult(lab, 2).Usable();
    }
    for (int r = 1; r <= NoOfReplicates; ++r) {
        if (GetResult(lab, r).Usable()) {
            return true;
        }
    }
    return false;
}

bool TLevel::FirstResultValid(int lab) const {
    return IsIncludedMark(GetMark(lab)) && GetResult(lab, 1).Usable();
}

int TLevel::NoOfValidLabs() const {
    int n = 0;
    for (int l = 1; l <= NoOfLabs; ++l) {
        if (LabValid(l)) {
            ++n;
        }
    }
    return n;
}

double TLevel::LabSD(int lab) const {
    double sum = 0.0;
    int n = 0;
    for (int r = 1; r <= NoOfReplicates; ++r) {
        const TResult& res = GetResult(lab, r);
        if (res.Value != MissingValue) {
            sum += res.Value;
            ++n;
        }
    }
    if (n < 2) {
        return 0.0;
    }
    const double mean = sum / n;
    TRootSumSquares rss;
    for (int r = 1; r <= NoOfReplicates; ++r) {
        const TResult& res = GetResult(lab, r);
        if (res.Value != MissingValue) {
            rss.Add(res.Value - mean);
        }
    }
    return rss.SampleSD(n);
}

DataType::DataType(DesignKind design, int noOfLevels, std::string_view testId,
                   std::string_view unit, std::string_view substance, int noOfReplicates,
                   int noOfLabs)
    : NoOfLabs(static_cast<std::uint16_t>(noOfLabs)),
      NoOfReplicates(static_cast<std::uint16_t>(noOfReplicates)), Design(design),
      Substance(substance), Unit(unit), TestId(testId), NoOfLevels(noOfLevels) {
    if (noOfLevels < 0 || noOfLevels > MaxLevels || noOfLabs < 0 || noOfLabs > MaxLabs ||
        noOfReplicates < 0 || noOfReplicates > MaxReplicates) {
        throw std::invalid_argument("study dimensions outside the limits of the program");
    }
    for (int i = 0; i < noOfLevels; ++i) {
        m_levels.push_back(std::make_unique<TLevel>(noOfLabs, noOfReplicates, this));
    }
}

DataType::~DataType() = default;

int DataType::CountMarks(char mark) const {
    int n = 0;
    for (const auto& level : m_levels) {
        for (int l = 1; l <= level->NoOfLabs; ++l) {
            if (level->GetMark(l) == mark) {
                ++n;
            }
        }
    }
    return n;
}

int DataType::NoOfCochranOutliers() const { return CountMarks(MarkCochranOutlier); }
int DataType::NoOfGrubbsOutliers() const { return CountMarks(MarkGrubbsOutlier); }

} // namespace veltrio
