#pragma once

#include "engine/guide_engine.h"
#include "headless/headless_options.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>

class HeadlessPlatform;
class ServerLink;
class StopSignals;

// The guider without a display: the engine on the equipment the settings (or the command line)
// name, and the guiding server for imaging programs. Notes, lasting conditions and what a window
// would show in a message box go to standard error, a line each.
class HeadlessGuider : public QObject {
    Q_OBJECT
public:
    HeadlessGuider(HeadlessPlatform& platform, const HeadlessOptions& options);
    ~HeadlessGuider() override;

    // Loads the settings, connects the equipment asked for and starts the server. The reason
    // (for standard error) when it cannot run: a camera or mount not found, a protocol log that
    // cannot be written, the server's port not available.
    QString start();
    // Guiding and the loop stopped, the server closed, what this program connected let go;
    // then finished(). Unless equipmentLetGo() has been called by then, the process ends
    // kStopDeadlineMs after the stop began.
    void stop();
    static constexpr int kStopDeadlineMs = 1800;
    // 1 when darks asked for on the command line were not all taken, else 0.
    int exitCode() const { return exitCode_; }

signals:
    void finished();

private:
    QString chooseEquipment();
    QString connectEquipment();
    QString openProtocolLog();
    void showConditions();
    QString startDarks();

    HeadlessPlatform& platform_;
    HeadlessOptions options_;
    GuideEngine engine_;
    std::unique_ptr<ServerLink> server_;
    std::unique_ptr<StopSignals> signals_;
    std::optional<int> cameraIndex_; // the Camera menu index of --camera
    QStringList conditions_;
    QFile protocolLog_;
    QElapsedTimer clock_;
    bool stopped_ = false;
    int exitCode_ = 0;
};

// Everything the program connected has been let go (the guider and the platform destroyed):
// a stop's deadline no longer applies.
void equipmentLetGo();

// Standard error, one line (see messageLine).
void sayOnStandardError(const QString& text);
