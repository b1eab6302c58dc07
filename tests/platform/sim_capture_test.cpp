#include "fakes/fake_store.h"
#include "platform/capture/qt_capture_widgets.h"
#include "platform/capture/sim_capture_driver.h"
#include "platform/capture/sim_format_dialog.h"
#include "platform/capture/sim_source_dialog.h"
#include "printers.h"
#include "sim/sky_simulator.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct SimCaptureTest : ::testing::Test {
    std::shared_ptr<ManualSimClock> clock = std::make_shared<ManualSimClock>();
    SkySimulator sky{SkyOptions{}, clock};
    FakeStore store;
    SimCaptureDriver driver{sky, store, &qtCaptureWidgets()};
};

// Closes the modal dialog `exec()` is about to show, once it is up, with OK.
void acceptNextDialog() {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->accept();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

} // namespace

TEST_F(SimCaptureTest, AlwaysConnectsAndGrabsFramesOfItsSize) {
    EXPECT_EQ(simulatorName(), "Orvalis Sky Simulator");
    EXPECT_EQ(simulatorVersion(), "1.0");
    const CAPDRIVERCAPS caps = driver.caps();
    EXPECT_TRUE(caps.fHasDlgVideoSource && caps.fHasDlgVideoFormat);
    EXPECT_FALSE(caps.fHasOverlay || caps.fHasDlgVideoDisplay);

    QImage frame(4, 4, QImage::Format_RGB32);
    frame.fill(Qt::red);
    const QImage before = frame;
    EXPECT_FALSE(driver.grab(frame));
    EXPECT_EQ(frame, before);
    EXPECT_FALSE(driver.errorString().isEmpty());
    EXPECT_TRUE(driver.frameSize().isEmpty());

    ASSERT_TRUE(driver.connect());
    EXPECT_TRUE(driver.isConnected());
    EXPECT_TRUE(driver.errorString().isEmpty());
    ASSERT_TRUE(driver.grab(frame));
    EXPECT_EQ(frame.size(), driver.frameSize());
    EXPECT_EQ(driver.frameSize(), QSize(640, 480));
    sky.setFrameSize({320, 240});
    ASSERT_TRUE(driver.grab(frame));
    EXPECT_EQ(frame.size(), QSize(320, 240));
    EXPECT_EQ(driver.frameSize(), QSize(320, 240));
    driver.disconnect();
    EXPECT_FALSE(driver.grab(frame));
}

TEST_F(SimCaptureTest, FormatDialogOkAppliesAndSavesTheSizeCancelKeepsIt) {
    SimFormatDialog dialog(sky, store);
    EXPECT_EQ(dialog.windowTitle(), "Simulator Format");
    ASSERT_EQ(dialog.cboSize->count(), 2);
    EXPECT_EQ(dialog.cboSize->currentText(), "640 x 480");
    dialog.cboSize->setCurrentText("320 x 240");
    dialog.reject();
    EXPECT_EQ(sky.frameSize(), QSize(640, 480));
    EXPECT_TRUE(store.writes.isEmpty());
    dialog.accept();
    EXPECT_TRUE(dialog.saved());
    driver.connect();
    EXPECT_EQ(driver.frameSize(), QSize(320, 240));
    EXPECT_EQ(store.get("Simulator Options", "Width"), "320");
    EXPECT_EQ(store.get("Simulator Options", "Height"), "240");
    EXPECT_EQ(SimFormatDialog(sky, store).cboSize->currentText(), "320 x 240");
}

TEST_F(SimCaptureTest, SourceDialogAppliesLiveSavesOnOkAndRestoresOnCancel) {
    SimSourceDialog dialog(sky, store);
    EXPECT_EQ(dialog.windowTitle(), "Simulator Source");
    ASSERT_EQ(dialog.spnOptions.size(), skyOptionFields().size());
    EXPECT_DOUBLE_EQ(dialog.spnOptions[1]->value(), 2.5); // Seeing
    dialog.spnOptions[1]->setValue(4);
    dialog.spnSeed->setValue(9);
    EXPECT_DOUBLE_EQ(sky.options().seeing, 4);
    EXPECT_EQ(sky.options().seed, 9u);
    dialog.reject();
    EXPECT_DOUBLE_EQ(sky.options().seeing, 2.5);
    EXPECT_EQ(sky.options().seed, 1u);
    EXPECT_TRUE(store.writes.isEmpty());

    SimSourceDialog again(sky, store);
    again.spnOptions[1]->setValue(3.5);
    again.accept();
    EXPECT_DOUBLE_EQ(sky.options().seeing, 3.5);
    EXPECT_EQ(store.get("Simulator Options", "Seeing"), "3.5");
    EXPECT_EQ(store.get("Simulator Options", "Image Scale"), "0.80214");
    EXPECT_EQ(store.writes.size(), 11);
}

TEST_F(SimCaptureTest, DialogsOfTheDriverReturnOnceClosedAndReportAFailedSave) {
    store.failWrites = true;
    acceptNextDialog();
    EXPECT_TRUE(driver.formatDialog(nullptr));
    EXPECT_EQ(store.writesOf("Simulator Options", "Width"), QStringList{"640"});
    EXPECT_FALSE(driver.errorString().isEmpty());
    store.failWrites = false;
    acceptNextDialog();
    EXPECT_TRUE(driver.sourceDialog(nullptr));
    EXPECT_EQ(store.get("Simulator Options", "Seed"), "1");
}

TEST_F(SimCaptureTest, WithoutWidgetsOffersNoDialogsButStillGrabs) {
    SimCaptureDriver bare{sky, store};
    const CAPDRIVERCAPS caps = bare.caps();
    EXPECT_FALSE(caps.fHasDlgVideoSource || caps.fHasDlgVideoFormat);
    ASSERT_TRUE(bare.connect());
    EXPECT_FALSE(bare.sourceDialog(nullptr));
    EXPECT_FALSE(bare.formatDialog(nullptr));
    EXPECT_TRUE(bare.errorString().isEmpty());
    EXPECT_TRUE(store.writes.isEmpty());
    QImage frame;
    ASSERT_TRUE(bare.grab(frame));
    EXPECT_EQ(frame.size(), QSize(640, 480));
}
