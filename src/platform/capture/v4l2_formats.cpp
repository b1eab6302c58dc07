#include "platform/capture/v4l2_formats.h"
#include "platform/capture/v4l2_devices.h"

#include <algorithm>
#include <cstdlib>
#include <linux/videodev2.h>

namespace {

bool smallerArea(QSize a, QSize b) {
    const long long areaA = 1LL * a.width() * a.height(), areaB = 1LL * b.width() * b.height();
    return areaA != areaB ? areaA < areaB : a.width() < b.width();
}

// Seconds per frame of a is less than that of b.
bool faster(V4l2Interval a, V4l2Interval b) {
    return uint64_t(a.numerator) * b.denominator < uint64_t(b.numerator) * a.denominator;
}

bool sameRate(V4l2Interval a, V4l2Interval b) {
    return !faster(a, b) && !faster(b, a);
}

void sortIntervals(std::vector<V4l2Interval>& intervals) {
    std::stable_sort(intervals.begin(), intervals.end(), faster);
    intervals.erase(std::unique(intervals.begin(), intervals.end(), sameRate), intervals.end());
}

// `value` clamped to [low, high] and moved to the nearest low + k * step inside that range.
int snap(int value, int low, int high, int step) {
    value = std::clamp(value, low, std::max(low, high));
    if (step <= 1)
        return value;
    const int steps = (value - low + step / 2) / step;
    const int snapped = low + steps * step;
    return snapped > high ? snapped - step : snapped;
}

bool fits(QSize size, const V4l2FrameSizes& range) {
    auto aligned = [](int v, int low, int high, int step) {
        return v >= low && v <= high && (step <= 1 || (v - low) % step == 0);
    };
    return aligned(size.width(), range.min.width(), range.max.width(), range.step.width()) &&
           aligned(size.height(), range.min.height(), range.max.height(), range.step.height());
}

} // namespace

QString V4l2Interval::text() const {
    return QStringLiteral("%1 fps").arg(fps(), 0, 'g', 4);
}

bool V4l2Interval::sameRate(V4l2Interval other) const {
    return isValid() && other.isValid() && std::abs(fps() - other.fps()) <= 0.001 * fps();
}

QSize chooseFrameSize(const V4l2FrameSizes& offered, QSize wanted) {
    if (offered.kind == V4l2FrameSizes::Kind::Stepwise) {
        return {
            snap(wanted.width(), offered.min.width(), offered.max.width(), offered.step.width()),
            snap(wanted.height(), offered.min.height(), offered.max.height(),
                 offered.step.height())};
    }
    if (offered.kind == V4l2FrameSizes::Kind::Unknown || offered.discrete.empty())
        return wanted;
    auto distance = [&](QSize s) {
        return std::abs(s.width() - wanted.width()) + std::abs(s.height() - wanted.height());
    };
    return *std::min_element(offered.discrete.begin(), offered.discrete.end(),
                             [&](QSize a, QSize b) {
                                 const int da = distance(a), db = distance(b);
                                 return da != db ? da < db : smallerArea(a, b);
                             });
}

