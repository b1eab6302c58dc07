#pragma once

#include "platform/capture/indi_camera.h"

#include <QString>
#include <QStringList>
#include <vector>

// One INDI camera entry of the Camera menu: a device and one of its chips.
struct IndiCameraEntry {
    QString device;
    IndiChipChoice chip = IndiChipChoice::Main;
    bool operator==(const IndiCameraEntry&) const = default;
};

// The entry's name in the Camera menu: the device name, followed by " guide chip" for the guide
// chip.
QString indiCameraEntryName(const IndiCameraEntry& entry);

// The Camera menu's order: every camera's main chip in the order given, then the guide chips of
// those in `withGuideChip`, in the same order. A camera's main chip keeps its place whether or
// not guide chips are listed.
std::vector<IndiCameraEntry> indiCameraEntries(const std::vector<QString>& cameras,
                                               const std::vector<QString>& withGuideChip);

struct IndiCameraListing {
    std::vector<IndiCameraEntry> entries;
    QString error;     // why the server could not be listed (or the link dropped); else empty
    QStringList notes; // cameras whose guide chip could not be looked for, and why
};

// The cameras of the server (DRIVER_INFO's CCD interface) as Camera menu entries, all within
// timeoutMs. A guide chip shows only while its camera is connected: a camera no client has
// connected is switched on for a moment to look and switched off again. A camera that cannot
// be looked at in time is listed without its guide chip, with a note.
IndiCameraListing listIndiCameraEntries(const IndiAddress& server, int timeoutMs);
