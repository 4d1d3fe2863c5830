#pragma once

#include <QRect>

class QWidget;

namespace veltrio::gui {

// Top-level windows take their size from the program rather than from a
// window manager: without one (a bare X server, some remote sessions) a
// request to maximise is not carried out, and a window would open at the
// size of its contents.

// The available area of the screen the window is on: its parent's screen,
// or the primary screen for a window that has not been shown.
QRect AvailableScreenArea(const QWidget& window);

// The whole available area, and the maximised state for a window manager
// that honours it.
void PlaceMaximized(QWidget& window);

// `share` of the available area's width and height, centred on it.
void PlaceCentred(QWidget& window, double share);

} // namespace veltrio::gui
