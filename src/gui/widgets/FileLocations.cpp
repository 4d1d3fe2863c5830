#include "gui/widgets/FileLocations.h"

#include <QDir>
#include <QFileInfo>

namespace veltrio::gui {

namespace {

QString FolderOf(const QString& file) {
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

bool IsFolder(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

} // namespace

void TFileLocations::StudyOpened(const QString& file) {
    const QString folder = FolderOf(file);
    if (folder != m_studyFolder) {
        m_saveFolder.clear();
    }
    m_studyFolder = folder;
}

void TFileLocations::Saved(TKind kind, const QString& file, const QString& filter) {
    m_saveFolder = FolderOf(file);
    (kind == TKind::Document ? m_documentFilter : m_chartFilter) = filter;
}

QString TFileLocations::OpenFolder(const QString& recentFile) const {
    for (const QString& folder : {m_studyFolder, FolderOf(recentFile)}) {
        if (IsFolder(folder)) {
            return folder;
        }
    }
    return QDir::homePath();
}

QString TFileLocations::SaveFolder() const {
    for (const QString& folder : {m_saveFolder, m_studyFolder}) {
        if (IsFolder(folder)) {
            return folder;
        }
    }
    return QDir::homePath();
}

QString TFileLocations::SaveFilter(TKind kind, const QString& first) const {
    const QString& last = kind == TKind::Document ? m_documentFilter : m_chartFilter;
    return last.isEmpty() ? first : last;
}

QString TFileLocations::FileNameOf(const QString& caption) {
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString name;
    for (const QChar c : caption) {
        if (c.isSpace()) {
            name += QLatin1Char(' ');
        } else if (refused.contains(c) || c.category() == QChar::Other_Control) {
            name += QLatin1Char('-');
        } else {
            name += c;
        }
    }
    name = name.simplified();
    while (!name.isEmpty() &&
           (name.back() == QLatin1Char('.') || name.back() == QLatin1Char(' '))) {
        name.chop(1);
    }
    while (!name.isEmpty() && name.front() == QLatin1Char('.')) {
        name.remove(0, 1);
    }
    return name.trimmed().isEmpty() ? QStringLiteral("Document") : name.trimmed();
}

} // namespace veltrio::gui
