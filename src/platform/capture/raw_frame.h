#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// A camera frame at the camera's own depth, before it is mapped to the 0..255 picture. Pixels
// run row by row from the top row down, left to right; values are the camera's units (ADU),
// 0..255 for 8-bit cameras, 0..65535 for 16-bit ones.
struct RawFrame {
    int width = 0;
    int height = 0;
    int bitDepth = 0; // 8 or 16
    // The largest value the camera can give (camera units): 255 for 8-bit frames, 65535 for
    // 16-bit ones. Saturation is judged against it. A FITS DATAMAX is not taken for it: INDI
    // writes there the brightest value of that one frame, not the camera's limit.
    int maxValue = 65535;
    // The exposure the camera says it made (FITS EXPTIME), in seconds; -1 when not given.
    double exposureSec = -1;
    // Colour cameras: the Bayer pattern of the sensor ("RGGB", ...), empty for mono. The
    // pixels of such a frame are already merged to mono (see decodeFits).
    QString bayerPattern;
    std::vector<uint16_t> pixels;

    uint16_t at(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};
