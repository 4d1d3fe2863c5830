#include "study/StudyTypes.h"

#include <algorithm>

#include "base/TextUtil.h"

namespace veltrio {

void TExcludedRandCodes::Clear() {
    m_count = 0;
    for (auto& c : m_codes) {
        c.clear();
    }
}

void TExcludedRandCodes::Add(std::string_view code) {
    if (m_count >= MaxLabs) {
        return;
    }
    m_codes[static_cast<std::size_t>(m_count)] = Utf8Left(code, CodeLength);
    ++m_count;
}

TDoubleArray::TDoubleArray(int count) : m_values(static_cast<std::size_t>(std::max(count, 0)), MissingValue) {}

void TDoubleArray::SetValue(int i, double v) { m_values.at(static_cast<std::size_t>(i - 1)) = v; }

double TDoubleArray::GetValue(int i) const { return m_values.at(static_cast<std::size_t>(i - 1)); }

void TDoubleArray::Sort(int n) {
    n = std::clamp(n, 0, Count());
    // Exchange of neighbours: stable, and the order of equal values is kept.
    for (int pass = n - 1; pass > 0; --pass) {
        bool swapped = false;
        for (int i = 0; i < pass; ++i) {
            if (m_values[static_cast<std::size_t>(i)] > m_values[static_cast<std::size_t>(i + 1)]) {
                std::swap(m_values[static_cast<std::size_t>(i)], m_values[static_cast<std::size_t>(i + 1)]);
                swapped = true;
            }
        }
        if (!swapped) {
            break;
        }
    }
}

TDoubleArray::TQuantiles TDoubleArray::Quantiles(int n) const {
    TQuantiles q;
    if (n < 2 || n > Count()) {
        return q;
    }
    auto a = [this](int i) { return m_values[static_cast<std::size_t>(i - 1)]; };
    q.Minimum = a(1);
    q.Maximum = a(n);
    q.P5 = a(static_cast<int>(0.05 * n) + 1);
    q.P95 = a(std::min(static_cast<int>(0.95 * n) + 1, n));
    q.Median = n % 2 == 1 ? a(n / 2 + 1) : (a(n / 2) + a(n / 2 + 1)) / 2.0;
    if (n % 4 == 0) {
        q.Q1 = (a(n / 4) + a(n / 4 + 1)) / 2.0;
        q.Q3 = (a(3 * n / 4) + a(3 * n / 4 + 1)) / 2.0;
    } else {
        q.Q1 = a(n / 4 + 1);
        q.Q3 = a(3 * n / 4 + 1);
    }
    return q;
}

void TLabSet::Include(int lab) {
    if (lab < 1 || lab > MaxIndex) {
        return;
    }
    const int bit = lab - 1; // 800 indices in 100 bytes
    m_bits[static_cast<std::size_t>(bit / 8)] |= static_cast<std::uint8_t>(1u << (bit % 8));
}

bool TLabSet::Contains(int lab) const {
    if (lab < 1 || lab > MaxIndex) {
        return false;
    }
    const int bit = lab - 1;
    return (m_bits[static_cast<std::size_t>(bit / 8)] >> (bit % 8)) & 1u;
}

} // namespace veltrio
