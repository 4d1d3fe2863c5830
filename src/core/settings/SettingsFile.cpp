#include "settings/SettingsFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "base/TextUtil.h"

namespace veltrio {

namespace {

namespace fs = std::filesystem;

constexpr const char* SecSettings = "Settings";
constexpr const char* SecMargins = "Margins";
constexpr const char* SecHistory = "History";

struct BoolKey {
    const char* Key;
    bool TSettings::*Field;
};

// The switches in the order of the file.
constexpr std::array<BoolKey, 14> kBoolKeys{{
    {"ShowRegLabNo", &TSettings::ShowRegLabNo},
    {"SortLinePlot", &TSettings::SortLinePlot},
    {"LineThroughMean", &TSettings::LineThroughMean},
    {"AutoSplitCorrection", &TSettings::AutoSplitCorrection},
    {"PrintDisclaimer", &TSettings::PrintDisclaimer},
    {"DiffMarkers", &TSettings::DiffMarkers},
    {"MethodCaseSensitive", &TSettings::MethodCaseSensitive},
    {"UseMissingMethod", &TSettings::UseMissingMethod},
    {"ConfirmTrans", &TSettings::ConfirmTrans},
    {"Circle20", &TSettings::Circle20},
    {"UnitFFF", &TSettings::UnitFFF},
    {"LowerXZero", &TSettings::LowerXZero},
    {"AllMethodID", &TSettings::AllMethodID},
    {"MandelSorted", &TSettings::MandelSorted},
}};

// An integer of the file inside [lo, hi], else `fallback`.
int ReadInteger(const TIniFile& ini, const char* section, const char* key, int fallback,
                int lo = std::numeric_limits<int>::min(),
                int hi = std::numeric_limits<int>::max()) {
    const auto text = ini.Read(section, key);
    if (!text) {
        return fallback;
    }
    const auto value = ParseProfileInteger(*text);
    return value && *value >= lo && *value <= hi ? *value : fallback;
}

// Whole tenths of a centimetre, truncated. The nudge keeps a margin reached
// by steps of 0.1 (2.0 - 3 x 0.1 = 1.6999999999999997) on its own tenth.
int MarginTenths(double cm) {
    if (!std::isfinite(cm)) {
        return 0;
    }
    const double tenths = cm * 10.0;
    const double nudged = tenths + (tenths >= 0 ? 1e-9 : -1e-9);
    const double limit = static_cast<double>(std::numeric_limits<int>::max());
    return static_cast<int>(std::trunc(std::clamp(nudged, -limit, limit)));
}

// An integer of the file moved into [lo, hi]: a value beyond what the
// Options dialog offers is taken at the nearest end. Text that is no
// integer gives `fallback`.
int ReadClamped(const TIniFile& ini, const char* section, const char* key, int fallback, int lo,
                int hi) {
    const auto text = ini.Read(section, key);
    if (!text) {
        return fallback;
    }
    if (const auto value = ParseProfileInteger(*text)) {
        return std::clamp(*value, lo, hi);
    }
    // Digits beyond the range of an integer still say which end is meant.
    const std::string t = Trim(*text);
    const auto sign = t.find_last_of("+-");
    if (!t.empty() && t.find_first_not_of("+-0123456789") == std::string::npos &&
        t.find_first_of("0123456789") != std::string::npos &&
        (sign == std::string::npos || sign == 0)) {
        return t.front() == '-' ? lo : hi;
    }
    return fallback;
}

std::string Flag(bool b) {
    return b ? "1" : "0";
}

} // namespace

std::optional<int> ParseProfileInteger(std::string_view text) {
    std::string t = Trim(text);
    if (!t.empty() && t.front() == '+') {
        t.erase(0, 1);
        if (!t.empty() && t.front() == '-') {
            return std::nullopt;
        }
    }
    int value = 0;
    const char* last = t.data() + t.size();
    const auto res = std::from_chars(t.data(), last, value);
    if (t.empty() || res.ec != std::errc() || res.ptr != last) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseProfileReal(std::string_view text) {
    std::string t = Trim(text);
    if (!t.empty() && t.front() == '+') {
        t.erase(0, 1);
        if (!t.empty() && t.front() == '-') {
            return std::nullopt;
        }
    }
    if (t.find('.') == std::string::npos) {
        std::replace(t.begin(), t.end(), ',', '.');
    }
    // Only digits, signs, one point and an exponent: no "inf", "nan" or hex.
    if (t.empty() || t.find_first_not_of("0123456789+-.eE") != std::string::npos) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* last = t.data() + t.size();
    const auto res = std::from_chars(t.data(), last, value, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::string FormatProfileReal(double value) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    // "d.ddddddddddddddde[+-]xx" from the C++ library, whatever the locale.
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value),
                                   std::chars_format::scientific, 14);
    const std::string digits(buf.data(), res.ptr);
    const std::size_t e = digits.find('e');
    const std::string mantissa = digits.substr(0, e);
    const char expSign = digits[e + 1];
    const int exponent = std::atoi(digits.c_str() + e + 2);
    std::string expDigits = std::to_string(exponent);
    expDigits.insert(0, expDigits.size() < 4 ? 4 - expDigits.size() : 0, '0');
    return std::string(std::signbit(value) ? "-" : " ") + mantissa + "E" + expSign + expDigits;
}

fs::path XdgSettingsFilePath(std::string_view xdgConfigHome, std::string_view home) {
    fs::path base;
    if (!xdgConfigHome.empty() && fs::path(xdgConfigHome).is_absolute()) {
        base = fs::path(xdgConfigHome);
    } else if (!home.empty()) {
        base = fs::path(home) / ".config";
    } else {
        return fs::path(SettingsFileName);
    }
    return base / "veltrio" / SettingsFileName;
}

fs::path SettingsFilePath(const fs::path& overridePath) {
    if (!overridePath.empty()) {
        return overridePath;
    }
    auto env = [](const char* name) {
        const char* v = std::getenv(name);
        return std::string_view(v ? v : "");
    };
#ifdef _WIN32
    const std::string_view appData = env("APPDATA");
    if (!appData.empty()) {
        return fs::path(appData) / "Veltrio" / SettingsFileName;
    }
    return fs::path(SettingsFileName);
#else
    return XdgSettingsFilePath(env("XDG_CONFIG_HOME"), env("HOME"));
#endif
}

void ReadSettings(const TIniFile& ini, TSettings& s) {
    const TSettings defaults;
    s = defaults;
    s.DesignColours =
        ReadInteger(ini, SecSettings, "DesignColours", defaults.DesignColours, 0, 255);
    for (const auto& b : kBoolKeys) {
        const auto text = ini.Read(SecSettings, b.Key);
        const auto value = text ? ParseProfileInteger(*text) : std::nullopt;
        s.*b.Field = value ? *value != 0 : defaults.*b.Field;
    }
    // The Options dialog offers 1 to 100 laboratories a page.
    s.MandelLabsPage =
        ReadClamped(ini, SecSettings, "MandelLabsPage", defaults.MandelLabsPage, 1, 100);
    s.OutputLanguage =
        ReadInteger(ini, SecSettings, "OutputLanguage", defaults.OutputLanguage, 0, 5);
    // A font name is text: empty or not UTF-8 it names no font.
    if (const auto font = ini.Read(SecSettings, "OutputFontName");
        font && !font->empty() && IsValidUtf8(*font)) {
        s.OutputFontName = *font;
    }
    // Zero or less is the hairline; an exact width is 0.1 to 10 mm, as the
    // Options dialog offers it.
    if (const auto width = ini.Read(SecSettings, "LineWidth")) {
        s.LineWidth = ParseProfileReal(*width).value_or(defaults.LineWidth);
        if (s.LineWidth > 0.0) {
            s.LineWidth = std::clamp(s.LineWidth, MinLineWidth, MaxLineWidth);
        }
    }
    // Margins of 0 to 50 cm, in tenths.
    constexpr int maxTenths = static_cast<int>(MaxMargin * 10);
    s.MarginLeft =
        ReadClamped(ini, SecMargins, "Left", MarginTenths(defaults.MarginLeft), 0, maxTenths) / 10.0;
    s.MarginTop =
        ReadClamped(ini, SecMargins, "Top", MarginTenths(defaults.MarginTop), 0, maxTenths) / 10.0;
    s.DiscardOutlierTests = false;
}

void WriteSettings(TIniFile& ini, const TSettings& s) {
    ini.Write(SecSettings, "DesignColours", IntText(s.DesignColours));
    for (const auto& b : kBoolKeys) {
        ini.Write(SecSettings, b.Key, Flag(s.*b.Field));
    }
    ini.Write(SecSettings, "MandelLabsPage", IntText(s.MandelLabsPage));
    ini.Write(SecSettings, "OutputLanguage", IntText(s.OutputLanguage));
    ini.Write(SecSettings, "OutputFontName", s.OutputFontName);
    ini.Write(SecSettings, "LineWidth", FormatProfileReal(s.LineWidth));
    ini.Write(SecMargins, "Left", IntText(MarginTenths(s.MarginLeft)));
    ini.Write(SecMargins, "Top", IntText(MarginTenths(s.MarginTop)));
}

bool LoadSettings(TSettings& settings, const fs::path& path) {
    TIniFile ini;
    const bool read = LoadIniFile(path, ini);
    ReadSettings(read ? ini : TIniFile(), settings);
    std::error_code ec;
    return read && fs::exists(path, ec);
}

bool SaveSettings(const TSettings& settings, const fs::path& path, std::string* error) {
    TIniFile ini;
    if (!LoadIniFile(path, ini)) {
        if (error) {
            *error = "cannot read " + path.string();
        }
        return false;
    }
    WriteSettings(ini, settings);
    return SaveIniFile(path, ini, error);
}

TWindowPlacement ReadWindowPlacement(const TIniFile& ini) {
    TWindowPlacement p;
    p.Left = ReadInteger(ini, SecSettings, "MainLeft", 0);
    p.Top = ReadInteger(ini, SecSettings, "MainTop", 0);
    auto size = [&](const char* key) -> std::optional<int> {
        const int v = ReadInteger(ini, SecSettings, key, 0);
        return v > 0 ? std::optional<int>(v) : std::nullopt;
    };
    p.Width = size("MainWidth");
    p.Height = size("MainHeight");
    return p;
}

void WriteWindowPlacement(TIniFile& ini, const TWindowPlacement& p) {
    ini.Write(SecSettings, "MainLeft", IntText(p.Left));
    ini.Write(SecSettings, "MainTop", IntText(p.Top));
    if (p.Width) {
        ini.Write(SecSettings, "MainWidth", IntText(*p.Width));
    }
    if (p.Height) {
        ini.Write(SecSettings, "MainHeight", IntText(*p.Height));
    }
}

std::vector<std::string> ReadFileHistory(const TIniFile& ini) {
    std::vector<std::string> history;
    for (int i = 0; i < MaxHistoryKeys; ++i) {
        const auto value = ini.Read(SecHistory, "File" + IntText(i));
        if (value && !value->empty() && *value != "none") {
            history.push_back(*value);
        }
    }
    return history;
}

void WriteFileHistory(TIniFile& ini, const std::vector<std::string>& history) {
    for (int i = 0; i < MaxHistoryKeys; ++i) {
        const auto index = static_cast<std::size_t>(i);
        ini.Write(SecHistory, "File" + IntText(i),
                  index < history.size() ? history[index] : "none");
    }
}

void AddToFileHistory(std::vector<std::string>& history, const std::string& path) {
    auto it = std::find(history.begin(), history.end(), path);
    if (it == history.end()) {
        if (history.size() < static_cast<std::size_t>(MaxHistoryEntries)) {
            history.push_back(path);
            it = history.end() - 1;
        } else {
            it = history.begin() + (MaxHistoryEntries - 1);
            *it = path;
        }
    }
    std::rotate(history.begin(), it, it + 1);
}

} // namespace veltrio
