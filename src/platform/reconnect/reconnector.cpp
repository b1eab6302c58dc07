#include "platform/reconnect/reconnector.h"

#include <algorithm>

void Reconnector::add(Equipment equipment) {
    pieces_.push_back(Piece{std::move(equipment)});
}

bool Reconnector::gone(const QString& key) const {
    return std::any_of(pieces_.begin(), pieces_.end(),
                       [&](const Piece& p) { return p.equipment.key == key && p.gone; });
}

std::vector<Reconnector::Event> Reconnector::check(qint64 nowMs) {
    std::vector<Event> events;
    for (Piece& p : pieces_) {
        const Equipment& e = p.equipment;
        if (!p.gone) {
            if (e.wanted() && !e.up()) {
                p.gone = true;
                p.nextTryMs = nowMs + retryMs_;
                events.push_back({e.key, Change::Lost, note(p, {})});
            }
        } else if (!e.wanted()) {
            p.gone = false;
            events.push_back({e.key, Change::Forgotten, {}});
        } else if (e.up()) {
            p.gone = false;
            events.push_back({e.key, Change::Restored, {}});
        }
    }
    return events;
}

std::vector<Reconnector::Event> Reconnector::poll(qint64 nowMs) {
    std::vector<Event> events = check(nowMs);
    for (Event& e : attempt(nowMs, true))
        events.push_back(std::move(e));
    return events;
}

std::vector<Reconnector::Event> Reconnector::retryNow(qint64 nowMs) {
    std::vector<Event> events = check(nowMs);
    for (Event& e : attempt(nowMs, false))
        events.push_back(std::move(e));
    return events;
}

std::vector<Reconnector::Event> Reconnector::attempt(qint64 nowMs, bool dueOnly) {
    std::vector<Event> events;
    for (Piece& p : pieces_) {
        if (!p.gone || (dueOnly && nowMs < p.nextTryMs))
            continue;
        QString why;
        if (p.equipment.reconnect(why)) {
            p.gone = false;
            events.push_back({p.equipment.key, Change::Restored, {}});
            continue;
        }
        p.nextTryMs = nowMs + retryMs_;
        events.push_back({p.equipment.key, Change::StillLost, note(p, why)});
    }
    return events;
}

QString Reconnector::note(const Piece& piece, const QString& why) const {
    QString text = QStringLiteral("%1 is gone: connecting again every %2 s")
                       .arg(piece.equipment.label())
                       .arg(double(retryMs_) / 1000.0);
    if (!why.isEmpty())
        text += QStringLiteral(" (%1)").arg(why);
    return text;
}
