#pragma once

#include <vector>

namespace veltrio {

// The square root of a sum of squares, Σ dᵢ², kept as scale · √sum so that
// deviations of extreme magnitude (1e200, 1e-200) neither overflow to
// infinity nor vanish to zero in their squares.
class TRootSumSquares {
public:
    void Add(double d);
    double Value() const;
    // The sample standard deviation √(Σ dᵢ² / (n − 1)); 0 for n < 2.
    double SampleSD(int n) const;
    // Its square; it overflows or vanishes only where the true variance lies
    // beyond the range of a double.
    double SampleVariance(int n) const;

private:
    bool PlainHolds() const;

    double m_plain = 0.0;
    double m_scale = 0.0;
    double m_sum = 1.0;
};

// Collects numbers, ignoring missing values (−99), and gives simple figures of
// them. The study model keeps one shared instance; procedures make their own.
class TStat {
public:
    TStat() = default;

    // Adds x unless it is the missing value.
    void Add(double x);
    // Forgets every value; the figures return to their empty state.
    void Clear();

    int NValues() const { return static_cast<int>(m_values.size()); }
    // −99 while empty.
    double Min() const { return m_min; }
    double Max() const { return m_max; }
    double Sum() const { return m_sum; }
    double Avg() const { return m_avg; }
    // −99 while empty. Sorts the kept values on first use.
    double Median();
    // Sample standard deviation; 0 with fewer than 2 values.
    double Std() const;

private:
    std::vector<double> m_values;
    bool m_sorted = true;
    double m_min = -99.0;
    double m_max = -99.0;
    double m_sum = 0.0;
    double m_avg = -99.0;
};

// An accumulator with percentiles. Missing values are not filtered: the caller
// adds only usable values.
class TStatObject {
public:
    TStatObject() = default;

    void Add(double x);
    // Sample standard deviation around the current mean (0 with fewer than 2
    // values, −99 when the values were not kept); the result is also kept, see
    // StdDev().
    double SD();
    // −99 when no values are kept.
    double Median();
    // The a-th percentile (a in percent): −99 with fewer than 6 values, when
    // the values are not kept, or when a lies outside 0 … 100.
    double Percentile(int a);
    // Ascending exchange sort of neighbouring values.
    void Sort();

    int Count() const { return m_count; }
    double Total() const { return m_total; }
    // −99 until a value is added.
    double Mean() const { return m_mean; }
    // The last result of SD(); −99 until SD() is called.
    double StdDev() const { return m_sd; }
    const std::vector<double>& Values() const { return m_values; }

    // Whether Add keeps the values (needed by Median, Percentile and Sort).
    bool KeepValues = true;
    double Min = 999999.0;
    double Max = -999999.0;

private:
    double m_total = 0.0;
    int m_count = 0;
    double m_mean = -99.0;
    double m_sd = -99.0;
    std::vector<double> m_values;
    bool m_sorted = false;
};

} // namespace veltrio
