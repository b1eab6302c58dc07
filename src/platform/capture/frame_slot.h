#pragma once

#include <QImage>

// Carries a grabbed frame from a capture window to the frame picture (never the desktop
// clipboard). An empty slot gives a black frame of the last size it carried.
class FrameSlot {
public:
    void put(const QImage& frame) {
        frame_ = frame;
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

private:
    QImage frame_;
    QSize lastSize_;
};
