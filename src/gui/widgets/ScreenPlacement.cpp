#include "gui/widgets/ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace veltrio::gui {

QRect AvailableScreenArea(const QWidget& window) {
    const QWidget* anchor = window.parentWidget() ? window.parentWidget()->window() : &window;
    if (const QScreen* screen = anchor->screen()) {
        return screen->availableGeometry();
    }
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return screen->availableGeometry();
    }
    return {0, 0, 1024, 768};
}

void PlaceMaximized(QWidget& window) {
    window.setGeometry(AvailableScreenArea(window));
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

void PlaceCentred(QWidget& window, double share) {
    const QRect area = AvailableScreenArea(window);
    QRect r(0, 0, static_cast<int>(area.width() * share), static_cast<int>(area.height() * share));
    r.moveCenter(area.center());
    window.setGeometry(r);
}

} // namespace veltrio::gui
