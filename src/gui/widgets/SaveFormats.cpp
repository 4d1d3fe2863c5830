#include "gui/widgets/SaveFormats.h"

#include <QFileInfo>

namespace veltrio::gui {

QStringList SaveFilters(std::span<const TSaveFormat> formats) {
    QStringList filters;
    for (const TSaveFormat& f : formats) {
        filters << QString::fromUtf8(f.Filter);
    }
    return filters;
}

int SaveFormatOfFilter(std::span<const TSaveFormat> formats, const QString& filter) {
    for (std::size_t i = 1; i < formats.size(); ++i) {
        for (const QString& suffix : formats[i].Suffixes) {
            if (filter.contains(QStringLiteral("*.") + suffix)) {
                return static_cast<int>(i);
            }
        }
    }
    return 0;
}

int SaveFormatOfFileName(std::span<const TSaveFormat> formats, const QString& fileName,
                         int fallback) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (formats[i].Suffixes.contains(suffix)) {
            return static_cast<int>(i);
        }
    }
    return fallback;
}

QString WithSaveSuffix(std::span<const TSaveFormat> formats, const QString& fileName, int format) {
    if (SaveFormatOfFileName(formats, fileName, format) == format &&
        !QFileInfo(fileName).suffix().isEmpty()) {
        return fileName;
    }
    return fileName + QStringLiteral(".") +
           formats[static_cast<std::size_t>(format)].Suffixes.front();
}

} // namespace veltrio::gui
