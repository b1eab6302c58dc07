#include "server/rpc.h"

#include "server/json_line.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace rpc {
namespace {
Item itemOf(const QJsonValue& element) {
    const QJsonObject object = element.toObject();
    const QJsonValue method = object.value(QLatin1String("method"));
    const QJsonValue params = object.value(QLatin1String("params"));
    const bool paramsOk = params.isUndefined() || params.isArray() || params.isObject();
    if (!element.isObject() || !method.isString() || !paramsOk)
        return {std::nullopt, errorResponse(QJsonValue::Null, InvalidRequest, "invalid request")};
    Request request{method.toString(), params, object.value(QLatin1String("id")), false};
    request.hasId = !request.id.isUndefined();
    return {request, {}};
}
} // namespace

Line parseLine(const QByteArray& line) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    Line parsed;
    if (error.error != QJsonParseError::NoError) {
        parsed.items.push_back(
            {std::nullopt, errorResponse(QJsonValue::Null, ParseError, "parse error")});
        return parsed;
    }
    if (document.isArray()) {
        const QJsonArray batch = document.array();
        if (batch.isEmpty() || batch.size() > MaxBatch) {
            const char* why = batch.isEmpty() ? "empty batch request" : "batch too large";
            parsed.items.push_back(
                {std::nullopt, errorResponse(QJsonValue::Null, InvalidRequest, why)});
            return parsed;
        }
        parsed.batch = true;
        for (const QJsonValue element : batch)
            parsed.items.push_back(itemOf(element));
        return parsed;
    }
    parsed.items.push_back(itemOf(document.object()));
    return parsed;
}

QByteArray lineResponse(const Line& line, const QByteArrayList& responses) {
    if (responses.isEmpty())
        return {};
    if (!line.batch)
        return responses.front();
    QByteArray text = "[";
    text += responses.join(',');
    text += ']';
    return text;
}

QByteArray resultResponse(const QJsonValue& id, const QJsonValue& result) {
    return JsonLine().add("jsonrpc", "2.0").add("result", result).add("id", id).text();
}

QByteArray errorResponse(const QJsonValue& id, int code, const QString& message) {
    const QByteArray error = JsonLine().add("code", code).add("message", message).text();
    return JsonLine().add("jsonrpc", "2.0").addRaw("error", error).add("id", id).text();
}

QJsonValue param(const QJsonValue& params, int index, const char* name) {
    if (params.isArray())
        return params.toArray().at(index);
    if (params.isObject())
        return params.toObject().value(QLatin1String(name));
    return QJsonValue(QJsonValue::Undefined);
}

} // namespace rpc
