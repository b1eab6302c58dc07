#include "engine/guide_engine.h"
#include "server/server_link.h"

#include <QJsonArray>
#include <QTimer>
#include <algorithm>
#include <cmath>

// Busy while a guide or dither is on its way or settling: the protocol's refusal then.
std::optional<QString> ServerLink::busyMessage(const char* what) const {
    if (operation_ == Operation::None && !pending_)
        return std::nullopt;
    const char* running = operation_ == Operation::Dither ? "dither" : "guide";
    return QStringLiteral("Cannot initiate %1 while %2 is in progress").arg(what, running);
}

bool ServerLink::settling() {
    return operation_ != Operation::None || pending_.has_value();
}

rpc::Reply ServerLink::guide(const SettleParams& settle, bool recalibrate,
                             std::optional<QRect> roi) {
    if (!connected())
        return rpc::fail(rpc::Failed, "all equipment must be connected first");
    if (const auto busy = busyMessage("guide"))
        return rpc::fail(rpc::Failed, *busy);
    if (e_.state.focusing)
        return rpc::fail(rpc::Failed, "cannot guide while focusing");
    pending_ = PendingGuide{settle, recalibrate, roi, 0};
    if (!e_.state.previewing) {
        e_.toggleLoop();
        sync();
        return rpc::ok();
    }
    // With a frame of this loop on show the star can be chosen and guiding start right after
    // this answer (its events, even a failure's SettleDone, follow the answer); otherwise at
    // the end of the first exposure.
    if (e_.state.loopFrames > 0)
        QTimer::singleShot(0, this, [this] {
            const Acting acting(acting_);
            if (e_.state.previewing && e_.state.loopFrames > 0) {
                advanceGuide();
                sync();
            }
        });
    return rpc::ok();
}

// One step per guide cycle: a star (three frames' tries), a calibration when one is needed
// (its events come from the calibration itself), then guiding, then settling.
void ServerLink::advanceGuide() {
    if (!pending_)
        return;
    // Any calibration running (the operator's too) ends before guiding starts.
    if (calibrationRunning()) {
        pending_->calibrating = true;
        return;
    }
    if (!e_.state.locked) {
        if (!e_.selectStarAutomatically(pending_->roi)) {
            if (++pending_->tries >= 3)
                abandonOperation(QStringLiteral("failed to find a suitable guide star"));
            return;
        }
        sync();
    }
    if (!pending_->calibrating && !pending_->calibrationDone &&
        calibrationNeeded(pending_->recalibrate)) {
        QString why;
        if (!beginCalibration(why)) {
            abandonOperation(why);
            return;
        }
        pending_->calibrating = true;
        return;
    }
    if (!e_.state.guiding && !startGuiding()) {
        abandonOperation(QStringLiteral("all equipment must be connected first"));
        return;
    }
    sync();
    const SettleParams settle = pending_->settle;
    pending_.reset();
    beginSettle(settle, Operation::Guide);
}

bool ServerLink::startGuiding() {
    return e_.startGuiding();
}

void ServerLink::beginSettle(const SettleParams& settle, Operation operation) {
    operation_ = operation;
    e_.beginSettle(settle);
    server_.broadcast(events_.simple("SettleBegin"));
}

void ServerLink::endOperation(const SettleResult& result) {
    operation_ = Operation::None;
    server_.broadcast(events_.settleDone(result));
}

// Ends a pending guide or a settle with a failure; nothing when neither runs.
void ServerLink::abandonOperation(const QString& reason) {
    if (pending_) {
        pending_.reset();
        endOperation({false, reason, 0, 0});
    } else if (const auto result = e_.stopSettle(reason)) {
        endOperation(*result);
    }
}

rpc::Reply ServerLink::dither(double amount, bool raOnly, const SettleParams& settle) {
    if (const auto busy = busyMessage("dither"))
        return rpc::fail(rpc::Failed, *busy);
    if (appState() != AppState::Guiding)
        return rpc::fail(rpc::Failed, "Dither error");
    sync();
    const QPointF moved = e_.dither(amount, raOnly);
    // Every dither announces the lock position, also one the frame's edge kept in place, and
    // the move it really made.
    sent_.target = QPointF(e_.state.targetX, e_.state.targetY);
    server_.broadcast(events_.position("LockPositionSet", sent_.target));
    server_.broadcast(events_.guidingDithered(moved));
    beginSettle(settle, Operation::Dither);
    return rpc::ok();
}

void ServerLink::setPaused(bool paused, bool full) {
    e_.setGuidingPaused(paused, full);
    sync();
}

bool ServerLink::paused() {
    return e_.state.paused;
}

rpc::Reply ServerLink::loop() {
    if (e_.state.focusing || !cameraConnected())
        return rpc::fail(rpc::Failed, "could not start looping");
    if (e_.state.pausedFull)
        e_.setGuidingPaused(false, false);
    if (!e_.state.previewing)
        e_.toggleLoop();
    sync();
    return rpc::ok();
}

void ServerLink::stopCapture() {
    const MainState& s = e_.state;
    if (s.paused)
        e_.setGuidingPaused(false, false);
    if (s.guiding)
        e_.stopGuiding();
    sync();
    if (s.previewing && !s.focusing)
        e_.toggleLoop();
    abandonOperation(QStringLiteral("Guiding stopped"));
    sync();
}

rpc::Reply ServerLink::findStar(std::optional<QRect> roi) {
    // Another star now would throw guiding off its target.
    if (e_.state.guiding)
        return rpc::fail(rpc::Failed, "cannot select a star while guiding");
    if (!e_.selectStarAutomatically(roi))
        return rpc::fail(rpc::Failed, "could not find star");
    syncSelection();
    return rpc::ok(QJsonArray{e_.state.targetX, e_.state.targetY});
}
