#include "platform/reconnect/reconnector.h"
#include "printers.h"

#include <gtest/gtest.h>

namespace {
using Change = Reconnector::Change;

// A piece of equipment whose server the test takes away and brings back.
struct FakeEquipment {
    bool wanted = true;
    bool up = true;
    bool serverBack = false; // an attempt succeeds
    int attempts = 0;

    Reconnector::Equipment equipment(const QString& key) {
        return {key, [this] { return wanted; }, [this] { return up; },
                [this](QString& why) {
                    ++attempts;
                    if (serverBack) {
                        up = true;
                        return true;
                    }
                    why = QStringLiteral("Cannot reach the INDI server at localhost:7624");
                    return false;
                },
                [key] { return QStringLiteral("Camera \"%1\"").arg(key); }};
    }
};

std::vector<Change> changes(const std::vector<Reconnector::Event>& events) {
    std::vector<Change> out;
    for (const Reconnector::Event& e : events)
        out.push_back(e.change);
    return out;
}
} // namespace

// The note goes up when the camera goes, says why each attempt failed, and ends when it is
// back; attempts come one retry period apart, never earlier and never ending.
TEST(Reconnector, RetriesEveryPeriodWithALastingNoteAndNeverGivesUp) {
    FakeEquipment camera;
    Reconnector r(3000);
    r.add(camera.equipment(QStringLiteral("CCD")));
    EXPECT_TRUE(r.poll(0).empty());

    camera.up = false;
    const std::vector<Reconnector::Event> lost = r.poll(500);
    ASSERT_EQ(changes(lost), std::vector<Change>{Change::Lost});
    EXPECT_EQ(lost[0].key, "CCD");
    EXPECT_EQ(lost[0].note, "Camera \"CCD\" is gone: connecting again every 3 s");
    EXPECT_TRUE(r.gone(QStringLiteral("CCD")));
    EXPECT_TRUE(r.poll(3499).empty());
    EXPECT_EQ(camera.attempts, 0);

    const std::vector<Reconnector::Event> failed = r.poll(3500);
    ASSERT_EQ(changes(failed), std::vector<Change>{Change::StillLost});
    EXPECT_EQ(failed[0].note, "Camera \"CCD\" is gone: connecting again every 3 s (Cannot reach "
                              "the INDI server at localhost:7624)");
    EXPECT_EQ(camera.attempts, 1);

    // A night's outage: one attempt per period, every one of them.
    for (qint64 now = 3600; now < 3500 + 3000 * 1000; now += 100)
        r.poll(now);
    EXPECT_EQ(camera.attempts, 1000);
    EXPECT_TRUE(r.gone(QStringLiteral("CCD")));

    camera.serverBack = true;
    EXPECT_TRUE(r.poll(3500 + 3000 * 1000 - 1).empty());
    EXPECT_EQ(changes(r.poll(3500 + 3000 * 1000)), std::vector<Change>{Change::Restored});
    EXPECT_FALSE(r.gone(QStringLiteral("CCD")));
    EXPECT_TRUE(r.poll(3500 + 3000 * 1010).empty());
    EXPECT_EQ(camera.attempts, 1001);
}

// Equipment back by another way (the operator connected it) ends the note without an attempt;
// equipment let go ends it too and is tried no more; equipment never connected is left alone.
TEST(Reconnector, EndsTheNoteWhenTheOperatorConnectsOrLetsGoAndIgnoresWhatWasNeverWanted) {
    FakeEquipment camera, mount, webcam;
    webcam.wanted = false;
    webcam.up = false;
    Reconnector r(3000);
    r.add(camera.equipment(QStringLiteral("camera")));
    r.add(mount.equipment(QStringLiteral("mount")));
    r.add(webcam.equipment(QStringLiteral("webcam")));
    camera.up = mount.up = false;
    EXPECT_EQ(changes(r.check(0)), (std::vector<Change>{Change::Lost, Change::Lost}));

    camera.up = true;
    mount.wanted = false;
    const std::vector<Reconnector::Event> events = r.check(10);
    ASSERT_EQ(changes(events), (std::vector<Change>{Change::Restored, Change::Forgotten}));
    EXPECT_EQ(events[1].key, "mount");
    for (qint64 now = 0; now < 30000; now += 500)
        EXPECT_TRUE(r.poll(now).empty());
    EXPECT_EQ(camera.attempts + mount.attempts + webcam.attempts, 0);
}

// A request to connect tries what is gone at once; check() never tries anything.
TEST(Reconnector, RetryNowTriesAtOnceAndCheckNeverTries) {
    FakeEquipment camera;
    Reconnector r(3000);
    r.add(camera.equipment(QStringLiteral("camera")));
    camera.up = false;
    r.check(0);
    for (qint64 now = 0; now < 20000; now += 1000)
        r.check(now);
    EXPECT_EQ(camera.attempts, 0);

    EXPECT_EQ(changes(r.retryNow(20001)), std::vector<Change>{Change::StillLost});
    camera.serverBack = true;
    EXPECT_EQ(changes(r.retryNow(20002)), std::vector<Change>{Change::Restored});
    EXPECT_EQ(camera.attempts, 2);
}
