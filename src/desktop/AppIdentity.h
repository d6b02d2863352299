#pragma once
// The program's face on the desktop: its icon, built into the program, and
// the name of its desktop entry (installed as quillon.desktop).

#include <QIcon>

class QWidget;

namespace desktop {

// The program's icon in every size it ships.
QIcon AppIcon();

// Gives every window of the program its icon and ties the process to its
// desktop entry, so that the desktop shows the entry's name and icon.
void ApplyIdentity(QWidget* mainWindow);

}  // namespace desktop
