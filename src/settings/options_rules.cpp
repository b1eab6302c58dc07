#include "settings/options_rules.h"

#include "platform/parport/parport_address.h"
#include "platform/serial/com_ports.h"
#include "settings/convert.h"

namespace {
constexpr int kFirstCom = 3;

bool isComIndex(int index) {
    return index >= kFirstCom;
}
} // namespace

QString lxPortCaption(int index) {
    if (index < 0 || index >= kLXPortEntries)
        return QString();
    if (index < kFirstCom)
        return QStringLiteral("LPT%1").arg(index + 1);
    return QStringLiteral("COM%1").arg(index - kFirstCom + 1);
}

QString lxPortDevice(int index, const QString& procRoot) {
    if (index < 0 || index >= kLXPortEntries)
        return QString();
    if (index < kFirstCom)
        return parportDevice(kLptAddresses[static_cast<size_t>(index)], procRoot);
    return comPortDevice(index - kFirstCom + 1);
}

std::optional<int> shownPortIndex(const QString& stored) {
    const auto index = toWhole(stored, -1, kLXPortEntries - 1);
    return index ? std::optional<int>(static_cast<int>(*index)) : std::nullopt;
}

std::optional<int> shownBit(const QString& stored) {
    const auto bit = toWhole(stored, 0, 7);
    return bit ? std::optional<int>(static_cast<int>(*bit)) : std::nullopt;
}

LXEnabling vxModifiedEnabling(bool vxModified, int portIndex) {
    LXEnabling e;
    if (!vxModified) {
        e.portLabel = e.portList = e.postLXTime = e.serialControls = false;
        e.frameA = e.frameAButtons = e.frameB = e.ampOffGroup = false;
        return e;
    }
    e.portLabel = e.portList = e.postLXTime = true;
    e.modChecks = true;
    if (isComIndex(portIndex)) {
        e.serialControls = true;
        // The eight Frame A buttons are left alone: the disabled frame already holds them.
        e.frameA = false;
    } else {
        e.frameA = e.frameAButtons = true;
    }
    return e;
}

LXEnabling lxPortEnabling(int portIndex, bool advanced, bool ampOff) {
    LXEnabling e;
    if (isComIndex(portIndex)) {
        e.serialControls = true;
        e.frameA = e.frameAButtons = e.frameB = e.ampOffGroup = false;
        e.clearModChecks = true;
        e.modChecks = false;
        return e;
    }
    e.serialControls = false;
    e.modChecks = true;
    e.frameA = e.frameAButtons = true;
    if (advanced)
        e.frameB = true;
    if (ampOff)
        e.ampOffGroup = true;
    return e;
}
