#include "settings/options_fixture.h"

using OptionsLoad = OptionsTest;

// The texts shown are the ones OptionsSave.RetypedTextStillSavesEveryKeyInOrderAndReloads finds
// saved.
TEST_F(OptionsLoad, EmptyStoreShowsTheDialogDefaults) {
    frmOptions& o = options();
    const std::vector<std::pair<const frmOptions::BitButtons*, int>> groups{
        {&o.optPPNorth, 6}, {&o.optPPSouth, 7}, {&o.optPPEast, 4}, {&o.optPPWest, 5},
        {&o.optLXA, 0},     {&o.optLXB, 1},     {&o.optAmpOff, 2}};
    for (const auto& [group, bit] : groups) {
        EXPECT_EQ(selectedBit(*group), bit);
        EXPECT_TRUE(paintedAsSelected(*group)) << bit;
    }
    EXPECT_FALSE(o.cmdOptionsApply->isEnabled());
    // The main window keeps guiding with its own start-up defaults until the dialog saves.
    EXPECT_FLOAT_EQ(window->state.raGuideRate, 30);
    EXPECT_FLOAT_EQ(window->state.maxCorrection, 10);
}

TEST_F(OptionsLoad, SelectingTheStoredParallelPortEnablesFrameAOfAnUnmodifiedCamera) {
    store(cam, "VX Modified", "0");
    store(cam, "Port", "0");
    frmOptions& o = options();
    EXPECT_FALSE(o.LXPortList->isEnabled());
    EXPECT_FALSE(o.lblLXPort->isEnabled());
    EXPECT_FALSE(o.txtPostLXTime->isEnabled());
    EXPECT_TRUE(o.chkAdvancedMod->isEnabled());
    EXPECT_TRUE(o.chkAmpOff->isEnabled());
    EXPECT_TRUE(o.fraLXFrameA->isEnabled());
    EXPECT_TRUE(allEnabled(o.optLXA));
    EXPECT_FALSE(o.fraLXFrameB->isEnabled());
    EXPECT_TRUE(noneEnabled(o.optLXB) && noneEnabled(o.optAmpOff));
    EXPECT_FALSE(o.frameSerialControl->isEnabled()); // and every control inside
}

TEST_F(OptionsLoad, ComPortDropsTheModificationsAndAParallelPortBringsBackFrameA) {
    store(cam, "VX Modified", "1");
    store(cam, "HasAdvancedMod", "1");
    store(cam, "HasAmpOff", "1");
    frmOptions& o = options();
    ASSERT_TRUE(o.chkAdvancedMod->isChecked() && o.chkAmpOff->isChecked());
    EXPECT_TRUE(o.fraLXFrameB->isEnabled() && allEnabled(o.optLXB));
    EXPECT_TRUE(o.fraLXAmpOff->isEnabled() && allEnabled(o.optAmpOff));

    o.LXPortList->setCurrentRow(3);
    EXPECT_FALSE(o.chkAdvancedMod->isChecked() || o.chkAmpOff->isChecked());
    EXPECT_FALSE(o.chkAdvancedMod->isEnabled() || o.chkAmpOff->isEnabled());
    EXPECT_FALSE(o.fraLXFrameA->isEnabled() || o.fraLXFrameB->isEnabled() ||
                 o.fraLXAmpOff->isEnabled());
    EXPECT_TRUE(o.frameSerialControl->isEnabled() && o.chkSerialActive->isEnabled() &&
                o.RTScontrol->isEnabled() && o.DTRcontrol->isEnabled());
    EXPECT_TRUE(o.cmdOptionsApply->isEnabled());

    o.LXPortList->setCurrentRow(0);
    EXPECT_TRUE(o.chkAdvancedMod->isEnabled() && o.chkAmpOff->isEnabled());
    EXPECT_FALSE(o.chkAdvancedMod->isChecked());
    EXPECT_TRUE(o.fraLXFrameA->isEnabled() && allEnabled(o.optLXA));
    EXPECT_FALSE(o.fraLXFrameB->isEnabled() || o.fraLXAmpOff->isEnabled());
    EXPECT_FALSE(o.frameSerialControl->isEnabled());

    o.chkAdvancedMod->click();
    EXPECT_TRUE(o.fraLXFrameB->isEnabled() && allEnabled(o.optLXB));
}

