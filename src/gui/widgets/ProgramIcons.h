#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>

namespace veltrio::gui {

// The program's own icons (src/gui/icons), named after the freedesktop.org
// icon names of their commands: "document-open", "document-print", ... They
// do not depend on the desktop's icon theme, so the tool bar looks the same
// on a machine without one.

// The icon drawn at the sizes menus, tool bars and window titles ask for; a
// null icon for a name the program has no icon of.
QIcon ProgramIcon(const QString& name);

// Every name ProgramIcon knows.
QStringList ProgramIconNames();

} // namespace veltrio::gui
