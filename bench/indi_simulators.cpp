#include "indi_simulators.h"

#include "mount/sky_angles.h"
#include "platform/telescope/indi_property.h"

#include <QDateTime>
#include <cmath>

namespace {
constexpr int kAnswerMs = 10000;
} // namespace

IndiSimulators::IndiSimulators(int port) {
    if (!client_.connectServer(QStringLiteral("localhost"), port, {}, 5000))
        fail(QStringLiteral("cannot reach indiserver on port %1").arg(port));
}

bool IndiSimulators::fail(const QString& why) {
    problem_ = why;
    return false;
}

bool IndiSimulators::defined(const QString& device, const char* property) {
    const QString name = QString::fromLatin1(property);
    const auto met = client_.waitUntil(
        [&](const IndiSnapshot& s) { return s.property(device, name) != nullptr; }, kAnswerMs);
    return met == IndiClient::Wait::Met ||
           fail(QStringLiteral("%1 has no property %2").arg(device, name));
}

std::optional<double> IndiSimulators::number(const QString& device, const char* property,
                                             const char* element) {
    std::optional<double> value;
    client_.read([&](const IndiSnapshot& s) {
        if (const IndiVector* p = s.property(device, QString::fromLatin1(property)))
            if (const IndiElement* e = p->element(QString::fromLatin1(element)))
                value = e->value;
    });
    return value;
}

bool IndiSimulators::sendNumbers(const QString& device, const char* property,
                                 const std::vector<std::pair<const char*, double>>& values) {
    if (!defined(device, property))
        return false;
    IndiVector change = vectorNamed(device, property, IndiKind::Number);
    for (const auto& [name, value] : values)
        change.elements.push_back(numberElement(name, value));
    return client_.send(change) || fail(QStringLiteral("the link to indiserver is down"));
}

bool IndiSimulators::sendSwitch(const QString& device, const char* property, const char* element) {
    if (!defined(device, property))
        return false;
    IndiVector change = vectorNamed(device, property, IndiKind::Switch);
    change.elements = {switchElement(element, true)};
    return client_.send(change) || fail(QStringLiteral("the link to indiserver is down"));
}

bool IndiSimulators::connect(const QString& device) {
    if (!sendSwitch(device, "CONNECTION", "CONNECT"))
        return false;
    const auto met = client_.waitUntil(
        [&](const IndiSnapshot& s) {
            const IndiVector* p = s.property(device, QStringLiteral("CONNECTION"));
            return p && p->isOn(QStringLiteral("CONNECT")) && p->state == IndiState::Ok;
        },
        kAnswerMs);
    return met == IndiClient::Wait::Met || fail(device + QStringLiteral(" did not connect"));
}

bool IndiSimulators::setGuideRate(double siderealMultiple) {
    if (!sendNumbers(kMountDevice, "GUIDE_RATE",
                     {{"GUIDE_RATE_WE", siderealMultiple}, {"GUIDE_RATE_NS", siderealMultiple}}))
        return false;
    const auto met = client_.waitUntil(
        [&](const IndiSnapshot& s) {
            const IndiVector* p = s.property(kMountDevice, QStringLiteral("GUIDE_RATE"));
            const IndiElement* we = p ? p->element(QStringLiteral("GUIDE_RATE_WE")) : nullptr;
            return we && qFuzzyCompare(we->value, siderealMultiple);
        },
        kAnswerMs);
    return met == IndiClient::Wait::Met || fail(QStringLiteral("the guide rate was not taken"));
}

bool IndiSimulators::setMountPollMs(int ms) {
    if (!sendNumbers(kMountDevice, "POLLING_PERIOD", {{"PERIOD_MS", ms}}))
        return false;
    const auto met = client_.waitUntil(
        [&](const IndiSnapshot& s) {
            const IndiVector* p = s.property(kMountDevice, QStringLiteral("POLLING_PERIOD"));
            const IndiElement* e = p ? p->element(QStringLiteral("PERIOD_MS")) : nullptr;
            return e && qFuzzyCompare(e->value, double(ms));
        },
        kAnswerMs);
    return met == IndiClient::Wait::Met || fail(QStringLiteral("the polling period was not taken"));
}

bool IndiSimulators::slewToDec(double decDeg, int withinMs) {
    const char* coord = "EQUATORIAL_EOD_COORD";
    if (!defined(kMountDevice, coord))
        return false;
    const std::optional<double> ra = number(kMountDevice, coord, "RA");
    return ra ? slewTo(*ra, decDeg, withinMs)
              : fail(QStringLiteral("the mount tells no right ascension"));
}

bool IndiSimulators::slewTo(double raH, double decDeg, int withinMs) {
    const char* coord = "EQUATORIAL_EOD_COORD";
    if (!defined(kMountDevice, coord) || !sendSwitch(kMountDevice, "ON_COORD_SET", "TRACK") ||
        !sendNumbers(kMountDevice, coord, {{"RA", raH}, {"DEC", decDeg}}))
        return false;
    const auto met = client_.waitUntil(
        [&](const IndiSnapshot& s) {
            const IndiVector* p = s.property(kMountDevice, QString::fromLatin1(coord));
            const IndiElement* ra = p ? p->element(QStringLiteral("RA")) : nullptr;
            const IndiElement* dec = p ? p->element(QStringLiteral("DEC")) : nullptr;
            return p && p->state != IndiState::Busy && ra && dec &&
                   std::abs(dec->value - decDeg) < 0.01 &&
                   std::abs(std::remainder(ra->value - raH, 24.0)) < 0.01;
        },
        withinMs);
    return met == IndiClient::Wait::Met ||
           fail(QStringLiteral("the slew to RA %1 h, Dec %2 did not end").arg(raH).arg(decDeg));
}

double IndiSimulators::siderealHours() {
    const double longitude =
        number(kMountDevice, "GEOGRAPHIC_COORD", "LONG").value_or(0); // degrees east
    return localSiderealHours(QDateTime::currentDateTimeUtc(), longitude);
}
