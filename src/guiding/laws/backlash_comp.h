#pragma once

// Makes up for the lost motion of the Dec gears: a pulse that reverses Dec's direction gets
// extra time. The extra starts at the backlash measured (ms) and adapts to what the frame
// after each reversal shows: a move that fell well short asks for more next time, one that went
// well past asks for less. Moves and errors are arcsec along the axis, signed as the law's.
class BacklashCompensator {
public:
    explicit BacklashCompensator(double measuredMs = 0)
        : measuredMs_(measuredMs), ms_(measuredMs) {}
    double ms() const { return ms_; }
    // Each guided frame, before its pulse: the error measured.
    void frame(double errArcsec);
    // The extra ms for a move about to be sent: the current compensation on a reversal, else 0.
    double extraMsFor(double moveArcsec) const;
    // The move that went out (0: none) and whether it had the extra time.
    void sent(double moveArcsec, bool compensated);

private:
    double measuredMs_;
    double ms_;
    int lastSign_ = 0;
    double lastErr_ = 0;
    bool haveErr_ = false;
    double pendingMove_ = 0; // a compensated reversal waiting for the next frame
    double moveNoise_ = 0;   // mean square of what the error did besides the moves, arcsec^2
    double lastMove_ = 0;
};
