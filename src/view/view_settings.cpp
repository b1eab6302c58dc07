#include "view/view_settings.h"

#include "guiding/number_format.h"
#include "settings/setting_keys.h"
#include "settings/settings_reader.h"

#include <algorithm>
#include <cmath>

namespace {
std::optional<double> readZoom(SettingsReader& in) {
    const QString text = in.text(keys::ViewZoom).trimmed();
    bool ok = false;
    const double percent = text.toDouble(&ok);
    if (!ok || !(percent >= kMinZoomPercent && percent <= kMaxZoomPercent))
        return std::nullopt;
    return percent / 100.0;
}

double readFraction(SettingsReader& in, const SettingKey& key) {
    const double value = in.single(key);
    return value >= 0 && value <= 1 ? value : QString::fromLatin1(key.startupDefault).toDouble();
}
} // namespace

ViewChoice readViewChoice(SettingsStore& store) {
    SettingsReader in(store);
    ViewChoice choice;
    choice.zoom = readZoom(in);
    choice.stretch.mode = static_cast<StretchMode>(in.whole(keys::ViewStretch, 0, 2));
    choice.stretch.black = readFraction(in, keys::ViewBlackPoint);
    choice.stretch.white = readFraction(in, keys::ViewWhitePoint);
    const double gamma = in.single(keys::ViewGamma);
    choice.stretch.gamma = gamma >= kMinGamma && gamma <= kMaxGamma ? gamma : 1.0;
    choice.night = in.whole(keys::ViewNightMode, 0, 1) == 1;
    return choice;
}

QString zoomText(std::optional<double> zoom) {
    if (!zoom)
        return QString::fromLatin1(keys::ViewZoom.startupDefault);
    return QString::number(std::lround(*zoom * 100.0));
}

void saveStretch(const StretchChoice& stretch,
                 const std::function<void(const SettingKey&, const QString&)>& save) {
    save(keys::ViewStretch, QString::number(static_cast<int>(stretch.mode)));
    save(keys::ViewBlackPoint, formatFixed(stretch.black, 3));
    save(keys::ViewWhitePoint, formatFixed(stretch.white, 3));
    save(keys::ViewGamma, formatFixed(stretch.gamma, 2));
}
