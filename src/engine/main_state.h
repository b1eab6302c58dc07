#pragma once

#include "platform/telescope/telescope.h"

#include <QString>
#include <cstdint>
#include <memory>

class CaptureWindow;
class ErrorLog;

// The main window's run-time state, one instance alive from load to unload. Fields loaded
// from the settings start with their start-up defaults, so a value that cannot be loaded
// keeps a sound one. Pixel positions are frame pixels, origin top left, y downwards.
struct MainState {
    // Mode flags.
    bool previewing = false;
    // Frames brought in since Preview last started: 0 while the picture is an older one.
    int loopFrames = 0;
    bool focusing = false;
    bool lockArmed = false;
    bool locked = false;
    bool lockLost = false;
    bool guiding = false;
    // Guiding paused by an imaging program: no corrections; pausedFull also holds the
    // exposures.
    bool paused = false;
    bool pausedFull = false;
    bool markShown = false;
    // The target was moved to the frame centre (Center) and no star locked since.
    bool targetCentred = false;
    bool logging = false;
    // Selected guide output; at most one is true, none until the settings are loaded.
    bool modeAscom = false;
    bool modeParallel = false;
    bool modeSerial = false;

    // Exposure timing, seconds (elapsed counts in steps of 0.5).
    float elapsedSec = 0.0f;
    float exposureSec = 0.0f;
    float nextExposureSec = 0.0f;
    // Milliseconds between ending an exposure and grabbing its frame.
    int32_t postLXTime = 20;

    // Star, target and error, frame pixels; error = target - star.
    float targetX = 0.0f;
    float targetY = 0.0f;
    float errX = 0.0f;
    float errY = 0.0f;
    float markX = 0.0f;
    float markY = 0.0f;
    int32_t frameWidth = 0;
    int32_t frameHeight = 0;

    // Image scale and guiding parameters.
    int32_t focalLength = 1440;   // mm
    float pixelSizeH = 5.6f;      // microns
    float pixelSizeV = 5.6f;      // microns
    double arcsecPerPixelX = 0.0; // arcsec per pixel
    double arcsecPerPixelY = 0.0;
    float raGuideRate = 30.0f; // arcsec per second
    float decGuideRate = 30.0f;
    float raBacklash = 0.0f; // ms added to a pulse that reverses direction
    float decBacklash = 0.0f;
    float minCorrection = 2.5f; // arcsec
    float maxCorrection = 10.0f;
    bool decCorrect = false;
    double aggressiveness = 1.0; // correction factor, slider percent / 100
    bool autostarPulseGuide = false;
    // The reverse switches: a correction or nudge goes the opposite way on that axis.
    bool reverseNS = false;
    bool reverseEW = false;

    // Long-exposure control.
    int16_t lxPortIndex = 0; // 0..2 LPT1..3, 3..18 COM1..16, -1 none
    int16_t lxCommPort = 0;  // COM number, 0 with a parallel port
    QString lxSerialPin = QStringLiteral("RTS");
    bool lxSerialActive = true; // rest level of both serial lines
    bool camModified = false;
    bool hasAdvancedMod = false;
    bool hasAmpOff = false;
    uint8_t lxaBit = 0; // data bit numbers 0..7
    uint8_t lxbBit = 1;
    uint8_t ampOffBit = 2;

    // Guide pulse output.
    int32_t dirNorth = 0;
    int32_t dirSouth = 1;
    int32_t dirEast = 2;
    int32_t dirWest = 3;
    uint8_t ppNorthBit = 6;
    uint8_t ppSouthBit = 7;
    uint8_t ppEastBit = 4;
    uint8_t ppWestBit = 5;
    QString lastRADir;  // "E", "W" or empty
    QString lastDecDir; // "N", "S" or empty
    float backlashMs = 0.0f;
    std::unique_ptr<TelescopeDriver> telescope;

    // Capture and logging.
    std::shared_ptr<CaptureWindow> hCapWnd;
    std::shared_ptr<CaptureWindow> hFocusWnd;
    int32_t driverCount = 0;
    int16_t driverIndex = 0;
    bool appendLog = false;
    QString logFilename;
    std::shared_ptr<ErrorLog> logFileNo; // the open error log
};
