#include "app/button_colour.h"
#include "app/frame_picture.h"
#include "app/window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

using MainWindow = WindowTest;

TEST_F(MainWindow, ControlsCarryTheirCaptionsTooltipsAndStartRed) {
    frmMain& w = open();
    EXPECT_EQ(w.windowTitle(), "Orvalis 1.0.6");
    struct Button {
        QPushButton* button;
        const char* caption;
        const char* tip;
    };
    for (const Button& b :
         {Button{w.cmdPreview, "Preview", "Preview image from Camera"},
          Button{w.cmdFocus, "Focus", "Preview at 5fps for focusing"},
          Button{w.cmdLock, "Lock", "Lock on Star"},
          Button{w.cmdCenter, "Center", "Set Target to Center of Frame"},
          Button{w.cmdGuide, "Guide", "Guide the Scope"}, Button{w.cmdNorth, "N", "Nudge North"},
          Button{w.cmdSouth, "S", "Nudge South"}, Button{w.cmdEast, "E", "Nudge East"},
          Button{w.cmdWest, "W", "Nudge West"}}) {
        EXPECT_EQ(b.button->text(), b.caption);
        EXPECT_EQ(b.button->toolTip(), b.tip);
        EXPECT_EQ(buttonColour(b.button), Colour::Red) << b.caption;
    }
    EXPECT_EQ(w.txtSlewPulseTime->text(), "500");
    EXPECT_EQ(w.txtSlewPulseTime->toolTip(), "Pulse Duration in Milliseconds");
    EXPECT_EQ(w.chkRevNS->text(), "Reverse N<->S");
    EXPECT_EQ(w.chkRevEW->text(), "Reverse E<->W");
    EXPECT_EQ(w.chkLogErrors->text(), "Log Errors");
    EXPECT_EQ(w.sldExposure->minimum(), 1);
    EXPECT_EQ(w.sldExposure->maximum(), 20);
    EXPECT_EQ(w.sldExposure->toolTip(), "Set Exposure/Guiding Interval in Seconds");
    EXPECT_EQ(w.sldAggressiveness->minimum(), 50);
    EXPECT_EQ(w.sldAggressiveness->maximum(), 150);
    EXPECT_EQ(w.sldAggressiveness->toolTip(),
              "Adjust the aggressiveness of the move from 50-150% of the calcualated value");
    EXPECT_EQ(w.lblAggressivness->text(), "Aggressivness");
    EXPECT_EQ(w.lblExposure->text(), "Exposure:->");
    EXPECT_EQ(w.lblDeltaX->text(), "dX:");
    EXPECT_EQ(w.lblDeltaY->text(), "dY:");
    EXPECT_EQ(w.lblDx->text(), "");
    EXPECT_EQ(w.lblDx->toolTip(), "RA Error in ArcSecs");
    EXPECT_EQ(w.lblDy->toolTip(), "Dec Error in ArcSecs");
    EXPECT_EQ(w.ExposureProgress->value(), 0);
    EXPECT_EQ(w.HalfSecTimer->interval(), 500);
    EXPECT_FALSE(w.HalfSecTimer->isActive());
    // A dark star field of 633 x 480 until the first frame.
    EXPECT_EQ(w.picFrame->image().size(), QSize(633, 480));
    EXPECT_LT(qGray(w.picFrame->image().pixel(5, 5)), 60);
}

TEST_F(MainWindow, MenusInOrderWithTheirInitialStates) {
    fp.capture.entries.clear(); // no driver changes the Camera menu
    frmMain& w = open();
    QStringList bar;
    for (QAction* a : w.menuBar()->actions())
        bar.append(a->text());
    EXPECT_EQ(bar,
              QStringList({"File", "Camera", "Guiding", "Telescope", "View", "Options", "Help"}));
    EXPECT_EQ(w.mnuExit->text(), "Exit");
    for (QAction* a : {w.mnuSource, w.mnuFormat, w.mnuOverlay, w.mnuDisplay})
        EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
    EXPECT_EQ(QStringList({w.mnuSource->text(), w.mnuFormat->text(), w.mnuOverlay->text(),
                           w.mnuDisplay->text()}),
              QStringList({"Source...", "Format...", "Overlay", "Display"}));
    EXPECT_EQ(w.mnuSerial->text(), "Serial");
    EXPECT_FALSE(w.mnuSerial->isEnabled());
    EXPECT_EQ(w.mnuChooseTelescope->text(), "Choose Telescope...");
    EXPECT_EQ(w.mnuTelescopeConnected->text(), "Connected");
    EXPECT_EQ(w.mnuTelescopeProperties->text(), "Properties...");
    EXPECT_EQ(w.mnuAbout->text(), "About...");
}

TEST_F(MainWindow, ControlsWriteTheirKeysTheMomentTheyChange) {
    frmMain& w = open();
    fp.store.writes.clear();
    w.sldExposure->setValue(5);
    EXPECT_EQ(w.lblLX->text(), "5");
    EXPECT_FLOAT_EQ(w.state.nextExposureSec, 5);
    w.sldAggressiveness->setValue(150);
    EXPECT_DOUBLE_EQ(w.state.aggressiveness, 1.5);
    w.chkRevNS->click();
    w.chkRevEW->click();
    w.chkRevEW->click();
    w.sldExposure->setValue(5);
    EXPECT_EQ(fp.store.writes,
              QStringList({"Camera Options/Exposure=5", "Guiding Options/Aggressiveness=150",
                           "Guiding Options/ReverseNS=1", "Guiding Options/ReverseEW=1",
                           "Guiding Options/ReverseEW=0"}));

    // While an exposure runs its length stays on show; the new one applies from the next.
    w.state.previewing = true;
    w.sldExposure->setValue(10);
    EXPECT_EQ(w.lblLX->text(), "5");
    EXPECT_FLOAT_EQ(w.state.nextExposureSec, 10);
}

