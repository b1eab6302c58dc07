#include "platform/telescope/alpaca_telescope.h"

#include "mount/sky_angles.h"
#include "platform/telescope/telescope_registry.h"

#include <QDesktopServices>
#include <climits>
#include <cmath>

namespace {
[[noreturn]] void fail(const QString& text) {
    throw TelescopeError(text.toStdString());
}

QString boolText(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}
} // namespace

AlpacaTelescope::AlpacaTelescope(AlpacaAddress address, AlpacaTimeouts timeouts, UrlOpener opener)
    : address_(std::move(address)), client_(address_.host, address_.port, timeouts),
      opener_(std::move(opener)) {}

bool AlpacaTelescope::Connected() {
    return held_ && !lost_ && readBool("connected");
}

void AlpacaTelescope::setConnected(bool connected) {
    if (connected) {
        lost_ = false;
        held_ = false;
        if (!readBool("connected")) {
            put("connected", {{QStringLiteral("Connected"), boolText(true)}});
            switchedOn_ = true;
        }
        held_ = true;
        return;
    }
    const bool switchOff = held_ && !lost_ && switchedOn_;
    held_ = false;
    if (switchOff) {
        put("connected", {{QStringLiteral("Connected"), boolText(false)}});
        switchedOn_ = false;
    }
}

bool AlpacaTelescope::CanPulseGuide() {
    return readBool("canpulseguide");
}

void AlpacaTelescope::PulseGuide(int direction, double durationMs) {
    if (direction < guideNorth || direction > guideWest)
        fail(QStringLiteral("Invalid guide direction %1 (0 North, 1 South, 2 East, 3 West)")
                 .arg(direction));
    if (!std::isfinite(durationMs) || durationMs >= double(INT_MAX))
        fail(QStringLiteral("Invalid guide pulse duration %1 ms").arg(durationMs));
    if (durationMs < 0.5) // rounds to no pulse at all
        return;
    const long ms = std::lround(durationMs);
    const AlpacaTimeouts& timeouts = client_.timeouts();
    const long long wait = std::max<long long>(timeouts.callMs, ms + timeouts.pulseExtraMs);
    put("pulseguide",
        {{QStringLiteral("Direction"), QString::number(direction)},
         {QStringLiteral("Duration"), QString::number(ms)}},
        int(std::min<long long>(wait, INT_MAX)));
}

std::optional<bool> AlpacaTelescope::pulseRunning(int) {
    return readBool("ispulseguiding");
}

std::optional<double> AlpacaTelescope::declination() {
    const QJsonValue value = request("declination", nullptr);
    if (!value.isDouble() || !(std::abs(value.toDouble()) <= 90))
        return std::nullopt;
    return value.toDouble();
}

MountPointing AlpacaTelescope::pointing() {
    MountPointing p;
    p.decDeg = declination();
    const auto ra = optionalNumber("rightascension");
    const auto lst = optionalNumber("siderealtime");
    if (ra && lst)
        p.hourAngleH = hourAngleHours(*lst, *ra);
    const auto lat = optionalNumber("sitelatitude");
    if (p.decDeg && p.hourAngleH && lat && std::abs(*lat) <= 90)
        p.altitudeDeg = altitudeDeg(*lat, *p.decDeg, *p.hourAngleH);
    const auto side = optionalNumber("sideofpier");
    if (side == 0.0)
        p.pierSide = PierSide::East;
    else if (side == 1.0)
        p.pierSide = PierSide::West;
    return p;
}

MountEquipment AlpacaTelescope::reportedEquipment() {
    MountEquipment e;
    // Degrees per second on the wire.
    const auto arcsec = [](std::optional<double> degPerSec) -> std::optional<double> {
        if (!degPerSec || !(*degPerSec > 0))
            return std::nullopt;
        return *degPerSec * 3600.0;
    };
    e.raGuideRate = arcsec(optionalNumber("guideraterightascension"));
    e.decGuideRate = arcsec(optionalNumber("guideratedeclination"));
    return e;
}

void AlpacaTelescope::CommandBlind(const QString& command) {
    put("commandblind",
        {{QStringLiteral("Command"), command}, {QStringLiteral("Raw"), boolText(false)}});
}

void AlpacaTelescope::SetupDialog() {
    const QUrl url = alpacaSetupUrl(address_);
    const bool shown = opener_ ? opener_(url) : QDesktopServices::openUrl(url);
    if (!shown)
        fail(QStringLiteral("Cannot open the settings page %1 in the web browser")
                 .arg(url.toString()));
}

QString AlpacaTelescope::path(const char* member) const {
    return QStringLiteral("/api/v1/telescope/%1/%2")
        .arg(address_.deviceNumber)
        .arg(QLatin1String(member));
}

// One request while the link holds; a request that gets no reply loses the link, and a lost
// link fails every request at once. form: nullptr for a GET.
QJsonValue AlpacaTelescope::request(const char* member, const AlpacaClient::Form* form,
                                    int totalMs) {
    if (lost_)
        throw TelescopeLinkLost(QStringLiteral("The Alpaca device at %1 stopped answering; it "
                                               "must be connected again")
                                    .arg(client_.hostPort())
                                    .toStdString());
    try {
        return form ? client_.put(path(member), *form, totalMs) : client_.get(path(member));
    } catch (const TelescopeLinkLost&) {
        lost_ = true;
        throw;
    }
}

void AlpacaTelescope::put(const char* member, const AlpacaClient::Form& form, int totalMs) {
    request(member, &form, totalMs);
}

// A member a device may not implement: its error reply reads as nullopt; a lost link still
// throws.
std::optional<double> AlpacaTelescope::optionalNumber(const char* member) {
    try {
        const QJsonValue value = request(member, nullptr);
        if (value.isDouble() && std::isfinite(value.toDouble()))
            return value.toDouble();
    } catch (const TelescopeLinkLost&) {
        throw;
    } catch (const TelescopeError&) {
    }
    return std::nullopt;
}

bool AlpacaTelescope::readBool(const char* member) {
    const QJsonValue value = request(member, nullptr);
    if (!value.isBool())
        fail(QStringLiteral("The Alpaca device at %1 sent an unreadable reply to %2")
                 .arg(client_.hostPort(), QLatin1String(member)));
    return value.toBool();
}

QUrl alpacaSetupUrl(const AlpacaAddress& address) {
    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(address.host);
    url.setPort(address.port);
    url.setPath(QStringLiteral("/setup/v1/telescope/%1/setup").arg(address.deviceNumber));
    return url;
}

void registerAlpacaTelescopes(TelescopeRegistry& registry) {
    registry.add(QStringLiteral("alpaca://"), [](const QString& identifier) {
        const std::optional<AlpacaAddress> address = parseAlpacaIdentifier(identifier);
        if (!address)
            fail(QStringLiteral("\"%1\" is not an Alpaca telescope (expected "
                                "alpaca://host:port/telescope/number)")
                     .arg(identifier));
        return std::unique_ptr<TelescopeDriver>(std::make_unique<AlpacaTelescope>(*address));
    });
}
