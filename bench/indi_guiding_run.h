#pragma once

#include "engine/settle.h"
#include "guiding/calibration.h"
#include "guiding/guide_history.h"

#include <QPointF>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The sky INDI's simulators show. The mount tracks at the sidereal rate; its error comes from
// the bench's star catalogue, which moves the stars in RA by the periodic error and the drift.
struct BenchSky {
    double pePeakToPeak = 2;         // arcsec on the sky
    double pePeriodSec = 60;         // s
    double driftArcsecPerSec = 0.01; // RA, arcsec on the sky per second
    double guideRate = 0.5;          // the mount's, a multiple of the sidereal rate
    double decDeg = 30;              // where the mount is slewed
    // The telescope simulator's POLLING_PERIOD, ms; 0 keeps its own (250). It moves the mount
    // only on these ticks, a pulse by the guide rate times the ticks' spacing for each tick
    // that falls inside it, so shorter pulses move it by a whole tick's worth or not at all.
    int mountPollMs = 0;
};

// What the window is set to, and what the run does.
struct BenchSettings {
    int aggressiveness = 100; // percent
    double pixelSizeUm = 5.2;
    double focalLengthMm = 900;
    double raGuideRate = 7.5; // typed, arcsec per second of pulse
    double decGuideRate = 7.5;
    bool decCorrect = true;
    bool useCalibration = true;
    double minCorrectionArcsec = 0.5;
    double maxCorrectionArcsec = 10;
    int exposureSec = 1;
    double guideMinutes = 8;
    int dithers = 5;
    double ditherPx = 3;
    SettleParams settle{1.5, 8, 60};
    QString law = QStringLiteral("Standard"); // both axes
    // Seconds of guiding assistant (with the backlash measured) before guiding, whose advice
    // is then applied; 0: none.
    double assistantSec = 0;
    // After guiding, the mount slews by this in Dec, is guided again, then crosses the
    // meridian (a flip) and is guided again, with no new calibration; 0: it stays.
    double slewDecDeg = 0;
};

struct DitherResult {
    QPointF move;       // the target's move the server announced, px
    double seconds = 0; // from the request to SettleDone
    bool settled = false;
    QString error; // the server's, when it did not settle
};

// Guiding after the mount moved on, with the calibration made before.
struct GuidedLeg {
    QString where; // as the mount tells it: "Dec +60.0, hour angle -1.0 h, pier side East"
    std::vector<GuideRecord> guided;
    double raSpeedRatio = 1;   // the RA speed in use over the calibrated one
    bool recalibrated = false; // another calibration than the first was in use
};

struct RunResult {
    QString problem;    // why the run ended early; empty when it went through
    QString starChoice; // how the guide star was chosen
    int calibrationFrames = 0;
    std::optional<Calibration> calibration;
    std::vector<GuideRecord> guided; // the cycles of the guiding minutes, dithers not included
    std::vector<DitherResult> dithers;
    QStringList assistantReport; // the assistant's results and advice, when it ran
    QString lawGuided;           // the law of both axes while guiding
    std::vector<GuidedLeg> legs; // with slewDecDeg: where it started, after the slew, the flip
};

// One run on INDI's simulators: starts indiserver with the telescope and CCD simulators and
// the bench's catalogue, slews the mount, opens the main window on them (offscreen, fakes for
// the rest of the platform, the guiding server on), chooses a star, calibrates, guides for
// the given minutes and then dithers through the guiding server as an imaging program would.
// With slewDecDeg it starts an hour west of the meridian and then slews and flips, guiding
// after each. Everything runs on the window's event loop in real time; indiserver is stopped
// at the end.
// Meant to run inside private PID and network namespaces.
RunResult runIndiGuiding(const BenchSettings& settings, const BenchSky& sky);
