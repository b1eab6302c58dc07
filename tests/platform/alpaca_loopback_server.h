#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <httplib.h>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// An Alpaca server on 127.0.0.1 serving one telescope and the list of configured devices. Like
// a real one it answers 400 to a PUT whose parameter names are cased wrongly, echoes
// ClientTransactionID, counts ServerTransactionID and refuses to guide before it is connected.
// Every request is recorded.
class LoopbackAlpacaServer {
public:
    enum class Mode { normal, slow, http500, notJson, noErrorNumber };
    struct Request {
        std::string method, member, contentType;
        httplib::Params params;
    };
    struct Device {
        std::string name, type;
        int number;
    };

    explicit LoopbackAlpacaServer(int telescopeNumber = 0);
    ~LoopbackAlpacaServer();

    int port() const { return port_; }
    // slow: every telescope request is answered after slowMs (or when the server stops).
    void setMode(Mode mode, int slowMs = 3000);
    void setDevices(std::vector<Device> devices);
    // What GET declination answers, degrees (any number, to test the client's checks).
    void setDeclination(double degrees) { declination_ = degrees; }
    // What a GET of `member` (rightascension, sideofpier, guideraterightascension, ...)
    // answers once connected; a member never set answers "not implemented".
    void setNumber(const std::string& member, double value);
    std::vector<Request> requests() const;

private:
    void answerTelescope(const httplib::Request& request, httplib::Response& response);
    bool failByMode(httplib::Response& response);
    void reply(const httplib::Request& request, httplib::Response& response, int error,
               const QJsonValue& value);
    int act(const std::string& method, const std::string& member, const httplib::Params& params,
            QJsonValue& value);

    const int telescopeNumber_;
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    Mode mode_ = Mode::normal;
    int slowMs_ = 0;
    bool connected_ = false;
    std::map<std::string, double> numbers_;
    // When the last pulse ends: ispulseguiding answers true until then.
    std::chrono::steady_clock::time_point pulseEnds_{};
    std::atomic<double> declination_{30.0};
    std::atomic<unsigned> serverTransaction_ = 0;
    std::vector<Request> requests_;
    std::vector<Device> devices_;
};

// Answers every "alpacadiscovery1" datagram sent to 127.0.0.1:port() with each of `answers`.
class LoopbackDiscoveryResponder {
public:
    explicit LoopbackDiscoveryResponder(std::vector<QByteArray> answers);
    ~LoopbackDiscoveryResponder();
    quint16 port() const { return port_; }
    int probes() const { return probes_; }

private:
    void serve(std::promise<quint16>& bound);

    std::vector<QByteArray> answers_;
    std::atomic<bool> stop_ = false;
    std::atomic<int> probes_ = 0;
    quint16 port_ = 0;
    std::thread thread_;
};

// An HTTP server on 127.0.0.1 that reads each request and then sends `reply` one byte every
// everyMs, stopping after sendBytes bytes and holding the connection open until the client
// closes it. Connections are served one after the other.
class TricklingServer {
public:
    TricklingServer(std::string reply, int everyMs, std::size_t sendBytes);
    ~TricklingServer();
    int port() const { return port_; }
    int connections() const { return connections_; }

private:
    void serve(int client);
    bool stopping() const { return stop_; }

    const std::string reply_;
    const int everyMs_;
    const std::size_t sendBytes_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_ = false;
    std::atomic<int> connections_ = 0;
    std::thread thread_;
};
