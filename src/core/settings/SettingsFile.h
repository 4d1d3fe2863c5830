#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/IniFile.h"
#include "settings/Settings.h"

namespace veltrio {

// The settings file "VELTRIO.INI": sections "Settings", "Margins" and
// "History". Booleans are 1 and 0 (any non-zero integer reads as true),
// integers decimal, LineWidth in the real notation below, margins in whole
// tenths of a centimetre, file history entries as full paths or "none".
inline constexpr const char* SettingsFileName = "VELTRIO.INI";
inline constexpr int MaxHistoryKeys = 6; // File0 .. File5
inline constexpr int MaxHistoryEntries = 5;

// Where the settings file lives: `overridePath` when it is not empty; else on
// Windows %APPDATA%\Veltrio\VELTRIO.INI, elsewhere
// $XDG_CONFIG_HOME/veltrio/VELTRIO.INI or ~/.config/veltrio/VELTRIO.INI.
std::filesystem::path SettingsFilePath(const std::filesystem::path& overridePath = {});
// The rule of the XDG base directories for the given values of
// XDG_CONFIG_HOME and HOME (empty when unset): a relative XDG_CONFIG_HOME is
// ignored; without either, the file is looked for in the current folder.
std::filesystem::path XdgSettingsFilePath(std::string_view xdgConfigHome, std::string_view home);

// Every key of the settings with its default when it is missing or does not
// convert; DiscardOutlierTests := false.
void ReadSettings(const TIniFile& ini, TSettings& settings);
// The keys of section Settings (but the window keys) and section Margins.
void WriteSettings(TIniFile& ini, const TSettings& settings);

// Reads the file; a missing or unreadable file gives the defaults. Returns
// whether a file was read.
bool LoadSettings(TSettings& settings, const std::filesystem::path& path);
// Updates the settings keys of the file and writes it atomically; the other
// keys of the file stay. False (the file as it was) when it cannot be
// written, or when it exists but cannot be read.
bool SaveSettings(const TSettings& settings, const std::filesystem::path& path,
                  std::string* error = nullptr);

// The main window's position and size (section Settings: MainLeft, MainTop,
// MainWidth, MainHeight). Width and height are empty when the file has none
// (or none above zero): the window then takes the screen's size.
struct TWindowPlacement {
    int Left = 0;
    int Top = 0;
    std::optional<int> Width;
    std::optional<int> Height;
};

TWindowPlacement ReadWindowPlacement(const TIniFile& ini);
void WriteWindowPlacement(TIniFile& ini, const TWindowPlacement& placement);

// The file history, most recent first: the values of File0 .. File5 (section
// History) in key order, "none" and empty values left out.
std::vector<std::string> ReadFileHistory(const TIniFile& ini);
// Writes the entries to File0, File1, ... and "none" to the rest of the six
// keys, so that no stale entry survives behind a shorter list.
void WriteFileHistory(TIniFile& ini, const std::vector<std::string>& history);
// A study was opened: a path not yet in the list is appended, or replaces the
// fifth entry when there are five or more; then the path moves to the top.
void AddToFileHistory(std::vector<std::string>& history, const std::string& path);

// The real notation of the settings file: a blank or "-", one digit, the
// point, 14 digits, "E", the exponent's sign and four digits
// (" 5.00000000000000E-0001"). Non-finite values are written as 0.
std::string FormatProfileReal(double value);
// An ordinary number conversion (blanks around it allowed, "," taken for
// "."); nothing when the text is not a finite number.
std::optional<double> ParseProfileReal(std::string_view text);
// A whole decimal integer with an optional sign and blanks around it.
std::optional<int> ParseProfileInteger(std::string_view text);

} // namespace veltrio
