#pragma once

#include <QRect>
#include <memory>

class IndiDeviceAccess;
class QImage;
class QWidget;
class SettingsStore;
class SkySimulator;
class V4l2Device;

// Where a capture window shows its frames and opens its driver's dialogs.
class CaptureView {
public:
    virtual ~CaptureView() = default;
    // The window dialogs are opened over; null once it is gone (or when there is none).
    virtual QWidget* dialogParent() const = 0;
    // Whether frames given to show() are seen.
    virtual bool showsFrames() const = 0;
    virtual void show(const QImage& frame) = 0;
};

// The widget side of the capture drivers, given by the windowed program: every driver's Source
// and Format dialogs (modal; each returns once closed) and the capture windows' views. Drivers
// given none offer no dialogs, and capture windows show no frames.
class CaptureWidgets {
public:
    virtual ~CaptureWidgets() = default;
    // false when the operator confirmed settings that could not be saved.
    virtual bool simSourceDialog(SkySimulator& sky, SettingsStore& store,
                                 QWidget* parent) const = 0;
    virtual bool simFormatDialog(SkySimulator& sky, SettingsStore& store,
                                 QWidget* parent) const = 0;
    virtual void v4l2SourceDialog(V4l2Device& device, QWidget* parent) const = 0;
    virtual void v4l2FormatDialog(V4l2Device& device, QWidget* parent) const = 0;
    virtual void indiSettingsDialog(IndiDeviceAccess& device, QWidget* parent) const = 0;
    // The view of a capture window placed in `parent`: a live preview at `geometry` when
    // `visible`, otherwise only the parent for dialogs.
    virtual std::unique_ptr<CaptureView> view(QWidget* parent, bool visible,
                                              const QRect& geometry) const = 0;
};
