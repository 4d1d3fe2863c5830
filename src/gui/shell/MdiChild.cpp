#include "gui/shell/MdiChild.h"

#include <QMdiArea>
#include <algorithm>

namespace veltrio::gui {

TMdiChild::TMdiChild(QWidget* form, QWidget* parent) : QMdiSubWindow(parent) {
    setWidget(form);
    setAttribute(Qt::WA_DeleteOnClose);
}

QSize TMdiChild::UsableSize(const QSize& workspace) {
    const QSize least(MinimumWidth, MinimumHeight);
    const QSize share(workspace.width() * 2 / 3, workspace.height() * 3 / 4);
    return share.expandedTo(least).boundedTo(workspace.expandedTo(least));
}

QSize TMdiChild::sizeHint() const {
    const QWidget* workspace = parentWidget();
    return UsableSize(workspace ? workspace->size() : QSize());
}

TMdiChild* TMdiChild::ShowMaximized(QMdiArea& area, QWidget* form) {
    auto* child = new TMdiChild(form);
    const bool dontMaximize = area.testOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    area.setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
    for (QMdiSubWindow* w : area.subWindowList()) {
        if (w->isMaximized()) {
            w->showNormal();
        }
    }
    area.addSubWindow(child);
    child->resize(child->sizeHint());
    child->show();
    area.setOption(QMdiArea::DontMaximizeSubWindowOnActivation, dontMaximize);
    child->showMaximized();
    area.setActiveSubWindow(child);
    return child;
}

} // namespace veltrio::gui
