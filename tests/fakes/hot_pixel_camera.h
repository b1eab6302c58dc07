#pragma once

#include "fakes/plain_sim_camera.h"

#include <QPoint>
#include <algorithm>
#include <random>
#include <vector>

// The sky simulator seen through a sensor with hot spots: each a 3 x 3 block (a hot pixel
// spread by a colour camera's demosaicing) of `centre` ADU in its middle and `edge` about it,
// added to every frame and clipped at 255. Covered, the camera sees only its dark: a bias of
// 2 ADU, a little noise, and the hot spots.
struct HotSpots {
    std::vector<QPoint> at;
    int centre = 235;
    int edge = 215;

    // `count` spots at places drawn from `seed`, at least 2 px inside a frame of `size`.
    static HotSpots scattered(int count, QSize size, unsigned seed) {
        HotSpots spots;
        std::mt19937 random(seed);
        std::uniform_int_distribution<int> x(2, size.width() - 3), y(2, size.height() - 3);
        for (int i = 0; i < count; ++i)
            spots.at.emplace_back(x(random), y(random));
        return spots;
    }
    int levelAt(int dx, int dy) const { return dx == 0 && dy == 0 ? centre : edge; }
};

class HotPixelDriver : public CaptureDriver {
public:
    HotPixelDriver(SkySimulator& sky, SettingsStore& store, const HotSpots& spots,
                   const bool& covered)
        : sim_(sky, store), spots_(spots), covered_(covered) {}
    bool connect() override { return sim_.connect(); }
    void disconnect() override { sim_.disconnect(); }
    bool isConnected() const override { return sim_.isConnected(); }
    CAPDRIVERCAPS caps() const override { return sim_.caps(); }
    bool grab(QImage& frame) override {
        if (!sim_.grab(frame))
            return false;
        seenThroughSensor(frame);
        return true;
    }
    bool grabForLater(QImage& frame) override { return sim_.grabForLater(frame); }
    void develop(QImage& frame) override {
        sim_.develop(frame);
        if (!frame.isNull())
            seenThroughSensor(frame);
    }
    QSize frameSize() const override { return sim_.frameSize(); }
    bool sourceDialog(QWidget*) override { return false; }
    bool formatDialog(QWidget*) override { return false; }
    QString errorString() const override { return sim_.errorString(); }

private:
    void seenThroughSensor(QImage& frame) {
        if (covered_) {
            std::normal_distribution<double> noise(2.0, 0.7);
            for (int y = 0; y < frame.height(); ++y)
                for (int x = 0; x < frame.width(); ++x) {
                    const int v = std::clamp(static_cast<int>(std::lround(noise(random_))), 0, 255);
                    frame.setPixel(x, y, qRgb(v, v, v));
                }
        }
        for (QPoint p : spots_.at)
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    const int v = std::min(255, qRed(frame.pixel(p.x() + dx, p.y() + dy)) +
                                                    spots_.levelAt(dx, dy));
                    frame.setPixel(p.x() + dx, p.y() + dy, qRgb(v, v, v));
                }
    }

    SimCaptureDriver sim_;
    const HotSpots& spots_;
    const bool& covered_;
    std::mt19937 random_{7};
};

class HotPixelCamera : public PlainSimCamera {
public:
    HotPixelCamera(SkySimulator& sky, SettingsStore& store) : PlainSimCamera(sky, store) {}
    std::unique_ptr<CaptureDriver> create(int index) override {
        return index == 0 ? std::make_unique<HotPixelDriver>(sky_, store_, spots, covered)
                          : nullptr;
    }
    HotSpots spots;
    bool covered = false;
};
