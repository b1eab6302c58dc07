#pragma once

#include "engine/settle.h"
#include "guidelog/guide_log_headers.h"
#include "guidelog/guide_log_writer.h"
#include "guiding/calibrator.h"
#include "guiding/guide_history.h"

#include <QDateTime>
#include <QObject>
#include <QPointF>
#include <memory>
#include <optional>

class GuideEngine;

// Writes the guide log from what the engine tells: a calibration section per calibration (its
// header, a line per place of the star, a summary per direction, its outcome), a guiding
// section per time guiding is switched on (its header, a line per guide frame, INFO lines for
// dithers, settling, pauses, lock positions and parameter changes, its end). The engine must
// outlive it. A failed write stops the log with a status note; guiding is not affected.
class GuideLogObserver : public QObject {
    Q_OBJECT
public:
    // Status condition key of a stopped log.
    static constexpr const char* kConditionKey = "guidelog";

    GuideLogObserver(GuideEngine& engine, std::unique_ptr<GuideLogWriter> writer);
    // An open guiding section ends.
    ~GuideLogObserver() override;

    const GuideLogWriter& writer() const { return *writer_; }

private:
    void write(const QStringList& lines);
    void info(const QString& line);
    void beginSection(const QStringList& header);
    void followEngine();

    void calibrationStarted();
    void calibrationStepped(const CalibrationProgress& progress);
    void calibrationCompleted();
    void calibrationFailed(const QString& reason);
    void endCalibration(const QString& last);
    void writeLegSummary(GuideDirection direction);

    void guidingChanged(bool on);
    void frameRecorded(const GuideRecord& record);
    void followChanges();
    void settleDone(const SettleResult& result);
    QString guidingEndLine() const;

    GuideEngine& engine_;
    std::unique_ptr<GuideLogWriter> writer_;
    bool failureShown_ = false;

    bool calibrating_ = false;
    // The direction whose places are being written, and how many of them are.
    std::optional<GuideDirection> leg_;
    qsizetype legPlacesWritten_ = 0;

    bool guiding_ = false;
    QDateTime guidingStart_;
    int frame_ = 0;
    QPointF lock_;
    LogParams params_;
};