TEST_F(OptionsLoad, VXModifiedOpensAndClosesTheLXControlsForAComPort) {
    store(cam, "Port", "3");
    frmOptions& o = options();
    ASSERT_FALSE(o.chkAdvancedMod->isEnabled());
    o.chkVXModified->click();
    EXPECT_TRUE(o.LXPortList->isEnabled() && o.lblLXPort->isEnabled());
    EXPECT_TRUE(o.txtPostLXTime->isEnabled() && o.lblPostLXTime->isEnabled());
    EXPECT_TRUE(o.chkAdvancedMod->isEnabled() && o.chkAmpOff->isEnabled());
    EXPECT_TRUE(o.frameSerialControl->isEnabled() && o.RTScontrol->isEnabled());
    EXPECT_FALSE(o.fraLXFrameA->isEnabled());

    o.chkVXModified->click();
    EXPECT_FALSE(o.LXPortList->isEnabled() || o.lblLXPort->isEnabled() ||
                 o.txtPostLXTime->isEnabled());
    EXPECT_FALSE(o.frameSerialControl->isEnabled()); // and every control inside
    EXPECT_FALSE(o.fraLXFrameA->isEnabled() || o.fraLXFrameB->isEnabled() ||
                 o.fraLXAmpOff->isEnabled());
    // The two modification boxes keep what the previous rule gave them.
    EXPECT_TRUE(o.chkAdvancedMod->isEnabled() && o.chkAmpOff->isEnabled());
}

TEST_F(OptionsLoad, StoredComPortClearsStoredModificationsAndSavesThemAsZero) {
    store(cam, "Port", "5");
    store(cam, "VX Modified", "1");
    store(cam, "HasAdvancedMod", "1");
    store(cam, "HasAmpOff", "1");
    frmOptions& o = options();
    EXPECT_FALSE(o.chkAdvancedMod->isChecked() || o.chkAmpOff->isChecked());
    o.txtRadius->setText("20");
    o.cmdOptionsApply->click();
    EXPECT_EQ(fp.store.get(cam, "HasAdvancedMod"), "0");
    EXPECT_EQ(fp.store.get(cam, "HasAmpOff"), "0");
    EXPECT_EQ(fp.store.get(cam, "Port"), "5");
}

TEST_F(OptionsLoad, SerialPinIsLoadedOnlyForAModifiedCameraOnAComPort) {
    store(cam, "Port", "3");
    store(cam, "LXSerialPin", "DTR");
    frmOptions& o = options();
    EXPECT_TRUE(o.RTScontrol->isChecked());
    o.txtRadius->setText("20");
    o.cmdOptionsApply->click();
    EXPECT_EQ(fp.store.get(cam, "LXSerialPin"), "RTS");

    store(cam, "LXSerialPin", "DTR");
    store(cam, "VX Modified", "1");
    o.close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmOptions& fresh = options();
    EXPECT_TRUE(fresh.DTRcontrol->isChecked());
    EXPECT_FALSE(fresh.RTScontrol->isChecked());
    EXPECT_FALSE(fresh.cmdOptionsApply->isEnabled());

    // Neither exact text: the selection stays.
    store(cam, "LXSerialPin", "rts");
    fresh.cmdOptionsCancel->click();
    EXPECT_TRUE(fresh.DTRcontrol->isChecked());
}

