#include "replay.h"

#include "guiding/laws/backlash_comp.h"

#include <algorithm>
#include <cmath>
#include <optional>

double ReplayResult::totalPx() const {
    return std::hypot(ra.rmsPx, dec.rmsPx);
}

namespace {
// One axis of the replayed mount and the law guiding it.
struct AxisLoop {
    std::unique_ptr<GuideLaw> law;
    double rate;      // px/s
    double moved = 0; // c_k, px
    double sumSq = 0;
    int lastSign = 0;
    ReplayAxis figures;
    std::optional<BacklashCompensator> comp; // what the guider adds on a reversal

    // The error this frame, px; the law's move goes out and shows from the next frame.
    void frame(double t, double g, const ReplayMount& m, double backlashMs) {
        const double err = g - moved;
        sumSq += err * err;
        if (!law)
            return;
        if (comp)
            comp->frame(err * m.scale);
        const double ask = law->frame(t, err * m.scale) / m.scale; // px
        double ms = std::min(std::floor(std::fabs(ask) / rate * 1000), m.maxPulseMs);
        if (!(ms > 0)) {
            law->sent(0);
            return;
        }
        const int sign = ask > 0 ? 1 : -1;
        const bool reverses = lastSign != 0 && sign != lastSign;
        lastSign = sign;
        const double compMs = comp ? comp->extraMsFor(sign) : 0;
        const double sentMs = ms + compMs;
        const double effectiveMs = std::max(sentMs - (reverses ? backlashMs : 0), 0.0);
        moved += sign * effectiveMs / 1000 * rate;
        law->sent(sign * ms / 1000 * rate * m.scale);
        if (comp)
            comp->sent(sign * ms / 1000 * rate * m.scale, compMs > 0);
        ++figures.pulses;
        figures.pulseMs += sentMs;
    }
};
} // namespace

ReplayResult replay(const std::vector<SkyRow>& sky, const ReplayMount& mount, const LawMaker& raLaw,
                    const LawMaker& decLaw, double decBacklashCompMs) {
    AxisLoop ra, dec;
    ra.law = raLaw ? raLaw() : nullptr;
    ra.rate = mount.raRate;
    dec.law = decLaw ? decLaw() : nullptr;
    dec.rate = mount.decRate;
    if (decBacklashCompMs > 0)
        dec.comp.emplace(decBacklashCompMs);
    for (const SkyRow& row : sky) {
        ra.frame(row.t, row.ra, mount, 0);
        dec.frame(row.t, row.dec, mount, mount.decBacklashMs);
    }
    ReplayResult result{ra.figures, dec.figures};
    const double n = std::max<double>(static_cast<double>(sky.size()), 1);
    result.ra.rmsPx = std::sqrt(ra.sumSq / n);
    result.dec.rmsPx = std::sqrt(dec.sumSq / n);
    return result;
}
