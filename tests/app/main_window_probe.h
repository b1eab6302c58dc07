#pragma once

#include "app/frmMain.h"

// Runs handlers that only timers and the guide cycle reach.
struct MainWindowProbe {
    static void tick(frmMain& w) { w.HalfSecTimer_Timer(); }
    static void pulse(frmMain& w, GuideDirection d, int32_t ms) { w.pulse(d, ms); }
    static void makeCorrections(frmMain& w) { w.makeCorrections(); }
    // Ticks until the running exposure has ended (at most `limit` ticks); returns the count.
    static int tickUntilCycle(frmMain& w, int limit = 100) {
        for (int n = 1; n <= limit; ++n) {
            const float before = w.state.elapsedSec;
            w.HalfSecTimer_Timer();
            if (w.state.elapsedSec < before + 0.5f)
                return n;
        }
        return -1;
    }
};
