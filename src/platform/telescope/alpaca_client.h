#pragma once

#include <QJsonValue>
#include <QString>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// Time-outs of the calls to an Alpaca server, in milliseconds.
struct AlpacaTimeouts {
    int connectMs = 5000; // name look-up and TCP connection
    int callMs = 10000;   // a whole request, from its start to the end of its reply
    // A guide pulse may take its whole duration to be answered: its request may last the
    // duration plus this much, and never less than callMs.
    int pulseExtraMs = 5000;
};

// Requests to one Alpaca HTTP server. Every call blocks the calling thread until its deadline at
// most, however slowly the server sends, and throws TelescopeError on any failure: an HTTP status
// other than 200, an unreadable reply or an error the device reports; TelescopeLinkLost when no
// reply came (no connection, a broken one, the deadline). Calls from several threads are
// carried out one after the other.
class AlpacaClient {
public:
    using Form = std::vector<std::pair<QString, QString>>;

    AlpacaClient(QString host, int port, AlpacaTimeouts timeouts);

    // GET with ClientID and ClientTransactionID as query parameters; returns the reply's
    // "Value" (undefined when the reply has none).
    QJsonValue get(const QString& path);
    // PUT of `form` plus ClientID and ClientTransactionID, form-encoded. The parameter names
    // are sent exactly as given. totalMs bounds the whole request (0: callMs).
    QJsonValue put(const QString& path, const Form& form, int totalMs = 0);
    // GET of the management interface, whose replies need not carry ErrorNumber.
    QJsonValue getManagement(const QString& path);

    QString hostPort() const;
    const AlpacaTimeouts& timeouts() const { return timeouts_; }

    // The ClientID of this process: fixed for its life, 1..4294967295.
    static quint32 clientId();

private:
    enum class Method { get, put };
    QJsonValue call(Method method, const QString& path, const Form& form, int totalMs,
                    bool management);
    std::string address(int timeoutMs);

    const QString host_;
    const int port_;
    const AlpacaTimeouts timeouts_;
    std::mutex mutex_;
    quint32 transaction_ = 0;
    std::string resolved_; // host_ as a numeric address, once looked up
};
