#pragma once

#include "darks/bad_pixel_map.h"
#include "darks/dark_library.h"

#include <QImage>
#include <QString>
#include <memory>

// What the dark stage did to one frame.
struct DarkUse {
    bool subtracted = false;
    int repaired = 0; // bad pixels given their neighbours' values
    // For the status bar: the dark in use, or why none is; empty when the camera has no darks
    // or both corrections are off.
    QString note;
};

// The step of the frame path between the camera and every measure: subtracts the camera's dark
// for the frame's size and exposure, then repairs the bad pixels found in that dark. Each can be
// switched off; with no matching dark it does nothing.
class DarkStage {
public:
    explicit DarkStage(DarkLibrary& library) : library_(library) {}

    void setUseDarks(bool on) { useDarks_ = on; }
    bool useDarks() const { return useDarks_; }
    void setUseBadPixelMap(bool on) { useMap_ = on; }
    bool useBadPixelMap() const { return useMap_; }

    // Corrects the frame of `camera` exposed `exposureSec` in place: the raw frame when there is
    // one (the picture is then made from it again, stretched as the driver stretches it), else
    // the picture.
    DarkUse apply(const QString& camera, double exposureSec, QImage& picture,
                  std::shared_ptr<const RawFrame>& raw);
    // The bad pixels repaired in the last frame; null when none were.
    const BadPixelMap* badPixels() const { return lastRepaired_ ? &map_ : nullptr; }

private:
    DarkUse correct(const DarkMatch& match, FrameValues& values);
    QString noMatchNote(const QString& camera, const FrameShape& shape, double exposureSec);

    DarkLibrary& library_;
    bool useDarks_ = true;
    bool useMap_ = true;
    std::shared_ptr<const DarkFrame> mapOf_; // the dark map_ was found in
    BadPixelMap map_;
    bool lastRepaired_ = false;
};

// "2 s" or "0.25 s": an exposure as notes show it.
QString exposureText(double seconds);
