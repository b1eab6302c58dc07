#include "guiding/calibration_store.h"

#include "platform/store/settings_store.h"
#include "platform/telescope/mount_words.h"

#include <cmath>

namespace {
const char* const kKeys[] = {"Time",      "East Angle",   "RA Speed",     "North Angle",
                             "Dec Speed", "Dec Mirrored", "RA Rate",      "Dec Rate",
                             "Scale X",   "Scale Y",      "Guide Output", "RA Path",
                             "Dec Path",  "Declination",  "Hour Angle",   "Pier Side"};

QString optionalNumber(std::optional<double> v) {
    return v ? QString::number(*v, 'g', 10) : QString();
}

// Empty or unreadable text: unknown; a number outside [-limit, limit] too.
std::optional<double> numberFrom(const QString& text, double limit) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || std::abs(v) > limit)
        return std::nullopt;
    return v;
}

QString number(double v) {
    return QString::number(v, 'g', 10);
}

QString pathText(const std::vector<QPointF>& path) {
    QStringList pairs;
    for (const QPointF& p : path)
        pairs.append(QString::number(p.x(), 'f', 3) + ',' + QString::number(p.y(), 'f', 3));
    return pairs.join(' ');
}

std::optional<std::vector<QPointF>> pathFrom(const QString& text) {
    std::vector<QPointF> path;
    for (const QString& pair : text.split(' ', Qt::SkipEmptyParts)) {
        const QStringList xy = pair.split(',');
        bool okX = false, okY = false;
        if (xy.size() != 2)
            return std::nullopt;
        path.emplace_back(xy[0].toDouble(&okX), xy[1].toDouble(&okY));
        if (!okX || !okY)
            return std::nullopt;
    }
    return path;
}

struct Reader {
    SettingsStore& store;
    bool ok = true;
    double value(const char* key) {
        bool converted = false;
        const double v = store.readSetting(kCalibrationSection, key, {}).toDouble(&converted);
        ok = ok && converted && std::isfinite(v);
        return v;
    }
};
} // namespace

void writeCalibration(SettingsStore& store, const Calibration& c) {
    const auto put = [&](const char* key, const QString& text) {
        store.writeSetting(kCalibrationSection, key, text);
    };
    put("East Angle", number(c.raAngle));
    put("RA Speed", number(c.raSpeed));
    put("RA Rate", number(c.raArcsecPerSec()));
    put("North Angle", c.hasDec ? number(c.decAngle) : QString());
    put("Dec Speed", c.hasDec ? number(c.decSpeed) : QString());
    put("Dec Rate", c.hasDec ? number(c.decArcsecPerSec()) : QString());
    put("Dec Mirrored", c.hasDec ? (c.decMirrored() ? "1" : "0") : QString());
    put("Scale X", number(c.arcsecPerPixelX));
    put("Scale Y", number(c.arcsecPerPixelY));
    put("Guide Output", c.guideOutput);
    put("RA Path", pathText(c.raPath));
    put("Dec Path", pathText(c.decPath));
    put("Declination", optionalNumber(c.decDeg));
    put("Hour Angle", optionalNumber(c.hourAngleH));
    put("Pier Side", c.pierSide == PierSide::Unknown ? QString() : pierSideName(c.pierSide));
    // Written last: a calibration only counts once all of it is stored.
    put("Time", c.time.toString(Qt::ISODate));
}

std::optional<Calibration> readCalibration(SettingsStore& store) {
    Calibration c;
    c.time = QDateTime::fromString(store.readSetting(kCalibrationSection, "Time", {}), Qt::ISODate);
    if (!c.time.isValid())
        return std::nullopt;
    Reader in{store};
    c.raAngle = in.value("East Angle");
    c.raSpeed = in.value("RA Speed");
    c.arcsecPerPixelX = in.value("Scale X");
    c.arcsecPerPixelY = in.value("Scale Y");
    c.hasDec = !store.readSetting(kCalibrationSection, "North Angle", {}).isEmpty();
    if (c.hasDec) {
        c.decAngle = in.value("North Angle");
        c.decSpeed = in.value("Dec Speed");
    }
    c.guideOutput = store.readSetting(kCalibrationSection, "Guide Output", {});
    const auto ra = pathFrom(store.readSetting(kCalibrationSection, "RA Path", {}));
    const auto dec = pathFrom(store.readSetting(kCalibrationSection, "Dec Path", {}));
    if (!in.ok || !ra || !dec || !(c.raSpeed > 0) || (c.hasDec && !(c.decSpeed > 0)))
        return std::nullopt;
    c.raPath = *ra;
    c.decPath = *dec;
    c.decDeg = numberFrom(store.readSetting(kCalibrationSection, "Declination", {}), 90);
    c.hourAngleH = numberFrom(store.readSetting(kCalibrationSection, "Hour Angle", {}), 12);
    c.pierSide = pierSideFromName(store.readSetting(kCalibrationSection, "Pier Side", {}));
    return c;
}

