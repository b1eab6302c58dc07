#include "platform/telescope/indi_mount_report.h"

#include "mount/sky_angles.h"

#include <cmath>

namespace {
std::optional<double> number(const IndiSnapshot& s, const QString& device, const char* property,
                             const char* element) {
    const IndiVector* p = s.property(device, QLatin1String(property));
    const IndiElement* e = p ? p->element(QLatin1String(element)) : nullptr;
    if (!e || !std::isfinite(e->value))
        return std::nullopt;
    return e->value;
}

std::optional<double> positive(std::optional<double> v) {
    return v && *v > 0 ? v : std::nullopt;
}

PierSide pierSide(const IndiSnapshot& s, const QString& device) {
    const IndiVector* p = s.property(device, QStringLiteral("TELESCOPE_PIER_SIDE"));
    if (!p)
        return PierSide::Unknown;
    if (p->isOn(QStringLiteral("PIER_EAST")))
        return PierSide::East;
    if (p->isOn(QStringLiteral("PIER_WEST")))
        return PierSide::West;
    return PierSide::Unknown;
}
} // namespace

MountPointing indiMountPointing(const IndiSnapshot& s, const QString& device,
                                const QDateTime& utc) {
    MountPointing p;
    const auto dec = number(s, device, "EQUATORIAL_EOD_COORD", "DEC");
    if (dec && std::abs(*dec) <= 90)
        p.decDeg = dec;
    p.pierSide = pierSide(s, device);
    const auto ra = number(s, device, "EQUATORIAL_EOD_COORD", "RA");
    const auto lat = number(s, device, "GEOGRAPHIC_COORD", "LAT");
    const auto lon = number(s, device, "GEOGRAPHIC_COORD", "LONG");
    auto lst = number(s, device, "TIME_LST", "LST");
    if (!lst && lon)
        lst = localSiderealHours(utc, *lon);
    if (ra && lst)
        p.hourAngleH = hourAngleHours(*lst, *ra);
    if (p.decDeg && p.hourAngleH && lat && std::abs(*lat) <= 90)
        p.altitudeDeg = altitudeDeg(*lat, *p.decDeg, *p.hourAngleH);
    return p;
}

MountEquipment indiMountEquipment(const IndiSnapshot& s, const QString& device) {
    MountEquipment e;
    if (const auto we = positive(number(s, device, "GUIDE_RATE", "GUIDE_RATE_WE")))
        e.raGuideRate = *we * kSiderealArcsecPerSec;
    if (const auto ns = positive(number(s, device, "GUIDE_RATE", "GUIDE_RATE_NS")))
        e.decGuideRate = *ns * kSiderealArcsecPerSec;
    e.guideFocalLengthMm = positive(number(s, device, "TELESCOPE_INFO", "GUIDER_FOCAL_LENGTH"));
    return e;
}
