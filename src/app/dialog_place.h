#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// Where a dialog of outer size `dialog` opens beside the main window `owner` (outer
// geometry) on a screen whose free area is `room`: to the owner's right, else to its left,
// top edges level, when it fits there; otherwise inside the room against its right edge, so it
// covers the graph side rather than the control column at the owner's left. Always inside the
// room (at its top-left corner when larger than the room).
QPoint dialogPlace(const QRect& room, const QRect& owner, const QSize& dialog);

// Moves `dialog` (a top-level window not yet placed) to dialogPlace() on the owner's screen.
void placeDialog(QWidget& dialog, const QWidget& owner);