void clearCalibration(SettingsStore& store) {
    for (const char* key : kKeys)
        store.writeSetting(kCalibrationSection, key, QString());
}

double calibrationDistance(SettingsStore& store) {
    bool ok = false;
    const double px = store.readSetting(kCalibrationSection, "Distance", {}).toDouble(&ok);
    return ok && px >= 5 && px <= 200 ? px : kCalibrationDistancePx;
}

QString calibrationMismatch(const Calibration& c, double arcsecPerPixelX, double arcsecPerPixelY,
                            const QString& guideOutput) {
    const auto near = [](double a, double b) { return std::fabs(a - b) <= 0.01 * std::fabs(b); };
    if (!near(c.arcsecPerPixelX, arcsecPerPixelX) || !near(c.arcsecPerPixelY, arcsecPerPixelY))
        return QStringLiteral("The calibration was made at %1\"/px, the image scale is now "
                              "%2\"/px: calibration not used, calibrate again")
            .arg(c.arcsecPerPixelX, 0, 'f', 3)
            .arg(arcsecPerPixelX, 0, 'f', 3);
    if (c.guideOutput != guideOutput)
        return QStringLiteral("The calibration was made with %1, the guide output is now %2: "
                              "calibration not used, calibrate again")
            .arg(guideOutputInWords(c.guideOutput), guideOutputInWords(guideOutput));
    return {};
}

QStringList calibrationSummary(const Calibration& c) {
    QStringList lines;
    lines << QStringLiteral("Made %1 with %2 at %3\"/px")
                 .arg(c.time.toLocalTime().toString(Qt::ISODate), c.guideOutput)
                 .arg(c.arcsecPerPixelX, 0, 'f', 3);
    lines << QStringLiteral("RA: East moves the star at %1 deg, %2 px/s (%3\"/s)")
                 .arg(c.raAngle, 0, 'f', 1)
                 .arg(c.raSpeed, 0, 'f', 2)
                 .arg(c.raArcsecPerSec(), 0, 'f', 2);
    if (!c.hasDec) {
        lines << QStringLiteral("Dec: not calibrated (Declination Corrections was off)");
        if (const QString where = calibrationPointingText(c); !where.isEmpty())
            lines << where;
        return lines;
    }
    lines << QStringLiteral("Dec: North moves the star at %1 deg, %2 px/s (%3\"/s)%4")
                 .arg(c.decAngle, 0, 'f', 1)
                 .arg(c.decSpeed, 0, 'f', 2)
                 .arg(c.decArcsecPerSec(), 0, 'f', 2)
                 .arg(c.decMirrored() ? QStringLiteral(", mirrored") : QString());
    lines << QStringLiteral("Orthogonality error: %1 deg").arg(c.orthogonalityError(), 0, 'f', 1);
    if (const QString where = calibrationPointingText(c); !where.isEmpty())
        lines << where;
    return lines;
}

QString calibrationPointingText(const Calibration& c) {
    QStringList parts;
    if (c.decDeg)
        parts << QStringLiteral("Dec %1%2 deg")
                     .arg(*c.decDeg < 0 ? "-" : "+")
                     .arg(std::abs(*c.decDeg), 0, 'f', 1);
    if (c.hourAngleH)
        parts << QStringLiteral("hour angle %1%2 h")
                     .arg(*c.hourAngleH < 0 ? "-" : "+")
                     .arg(std::abs(*c.hourAngleH), 0, 'f', 2);
    if (c.pierSide != PierSide::Unknown)
        parts << QStringLiteral("pier side %1").arg(pierSideName(c.pierSide));
    return parts.isEmpty() ? QString() : QStringLiteral("Mount at ") + parts.join(", ");
}
