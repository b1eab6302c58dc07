#include "fakes/fake_v4l2_io.h"
#include "platform/capture/v4l2_device.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

struct V4l2DeviceTest : ::testing::Test {
    std::shared_ptr<FakeV4l2Io> io = std::make_shared<FakeV4l2Io>();
    FakeCamera& cam = io->cameras["/d/video0"];
    V4l2Device device{io};
    QImage frame;

    void SetUp() override {
        cam.formats[0].sizes = {{320, 240}, {640, 480}};
        cam.formats[0].intervals = {{1, 30}, {1, 15}};
    }
    void openCamera() {
        ASSERT_TRUE(device.open("/d/video0")) << device.errorString().toStdString();
        io->calls.clear();
    }
    int mappedBuffers() const {
        int maps = 0;
        for (const FakeCamera::Buffer& b : cam.buffers)
            maps += b.maps;
        return maps;
    }
    // Released everything: no descriptor, no mapping, no buffers.
    void expectLetGo() {
        EXPECT_FALSE(device.isOpen());
        EXPECT_EQ(device.size(), QSize());
        EXPECT_EQ(io->openCount(), 0u);
        EXPECT_EQ(mappedBuffers(), 0);
    }
};

} // namespace

TEST_F(V4l2DeviceTest, OpensStreamingAndClosesOnceEvenWhenAskedTwice) {
    ASSERT_TRUE(device.open("/d/video0"));
    EXPECT_EQ(io->calls, (QStringList{"open /d/video0", "S_FMT 640x480", "REQBUFS 4", "QBUF 0",
                                      "QBUF 1", "QBUF 2", "QBUF 3", "STREAMON"}));
    EXPECT_EQ(device.size(), QSize(640, 480));
    EXPECT_EQ(mappedBuffers(), 4);
    io->calls.clear();
    device.close();
    EXPECT_EQ(io->calls, (QStringList{"STREAMOFF", "munmap 0", "munmap 1", "munmap 2", "munmap 3",
                                      "REQBUFS 0", "close 3"}));
    device.close();
    EXPECT_EQ(io->calls.size(), 7);
    expectLetGo();
    EXPECT_TRUE(cam.buffers.empty());

    // A driver granting fewer buffers is fine; reopening while open starts afresh.
    cam.maxBuffers = 2;
    ASSERT_TRUE(device.open("/d/video0"));
    ASSERT_TRUE(device.open("/d/video0"));
    EXPECT_EQ(io->openCount(), 1u);
    EXPECT_EQ(mappedBuffers(), 2);
}

// Each fault on a fresh camera; buffers granted but not mapped are handed back too.
TEST_F(V4l2DeviceTest, OpenFailuresSayWhyAndLeaveNothingOpen) {
    const std::pair<std::function<void(FakeCamera&)>, QString> cases[] = {
        {[](FakeCamera& c) { c.openError = -EACCES; },
         "Cannot open camera /d/video0: Permission denied (add your user to group video)"},
        {[](FakeCamera& c) { c.deviceCaps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING; },
         "/d/video0 is not a camera that streams video"},
        {[](FakeCamera& c) { c.refuseFormat = true; },
         "Cannot use camera /d/video0: it offers no picture format this program can read "
         "(Invalid argument)"},
        {[](FakeCamera& c) { c.streamonError = -EBUSY; },
         "Cannot use camera /d/video0: it is in use by another program"},
        {[](FakeCamera& c) { c.maxBuffers = 0; },
         "Cannot use camera /d/video0: streaming does not start (Cannot allocate memory)"},
        {[](FakeCamera& c) { c.mapFails = true; },
         "Cannot use camera /d/video0: streaming does not start (Cannot allocate memory)"},
    };
    for (const auto& [fault, message] : cases) {
        SCOPED_TRACE(message.toStdString());
        cam = FakeCamera();
        SetUp();
        fault(cam);
        EXPECT_FALSE(device.open("/d/video0"));
        EXPECT_EQ(device.errorString(), message);
        expectLetGo();
        EXPECT_TRUE(cam.buffers.empty());
    }
}

