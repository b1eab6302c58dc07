#include "headless/stop_signals.h"

#include <QPointer>
#include <QSocketNotifier>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The pipe's writing end for the handler; -1 while no StopSignals exists.
std::atomic<int> writeEnd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler needs a lock-free fd");

// Async-signal-safe: write() only, errno kept for the code it interrupted. A full pipe drops
// the byte (the write end does not block); the reader is then behind anyway.
extern "C" void onStopSignal(int signalNumber) {
    const int savedErrno = errno;
    const int fd = writeEnd.load();
    if (fd >= 0) {
        const auto byte = static_cast<unsigned char>(signalNumber);
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = savedErrno;
}

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}
} // namespace

StopSignals::StopSignals(QObject* parent) : QObject(parent) {
    if (writeEnd.load() >= 0) {
        error_ = QStringLiteral("Stop signals are already handled");
        return;
    }
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        error_ = systemError("Cannot make the stop signal pipe");
        return;
    }
    writeEnd.store(pipe_[1]);
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &StopSignals::drain);
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (sigaction(SIGINT, &action, &previousInt_) != 0) {
        error_ = systemError("Cannot handle SIGINT");
        return;
    }
    if (sigaction(SIGTERM, &action, &previousTerm_) != 0) {
        error_ = systemError("Cannot handle SIGTERM");
        sigaction(SIGINT, &previousInt_, nullptr);
        return;
    }
    installed_ = true;
}

StopSignals::~StopSignals() {
    if (installed_) {
        sigaction(SIGINT, &previousInt_, nullptr);
        sigaction(SIGTERM, &previousTerm_, nullptr);
    }
    if (pipe_[1] >= 0 && writeEnd.load() == pipe_[1])
        writeEnd.store(-1);
    delete notifier_;
    for (int fd : pipe_)
        if (fd >= 0)
            close(fd);
}

// A receiver may destroy this object; the signals still unread then go with it.
void StopSignals::drain() {
    const QPointer<StopSignals> alive(this);
    unsigned char bytes[64];
    ssize_t count;
    while (alive && (count = read(pipe_[0], bytes, sizeof bytes)) > 0)
        for (ssize_t i = 0; alive && i < count; ++i)
            emit stopRequested(bytes[i]);
}
