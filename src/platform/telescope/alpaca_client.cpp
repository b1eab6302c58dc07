#include "platform/telescope/alpaca_client.h"

#include "platform/telescope/alpaca_address.h"
#include "platform/telescope/telescope.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QHostInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <httplib.h>
#include <memory>
#include <thread>

namespace {
[[noreturn]] void fail(const QString& text) {
    throw TelescopeError(text.toStdString());
}

[[noreturn]] void linkLost(const QString& text) {
    throw TelescopeLinkLost(text.toStdString());
}

struct Lookup {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    QString address;
};

// The system's name look-up has no time-out of its own: it runs on a thread of its own,
// which is left to finish by itself when it takes longer than timeoutMs.
std::string resolveWithin(const QString& host, const QString& where, int timeoutMs) {
    if (!QHostAddress(host).isNull())
        return host.toStdString();
    auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host] {
        const QList<QHostAddress> found = QHostInfo::fromName(host).addresses();
        const std::lock_guard lock(lookup->mutex);
        lookup->address = found.isEmpty() ? QString() : found.first().toString();
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();
    std::unique_lock lock(lookup->mutex);
    if (!lookup->done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                               [&] { return lookup->finished; }))
        linkLost(QStringLiteral("The address of the Alpaca device at %1 was not found within %2 ms")
                     .arg(where)
                     .arg(timeoutMs));
    if (lookup->address.isEmpty())
        fail(QStringLiteral("The Alpaca device at %1 cannot be found: unknown host name")
                 .arg(where));
    return lookup->address.toStdString();
}

using Clock = std::chrono::steady_clock;

// Stops the request `http` has in flight once `deadline` passes, whatever the server trickles:
// the library's own time-outs bound each single read and write, not the whole request.
class StopAtDeadline {
public:
    StopAtDeadline(httplib::Client& http, Clock::time_point deadline)
        : thread_([this, &http, deadline] {
              std::unique_lock lock(mutex_);
              if (done_.wait_until(lock, deadline, [this] { return finished_; }))
                  return;
              fired_ = true;
              lock.unlock();
              http.stop();
          }) {}
    StopAtDeadline(const StopAtDeadline&) = delete;
    StopAtDeadline& operator=(const StopAtDeadline&) = delete;
    ~StopAtDeadline() { finish(); }

    // Ends the watch; true when the deadline stopped the request.
    bool finish() {
        {
            const std::lock_guard lock(mutex_);
            finished_ = true;
        }
        done_.notify_all();
        if (thread_.joinable())
            thread_.join();
        return fired_;
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    bool fired_ = false;
    std::thread thread_; // last: it starts once the members above exist
};

// A request that got no reply. waitedMs: the real time from its start to its failure.
[[noreturn]] void failTransport(httplib::Error error, const QString& where, bool timedOut,
                                qint64 waitedMs) {
    if (timedOut)
        linkLost(QStringLiteral("The Alpaca device at %1 gave no complete reply within %2 ms")
                     .arg(where)
                     .arg(waitedMs));
    switch (error) {
    case httplib::Error::Connection:
        linkLost(QStringLiteral("Cannot connect to the Alpaca device at %1: connection refused "
                                "or host unreachable")
                     .arg(where));
    case httplib::Error::ConnectionTimeout:
        linkLost(QStringLiteral("The Alpaca device at %1 did not accept a connection within %2 ms")
                     .arg(where)
                     .arg(waitedMs));
    case httplib::Error::Read:
        linkLost(QStringLiteral("The Alpaca device at %1 closed the connection without a "
                                "complete reply (after %2 ms)")
                     .arg(where)
                     .arg(waitedMs));
    case httplib::Error::Write:
        linkLost(
            QStringLiteral("The request could not be sent to the Alpaca device at %1").arg(where));
    default:
        linkLost(QStringLiteral("Communication with the Alpaca device at %1 failed: %2")
                     .arg(where, QString::fromStdString(httplib::to_string(error))));
    }
}

QString shortText(const std::string& body) {
    const QString text = QString::fromUtf8(body).simplified();
    return text.size() > 200 ? text.left(200) + QStringLiteral("...") : text;
}

// management: replies of the management interface may lack ErrorNumber.
QJsonValue readReply(const QString& where, int status, const std::string& body, bool management) {
    if (status != 200) {
        const QString text = shortText(body);
        fail(QStringLiteral("The Alpaca device at %1 refused the request (HTTP %2)%3")
                 .arg(where)
                 .arg(status)
                 .arg(text.isEmpty() ? QString() : QStringLiteral(": ") + text));
    }
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(body));
    const QJsonObject reply = document.object();
    const QJsonValue number = reply.value(QLatin1String("ErrorNumber"));
    const bool numberOk = number.isDouble() || (management && number.isUndefined());
    if (!document.isObject() || !numberOk)
        fail(QStringLiteral("The Alpaca device at %1 sent an unreadable reply").arg(where));
    if (const qint64 code = number.toInteger(); code != 0) {
        QString message = reply.value(QLatin1String("ErrorMessage")).toString().simplified();
        if (message.isEmpty())
            message = QStringLiteral("the device reported an error");
        fail(QStringLiteral("The Alpaca device at %1: %2 (error 0x%3)")
                 .arg(where, message, QString::number(code, 16).toUpper()));
    }
    return reply.value(QLatin1String("Value"));
}
} // namespace

