#include "sim/mount_model.h"

#include <cmath>
#include <numbers>

double periodicError(double t, double amplitude, double period) {
    if (period <= 0)
        return 0;
    const double phase = 2 * std::numbers::pi * t / period;
    return amplitude * (std::sin(phase) + 0.25 * std::sin(2 * phase));
}

void MountModel::setDrift(double raPerMinute, double decPerMinute, double now) {
    driftBase_ += QPointF(raRate_, decRate_) * (now - driftSince_);
    driftSince_ = now;
    raRate_ = raPerMinute / 60;
    decRate_ = decPerMinute / 60;
}

void MountModel::setPeriodicError(double amplitude, double period) {
    peAmplitude_ = amplitude;
    pePeriod_ = period;
}

void MountModel::move(int direction, double arcsec) {
    switch (direction) {
    case 0:
        corrections_.ry() += arcsec;
        break;
    case 1:
        corrections_.ry() -= arcsec;
        break;
    case 2:
        corrections_.rx() += arcsec;
        break;
    case 3:
        corrections_.rx() -= arcsec;
        break;
    default:
        break;
    }
}

QPointF MountModel::errorAt(double t) const {
    const QPointF drift = driftBase_ + QPointF(raRate_, decRate_) * (t - driftSince_);
    return drift + corrections_ + QPointF(periodicError(t, peAmplitude_, pePeriod_), 0);
}
