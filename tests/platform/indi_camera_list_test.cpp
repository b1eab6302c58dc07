#include "fakes/fake_store.h"
#include "fakes/fake_v4l2_io.h"
#include "platform/capture/desktop_capture_drivers.h"
#include "platform/capture/indi_camera_list.h"
#include "platform/capture/sim_capture_driver.h"
#include "sim/sky_simulator.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
IndiCameraEntry guideChipOf(const QString& device) {
    return {device, IndiChipChoice::Guide};
}

QStringList namesOf(const std::vector<IndiCameraEntry>& entries) {
    QStringList names;
    for (const IndiCameraEntry& e : entries)
        names.append(indiCameraEntryName(e));
    return names;
}

// The Camera menu of webcams named by `webcams` and an INDI server whose listing is `listing`.
struct CameraMenuOrder : ::testing::Test {
    QTemporaryDir dev;
    std::shared_ptr<FakeV4l2Io> io = std::make_shared<FakeV4l2Io>();
    FakeStore store;
    SkySimulator sky;
    IndiAddress asked;

    QStringList captions(const QStringList& webcams, const IndiCameraListing& listing,
                         QStringList* problems) {
        for (int i = 0; i < webcams.size(); ++i) {
            const QString path = dev.filePath(QStringLiteral("video%1").arg(i));
            QFile node(path);
            EXPECT_TRUE(node.open(QIODevice::WriteOnly));
            io->cameras[path].card = webcams[i].toStdString();
        }
        store.set("INDI Camera Options", "Server", "observatory:7625");
        DesktopCaptureDrivers drivers(sky, store, io, dev.path(), [&](const IndiAddress& server) {
            asked = server;
            return listing;
        });
        QStringList shown;
        QString name, version;
        for (int i = 0; drivers.description(i, name, version); ++i)
            shown.append(name + u' ' + version);
        *problems = drivers.problems();
        return shown;
    }
};
} // namespace

TEST(IndiCameraEntries, MainChipsKeepTheirPlacesAndGuideChipsFollowInTheSameOrder) {
    struct Case {
        std::vector<QString> cameras, withGuideChip;
        QStringList names;
    };
    const Case cases[] = {
        {{}, {}, {}},
        {{"CCD Simulator"}, {}, {"CCD Simulator"}},
        {{"CCD Simulator"}, {"CCD Simulator"}, {"CCD Simulator", "CCD Simulator guide chip"}},
        {{"A", "B", "C"}, {"C", "A"}, {"A", "B", "C", "A guide chip", "C guide chip"}},
        // Only listed cameras have chips.
        {{"A"}, {"Z"}, {"A"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(namesOf(indiCameraEntries(c.cameras, c.withGuideChip)), c.names)
            << c.names.join(", ").toStdString();
    EXPECT_EQ(indiCameraEntries({"A"}, {"A"}).back(), guideChipOf("A"));
}

TEST_F(CameraMenuOrder, WebcamsThenIndiMainChipsThenGuideChipsThenTheSimulator) {
    IndiCameraListing listing;
    listing.entries = indiCameraEntries({"Atik", "CCD Simulator"}, {"CCD Simulator"});
    listing.notes = {"Could not look in time whether \"Atik\" has a guide chip"};
    QStringList problems;
    const QStringList shown = captions({"Webcam One", "Webcam Two"}, listing, &problems);
    ASSERT_EQ(shown.size(), 6);
    EXPECT_EQ(shown.mid(2, 3), (QStringList{"Atik (INDI)", "CCD Simulator (INDI)",
                                            "CCD Simulator guide chip (INDI)"}));
    EXPECT_TRUE(shown[0].startsWith("Webcam One "));
    EXPECT_EQ(shown[5], simulatorName() + u' ' + simulatorVersion());
    EXPECT_EQ(asked.host, "observatory");
    EXPECT_EQ(asked.port, 7625);
    EXPECT_EQ(problems, listing.notes);
}

TEST_F(CameraMenuOrder, GuideChipsAreTheFirstLeftOutWhenTheMenuIsFull) {
    IndiCameraListing listing;
    listing.entries = indiCameraEntries({"A", "B"}, {"A", "B"});
    QStringList problems;
    const QStringList shown = captions({"W1", "W2", "W3", "W4", "W5", "W6"}, listing, &problems);
    ASSERT_EQ(shown.size(), 9);
    EXPECT_EQ(shown.mid(6, 2), (QStringList{"A (INDI)", "B (INDI)"}));
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].contains("Only 2 of the 4")) << problems[0].toStdString();
}
