#include "server/server_link.h"

#include "engine/Globals.h"
#include "engine/guide_engine.h"
#include "measure/star_choice.h"
#include "server/listen_settings.h"
#include "server/methods.h"
#include "settings/setting_keys.h"
#include "settings/settings_reader.h"
#include "version.h"

#include <QHostInfo>
#include <cmath>

namespace {
const QString kServerCondition = QStringLiteral("server");
const QString kSettingsCondition = QStringLiteral("server settings");
// The least time between two writes of settings changed by requests, ms.
constexpr int kSettingsDelayMs = 500;

std::optional<StepPulse> stepPulse(const std::optional<PulseRequest>& pulse) {
    if (!pulse)
        return std::nullopt;
    return StepPulse{pulse->ms, QString::fromLatin1(guideDirectionName(pulse->direction))};
}
} // namespace

ServerLink::ServerLink(GuideEngine& engine)
    : e_(engine), writes_(*engine.platform().store, kSettingsDelayMs,
                          [this](bool saved) { e_.settingsSaved(saved); }),
      server_(
          [this](const rpc::Request& request) {
              const WriteBehindStore::Hold hold(writes_);
              const Acting acting(acting_);
              return handleRequest(*this, request);
          },
          [this] { return greeting(); }, this),
      events_(QHostInfo::localHostName(), 1, QStringLiteral(ORVALIS_VERSION)) {
    e_.setStore(&writes_);
    clock_.start();
    sent_ = snapshot();
    connect(&server_, &EventServer::clientCountChanged, this, &ServerLink::clientsChanged);
    connect(&server_, &EventServer::turnEnded, &writes_, &WriteBehindStore::flushIfDue);
    // What anyone else did (the operator, a timer) is told once it is done.
    connect(&e_, &GuideEngine::changed, this, [this] {
        if (acting_ == 0)
            sync();
    });
    connect(&e_, &GuideEngine::cycleEnded, this, &ServerLink::reportCycle);
    connect(&e_, &GuideEngine::settlingStep, this,
            [this](const SettlingStep& step) { server_.broadcast(events_.settling(step)); });
    connect(&e_, &GuideEngine::settleDone, this, &ServerLink::endOperation);
    connect(&e_, &GuideEngine::cycleFinished, this, &ServerLink::afterCycle);
    followCalibration();
    connect(&e_.guideHistory(), &GuideHistory::appended, this,
            [this](const GuideRecord& record) { cycleRecord_ = record; });
}

ServerLink::~ServerLink() {
    server_.disconnect(this);
    server_.close();
    writes_.flush();
    e_.setStore(&writes_.inner());
}

void ServerLink::start(std::optional<quint16> portGiven, std::optional<bool> networkGiven) {
    SettingsReader in(*e_.platform().store);
    if (!in.flag(keys::ServerEnabled) && !portGiven && !networkGiven)
        return;
    ListenSettings settings = listenSettings(in);
    if (portGiven)
        settings.port = *portGiven;
    if (networkGiven)
        settings.network = *networkGiven;
    if (settings.unreadable.isEmpty())
        e_.clearCondition(kSettingsCondition);
    else
        e_.showCondition(kSettingsCondition,
                         QStringLiteral("Server Options not readable: %1")
                             .arg(settings.unreadable.join(QStringLiteral(", "))));
    const quint16 port = settings.port;
    const bool network = settings.network;
    QString why;
    if (!server_.listen(port, network, &why)) {
        e_.showCondition(kServerCondition,
                         QStringLiteral("Server: port %1 not available (%2); imaging programs "
                                        "cannot connect")
                             .arg(port)
                             .arg(why));
        return;
    }
    e_.clearCondition(kServerCondition);
    emit listening(server_.port());
    emit clientsChanged(0);
}

ServerLink::Snapshot ServerLink::snapshot() const {
    const MainState& s = e_.state;
    return {s.previewing,     s.locked, s.guiding, s.paused, QPointF(s.targetX, s.targetY),
            mountCalibrated()};
}

AppState ServerLink::currentState() const {
    const MainState& s = e_.state;
    return appStateOf(
        {s.previewing, s.locked, s.lockLost, calibrationRunning(), s.guiding, s.paused});
}

AppState ServerLink::appState() {
    return currentState();
}

// What a client joining now needs to know, ending with the state.
QByteArrayList ServerLink::greeting() const {
    const MainState& s = e_.state;
    QByteArrayList lines{events_.version()};
    if (s.locked) {
        lines << events_.position("LockPositionSet", QPointF(s.targetX, s.targetY));
        if (!s.lockLost)
            lines << events_.position("StarSelected", QPointF(Globals::starX, Globals::starY));
    }
    lines << calibrationGreeting();
    if (s.guiding)
        lines << events_.simple("StartGuiding");
    else if (calibrationRunning())
        lines << events_.mountEvent("StartCalibration", mountName());
    else if (s.paused)
        lines << events_.simple("Paused");
    lines << events_.appState(currentState());
    return lines;
}

