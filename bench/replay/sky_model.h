#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Where the star would be, px along the mount's RA and Dec axes, had no correction been made:
// the mount's own error plus the seeing. One row per frame.
struct SkyRow {
    double t = 0; // s
    double ra = 0;
    double dec = 0;
};

// A synthetic sky. Amplitudes in px unless named otherwise.
struct SkyRecipe {
    std::string name;
    double seconds = 1800;
    double cycle = 2;               // s from frame to frame
    double wormPeriod = 480;        // s
    double peakToPeak = 4;          // periodic error, all harmonics together
    double raDrift = 0;             // px/min
    double decDrift = 0.5;          // px/min (polar misalignment)
    double wanderPx = 0.1;          // slow random walk of both axes, px per sqrt(min)
    double seeing = 0.4;            // frame-to-frame rms, px
    double seeingCorrelation = 0.3; // from one frame to the next
    double gustsPerHour = 4;
    double gustPx = 3;
    double ditherEvery = 0; // s between dithers, 0: none
    double ditherPx = 3;    // largest dither offset per axis
    uint32_t seed = 1;
};

std::vector<SkyRow> makeSky(const SkyRecipe& recipe);
// The skies kept in bench/data, by name.
std::vector<SkyRecipe> standardSkies();

// What the sky's seeing alone leaves to any law that knew all of the mount's motion: the rms
// of the part of each frame's seeing that the frames before do not predict, px, per axis
// (f sqrt(1 + rho) for a frame-to-frame rms f and correlation rho, up to the draw).
SkyRow seeingFloor(const SkyRecipe& recipe);

// The seeing as the guiding assistant measures it: the rms of the differences of consecutive
// rows / sqrt 2, px, per axis; the scatter no law can take out.
SkyRow frameToFrameRms(const std::vector<SkyRow>& rows);

// The file: a header line "t_s,ra_px,dec_px" and one row per frame. Reading fails (empty
// result and a message in `error`) on a missing file, another header or a bad row.
bool writeSky(const std::string& path, const std::vector<SkyRow>& rows);
std::vector<SkyRow> readSky(const std::string& path, std::string& error);
