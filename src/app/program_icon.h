#pragma once

#include <QPixmap>

// The program's own 32x32 picture: a dark disc behind a red crosshair, on a transparent
// background.
QPixmap drawnProgramIcon();

// The application's window icon at 32x32, or drawnProgramIcon() when none is set.
// Needs the GUI application object.
QPixmap programIcon();
