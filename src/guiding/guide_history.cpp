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

void GuideHistory::clear() {
    records_.clear();
    emit cleared();
}
