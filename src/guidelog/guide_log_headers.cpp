#include "guidelog/guide_log_headers.h"

#include "guidelog/guide_log_lines.h"

#include <algorithm>

namespace {
QString pair(const QString& name, const QString& value) {
    return name + QStringLiteral(" = ") + value;
}

QString meanScale(const LogEquipment& e) {
    return logNumber((e.scaleX + e.scaleY) / 2, 2);
}

QString cameraLine(const LogEquipment& e) {
    return QStringList{
        pair(QStringLiteral("Camera"), e.camera),
        pair(QStringLiteral("full size"),
             QStringLiteral("%1 x %2").arg(e.frameSize.width()).arg(e.frameSize.height())),
        pair(QStringLiteral("pixel size"), logNumber(e.pixelSizeUm, 1) + " um")}
        .join(QStringLiteral(", "));
}

QString scaleLine(const LogEquipment& e) {
    return QStringList{
        pair(QStringLiteral("Pixel scale"), meanScale(e) + " arc-sec/px"),
        pair(QStringLiteral("Focal length"), QString::number(e.focalLengthMm) + " mm")}
        .join(QStringLiteral(", "));
}

QString exposureText(const LogEquipment& e) {
    return QString::number(e.exposureMs) + QStringLiteral(" ms");
}

QString declinationLine(const LogEquipment& e) {
    const QString na = QStringLiteral("N/A");
    return QStringList{
        pair(QStringLiteral("Dec"),
             e.declinationDeg ? logNumber(*e.declinationDeg, 1) + " deg" : na),
        pair(QStringLiteral("Hour angle"), e.hourAngleH ? logNumber(*e.hourAngleH, 2) + " hr" : na),
        pair(QStringLiteral("Pier side"),
             e.pierSide == PierSide::Unknown ? na : pierSideName(e.pierSide)),
        pair(QStringLiteral("Rotator pos"), na)}
        .join(QStringLiteral(", "));
}

QString starLine(const LogStar& s) {
    const auto position = [](QPointF p) {
        return logNumber(p.x(), 3) + QStringLiteral(", ") + logNumber(p.y(), 3);
    };
    return QStringList{
        pair(QStringLiteral("Lock position"), position(s.lock)),
        pair(QStringLiteral("Star position"), s.star ? position(*s.star) : QStringLiteral("N/A")),
        pair(QStringLiteral("HFD"), logNumber(s.hfd, 2) + " px")}
        .join(QStringLiteral(", "));
}

// The West and North motions of the calibration's axes, as its direction lines give them.
QString calibrationText(const std::optional<Calibration>& c) {
    if (!c)
        return QStringLiteral("none");
    QStringList pairs{pair(QStringLiteral("xAngle"), logNumber(logAngle(c->raAngle + 180), 1)),
                      pair(QStringLiteral("xRate"), logNumber(c->raSpeed, 3))};
    if (c->hasDec)
        pairs << pair(QStringLiteral("yAngle"), logNumber(logAngle(c->decAngle), 1))
              << pair(QStringLiteral("yRate"), logNumber(c->decSpeed, 3))
              << pair(QStringLiteral("parity"),
                      c->decMirrored() ? QStringLiteral("+/-") : QStringLiteral("+/+"));
    return pairs.join(QStringLiteral(", "));
}

QString mountLine(const LogEquipment& e, const QString& extra) {
    QStringList parts{pair(QStringLiteral("Mount"), e.mount),
                      e.mountConnected ? QStringLiteral("connected")
                                       : QStringLiteral("not connected")};
    if (!extra.isEmpty())
        parts << extra;
    return parts.join(QStringLiteral(", "));
}

QString onOff(bool on) {
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString rate(double arcsecPerSec) {
    return logNumber(arcsecPerSec, 1) + QStringLiteral(" a-s/s");
}

void addLaw(LogParams& params, const QString& axis, const QString& description) {
    const QStringList parts = description.split(QStringLiteral(", "));
    params.emplace_back(axis + QStringLiteral(" guide algorithm"), parts.value(0));
    for (qsizetype i = 1; i < parts.size(); ++i) {
        const qsizetype at = parts[i].indexOf(QStringLiteral(" = "));
        if (at > 0)
            params.emplace_back(axis + QLatin1Char(' ') + parts[i].left(at), parts[i].mid(at + 3));
    }
}
} // namespace

QStringList calibrationHeaderLines(const QDateTime& start, const LogEquipment& equipment,
                                   const LogStar& star) {
    return {QStringLiteral("Calibration Begins at ") + logTime(start),
            cameraLine(equipment),
            pair(QStringLiteral("Exposure"), exposureText(equipment)),
            mountLine(equipment, {}),
            scaleLine(equipment),
            declinationLine(equipment),
            starLine(star),
            QLatin1String(kCalibrationColumns)};
}

QStringList guidingHeaderLines(const QDateTime& start, const LogEquipment& equipment,
                               const LogGuiding& g, const LogStar& star) {
    const QString backlash =
        QStringLiteral("Backlash comp = %1, pulse = %2 ms, RA pulse = %3 ms")
            .arg(g.decBacklashMs > 0 || g.raBacklashMs > 0 ? QStringLiteral("enabled")
                                                           : QStringLiteral("disabled"),
                 logNumber(g.decBacklashMs, 0), logNumber(g.raBacklashMs, 0));
    QStringList speeds{pair(QStringLiteral("RA Guide Speed"), rate(g.raGuideRate)),
                       pair(QStringLiteral("Dec Guide Speed"), rate(g.decGuideRate)),
                       pair(QStringLiteral("Reverse EW"), onOff(g.reverseEW)),
                       pair(QStringLiteral("Reverse NS"), onOff(g.reverseNS))};
    if (g.calibration && g.calibration->decDeg)
        speeds << pair(QStringLiteral("Cal Dec"), logNumber(*g.calibration->decDeg, 1));
    if (g.calibration && g.calibration->time.isValid())
        speeds << pair(QStringLiteral("Timestamp"), logTime(g.calibration->time.toLocalTime()));
    return {
        QStringLiteral("Guiding Begins at ") + logTime(start),
        scaleLine(equipment),
        pair(QStringLiteral("Search region"), QString::number(equipment.searchRegionPx) + " px"),
        cameraLine(equipment),
        pair(QStringLiteral("Exposure"), exposureText(equipment)),
        mountLine(equipment, QStringLiteral("guiding enabled, ") +
                                 (g.calibration ? calibrationText(g.calibration)
                                                : QStringLiteral("calibration = none"))),
        pair(QStringLiteral("X guide algorithm"), g.raLaw),
        pair(QStringLiteral("Y guide algorithm"), g.decLaw),
        backlash,
        pair(QStringLiteral("DEC guide mode"), g.decGuideMode),
        speeds.join(QStringLiteral(", ")),
        declinationLine(equipment),
        starLine(star),
        QLatin1String(kFrameColumns)};
}

LogParams guidingParams(const LogEquipment& equipment, const LogGuiding& g) {
    LogParams params{{QStringLiteral("Exposure"), exposureText(equipment)},
                     {QStringLiteral("Search region"),
                      QString::number(equipment.searchRegionPx) + QStringLiteral(" px")}};
    addLaw(params, QStringLiteral("X"), g.raLaw);
    addLaw(params, QStringLiteral("Y"), g.decLaw);
    params.emplace_back(QStringLiteral("DEC guide mode"), g.decGuideMode);
    params.emplace_back(QStringLiteral("RA backlash"), logNumber(g.raBacklashMs, 0) + " ms");
    params.emplace_back(QStringLiteral("Dec backlash"), logNumber(g.decBacklashMs, 0) + " ms");
    params.emplace_back(QStringLiteral("RA Guide Speed"), rate(g.raGuideRate));
    params.emplace_back(QStringLiteral("Dec Guide Speed"), rate(g.decGuideRate));
    params.emplace_back(QStringLiteral("Reverse EW"), onOff(g.reverseEW));
    params.emplace_back(QStringLiteral("Reverse NS"), onOff(g.reverseNS));
    params.emplace_back(QStringLiteral("Calibration"), calibrationText(g.calibration));
    return params;
}

QStringList parameterChanges(const LogParams& before, const LogParams& after) {
    QStringList lines;
    for (const auto& [name, value] : after) {
        const auto was = std::find_if(before.begin(), before.end(),
                                      [&](const auto& p) { return p.first == name; });
        if (was == before.end() || was->second != value)
            lines << parameterInfo(name, value);
    }
    return lines;
}