std::vector<QSize> usefulFrameSizes(const V4l2FrameSizes& offered) {
    std::vector<QSize> sizes;
    if (offered.kind == V4l2FrameSizes::Kind::Discrete) {
        sizes = offered.discrete;
    } else if (offered.kind == V4l2FrameSizes::Kind::Stepwise) {
        static const QSize common[] = {{160, 120},   {320, 240},   {352, 288},  {640, 480},
                                       {800, 600},   {1024, 768},  {1280, 720}, {1280, 960},
                                       {1280, 1024}, {1600, 1200}, {1920, 1080}};
        for (QSize size : common) {
            if (fits(size, offered))
                sizes.push_back(size);
        }
        if (sizes.empty())
            sizes = {offered.min, offered.max};
    }
    std::sort(sizes.begin(), sizes.end(), smallerArea);
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

std::vector<V4l2Interval> usefulIntervals(V4l2Interval fastest, V4l2Interval slowest) {
    static const V4l2Interval common[] = {{1, 60}, {1, 30}, {1, 25}, {1, 20}, {1, 15}, {1, 10},
                                          {2, 15}, {1, 5},  {1, 3},  {1, 2},  {1, 1}};
    std::vector<V4l2Interval> intervals{fastest, slowest};
    for (V4l2Interval interval : common) {
        if (faster(fastest, interval) && faster(interval, slowest))
            intervals.push_back(interval);
    }
    sortIntervals(intervals);
    return intervals;
}

V4l2FrameSizes queryFrameSizes(V4l2Io& io, int fd, uint32_t fourcc) {
    V4l2FrameSizes sizes;
    for (uint32_t index = 0; index < 256; ++index) {
        v4l2_frmsizeenum entry{};
        entry.index = index;
        entry.pixel_format = fourcc;
        if (io.ioctl(fd, VIDIOC_ENUM_FRAMESIZES, &entry) != 0)
            break;
        if (entry.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            sizes.kind = V4l2FrameSizes::Kind::Discrete;
            sizes.discrete.emplace_back(int(entry.discrete.width), int(entry.discrete.height));
            continue;
        }
        const v4l2_frmsize_stepwise& range = entry.stepwise;
        const bool continuous = entry.type == V4L2_FRMSIZE_TYPE_CONTINUOUS;
        sizes.kind = V4l2FrameSizes::Kind::Stepwise;
        sizes.min = QSize(int(range.min_width), int(range.min_height));
        sizes.max = QSize(int(range.max_width), int(range.max_height));
        sizes.step =
            continuous ? QSize(1, 1) : QSize(int(range.step_width), int(range.step_height));
        break;
    }
    return sizes;
}

std::vector<V4l2Interval> queryFrameIntervals(V4l2Io& io, int fd, uint32_t fourcc, QSize size) {
    std::vector<V4l2Interval> intervals;
    for (uint32_t index = 0; index < 256; ++index) {
        v4l2_frmivalenum entry{};
        entry.index = index;
        entry.pixel_format = fourcc;
        entry.width = uint32_t(size.width());
        entry.height = uint32_t(size.height());
        if (io.ioctl(fd, VIDIOC_ENUM_FRAMEINTERVALS, &entry) != 0)
            break;
        if (entry.type != V4L2_FRMIVAL_TYPE_DISCRETE) {
            const V4l2Interval fastest{entry.stepwise.min.numerator,
                                       entry.stepwise.min.denominator};
            const V4l2Interval slowest{entry.stepwise.max.numerator,
                                       entry.stepwise.max.denominator};
            return fastest.isValid() && slowest.isValid() ? usefulIntervals(fastest, slowest)
                                                          : intervals;
        }
        const V4l2Interval interval{entry.discrete.numerator, entry.discrete.denominator};
        if (interval.isValid())
            intervals.push_back(interval);
    }
    sortIntervals(intervals);
    return intervals;
}

std::vector<V4l2PixelFormat> queryPixelFormats(V4l2Io& io, int fd) {
    std::vector<V4l2PixelFormat> formats;
    for (uint32_t index = 0; index < 256; ++index) {
        v4l2_fmtdesc desc{};
        desc.index = index;
        desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (io.ioctl(fd, VIDIOC_ENUM_FMT, &desc) != 0)
            break;
        V4l2PixelFormat format{desc.pixelformat,
                               v4l2Text(desc.description),
                               (desc.flags & V4L2_FMT_FLAG_EMULATED) != 0,
                               {}};
        for (QSize size : usefulFrameSizes(queryFrameSizes(io, fd, desc.pixelformat)))
            format.sizes.push_back({size, queryFrameIntervals(io, fd, desc.pixelformat, size)});
        formats.push_back(std::move(format));
    }
    return formats;
}

std::vector<V4l2SizeRates> formatChoices(const std::vector<V4l2PixelFormat>& formats) {
    const auto rgb = std::find_if(formats.begin(), formats.end(), [](const V4l2PixelFormat& f) {
        return f.fourcc == V4L2_PIX_FMT_RGB24;
    });
    std::vector<V4l2SizeRates> choices;
    for (auto format = formats.begin(); format != formats.end(); ++format) {
        if (rgb != formats.end() && format != rgb)
            continue;
        for (const V4l2SizeRates& offer : format->sizes) {
            auto same = std::find_if(choices.begin(), choices.end(),
                                     [&](const V4l2SizeRates& c) { return c.size == offer.size; });
            if (same == choices.end())
                same = choices.insert(choices.end(), {offer.size, {}});
            same->intervals.insert(same->intervals.end(), offer.intervals.begin(),
                                   offer.intervals.end());
        }
    }
    std::sort(choices.begin(), choices.end(), [](const V4l2SizeRates& a, const V4l2SizeRates& b) {
        return smallerArea(a.size, b.size);
    });
    for (V4l2SizeRates& choice : choices)
        sortIntervals(choice.intervals);
    return choices;
}

bool setRgb24Format(V4l2Io& io, int fd, QSize wanted, V4l2FrameLayout& layout, QString& error) {
    const QSize size = chooseFrameSize(queryFrameSizes(io, fd, V4L2_PIX_FMT_RGB24), wanted);
    v4l2_format format{};
    format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    format.fmt.pix.width = uint32_t(size.width());
    format.fmt.pix.height = uint32_t(size.height());
    format.fmt.pix.pixelformat = V4L2_PIX_FMT_RGB24;
    format.fmt.pix.field = V4L2_FIELD_ANY;
    const int result = io.ioctl(fd, VIDIOC_S_FMT, &format);
    const v4l2_pix_format& pix = format.fmt.pix;
    if (result != 0 || pix.pixelformat != V4L2_PIX_FMT_RGB24 || pix.width == 0 || pix.height == 0 ||
        pix.width > 16384 || pix.height > 16384) {
        error = QStringLiteral("it offers no picture format this program can read (%1)")
                    .arg(result != 0 ? v4l2ErrorText(result)
                                     : QStringLiteral("RGB24 at %1x%2 refused")
                                           .arg(size.width())
                                           .arg(size.height()));
        return false;
    }
    layout.size = QSize(int(pix.width), int(pix.height));
    layout.bytesPerLine = std::max(int(pix.bytesperline), layout.size.width() * 3);
    return true;
}
