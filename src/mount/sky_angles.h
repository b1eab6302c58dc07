#pragma once

#include <QDateTime>

// The sidereal rate, arcseconds of right ascension per second of time.
inline constexpr double kSiderealArcsecPerSec = 15.041067;

// Local mean sidereal time at `utc` and east longitude `longitudeDeg`, hours 0..24 (accurate
// to about a second of time over this century, plenty for hour angles and pier sides).
double localSiderealHours(const QDateTime& utc, double longitudeDeg);

// The hour angle of right ascension `raH` at sidereal time `lstH`, hours -12..12, positive
// west of the meridian.
double hourAngleHours(double lstH, double raH);

// The altitude of a point at declination `decDeg` and hour angle `haH` seen from latitude
// `latDeg`, degrees.
double altitudeDeg(double latDeg, double decDeg, double haH);
