#pragma once

#include "platform/capture/capture_driver.h"

#include <QStringList>
#include <functional>
#include <map>
#include <optional>

// Capture drivers described by `entries` (index -> driver). Every request is recorded as
// "create 1", "connect 1", "grab 1", "disconnect 1", "source 1", "format 1". Capture windows
// get their views from `viewMaker` (none while it is unset).
class FakeCaptureDrivers : public CaptureDrivers {
public:
    using ViewMaker =
        std::function<std::unique_ptr<CaptureView>(QWidget*, bool visible, const QRect&)>;

    struct Entry {
        QString name = QStringLiteral("Test Camera");
        QString version = QStringLiteral("1.0.0");
        CAPDRIVERCAPS caps{false, true, true, false};
        bool failConnect = false;
        bool failGrab = false;
        QImage frame;
        // The same frame at the camera's depth, for drivers that give one (INDI cameras).
        std::shared_ptr<const RawFrame> raw;
        // The size a Format dialog switches to; empty leaves the size as it is.
        QSize formatTo;
        // A camera that exposes on command, as an INDI camera is.
        std::optional<ExposureRange> exposureRange;
        QString deviceName;
        // A camera on a server that may go away and come back (an INDI camera); `lost`: its
        // server has gone, until connect() succeeds again.
        bool reconnectable = false;
        bool lost = false;
    };

    bool description(int index, QString& name, QString& version) override {
        auto it = entries.find(index);
        if (it == entries.end())
            return false;
        name = it->second.name;
        version = it->second.version;
        return true;
    }
    std::unique_ptr<CaptureDriver> create(int index) override {
        calls.append(QStringLiteral("create %1").arg(index));
        if (!entries.count(index))
            return nullptr;
        return std::make_unique<Driver>(*this, index);
    }
    std::unique_ptr<CaptureView> view(QWidget* parent, bool visible,
                                      const QRect& geometry) override {
        return viewMaker ? viewMaker(parent, visible, geometry) : nullptr;
    }

    std::map<int, Entry> entries;
    ViewMaker viewMaker;
    QWidget* dialogParent = nullptr; // the parent the last dialog was given
    QStringList calls;
    int open = 0;

private:
    class Driver : public CaptureDriver {
    public:
        Driver(FakeCaptureDrivers& all, int index) : all_(all), index_(index) {}
        ~Driver() override { disconnect(); }
        bool connect() override {
            log("connect");
            if (entry().failConnect)
                return false;
            entry().lost = false;
            if (!connected_)
                ++all_.open;
            connected_ = true;
            return true;
        }
        void disconnect() override {
            if (!connected_)
                return;
            log("disconnect");
            connected_ = false;
            --all_.open;
        }
        bool isConnected() const override { return connected_ && !entry().lost; }
        bool reconnectable() const override { return entry().reconnectable; }
        CAPDRIVERCAPS caps() const override { return entry().caps; }
        bool grab(QImage& frame) override {
            log("grab");
            if (entry().failGrab || entry().frame.isNull())
                return false;
            frame = entry().frame;
            return true;
        }
        void startExposure(double seconds) override {
            all_.calls.append(QStringLiteral("expose %1 %2").arg(index_).arg(seconds));
        }
        QSize frameSize() const override { return connected_ ? entry().frame.size() : QSize(); }
        bool sourceDialog(QWidget* parent) override {
            log("source");
            all_.dialogParent = parent;
            return entry().caps.fHasDlgVideoSource;
        }
        bool formatDialog(QWidget* parent) override {
            log("format");
            all_.dialogParent = parent;
            Entry& e = entry();
            if (e.formatTo.isValid() && !e.frame.isNull())
                e.frame = e.frame.scaled(e.formatTo);
            return e.caps.fHasDlgVideoFormat;
        }
        QString errorString() const override { return QStringLiteral("camera unplugged"); }
        std::shared_ptr<const RawFrame> rawFrame() const override { return entry().raw; }
        std::optional<ExposureRange> exposureRange() const override {
            return entry().exposureRange;
        }
        QString deviceName() const override { return entry().deviceName; }

    private:
        Entry& entry() const { return all_.entries.at(index_); }
        void log(const char* what) {
            all_.calls.append(QStringLiteral("%1 %2").arg(what).arg(index_));
        }
        FakeCaptureDrivers& all_;
        int index_;
        bool connected_ = false;
    };
};
