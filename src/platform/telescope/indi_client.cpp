#include "platform/telescope/indi_client.h"

#include "platform/telescope/indi_convert.h"
#include "platform/telescope/tcp_no_delay.h"

#include <QRegularExpression>
#include <basedevice.h>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>

const IndiDeviceState* IndiSnapshot::device(const QString& name) const {
    const auto found = devices.find(name);
    return found == devices.end() ? nullptr : &found->second;
}

const IndiVector* IndiSnapshot::property(const QString& deviceName,
                                         const QString& propertyName) const {
    const IndiDeviceState* state = device(deviceName);
    if (!state)
        return nullptr;
    const auto found = state->properties.find(propertyName);
    return found == state->properties.end() ? nullptr : &found->second;
}

namespace {
// Drivers' messages arrive as "2024-01-31T22:05:17: text".
QString withoutTimestamp(const QString& message) {
    static const QRegularExpression stamp(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d(\\.\\d+)?: "));
    return QString(message).remove(stamp).trimmed();
}
} // namespace

struct IndiClient::Shared {
    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    IndiSnapshot snapshot;

    template <class F> void change(F&& edit) {
        {
            std::lock_guard lock(mutex);
            ++snapshot.revision;
            edit(snapshot);
        }
        changed.notify_all();
    }
};

// Runs on libindi's thread (serverConnected also on the caller's): copies what arrives into
// the shared snapshot. It never calls back into libindi while holding the lock, and the
// caller never calls libindi while holding it, so neither can block the other.
class IndiClient::Listener : public INDI::BaseClient {
public:
    explicit Listener(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
    ~Listener() override {
        if (isServerConnected())
            disconnectServer();
        releaseDevices();
    }

protected:
    void serverConnected() override {
        shared_->change([](IndiSnapshot& s) { s.linkUp = true; });
    }
    void serverDisconnected(int) override {
        shared_->change([](IndiSnapshot& s) { s.linkUp = false; });
    }
    void newDevice(INDI::BaseDevice device) override {
        devices_.push_back(device);
        const QString name = QString::fromUtf8(device.getDeviceName());
        shared_->change([&](IndiSnapshot& s) {
            s.devices[name];
            ++s.definitions;
        });
    }
    void removeDevice(INDI::BaseDevice device) override {
        const QString name = QString::fromUtf8(device.getDeviceName());
        shared_->change([&](IndiSnapshot& s) {
            s.devices.erase(name);
            ++s.definitions;
        });
    }
    void newProperty(INDI::Property property) override { store(property, true); }
    void updateProperty(INDI::Property property) override { store(property, false); }
    void removeProperty(INDI::Property property) override {
        const IndiVector gone = toIndiVector(property);
        shared_->change([&](IndiSnapshot& s) {
            s.devices[gone.device].properties.erase(gone.name);
            ++s.definitions;
        });
    }
    void newMessage(INDI::BaseDevice device, int messageId) override {
        const QString name = QString::fromUtf8(device.getDeviceName());
        const QString message =
            withoutTimestamp(QString::fromStdString(device.messageQueue(messageId)));
        shared_->change([&](IndiSnapshot& s) {
            IndiDeviceState& state = s.devices[name];
            state.lastMessage = message;
            state.messageRevision = s.revision;
        });
    }

private:
    // libindi 1.9 keeps each device and its properties in a reference cycle that outlives the
    // client (and forgets the device when the server goes away); removing the properties once
    // its thread has stopped lets both be freed.
    void releaseDevices() {
        for (INDI::BaseDevice& device : devices_) {
            std::vector<std::string> names;
            for (const INDI::Property& property : device.getProperties())
                names.emplace_back(property.getName());
            char error[MAXRBUF];
            for (const std::string& name : names)
                device.removeProperty(name.c_str(), error);
        }
    }

    void store(const INDI::Property& property, bool definition) {
        IndiVector vector = toIndiVector(property);
        shared_->change([&](IndiSnapshot& s) {
            s.definitions += definition ? 1 : 0;
            vector.revision = s.revision;
            IndiVector& slot = s.devices[vector.device].properties[vector.name];
            vector.defined = definition || slot.defined == 0 ? s.revision : slot.defined;
            vector.lastBusy = vector.state == IndiState::Busy ? s.revision : slot.lastBusy;
            slot = std::move(vector);
        });
    }

    std::shared_ptr<Shared> shared_;
    std::vector<INDI::BaseDevice> devices_; // libindi's thread adds, the destructor releases
};

IndiClient::IndiClient() : shared_(std::make_shared<Shared>()) {}

IndiClient::~IndiClient() = default;

bool IndiClient::connectServer(const QString& host, int port, const QString& device,
                               int timeoutMs) {
    // libindi writes to its socket with write(2): once the server has gone, that would end the
    // whole program with SIGPIPE instead of failing the write.
    static std::once_flag ignoreBrokenPipes;
    std::call_once(ignoreBrokenPipes, [] { std::signal(SIGPIPE, SIG_IGN); });
    disconnectServer();
    shared_->change([](IndiSnapshot& s) {
        const quint64 revision = s.revision;
        s = IndiSnapshot();
        s.revision = revision;
    });
    listener_ = std::make_unique<Listener>(shared_);
    listener_->setServer(host.toUtf8().constData(), static_cast<unsigned>(port));
    const int boundedMs = std::max(timeoutMs, 1);
    listener_->setConnectionTimeout(static_cast<uint32_t>(boundedMs / 1000),
                                    static_cast<uint32_t>(boundedMs % 1000) * 1000);
    if (!device.isEmpty())
        listener_->watchDevice(device.toUtf8().constData());
    if (listener_->connectServer()) {
        setTcpNoDelayForPeerPort(port);
        return true;
    }
    listener_.reset();
    return false;
}

void IndiClient::disconnectServer() {
    // The listener's destructor ends the link and waits for libindi's thread to stop
    // calling it.
    listener_.reset();
    shared_->change([](IndiSnapshot& s) { s.linkUp = false; });
}

bool IndiClient::linkUp() const {
    std::lock_guard lock(shared_->mutex);
    return listener_ && shared_->snapshot.linkUp;
}

bool IndiClient::send(const IndiVector& vector) {
    if (!linkUp())
        return false;
    sendIndiVector(*listener_, vector);
    return true;
}

bool IndiClient::enableBlobs(const QString& device, const QString& property) {
    if (!linkUp())
        return false;
    listener_->setBLOBMode(B_ALSO, device.toUtf8().constData(), property.toUtf8().constData());
    return true;
}

void IndiClient::read(const std::function<void(const IndiSnapshot&)>& reader) const {
    std::lock_guard lock(shared_->mutex);
    reader(shared_->snapshot);
}

IndiClient::Wait IndiClient::waitUntil(const std::function<bool(const IndiSnapshot&)>& condition,
                                       int timeoutMs) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock lock(shared_->mutex);
    const IndiSnapshot& s = shared_->snapshot;
    const bool done =
        shared_->changed.wait_until(lock, deadline, [&] { return !s.linkUp || condition(s); });
    if (!s.linkUp)
        return Wait::LinkLost;
    return done ? Wait::Met : Wait::TimedOut;
}

IndiClient::Wait
IndiClient::waitForDefinitions(const std::function<bool(const IndiSnapshot&)>& ready, int quietMs,
                               int timeoutMs) const {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    quint64 seen = 0;
    read([&](const IndiSnapshot& s) { seen = s.definitions; });
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return Wait::TimedOut;
        bool isReady = false;
        const Wait result = waitUntil(
            [&](const IndiSnapshot& s) {
                isReady = ready(s);
                return s.definitions != seen;
            },
            std::min<int>(quietMs, int(left.count())));
        if (result == Wait::LinkLost)
            return result;
        if (result == Wait::TimedOut && isReady && left.count() >= quietMs)
            return Wait::Met;
        read([&](const IndiSnapshot& s) { seen = s.definitions; });
    }
}
