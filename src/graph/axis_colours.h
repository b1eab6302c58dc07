#pragma once

#include <QColor>

// One colour per axis wherever the program draws RA and Dec: the guide graph, its legend and
// the calibration plot.
inline const QColor kRaColour(32, 96, 224);
inline const QColor kDecColour(208, 32, 32);
// The same axes at night: both red, told apart by brightness (and, on the graph, by line style).
inline const QColor kNightRaColour(200, 0, 0);
inline const QColor kNightDecColour(120, 0, 0);
