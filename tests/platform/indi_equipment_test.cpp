// A new user's first night on INDI's simulators: the image scale and guide rates come from the
// equipment, not from typing.

#include "app/frmEquipment.h"
#include "app/main_window_probe.h"
#include "engine/Globals.h"
#include "indi_rig.h"
#include "printers.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <cstdio>
#include <gtest/gtest.h>

using namespace indi_rig;

// Settings never typed (the start-up defaults) are replaced on one click by what the CCD and
// telescope simulators state: 5.2 um pixels behind 900 mm (1.19"/px) and 0.5x sidereal. The
// calibration after it takes fewer than 30 frames, and binning 2 x 2 doubles the scale at once.
TEST(IndiEquipment, ScaleAndGuideRatesFromTheEquipmentAndAShortCalibration) {
    SimulatorServer simulators;
    IndiTestServer& server = simulators.server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    pointTheMount(server.port(), 0.05, 10);
    IndiRig rig(server.port());
    for (const auto& [section, key, text] :
         {std::tuple{"Camera Options", "HorizontalPixelSize", "5.6"},
          {"Camera Options", "VerticalPixelSize", "5.6"},
          {"Guidescope Options", "FocalLength", "1440"},
          {"Guiding Options", "RA Guide Rate", "30"},
          {"Guiding Options", "Dec Guide Rate", "30"}})
        rig.fp.store.set(section, key, text);
    Globals::starX = Globals::starY = 0;
    frmMain w(rig.platform);
    connectAndLoop(w);

    w.mnuEquipment->trigger();
    frmEquipment* equipment = w.equipmentWindow;
    ASSERT_NE(equipment, nullptr);
    ASSERT_EQ(equipment->tblValues->rowCount(), 5);
    EXPECT_EQ(equipment->tblValues->item(2, 2)->text(), "900 mm");
    EXPECT_TRUE(equipment->lblMount->text().contains("INDI mount Telescope Simulator on localhost"))
        << equipment->lblMount->text().toStdString();
    ASSERT_TRUE(equipment->cmdUseStated->isEnabled());
    equipment->cmdUseStated->click();
    EXPECT_NEAR(w.state.arcsecPerPixelX, 1.19, 0.01);
    EXPECT_NEAR(w.state.raGuideRate, 7.52, 0.01);
    EXPECT_NEAR(w.state.decGuideRate, 7.52, 0.01);
    EXPECT_EQ(rig.fp.store.get("Guidescope Options", "FocalLength"), "900");
    EXPECT_FALSE(equipment->cmdUseStated->isEnabled());

    MainWindowProbe::tickUntilCycle(w);
    ASSERT_NO_FATAL_FAILURE(lockOnTheBrightestStar(w));
    w.mnuCalibrate->trigger();
    int frames = 0;
    for (; frames < 150 && w.calibrating(); ++frames)
        MainWindowProbe::tickUntilCycle(w);
    ASSERT_TRUE(w.calibration()) << rig.fp.messages.texts.join("; ").toStdString();
    std::printf("calibrated in %d frames: RA %.2f\"/s\n", frames,
                w.calibration()->raArcsecPerSec());
    EXPECT_LT(frames, 30);
    EXPECT_NEAR(w.calibration()->raArcsecPerSec(), 7.52 * std::cos(10 * M_PI / 180), 1.0);

    SimulatorHand(server.port())
        .setNumbers(ccdName, "CCD_BINNING", {{"HOR_BIN", 2}, {"VER_BIN", 2}});
    MainWindowProbe::tickUntilCycle(w);
    MainWindowProbe::tickUntilCycle(w);
    EXPECT_NEAR(w.state.arcsecPerPixelX, 2.38, 0.02);
}