TEST_F(MainWindow, GuideOutputMenuKeepsOneMarkAndStoresTheChoice) {
    frmMain& w = open();
    fp.store.writes.clear();
    w.mnuParallel->trigger();
    EXPECT_TRUE(w.state.modeParallel);
    EXPECT_FALSE(w.state.modeAscom);
    EXPECT_FALSE(w.mnuAscom->isChecked());
    // Choosing the selected output again leaves its mark on.
    w.mnuParallel->trigger();
    EXPECT_TRUE(w.mnuParallel->isChecked());
    w.mnuAscom->trigger();
    EXPECT_TRUE(w.state.modeAscom && w.mnuAscom->isChecked());
    EXPECT_FALSE(w.state.modeParallel || w.mnuParallel->isChecked());
    EXPECT_EQ(fp.store.writesOf("Guiding Options", "GuideMode"),
              QStringList({"Parallel", "Parallel", "ASCOM"}));
}

// A read-only settings folder and a missing port at start-up: neither hides the other, nor
// does a passing note; each lasts until its cause ends.
TEST_F(MainWindow, ConditionsStayVisibleUntilTheyEndAndPassingNotesStayReadable) {
    fp.store.set("Camera Options", "VX Modified", "1");
    fp.store.failWrites = true;
    fp.parallelPort.available = false;
    frmMain& w = open();
    w.sldExposure->setValue(3);
    auto* indicator = w.findChild<QLabel*>("lblConditions");
    ASSERT_NE(indicator, nullptr);
    EXPECT_TRUE(indicator->toolTip().contains("could not be saved"));
    EXPECT_TRUE(indicator->toolTip().contains("no parallel port at address 888"));
    EXPECT_TRUE(indicator->text().endsWith("(+1)")) << indicator->text().toStdString();
    for (int i = 1; i <= 7; ++i)
        w.note(QString("note %1").arg(i));
    EXPECT_EQ(status(), "note 7");
    EXPECT_TRUE(w.hasCondition("settings") && w.hasCondition("parport"));
    const QString tip = w.statusBar()->toolTip();
    EXPECT_TRUE(tip.contains("note 7") && tip.contains("note 3")) << tip.toStdString();
    EXPECT_FALSE(tip.contains("note 2"));

    fp.parallelPort.available = true;
    w.setDefaults();
    EXPECT_FALSE(w.hasCondition("parport"));
    fp.store.failWrites = false;
    w.sldExposure->setValue(4);
    EXPECT_FALSE(w.hasCondition("settings"));
    EXPECT_TRUE(indicator->isHidden());
}

TEST_F(MainWindow, ShutDownDisconnectsOnlyAMarkedTelescope) {
    frmMain& w = open();
    w.state.telescope = fp.telescopes.create("Orvalis.Simulator");
    fp.telescopes.scope.connected = true;
    w.close();
    EXPECT_TRUE(fp.telescopes.scope.calls.isEmpty());

    fp.chooser.answers = {"Orvalis.Simulator"};
    open();
    window->mnuChooseTelescope->trigger();
    ASSERT_TRUE(window->mnuTelescopeConnected->isChecked());
    fp.telescopes.scope.calls.clear();
    window->mnuExit->trigger();
    EXPECT_EQ(fp.telescopes.scope.calls, QStringList{"Connected=0"});
    EXPECT_FALSE(fp.telescopes.scope.connected);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindow, ShutDownSurvivesADriverThatFailsToDisconnect) {
    fp.chooser.answers = {"indi://localhost:7624/Mount"};
    frmMain& w = open();
    w.mnuChooseTelescope->trigger();
    ASSERT_TRUE(w.mnuTelescopeConnected->isChecked());
    fp.telescopes.scope.failDisconnect = true;
    w.show();
    EXPECT_NO_THROW(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(status().contains("did not disconnect"));
}

TEST_F(MainWindow, HelpAboutOpensTheAboutBoxWithoutBlocking) {
    frmMain& w = open();
    w.mnuAbout->trigger();
    auto* about = w.findChild<QDialog*>("frmAbout");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
}

// The image scale in use heads the status bar's tooltip, above the recent notes, and follows
// the settings when they are loaded again.
TEST_F(MainWindow, StatusTooltipShowsTheImageScaleInUse) {
    frmMain& w = open();
    w.note("calibrated");
    EXPECT_EQ(w.statusBar()->toolTip(),
              "Image scale: 0.80 x 0.80 arcsec per pixel\n\nRecent notes:\ncalibrated");
    fp.store.set("Guidescope Options", "FocalLength", "900");
    fp.store.set("Camera Options", "HorizontalPixelSize", "5.2");
    w.setDefaults();
    EXPECT_TRUE(w.statusBar()->toolTip().startsWith("Image scale: 1.19 x 1.28 arcsec per pixel\n"))
        << w.statusBar()->toolTip().toStdString();
}
