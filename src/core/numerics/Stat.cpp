#include "numerics/Stat.h"

#include "base/Missing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace veltrio {

namespace {

// Deviations this small next to the values are rounding noise of values
// that are equal; leaving them out keeps the standard deviation of equal
// values exactly 0. The bound is 1e-10 for values of ordinary size and
// shrinks or grows with values far below 1 or far above 10⁴, so that it never
// hides the spread of very small values nor keeps the noise of huge ones.
double NegligibleDeviation(double mean) {
    const double m = std::fabs(mean);
    return std::max(1e-10 * std::min(m, 1.0), 1e-14 * m);
}

double SampleStd(const std::vector<double>& values, int n, double mean) {
    if (n < 2) {
        return 0.0;
    }
    const double negligible = NegligibleDeviation(mean);
    TRootSumSquares rss;
    for (double x : values) {
        const double d = x - mean;
        if (std::fabs(d) > negligible) {
            rss.Add(d);
        }
    }
    return rss.SampleSD(n);
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

void TRootSumSquares::Add(double d) {
    m_plain += d * d;
    const double a = std::fabs(d);
    if (a == 0.0 || std::isnan(a)) {
        if (std::isnan(a)) {
            m_scale = a;
        }
        return;
    }
    if (std::isinf(a) || std::isinf(m_scale)) {
        m_scale = std::numeric_limits<double>::infinity();
        return;
    }
    if (m_scale < a) {
        const double r = m_scale / a;
        m_sum = 1.0 + m_sum * r * r;
        m_scale = a;
    } else {
        const double r = a / m_scale;
        m_sum += r * r;
    }
}

bool TRootSumSquares::PlainHolds() const {
    // The plain sum of squares is exact to the last bit as it always was,
    // unless the squares overflowed or fell into the subnormal range.
    return std::isfinite(m_plain) && (m_plain >= 1e-280 || m_scale == 0.0);
}

double TRootSumSquares::Value() const {
    if (PlainHolds()) {
        return std::sqrt(m_plain);
    }
    return m_scale == 0.0 ? 0.0 : m_scale * std::sqrt(m_sum);
}

double TRootSumSquares::SampleSD(int n) const {
    if (n < 2 || m_scale == 0.0) {
        return 0.0;
    }
    if (PlainHolds()) {
        return std::sqrt(m_plain / (n - 1));
    }
    return m_scale * std::sqrt(m_sum / (n - 1));
}

double TRootSumSquares::SampleVariance(int n) const {
    if (n < 2 || m_scale == 0.0) {
        return 0.0;
    }
    if (PlainHolds()) {
        return m_plain / (n - 1);
    }
    const double sd = SampleSD(n);
    return sd * sd;
}

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
