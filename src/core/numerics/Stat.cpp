#include "numerics/Stat.h"

#include "base/Missing.h"

#include <cmath>
#include <utility>

namespace veltrio {

namespace {

// Deviations this small are rounding noise of values that are equal; leaving
// them out keeps the standard deviation of equal values exactly 0.
constexpr double NegligibleDeviation = 1e-10;

double SampleStd(const std::vector<double>& values, int n, double mean) {
    if (n < 2) {
        return 0.0;
    }
    double sum = 0.0;
    for (double x : values) {
        const double d = x - mean;
        if (std::fabs(d) > NegligibleDeviation) {
            sum += d * d;
        }
    }
    return std::sqrt(sum / (n - 1));
}

// Exchange sort of neighbours: stable, and well defined for any values.
void ExchangeSort(std::vector<double>& values) {
    for (std::size_t end = values.size(); end > 1; --end) {
        bool swapped = false;
        for (std::size_t i = 1; i < end; ++i) {
            if (values[i - 1] > values[i]) {
                std::swap(values[i - 1], values[i]);
                swapped = true;
            }
        }
        if (!swapped) {
            break;
        }
    }
}

// Median of sorted values; 1-based element (n + 1)/2, or the mean of n/2 and
// n/2 + 1.
double SortedMedian(const std::vector<double>& v) {
    const std::size_t n = v.size();
    if (n == 0) {
        return MissingValue;
    }
    if (n % 2 == 1) {
        return v[n / 2];
    }
    return (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

} // namespace

void TStat::Add(double x) {
    if (IsMissing(x)) {
        return;
    }
    m_sorted = false;
    m_values.push_back(x);
    if (x < m_min || IsMissing(m_min)) {
        m_min = x;
    }
    if (x > m_max || IsMissing(m_max)) {
        m_max = x;
    }
    m_sum += x;
    m_avg = m_sum / NValues();
}

void TStat::Clear() {
    m_values.clear();
    m_sorted = true;
    m_min = MissingValue;
    m_max = MissingValue;
    m_sum = 0.0;
    m_avg = MissingValue;
}

double TStat::Median() {
    if (!m_sorted) {
        ExchangeSort(m_values);
        m_sorted = true;
    }
    return SortedMedian(m_values);
}

double TStat::Std() const {
    return SampleStd(m_values, NValues(), m_avg);
}

void TStatObject::Add(double x) {
    if (x < Min) {
        Min = x;
    }
    if (x > Max) {
        Max = x;
    }
    m_total += x;
    ++m_count;
    m_mean = m_total / m_count;
    if (KeepValues) {
        m_values.push_back(x);
        m_sorted = false;
    }
}

double TStatObject::SD() {
    const bool kept = m_values.size() == static_cast<std::size_t>(m_count);
    m_sd = kept || m_count < 2 ? SampleStd(m_values, m_count, m_mean) : MissingValue;
    return m_sd;
}

void TStatObject::Sort() {
    if (!m_sorted) {
        ExchangeSort(m_values);
    }
    m_sorted = true;
}

double TStatObject::Median() {
    Sort();
    return SortedMedian(m_values);
}

double TStatObject::Percentile(int a) {
    if (m_count < 6 || a < 0 || a > 100 || m_values.size() != static_cast<std::size_t>(m_count)) {
        return MissingValue;
    }
    if (a == 50) {
        return Median();
    }
    Sort();
    const long long n = m_count;
    const long long an = a * n;
    // 1-based positions, kept inside 1 … n so that 0 % and 100 % give the
    // smallest and the largest value.
    auto at = [&](long long pos) {
        pos = pos < 1 ? 1 : (pos > n ? n : pos);
        return m_values[static_cast<std::size_t>(pos - 1)];
    };
    if (an % 100 == 0) {
        const int k = an / 100;
        return (at(k) + at(k + 1)) / 2.0;
    }
    return at(an / 100 + 1);
}

} // namespace veltrio
