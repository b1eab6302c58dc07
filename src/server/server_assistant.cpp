#include "engine/guide_engine.h"
#include "server/assistant_methods.h"
#include "server/server_link.h"

// The guiding assistant for imaging programs: started on a locked star, never while a guide or
// dither is on its way; guiding stops while it runs.

rpc::Reply ServerLink::startAssistant(double seconds, bool backlash) {
    if (e_.assisting())
        return rpc::fail(rpc::Failed, "the guiding assistant is already running");
    if (const auto busy = busyMessage("guiding assistant"))
        return rpc::fail(rpc::Failed, *busy);
    if (!e_.state.previewing || !e_.state.locked || e_.state.lockLost)
        return rpc::fail(rpc::Failed, "no star locked: loop and select a star first");
    if (!e_.startAssistant(seconds, backlash))
        return rpc::fail(rpc::Failed, e_.whyAssistantCannotStart());
    sync();
    return rpc::ok();
}

void ServerLink::stopAssistant() {
    e_.stopAssistant();
}

QJsonObject ServerLink::assistantStatus() {
    return assistantStatusJson(e_.assistantState(), e_.assistantMeasuringBacklash(),
                               e_.assistantElapsedSec(), e_.assistantDurationSec(),
                               e_.assistantResults());
}

rpc::Reply ServerLink::applyAssistant() {
    if (!e_.assistantResults())
        return rpc::fail(rpc::Failed, "the guiding assistant has no results to apply");
    e_.applyAssistantAdvice();
    return rpc::ok();
}
