#include "view/view_mapping.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
ViewMapping mapping(QSize frame, QSize view) {
    ViewMapping m;
    m.setFrameSize(frame);
    m.setViewSize(view);
    return m;
}

void expectNear(QPointF a, QPointF b) {
    EXPECT_NEAR(a.x(), b.x(), 1e-9);
    EXPECT_NEAR(a.y(), b.y(), 1e-9);
}
} // namespace

// The default camera in the default window: one view pixel per frame pixel, exactly.
TEST(ViewMapping, FitOfAFrameItsOwnSizeIsTheIdentity) {
    const ViewMapping m = mapping({640, 480}, {640, 480});
    EXPECT_TRUE(m.fitting());
    EXPECT_EQ(m.scale(), 1.0);
    EXPECT_EQ(m.offset(), QPointF(0, 0));
    for (const QPointF p : {QPointF(0, 0), QPointF(101.5, 51.25), QPointF(639.75, 479.5)})
        EXPECT_EQ(m.toFrame(p), p);
    // The star field shown before the first frame is narrower: still 100%, at the left.
    EXPECT_EQ(mapping({633, 480}, {640, 480}).scale(), 1.0);
}

TEST(ViewMapping, FitKeepsTheAspectAndFollowsTheView) {
    ViewMapping m = mapping({1280, 1024}, {640, 480});
    EXPECT_DOUBLE_EQ(m.scale(), 480.0 / 1024.0);
    EXPECT_LE(m.frameRect().right(), 640.0);
    EXPECT_DOUBLE_EQ(m.frameRect().bottom(), 480.0);
    EXPECT_EQ(m.offset(), QPointF(0, 0));
    m.setViewSize({1600, 1000});
    EXPECT_DOUBLE_EQ(m.scale(), 1000.0 / 1024.0);
    m.setFrameSize({320, 240});
    EXPECT_DOUBLE_EQ(m.scale(), 1000.0 / 240.0);
}

TEST(ViewMapping, FixedZoomsHoldTheirScaleAndTheViewCentre) {
    ViewMapping m = mapping({640, 480}, {640, 480});
    const QPointF centre(320, 240);
    const QPointF underCentre = m.toFrame(centre);
    m.setScale(2.0);
    EXPECT_FALSE(m.fitting());
    EXPECT_EQ(m.scale(), 2.0);
    expectNear(m.toFrame(centre), underCentre);
    m.setViewSize({300, 200});
    EXPECT_EQ(m.scale(), 2.0);
    m.fit();
    EXPECT_DOUBLE_EQ(m.scale(), 200.0 / 480.0);
    EXPECT_EQ(m.offset(), QPointF(0, 0));
}

// The wheel keeps the frame point under the pointer where it is, within the scale limits.
TEST(ViewMapping, WheelZoomKeepsThePointUnderThePointer) {
    ViewMapping m = mapping({1280, 1024}, {640, 480});
    const QPointF pointer(200, 150);
    const QPointF under = m.toFrame(pointer);
    for (int notch = 0; notch < 5; ++notch) {
        m.zoomAt(1.25, pointer);
        expectNear(m.toFrame(pointer), under);
    }
    EXPECT_FALSE(m.fitting());
    for (int notch = 0; notch < 40; ++notch)
        m.zoomAt(1.25, pointer);
    EXPECT_EQ(m.scale(), ViewMapping::kMaxScale);
    for (int notch = 0; notch < 80; ++notch)
        m.zoomAt(0.8, pointer);
    EXPECT_EQ(m.scale(), ViewMapping::kMinScale);
    // Zoomed out below the view, the frame sits at the top left whatever the pointer.
    EXPECT_EQ(m.offset(), QPointF(0, 0));
}

TEST(ViewMapping, PanStopsAtTheFrameEdges) {
    ViewMapping m = mapping({640, 480}, {640, 480});
    m.setScale(2.0);
    m.scrollTo({0, 0});
    m.panBy({100, 100});
    EXPECT_EQ(m.offset(), QPointF(0, 0));
    m.panBy({-10000, -10000});
    EXPECT_EQ(m.offset(), QPointF(640 - 1280, 480 - 960));
    m.panBy({30, 20});
    EXPECT_EQ(m.offset(), QPointF(-610, -460));
    m.scrollTo({100, 50});
    EXPECT_EQ(m.offset(), QPointF(-100, -50));
    // A view larger than the frame leaves nothing to pan.
    m.setViewSize({2000, 2000});
    EXPECT_EQ(m.offset(), QPointF(0, 0));
    m.panBy({-50, -50});
    EXPECT_EQ(m.offset(), QPointF(0, 0));
}

TEST(ViewMapping, ViewAndFrameRoundTrip) {
    ViewMapping m = mapping({1280, 1024}, {700, 500});
    m.setScale(3.0);
    m.panBy({-777, -333});
    for (const QPointF view : {QPointF(0, 0), QPointF(12.5, 470.25), QPointF(699, 1)}) {
        expectNear(m.toView(m.toFrame(view)), view);
        expectNear(m.toFrame(view), (view - m.offset()) / 3.0);
    }
    // Each frame pixel covers a 3 x 3 block of view pixels: all of them read that pixel.
    const QPointF corner = m.toView({101, 51});
    for (const QPointF inside : {corner, corner + QPointF(2.9, 2.9)}) {
        const QPointF f = m.toFrame(inside);
        EXPECT_EQ(std::floor(f.x()), 101);
        EXPECT_EQ(std::floor(f.y()), 51);
    }
}

TEST(ViewMapping, EmptyFrameOrViewKeepsFramePixels) {
    ViewMapping m;
    m.setFrameSize({640, 480});
    EXPECT_EQ(m.scale(), 1.0);
    m.setViewSize({0, 0});
    EXPECT_EQ(m.toFrame({10, 20}), QPointF(10, 20));
}