TEST_F(V4l2DeviceTest, GrabTakesTheNewestFrameAndRequeuesEveryBuffer) {
    openCamera();
    cam.produce(1);
    cam.produce(2);
    cam.produce(3);
    ASSERT_TRUE(device.grab(frame));
    EXPECT_EQ(io->calls,
              (QStringList{"DQBUF 0", "DQBUF 1", "QBUF 0", "DQBUF 2", "QBUF 1", "QBUF 2"}));
    EXPECT_EQ(cam.queued.size(), 4u);
    EXPECT_EQ(frame.format(), QImage::Format_RGB888);
    EXPECT_EQ(frame.size(), QSize(640, 480));
    EXPECT_EQ(frame.pixelColor(300, 7), QColor(3, 300 % 256, 7));

    // The image owns its pixels: later frames do not change it.
    cam.produce(4);
    QImage next;
    ASSERT_TRUE(device.grab(next));
    EXPECT_EQ(next.pixelColor(0, 0).red(), 4);
    EXPECT_EQ(frame.pixelColor(0, 0).red(), 3);
}

TEST_F(V4l2DeviceTest, RowsFollowTheDriversLineLength) {
    cam.rowPadding = 13;
    cam.formats[0].sizes = {{322, 242}};
    openCamera();
    cam.produce(9);
    ASSERT_TRUE(device.grab(frame));
    ASSERT_EQ(frame.size(), QSize(322, 242));
    for (int y : {0, 1, 120, 241})
        for (int x : {0, 1, 255, 256, 321})
            EXPECT_EQ(frame.pixelColor(x, y), QColor(9, x % 256, y)) << x << "," << y;
}

TEST_F(V4l2DeviceTest, GrabWaitsAtMostTwoSecondsAndDropsDamagedOrShortFrames) {
    openCamera();
    frame = QImage(2, 2, QImage::Format_Mono);
    io->pollResult = 0;
    EXPECT_FALSE(device.grab(frame));
    EXPECT_EQ(device.errorString(), "Camera /d/video0 stopped sending frames");
    EXPECT_EQ(frame.size(), QSize(2, 2));
    ASSERT_EQ(io->pollTimeouts.size(), 1u);
    EXPECT_LE(io->pollTimeouts[0], V4l2Device::kGrabWaitMs);
    EXPECT_GT(io->pollTimeouts[0], V4l2Device::kGrabWaitMs - 500);
    EXPECT_TRUE(device.isOpen());

    // Bad frames are handed back and the wait goes on for a good one.
    io->pollResult.reset();
    cam.produce(1, V4L2_BUF_FLAG_ERROR);
    cam.buffers[size_t(cam.produce(2))].bytesUsed = 640 * 3 * 479;
    int polls = 0;
    io->onPoll = [&] {
        if (++polls == 2)
            cam.produce(3);
    };
    ASSERT_TRUE(device.grab(frame));
    EXPECT_EQ(frame.pixelColor(0, 0).red(), 3);
    EXPECT_EQ(cam.queued.size(), 4u);

    cam.produce(4, V4L2_BUF_FLAG_ERROR);
    EXPECT_FALSE(device.grab(frame));
    EXPECT_EQ(frame.pixelColor(0, 0).red(), 3);
    EXPECT_EQ(io->pollTimeouts.size(), 5u);
}

TEST_F(V4l2DeviceTest, AnUnpluggedCameraFailsOnceAndThenCountsAsClosed) {
    openCamera();
    cam.produce(1);
    ASSERT_TRUE(device.grab(frame));
    cam.unplugged = true;
    EXPECT_FALSE(device.grab(frame));
    EXPECT_EQ(device.errorString(), "Camera /d/video0 was disconnected");
    expectLetGo();
    io->calls.clear();
    EXPECT_FALSE(device.grab(frame));
    EXPECT_EQ(device.errorString(), "Camera /d/video0 is not open");
    EXPECT_TRUE(device.controls().empty());
    EXPECT_FALSE(device.setControl(V4L2_CID_GAIN, 1));
    EXPECT_FALSE(device.applyFormat({320, 240}, {}));
    EXPECT_TRUE(io->calls.isEmpty());
    EXPECT_EQ(frame.pixelColor(0, 0).red(), 1);
    EXPECT_FALSE(V4l2Device(io).grab(frame));
}

