#include "indi_guiding_run.h"

#include "guiding/assistant/assistant_report.h"

#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "engine/Globals.h"
#include "fakes/fake_platform.h"
#include "indi_simulators.h"
#include "platform/capture/desktop_capture_drivers.h"
#include "platform/indi_test_server.h"
#include "platform/sleep/thread_sleeper.h"
#include "platform/telescope/indi_registration.h"
#include "platform/telescope/mount_report.h"
#include "platform/telescope/telescope_registry.h"
#include "protocol_client.h"
#include "server/server_link.h"
#include "settings/setting_keys.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <QAction>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <functional>
#include <utility>

namespace {
// A star closer than this to an edge could leave the frame while calibrating, px.
constexpr int kEdgeMargin = 64;

// Runs the event loop until `done` holds or `ms` have passed; true when it holds. `done` is
// not called again once it has held.
bool runUntil(const std::function<bool()>& done, qint64 ms) {
    bool met = done();
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        met = done();
        if (met || clock.elapsed() >= ms)
            loop.quit();
    });
    poll.start(20);
    if (!met)
        loop.exec();
    return met;
}

void runFor(qint64 ms) {
    runUntil([] { return false; }, ms);
}

// The bench's catalogue first on indiserver's PATH, its sky in the environment, its clock
// starting now.
QProcessEnvironment skyEnvironment(const BenchSky& sky) {
    QProcessEnvironment e;
    e.insert(QStringLiteral("PATH"),
             QStringLiteral(ORVALIS_BENCH_GSC_DIR ":") + qEnvironmentVariable("PATH"));
    const double now = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000;
    e.insert(QStringLiteral("GSC_EPOCH"), QString::number(now, 'f', 3));
    e.insert(QStringLiteral("GSC_PE_PP"), QString::number(sky.pePeakToPeak));
    e.insert(QStringLiteral("GSC_PE_PERIOD"), QString::number(sky.pePeriodSec));
    e.insert(QStringLiteral("GSC_DRIFT"), QString::number(sky.driftArcsecPerSec));
    return e;
}

// westOfMeridian: the mount is slewed an hour west of the meridian, so that a flip can follow.
QString prepareSimulators(int port, const BenchSky& sky, bool westOfMeridian) {
    IndiSimulators hand(port);
    const bool ready = hand.problem().isEmpty() && hand.connect(kMountDevice) &&
                       hand.setGuideRate(sky.guideRate) &&
                       (sky.mountPollMs <= 0 || hand.setMountPollMs(sky.mountPollMs)) &&
                       (westOfMeridian ? hand.slewTo(hand.siderealHours() - 1, sky.decDeg)
                                       : hand.slewToDec(sky.decDeg)) &&
                       hand.connect(kCameraDevice);
    return ready ? QString() : hand.problem();
}

void storeSettings(FakeStore& store, const BenchSettings& s, int indiPort, int serverPort) {
    const auto set = [&](const SettingKey& key, double value) {
        store.set(key.section, key.key, QString::number(value));
    };
    store.set(keys::IndiCameraServer.section, keys::IndiCameraServer.key,
              QStringLiteral("localhost:%1").arg(indiPort));
    // The camera a user chose before: restored by its caption at start-up.
    store.set(keys::DriverName.section, keys::DriverName.key, kCameraDevice + " (INDI)");
    set(keys::Exposure, s.exposureSec);
    set(keys::HorizontalPixelSize, s.pixelSizeUm);
    set(keys::VerticalPixelSize, s.pixelSizeUm);
    set(keys::FocalLength, s.focalLengthMm);
    set(keys::RAGuideRate, s.raGuideRate);
    set(keys::DecGuideRate, s.decGuideRate);
    set(keys::DecCorrect, s.decCorrect ? 1 : 0);
    set(keys::MinimumCorrection, s.minCorrectionArcsec);
    set(keys::MaximumCorrection, s.maxCorrectionArcsec);
    set(keys::Aggressiveness, s.aggressiveness);
    store.set(keys::RALaw.section, keys::RALaw.key, s.law);
    store.set(keys::DecLaw.section, keys::DecLaw.key, s.law);
    set(keys::ServerEnabled, 1);
    set(keys::ServerPort, serverPort);
    store.set(keys::ServerListen.section, keys::ServerListen.key, "local");
}

// The brightest pixel of the raw frame's middle half: a star well inside.
QPoint brightestWellInside(const RawFrame& f) {
    QPoint best;
    int peak = -1;
    for (int y = f.height / 4; y < 3 * f.height / 4; ++y)
        for (int x = f.width / 4; x < 3 * f.width / 4; ++x)
            if (const int v = f.at(x, y); v > peak) {
                peak = v;
                best = {x, y};
            }
    return best;
}

