#pragma once

#include "darks/dark_frame.h"

#include <QString>
#include <optional>

// A dark on disk: a short header (the camera, the shape, the exposure, the number of darks
// combined, the date), then every value as a little-endian 32-bit float.
// Writes `dark` of `camera` to `path` in one go (a failed write leaves any older file); false
// with `error` set when it cannot.
bool writeDarkFile(const QString& path, const QString& camera, const DarkFrame& dark,
                   QString* error);

// What the header of a dark file says.
struct DarkFileHeader {
    QString camera;
    FrameShape shape;
    double exposureSec = 0;
    int frames = 0;
    QDateTime taken;
};
// The header alone; nullopt when the file is missing or is no dark file.
std::optional<DarkFileHeader> readDarkHeader(const QString& path);
// The dark; nullopt when the file is missing, no dark file or cut short.
std::optional<DarkFrame> readDarkFile(const QString& path);
