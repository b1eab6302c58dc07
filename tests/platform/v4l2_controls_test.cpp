#include "fakes/fake_v4l2_io.h"
#include "platform/capture/v4l2_device.h"

#include <gtest/gtest.h>

namespace {

// A webcam with the usual settings and a few oddities drivers report.
struct V4l2ControlsTest : ::testing::Test {
    std::shared_ptr<FakeV4l2Io> io = std::make_shared<FakeV4l2Io>();
    FakeCamera& cam = io->cameras["/d/video0"];
    V4l2Device device{io};

    void SetUp() override {
        cam.controls = {
            FakeCamera::makeControl(V4L2_CID_USER_CLASS, "User Controls", 0, 0, 0,
                                    V4L2_CTRL_TYPE_CTRL_CLASS),
            FakeCamera::makeControl(V4L2_CID_BRIGHTNESS, "Brightness", -64, 64, 0),
            FakeCamera::makeControl(V4L2_CID_AUTOGAIN, "Gain, Automatic", 0, 1, 1,
                                    V4L2_CTRL_TYPE_BOOLEAN),
            FakeCamera::makeControl(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency", 0, 3, 1,
                                    V4L2_CTRL_TYPE_MENU),
            FakeCamera::makeControl(V4L2_CID_EXPOSURE_AUTO, "Auto Exposure", 0, 3, 3,
                                    V4L2_CTRL_TYPE_MENU),
            FakeCamera::makeControl(V4L2_CID_EXPOSURE_ABSOLUTE, "Exposure Time, Absolute", 3, 2047,
                                    250),
            FakeCamera::makeControl(V4L2_CID_DO_WHITE_BALANCE, "Do White Balance", 0, 0, 0,
                                    V4L2_CTRL_TYPE_BUTTON),
            FakeCamera::makeControl(V4L2_CID_PAN_ABSOLUTE, "Pan", 0, 10, 0,
                                    V4L2_CTRL_TYPE_INTEGER64),
            FakeCamera::makeControl(V4L2_CID_ZOOM_ABSOLUTE, "Zoom", 0, 1, 0,
                                    V4L2_CTRL_TYPE_INTEGER_MENU),
        };
        cam.controls[1].query.step = 2;
        cam.controls[1].query.default_value = 10;
        cam.controls[3].menu = {"Disabled", "50 Hz", "", "Auto"};
        cam.controls[4].menu = {"", "Manual Mode", "", "Aperture Priority Mode"};
        cam.controls[5].query.flags = V4L2_CTRL_FLAG_INACTIVE;
        cam.controls[5].query.default_value = 156;
        cam.controls[8].integerMenu = {100, 200};
        // Manual exposure only matters while auto exposure is off.
        cam.onSet = [](FakeCamera& c, uint32_t id, int value) {
            if (id == V4L2_CID_EXPOSURE_AUTO)
                c.control(V4L2_CID_EXPOSURE_ABSOLUTE)->query.flags =
                    value == V4L2_EXPOSURE_MANUAL ? 0 : V4L2_CTRL_FLAG_INACTIVE;
        };
        ASSERT_TRUE(device.open("/d/video0"));
        io->calls.clear();
    }
    const V4l2Control* find(const std::vector<V4l2Control>& list, uint32_t id) {
        for (const V4l2Control& c : list)
            if (c.id == id)
                return &c;
        return nullptr;
    }
};

} // namespace

TEST_F(V4l2ControlsTest, ListsChangeableControlsWithRangesMenusAndFlags) {
    const std::vector<V4l2Control> list = device.controls();
    std::vector<uint32_t> ids;
    for (const V4l2Control& c : list)
        ids.push_back(c.id);
    EXPECT_EQ(ids, (std::vector<uint32_t>{V4L2_CID_BRIGHTNESS, V4L2_CID_AUTOGAIN,
                                          V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CID_EXPOSURE_AUTO,
                                          V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CID_ZOOM_ABSOLUTE}));
    const V4l2Control& brightness = list[0];
    EXPECT_EQ(brightness.name, "Brightness");
    EXPECT_EQ(brightness.type, V4l2Control::Type::Integer);
    EXPECT_EQ(std::tie(brightness.min, brightness.max, brightness.step, brightness.defaultValue),
              std::make_tuple(-64, 64, 2, 10));
    EXPECT_EQ(list[1].type, V4l2Control::Type::Boolean);
    EXPECT_EQ(list[1].value, 1);
    EXPECT_EQ(list[2].type, V4l2Control::Type::Menu);
    EXPECT_EQ(list[2].menu,
              (std::vector<std::pair<int, QString>>{{0, "Disabled"}, {1, "50 Hz"}, {3, "Auto"}}));
    EXPECT_EQ(list[3].menu, (std::vector<std::pair<int, QString>>{{1, "Manual Mode"},
                                                                  {3, "Aperture Priority Mode"}}));
    EXPECT_TRUE(list[4].inactive);
    EXPECT_FALSE(list[4].readOnly);
    EXPECT_EQ(list[5].menu, (std::vector<std::pair<int, QString>>{{0, "100"}, {1, "200"}}));
}

