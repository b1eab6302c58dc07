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
        fail(QStringLiteral("The address of the Alpaca device at %1 was not found within %2 ms")
                 .arg(where)
                 .arg(timeoutMs));
    if (lookup->address.isEmpty())
        fail(QStringLiteral("The Alpaca device at %1 cannot be found: unknown host name")
                 .arg(where));
    return lookup->address.toStdString();
}

QString transportError(httplib::Error error, const QString& where, int connectMs, int readMs) {
    switch (error) {
    case httplib::Error::Connection:
        return QStringLiteral("Cannot connect to the Alpaca device at %1: connection refused or "
                              "host unreachable")
            .arg(where);
    case httplib::Error::ConnectionTimeout:
        return QStringLiteral("The Alpaca device at %1 did not accept a connection within %2 ms")
            .arg(where)
            .arg(connectMs);
    case httplib::Error::Read:
        return QStringLiteral("The Alpaca device at %1 sent no reply within %2 ms or closed the "
                              "connection")
            .arg(where)
            .arg(readMs);
    case httplib::Error::Write:
        return QStringLiteral("The request could not be sent to the Alpaca device at %1")
            .arg(where);
    default:
        return QStringLiteral("Communication with the Alpaca device at %1 failed: %2")
            .arg(where, QString::fromStdString(httplib::to_string(error)));
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

QJsonValue AlpacaClient::put(const QString& path, const Form& form, int readMs) {
    return call(Method::put, path, form, readMs, false);
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

std::string AlpacaClient::address() {
    if (resolved_.empty())
        resolved_ = resolveWithin(host_, hostPort(), timeouts_.connectMs);
    return resolved_;
}

QJsonValue AlpacaClient::call(Method method, const QString& path, const Form& form, int readMs,
                              bool management) {
    using std::chrono::milliseconds;
    const std::lock_guard lock(mutex_);
    readMs = readMs > 0 ? readMs : timeouts_.callMs;
    transaction_ = std::max<quint32>(transaction_ + 1, 1);
    httplib::Params params{{"ClientID", std::to_string(clientId())},
                           {"ClientTransactionID", std::to_string(transaction_)}};
    for (const auto& [name, value] : form)
        params.emplace(name.toStdString(), value.toStdString());

    const std::string host = host_.toStdString();
    httplib::Client http(host, port_);
    http.set_hostname_addr_map({{host, address()}});
    http.set_connection_timeout(milliseconds(timeouts_.connectMs));
    http.set_read_timeout(milliseconds(readMs));
    http.set_write_timeout(milliseconds(timeouts_.callMs));
    const std::string target = path.toStdString();
    const httplib::Result result =
        method == Method::get ? http.Get(target, params, {}) : http.Put(target, {}, params);
    if (!result) {
        if (result.error() == httplib::Error::Connection ||
            result.error() == httplib::Error::ConnectionTimeout)
            resolved_.clear(); // the name may point elsewhere by the next call
        fail(transportError(result.error(), hostPort(), timeouts_.connectMs, readMs));
    }
    return readReply(hostPort(), result->status, result->body, management);
}
