#pragma once

#include <QPointF>

// Where a simulated mount points relative to where it should, in arcsec: x is the RA error
// (positive towards East), y the Dec error (positive towards North). The error grows with the
// drift rates, swings with the periodic error of the RA worm and moves with guide pulses.
class MountModel {
public:
    // New drift rates (arcsec per minute) from time `now` (seconds) on; the error reached so
    // far is kept, so a change of rate never makes the star jump.
    void setDrift(double raPerMinute, double decPerMinute, double now);
    // Periodic error: amplitude (arcsec) of the worm's main sine and its period (seconds); a
    // period of zero or less turns it off.
    void setPeriodicError(double amplitude, double period);
    // Moves the pointing by `arcsec` towards direction 0 North, 1 South, 2 East, 3 West; any
    // other direction is ignored.
    void move(int direction, double arcsec);
    QPointF errorAt(double t) const;

private:
    QPointF driftBase_;
    double driftSince_ = 0;
    double raRate_ = 0;  // arcsec per second
    double decRate_ = 0; // arcsec per second
    double peAmplitude_ = 0;
    double pePeriod_ = 0;
    QPointF corrections_;
};

// The RA periodic error at time t (seconds): the worm's main sine plus a second harmonic of a
// quarter its amplitude; zero at t = 0.
double periodicError(double t, double amplitude, double period);
