#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Missing.h"
#include "study/StudyTypes.h"

namespace veltrio {

enum DesignKind : std::uint8_t { dkNone = 0, dkSplitLevel = 1, dkUniformLevel = 2 };

// Marks of a laboratory in a level.
inline constexpr char MarkNone = ' ';
inline constexpr char MarkFileExcluded = 'U';
inline constexpr char MarkUserExcluded = 'L';
inline constexpr char MarkCochranStraggler = 'c';
inline constexpr char MarkCochranOutlier = 'C';
inline constexpr char MarkGrubbsStraggler = 'g';
inline constexpr char MarkGrubbsOutlier = 'G';

// ' ', 'c' and 'g' keep a laboratory in the level statistics.
inline bool IsIncludedMark(char mark) {
    return mark == MarkNone || mark == MarkCochranStraggler || mark == MarkGrubbsStraggler;
}

// The standard display text of a mark.
std::string MarkTextOf(char mark);

struct TResult {
    char Flag = ' '; // ' ' or '<' (below a limit)
    double Value = MissingValue;
    std::int8_t Decimals = 0;

    // A usable result has a value and is not a "less than".
    bool Usable() const { return Value != MissingValue && Flag != '<'; }
};

class DataType;

// One level of a study: every laboratory's replicate results, codes and mark.
// Laboratory and replicate indices are 1-based.
class TLevel {
public:
    TLevel(int noOfLabs, int noOfReplicates, const DataType* study = nullptr);

    std::string LevelName;
    std::array<std::string, 4> SampleIds; // [0..3] hold samples 1..4
    std::uint16_t NoOfLabs = 0;
    std::uint16_t NoOfReplicates = 0;
    std::int8_t Decimals = 2;
    std::int8_t MaxDecimals = 0;
    double NominalValue = MissingValue;
    std::uint8_t NominalDecimals = 2;
    double Spiking = MissingValue;
    std::uint8_t SpikingDecimals = 2;
    std::uint8_t SpikedSample = 2;
    bool AllLabsIncomplete = true;

    // 1-based sample id.
    const std::string& SampleId(int i) const { return SampleIds.at(static_cast<std::size_t>(i - 1)); }

    void SetResult(int lab, int rep, char flag, double value, int decimals);
    const TResult& GetResult(int lab, int rep) const;
    // The NoOfReplicates results of a laboratory, in replicate order.
    std::span<const TResult> Results(int lab) const {
        return {m_results.data() + LabIndex(lab) * NoOfReplicates, NoOfReplicates};
    }

    void SetRegLabNo(int lab, std::string_view code);
    const std::string& GetRegLabNo(int lab) const;
    void SetRandCode(int lab, std::string_view code);
    const std::string& GetRandCode(int lab) const;
    void SetMethodCode(int lab, std::string_view code);
    const std::string& GetMethodCode(int lab) const;
    void SetMark(int lab, char mark);
    char GetMark(int lab) const;
    std::string MarkText(int lab) const { return MarkTextOf(GetMark(lab)); }

    // Enters the level statistics: an included mark and, in a split-level
    // design, results 1 and 2 usable; in a uniform design one usable result.
    bool LabValid(int lab) const;
    // An included mark and result 1 usable.
    bool FirstResultValid(int lab) const;
    int NoOfValidLabs() const;
    // Sample standard deviation of the values that are not -99 ('<' values
    // included); 0 with fewer than two.
    double LabSD(int lab) const;

    bool IsSplitLevel() const;

private:
    std::size_t LabIndex(int lab) const;
    std::size_t ResultIndex(int lab, int rep) const;

    const DataType* m_study;
    std::vector<TResult> m_results;
    std::vector<std::string> m_regLabNo;
    std::vector<std::string> m_randCode;
    std::vector<std::string> m_methodCode;
    std::vector<char> m_marks;
};

// The loaded study.
class DataType {
public:
    DataType(DesignKind design, int noOfLevels, std::string_view testId, std::string_view unit,
             std::string_view substance, int noOfReplicates, int noOfLabs);
    virtual ~DataType();
    DataType(const DataType&) = delete;
    DataType& operator=(const DataType&) = delete;

    std::uint16_t NoOfLabs = 0;
    std::uint16_t NoOfReplicates = 0;
    DesignKind Design = dkNone;
    std::string Substance;
    std::string Unit;
    std::string TestId;
    std::int32_t NoOfLevels = 0;
    std::uint8_t Transformation = 0; // 0 none, 1 ln, 2 log10, 3 square root, 4 inverse
    // The transformation the data file names (TRANSFORM), whether or not applied.
    std::uint8_t FileTransformation = 0;

    // 1-based, 1..NoOfLevels.
    TLevel& Level(int i) { return *m_levels.at(static_cast<std::size_t>(i - 1)); }
    const TLevel& Level(int i) const { return *m_levels.at(static_cast<std::size_t>(i - 1)); }

    int NoOfCochranOutliers() const;
    int NoOfGrubbsOutliers() const;

private:
    int CountMarks(char mark) const;
    std::vector<std::unique_ptr<TLevel>> m_levels;
};

} // namespace veltrio
