#include "capture/VFW.h"
#include "engine/guide_engine.h"

namespace {
const QString kCameraKey = QStringLiteral("camera");
// The mount's condition for a mount that does not answer: the note replaces it.
const QString kMountKey = QStringLiteral("mount");
constexpr int kPollMs = 1000;
} // namespace

// Only equipment that says it can come back is watched (INDI cameras and mounts); the others
// stay as they were.
void GuideEngine::watchEquipment() {
    reconnector_.add(
        {kCameraKey,
         [this] { return !cameraSwitchedOff_ && state.hCapWnd && state.hCapWnd->reconnectable(); },
         [this] { return state.hCapWnd->isConnected(); },
         [this](QString& why) {
             if (state.hCapWnd->driverReconnect())
                 return true;
             why = state.hCapWnd->lastError();
             return false;
         },
         [this] { return QStringLiteral("Camera \"%1\"").arg(state.hCapWnd->deviceName()); }});
    reconnector_.add(
        {kMountKey,
         [this] { return mountWanted_ && state.telescope && state.telescope->reconnectable(); },
         [this] { return telescopeConnected(); },
         [this](QString& why) {
             const std::optional<QString> failure = connectChosenTelescope();
             why = failure.value_or(QString());
             return !failure;
         },
         [this] { return mountLabel(); }});
    reconnectTimer_.setInterval(kPollMs);
    connect(&reconnectTimer_, &QTimer::timeout, this,
            [this] { followEquipment(reconnector_.poll(clock_.elapsed())); });
    reconnectTimer_.start();
}

// Brings the Connected mark and the notes up to date without any attempt; never waits.
void GuideEngine::checkEquipment() {
    followEquipment(reconnector_.check(clock_.elapsed()));
}

// One attempt at once for whatever is gone.
void GuideEngine::retryLostEquipment() {
    followEquipment(reconnector_.retryNow(clock_.elapsed()));
}

// A mount gone loses its Connected mark, so that nothing counts on it; back, it gets it again.
void GuideEngine::followEquipment(const std::vector<Reconnector::Event>& events) {
    for (const Reconnector::Event& e : events) {
        switch (e.change) {
        case Reconnector::Change::Lost:
        case Reconnector::Change::StillLost:
            showCondition(e.key, e.note);
            if (e.key == kMountKey)
                setMountMarked(false);
            break;
        case Reconnector::Change::Restored:
            clearCondition(e.key);
            note(QStringLiteral("%1 is connected again")
                     .arg(e.key == kMountKey
                              ? mountLabel()
                              : QStringLiteral("Camera \"%1\"").arg(state.hCapWnd->deviceName())));
            if (e.key == kMountKey)
                setMountMarked(true);
            else
                resumeExposure();
            break;
        case Reconnector::Change::Forgotten:
            clearCondition(e.key);
            break;
        }
    }
}
