#include "darks/frame_values.h"

FrameShape shapeOf(const RawFrame& frame) {
    return {frame.width, frame.height, 1, frame.bitDepth, frame.maxValue};
}

FrameShape shapeOf(const QImage& picture) {
    return {picture.width(), picture.height(), 3, 8, 255};
}

FrameValues valuesOf(const RawFrame& frame) {
    FrameValues out;
    out.shape = shapeOf(frame);
    out.values = frame.pixels;
    return out;
}

FrameValues valuesOf(const QImage& picture) {
    const QImage rgb = picture.format() == QImage::Format_RGB32
                           ? picture
                           : picture.convertToFormat(QImage::Format_RGB32);
    FrameValues out;
    out.shape = shapeOf(rgb);
    out.values.resize(out.shape.count());
    uint16_t* v = out.values.data();
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            *v++ = static_cast<uint16_t>(qRed(line[x]));
            *v++ = static_cast<uint16_t>(qGreen(line[x]));
            *v++ = static_cast<uint16_t>(qBlue(line[x]));
        }
    }
    return out;
}

QImage pictureOf(const FrameValues& frame) {
    QImage image(frame.shape.width, frame.shape.height, QImage::Format_RGB32);
    const auto level = [](uint16_t v) { return v > 255 ? 255 : static_cast<int>(v); };
    for (int y = 0; y < frame.shape.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < frame.shape.width; ++x) {
            const uint16_t* v = &frame.values[frame.index(x, y)];
            line[x] = qRgb(level(v[0]), level(v[1]), level(v[2]));
        }
    }
    return image;
}

RawFrame rawOf(FrameValues frame, const RawFrame& model) {
    RawFrame raw;
    raw.width = frame.shape.width;
    raw.height = frame.shape.height;
    raw.bitDepth = model.bitDepth;
    raw.maxValue = model.maxValue;
    raw.exposureSec = model.exposureSec;
    raw.bayerPattern = model.bayerPattern;
    raw.pixels = std::move(frame.values);
    return raw;
}
