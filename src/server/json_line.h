#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

// The compact JSON text of any value: strings quoted and escaped, numbers as Qt prints them.
QByteArray jsonText(const QJsonValue& value);

// A number with exactly `decimals` decimals and a point, e.g. 12.500 for (12.5, 3).
QByteArray jsonFixed(double value, int decimals);

// A JSON object written member by member in the order given. Qt's own objects sort their
// keys; the protocol's clients read fields by name, but its lines are meant to read in the
// documented order, so the order is kept here. Keys are plain ASCII names.
class JsonLine {
public:
    JsonLine& add(const char* key, const QJsonValue& value);
    JsonLine& addFixed(const char* key, double value, int decimals);
    // `json` must already be valid JSON text.
    JsonLine& addRaw(const char* key, const QByteArray& json);
    // The object's text without a line end.
    QByteArray text() const { return body_ + '}'; }

private:
    QByteArray body_ = "{";
};
