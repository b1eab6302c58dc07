#include "fakes/fake_v4l2_io.h"
#include "platform/capture/v4l2_formats.h"

#include <gtest/gtest.h>

namespace {

V4l2FrameSizes discrete(std::vector<QSize> sizes) {
    return {V4l2FrameSizes::Kind::Discrete, std::move(sizes), {}, {}, {}};
}

V4l2FrameSizes stepwise(QSize min, QSize max, QSize step) {
    return {V4l2FrameSizes::Kind::Stepwise, {}, min, max, step};
}

std::vector<double> rates(const std::vector<V4l2Interval>& intervals) {
    std::vector<double> fps;
    for (V4l2Interval i : intervals)
        fps.push_back(i.fps());
    return fps;
}

struct RgbNegotiationTest : ::testing::Test {
    FakeV4l2Io io;
    FakeCamera& cam = io.cameras["/d/video0"];
    int fd = -1;
    V4l2FrameLayout layout;
    QString error;

    void SetUp() override { fd = io.open("/d/video0", 0); }
    bool negotiate(QSize wanted) { return setRgb24Format(io, fd, wanted, layout, error); }
};

} // namespace

TEST(ChooseFrameSize, PicksTheNearestOfferedSizeWithTiesToTheSmallerArea) {
    const auto offer = discrete({{1280, 720}, {320, 240}, {640, 480}, {800, 600}});
    EXPECT_EQ(chooseFrameSize(offer, {640, 480}), QSize(640, 480));
    EXPECT_EQ(chooseFrameSize(offer, {700, 500}), QSize(640, 480));
    EXPECT_EQ(chooseFrameSize(offer, {1920, 1080}), QSize(1280, 720));
    EXPECT_EQ(chooseFrameSize(offer, {100, 100}), QSize(320, 240));
    // 720x540 is 140 away from both 640x480 and 800x600.
    EXPECT_EQ(chooseFrameSize(offer, {720, 540}), QSize(640, 480));
    EXPECT_EQ(chooseFrameSize(discrete({{800, 600}, {640, 480}}), {720, 540}), QSize(640, 480));
    // Nothing known: ask for what is wanted and let the driver adjust.
    EXPECT_EQ(chooseFrameSize({}, {640, 480}), QSize(640, 480));
    EXPECT_EQ(chooseFrameSize(discrete({}), {640, 480}), QSize(640, 480));
}

TEST(ChooseFrameSize, ClampsToARangeAndRoundsToItsSteps) {
    const auto range = stepwise({160, 120}, {1280, 1024}, {16, 8});
    EXPECT_EQ(chooseFrameSize(range, {640, 480}), QSize(640, 480));
    EXPECT_EQ(chooseFrameSize(range, {2000, 60}), QSize(1280, 120));
    EXPECT_EQ(chooseFrameSize(range, {650, 483}), QSize(656, 480));
    EXPECT_EQ(chooseFrameSize(range, {647, 485}), QSize(640, 488));
    // A maximum off the step grid is never passed.
    EXPECT_EQ(chooseFrameSize(stepwise({100, 100}, {1040, 1040}, {64, 64}), {1040, 1040}),
              QSize(996, 996));
    EXPECT_EQ(chooseFrameSize(stepwise({8, 8}, {4000, 3000}, {1, 1}), {641, 479}), QSize(641, 479));
}

TEST(UsefulFrameSizes, ListsOfferedSizesSortedAndReducesRanges) {
    EXPECT_EQ(usefulFrameSizes(discrete({{640, 480}, {320, 240}, {640, 480}})),
              (std::vector<QSize>{{320, 240}, {640, 480}}));
    EXPECT_EQ(usefulFrameSizes(stepwise({300, 200}, {1280, 720}, {4, 4})),
              (std::vector<QSize>{{320, 240}, {352, 288}, {640, 480}, {800, 600}, {1280, 720}}));
    EXPECT_EQ(usefulFrameSizes(stepwise({333, 333}, {777, 777}, {7, 7})),
              (std::vector<QSize>{{333, 333}, {777, 777}}));
    EXPECT_TRUE(usefulFrameSizes({}).empty());
}

TEST(UsefulIntervals, KeepsTheLimitsAndTheUsualRatesBetweenFastestFirst) {
    EXPECT_EQ(rates(usefulIntervals({1, 30}, {1, 5})),
              (std::vector<double>{30, 25, 20, 15, 10, 7.5, 5}));
    EXPECT_EQ(rates(usefulIntervals({1, 1}, {10, 1})), (std::vector<double>{1, 0.1}));
    EXPECT_EQ(V4l2Interval({2, 15}).text(), "7.5 fps");
    EXPECT_EQ(V4l2Interval({333333, 10000000}).text(), "30 fps");
    EXPECT_TRUE(V4l2Interval({333333, 10000000}).sameRate({1, 30}));
    EXPECT_FALSE(V4l2Interval({1, 25}).sameRate({1, 30}));
    EXPECT_FALSE(V4l2Interval().sameRate({}));
}

