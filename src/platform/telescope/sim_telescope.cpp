#include "platform/telescope/sim_telescope.h"

#include "platform/telescope/telescope_registry.h"
#include "sim/sky_simulator.h"

#include <QRegularExpression>
#include <cmath>

void SimTelescope::PulseGuide(int direction, double durationMs) {
    if (!connected_)
        throw TelescopeError("The simulated telescope is not connected");
    if (direction < guideNorth || direction > guideWest || !std::isfinite(durationMs))
        throw TelescopeError("Invalid guide pulse");
    sky_.pulse(direction, static_cast<int>(std::lround(std::min(durationMs, 1e6))));
}

std::optional<double> SimTelescope::declination() {
    return pointing().decDeg;
}

MountPointing SimTelescope::pointing() {
    MountPointing p;
    if (const auto where = sky_.pointing()) {
        p.decDeg = where->first;
        p.pierSide = where->second ? PierSide::West : PierSide::East;
    }
    return p;
}

void SimTelescope::CommandBlind(const QString& command) {
    static const QRegularExpression guide(QStringLiteral("^:?Mg([nsew])(\\d{1,7})#?$"));
    const QRegularExpressionMatch m = guide.match(command);
    if (!m.hasMatch())
        throw TelescopeError(QStringLiteral("Unknown command \"%1\"").arg(command).toStdString());
    const int direction = QStringLiteral("nsew").indexOf(m.captured(1));
    PulseGuide(direction, m.captured(2).toDouble());
}

void SimTelescope::SetupDialog() {
    if (!setup_)
        throw TelescopeError("No settings dialog is available for the simulated telescope");
    setup_(sky_, store_);
}

void registerSimTelescope(TelescopeRegistry& registry, SkySimulator& sky, SettingsStore& store,
                          SimTelescopeSetup setup) {
    registry.add(kSimTelescopeId, [&sky, &store, setup = std::move(setup)](const QString& id) {
        return id == kSimTelescopeId ? std::make_unique<SimTelescope>(sky, store, setup) : nullptr;
    });
}
