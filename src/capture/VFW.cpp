#include "capture/VFW.h"

bool capDriverConnect(CaptureWindow* window, int index) {
    return window && window->driverConnect(index);
}
bool capDriverDisconnect(CaptureWindow* window) {
    return window && window->driverDisconnect();
}
bool capDriverGetCaps(CaptureWindow* window, CAPDRIVERCAPS& caps) {
    return window && window->driverGetCaps(caps);
}
bool capEditCopy(CaptureWindow* window) {
    return window && window->editCopy();
}
bool capDlgVideoFormat(CaptureWindow* window) {
    return window && window->dlgVideoFormat();
}
bool capDlgVideoSource(CaptureWindow* window) {
    return window && window->dlgVideoSource();
}
bool capPreview(CaptureWindow* window, bool on) {
    return window && window->preview(on);
}
bool capPreviewRate(CaptureWindow* window, int ms) {
    return window && window->previewRate(ms);
}
bool capGetStatus(CaptureWindow* window, CAPSTATUS& status) {
    return window && window->getStatus(status);
}
bool capGrabFrame(CaptureWindow* window) {
    return window && window->grabFrame();
}
bool capStartExposure(CaptureWindow* window, double seconds) {
    return window && window->startExposure(seconds);
}
