#pragma once

#include "platform/capture/raw_frame.h"

#include <QImage>
#include <memory>

// Carries a grabbed frame from a capture window to the frame picture (never the desktop
// clipboard). An empty slot gives a black frame of the last size it carried.
class FrameSlot {
public:
    // raw: the same frame at the camera's own depth, when the driver has it.
    void put(const QImage& frame, std::shared_ptr<const RawFrame> raw = nullptr) {
        frame_ = frame;
        raw_ = frame.isNull() ? nullptr : std::move(raw);
        if (!frame.isNull())
            lastSize_ = frame.size();
    }
    // The frame, or a black one of the last size (of `fallback` before any frame was carried).
    QImage image(QSize fallback) const {
        if (!frame_.isNull())
            return frame_;
        QImage black(lastSize_.isEmpty() ? fallback : lastSize_, QImage::Format_RGB32);
        black.fill(Qt::black);
        return black;
    }

    bool hasFrame() const { return !frame_.isNull(); }
    // The frame at full depth; null when the slot is empty or the driver gave only a picture.
    std::shared_ptr<const RawFrame> raw() const { return raw_; }

private:
    QImage frame_;
    std::shared_ptr<const RawFrame> raw_;
    QSize lastSize_;
};
