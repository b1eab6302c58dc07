#include "engine/guide_engine.h"
#include "platform/store/settings_store.h"
#include "settings/convert.h"
#include "settings/settings_reader.h"

void GuideEngine::loadDarkSettings() {
    SettingsReader in(*platform_.store);
    darkStage_.setUseDarks(in.flag(keys::UseDarks));
    darkStage_.setUseBadPixelMap(in.flag(keys::UseBadPixelMap));
    const QString folder = in.text(keys::DarkFolder);
    darkLibrary_.setFolder(folder.isEmpty() ? DarkLibrary::defaultFolder() : folder);
    darkNote_.clear();
}

void GuideEngine::setUseDarks(bool on) {
    const EngineChange change(*this);
    darkStage_.setUseDarks(on);
    darkNote_.clear();
    saveSetting(keys::UseDarks.section, keys::UseDarks.key, fromWhole(on ? 1 : 0));
}

void GuideEngine::setUseBadPixelMap(bool on) {
    const EngineChange change(*this);
    darkStage_.setUseBadPixelMap(on);
    darkNote_.clear();
    saveSetting(keys::UseBadPixelMap.section, keys::UseBadPixelMap.key, fromWhole(on ? 1 : 0));
}

// The frame in the slot, corrected before anything sees it; what was done is noted when it
// changes (another dark, none, or a correction switched).
void GuideEngine::correctFrame() {
    if (!clipboard_.hasFrame())
        return;
    std::shared_ptr<const RawFrame> raw = clipboard_.raw();
    QImage picture = raw ? QImage() : clipboard_.image(frame_.image().size());
    const DarkUse use = darkStage_.apply(cameraName(), exposureRunningSec_, picture, raw);
    if (use.subtracted || use.repaired > 0)
        clipboard_.put(picture, raw);
    if (use.note != darkNote_) {
        darkNote_ = use.note;
        if (!darkNote_.isEmpty())
            note(darkNote_);
    }
}

QString GuideEngine::whyDarksCannotStart() const {
    if (darkRun_)
        return QStringLiteral("Darks are being taken already");
    if (!cameraConnected())
        return QStringLiteral("No darks: no camera is connected");
    if (state.focusing)
        return QStringLiteral("No darks while focusing");
    if (state.guiding || calibrator_.running() || assistant_.state == AssistantState::Running)
        return QStringLiteral("No darks while guiding, calibrating or assisting: stop first");
    return {};
}

bool GuideEngine::startDarks(const DarkPlan& plan) {
    QString why = whyDarksCannotStart();
    if (why.isEmpty() && plan.exposuresSec.empty())
        why = QStringLiteral("No darks: no exposure given");
    if (!why.isEmpty()) {
        note(why);
        return false;
    }
    const EngineChange change(*this);
    darkRun_.emplace(plan);
    darksStored_.clear();
    darksRestoreExposureSec_ = state.nextExposureSec;
    state.nextExposureSec = static_cast<float>(darkRun_->exposureSec());
    darksStartedLoop_ = !state.previewing;
    if (darksStartedLoop_)
        toggleLoop();
    note(QStringLiteral("Taking darks: keep the camera covered"));
    emit darksProgress(0, darkRun_->framesWanted(), darkRun_->exposureSec());
    return true;
}

void GuideEngine::stopDarks() {
    if (!darkRun_)
        return;
    finishDarks(false, darksStored_.isEmpty() ? QStringLiteral("Darks stopped; none stored")
                                              : QStringLiteral("Darks stopped; stored: %1")
                                                    .arg(darksStored_.join(QStringLiteral(", "))));
}

// A frame the camera did not give is no dark; nor is one of an exposure begun before the run.
void GuideEngine::takeDarkFrame() {
    if (!clipboard_.hasFrame())
        return;
    const std::shared_ptr<const RawFrame> raw = clipboard_.raw();
    std::optional<DarkFrame> dark =
        darkRun_->add(raw ? valuesOf(*raw) : valuesOf(frame_.image()), exposureRunningSec_,
                      QDateTime::currentDateTime());
    if (dark) {
        QString error;
        if (!darkLibrary_.store(cameraName(), *dark, &error)) {
            finishDarks(false, QStringLiteral("The darks could not be stored: %1").arg(error));
            return;
        }
        darksStored_
            << QStringLiteral("%1 x %2").arg(dark->frames).arg(exposureText(dark->exposureSec));
    }
    emit darksProgress(darkRun_->framesTaken(), darkRun_->framesWanted(),
                       darkRun_->done() ? exposureRunningSec_ : darkRun_->exposureSec());
    if (darkRun_->done()) {
        finishDarks(true, QStringLiteral("Darks stored for %1: %2; uncover the camera")
                              .arg(cameraName(), darksStored_.join(QStringLiteral(", "))));
        return;
    }
    state.nextExposureSec = static_cast<float>(darkRun_->exposureSec());
}

void GuideEngine::finishDarks(bool completed, const QString& text) {
    const EngineChange change(*this);
    darkRun_.reset();
    state.nextExposureSec = darksRestoreExposureSec_;
    darkNote_.clear();
    if (darksStartedLoop_ && state.previewing)
        toggleLoop();
    darksStartedLoop_ = false;
    note(text);
    emit darksDone(completed, text);
}
