// Cost of bringing a grabbed frame into the frame picture: the capture window's grab from a
// driver whose frame is ready, the copy into the frame slot and the picture update (with the
// conversion of a camera's RGB888 frame to the picture's RGB32). For INDI cameras: a 16-bit
// FITS frame as a BLOB arrives, decoded, mapped to 0..255 and put in the picture.

#include "app/frame_picture.h"
#include "bench_util.h"
#include "platform/capture/capture_window.h"
#include "platform/capture/fits_decode.h"
#include "platform/capture/frame_slot.h"
#include "platform/capture/frame_stretch.h"

#include <QApplication>
#include <random>

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
// A 16-bit FITS frame as INDI's CCD simulator sends it: BZERO 32768, a noisy background of
// about 5 ADU and a grid of stars.
QByteArray simulatorFits(int width, int height) {
    QByteArray file;
    for (const QString& card : {QStringLiteral("SIMPLE  =                    T"),
                                QStringLiteral("BITPIX  =                   16"),
                                QStringLiteral("NAXIS   =                    2"),
                                QStringLiteral("NAXIS1  = %1").arg(width, 20),
                                QStringLiteral("NAXIS2  = %1").arg(height, 20),
                                QStringLiteral("BZERO   =                32768"),
                                QStringLiteral("BSCALE  =                    1"),
                                QStringLiteral("ROWORDER= 'TOP-DOWN'"), QStringLiteral("END")})
        file += card.leftJustified(80, u' ').toLatin1();
    file += QByteArray((2880 - file.size() % 2880) % 2880, ' ');
    std::mt19937 random(3);
    std::uniform_int_distribution<int> noise(0, 9);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool star = x % 128 == 64 && y % 128 == 64;
            const int stored = (star ? 5000 : noise(random)) - 32768;
            file += char((stored >> 8) & 0xFF);
            file += char(stored & 0xFF);
        }
    return file;
}

void indiFrameRow() {
    const QByteArray blob = simulatorFits(1280, 1024);
    FrameSlot slot;
    FramePicture picture;
    timeRow("INDI 1280x1024 FITS (decode+map+picture)", 50, [&] {
        const QByteArray received(blob.constData(), blob.size()); // the client's copy of the BLOB
        auto raw = std::make_shared<RawFrame>();
        QString error;
        if (!decodeFits(received.constData(), size_t(received.size()), *raw, error))
            std::abort();
        slot.put(stretchToPicture(*raw), raw);
        picture.setImage(slot.image(picture.image().size()));
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
    indiFrameRow();
    return 0;
}
