#include "platform/alpaca_loopback_server.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <arpa/inet.h>
#include <map>
#include <netinet/in.h>
#include <poll.h>
#include <set>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
const int notConnected = 0x407;
const int invalidValue = 0x401;
const int notImplemented = 0x400;
// Numbers a telescope may or may not implement (see setNumber).
const std::set<std::string> numberNames = {
    "rightascension",          "siderealtime",        "sitelatitude", "sideofpier",
    "guideraterightascension", "guideratedeclination"};

// Parameters of each PUT, named exactly as a client must name them.
const std::map<std::string, std::vector<std::string>> putNames = {
    {"connected", {"Connected"}},
    {"pulseguide", {"Direction", "Duration"}},
    {"commandblind", {"Command", "Raw"}}};

bool sameLetters(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// Query parameter names are matched without regard to case, as Alpaca servers do.
std::string param(const httplib::Params& params, const std::string& name) {
    for (const auto& [key, value] : params)
        if (sameLetters(key, name))
            return value;
    return {};
}

// Why a PUT is refused with 400, or "" when its parameter names are right.
std::string badNames(const std::string& member, const httplib::Params& params) {
    const std::vector<std::string>& names = putNames.at(member);
    std::vector<std::string> all = names;
    all.insert(all.end(), {"ClientID", "ClientTransactionID"});
    for (const auto& [key, value] : params)
        for (const std::string& name : all)
            if (sameLetters(key, name) && key != name)
                return "Bad capitalisation of parameter " + name + ": " + key;
    for (const std::string& name : names)
        if (!params.count(name))
            return "Missing parameter " + name;
    return {};
}
} // namespace

LoopbackAlpacaServer::LoopbackAlpacaServer(int telescopeNumber)
    : telescopeNumber_(telescopeNumber) {
    const auto telescope = [this](const httplib::Request& q, httplib::Response& r) {
        answerTelescope(q, r);
    };
    server_.Get(R"(/api/v1/telescope/(\d+)/([a-z]+))", telescope);
    server_.Put(R"(/api/v1/telescope/(\d+)/([a-z]+))", telescope);
    server_.Get("/management/v1/configureddevices",
                [this](const httplib::Request& q, httplib::Response& r) {
                    const std::lock_guard lock(mutex_);
                    QJsonArray list;
                    for (const Device& d : devices_)
                        list.append(QJsonObject{{"DeviceName", QString::fromStdString(d.name)},
                                                {"DeviceType", QString::fromStdString(d.type)},
                                                {"DeviceNumber", d.number},
                                                {"UniqueID", "id-" + QString::number(d.number)}});
                    reply(q, r, 0, list);
                });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
}

LoopbackAlpacaServer::~LoopbackAlpacaServer() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    server_.stop();
    thread_.join();
}

void LoopbackAlpacaServer::setMode(Mode mode, int slowMs) {
    const std::lock_guard lock(mutex_);
    mode_ = mode;
    slowMs_ = slowMs;
}

void LoopbackAlpacaServer::setDevices(std::vector<Device> devices) {
    const std::lock_guard lock(mutex_);
    devices_ = std::move(devices);
}

