#pragma once

#include "engine/assistant_run.h"
#include "server/guider_control.h"

#include <QJsonObject>
#include <optional>

// The guiding assistant's methods, named with the "orvalis_" prefix of this program's own
// methods. orvalis_start_guiding_assistant takes {seconds?: 10..7200 (default 120),
// backlash?: bool}.
rpc::Reply startGuidingAssistant(GuiderControl& guider, const QJsonValue& params);

// orvalis_get_guiding_assistant's answer: {state: "idle"|"running"|"done", elapsed, duration,
// phase: "recording"|"backlash"|"", results: {...} or null, advice: {...} or null}. Seconds,
// arcsec, arcsec per minute, arcmin, ms.
QJsonObject assistantStatusJson(AssistantState state, bool measuringBacklash, double elapsedSec,
                                double durationSec, const std::optional<AssistantResults>& r);