TEST_F(V4l2DeviceTest, ReadErrorsAreReportedWithoutClosing) {
    openCamera();
    cam.produce(1);
    cam.dequeueError = -EIO;
    EXPECT_FALSE(device.grab(frame));
    EXPECT_EQ(device.errorString(), "Camera /d/video0 stopped sending frames");
    io->pollResult = -EINVAL;
    EXPECT_FALSE(device.grab(frame));
    EXPECT_EQ(device.errorString(), "Camera /d/video0 failed: Invalid argument");
    EXPECT_TRUE(device.isOpen());
    cam.dequeueError = 0;
    io->pollResult.reset();
    EXPECT_TRUE(device.grab(frame));
}

TEST_F(V4l2DeviceTest, ApplyingAFormatRestartsStreamingAndIsKeptForTheNextOpen) {
    openCamera();
    EXPECT_EQ(device.interval(), V4l2Interval({1, 30}));
    ASSERT_TRUE(device.applyFormat({330, 250}, {1, 15}));
    EXPECT_EQ(io->calls.mid(0, 7), (QStringList{"STREAMOFF", "munmap 0", "munmap 1", "munmap 2",
                                                "munmap 3", "REQBUFS 0", "S_FMT 320x240"}));
    EXPECT_EQ(io->calls.mid(7, 2), (QStringList{"S_PARM 1/15", "REQBUFS 4"}));
    EXPECT_EQ(io->calls.last(), "STREAMON");
    EXPECT_EQ(device.size(), QSize(320, 240));
    EXPECT_EQ(device.interval(), V4l2Interval({1, 15}));
    cam.produce(5);
    ASSERT_TRUE(device.grab(frame));
    EXPECT_EQ(frame.size(), QSize(320, 240));

    cam.interval = {1, 30};
    device.close();
    io->calls.clear();
    ASSERT_TRUE(device.open("/d/video0"));
    EXPECT_TRUE(io->calls.contains("S_FMT 320x240"));
    EXPECT_EQ(device.interval(), V4l2Interval({1, 15}));

    // Without rate control only the size changes.
    cam.timePerFrame = false;
    io->calls.clear();
    ASSERT_TRUE(device.applyFormat({640, 480}, {1, 5}));
    EXPECT_TRUE(io->calls.filter("S_PARM").isEmpty());
    EXPECT_FALSE(device.interval().isValid());
}

TEST_F(V4l2DeviceTest, ARefusedFormatRestoresThePreviousOneOrCloses) {
    openCamera();
    cam.refuseSize = QSize(320, 240);
    EXPECT_FALSE(device.applyFormat({320, 240}, {1, 15}));
    EXPECT_EQ(device.errorString(), "Camera /d/video0 cannot deliver 320x240: it offers no picture "
                                    "format this program can read (Invalid argument)");
    EXPECT_TRUE(device.isOpen());
    EXPECT_EQ(device.size(), QSize(640, 480));
    cam.produce(1);
    EXPECT_TRUE(device.grab(frame));

    cam.refuseFormat = true;
    EXPECT_FALSE(device.applyFormat({320, 240}, {}));
    EXPECT_TRUE(device.errorString().startsWith("Camera /d/video0 cannot deliver 320x240"));
    expectLetGo();
}

TEST(Rgb24Image, NeedsEveryRowAndCopiesThePixels) {
    std::vector<uint8_t> data(2 * 8 + 6, 0);
    data[8] = 200; // first pixel of the second row
    const V4l2FrameLayout layout{{2, 3}, 8};
    EXPECT_TRUE(rgb24Image(data.data(), data.size() - 1, layout).isNull());
    QImage image = rgb24Image(data.data(), data.size(), layout);
    ASSERT_FALSE(image.isNull());
    data[8] = 0;
    EXPECT_EQ(image.pixelColor(0, 1).red(), 200);
    EXPECT_TRUE(rgb24Image(data.data(), data.size(), {{2, 3}, 5}).isNull());
    EXPECT_TRUE(rgb24Image(nullptr, 100, layout).isNull());
}