AlpacaClient::AlpacaClient(QString host, int port, AlpacaTimeouts timeouts)
    : host_(std::move(host)), port_(port), timeouts_(timeouts) {}

QJsonValue AlpacaClient::get(const QString& path) {
    return call(Method::get, path, {}, 0, false);
}

QJsonValue AlpacaClient::put(const QString& path, const Form& form, int totalMs) {
    return call(Method::put, path, form, totalMs, false);
}

QJsonValue AlpacaClient::getManagement(const QString& path) {
    return call(Method::get, path, {}, 0, true);
}

QString AlpacaClient::hostPort() const {
    return alpacaHostPort(host_, port_);
}

quint32 AlpacaClient::clientId() {
    static const quint32 id =
        quint32(quint64(QCoreApplication::applicationPid()) % 4294967295u) + 1;
    return id;
}

std::string AlpacaClient::address(int timeoutMs) {
    if (resolved_.empty())
        resolved_ = resolveWithin(host_, hostPort(), timeoutMs);
    return resolved_;
}

// The whole request, name look-up and connection included, ends by its deadline: totalMs after
// its start (callMs, or the caller's wait for a guide pulse).
QJsonValue AlpacaClient::call(Method method, const QString& path, const Form& form, int totalMs,
                              bool management) {
    using std::chrono::milliseconds;
    const std::lock_guard lock(mutex_);
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline =
        start + milliseconds(totalMs > 0 ? totalMs : timeouts_.callMs);
    const auto waitedMs = [&] {
        return qint64(std::chrono::duration_cast<milliseconds>(Clock::now() - start).count());
    };
    const auto remaining = [&] {
        return std::max<milliseconds>(
            std::chrono::duration_cast<milliseconds>(deadline - Clock::now()), milliseconds(1));
    };
    transaction_ = std::max<quint32>(transaction_ + 1, 1);
    httplib::Params params{{"ClientID", std::to_string(clientId())},
                           {"ClientTransactionID", std::to_string(transaction_)}};
    for (const auto& [name, value] : form)
        params.emplace(name.toStdString(), value.toStdString());

    const std::string host = host_.toStdString();
    httplib::Client http(host, port_);
    http.set_hostname_addr_map(
        {{host, address(int(std::min<qint64>(timeouts_.connectMs, remaining().count())))}});
    http.set_connection_timeout(std::min(milliseconds(timeouts_.connectMs), remaining()));
    http.set_read_timeout(remaining());
    http.set_write_timeout(remaining());
    const std::string target = path.toStdString();
    StopAtDeadline watch(http, deadline);
    const httplib::Result result =
        method == Method::get ? http.Get(target, params, {}) : http.Put(target, {}, params);
    const bool stopped = watch.finish();
    if (!result) {
        if (result.error() == httplib::Error::Connection ||
            result.error() == httplib::Error::ConnectionTimeout)
            resolved_.clear(); // the name may point elsewhere by the next call
        failTransport(result.error(), hostPort(), stopped || Clock::now() >= deadline, waitedMs());
    }
    return readReply(hostPort(), result->status, result->body, management);
}
