#include "textlib/Languages.h"

#include <array>

namespace veltrio {

namespace {

struct Language {
    const char* BaseName;
    const char* DisplayName;
};

constexpr std::array<Language, LanguageCount> kLanguages = {{
    {"ENGLISH", "English"},
    {"DANSK", "Dansk"},
    {"DEUTSCH", "Deutsch"},
    {"FRANCAIS", "Francais"},
    {"ESPANOL", "Español"},
    {"SLOVAKIA", "Slovakian"},
}};

} // namespace

std::string LanguageBaseName(int i) {
    return i >= 0 && i < LanguageCount ? kLanguages[static_cast<std::size_t>(i)].BaseName : "";
}

std::string LanguageDisplayName(int i) {
    return i >= 0 && i < LanguageCount ? kLanguages[static_cast<std::size_t>(i)].DisplayName : "";
}

std::string LanguageFileName(int i) {
    const std::string base = LanguageBaseName(i);
    return base.empty() ? "" : base + ".TEX";
}

} // namespace veltrio
