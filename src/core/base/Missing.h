#pragma once

namespace veltrio {

// "Missing" or "not computable" in every numeric field and result.
inline constexpr double MissingValue = -99.0;
// Undefined integer counts.
inline constexpr int MissingCount = -99;

inline bool IsMissing(double v) { return v == MissingValue; }

} // namespace veltrio
