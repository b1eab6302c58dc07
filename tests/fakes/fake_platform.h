#pragma once

#include "fakes/fake_core_platform.h"
#include "platform/capture/qt_capture_widgets.h"

// The fakes, with capture windows that show the desktop's views.
struct FakePlatform : FakeCorePlatform {
    FakePlatform() {
        capture.viewMaker = [](QWidget* parent, bool visible, const QRect& geometry) {
            return qtCaptureWidgets().view(parent, visible, geometry);
        };
    }
};
