#pragma once

#include "guiding/calibration.h"

#include <QDateTime>
#include <QPointF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>
#include <vector>

// The camera, optics and mount a section was made with.
struct LogEquipment {
    QString camera;
    QSize frameSize;
    double pixelSizeUm = 0;
    int focalLengthMm = 0;
    double scaleX = 0; // arcsec per pixel along the frame's x and y
    double scaleY = 0;
    int exposureMs = 0;
    int searchRegionPx = 0;
    QString mount;
    bool mountConnected = false;
    // Where the mount points, when it tells.
    std::optional<double> declinationDeg;
    std::optional<double> hourAngleH;
    PierSide pierSide = PierSide::Unknown;
};

// Where the lock and the star are as a section begins, frame pixels.
struct LogStar {
    QPointF lock;
    std::optional<QPointF> star; // none: no star found
    double hfd = 0;              // px, 0 when not measured
};

// What guiding works with: the laws as the engine describes them ("<name>, <parameter> =
// <value>, ..."), the Dec guide mode, backlash (ms), the typed guide rates (arcsec per second)
// and the calibration in use, if any.
struct LogGuiding {
    QString raLaw;
    QString decLaw;
    QString decGuideMode;
    double raBacklashMs = 0;
    double decBacklashMs = 0;
    double raGuideRate = 0;
    double decGuideRate = 0;
    bool reverseEW = false;
    bool reverseNS = false;
    std::optional<Calibration> calibration;
};

QStringList calibrationHeaderLines(const QDateTime& start, const LogEquipment& equipment,
                                   const LogStar& star);
// Up to and including the column line.
QStringList guidingHeaderLines(const QDateTime& start, const LogEquipment& equipment,
                               const LogGuiding& guiding, const LogStar& star);

// The guiding parameters by name, in a fixed order, for "Guiding parameter change" lines. A
// law's description gives its name ("X guide algorithm") and each of its "<parameter> =
// <value>" pairs ("X <parameter>"); X is RA, Y Dec.
using LogParams = std::vector<std::pair<QString, QString>>;
LogParams guidingParams(const LogEquipment& equipment, const LogGuiding& guiding);
// An INFO line for each parameter of `after` whose value differs from `before` or that
// `before` lacks, in the order of `after`.
QStringList parameterChanges(const LogParams& before, const LogParams& after);
