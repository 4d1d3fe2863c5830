#pragma once

#include <string>

namespace veltrio {

inline constexpr int LanguageCount = 6;

// The file base name of a language (ENGLISH, DANSK, ...); "" outside 0..5.
std::string LanguageBaseName(int outputLanguage);
// The name the Options dialog shows for it.
std::string LanguageDisplayName(int outputLanguage);
// Base name + ".TEX".
std::string LanguageFileName(int outputLanguage);

} // namespace veltrio
