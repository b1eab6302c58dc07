#include "engine/guide_engine.h"

#include "engine/Globals.h"
#include "guidelog/guide_log_observer.h"
#include "guiding/calibration_store.h"
#include "guiding/calibrator.h"
#include "guiding/error_log.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/parport/port_io.h"
#include "platform/store/settings_store.h"
#include "sim/star_field.h"

namespace {
constexpr uint32_t kStarFieldSeed = 1006;
} // namespace

GuideEngine::GuideEngine(const Platform& platform, QObject* parent)
    : QObject(parent), platform_(platform) {
    Q_ASSERT(platform_.complete());
    portIO_ = std::make_unique<PortIO>(*platform_.parallelPort, [this](const QString& why) {
        if (why.isEmpty())
            clearCondition(QStringLiteral("parport"));
        else
            showCondition(QStringLiteral("parport"), why);
    });
    frame_.setImage(renderStarField(kPictureWidth, kPictureHeight, kStarFieldSeed));
    exposureTimer_.setInterval(500);
    pulseTimer_.setInterval(PulseWait::kPollMs);
    connect(&exposureTimer_, &QTimer::timeout, this, &GuideEngine::tick);
    connect(&pulseTimer_, &QTimer::timeout, this, &GuideEngine::pollPulses);
    connect(&calibrator_, &Calibrator::stepped, this, [this](const CalibrationProgress& p) {
        note(QStringLiteral("Calibrating: ") + calibrationProgressText(p));
    });
    connect(&calibrator_, &Calibrator::completed, this, &GuideEngine::calibrationCompleted);
    connect(&calibrator_, &Calibrator::failed, this, &GuideEngine::calibrationFailed);
    connect(&calibrator_, &Calibrator::stopped, this,
            [this] { note(QStringLiteral("Calibration stopped; nothing stored")); });
    clock_.start();
    assistantClock_ = [this] { return static_cast<double>(clock_.elapsed()) / 1000.0; };
}

GuideEngine::~GuideEngine() = default;

void GuideEngine::endChange() {
    if (--changeDepth_ == 0)
        emit changed();
}

// In order; nothing is exposed until the loop is started.
void GuideEngine::startUp() {
    const EngineChange change(*this);
    if (Globals::lxPortAddress != 0)
        portIO_->PortOut(Globals::lxPortAddress, 0);
    if (state.camModified && Globals::lxPortAddress != 0)
        raiseParallelRestBits(true);

    state.dirNorth = guideNorth;
    state.dirSouth = guideSouth;
    state.dirEast = guideEast;
    state.dirWest = guideWest;
    state.lastRADir.clear();
    state.lastDecDir.clear();

    state.elapsedSec = 0.0f;
    state.exposureSec = static_cast<float>(sliderExposureSec_);
    state.nextExposureSec = static_cast<float>(sliderExposureSec_);
    emit exposureLengthShown(sliderExposureSec_);
    emit progressChanged(0, state.exposureSec);

    state.previewing = false;
    state.locked = false;
    state.lockLost = false;
    state.guiding = false;
    state.focusing = false;
    state.logging = false;

    detectCameras();
    restoreEquipment();
    watchEquipment();
    loadCalibration();
    startGuideLog();
}

// The stored camera connected, the stored mount chosen (and connected when the settings say so).
void GuideEngine::restoreEquipment() {
    restoreCamera();
    restoreTelescope();
    if (connectsAtStartup()) {
        if (const QString why = connectEquipment(); !why.isEmpty())
            note(QStringLiteral("Connect at start-up: ") + why);
    }
}

void GuideEngine::shutDown() {
    reconnectTimer_.stop();
    exposureTimer_.stop();
    cancelPulseWait();
    if (state.telescope && mountMarked_)
        disconnectDriver();
}

void GuideEngine::note(const QString& text) {
    notes_.addNote(text);
    emit noted(text);
}

void GuideEngine::showCondition(const QString& key, const QString& text) {
    if (notes_.set(key, text))
        emit conditionsChanged();
}

void GuideEngine::clearCondition(const QString& key) {
    if (notes_.clear(key))
        emit conditionsChanged();
}

void GuideEngine::saveSetting(const char* section, const char* key, const QString& text) {
    settingsSaved(platform_.store->writeSetting(section, key, text));
}

void GuideEngine::settingsSaved(bool saved) {
    if (saved)
        clearCondition(QStringLiteral("settings"));
    else
        showCondition(QStringLiteral("settings"),
                      QStringLiteral("Settings could not be saved: changes last only until "
                                     "Orvalis closes"));
}

// The path and the append choice are read now; later changes apply at the next switch-on.
void GuideEngine::setLogging(bool on) {
    const EngineChange change(*this);
    clearCondition(QStringLiteral("log"));
    if (!on) {
        if (state.logging)
            state.logFileNo->close();
        state.logging = false;
        return;
    }
    if (!state.logFileNo)
        state.logFileNo = std::make_shared<ErrorLog>();
    state.logging = state.logFileNo->open(state.logFilename, state.appendLog);
    if (state.logging)
        return;
    platform_.messages->show(
        QStringLiteral("There was a problem opening the log file.  Please check the filename "
                       "listed on the Logging Tab of the Options Panel.  The path must currently "
                       "exist, as it will not be created."),
        MessageIcon::None);
    emit loggingChanged(false);
}
