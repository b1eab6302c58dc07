#include "server/calibration_data.h"

namespace {
QJsonObject axes(const Calibration& c) {
    QJsonObject o{{"xAngle", c.raAngle}, {"xRate", c.raSpeed}, {"xParity", "+"}};
    if (c.hasDec) {
        o.insert("yAngle", c.decAngle);
        o.insert("yRate", c.decSpeed);
        o.insert("yParity", c.decMirrored() ? "-" : "+");
    }
    return o;
}
} // namespace

QJsonObject calibrationPointingJson(const Calibration& c) {
    QJsonObject o;
    if (c.decDeg)
        o.insert("Declination", *c.decDeg);
    if (c.hourAngleH)
        o.insert("HourAngle", *c.hourAngleH);
    if (c.pierSide != PierSide::Unknown)
        o.insert("PierSide", pierSideName(c.pierSide));
    return o;
}

QJsonObject calibrationDataJson(const std::optional<Calibration>& made, const Calibration* inUse) {
    if (!made)
        return {{"calibrated", false}};
    QJsonObject o = axes(*made);
    o.insert("calibrated", true);
    o.insert("timestamp", made->time.toString(Qt::ISODate));
    o.insert("pixelScale", made->arcsecPerPixelX);
    o.insert("hasDec", made->hasDec);
    const QJsonObject where = calibrationPointingJson(*made);
    if (where.contains("Declination"))
        o.insert("declination", where["Declination"]);
    if (where.contains("HourAngle"))
        o.insert("hourAngle", where["HourAngle"]);
    o.insert("pierSide", pierSideName(made->pierSide));
    if (inUse)
        o.insert("inUse", axes(*inUse));
    return o;
}
