#include "platform/telescope/indi_registration.h"

#include "platform/telescope/indi_telescope.h"
#include "platform/telescope/telescope_registry.h"

void registerIndiTelescopes(TelescopeRegistry& registry, IndiSetupDialogRunner setup) {
    registry.add(QStringLiteral("indi://"), [setup = std::move(setup)](const QString& identifier) {
        const std::optional<IndiAddress> address = parseIndiIdentifier(identifier);
        if (!address)
            throw TelescopeError(QStringLiteral("\"%1\" is no INDI mount: expected "
                                                "indi://HOST:PORT/DEVICE")
                                     .arg(identifier)
                                     .toStdString());
        auto driver = std::make_unique<IndiTelescope>(*address);
        driver->setSetupDialog(setup);
        return std::unique_ptr<TelescopeDriver>(std::move(driver));
    });
}