// Where each leg of a calibration took the star: "West 12 steps (x,y)->(x,y), ...".
QString pathOf(const Calibrator& c) {
    QStringList legs;
    for (const GuideDirection d : {guideWest, guideEast, guideNorth, guideSouth}) {
        const std::vector<QPointF>& p = c.path().leg(d).points;
        if (p.empty())
            continue;
        legs << QStringLiteral("%1 %2 steps of %3 ms (%4,%5)->(%6,%7)")
                    .arg(QString::fromLatin1(guideDirectionName(d)))
                    .arg(p.size() - 1)
                    .arg(c.path().leg(d).stepMs)
                    .arg(p.front().x(), 0, 'f', 1)
                    .arg(p.front().y(), 0, 'f', 1)
                    .arg(p.back().x(), 0, 'f', 1)
                    .arg(p.back().y(), 0, 'f', 1);
    }
    return legs.join(QStringLiteral(", "));
}

// The window, its platform and the bench's link to the guiding server, for one run.
class Session {
public:
    Session(const BenchSettings& settings, int indiPort)
        : settings_(settings), serverPort_(freeLoopbackPort()),
          sky_(SkyOptions{}, std::make_shared<SteadySimClock>()) {
        storeSettings(fp_.store, settings, indiPort, serverPort_);
        fp_.chooser.answers = {QStringLiteral("indi://localhost:%1/%2")
                                   .arg(indiPort)
                                   .arg(QString(QUrl::toPercentEncoding(kMountDevice)))};
        registerIndiTelescopes(telescopes_);
        Globals::starX = Globals::starY = 0;
    }

    QString open();
    QString chooseStar(QString& how);
    QString calibrate(int& frames);
    QString assist(QStringList& report);
    QString guide(std::vector<GuideRecord>& records, QString& law);
    QString dither(std::vector<DitherResult>& results);
    // Guiding stops, the mount slews, the star is chosen again and guided for the minutes set.
    QString moveAndGuide(IndiSimulators& hand, double raH, double decDeg,
                         std::vector<GuidedLeg>& legs);
    GuidedLeg leg(std::vector<GuideRecord> guided) const;
    void stop();
    std::optional<Calibration> calibration() const { return w_ ? w_->calibration() : std::nullopt; }

private:
    QString problem(const QString& what) const;

    BenchSettings settings_;
    int serverPort_;
    FakePlatform fp_;
    ThreadSleeper sleeper_;
    QTemporaryDir noWebcams_;
    SkySimulator sky_;
    std::unique_ptr<DesktopCaptureDrivers> drivers_; // made once the settings are stored
    TelescopeRegistry telescopes_;
    std::unique_ptr<frmMain> w_;
    QDateTime calibratedAt_; // the first calibration's
};

// `what`, with the message boxes the window showed.
QString Session::problem(const QString& what) const {
    return fp_.messages.texts.isEmpty()
               ? what
               : what + QStringLiteral(": ") + fp_.messages.texts.join(QStringLiteral("; "));
}

QString Session::open() {
    drivers_ =
        std::make_unique<DesktopCaptureDrivers>(sky_, fp_.store, systemV4l2Io(), noWebcams_.path());
    Platform platform = fp_.platform();
    platform.capture = drivers_.get();
    platform.telescopes = &telescopes_;
    platform.sleeper = &sleeper_;
    w_ = std::make_unique<frmMain>(platform);
    const QAction* camera = w_->mnuDriver.value(0);
    if (!camera || !camera->isChecked() || !camera->text().startsWith(kCameraDevice))
        return problem(QStringLiteral("the CCD simulator is not the camera in use (%1)")
                           .arg(camera ? camera->text() : QString()) +
                       drivers_->problems().join(QStringLiteral("; ")));
    w_->mnuChooseTelescope->trigger();
    if (!w_->mnuTelescopeConnected->isChecked())
        return problem(QStringLiteral("the telescope simulator did not connect"));
    w_->cmdPreview->click();
    const int exposureMs = settings_.exposureSec * 1000;
    if (!runUntil([&] { return w_->state.loopFrames > 1; }, 4 * exposureMs + 20000))
        return problem(QStringLiteral("no frames came"));
    return {};
}

