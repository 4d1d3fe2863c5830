#pragma once

#include <QFontMetricsF>

#include "platform/QtConvert.h"
#include "tools/LabReportText.h"

namespace veltrio::platform {

// The laboratory reports break their memos by the widths of the screen
// fonts: text width in pixels at 96 ppi over pixels a centimetre.
inline void InstallReportTextMeasure() {
    SetReportTextMeasure([](const TFont& font, std::string_view text) {
        constexpr int Ppi = 96;
        const QFontMetricsF metrics(ToQFont(font, Ppi));
        return metrics.horizontalAdvance(ToQString(text)) / (Ppi / 2.54);
    });
}

} // namespace veltrio::platform