void ServerLink::sync() {
    const Snapshot now = snapshot();
    if (now.locked && !sent_.locked)
        server_.broadcast(
            events_.position("StarSelected", QPointF(Globals::starX, Globals::starY)));
    if (now.locked && (!sent_.locked || now.target != sent_.target))
        server_.broadcast(events_.position("LockPositionSet", now.target));
    if (!now.locked && sent_.locked)
        server_.broadcast(events_.simple("LockPositionLost"));
    // A calibration stored while the mount was away is announced once it is ready again.
    if (now.mountCalibrated && !sent_.mountCalibrated)
        server_.broadcast(events_.calibrationComplete(
            mountName(), e_.calibration() ? &*e_.calibration() : nullptr));
    if (now.paused != sent_.paused)
        server_.broadcast(events_.simple(now.paused ? "Paused" : "Resumed"));
    if (now.guiding && !sent_.guiding) {
        guidingSince_ = this->now();
        server_.broadcast(events_.simple("StartGuiding"));
    }
    if (!now.guiding && sent_.guiding)
        server_.broadcast(events_.simple("GuidingStopped"));
    const bool guidingStopped = !now.guiding && sent_.guiding;
    const bool loopStopped = !now.previewing && sent_.previewing;
    sent_ = now;
    // A calibration for a pending guide switches guiding off on purpose.
    const bool calibratingForGuide = pending_ && pending_->calibrating;
    if (loopStopped || (guidingStopped && !calibratingForGuide))
        abandonOperation(QStringLiteral("Guiding stopped"));
    else if (!now.locked && operation_ != Operation::None)
        abandonOperation(QStringLiteral("guide star deselected"));
    if (loopStopped)
        server_.broadcast(events_.simple("LoopingExposuresStopped"));
}

void ServerLink::syncSelection() {
    sent_.locked = false;
    sync();
}

void ServerLink::reportCycle() {
    ++frame_;
    reportFrame();
}

void ServerLink::afterCycle() {
    const Acting acting(acting_);
    advanceGuide();
    sync();
    cycleRecord_.reset();
}

// The guide cycle's own record of this frame: its pulses and the star's measures.
ServerLink::CycleReport ServerLink::cycleReport() const {
    if (!cycleRecord_)
        return {};
    const StarMeasures& m = cycleRecord_->star;
    return {cycleRecord_->raPulse, cycleRecord_->decPulse, StepStar{m.flux, m.snr, m.hfd}};
}

GuideStepData ServerLink::guideStep() const {
    const MainState& s = e_.state;
    GuideStepData step;
    step.frame = frame_;
    step.timeSec = now() - guidingSince_;
    step.mount = mountName();
    step.dx = -s.errX;
    step.dy = -s.errY;
    // Along the axes the corrections use: the calibrated ones (Dec square to RA when only RA
    // was calibrated), otherwise x as RA and y as Dec.
    step.raRaw = step.dx;
    step.decRaw = step.dy;
    if (const Calibration* used = e_.calibrationInUse()) {
        Calibration inPixels = *used;
        inPixels.arcsecPerPixelX = inPixels.arcsecPerPixelY = 1;
        const CalibratedError along = calibratedError(inPixels, s.errX, s.errY);
        step.raRaw = -along.ra;
        step.decRaw = along.dec; // an error towards North: the star lies towards South
    }
    step.raGuide = step.raRaw;
    step.decGuide = step.decRaw;
    const CycleReport report = cycleReport();
    step.ra = stepPulse(report.ra);
    step.dec = stepPulse(report.dec);
    step.star = report.star;
    step.avgDist = avgDist_;
    return step;
}

void ServerLink::reportFrame() {
    // A calibration's frames are told by its own events, up to the guiding that follows.
    if (calibrationRunning() || (pending_ && pending_->calibrationDone))
        return;
    const MainState& s = e_.state;
    const bool found = s.locked && !s.lockLost;
    if (found) {
        // Smoothed over about four frames.
        avgDist_ += (std::hypot(s.errX, s.errY) - avgDist_) * 0.25;
    }
    if (s.guiding && s.locked && !s.paused) {
        server_.broadcast(found ? events_.guideStep(guideStep())
                                : events_.starLost(frame_, now() - guidingSince_, {}, avgDist_));
        return;
    }
    server_.broadcast(events_.loopingExposures(
        frame_, found ? std::optional<StepStar>(cycleReport().star) : std::nullopt));
    if (s.locked && s.lockLost)
        server_.broadcast(events_.starLost(frame_, 0, {}, avgDist_));
}
