#include "platform/telescope/telescope_registry.h"

void TelescopeRegistry::add(const QString& prefix, Creator creator) {
    creators_.emplace_back(prefix, std::move(creator));
}

std::unique_ptr<TelescopeDriver> TelescopeRegistry::create(const QString& identifier) {
    for (const auto& [prefix, creator] : creators_) {
        if (!prefix.isEmpty() && identifier.startsWith(prefix)) {
            auto driver = creator(identifier);
            if (!driver)
                break;
            return driver;
        }
    }
    throw TelescopeError(
        QStringLiteral("No telescope driver for \"%1\"").arg(identifier).toStdString());
}
