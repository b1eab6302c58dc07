#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

// Small, fast random numbers of the simulator, the same on every platform for the same seed
// (the standard library's distributions are not).

// Mixes a 64-bit state into a well-spread value and steps the state.
inline uint64_t splitMix64(uint64_t& state) {
    uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

// A seed for the stream `stream` of item `item` (a frame, a row) of simulator seed `seed`.
inline uint64_t streamSeed(uint64_t seed, uint64_t item, uint64_t stream) {
    uint64_t state = seed * 0x2545f4914f6cdd1dULL ^ (item << 8) ^ stream;
    splitMix64(state);
    return splitMix64(state);
}

// xorshift64*: one multiply and three shifts per number.
class FastRandom {
public:
    explicit FastRandom(uint64_t seed) : state_(seed ? seed : 0x853c49e6748fea9bULL) {}

    uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545f4914f6cdd1dULL;
    }
    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double uniform(double low, double high) { return low + (high - low) * uniform(); }
    // Standard normal (Box-Muller), for the few draws where exact tails matter.
    double normal() {
        const double u = 1.0 - uniform();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(2 * std::numbers::pi * uniform());
    }
    // Roughly standard normal from one draw: the sum of four 16-bit uniforms, scaled to unit
    // variance. Tails stop at about 3.5 sigma, which no simulated frame shows.
    float quickNormal() {
        const uint64_t r = next();
        const uint32_t sum = static_cast<uint32_t>((r & 0xffff) + ((r >> 16) & 0xffff) +
                                                   ((r >> 32) & 0xffff) + (r >> 48));
        constexpr float kMean = 2 * 65535.0f;
        constexpr float kScale = 1.7320508f / 65536.0f; // sqrt(3) / range of one term
        return (static_cast<float>(sum) - kMean) * kScale;
    }

private:
    uint64_t state_;
};
