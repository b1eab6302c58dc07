#include "darks/dark_frame.h"

#include <algorithm>

namespace {
// One value of the combined dark from the values of the frames there (sorted in place).
float combined(std::vector<uint16_t>& at) {
    double sum = 0;
    size_t from = 0;
    size_t to = at.size();
    if (at.size() >= 3) {
        std::sort(at.begin(), at.end());
        ++from;
        --to;
    }
    for (size_t i = from; i < to; ++i)
        sum += at[i];
    return static_cast<float>(sum / static_cast<double>(to - from));
}
} // namespace

DarkFrame combineDarks(const std::vector<FrameValues>& frames, double exposureSec,
                       const QDateTime& taken) {
    DarkFrame dark;
    dark.exposureSec = exposureSec;
    dark.taken = taken;
    if (frames.empty())
        return dark;
    dark.shape = frames.front().shape;
    std::vector<const FrameValues*> same;
    for (const FrameValues& f : frames)
        if (f.shape == dark.shape && f.values.size() == dark.shape.count())
            same.push_back(&f);
    dark.frames = static_cast<int>(same.size());
    dark.values.resize(dark.shape.count());
    std::vector<uint16_t> at(same.size());
    for (size_t i = 0; i < dark.values.size(); ++i) {
        for (size_t f = 0; f < same.size(); ++f)
            at[f] = same[f]->values[i];
        dark.values[i] = combined(at);
    }
    return dark;
}

double darkMedian(const DarkFrame& dark) {
    if (dark.values.empty())
        return 0;
    std::vector<float> v = dark.values;
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
}

bool subtractDark(FrameValues& frame, const DarkFrame& dark, double scale) {
    if (!(frame.shape == dark.shape) || frame.values.size() != dark.values.size())
        return false;
    const auto bias = static_cast<float>(scale == 1.0 ? 0.0 : darkMedian(dark));
    const auto factor = static_cast<float>(scale);
    const auto top = static_cast<float>(frame.shape.maxValue);
    uint16_t* v = frame.values.data();
    const float* d = dark.values.data();
    for (size_t i = 0; i < frame.values.size(); ++i) {
        const float rest = static_cast<float>(v[i]) - (bias + (d[i] - bias) * factor);
        v[i] = static_cast<uint16_t>(std::clamp(rest, 0.0f, top) + 0.5f);
    }
    return true;
}
