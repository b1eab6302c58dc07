#include "headless/headless_guider.h"

#include "headless/headless_platform.h"
#include "headless/stop_signals.h"
#include "platform/dialogs/stderr_message_boxes.h"
#include "server/server_link.h"
#include "settings/setting_keys.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {
std::atomic<bool> letGo{false};
} // namespace

void equipmentLetGo() {
    letGo = true;
}

void sayOnStandardError(const QString& text) {
    const QByteArray line = messageLine(text).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

HeadlessGuider::HeadlessGuider(HeadlessPlatform& platform, const HeadlessOptions& options)
    : platform_(platform), options_(options), engine_(platform.bundle()) {
    connect(&engine_, &GuideEngine::noted, this, [](const QString& text) {
        if (!text.isEmpty())
            sayOnStandardError(text);
    });
    connect(&engine_, &GuideEngine::conditionsChanged, this, &HeadlessGuider::showConditions);
    clock_.start();
}

HeadlessGuider::~HeadlessGuider() {
    stop();
}

QString HeadlessGuider::start() {
    signals_ = std::make_unique<StopSignals>();
    if (!signals_->installed())
        return QStringLiteral("cannot catch SIGINT and SIGTERM: %1").arg(signals_->error());
    connect(signals_.get(), &StopSignals::stopRequested, this, &HeadlessGuider::stop);
    for (const QString& note : platform_.startupNotes())
        sayOnStandardError(note);
    if (const QString why = chooseEquipment(); !why.isEmpty())
        return why;
    engine_.loadSettings(true);
    engine_.startUp();
    if (const QString why = connectEquipment(); !why.isEmpty())
        return why;
    if (options_.takeDarks)
        return startDarks();
    server_ = std::make_unique<ServerLink>(engine_);
    connect(server_.get(), &ServerLink::shutdownRequested, this, &HeadlessGuider::stop,
            Qt::QueuedConnection);
    connect(server_.get(), &ServerLink::listening, this, [](quint16 port) {
        sayOnStandardError(QStringLiteral("listening on port %1").arg(port));
    });
    if (const QString why = openProtocolLog(); !why.isEmpty())
        return why;
    server_->start(options_.port, options_.network);
    if (!server_->events().isListening())
        return engine_.statusNotes().conditions().join(QStringLiteral("; "));
    return {};
}

// A camera or mount named on the command line is saved as the menus save a choice, so that
// start-up takes it (and the next start finds it again) and nothing is connected twice.
QString HeadlessGuider::chooseEquipment() {
    if (!options_.camera.isEmpty()) {
        const std::optional<CameraEntry> camera = platform_.camera(options_.camera);
        if (!camera)
            return QStringLiteral("no camera \"%1\" (see --list-cameras)").arg(options_.camera);
        cameraIndex_ = camera->index;
        engine_.saveSetting(keys::DriverIndex.section, keys::DriverIndex.key,
                            QString::number(camera->index));
        engine_.saveSetting(keys::DriverName.section, keys::DriverName.key, camera->caption);
    }
    if (!options_.mount.isEmpty())
        engine_.saveSetting(keys::DriverID.section, keys::DriverID.key, options_.mount);
    return {};
}

// Start-up connected the camera and chose the mount; a mount named on the command line is
// connected too.
QString HeadlessGuider::connectEquipment() {
    if (cameraIndex_ && engine_.checkedDriver() != *cameraIndex_)
        return QStringLiteral("the camera \"%1\" did not connect").arg(options_.camera);
    if (options_.mount.isEmpty())
        return {};
    if (engine_.telescopeId() != options_.mount)
        return QStringLiteral("the mount \"%1\" is not available (see --list-mounts)")
            .arg(options_.mount);
    if (const std::optional<QString> why = engine_.connectChosenTelescope())
        return QStringLiteral("the mount \"%1\" did not connect: %2").arg(options_.mount, *why);
    return {};
}

QString HeadlessGuider::openProtocolLog() {
    if (options_.protocolLog.isEmpty())
        return {};
    protocolLog_.setFileName(options_.protocolLog);
    if (!protocolLog_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return QStringLiteral("cannot write the protocol log %1: %2")
            .arg(options_.protocolLog, protocolLog_.errorString());
    server_->events().setTrace([this](int client, bool in, const QByteArray& line) {
        protocolLog_.write(QByteArray::number(clock_.elapsed() / 1000.0, 'f', 3) + ' ' +
                           QByteArray::number(client) + (in ? " -> " : " <- ") + line + '\n');
        protocolLog_.flush();
    });
    return {};
}

// Darks instead of guiding: at the exposure the settings hold, then the program ends.
QString HeadlessGuider::startDarks() {
    if (const QString why = engine_.whyDarksCannotStart(); !why.isEmpty())
        return why;
    const double exposure = engine_.state.nextExposureSec;
    sayOnStandardError(QStringLiteral("taking %1 darks of %2 with %3: keep the camera covered")
                           .arg(*options_.takeDarks)
                           .arg(exposureText(exposure), engine_.cameraName()));
    connect(
        &engine_, &GuideEngine::darksDone, this,
        [this](bool completed) {
            exitCode_ = completed ? 0 : 1;
            stop();
        },
        Qt::QueuedConnection);
    engine_.startDarks({*options_.takeDarks, {exposure}});
    return {};
}

// A condition is said when it is raised or reworded.
void HeadlessGuider::showConditions() {
    const QStringList now = engine_.statusNotes().conditions();
    for (const QString& condition : now)
        if (!conditions_.contains(condition))
            sayOnStandardError(condition);
    conditions_ = now;
}

void HeadlessGuider::stop() {
    if (stopped_)
        return;
    stopped_ = true;
    // A mount or camera server that hangs must not hold the program: whatever is still being let
    // go after this long is left to the server's own time-out.
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(kStopDeadlineMs));
        if (letGo)
            return;
        sayOnStandardError(QStringLiteral("equipment did not let go in time; exiting anyway"));
        std::_Exit(0);
    }).detach();
    if (engine_.state.guiding)
        engine_.stopGuiding();
    if (engine_.state.previewing)
        engine_.toggleLoop();
    server_.reset();
    engine_.shutDown();
    emit finished();
}
