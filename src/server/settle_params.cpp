#include "server/settle_params.h"

#include <QJsonObject>
#include <cmath>

std::variant<SettleParams, QString> parseSettle(const QJsonValue& value) {
    if (!value.isObject())
        return QStringLiteral("expected settle object param");
    const QJsonObject o = value.toObject();
    const QJsonValue pixels = o.value(QLatin1String("pixels"));
    const QJsonValue time = o.value(QLatin1String("time"));
    const QJsonValue timeout = o.value(QLatin1String("timeout"));
    if (!pixels.isDouble() || !time.isDouble() || !timeout.isDouble() || pixels.toDouble() <= 0 ||
        time.toDouble() < 0 || timeout.toDouble() < 0 || timeout.toDouble() > 1e6 ||
        time.toDouble() > 1e6)
        return QStringLiteral("invalid settle params");
    return SettleParams{pixels.toDouble(), static_cast<int>(std::floor(time.toDouble())),
                        static_cast<int>(std::floor(timeout.toDouble()))};
}
