#pragma once

// Whether the command line asks for the program without a display (--headless, or one of the
// options that only that program answers: --list-cameras, --list-mounts, --help, --version).
bool wantsHeadless(int argc, char** argv);

// Runs the program without a display: no X or Wayland connection is made. Returns the exit
// code: 0 after a stop by SIGINT, SIGTERM or an imaging program; 2 for a command line it cannot
// use; 1 when it cannot run (equipment or port not available).
int runHeadless(int argc, char** argv);
