#include "labs/Mandel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "base/ScopeGuard.h"
#include "numerics/SortList.h"
#include "study/Program.h"

namespace veltrio {

std::vector<TMandelPage> MandelChartPages(int labs, int pageSize) {
    std::vector<TMandelPage> pages;
    if (labs < 1) {
        return pages;
    }
    const int m = pageSize < 1 ? 1 : pageSize;
    const int count = (labs + m - 1) / m;
    const int perPage = (labs + count - 1) / count;
    for (int first = 1; first <= labs; first += perPage) {
        pages.push_back({first, std::min(labs, first + perPage - 1)});
    }
    return pages;
}

TMandel::TMandel(Program& program, double chartMin, double chartMax)
    : ChartMin(chartMin), ChartMax(chartMax), m_program(program) {}

TMandel::~TMandel() = default;

std::size_t TMandel::Index(int lab, int level) const {
    return static_cast<std::size_t>((lab - 1) * m_levels + (level - 1));
}

double TMandel::Values(int lab, int level) const {
    if (lab < 1 || lab > m_labs || level < 1 || level > m_levels) {
        return MissingValue;
    }
    return m_values[Index(lab, level)];
}

int TMandel::ValueCount(int level) const {
    if (level < 1 || level > m_levels) {
        return 0;
    }
    return m_valueCount[static_cast<std::size_t>(level - 1)];
}

double TMandel::SortKey(int lab) const {
    if (lab < 1 || lab > m_labs) {
        return MissingValue;
    }
    return m_sortKey[static_cast<std::size_t>(lab - 1)];
}

int TMandel::LabOrder(int position) const {
    if (position < 1 || position > m_labs) {
        return 0;
    }
    return m_labOrder[static_cast<std::size_t>(position - 1)];
}

void TMandel::Calculate() {
    const DataType* study = m_program.CurrentStudy.get();
    m_labs = study ? study->NoOfLabs : 0;
    m_levels = study ? study->NoOfLevels : 0;
    m_values.assign(static_cast<std::size_t>(m_labs * m_levels), MissingValue);
    m_valueCount.assign(static_cast<std::size_t>(m_levels), 0);
    m_sortKey.assign(static_cast<std::size_t>(m_labs), MissingValue);
    m_labOrder.assign(static_cast<std::size_t>(m_labs), 0);
    if (!study) {
        return;
    }
    Host& host = m_program.host();
    const bool progress = !m_program.SilentMode;
    if (progress) {
        host.StartProgress(m_levels + 2);
    }
    TScopeExit endProgress([&] {
        if (progress) {
            host.EndProgress();
        }
    });

    std::vector<double> level(static_cast<std::size_t>(m_labs) + 1);
    for (int lv = 1; lv <= m_levels; ++lv) {
        level.assign(level.size(), MissingValue);
        CalculateLevel(lv, level);
        int count = 0;
        for (int lab = 1; lab <= m_labs; ++lab) {
            const double v = level[static_cast<std::size_t>(lab)];
            // A figure that overflowed is no figure.
            if (v != MissingValue && std::isfinite(v)) {
                m_values[Index(lab, lv)] = v;
                ++count;
            }
        }
        m_valueCount[static_cast<std::size_t>(lv - 1)] = count;
        if (progress) {
            host.StepProgress();
        }
    }

    for (int lab = 1; lab <= m_labs; ++lab) {
        double sum = 0;
        int n = 0;
        for (int lv = 1; lv <= m_levels; ++lv) {
            const double v = m_values[Index(lab, lv)];
            if (v != MissingValue) {
                sum += v;
                ++n;
            }
        }
        m_sortKey[static_cast<std::size_t>(lab - 1)] = n > 0 ? sum / n : MissingValue;
    }
    if (progress) {
        host.StepProgress();
    }

    // Laboratories without a key go last; equal keys keep the laboratories'
    // order, so that the charts come out the same every time.
    std::vector<TPlaceClass> places(static_cast<std::size_t>(m_labs));
    TSortList<TPlaceClass> list([](const TPlaceClass* a, const TPlaceClass* b) {
        auto rank = [](const TPlaceClass* x) {
            return std::make_tuple(x->Key == MissingValue, x->Key, x->LabIndex);
        };
        return !(rank(b) < rank(a));
    });
    for (int lab = 1; lab <= m_labs; ++lab) {
        TPlaceClass& place = places[static_cast<std::size_t>(lab - 1)];
        place.Key = m_sortKey[static_cast<std::size_t>(lab - 1)];
        place.LabIndex = lab;
        list.Add(&place);
    }
    list.Sort();
    for (int i = 0; i < list.Count(); ++i) {
        m_labOrder[static_cast<std::size_t>(i)] = list[i]->LabIndex;
    }
    if (progress) {
        host.StepProgress();
    }
}

std::vector<TMandelPage> TMandel::Pages() const {
    return MandelChartPages(m_labs, m_program.Settings.MandelLabsPage);
}

double TMandel::Critical(int level, TSignificanceLevel significance) const {
    return CriticalValue(ValueCount(level), significance);
}

double TMandel::ChartCritical(TSignificanceLevel significance) const {
    int p = 0;
    for (int lv = 1; lv <= m_levels; ++lv) {
        p = std::max(p, ValueCount(lv));
    }
    return CriticalValue(p, significance);
}

std::string TMandel::MarkText(int lab, int level) const {
    const double v = Values(lab, level);
    if (v == MissingValue) {
        return {};
    }
    std::string text;
    if (m_program.CurrentStudy->Level(level).GetMark(lab) == OutlierMark()) {
        text += OutlierMark();
    }
    const double c5 = Critical(level, TSignificanceLevel::FivePercent);
    const double c1 = Critical(level, TSignificanceLevel::OnePercent);
    if (c5 != MissingValue && c1 != MissingValue) {
        const double tested = TwoSided() ? std::fabs(v) : v;
        if (tested >= c5) {
            text += '*';
        }
        if (tested >= c1) {
            text += '*';
        }
    }
    return text;
}

void RunMandel(TMandel& mandel) {
    mandel.Calculate();
    mandel.MakeReport();
    mandel.MakeCharts();
}

} // namespace veltrio
