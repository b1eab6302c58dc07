#pragma once

#include "platform/capture/capture_widgets.h"

// The capture drivers' dialogs as modal Qt dialogs, and capture windows' views as a label in
// the parent window (black behind the frame, the frame at its top left corner).
class QtCaptureWidgets : public CaptureWidgets {
public:
    bool simSourceDialog(SkySimulator& sky, SettingsStore& store, QWidget* parent) const override;
    bool simFormatDialog(SkySimulator& sky, SettingsStore& store, QWidget* parent) const override;
    void v4l2SourceDialog(V4l2Device& device, QWidget* parent) const override;
    void v4l2FormatDialog(V4l2Device& device, QWidget* parent) const override;
    void indiSettingsDialog(IndiDeviceAccess& device, QWidget* parent) const override;
    std::unique_ptr<CaptureView> view(QWidget* parent, bool visible,
                                      const QRect& geometry) const override;
};

// The one instance the windowed program's drivers share; it holds no state.
const QtCaptureWidgets& qtCaptureWidgets();