TEST_F(OptionsLoad, StoredPortOrBitOutsideTheirRangeKeepsWhatTheControlShows) {
    store(cam, "Port", "25");
    store(par, "North", "8");
    store(cam, "LXA", "x");
    frmOptions& o = options();
    EXPECT_EQ(o.LXPortList->currentRow(), -1);
    EXPECT_EQ(selectedBit(o.optPPNorth), -1);
    EXPECT_TRUE(paintedAsSelected(o.optPPNorth));
    EXPECT_EQ(selectedBit(o.optLXA), -1);

    // Nothing selected: the port is saved as none, the groups keep their stored text.
    o.txtRadius->setText("20");
    o.cmdOptionsApply->click();
    EXPECT_EQ(fp.store.get(cam, "Port"), "-1");
    EXPECT_EQ(fp.store.get(par, "North"), "8");
    EXPECT_TRUE(fp.store.writesOf(cam, "LXA").isEmpty());

    // The operator's choice survives a reload of the bad values.
    store(cam, "Port", "25");
    o.LXPortList->setCurrentRow(2);
    o.optPPNorth[3]->click();
    o.cmdOptionsCancel->click();
    EXPECT_EQ(o.LXPortList->currentRow(), 2);
    EXPECT_EQ(selectedBit(o.optPPNorth), 3);
}

TEST_F(OptionsLoad, EveryKindOfOperatorChangeEnablesApply) {
    frmOptions& o = options();
    const std::vector<std::function<void()>> changes{
        [&] { o.txtLogFilename->setText("/tmp/guide.log"); },
        [&] { o.chkDecCorrect->click(); },
        [&] { o.chkAutostarPulseGuide->click(); },
        [&] { o.chkAppendLog->click(); },
        [&] { o.chkSerialActive->setChecked(false); },
        [&] { o.DTRcontrol->setChecked(true); },
        [&] { o.optPPEast[0]->click(); },
        [&] { o.chkVXModified->click(); },
        [&] { o.chkAmpOff->click(); },
        [&] { o.LXPortList->setCurrentRow(1); },
    };
    for (size_t n = 0; n < changes.size(); ++n) {
        ASSERT_FALSE(o.cmdOptionsApply->isEnabled()) << n;
        changes[n]();
        EXPECT_TRUE(o.cmdOptionsApply->isEnabled()) << n;
        o.cmdOptionsApply->click();
    }
    // Selecting the selected button again is no change.
    o.optPPEast[0]->click();
    EXPECT_FALSE(o.cmdOptionsApply->isEnabled());
}

TEST_F(OptionsLoad, BitGroupsAreExclusiveWithinAndIndependentOfEachOther) {
    frmOptions& o = options();
    o.optPPSouth[6]->click();
    EXPECT_EQ(selectedBit(o.optPPSouth), 6);
    EXPECT_FALSE(o.optPPSouth[7]->isChecked());
    EXPECT_TRUE(paintedAsSelected(o.optPPSouth));
    EXPECT_EQ(selectedBit(o.optPPNorth), 6);
    EXPECT_TRUE(paintedAsSelected(o.optPPNorth));
    o.cmdOptionsOK->click();
    EXPECT_EQ(fp.store.get(par, "North"), "6");
    EXPECT_EQ(fp.store.get(par, "South"), "6");
    EXPECT_EQ(window->state.ppNorthBit, 6);
    EXPECT_EQ(window->state.ppSouthBit, 6);
}

TEST_F(OptionsLoad, BitButtonsRunFromD7AtTheLeftToD0) {
    frmOptions& o = options();
    for (size_t bit = 0; bit < 8; ++bit)
        EXPECT_EQ(o.optLXA[bit]->text(), QString("D%1").arg(bit));
    for (size_t bit = 1; bit < 8; ++bit)
        EXPECT_LT(o.optLXA[bit]->x(), o.optLXA[bit - 1]->x());
}

// The scale follows the stored texts at opening and each text as it is typed.
TEST_F(OptionsLoad, ImageScaleFollowsThePixelSizesAndFocalLength) {
    store(cam, "HorizontalPixelSize", "5.2");
    store(cam, "VerticalPixelSize", "5.2");
    store("Guidescope Options", "FocalLength", "900");
    frmOptions& o = options();
    EXPECT_EQ(o.lblImageScale->text(), "Image scale: 1.19 x 1.19 arcsec per pixel");
    o.txtGuideFocalLength->setText("1800");
    EXPECT_EQ(o.lblImageScale->text(), "Image scale: 0.60 x 0.60 arcsec per pixel");
    o.txtHrzPixelSize->setText("");
    EXPECT_EQ(o.lblImageScale->text(), "Image scale: not a positive number: horizontal pixel size");
}
