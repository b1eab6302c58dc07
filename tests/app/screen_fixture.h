#pragma once

#include "app/window_fixture.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

// Shown on the X server and framed by the window manager. Shown windows settle only through
// the server, so this waits on events, never on time.
inline void waitShown(QWidget* window) {
    if (!QTest::qWaitForWindowExposed(window))
        ADD_FAILURE() << window->windowTitle().toStdString() << " was never exposed";
    if (!QTest::qWaitFor([window] { return window->frameGeometry().size() != window->size(); }))
        ADD_FAILURE() << window->windowTitle().toStdString() << " was never framed";
    QApplication::processEvents();
}

// The main window as the operator first sees it: shown, framed, and fitted again to the
// screen with its frame.
class ScreenTest : public WindowTest {
protected:
    frmMain& openShown() {
        frmMain& w = open();
        w.show();
        waitShown(&w);
        return w;
    }
};

// One suite per screen size; screen_tests runs the suite of its server's screen.
using Screen1024x600 = ScreenTest;
using Screen1280x800 = ScreenTest;
using Screen1366x768 = ScreenTest;
using Screen1920x1080 = ScreenTest;
