#pragma once

#include "guiding/calibration.h"

#include "engine/settle.h"
#include "server/app_state.h"

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <optional>

class JsonLine;

// A guide pulse as the protocol reports it: length in ms and "East", "West", "North" or
// "South".
struct StepPulse {
    int ms = 0;
    QString direction;
};

// The star's measures as events carry them: flux above the background (ADU), SNR, HFD (px).
struct StepStar {
    double mass = 0;
    double snr = 0;
    double hfd = 0;
};

// One guide frame. dx, dy: star minus target in frame pixels; the RA/Dec distances the same
// offset along the mount's axes, px (raw before, guide after the guide algorithm's limits):
// positive RA is corrected by a West pulse, positive Dec by a North pulse (reverse switches
// aside).
struct GuideStepData {
    int frame = 0;
    double timeSec = 0; // since guiding started
    QString mount;
    double dx = 0, dy = 0;
    double raRaw = 0, decRaw = 0;
    double raGuide = 0, decGuide = 0;
    std::optional<StepPulse> ra, dec;
    StepStar star;
    double avgDist = 0; // px, smoothed distance from the target
};

// One calibration step: the pulses' direction ("West", "East", "North", "South"), how many
// went that way, the star's place and its move since the direction began, frame pixels.
struct CalibratingStep {
    QString direction;
    int step = 0;
    double distance = 0;
    QPointF offset;
    QPointF position;
};

// The event lines, without their line end. Every event starts with Event, Timestamp (Unix
// seconds, 3 decimals), Host and Inst; positions have 3 decimals, SNR and HFD 2.
class ProtocolEvents {
public:
    ProtocolEvents(QString host, int instance, QString version);

    QByteArray version() const;
    QByteArray appState(AppState state) const;
    QByteArray simple(const char* name) const;               // an event with no fields of its own
    QByteArray position(const char* name, QPointF at) const; // LockPositionSet, StarSelected
    QByteArray loopingExposures(int frame, const std::optional<StepStar>& star) const;
    QByteArray starLost(int frame, double timeSec, const StepStar& star, double avgDist) const;
    QByteArray guideStep(const GuideStepData& step) const;
    QByteArray guidingDithered(QPointF offset) const;
    QByteArray settling(const SettlingStep& step) const;
    QByteArray settleDone(const SettleResult& result) const;
    QByteArray mountEvent(const char* name, const QString& mount) const;
    // CalibrationComplete, with where the mount pointed when the calibration says.
    QByteArray calibrationComplete(const QString& mount, const Calibration* c) const;
    QByteArray calibrating(const QString& mount, const CalibratingStep& step) const;
    QByteArray calibrationFailed(const QString& mount, const QString& reason) const;
    QByteArray alert(const QString& message, const QString& type) const;

private:
    JsonLine start(const char* name) const;

    QString host_;
    int instance_;
    QString version_;
};
