// Cost of bringing a grabbed frame into the frame picture: the capture window's grab from a
// driver whose frame is ready, the copy into the frame slot and the picture update (with the
// conversion of a camera's RGB888 frame to the picture's RGB32).

#include "app/frame_picture.h"
#include "bench_util.h"
#include "platform/capture/capture_window.h"
#include "platform/capture/frame_slot.h"

#include <QApplication>

namespace {
class ReadyFrameDriver : public CaptureDriver {
public:
    explicit ReadyFrameDriver(QImage frame) : frame_(std::move(frame)) {}
    bool connect() override { return true; }
    void disconnect() override {}
    bool isConnected() const override { return true; }
    CAPDRIVERCAPS caps() const override { return {}; }
    bool grab(QImage& frame) override {
        frame = frame_.copy(); // a camera hands over a new buffer every time
        return true;
    }
    QSize frameSize() const override { return frame_.size(); }
    bool sourceDialog(QWidget*) override { return false; }
    bool formatDialog(QWidget*) override { return false; }
    QString errorString() const override { return {}; }

private:
    QImage frame_;
};

class OneDriver : public CaptureDrivers {
public:
    explicit OneDriver(QImage::Format format) : format_(format) {}
    bool description(int, QString&, QString&) override { return true; }
    std::unique_ptr<CaptureDriver> create(int) override {
        QImage frame(640, 480, format_);
        frame.fill(Qt::darkGray);
        return std::make_unique<ReadyFrameDriver>(frame);
    }

private:
    QImage::Format format_;
};

// paint: also repaint the shown picture at once, as the guide cycle's search does.
void transferRow(const char* name, QImage::Format format, bool paint) {
    OneDriver drivers(format);
    FrameSlot slot;
    FramePicture picture;
    if (paint)
        picture.show();
    CaptureWindow window(drivers, slot, nullptr, false, QRect());
    window.driverConnect(0);
    timeRow(name, 500, [&] {
        window.grabFrame();
        window.editCopy();
        picture.setImage(slot.image(picture.image().size()));
        if (paint)
            picture.refresh();
    });
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    timeHeader();
    transferRow("transfer 640x480 RGB32 (grab+copy+picture)", QImage::Format_RGB32, false);
    transferRow("transfer 640x480 RGB888 (grab+copy+picture)", QImage::Format_RGB888, false);
    transferRow("  the same, plus repaint of the shown picture", QImage::Format_RGB888, true);
    return 0;
}
