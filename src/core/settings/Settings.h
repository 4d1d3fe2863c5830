#pragma once

#include <string>

namespace veltrio {

// What the Options dialog offers; the settings file is held to it.
inline constexpr double MinLineWidth = 0.1; // mm
inline constexpr double MaxLineWidth = 10.0;
inline constexpr double MaxMargin = 50.0; // cm

// The user's settings, one object for the whole run. LoadSettings and
// SaveSettings (settings/SettingsFile.h) keep them in "VELTRIO.INI".
struct TSettings {
    int DesignColours = 3;
    bool ShowRegLabNo = false;
    bool SortLinePlot = false;
    bool LineThroughMean = false;
    bool AutoSplitCorrection = false;
    bool PrintDisclaimer = false;
    bool DiffMarkers = false;
    bool MethodCaseSensitive = false;
    bool UseMissingMethod = true;
    bool ConfirmTrans = false;
    bool Circle20 = true;
    bool UnitFFF = true;
    bool LowerXZero = false;
    bool AllMethodID = false;
    bool MandelSorted = false;
    int MandelLabsPage = 30;
    int OutputLanguage = 0;
    std::string OutputFontName = "Times New Roman";
    double LineWidth = -1.0; // mm; negative: a hairline
    double MarginLeft = 1.0; // cm
    double MarginTop = 2.0;  // cm
    // Not stored: false at start-up and whenever a study file is opened.
    bool DiscardOutlierTests = false;
};

} // namespace veltrio
