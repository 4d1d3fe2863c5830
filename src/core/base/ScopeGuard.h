#pragma once

#include <utility>

namespace veltrio {

// Sets a variable for the lifetime of the guard and gives it back its saved
// value when the guard goes, also when an exception ends the scope:
//
//     TSavedValue quiet(program.QuietTests, true);
//
// The saved value is restored, never recomputed.
template <typename T> class TSavedValue {
public:
    explicit TSavedValue(T& target) : m_target(target), m_saved(target) {}
    TSavedValue(T& target, T value) : m_target(target), m_saved(target) {
        m_target = std::move(value);
    }
    ~TSavedValue() { m_target = std::move(m_saved); }
    TSavedValue(const TSavedValue&) = delete;
    TSavedValue& operator=(const TSavedValue&) = delete;

    const T& Saved() const { return m_saved; }

private:
    T& m_target;
    T m_saved;
};

// Runs a function when the scope ends, on every path. For undo steps that
// are not a plain saved value (ending a progress display, enabling a window).
template <typename F> class TScopeExit {
public:
    explicit TScopeExit(F f) : m_f(std::move(f)) {}
    ~TScopeExit() {
        if (m_active) {
            m_f();
        }
    }
    TScopeExit(const TScopeExit&) = delete;
    TScopeExit& operator=(const TScopeExit&) = delete;
    // The scope ended as planned and the undo step is no longer wanted.
    void Release() { m_active = false; }

private:
    F m_f;
    bool m_active = true;
};

} // namespace veltrio
