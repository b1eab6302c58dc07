#include "fakes/fake_capture.h"
#include "platform/capture/capture_window.h"
#include "platform/capture/frame_slot.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
// A view that records what the capture window asks of it.
struct Seen {
    QWidget* parent = nullptr;
    bool visible = false;
    QRect geometry;
    std::vector<QImage> frames;
    bool destroyed = false;
};

class RecordingView : public CaptureView {
public:
    explicit RecordingView(Seen& seen) : seen_(seen) {}
    ~RecordingView() override { seen_.destroyed = true; }
    QWidget* dialogParent() const override { return seen_.parent; }
    bool showsFrames() const override { return seen_.visible; }
    void show(const QImage& frame) override { seen_.frames.push_back(frame); }

private:
    Seen& seen_;
};

struct CaptureWindowView : ::testing::Test {
    FakeCaptureDrivers drivers;
    FrameSlot slot;
    Seen seen;

    void SetUp() override {
        QImage frame(32, 24, QImage::Format_RGB32);
        frame.fill(Qt::darkGreen);
        drivers.entries[0].frame = frame;
    }
    void giveViews() {
        drivers.viewMaker = [this](QWidget* parent, bool visible, const QRect& geometry) {
            seen.parent = parent;
            seen.visible = visible;
            seen.geometry = geometry;
            return std::make_unique<RecordingView>(seen);
        };
    }
};
} // namespace

TEST_F(CaptureWindowView, WithoutAViewTheWindowGrabsButShowsNothing) {
    CaptureWindow window(drivers, slot, nullptr, true, QRect(0, 0, 32, 24));
    EXPECT_FALSE(window.isVisiblePreview());
    ASSERT_TRUE(window.driverConnect(0));
    EXPECT_FALSE(window.preview(true));
    EXPECT_TRUE(window.dlgVideoSource()); // the fake's dialog needs no parent
    ASSERT_TRUE(window.grabFrame());
    EXPECT_TRUE(window.editCopy());
    EXPECT_EQ(slot.image({}).pixelColor(0, 0), QColor(Qt::darkGreen));
}

TEST_F(CaptureWindowView, AVisibleWindowShowsItsPreviewFramesInTheDriversView) {
    giveViews();
    // Stands for the main window; the fakes never use it.
    auto* const mainWindow = reinterpret_cast<QWidget*>(alignof(std::max_align_t));
    {
        CaptureWindow window(drivers, slot, mainWindow, true, QRect(5, 6, 32, 24));
        EXPECT_EQ(seen.parent, mainWindow);
        EXPECT_TRUE(seen.visible);
        EXPECT_EQ(seen.geometry, QRect(5, 6, 32, 24));
        EXPECT_TRUE(window.isVisiblePreview());
        EXPECT_FALSE(window.preview(true)); // nothing to preview before a driver connects
        ASSERT_TRUE(window.driverConnect(0));
        EXPECT_TRUE(window.dlgVideoFormat());
        EXPECT_EQ(drivers.dialogParent, mainWindow);
        ASSERT_TRUE(window.previewRate(1));
        ASSERT_TRUE(window.preview(true));
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (seen.frames.size() >= 2)
                loop.quit();
        });
        poll.start(1);
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        loop.exec();
        ASSERT_GE(seen.frames.size(), 2u);
        EXPECT_EQ(seen.frames[0], drivers.entries[0].frame);
        EXPECT_FALSE(seen.destroyed);
    }
    EXPECT_TRUE(seen.destroyed);
}

TEST_F(CaptureWindowView, AHiddenWindowHasNoPreview) {
    giveViews();
    CaptureWindow window(drivers, slot, nullptr, false, QRect());
    EXPECT_FALSE(seen.visible);
    EXPECT_FALSE(window.isVisiblePreview());
    ASSERT_TRUE(window.driverConnect(0));
    EXPECT_FALSE(window.preview(true));
}
