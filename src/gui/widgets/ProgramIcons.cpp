#include "gui/widgets/ProgramIcons.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The resources of a static library are registered by hand (from outside
// any namespace).
static void InitProgramIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace veltrio::gui {

namespace {

const QString Folder = QStringLiteral(":/icons/");

void EnsureResources() {
    static const bool done = (InitProgramIconResources(), true);
    (void)done;
}

} // namespace

QIcon ProgramIcon(const QString& name) {
    EnsureResources();
    // The drawings are rendered here rather than by an icon engine plugin,
    // which a minimal installation may lack.
    QSvgRenderer renderer(Folder + name + QStringLiteral(".svg"));
    if (!renderer.isValid()) {
        return {};
    }
    QIcon icon;
    for (const int size : {16, 20, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QStringList ProgramIconNames() {
    EnsureResources();
    QStringList names;
    for (const QString& file : QDir(Folder).entryList({QStringLiteral("*.svg")}, QDir::Files)) {
        names << QFileInfo(file).completeBaseName();
    }
    return names;
}

} // namespace veltrio::gui
