#pragma once

#include "engine/settle.h"
#include "guiding/corrections.h"
#include "guiding/guide_history.h"
#include "platform/store/write_behind_store.h"
#include "server/event_server.h"
#include "server/events.h"
#include "server/guider_control.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointF>
#include <optional>

class GuideEngine;

// The guider's side of the imaging programs' protocol: answers their requests through the
// engine, and tells them what happens: state changes made by anyone (the operator included),
// every guide cycle, and the settling after a guide or a dither.
class ServerLink : public QObject, public GuiderControl {
    Q_OBJECT
public:
    explicit ServerLink(GuideEngine& engine);
    ~ServerLink() override;

    // Listens as "Server Options" say; a port in use, and a port or listen setting that
    // cannot be read (its default is used then), become lasting status conditions.
    // `port`/`network`: given on the command line, they replace the settings' own.
    void start(std::optional<quint16> port = std::nullopt,
               std::optional<bool> network = std::nullopt);
    EventServer& events() { return server_; }
    // Sends the events for what changed since the last call: a lock, its position, guiding
    // on or off, the exposures stopped, pause. Runs after every change of the engine.
    void sync();
    // As sync(), a star just chosen announced as selected even when it took a locked one's
    // place.
    void syncSelection();
    // The end of a guide cycle: its report; then (after its settle frame) the next step of a
    // pending guide.
    void reportCycle();
    void afterCycle();

    bool connected() override;
    rpc::Reply setConnected(bool connect) override;
    AppState appState() override;
    rpc::Reply loop() override;
    void stopCapture() override;
    rpc::Reply findStar(std::optional<QRect> roi) override;
    rpc::Reply guide(const SettleParams& settle, bool recalibrate,
                     std::optional<QRect> roi) override;
    rpc::Reply dither(double amount, bool raOnly, const SettleParams& settle) override;
    bool settling() override;
    bool paused() override;
    void setPaused(bool paused, bool full) override;
    std::optional<double> pixelScale() override;
    int exposureMs() override;
    QList<int> exposureDurationsMs() override;
    rpc::Reply setExposure(int ms) override;
    std::optional<QPointF> lockPosition() override;
    rpc::Reply setLockPosition(double x, double y, bool exact) override;
    rpc::Reply starImage(int size) override;
    std::optional<QSize> frameSize() override;
    bool calibrated() override;
    void clearCalibration() override;
    QString decGuideMode() override;
    rpc::Reply setDecGuideMode(const QString& mode) override;
    QStringList algoParamNames(bool dec) override;
    rpc::Reply algoParam(bool dec, const QString& name) override;
    rpc::Reply setAlgoParam(bool dec, const QString& name, const QJsonValue& value) override;
    rpc::Reply startAssistant(double seconds, bool backlash) override;
    void stopAssistant() override;
    QJsonObject assistantStatus() override;
    rpc::Reply applyAssistant() override;
    QJsonObject equipment() override;
    std::vector<Profile> profiles() override;
    Profile profile() override;
    rpc::Reply setProfile(int id) override;
    QJsonObject calibrationData() override;
    void shutdown() override;

signals:
    // Listening on `port`; the number of clients connected.
    void listening(quint16 port);
    void clientsChanged(int count);
    // A client asked the program to end; the answer has gone out.
    void shutdownRequested();

private:
    // The state the events describe, as last sent.
    struct Snapshot {
        bool previewing = false;
        bool locked = false;
        bool guiding = false;
        bool paused = false;
        QPointF target;
        bool mountCalibrated = false; // a calibration stored and the guide output ready
    };
    // A guide request still on its way to guiding: star, calibration, then settling.
    struct PendingGuide {
        SettleParams settle;
        bool recalibrate = false;
        std::optional<QRect> roi;
        int tries = 0;
        bool calibrating = false;     // a calibration started for it runs
        bool calibrationDone = false; // and has completed
    };
    // What one guide cycle measured and sent, for its GuideStep.
    struct CycleReport {
        std::optional<PulseRequest> ra, dec;
        StepStar star;
    };
    enum class Operation { None, Guide, Dither };
    // Counts a request or step of the server's own under way.
    struct Acting {
        explicit Acting(int& depth) : depth_(depth) { ++depth_; }
        ~Acting() { --depth_; }
        Acting(const Acting&) = delete;
        Acting& operator=(const Acting&) = delete;
        int& depth_;
    };

    Snapshot snapshot() const;
    AppState currentState() const;
    QByteArrayList greeting() const;
    double now() const { return static_cast<double>(clock_.elapsed()) / 1000.0; }
    bool cameraConnected() const;
    bool mountReady() const;
    rpc::Reply changeConnection(bool connect);
    QString mountName() const;
    std::optional<QString> busyMessage(const char* what) const;

    void reportFrame();
    GuideStepData guideStep() const;
    CycleReport cycleReport() const;

    // The calibration a guide may need (server_calibration.cpp). Needed when asked for, or
    // when "Use Calibration" is ticked and none is stored.
    bool calibrationRunning() const;
    bool calibrationNeeded(bool recalibrate) const;
    // Starts one; false with the reason when it cannot.
    bool beginCalibration(QString& why);
    // Lines a joining client gets for the calibration stored: none while the guide output is
    // not ready, since the calibration is announced when it becomes so.
    QByteArrayList calibrationGreeting() const;
    bool mountCalibrated() const;
    void followCalibration();
    void advanceGuide();
    bool startGuiding();
    void beginSettle(const SettleParams& settle, Operation operation);
    void endOperation(const SettleResult& result);
    void abandonOperation(const QString& reason);
    bool lockAt(double x, double y);

    GuideEngine& e_;
    // A request, or the server's own step after a cycle, is under way: it sends its events itself.
    int acting_ = 0;
    // The window's settings store while the server runs: settings a request changes are
    // written shortly after, together, not once per request.
    WriteBehindStore writes_;
    EventServer server_;
    ProtocolEvents events_;
    std::optional<PendingGuide> pending_;
    Operation operation_ = Operation::None;
    Snapshot sent_;
    QElapsedTimer clock_;
    double guidingSince_ = 0;
    // The guide cycle's record of the frame being reported; none when it recorded nothing.
    std::optional<GuideRecord> cycleRecord_;
    double avgDist_ = 0;
    int frame_ = 0;
};
