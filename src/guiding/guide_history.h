#pragma once

#include "guiding/corrections.h"
#include "measure/star_measures.h"

#include <QObject>
#include <cstddef>
#include <deque>
#include <optional>

// What one guide cycle with the lock on saw and did. Errors are target minus star, the same
// values the error log writes: positive RA error = star left of its target, positive Dec
// error = star above it. Free of widgets, so the graph and an imaging-program server can
// both read it.
struct GuideRecord {
    double time = 0;      // seconds since 1970-01-01 UTC, the end of the cycle's search
    bool guiding = false; // corrections were on in this cycle
    bool found = false;   // false: the star was lost; the fields below are then left at 0
    double raArcsec = 0;  // RA error, arcsec (errX x arcsecPerPixelX)
    double decArcsec = 0; // Dec error, arcsec
    double raPx = 0;      // errX, frame pixels
    double decPx = 0;     // errY, frame pixels
    // The error split along the mount's axes as the stored calibration measured them, arcsec,
    // when one matches the current scale and guide output (onMountAxes); Dec square to RA when
    // only RA was calibrated. Signs as above: a positive RA error asks for an East pulse, a
    // positive Dec error for a South one.
    bool onMountAxes = false;
    double mountRaArcsec = 0;
    double mountDecArcsec = 0;
    float starX = 0, starY = 0; // centroid, frame pixels
    // What each axis's guide law acted on, arcsec along the axis, signs as above (0 when it
    // chose not to move).
    double raLawArcsec = 0;
    double decLawArcsec = 0;
    // The pulses this cycle sent (a pulse the output refused is left out), before any
    // backlash time is added.
    std::optional<PulseRequest> raPulse, decPulse;
    StarMeasures star; // from the frame the centroid came from
    // How the cycle ended, known once the next exposure has started (timed): ms from the end of
    // this cycle's exposure to the start of the next one, and how long each pulse of the
    // cycle ran, from its send to the mount's report of its end (its length when the output
    // does not report; unset for no pulse, or one that failed).
    bool timed = false;
    double nextExposureAfterMs = 0;
    std::optional<double> raPulseRanMs, decPulseRanMs;
};

// The guide cycles of this run, oldest first, at most `capacity` of them (the oldest are
// dropped). Kept in memory only. Every change is announced, so views and the imaging-program
// server need not poll.
class GuideHistory : public QObject {
    Q_OBJECT
public:
    static constexpr size_t kDefaultCapacity = 10000;

    explicit GuideHistory(size_t capacity = kDefaultCapacity, QObject* parent = nullptr);

    void append(const GuideRecord& record);
    // Completes the last record's timing fields (see GuideRecord::timed); nothing when empty.
    void timeLast(double nextExposureAfterMs, std::optional<double> raPulseRanMs,
                  std::optional<double> decPulseRanMs);
    void clear();

    size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    size_t capacity() const { return capacity_; }
    // i = 0 is the oldest record kept; i < size().
    const GuideRecord& at(size_t i) const { return records_[i]; }
    const GuideRecord& last() const { return records_.back(); }

signals:
    // After `record` was added as last().
    void appended(const GuideRecord& record);
    // After timeLast() completed last().
    void timed(const GuideRecord& record);
    // After clear() emptied the history.
    void cleared();

private:
    size_t capacity_;
    std::deque<GuideRecord> records_;
};
