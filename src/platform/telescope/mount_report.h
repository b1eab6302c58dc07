#pragma once

#include <QString>
#include <optional>

// The side of the pier the telescope is on, as the mount reports it: East when it is east of
// the pier looking west (the usual side before the meridian), West after a meridian flip.
enum class PierSide { Unknown, East, West };

// "East", "West" or "Unknown".
QString pierSideName(PierSide side);
// The inverse of pierSideName, any letter case; Unknown for anything else.
PierSide pierSideFromName(const QString& name);

// Where the mount points, as far as it can say.
struct MountPointing {
    std::optional<double> decDeg;      // -90..90
    std::optional<double> hourAngleH;  // -12..12, positive west of the meridian
    std::optional<double> altitudeDeg; // above the horizon, -90..90
    PierSide pierSide = PierSide::Unknown;
};

// The optics and rates a mount states. Guide rates in arcsec per second of guide pulse, on the
// sky at the equator; the focal length is the guide scope's, mm.
struct MountEquipment {
    std::optional<double> raGuideRate;
    std::optional<double> decGuideRate;
    std::optional<double> guideFocalLengthMm;
};
