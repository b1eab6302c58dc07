#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <vector>

// Equipment that may lose its server and get it back (an INDI camera or mount). While a piece
// the operator connected is gone, a lasting note says so and a reconnection is tried every
// retryMs, for as long as it takes. Nothing here waits or runs by itself: the owner calls
// poll() from a timer with a steady clock's milliseconds, and each attempt is the
// equipment's own bounded call.
class Reconnector {
public:
    struct Equipment {
        QString key; // names its lasting note
        // The operator connected it and has not let it go since.
        std::function<bool()> wanted;
        // Connected now; never waits.
        std::function<bool()> up;
        // One attempt to connect it anew; false with the reason in `why`.
        std::function<bool(QString& why)> reconnect;
        // How the note names it: "Camera \"CCD Simulator\"".
        std::function<QString()> label;
    };
    enum class Change {
        Lost,      // it went away: note raised
        StillLost, // an attempt failed: note reworded with the reason
        Restored,  // connected again: note ended
        Forgotten, // the operator let it go while it was gone: note ended
    };
    struct Event {
        QString key;
        Change change;
        QString note; // the note's text for Lost and StillLost
    };

    static constexpr qint64 kRetryMs = 3000;

    explicit Reconnector(qint64 retryMs = kRetryMs) : retryMs_(retryMs) {}

    void add(Equipment equipment);
    bool gone(const QString& key) const;
    qint64 retryMs() const { return retryMs_; }

    // Notes what went away or came back since the last look, without any attempt.
    std::vector<Event> check(qint64 nowMs);
    // check(), then one attempt for each piece gone whose retry time has come: retryMs after
    // it went away, then retryMs after each failed attempt.
    std::vector<Event> poll(qint64 nowMs);
    // check(), then one attempt for every piece gone, due or not.
    std::vector<Event> retryNow(qint64 nowMs);

private:
    struct Piece {
        Equipment equipment;
        bool gone = false;
        qint64 nextTryMs = 0;
    };

    std::vector<Event> attempt(qint64 nowMs, bool dueOnly);
    QString note(const Piece& piece, const QString& why) const;

    qint64 retryMs_;
    std::vector<Piece> pieces_;
};
