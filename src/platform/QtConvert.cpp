#include "platform/QtConvert.h"

#include <cmath>

namespace veltrio::platform {

QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QColor ToQColor(TColor c) { return QColor(int(ColorRed(c)), int(ColorGreen(c)), int(ColorBlue(c))); }

Qt::PenStyle ToQtPenStyle(TPenStyle s) {
    switch (s) {
    case TPenStyle::psDash:
        return Qt::DashLine;
    case TPenStyle::psDot:
        return Qt::DotLine;
    case TPenStyle::psDashDot:
        return Qt::DashDotLine;
    case TPenStyle::psDashDotDot:
        return Qt::DashDotDotLine;
    case TPenStyle::psClear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

QFont ToQFont(const TFont& font, int dpi) {
    QString family = ToQString(font.Name);
    if (family.compare(QStringLiteral("Symbol"), Qt::CaseInsensitive) == 0) {
        family = QStringLiteral("Times New Roman");
    }
    QFont f(family);
    f.setStyleHint(family.contains(QStringLiteral("Arial")) ? QFont::SansSerif : QFont::Serif);
    // Pixel sizes keep measuring and drawing on one device consistent.
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.Size * dpi / 72.0))));
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    f.setStrikeOut(font.StrikeOut);
    return f;
}

} // namespace veltrio::platform
