#include "settings/options_rules.h"

#include "platform/parport/parport_address.h"
#include "platform/serial/com_ports.h"
#include "settings/convert.h"
#include "settings/derived.h"
#include "settings/setting_keys.h"

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

FieldRange fieldRange(OptionField field) {
    const QString microns = QStringLiteral("microns");
    const QString arcsecPerSecond = QStringLiteral("arcsec per second");
    const QString arcsec = QStringLiteral("arcsec");
    const QString ms = QStringLiteral("ms");
    const auto maxPostLX = static_cast<double>(keys::kMaxPostLXTimeMs);
    const auto maxBacklash = static_cast<double>(keys::kMaxMeasuredBacklashMs);
    switch (field) {
    case OptionField::HrzPixelSize:
        return {QStringLiteral("Horizontal pixel size"), microns, 0.1, 100.0, false};
    case OptionField::VrtPixelSize:
        return {QStringLiteral("Vertical pixel size"), microns, 0.1, 100.0, false};
    case OptionField::PostLXTime:
        return {QStringLiteral("Post LX time"), ms, 0.0, maxPostLX, true};
    case OptionField::FocalLength:
        return {QStringLiteral("Focal length"), QStringLiteral("mm"), 1.0, 100000.0, true};
    case OptionField::Radius:
        // The search radius is kept in a byte.
        return {QStringLiteral("Radius"), QStringLiteral("pixels"), 1.0, 255.0, true};
    case OptionField::RAGuideRate:
        return {QStringLiteral("RA guide rate"), arcsecPerSecond, 0.1, 1000.0, false};
    case OptionField::DecGuideRate:
        return {QStringLiteral("Dec guide rate"), arcsecPerSecond, 0.1, 1000.0, false};
    case OptionField::MaxError:
        return {QStringLiteral("Maximum error"), arcsec, 0.01, 3600.0, false};
    case OptionField::MinError:
        return {QStringLiteral("Minimum error"), arcsec, 0.0, 3600.0, false};
    case OptionField::RABacklash:
        return {QStringLiteral("RA backlash"), ms, 0.0, maxBacklash, false};
    case OptionField::DecBacklash:
        return {QStringLiteral("Dec backlash"), ms, 0.0, maxBacklash, false};
    }
    return {};
}

QString fieldProblem(OptionField field, const QString& text) {
    const FieldRange r = fieldRange(field);
    bool usable = false;
    if (r.whole) {
        usable =
            toWhole(text, static_cast<int64_t>(r.min), static_cast<int64_t>(r.max)).has_value();
    } else {
        const std::optional<float> value = toSingle(text);
        usable =
            value && *value >= static_cast<float>(r.min) && *value <= static_cast<float>(r.max);
    }
    if (usable)
        return QString();
    return QStringLiteral("%1 must be %2 of %3 from %4 to %5")
        .arg(r.name, r.whole ? QStringLiteral("a whole number") : QStringLiteral("a number"),
             r.unit, QString::number(r.min), QString::number(r.max));
}

QString errorOrderProblem(const QString& minErrorText, const QString& maxErrorText) {
    if (!fieldProblem(OptionField::MinError, minErrorText).isEmpty() ||
        !fieldProblem(OptionField::MaxError, maxErrorText).isEmpty())
        return QString();
    const float maxError = *toSingle(maxErrorText);
    if (*toSingle(minErrorText) <= maxError)
        return QString();
    return QStringLiteral("Minimum error must not be above the maximum error (%1 arcsec)")
        .arg(QString::number(maxError));
}