TEST_F(V4l2ControlsTest, UnreadableAndLockedControlsAndDisabledOnes) {
    cam.control(V4L2_CID_BRIGHTNESS)->getError = -EIO;
    cam.control(V4L2_CID_AUTOGAIN)->query.flags = V4L2_CTRL_FLAG_READ_ONLY;
    cam.control(V4L2_CID_EXPOSURE_AUTO)->query.flags = V4L2_CTRL_FLAG_GRABBED;
    cam.control(V4L2_CID_POWER_LINE_FREQUENCY)->query.flags = V4L2_CTRL_FLAG_DISABLED;
    cam.control(V4L2_CID_ZOOM_ABSOLUTE)->query.flags = V4L2_CTRL_FLAG_WRITE_ONLY;
    cam.control(V4L2_CID_ZOOM_ABSOLUTE)->value = 1;
    const std::vector<V4l2Control> list = device.controls();
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(find(list, V4L2_CID_BRIGHTNESS)->value, 10);
    EXPECT_TRUE(find(list, V4L2_CID_AUTOGAIN)->readOnly);
    EXPECT_TRUE(find(list, V4L2_CID_EXPOSURE_AUTO)->readOnly);
    EXPECT_EQ(find(list, V4L2_CID_POWER_LINE_FREQUENCY), nullptr);
    EXPECT_EQ(find(list, V4L2_CID_ZOOM_ABSOLUTE)->value, 0);
    int value = 0;
    EXPECT_FALSE(device.controlValue(V4L2_CID_BRIGHTNESS, value));
    EXPECT_EQ(device.errorString(), "Cannot read Brightness: Input/output error");
    EXPECT_TRUE(device.controlValue(V4L2_CID_EXPOSURE_ABSOLUTE, value));
    EXPECT_EQ(value, 250);
}

TEST_F(V4l2ControlsTest, SettingReportsRefusalsByName) {
    EXPECT_TRUE(device.setControl(V4L2_CID_BRIGHTNESS, 20));
    EXPECT_EQ(cam.control(V4L2_CID_BRIGHTNESS)->value, 20);
    EXPECT_FALSE(device.setControl(V4L2_CID_BRIGHTNESS, 99));
    EXPECT_EQ(device.errorString(), "Cannot set Brightness: Numerical result out of range");
    cam.control(V4L2_CID_AUTOGAIN)->setError = -EACCES;
    EXPECT_FALSE(device.setControl(V4L2_CID_AUTOGAIN, 0));
    EXPECT_EQ(device.errorString(), "Cannot set Gain, Automatic: Permission denied");
    EXPECT_FALSE(device.setControl(0x1234, 0));
    EXPECT_EQ(device.errorString(), "Cannot set control 0x00001234: Invalid argument");
    EXPECT_TRUE(device.isOpen());

    cam.unplugged = true;
    EXPECT_FALSE(device.setControl(V4L2_CID_BRIGHTNESS, 0));
    EXPECT_EQ(device.errorString(), "Camera /d/video0 was disconnected");
    EXPECT_FALSE(device.isOpen());
}

TEST_F(V4l2ControlsTest, DefaultsFollowTheFlagsAsTheyChange) {
    // Manual exposure switched on and set long, as for a long-exposure camera.
    ASSERT_TRUE(device.setControl(V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL));
    ASSERT_TRUE(device.setControl(V4L2_CID_EXPOSURE_ABSOLUTE, 2000));
    ASSERT_TRUE(device.setControl(V4L2_CID_BRIGHTNESS, 30));
    ASSERT_TRUE(device.setControl(V4L2_CID_AUTOGAIN, 0));
    cam.control(V4L2_CID_AUTOGAIN)->setError = -EIO;
    io->calls.clear();
    const QStringList refusals = device.restoreDefaults();
    EXPECT_EQ(refusals, QStringList{"Cannot set Gain, Automatic: Input/output error"});
    EXPECT_EQ(io->calls, (QStringList{
                             QStringLiteral("S_CTRL %1 10").arg(V4L2_CID_BRIGHTNESS),
                             QStringLiteral("S_CTRL %1 1").arg(V4L2_CID_AUTOGAIN),
                             QStringLiteral("S_CTRL %1 3").arg(V4L2_CID_EXPOSURE_AUTO),
                         }));
    // Back in auto mode, manual exposure is inactive and keeps its value.
    EXPECT_EQ(cam.control(V4L2_CID_EXPOSURE_ABSOLUTE)->value, 2000);
    EXPECT_TRUE(V4l2Device(io).restoreDefaults().isEmpty());
}
