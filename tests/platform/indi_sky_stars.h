#pragma once

#include "platform/capture/raw_frame.h"

#include <QPointF>
#include <QSize>
#include <QString>
#include <vector>

// What the stand-in catalogue (indi_sky/gsc) logged for its last query.
struct Sky {
    double ra = 0, dec = 0;     // frame centre of the last query, J2000 degrees
    std::vector<QPointF> stars; // (RA, Dec) of the stars it printed
};
Sky lastQuery(const QString& log);

// The sky's scale in a frame, arcseconds per pixel along x and y, of pixels that span xUm and
// yUm at 900 mm.
QPointF scaleOfPixels(double xUm, double yUm);
inline const QPointF mainChipScale = scaleOfPixels(5.2, 5.2);
// The guide chip's pixels are 9.8 um wide and 12.6 um high, but the simulator draws its sky
// with the height along x and the width along y (observed, INDI 1.9.9).
inline const QPointF guideChipScale = scaleOfPixels(12.6, 9.8);

// Where the simulator draws a star with no mount and no rotation (observed, INDI 1.9.9):
// declination runs towards -x, right ascension towards +y, about the frame's centre.
QPointF expectedPixel(const Sky& sky, QPointF star, QSize frame, QPointF arcsecPerPixel);

// Checks every catalogue star well inside the frame to be drawn within 1 px of its place;
// returns how many there were.
int checkStars(const RawFrame& frame, const Sky& sky, QPointF arcsecPerPixel);
