#pragma once

#include "sim/sky_options.h"

#include <QSize>
#include <QString>

class SettingsStore;
class SkySimulator;

// The simulator's settings live in this section of the settings store, one key per option
// (the keys of skyOptionFields(), "Seed", "Width" and "Height"). Numbers are written with a
// point as the decimal separator whatever the locale.
inline const QString kSkySettingsSection = QStringLiteral("Simulator Options");

// The frame sizes the simulated camera offers, the default first.
inline constexpr QSize kSkyFrameSizes[] = {{640, 480}, {320, 240}};

// Stored options; a value that is missing, does not convert or lies outside its field's range
// keeps its default.
SkyOptions loadSkyOptions(SettingsStore& store);
// The stored frame size when it is one of kSkyFrameSizes, else 640 x 480.
QSize loadSkyFrameSize(SettingsStore& store);

// Each returns false when any value could not be saved; the others are still written.
bool saveSkyOptions(SettingsStore& store, const SkyOptions& options);
bool saveSkyFrameSize(SettingsStore& store, QSize size);

// Loads the stored options and frame size into the simulator.
void applySkySettings(SettingsStore& store, SkySimulator& sky);
