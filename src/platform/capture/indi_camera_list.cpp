#include "platform/capture/indi_camera_list.h"

#include "platform/telescope/indi_connection.h"
#include "platform/telescope/indi_mount_list.h"

#include <algorithm>
#include <chrono>
#include <map>

namespace {
using Clock = std::chrono::steady_clock;

// After CONNECTION turns on, a driver defines the connected device's properties; they count as
// complete when none has come for this long.
constexpr int settleQuietMs = 200;
// Kept back from the listing's time for switching looked-at cameras off again.
constexpr int switchOffMs = 300;

int millisecondsUntil(Clock::time_point t) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(t - Clock::now());
    return int(std::max<long long>(0, left.count()));
}

bool guideChipDefined(const IndiSnapshot& s, const QString& device) {
    return s.property(device, QString::fromLatin1(indiGuideChip.exposure));
}

bool anyChipDefined(const IndiSnapshot& s, const QString& device) {
    return guideChipDefined(s, device) ||
           s.property(device, QString::fromLatin1(indiMainChip.exposure));
}

using Answers = std::map<QString, IndiSwitchOutcome>;

// Sends every device the CONNECTION request at once and waits until each has answered or
// timeoutMs has passed; the answers that came, by device.
Answers switchAll(IndiClient& client, const std::vector<QString>& devices, bool on, int timeoutMs) {
    quint64 sentAt = 0;
    client.read([&](const IndiSnapshot& s) { sentAt = s.revision; });
    for (const QString& device : devices)
        client.send(indiConnectionRequest(device, on));
    Answers answers;
    client.waitUntil(
        [&](const IndiSnapshot& s) {
            answers.clear();
            for (const QString& device : devices)
                if (const auto answer = indiConnectionAnswer(s, device, on, sentAt))
                    answers[device] = *answer;
            return answers.size() == devices.size();
        },
        timeoutMs);
    return answers;
}

// Switches the cameras on together, notes those that show a guide chip once their properties
// have come, and switches them all off again, also those that have not answered: a camera
// still connecting is switched off once it has. `unknown` gets those that did not answer.
std::vector<QString> lookWhileSwitchedOn(IndiClient& client, const std::vector<QString>& cameras,
                                         Clock::time_point deadline,
                                         std::vector<QString>& unknown) {
    if (cameras.empty() || millisecondsUntil(deadline) <= switchOffMs) {
        unknown = cameras;
        return {};
    }
    const Answers answers =
        switchAll(client, cameras, true, millisecondsUntil(deadline) - switchOffMs);
    auto connected = [&](const QString& camera) {
        const auto a = answers.find(camera);
        return a != answers.end() && a->second == IndiSwitchOutcome::Done;
    };
    client.waitForDefinitions(
        [&](const IndiSnapshot& s) {
            return std::all_of(cameras.begin(), cameras.end(), [&](const QString& camera) {
                return !connected(camera) || anyChipDefined(s, camera);
            });
        },
        settleQuietMs, millisecondsUntil(deadline) - switchOffMs);
    std::vector<QString> found;
    client.read([&](const IndiSnapshot& s) {
        for (const QString& camera : cameras)
            if (!answers.count(camera))
                unknown.push_back(camera);
            else if (connected(camera) && guideChipDefined(s, camera))
                found.push_back(camera);
    });
    switchAll(client, cameras, false, std::max(switchOffMs, millisecondsUntil(deadline)));
    return found;
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
    std::vector<QString> cameras, withGuideChip, switchedOff, unknown;
    client.read([&](const IndiSnapshot& s) {
        cameras = indiDevicesWith(s, indiCcdInterface);
        for (const QString& camera : cameras) {
            const IndiVector* connection = s.property(camera, QStringLiteral("CONNECTION"));
            if (!connection || !connection->isOn(QStringLiteral("CONNECT")))
                switchedOff.push_back(camera);
            else if (guideChipDefined(s, camera))
                withGuideChip.push_back(camera);
        }
    });
    for (const QString& camera : lookWhileSwitchedOn(client, switchedOff, deadline, unknown))
        withGuideChip.push_back(camera);
    for (const QString& camera : unknown)
        listing.notes.append(
            QStringLiteral("Could not look in time whether \"%1\" has a guide chip; connect it on "
                           "the INDI server before starting Orvalis to have it listed")
                .arg(camera));
    client.disconnectServer();
    listing.entries = indiCameraEntries(cameras, withGuideChip);
    return listing;
}
