#pragma once

#include "platform/telescope/alpaca_address.h"
#include "platform/telescope/alpaca_client.h"
#include "platform/telescope/telescope.h"

#include <QUrl>
#include <functional>

class TelescopeRegistry;

// A telescope served by an Alpaca device over HTTP. Creating it sends nothing; each member
// sends at most two requests, each ending by its deadline. The device may be shared with other
// programs: this driver holds a link from a successful setConnected(true) until
// setConnected(false) or until a request gets no reply (TelescopeLinkLost); after that every
// member fails at once, and Connected() is false, until setConnected(true) succeeds again.
class AlpacaTelescope : public TelescopeDriver {
public:
    // Shows a web page; false when it could not be shown.
    using UrlOpener = std::function<bool(const QUrl&)>;

    // opener: empty for the desktop's web browser.
    explicit AlpacaTelescope(AlpacaAddress address, AlpacaTimeouts timeouts = {},
                             UrlOpener opener = {});

    // false without a request while no link is held.
    bool Connected() override;
    // true: asks whether the device is connected and switches it on if not. false: switches
    // the device off only when this driver switched it on and its link still answers; drops
    // the link either way, sending nothing when none is held.
    void setConnected(bool connected) override;
    bool CanPulseGuide() override;
    // Durations are rounded to whole milliseconds; one that rounds to 0 or less sends nothing.
    // Returns when the device has answered, which it may do before the pulse has ended.
    void PulseGuide(int direction, double durationMs) override;
    // The device's IsPulseGuiding, for either axis: Alpaca tells only whether any pulse runs.
    std::optional<bool> pulseRunning(int direction) override;
    // The device's Declination; nullopt when its reply is not a number from -90 to 90.
    std::optional<double> declination() override;
    // Declination, RightAscension with SiderealTime, SiteLatitude and SideOfPier; a member
    // the device does not implement leaves its part unknown. Up to five requests.
    MountPointing pointing() override;
    // GuideRateRightAscension and GuideRateDeclination (degrees per second on the wire).
    MountEquipment reportedEquipment() override;
    // Sent with Raw=false: the device adds its own framing around the text.
    void CommandBlind(const QString& command) override;
    // Opens the device's own settings page in the web browser and returns at once.
    void SetupDialog() override;

    const AlpacaAddress& address() const { return address_; }

private:
    QString path(const char* member) const;
    bool readBool(const char* member);
    std::optional<double> optionalNumber(const char* member);
    QJsonValue request(const char* member, const AlpacaClient::Form* form, int totalMs = 0);
    void put(const char* member, const AlpacaClient::Form& form, int totalMs = 0);

    AlpacaAddress address_;
    AlpacaClient client_;
    UrlOpener opener_;
    bool held_ = false;       // a link is held
    bool switchedOn_ = false; // this driver switched the device on and has not switched it off
    bool lost_ = false;       // a request got no reply since the last setConnected(true)
};

// http://host:port/setup/v1/telescope/N/setup
QUrl alpacaSetupUrl(const AlpacaAddress& address);

// Lets `registry` create AlpacaTelescope drivers from "alpaca://" identifiers.
void registerAlpacaTelescopes(TelescopeRegistry& registry);
