#pragma once

#include <QMdiSubWindow>

class QMdiArea;

namespace veltrio::gui {

// A child window of the main window's workspace: a browser or a chart
// window. Whenever it is not maximised it has a size to work with. The
// workspace places new windows, cascades them and restores them at their
// size hint, and a child's hint is its share of the workspace rather than
// the bare minimum of its buttons.
class TMdiChild : public QMdiSubWindow {
    Q_OBJECT
public:
    static constexpr int MinimumWidth = 480;
    static constexpr int MinimumHeight = 360;

    explicit TMdiChild(QWidget* form, QWidget* parent = nullptr);

    // The size of a child that is not maximised in a workspace of this size:
    // two thirds of its width and three quarters of its height, at least
    // MinimumWidth × MinimumHeight and otherwise no larger than the workspace.
    static QSize UsableSize(const QSize& workspace);
    QSize sizeHint() const override;

    // Shows the form as a new maximised child of the workspace. A window that
    // is maximised while still hidden keeps neither the workspace's size nor
    // a size to return to (the workspace maximises a window as soon as it is
    // activated, which adding it does), so the child is shown at its usable
    // size first, with the windows that were maximised restored, and then
    // maximised.
    static TMdiChild* ShowMaximized(QMdiArea& area, QWidget* form);
};

} // namespace veltrio::gui
