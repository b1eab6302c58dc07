#pragma once

#include "engine/settle.h"

#include <QJsonValue>
#include <QString>
#include <variant>

// The settle object {"pixels","time","timeout"}: all three numbers required, pixels > 0,
// times >= 0. Otherwise the protocol's message: "expected settle object param" when it is
// no object, "invalid settle params" when a member is missing or wrong.
std::variant<SettleParams, QString> parseSettle(const QJsonValue& value);
