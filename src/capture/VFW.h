#pragma once

#include "platform/capture/capture_window.h"

// One wrapper per capture-window request. Each answers true when the window carried it out;
// a null window (none created yet) answers false and does nothing.

bool capDriverConnect(CaptureWindow* window, int index);
bool capDriverDisconnect(CaptureWindow* window);
bool capDriverGetCaps(CaptureWindow* window, CAPDRIVERCAPS& caps);
bool capEditCopy(CaptureWindow* window);
bool capDlgVideoFormat(CaptureWindow* window);
bool capDlgVideoSource(CaptureWindow* window);
bool capPreview(CaptureWindow* window, bool on);
// ms: preview period in milliseconds.
bool capPreviewRate(CaptureWindow* window, int ms);
bool capGetStatus(CaptureWindow* window, CAPSTATUS& status);
bool capGrabFrame(CaptureWindow* window);
// seconds: length of the exposure a camera that exposes on command is to start.
bool capStartExposure(CaptureWindow* window, double seconds);
