#pragma once

#include <QObject>
#include <QString>
#include <csignal>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into stopRequested() on the thread that made this object (the main
// thread), through a pipe the signal handler writes to: the handler does nothing but write(),
// so any thread may receive the signal at any moment. Every signal gives one stopRequested().
// Only one instance may exist at a time; destroying it puts back the handlers it replaced.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;

    // false when the pipe or the handlers could not be set up; error() says why.
    bool installed() const { return installed_; }
    QString error() const { return error_; }

signals:
    void stopRequested(int signalNumber);

private:
    void drain();

    int pipe_[2] = {-1, -1};
    struct sigaction previousInt_ {};
    struct sigaction previousTerm_ {};
    QSocketNotifier* notifier_ = nullptr;
    bool installed_ = false;
    QString error_;
};