TEST(FormatChoices, PrefersTheDeliveredFormatElseMergesAll) {
    const V4l2PixelFormat yuyv{
        V4L2_PIX_FMT_YUYV, "YUYV", false, {{{640, 480}, {{1, 15}}}, {{320, 240}, {{1, 30}}}}};
    const V4l2PixelFormat mjpeg{V4L2_PIX_FMT_MJPEG,
                                "MJPG",
                                false,
                                {{{640, 480}, {{1, 30}, {1, 15}}}, {{1280, 720}, {{1, 30}}}}};
    const std::vector<V4l2SizeRates> merged = formatChoices({yuyv, mjpeg});
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(merged[0].size, QSize(320, 240));
    EXPECT_EQ(merged[1].size, QSize(640, 480));
    EXPECT_EQ(rates(merged[1].intervals), (std::vector<double>{30, 15}));
    EXPECT_EQ(merged[2].size, QSize(1280, 720));

    const V4l2PixelFormat rgb{V4L2_PIX_FMT_RGB24, "RGB3", true, {{{640, 480}, {{1, 10}}}}};
    const std::vector<V4l2SizeRates> delivered = formatChoices({yuyv, rgb, mjpeg});
    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(rates(delivered[0].intervals), std::vector<double>{10});
    EXPECT_TRUE(formatChoices({}).empty());
}

TEST_F(RgbNegotiationTest, AsksForTheNearestOfferedSizeAndTakesWhatTheDriverSets) {
    cam.formats[0].sizes = {{320, 240}, {800, 600}, {1280, 1024}};
    cam.rowPadding = 64;
    ASSERT_TRUE(negotiate({640, 480}));
    EXPECT_EQ(io.calls.last(), "S_FMT 800x600");
    EXPECT_EQ(layout.size, QSize(800, 600));
    EXPECT_EQ(layout.bytesPerLine, 800 * 3 + 64);

    cam.formats[0].sizes.clear();
    cam.formats[0].range = v4l2_frmsize_stepwise{160, 1024, 32, 120, 768, 24};
    ASSERT_TRUE(negotiate({1920, 1080}));
    EXPECT_EQ(io.calls.last(), "S_FMT 1024x768");

    cam.adjustSizeTo = QSize(352, 288);
    ASSERT_TRUE(negotiate({640, 480}));
    EXPECT_EQ(io.calls.last(), "S_FMT 640x480");
    EXPECT_EQ(layout.size, QSize(352, 288));
    EXPECT_EQ(layout.bytesPerLine, 352 * 3 + 64);
    EXPECT_TRUE(error.isEmpty());
}

TEST_F(RgbNegotiationTest, ADeviceWithoutRgbFailsWithAReason) {
    layout.size = QSize(1, 1);
    cam.refuseFormat = true;
    EXPECT_FALSE(negotiate({640, 480}));
    EXPECT_EQ(error, "it offers no picture format this program can read (Invalid argument)");
    // A driver answering with a format of its own is refusing too.
    cam.refuseFormat = false;
    cam.formats = {{V4L2_PIX_FMT_YUYV, "YUYV", 0, {{640, 480}}, {}, {}}};
    EXPECT_FALSE(negotiate({640, 480}));
    EXPECT_EQ(error,
              "it offers no picture format this program can read (RGB24 at 640x480 refused)");
    EXPECT_EQ(layout.size, QSize(1, 1));
}

TEST_F(RgbNegotiationTest, ListsFormatsWithSizesAndRates) {
    cam.formats = {
        {V4L2_PIX_FMT_MJPEG, "Motion-JPEG", 0, {{1280, 720}, {640, 480}}, {}, {{1, 15}, {1, 30}}},
        {V4L2_PIX_FMT_RGB24,
         "RGB3",
         V4L2_FMT_FLAG_EMULATED,
         {},
         v4l2_frmsize_stepwise{320, 640, 320, 240, 480, 240},
         {}}};
    const std::vector<V4l2PixelFormat> formats = queryPixelFormats(io, fd);
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0].description, "Motion-JPEG");
    EXPECT_FALSE(formats[0].emulated);
    ASSERT_EQ(formats[0].sizes.size(), 2u);
    EXPECT_EQ(formats[0].sizes[0].size, QSize(640, 480));
    EXPECT_EQ(rates(formats[0].sizes[1].intervals), (std::vector<double>{30, 15}));
    EXPECT_TRUE(formats[1].emulated);
    ASSERT_EQ(formats[1].sizes.size(), 2u);
    EXPECT_EQ(formats[1].sizes[1].size, QSize(640, 480));
    EXPECT_TRUE(formats[1].sizes[1].intervals.empty());
}
