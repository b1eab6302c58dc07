#include "settings/options_rules.h"

#include "platform/parport/parport_address.h"
#include "platform/serial/com_ports.h"
#include "settings/convert.h"
#include "settings/derived.h"

#include <limits>

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

QString imageScaleText(const QString& hrzPixelSize, const QString& vrtPixelSize,
                       const QString& focalLength) {
    const auto positive = [](const QString& text) -> std::optional<double> {
        const std::optional<float> value = toSingle(text);
        return value && *value > 0.0f ? std::optional<double>(*value) : std::nullopt;
    };
    const std::optional<double> h = positive(hrzPixelSize);
    const std::optional<double> v = positive(vrtPixelSize);
    const std::optional<int64_t> f = toWhole(focalLength, 1, std::numeric_limits<int32_t>::max());
    QStringList unusable;
    if (!h)
        unusable << QStringLiteral("horizontal pixel size");
    if (!v)
        unusable << QStringLiteral("vertical pixel size");
    if (!f)
        unusable << QStringLiteral("focal length (whole mm)");
    if (!unusable.isEmpty())
        return QStringLiteral("Image scale: not a positive number: %1")
            .arg(unusable.join(QStringLiteral(", ")));
    const double fMm = static_cast<double>(*f);
    return imageScaleCaption(arcsecPerPixel(*h, fMm), arcsecPerPixel(*v, fMm));
}

QString imageScaleCaption(double arcsecPerPixelX, double arcsecPerPixelY) {
    return QStringLiteral("Image scale: %1 x %2 arcsec per pixel")
        .arg(arcsecPerPixelX, 0, 'f', 2)
        .arg(arcsecPerPixelY, 0, 'f', 2);
}
