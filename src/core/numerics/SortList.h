#pragma once

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace veltrio {

// A list of pointers to elements that the caller owns, sorted by the caller's
// ordering: Before(a, b) is true when a may stand before b.
//
// Sort() is a partition sort whose exchange rules fix the order in which equal
// elements come out; reports list their rows in that order, so the rules must
// stay as they are.
template <typename T> class TSortList {
public:
    using Predicate = std::function<bool(const T*, const T*)>;

    explicit TSortList(Predicate before) : m_before(std::move(before)) {}

    int Count() const { return static_cast<int>(m_items.size()); }
    T* operator[](int index) const { return m_items.at(static_cast<std::size_t>(index)); }
    T* Items(int index) const { return (*this)[index]; }

    int Add(T* item) {
        m_items.push_back(item);
        return Count() - 1;
    }
    void Insert(int index, T* item) {
        if (index < 0 || index > Count()) {
            throw std::out_of_range("TSortList::Insert: index out of range");
        }
        m_items.insert(m_items.begin() + index, item);
    }
    void Delete(int index) {
        if (index < 0 || index >= Count()) {
            throw std::out_of_range("TSortList::Delete: index out of range");
        }
        m_items.erase(m_items.begin() + index);
    }
    // -1 when the item is not in the list.
    int IndexOf(const T* item) const {
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            if (m_items[i] == item) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    void Clear() { m_items.clear(); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

    void Sort() {
        if (m_items.size() > 1) {
            QuickSort(0, Count() - 1);
        }
    }

private:
    bool Before(int a, const T* b) const { return m_before(m_items[a], b); }
    void Exchange(int a, int b) { std::swap(m_items[a], m_items[b]); }

    void QuickSort(int lo, int hi) {
        if (hi <= lo) {
            return;
        }
        if (hi == lo + 1) {
            if (!Before(lo, m_items[hi])) {
                Exchange(lo, hi);
            }
            return;
        }
        const T* pivot = m_items[(lo + hi) / 2];
        int i = lo;
        int j = hi;
        while (i < j) {
            while (i < j && Before(i, pivot)) {
                ++i;
            }
            while (i < j && !Before(j, pivot)) {
                --j;
            }
            if (i < j) {
                Exchange(i, j);
            }
        }
        // A partition that left one side empty would recur on the same range:
        // bring the first (or last) element to its end and split off one.
        if (i == lo) {
            for (int k = lo + 1; k <= hi; ++k) {
                if (!Before(lo, m_items[k])) {
                    Exchange(lo, k);
                }
            }
            ++i;
        } else if (i == hi) {
            for (int k = lo; k <= hi - 1; ++k) {
                if (Before(hi, m_items[k])) {
                    Exchange(hi, k);
                }
            }
            --i;
        }
        if (Before(i, pivot)) {
            QuickSort(lo, i);
            QuickSort(i + 1, hi);
        } else {
            QuickSort(lo, i - 1);
            QuickSort(i, hi);
        }
    }

    std::vector<T*> m_items;
    Predicate m_before;
};

} // namespace veltrio
