#include "guiding/guide_history.h"

#include <algorithm>

GuideHistory::GuideHistory(size_t capacity, QObject* parent)
    : QObject(parent), capacity_(std::max<size_t>(capacity, 1)) {}

void GuideHistory::append(const GuideRecord& record) {
    if (records_.size() == capacity_)
        records_.pop_front();
    records_.push_back(record);
    emit appended(records_.back());
}

void GuideHistory::timeLast(double nextExposureAfterMs, std::optional<double> raPulseRanMs,
                            std::optional<double> decPulseRanMs) {
    if (records_.empty())
        return;
    GuideRecord& r = records_.back();
    r.timed = true;
    r.nextExposureAfterMs = nextExposureAfterMs;
    r.raPulseRanMs = r.raPulse ? raPulseRanMs : std::nullopt;
    r.decPulseRanMs = r.decPulse ? decPulseRanMs : std::nullopt;
    emit timed(r);
}

void GuideHistory::clear() {
    records_.clear();
    emit cleared();
}
