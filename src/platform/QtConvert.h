#pragma once

#include <QColor>
#include <QFont>
#include <QPen>
#include <QString>
#include <string_view>

#include "documents/Graphics.h"

namespace veltrio::platform {

QString ToQString(std::string_view utf8);
QColor ToQColor(TColor c);
Qt::PenStyle ToQtPenStyle(TPenStyle s);
// The font at `points` for a device of `dpi` dots per inch. "Symbol" maps to
// the serif family: the markup already writes its symbols as Unicode.
QFont ToQFont(const TFont& font, int dpi);

} // namespace veltrio::platform
