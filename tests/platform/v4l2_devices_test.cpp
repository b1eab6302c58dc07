#include "fakes/fake_v4l2_io.h"
#include "platform/capture/v4l2_devices.h"

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>

namespace {

// Device nodes are plain files in a temporary directory; the fake answers for their paths.
struct V4l2DevicesTest : ::testing::Test {
    QTemporaryDir dev;
    FakeV4l2Io io;
    QStringList notes;

    QString node(const QString& name) {
        const QString path = dev.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return path;
    }
    FakeCamera& camera(const QString& name, const std::string& card) {
        FakeCamera& cam = io.cameras[node(name)];
        cam.card = card;
        return cam;
    }
    QStringList paths(const std::vector<V4l2DeviceInfo>& devices) {
        QStringList list;
        for (const V4l2DeviceInfo& d : devices)
            list.append(d.path.mid(dev.path().size() + 1));
        return list;
    }
};

} // namespace

TEST_F(V4l2DevicesTest, NoNodesGiveAnEmptyListWithoutNotes) {
    node("vbi0");
    node("videoX");
    EXPECT_TRUE(listV4l2CaptureDevices(io, dev.path(), &notes).empty());
    EXPECT_TRUE(notes.isEmpty());
    EXPECT_TRUE(io.calls.isEmpty());
    EXPECT_TRUE(listV4l2CaptureDevices(io, dev.filePath("missing")).empty());
}

TEST_F(V4l2DevicesTest, ListsCamerasInNumericOrderWithCardAndVersion) {
    camera("video10", "Ten").version = (5u << 16) | (10u << 8) | 3u;
    camera("video2", "Two");
    camera("video1", "One");
    const std::vector<V4l2DeviceInfo> devices = listV4l2CaptureDevices(io, dev.path(), &notes);
    EXPECT_EQ(paths(devices), (QStringList{"video1", "video2", "video10"}));
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].card, "One");
    EXPECT_EQ(devices[0].version, "6.1.27");
    EXPECT_EQ(devices[2].version, "5.10.3");
    EXPECT_EQ(devices[2].card, "Ten");
    EXPECT_EQ(devices[2].path, dev.filePath("video10"));
    // Each node is opened only to ask and closed again.
    EXPECT_EQ(io.openCount(), 0u);
    EXPECT_EQ(io.calls.filter("close").size(), 3);
}

TEST_F(V4l2DevicesTest, SkipsNodesThatDoNotStreamVideo) {
    camera("video0", "Cam");
    FakeCamera& meta = camera("video1", "Cam");
    meta.deviceCaps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;
    camera("video2", "Reader").deviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_READWRITE;
    // Without per-node capabilities those of the whole device count.
    FakeCamera& old = camera("video4", "Old");
    old.capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    old.deviceCaps = 0;
    FakeCamera& combined = camera("video5", "Combined");
    combined.capabilities |= V4L2_CAP_META_CAPTURE;
    combined.deviceCaps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;
    EXPECT_EQ(paths(listV4l2CaptureDevices(io, dev.path(), &notes)),
              (QStringList{"video0", "video4"}));
    EXPECT_TRUE(notes.isEmpty());
}

TEST_F(V4l2DevicesTest, UnopenableNodesAreSkippedWithAReason) {
    camera("video0", "Locked").openError = -EACCES;
    camera("video1", "Busy").openError = -EBUSY;
    camera("video2", "Fine");
    node("video3"); // no driver behind it
    EXPECT_EQ(paths(listV4l2CaptureDevices(io, dev.path(), &notes)), (QStringList{"video2"}));
    ASSERT_EQ(notes.size(), 3);
    EXPECT_EQ(notes[0], QStringLiteral("Cannot open %1: Permission denied (add your user to "
                                       "group video)")
                            .arg(dev.filePath("video0")));
    EXPECT_EQ(notes[1], QStringLiteral("Cannot open %1: Device or resource busy (another program "
                                       "is using it)")
                            .arg(dev.filePath("video1")));
    EXPECT_EQ(
        notes[2],
        QStringLiteral("Cannot open %1: No such file or directory").arg(dev.filePath("video3")));
}

// The libv4l2 layer on plain files: no device is touched, and nothing there is a camera.
TEST_F(V4l2DevicesTest, TheSystemLayerTurnsAwayFilesThatAreNotCameras) {
    node("video0");
    const std::shared_ptr<V4l2Io> system = systemV4l2Io();
    EXPECT_TRUE(listV4l2CaptureDevices(*system, dev.path(), &notes).empty());
    EXPECT_TRUE(notes.isEmpty());
    const int fd = system->open(dev.filePath("video0"), O_RDONLY);
    ASSERT_GE(fd, 0);
    v4l2_capability caps{};
    EXPECT_EQ(system->ioctl(fd, VIDIOC_QUERYCAP, &caps), -ENOTTY);
    EXPECT_EQ(system->pollReadable(fd, 0), 1);
    system->close(fd);
    EXPECT_EQ(system->open(dev.filePath("video9"), O_RDONLY), -ENOENT);
    EXPECT_EQ(v4l2ErrorText(-ENOENT), "No such file or directory");
}
