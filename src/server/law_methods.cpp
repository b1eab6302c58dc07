#include "server/law_methods.h"

#include <QJsonArray>

namespace {
// The axis param: false for RA, true for Dec; none when it is not one of the names.
std::optional<bool> axisOf(const QJsonValue& v) {
    const QString axis = v.toString().toLower();
    if (axis == QLatin1String("ra") || axis == QLatin1String("x"))
        return false;
    if (axis == QLatin1String("dec") || axis == QLatin1String("y"))
        return true;
    return std::nullopt;
}

rpc::Reply badAxis(const QJsonValue& v) {
    return rpc::fail(rpc::InvalidParams, v.isUndefined()
                                             ? QStringLiteral("expected axis name param")
                                             : QStringLiteral("invalid axis name"));
}
} // namespace

rpc::Reply algoParamNames(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue axisValue = rpc::param(p, 0, "axis");
    const std::optional<bool> dec = axisOf(axisValue);
    if (!dec)
        return badAxis(axisValue);
    QJsonArray names{QStringLiteral("algorithmName")};
    for (const QString& name : g.algoParamNames(*dec))
        names.append(name);
    return rpc::ok(names);
}

rpc::Reply algoParam(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue axisValue = rpc::param(p, 0, "axis");
    const std::optional<bool> dec = axisOf(axisValue);
    if (!dec)
        return badAxis(axisValue);
    const QJsonValue name = rpc::param(p, 1, "name");
    if (!name.isString())
        return rpc::fail(rpc::InvalidParams, "expected param name param");
    return g.algoParam(*dec, name.toString());
}

rpc::Reply setAlgoParam(GuiderControl& g, const QJsonValue& p) {
    const QJsonValue axisValue = rpc::param(p, 0, "axis");
    const std::optional<bool> dec = axisOf(axisValue);
    if (!dec)
        return badAxis(axisValue);
    const QJsonValue name = rpc::param(p, 1, "name");
    const QJsonValue value = rpc::param(p, 2, "value");
    if (!name.isString())
        return rpc::fail(rpc::InvalidParams, "expected param name param");
    if (name.toString() == QLatin1String("algorithmName") ? !value.isString() : !value.isDouble())
        return rpc::fail(rpc::InvalidParams, "expected param value param");
    return g.setAlgoParam(*dec, name.toString(), value);
}
