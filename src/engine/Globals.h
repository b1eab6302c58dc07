#pragma once

#include <cstdint>

// Values shared by the main window and the free functions of the measuring and port modules.
namespace Globals {
// Side in pixels of the square window the centroid search looks in ("Radius").
inline uint8_t searchRadius = 24;
// Last centroid found, in frame pixels; both <= 0 means no star was found.
inline float starX = 0.0f;
inline float starY = 0.0f;
// I/O address of the parallel port of the LX lines and the relay box (888, 632, 956), or 0
// when the LX port is a serial port or none.
inline uint16_t lxPortAddress = 0;
} // namespace Globals
