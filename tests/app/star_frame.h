#pragma once

#include <QImage>

// A dark 640 x 480 frame with a bright 3 x 3 star centred on (cx, cy).
inline QImage frameWithStar(int cx, int cy) {
    QImage frame(640, 480, QImage::Format_RGB32);
    frame.fill(qRgb(12, 12, 12));
    for (int x = cx - 1; x <= cx + 1; ++x)
        for (int y = cy - 1; y <= cy + 1; ++y)
            frame.setPixel(x, y, qRgb(220, 220, 220));
    return frame;
}
