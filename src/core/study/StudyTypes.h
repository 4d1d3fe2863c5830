#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/Missing.h"

namespace veltrio {

inline constexpr int MaxLabs = 45;
inline constexpr int MaxLevels = 3;
inline constexpr int MaxReplicates = 4;
inline constexpr std::size_t CodeLength = 4;

// State of the outlier tests.
struct TOutliers {
    bool CochranDone = false;
    bool GrubbsDone = false;
    void Clear() { CochranDone = GrubbsDone = false; }
};

// Laboratory codes that the data file excludes (EXCLUDE).
class TExcludedRandCodes {
public:
    TExcludedRandCodes() { Clear(); }
    void Clear();
    // Cut to 4 characters and appended while fewer than 45 are held.
    void Add(std::string_view code);
    int Count() const { return m_count; }
    // 1-based.
    const std::string& Code(int i) const { return m_codes.at(static_cast<std::size_t>(i - 1)); }

private:
    int m_count = 0;
    std::array<std::string, MaxLabs> m_codes;
};

// A fixed number of doubles with 1-based indices, every element -99 at
// creation.
class TDoubleArray {
public:
    explicit TDoubleArray(int count);
    int Count() const { return static_cast<int>(m_values.size()); }
    void SetValue(int i, double v);
    double GetValue(int i) const;
    // Sorts the first n elements ascending by exchanging neighbours.
    void Sort(int n);

    struct TQuantiles {
        double Minimum = MissingValue;
        double P5 = MissingValue;
        double Q1 = MissingValue;
        double Median = MissingValue;
        double Q3 = MissingValue;
        double P95 = MissingValue;
        double Maximum = MissingValue;
    };
    // From the first n elements, already sorted.
    TQuantiles Quantiles(int n) const;

private:
    std::vector<double> m_values;
};

// A set of laboratory indices 1 to 800.
class TLabSet {
public:
    static constexpr int MaxIndex = 800;
    void Clear() { m_bits.fill(0); }
    void Include(int lab);
    bool Contains(int lab) const;

private:
    std::array<std::uint8_t, 100> m_bits{};
};

} // namespace veltrio
