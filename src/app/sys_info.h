#pragma once

#include <QStringList>

class SystemTools;

// Desktop system-information programs, most preferred first.
QStringList systemInfoPrograms();

// Starts the first program of systemInfoPrograms() found on PATH. Only that one is tried:
// false when none is found or it fails to start.
bool startSystemInfo(SystemTools& tools);
