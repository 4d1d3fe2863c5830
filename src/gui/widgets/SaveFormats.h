#pragma once

#include <QString>
#include <QStringList>
#include <span>

namespace veltrio::gui {

// One choice of a "Save as" dialog: its filter and the file-name suffixes
// (lower case) that ask for it; the first suffix is the one appended.
struct TSaveFormat {
    const char* Filter;
    QStringList Suffixes;
};

// The filters, in the order of the formats.
QStringList SaveFilters(std::span<const TSaveFormat> formats);
// The format whose "*.suffix" pattern the filter holds; the first format
// when none does.
int SaveFormatOfFilter(std::span<const TSaveFormat> formats, const QString& filter);
// The format a file name asks for by its suffix; `fallback` when unknown.
int SaveFormatOfFileName(std::span<const TSaveFormat> formats, const QString& fileName,
                         int fallback);
// Appends the format's first suffix when the name has none of the format's.
QString WithSaveSuffix(std::span<const TSaveFormat> formats, const QString& fileName, int format);

} // namespace veltrio::gui
