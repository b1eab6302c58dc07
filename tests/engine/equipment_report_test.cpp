#include "engine/equipment_report.h"
#include "platform/telescope/mount_words.h"
#include "printers.h"

#include <gtest/gtest.h>

// Only what the equipment states is offered, beside what is in use; a value typed from a data
// sheet within half a percent counts as the same.
TEST(EquipmentReport, OffersWhatIsStatedBesideWhatIsInUse) {
    const SettingsInUse typed{5.6, 5.6, 1440, 30, 30};
    EXPECT_TRUE(reportedSettings({}, typed).empty());

    EquipmentReport r;
    r.camera = CameraPixels{5.2, 5.2, 2, 2};
    r.mount.raGuideRate = 7.52;
    r.mount.guideFocalLengthMm = 900;
    const std::vector<ReportedSetting> offered = reportedSettings(r, typed);
    ASSERT_EQ(offered.size(), 4u);
    EXPECT_EQ(offered[0].label, "Pixel width");
    EXPECT_EQ(offered[0].reported, 5.2); // a camera pixel, whatever the binning
    EXPECT_EQ(offered[0].inUse, 5.6);
    EXPECT_EQ(QString(offered[2].key), "FocalLength");
    EXPECT_EQ(QString(offered[3].key), "RA Guide Rate");
    EXPECT_TRUE(offered[3].differs());
    ReportedSetting same = offered[3];
    same.inUse = 7.5;
    EXPECT_FALSE(same.differs());
}

TEST(MountWords, NamesMountsAsTheOperatorKnowsThem) {
    EXPECT_EQ(mountInWords("indi://localhost:7624/Telescope%20Simulator"),
              "INDI mount Telescope Simulator on localhost");
    EXPECT_EQ(mountInWords("indi://pi.local:7625/EQMod%20Mount"),
              "INDI mount EQMod Mount on pi.local:7625");
    EXPECT_EQ(mountInWords("alpaca://192.168.1.5:11111/telescope/0"),
              "Alpaca mount 0 on 192.168.1.5:11111");
    EXPECT_EQ(mountInWords("Orvalis.Simulator"), "the simulator mount");
    EXPECT_EQ(mountInWords("<none>"), "<none>");
    EXPECT_EQ(guideOutputInWords("ASCOM indi://localhost:7624/Telescope%20Simulator"),
              "Mount (INDI/Alpaca) INDI mount Telescope Simulator on localhost");
    EXPECT_EQ(guideOutputInWords("Parallel"), "the relay box");
    EXPECT_EQ(guideOutputInWords("ASCOM <none>"), "no mount");
}