std::vector<LoopbackAlpacaServer::Request> LoopbackAlpacaServer::requests() const {
    const std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackAlpacaServer::answerTelescope(const httplib::Request& q, httplib::Response& r) {
    const std::string member = q.matches[2];
    std::unique_lock lock(mutex_);
    requests_.push_back({q.method, member, q.get_header_value("Content-Type"), q.params});
    if (failByMode(r))
        return;
    if (mode_ == Mode::slow)
        stop_.wait_for(lock, std::chrono::milliseconds(slowMs_), [this] { return stopping_; });
    const std::string refusal =
        q.method == "PUT" && putNames.count(member) ? badNames(member, q.params) : std::string();
    if (std::stoi(q.matches[1]) != telescopeNumber_ || !refusal.empty()) {
        r.status = 400;
        r.set_content(refusal.empty() ? "No such telescope" : refusal, "text/plain");
        return;
    }
    QJsonValue value;
    const int error = act(q.method, member, q.params, value);
    lock.unlock();
    if (error < 0) {
        r.status = 400;
        r.set_content("Unknown member " + member, "text/plain");
        return;
    }
    reply(q, r, error, value);
}

bool LoopbackAlpacaServer::failByMode(httplib::Response& r) {
    if (mode_ == Mode::http500) {
        r.status = 500;
        r.set_content("Internal failure of the mount", "text/plain");
    } else if (mode_ == Mode::notJson) {
        r.set_content("<html>Mount</html>", "text/html");
    } else if (mode_ == Mode::noErrorNumber) {
        r.set_content(R"({"Value": true})", "application/json");
    }
    return mode_ != Mode::normal && mode_ != Mode::slow;
}

void LoopbackAlpacaServer::setNumber(const std::string& member, double value) {
    const std::lock_guard lock(mutex_);
    numbers_[member] = value;
}

int LoopbackAlpacaServer::act(const std::string& method, const std::string& member,
                              const httplib::Params& params, QJsonValue& value) {
    const auto flag = [&](const char* name) { return param(params, name); };
    if (method == "GET" && (member == "connected" || member == "canpulseguide")) {
        value = member == "connected" ? connected_ : true;
        return 0;
    }
    if (method == "GET" && member == "declination") {
        value = declination_.load();
        return connected_ ? 0 : notConnected;
    }
    if (method == "GET" && numbers_.count(member)) {
        value = numbers_.at(member);
        return connected_ ? 0 : notConnected;
    }
    if (method == "GET" && numberNames.count(member))
        return notImplemented;
    if (method == "GET" && member == "ispulseguiding") {
        value = std::chrono::steady_clock::now() < pulseEnds_;
        return connected_ ? 0 : notConnected;
    }
    if (method != "PUT" || !putNames.count(member))
        return -1;
    if (member == "connected") {
        if (!sameLetters(flag("Connected"), "true") && !sameLetters(flag("Connected"), "false"))
            return invalidValue;
        connected_ = sameLetters(flag("Connected"), "true");
        return 0;
    }
    if (!connected_)
        return notConnected;
    if (member == "pulseguide") {
        const std::string direction = flag("Direction"), duration = flag("Duration");
        const bool digits =
            !duration.empty() && duration.find_first_not_of("0123456789") == std::string::npos;
        if (direction.size() != 1 || direction[0] < '0' || direction[0] > '3' || !digits)
            return invalidValue;
        pulseEnds_ =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(std::stoll(duration));
        return 0;
    }
    return flag("Raw") == "true" || flag("Raw") == "false" ? 0 : invalidValue;
}

void LoopbackAlpacaServer::reply(const httplib::Request& q, httplib::Response& r, int error,
                                 const QJsonValue& value) {
    QJsonObject body{{"ClientTransactionID",
                      QString::fromStdString(param(q.params, "ClientTransactionID")).toLongLong()},
                     {"ServerTransactionID", qint64(++serverTransaction_)}};
    if (!value.isUndefined())
        body["Value"] = value;
    if (q.path.rfind("/api/", 0) == 0) {
        body["ErrorNumber"] = error;
        body["ErrorMessage"] = error == notConnected     ? "Telescope is not connected"
                               : error == invalidValue   ? "Invalid value"
                               : error == notImplemented ? "Property not implemented"
                                                         : "";
    }
    r.set_content(QJsonDocument(body).toJson(QJsonDocument::Compact).toStdString(),
                  "application/json");
}

LoopbackDiscoveryResponder::LoopbackDiscoveryResponder(std::vector<QByteArray> answers)
    : answers_(std::move(answers)) {
    std::promise<quint16> bound;
    thread_ = std::thread([this, &bound] { serve(bound); });
    port_ = bound.get_future().get();
}

LoopbackDiscoveryResponder::~LoopbackDiscoveryResponder() {
    stop_ = true;
    thread_.join();
}

void LoopbackDiscoveryResponder::serve(std::promise<quint16>& bound) {
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    bound.set_value(socket.localPort());
    while (!stop_) {
        socket.waitForReadyRead(20);
        while (socket.hasPendingDatagrams()) {
            const QNetworkDatagram probe = socket.receiveDatagram();
            if (probe.data() != "alpacadiscovery1")
                continue;
            ++probes_;
            for (const QByteArray& answer : answers_)
                socket.writeDatagram(probe.makeReply(answer));
        }
    }
}

namespace {
// Waits up to ms for `fd` to become readable; false on time-out.
bool readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}
} // namespace

TricklingServer::TricklingServer(std::string reply, int everyMs, std::size_t sendBytes)
    : reply_(std::move(reply)), everyMs_(everyMs), sendBytes_(std::min(sendBytes, reply_.size())) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        return; // port() stays 0 and every test call fails to connect
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] {
        while (!stopping())
            if (readable(listener_, 20))
                if (const int client = ::accept(listener_, nullptr, nullptr); client >= 0) {
                    ++connections_;
                    serve(client);
                    ::close(client);
                }
    });
}

TricklingServer::~TricklingServer() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    ::close(listener_);
}

// Reads what the client sends first, then trickles; a read of 0 bytes is the client closing.
void TricklingServer::serve(int client) {
    char buffer[4096];
    if (!readable(client, 2000) || ::recv(client, buffer, sizeof buffer, 0) <= 0)
        return;
    for (std::size_t sent = 0; !stopping();) {
        if (readable(client, everyMs_) && ::recv(client, buffer, sizeof buffer, 0) <= 0)
            return;
        if (sent < sendBytes_ && ::send(client, reply_.data() + sent, 1, MSG_NOSIGNAL) == 1)
            ++sent;
    }
}
