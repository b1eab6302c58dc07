#pragma once

#include "app/frame_picture.h"
#include "app/frmMain.h"

#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <thread>

// Runs handlers that only timers and the guide cycle reach.
struct MainWindowProbe {
    static void tick(frmMain& w) { w.HalfSecTimer_Timer(); }
    static void pulse(frmMain& w, GuideDirection d, int32_t ms) { w.engine().pulse(d, ms); }
    static void makeCorrections(frmMain& w) { w.engine().makeCorrections(); }
    // The exposure loop waits for running pulses; one poll of them, as its timer makes.
    static bool waitingForPulses(frmMain& w) { return w.engine().waitingForPulses(); }
    static void pollPulses(frmMain& w) { w.engine().pollPulses(); }
    // Polls as the exposure loop's timer would until the running pulses have ended (at most
    // about 10 s of real time, when a mount's pulses run for real).
    static void awaitPulses(frmMain& w) {
        for (int i = 0; i < 2000 && waitingForPulses(w); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            w.engine().pollPulses();
        }
    }
    // Ticks until the running exposure has ended (at most `limit` ticks); returns the count.
    // The next exposure starts, as in the running program, once the cycle's pulses have ended.
    static int tickUntilCycle(frmMain& w, int limit = 100) {
        awaitPulses(w);
        for (int n = 1; n <= limit; ++n) {
            const float before = w.state.elapsedSec;
            w.HalfSecTimer_Timer();
            if (w.state.elapsedSec < before + 0.5f)
                return n;
        }
        return -1;
    }
    // Preview until a frame is in, Lock on the star at (x, y), then Guide.
    static void lockAndGuide(frmMain& w, float x, float y) {
        w.cmdPreview->click();
        tickUntilCycle(w);
        w.cmdLock->click();
        emit w.picFrame->mouseUp(1, x, y);
        w.cmdGuide->click();
    }
};
