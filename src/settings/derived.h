#pragma once

#include <cstdint>

// Image scale in arcseconds per pixel of a pixel pitchMicrons wide behind a focal length in
// millimetres: 2 * atan(pitch / (2 * focal length)) in arcseconds. Both must be positive.
double arcsecPerPixel(double pitchMicrons, double focalLengthMm);

// The LX control port list: 0..2 are LPT1..LPT3, 3..18 are COM1..COM16, -1 is none.
inline constexpr int16_t kLastPortIndex = 18;

// I/O address of a parallel port index: 888, 632, 956; 0 for every other index.
uint16_t lxPortAddressFor(int16_t portIndex);
// COM number of a serial port index (index - 2 above 2), else 0.
int16_t lxCommPortFor(int16_t portIndex);
