#include "server/json_line.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

QByteArray jsonText(const QJsonValue& value) {
    // A one-element array is the smallest document Qt writes any value in.
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray jsonFixed(double value, int decimals) {
    // JSON has no NaN or infinity; an unmeasurable value goes out as 0.
    if (!std::isfinite(value))
        value = 0.0;
    return QByteArray::number(value, 'f', decimals);
}

JsonLine& JsonLine::addRaw(const char* key, const QByteArray& json) {
    if (body_.size() > 1)
        body_ += ',';
    body_ += '"';
    body_ += key;
    body_ += "\":";
    body_ += json;
    return *this;
}

JsonLine& JsonLine::add(const char* key, const QJsonValue& value) {
    return addRaw(key, jsonText(value));
}

JsonLine& JsonLine::addFixed(const char* key, double value, int decimals) {
    return addRaw(key, jsonFixed(value, decimals));
}
