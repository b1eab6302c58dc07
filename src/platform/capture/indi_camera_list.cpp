#include "platform/capture/indi_camera_list.h"

#include "platform/telescope/indi_connection.h"
#include "platform/telescope/indi_mount_list.h"

#include <algorithm>
#include <chrono>

namespace {
using Clock = std::chrono::steady_clock;

// After CONNECTION turns on, a driver defines the connected device's properties; they count as
// complete when none has come for this long.
constexpr int settleQuietMs = 200;
// Kept back from the listing's time for switching a looked-at camera off again.
constexpr int switchOffMs = 300;

enum class GuideChip { Yes, No, Unknown };

int millisecondsUntil(Clock::time_point t) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(t - Clock::now());
    return int(std::max<long long>(0, left.count()));
}

bool guideChipDefined(const IndiClient& client, const QString& device) {
    bool defined = false;
    client.read([&](const IndiSnapshot& s) {
        defined = s.property(device, QString::fromLatin1(indiGuideChip.exposure));
    });
    return defined;
}

// Switches the device on, waits for its chips to be defined, and switches it off again.
GuideChip lookWhileSwitchedOn(IndiClient& client, const QString& device,
                              Clock::time_point deadline) {
    const int left = millisecondsUntil(deadline) - switchOffMs;
    if (left <= 0)
        return GuideChip::Unknown;
    const IndiSwitchOutcome on = switchIndiConnection(client, device, true, left);
    if (on == IndiSwitchOutcome::Refused || on == IndiSwitchOutcome::LinkLost)
        return on == IndiSwitchOutcome::Refused ? GuideChip::No : GuideChip::Unknown;
    if (on == IndiSwitchOutcome::Done) {
        const QString main = QString::fromLatin1(indiMainChip.exposure);
        const QString guide = QString::fromLatin1(indiGuideChip.exposure);
        client.waitForDefinitions(
            [&](const IndiSnapshot& s) {
                return s.property(device, main) || s.property(device, guide);
            },
            settleQuietMs, millisecondsUntil(deadline) - switchOffMs);
    }
    // Also after a time-out: a device still connecting is switched off once it has.
    const bool found = on == IndiSwitchOutcome::Done && guideChipDefined(client, device);
    switchIndiConnection(client, device, false, std::max(switchOffMs, millisecondsUntil(deadline)));
    if (on != IndiSwitchOutcome::Done)
        return GuideChip::Unknown;
    return found ? GuideChip::Yes : GuideChip::No;
}

GuideChip lookForGuideChip(IndiClient& client, const QString& device, Clock::time_point deadline) {
    if (indiConnectionOn(client, device))
        return guideChipDefined(client, device) ? GuideChip::Yes : GuideChip::No;
    return lookWhileSwitchedOn(client, device, deadline);
}
} // namespace

QString indiCameraEntryName(const IndiCameraEntry& entry) {
    return entry.chip == IndiChipChoice::Guide ? entry.device + QStringLiteral(" guide chip")
                                               : entry.device;
}

std::vector<IndiCameraEntry> indiCameraEntries(const std::vector<QString>& cameras,
                                               const std::vector<QString>& withGuideChip) {
    std::vector<IndiCameraEntry> entries;
    for (const QString& camera : cameras)
        entries.push_back({camera, IndiChipChoice::Main});
    for (const QString& camera : cameras)
        if (std::find(withGuideChip.begin(), withGuideChip.end(), camera) != withGuideChip.end())
            entries.push_back({camera, IndiChipChoice::Guide});
    return entries;
}

IndiCameraListing listIndiCameraEntries(const IndiAddress& server, int timeoutMs) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    IndiCameraListing listing;
    IndiClient client;
    if (!describeIndiServer(client, server.host, server.port, timeoutMs, &listing.error))
        return listing;
    std::vector<QString> cameras, withGuideChip;
    client.read([&](const IndiSnapshot& s) { cameras = indiDevicesWith(s, indiCcdInterface); });
    for (const QString& camera : cameras) {
        const GuideChip found = lookForGuideChip(client, camera, deadline);
        if (found == GuideChip::Yes)
            withGuideChip.push_back(camera);
        else if (found == GuideChip::Unknown)
            listing.notes.append(
                QStringLiteral("Could not look in time whether \"%1\" has a guide chip; connect it "
                               "on the INDI server before starting Orvalis to have it listed")
                    .arg(camera));
    }
    client.disconnectServer();
    listing.entries = indiCameraEntries(cameras, withGuideChip);
    return listing;
}