// Select Star Automatically, or the brightest star of the frame's middle half when that
// finds none or one too near an edge.
QString Session::chooseStar(QString& how) {
    const frmMain& w = *w_;
    const QSize frame = w.picFrame->image().size();
    const QRect inside =
        QRect(QPoint(0, 0), frame).adjusted(kEdgeMargin, kEdgeMargin, -kEdgeMargin, -kEdgeMargin);
    w_->mnuSelectStarAutomatically->trigger();
    if (w.state.locked && inside.contains(QPoint(int(w.state.targetX), int(w.state.targetY)))) {
        how = QStringLiteral("Select Star Automatically");
        return {};
    }
    if (!w.rawFrame())
        return QStringLiteral("no raw frame to find a star in");
    const QPoint star = brightestWellInside(*w.rawFrame());
    if (w.state.locked)
        w_->cmdLock->click();
    w_->cmdLock->click();
    emit w_->picFrame->mouseUp(1, float(star.x()), float(star.y()));
    how = QStringLiteral("the brightest pixel of the middle half, clicked");
    return w.state.locked ? QString() : QStringLiteral("no lock on the brightest star");
}

QString Session::calibrate(int& frames) {
    GuideHistory& history = w_->guideHistory();
    const size_t before = history.size();
    QString failure;
    const QMetaObject::Connection listening =
        QObject::connect(&w_->calibrator(), &Calibrator::failed, w_.get(),
                         [&](const QString& why) { failure = why; });
    w_->mnuCalibrate->trigger();
    if (!w_->calibrating())
        return problem(QStringLiteral("calibration did not start"));
    // The calibrator's own limit (60 steps a leg) ends it long before this.
    runUntil([&] { return !w_->calibrating(); }, 600000);
    QObject::disconnect(listening);
    frames = static_cast<int>(history.size() - before);
    if (!failure.isEmpty() || !w_->calibration())
        return problem(QStringLiteral("calibration failed (%1) ").arg(pathOf(w_->calibrator())) +
                       failure);
    if (w_->mnuUseCalibration->isChecked() != settings_.useCalibration)
        w_->mnuUseCalibration->trigger();
    calibratedAt_ = w_->calibration()->time;
    return {};
}

// The guiding assistant for the seconds set, the backlash measured, its advice applied.
QString Session::assist(QStringList& report) {
    if (settings_.assistantSec <= 0)
        return {};
    GuideEngine& e = w_->engine();
    if (!e.startAssistant(settings_.assistantSec, true))
        return problem(QStringLiteral("the assistant did not start: ") +
                       e.whyAssistantCannotStart());
    runUntil([&] { return e.assistantState() != AssistantState::Running; },
             static_cast<qint64>(settings_.assistantSec * 1000) + 300000);
    if (!e.assistantResults())
        return problem(QStringLiteral("the assistant gave no results"));
    report = assistantReport(*e.assistantResults());
    return e.applyAssistantAdvice() ? QString() : problem(QStringLiteral("advice not applied"));
}

QString Session::guide(std::vector<GuideRecord>& records, QString& law) {
    law = w_->engine().law(false).name() + QStringLiteral("/") + w_->engine().law(true).name();
    w_->cmdGuide->click();
    if (!w_->state.guiding)
        return problem(QStringLiteral("guiding did not start"));
    const GuideHistory& history = w_->guideHistory();
    const size_t first = history.size();
    runFor(static_cast<qint64>(settings_.guideMinutes * 60000));
    for (size_t i = first; i < history.size(); ++i)
        records.push_back(history.at(i));
    return {};
}

// One dither of up to `px` through the guiding server, waiting for its SettleDone.
DitherResult ditherOnce(ProtocolClient& client, double px, const SettleParams& p) {
    client.forget();
    QElapsedTimer clock;
    clock.start();
    const QJsonObject settle{{"pixels", p.pixels}, {"time", p.timeSec}, {"timeout", p.timeoutSec}};
    const int id = client.call(QStringLiteral("dither"), QJsonArray{px, false, settle});
    std::optional<QJsonObject> done, answer;
    const auto refused = [&] { return answer && answer->contains("error"); };
    runUntil(
        [&] {
            if (!answer)
                answer = client.takeAnswer(id);
            if (!done)
                done = client.takeEvent(QStringLiteral("SettleDone"));
            return done || refused();
        },
        (p.timeoutSec + 30) * 1000LL);
    DitherResult r;
    r.seconds = static_cast<double>(clock.elapsed()) / 1000;
    if (const auto moved = client.takeEvent(QStringLiteral("GuidingDithered")))
        r.move = QPointF((*moved)["dx"].toDouble(), (*moved)["dy"].toDouble());
    r.settled = done && (*done)["Status"].toInt() == 0;
    r.error = done        ? (*done)["Error"].toString()
              : refused() ? (*answer)["error"].toObject()["message"].toString()
                          : QStringLiteral("no SettleDone");
    return r;
}

