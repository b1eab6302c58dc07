#pragma once

#include "platform/telescope/alpaca_address.h"
#include "platform/telescope/alpaca_client.h"
#include "platform/telescope/telescope.h"

#include <QUrl>
#include <functional>

class TelescopeRegistry;

// A telescope served by an Alpaca device over HTTP. Creating it sends nothing; each member
// sends one request and waits for its reply within the time-outs.
class AlpacaTelescope : public TelescopeDriver {
public:
    // Shows a web page; false when it could not be shown.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // opener: empty for the desktop's web browser.
    explicit AlpacaTelescope(AlpacaAddress address, AlpacaTimeouts timeouts = {},
                             UrlOpener opener = {});

    bool Connected() override;
    void setConnected(bool connected) override;
    bool CanPulseGuide() override;
    // Durations are rounded to whole milliseconds; one that rounds to 0 or less sends nothing.
    // Returns when the device has answered, which it may do before the pulse has ended.
    void PulseGuide(int direction, double durationMs) override;
    // Sent with Raw=false: the device adds its own framing around the text.
    void CommandBlind(const QString& command) override;
    // Opens the device's own settings page in the web browser and returns at once.
    void SetupDialog() override;

    const AlpacaAddress& address() const { return address_; }

private:
    QString path(const char* member) const;
    bool readBool(const char* member);

    AlpacaAddress address_;
    AlpacaClient client_;
    UrlOpener opener_;
};

// http://host:port/setup/v1/telescope/N/setup
QUrl alpacaSetupUrl(const AlpacaAddress& address);

// Lets `registry` create AlpacaTelescope drivers from "alpaca://" identifiers.
void registerAlpacaTelescopes(TelescopeRegistry& registry);
