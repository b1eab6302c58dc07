#pragma once

#include <cstdint>
#include <span>

// What the simulated sky, mount and camera look like. Angles of the sky are in arcsec.
struct SkyOptions {
    double starBrightness = 180; // peak of the guide star above the sky, ADU (0..255)
    double seeing = 2.5;         // star FWHM, arcsec
    double noise = 3;            // read-noise sigma, ADU
    double raDrift = 6;          // arcsec per minute, positive towards East
    double decDrift = 2;         // arcsec per minute, positive towards North
    double peAmplitude = 8;      // periodic error in RA: amplitude of the main sine, arcsec
    double pePeriod = 480;       // seconds per worm turn
    double cameraAngle = 0;      // degrees; see SkySimulator for the sense
    double guideRate = 15;       // arcsec per second of guide pulse
    double imageScale = 0.80214; // arcsec per pixel
    uint32_t seed = 1;
};

// One numeric option with its stored key, the range it is kept in and how it is shown.
struct SkyOptionField {
    const char* key; // settings key, also the dialog label
    double SkyOptions::*member;
    double min;
    double max;
    int decimals;
    const char* unit; // suffix shown after the value, with its leading blank
};

// Every option but the seed, in the order they are shown.
std::span<const SkyOptionField> skyOptionFields();

// Seeds are kept within what a spin box and the settings file both hold.
constexpr uint32_t kMaxSkySeed = 2147483647;
inline constexpr const char* kSkySeedKey = "Seed";

// The options with every value brought into its field's range (a NaN becomes the default).
SkyOptions clampedSkyOptions(SkyOptions options);