// Dithers one after the other through the guiding server, each once the last has settled.
QString Session::dither(std::vector<DitherResult>& results) {
    ProtocolClient client{static_cast<quint16>(serverPort_)};
    if (!runUntil([&] { return client.connected(); }, 5000))
        return QStringLiteral("cannot reach the guiding server");
    for (int i = 0; i < settings_.dithers; ++i)
        results.push_back(ditherOnce(client, settings_.ditherPx, settings_.settle));
    return {};
}

QString Session::moveAndGuide(IndiSimulators& hand, double raH, double decDeg,
                              std::vector<GuidedLeg>& legs) {
    if (w_->state.guiding)
        w_->cmdGuide->click();
    if (!hand.slewTo(raH, decDeg))
        return hand.problem();
    // The camera simulator shows the new place from the next exposure it starts.
    runFor(3000LL * settings_.exposureSec + 2000);
    QString how;
    if (const QString why = chooseStar(how); !why.isEmpty())
        return why;
    std::vector<GuideRecord> guided;
    QString law;
    if (const QString why = guide(guided, law); !why.isEmpty())
        return why;
    legs.push_back(leg(std::move(guided)));
    return {};
}

GuidedLeg Session::leg(std::vector<GuideRecord> guided) const {
    GuidedLeg leg;
    leg.guided = std::move(guided);
    GuideEngine& e = w_->engine();
    const MountPointing& p = e.lastPointing();
    leg.where =
        QStringLiteral("Dec %1, hour angle %2 h, pier side %3")
            .arg(p.decDeg ? QString::asprintf("%+.1f", *p.decDeg) : QStringLiteral("?"))
            .arg(p.hourAngleH ? QString::asprintf("%+.1f", *p.hourAngleH) : QStringLiteral("?"))
            .arg(pierSideName(p.pierSide));
    const Calibration* used = e.calibrationInUse();
    if (used && w_->calibration() && w_->calibration()->raSpeed > 0)
        leg.raSpeedRatio = used->raSpeed / w_->calibration()->raSpeed;
    leg.recalibrated = w_->calibration() && w_->calibration()->time != calibratedAt_;
    return leg;
}

void Session::stop() {
    if (!w_)
        return;
    if (w_->state.guiding)
        w_->cmdGuide->click();
    if (w_->state.previewing)
        w_->cmdPreview->click();
    w_.reset();
}
} // namespace

RunResult runIndiGuiding(const BenchSettings& settings, const BenchSky& sky) {
    RunResult result;
    IndiTestServer server(
        {QStringLiteral("indi_simulator_telescope"), QStringLiteral("indi_simulator_ccd")},
        skyEnvironment(sky));
    if (!server.running()) {
        result.problem = server.problem();
        return result;
    }
    const bool moves = settings.slewDecDeg != 0;
    result.problem = prepareSimulators(server.port(), sky, moves);
    if (!result.problem.isEmpty())
        return result;
    Session session(settings, server.port());
    const std::pair<const char*, std::function<QString()>> steps[] = {
        {"opening the window", [&] { return session.open(); }},
        {"choosing a star", [&] { return session.chooseStar(result.starChoice); }},
        {"calibrating", [&] { return session.calibrate(result.calibrationFrames); }},
        {"choosing a star", [&] { return session.chooseStar(result.starChoice); }},
        {"assisting", [&] { return session.assist(result.assistantReport); }},
        {"guiding", [&] { return session.guide(result.guided, result.lawGuided); }},
        {"dithering", [&] { return session.dither(result.dithers); }},
    };
    IndiSimulators hand(server.port());
    const double slewedDec = sky.decDeg + settings.slewDecDeg;
    const std::pair<const char*, std::function<QString()>> moveSteps[] = {
        {"slewing",
         [&] {
             return session.moveAndGuide(hand, hand.siderealHours() - 1, slewedDec, result.legs);
         }},
        {"flipping",
         [&] {
             return session.moveAndGuide(hand, hand.siderealHours() + 1, slewedDec, result.legs);
         }},
    };
    QElapsedTimer clock;
    clock.start();
    const auto run = [&](const char* name, const std::function<QString()>& step) {
        std::fprintf(stderr, "%6.0f s: %s\n", static_cast<double>(clock.elapsed()) / 1000, name);
        result.problem = step();
        return result.problem.isEmpty();
    };
    bool going = true;
    for (const auto& [name, step] : steps)
        if (going = run(name, step); !going)
            break;
    if (going && moves) {
        result.legs.push_back(session.leg(result.guided));
        for (const auto& [name, step] : moveSteps)
            if (!run(name, step))
                break;
    }
    result.calibration = session.calibration();
    session.stop();
    return result;
}
