#pragma once

// What floods of requests cost the window, printed as tables:
// (c) the longest the window was held in one pass of its event loop while 16 lines of 64
//     batched requests each (find_star while looping, set_exposure while guiding) are
//     answered, with the guide cycles held off so the figure is the server's alone;
// (d) how late the guide cycles' ticks come while batches of set_exposure flood in without
//     pause, guiding on wall time with 1 s exposures;
// (e) the process's resident memory above idle while 1 and 10 clients flood 16 KB lines, at
//     its peak and after the flood.
bool floodHold();
bool floodCycleDelay(int seconds);
bool floodMemory();
