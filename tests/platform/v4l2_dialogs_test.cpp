#include "fakes/fake_v4l2_io.h"
#include "platform/capture/qt_capture_widgets.h"
#include "platform/capture/v4l2_capture_driver.h"
#include "platform/capture/v4l2_format_dialog.h"
#include "platform/capture/v4l2_source_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct V4l2DialogTest : ::testing::Test {
    std::shared_ptr<FakeV4l2Io> io = std::make_shared<FakeV4l2Io>();
    FakeCamera& cam = io->cameras["/d/video0"];
    V4l2CaptureDriver driver{"/d/video0", io, &qtCaptureWidgets()};

    void SetUp() override {
        cam.controls = {FakeCamera::makeControl(V4L2_CID_GAIN, "Gain", 0, 100, 20),
                        FakeCamera::makeControl(V4L2_CID_AUTOGAIN, "Auto Gain", 0, 1, 1,
                                                V4L2_CTRL_TYPE_BOOLEAN),
                        FakeCamera::makeControl(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line", 0, 2,
                                                1, V4L2_CTRL_TYPE_MENU)};
        cam.controls[0].query.step = 5;
        cam.controls[0].query.flags = V4L2_CTRL_FLAG_INACTIVE;
        cam.controls[2].menu = {"Off", "50 Hz", "60 Hz"};
        cam.onSet = [](FakeCamera& c, uint32_t id, int value) {
            if (id == V4L2_CID_AUTOGAIN)
                c.control(V4L2_CID_GAIN)->query.flags = value ? V4L2_CTRL_FLAG_INACTIVE : 0;
        };
        cam.formats[0].sizes = {{640, 480}, {320, 240}, {1280, 720}};
        cam.formats[0].intervals = {{1, 5}, {1, 30}, {1, 15}};
        cam.interval = {1, 15};
        ASSERT_TRUE(driver.connect());
        io->calls.clear();
    }
    // Closes the next modal dialog as soon as it shows, noting its title.
    static void closeNextDialog(QString& title) {
        QTimer::singleShot(0, [&title] {
            QWidget* dialog = QApplication::activeModalWidget();
            title = dialog ? dialog->windowTitle() : QString();
            if (dialog)
                dialog->close();
        });
    }
};

} // namespace

TEST_F(V4l2DialogTest, SourceDialogShowsOneEditorPerControl) {
    V4l2SourceDialog dialog(driver.device());
    EXPECT_EQ(dialog.windowTitle(), "Video Source");
    auto* gain = qobject_cast<QSlider*>(dialog.editor(V4L2_CID_GAIN));
    auto* autoGain = qobject_cast<QCheckBox*>(dialog.editor(V4L2_CID_AUTOGAIN));
    auto* light = qobject_cast<QComboBox*>(dialog.editor(V4L2_CID_POWER_LINE_FREQUENCY));
    ASSERT_TRUE(gain && autoGain && light);
    EXPECT_EQ(gain->maximum(), 20); // steps of 5
    EXPECT_EQ(gain->value(), 4);
    EXPECT_EQ(dialog.valueLabel(V4L2_CID_GAIN)->text(), "20");
    EXPECT_FALSE(gain->isEnabled());
    EXPECT_TRUE(autoGain->isChecked());
    EXPECT_EQ(light->currentText(), "50 Hz");
    EXPECT_EQ(light->count(), 3);
    EXPECT_TRUE(io->calls.isEmpty());
}

TEST_F(V4l2DialogTest, ChangesApplyLiveAndEnableWhatTheyUnlock) {
    V4l2SourceDialog dialog(driver.device());
    auto* gain = qobject_cast<QSlider*>(dialog.editor(V4L2_CID_GAIN));
    qobject_cast<QCheckBox*>(dialog.editor(V4L2_CID_AUTOGAIN))->click();
    EXPECT_EQ(io->calls, QStringList{QStringLiteral("S_CTRL %1 0").arg(V4L2_CID_AUTOGAIN)});
    EXPECT_TRUE(gain->isEnabled());
    gain->setValue(7);
    EXPECT_EQ(io->calls.last(), QStringLiteral("S_CTRL %1 35").arg(V4L2_CID_GAIN));
    EXPECT_EQ(dialog.valueLabel(V4L2_CID_GAIN)->text(), "35");
    auto* light = qobject_cast<QComboBox*>(dialog.editor(V4L2_CID_POWER_LINE_FREQUENCY));
    light->setCurrentIndex(2);
    emit light->activated(2);
    EXPECT_EQ(cam.control(V4L2_CID_POWER_LINE_FREQUENCY)->value, 2);
    EXPECT_TRUE(dialog.status()->text().isEmpty());

    // A refused value shows why and the editor goes back to what the camera holds.
    cam.control(V4L2_CID_GAIN)->setError = -EIO;
    gain->setValue(10);
    EXPECT_EQ(dialog.status()->text(), "Cannot set Gain: Input/output error");
    EXPECT_EQ(gain->value(), 7);

    cam.control(V4L2_CID_GAIN)->setError = 0;
    dialog.defaultsButton()->click();
    EXPECT_EQ(cam.control(V4L2_CID_AUTOGAIN)->value, 1);
    EXPECT_EQ(cam.control(V4L2_CID_POWER_LINE_FREQUENCY)->value, 1);
    EXPECT_EQ(light->currentText(), "50 Hz");
    EXPECT_FALSE(gain->isEnabled());
    EXPECT_TRUE(dialog.status()->text().isEmpty());
}

TEST_F(V4l2DialogTest, FormatDialogOffersSizesAndRatesAndAppliesOnOk) {
    V4l2FormatDialog dialog(driver.device());
    EXPECT_EQ(dialog.windowTitle(), "Video Format");
    QStringList sizes, rates;
    for (int i = 0; i < dialog.sizes()->count(); ++i)
        sizes.append(dialog.sizes()->itemText(i));
    for (int i = 0; i < dialog.rates()->count(); ++i)
        rates.append(dialog.rates()->itemText(i));
    EXPECT_EQ(sizes, (QStringList{"320 x 240", "640 x 480", "1280 x 720"}));
    EXPECT_EQ(rates, (QStringList{"30 fps", "15 fps", "5 fps"}));
    EXPECT_EQ(dialog.sizes()->currentText(), "640 x 480");
    EXPECT_EQ(dialog.rates()->currentText(), "15 fps");

    dialog.sizes()->setCurrentIndex(2);
    dialog.rates()->setCurrentIndex(2);
    dialog.okButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(driver.frameSize(), QSize(1280, 720));
    EXPECT_EQ(cam.interval, V4l2Interval({1, 5}));
}

TEST_F(V4l2DialogTest, FormatDialogKeepsTheFormatOnCancelAndShowsRefusals) {
    V4l2FormatDialog dialog(driver.device());
    dialog.sizes()->setCurrentIndex(0);
    dialog.reject();
    EXPECT_EQ(driver.frameSize(), QSize(640, 480));
    EXPECT_TRUE(io->calls.filter("S_FMT").isEmpty());

    cam.refuseSize = QSize(320, 240);
    dialog.okButton()->click();
    EXPECT_TRUE(dialog.status()->text().startsWith("Camera /d/video0 cannot deliver 320x240"));
    EXPECT_EQ(driver.frameSize(), QSize(640, 480));
    EXPECT_TRUE(driver.isConnected());
}

TEST_F(V4l2DialogTest, DriverOffersBothDialogsWhileConnected) {
    const CAPDRIVERCAPS caps = driver.caps();
    EXPECT_TRUE(caps.fHasDlgVideoSource && caps.fHasDlgVideoFormat);
    EXPECT_FALSE(caps.fHasOverlay || caps.fHasDlgVideoDisplay);
    EXPECT_EQ(driver.frameSize(), QSize(640, 480));
    QString title;
    closeNextDialog(title);
    EXPECT_TRUE(driver.sourceDialog(nullptr));
    EXPECT_EQ(title, "Video Source");
    closeNextDialog(title);
    EXPECT_TRUE(driver.formatDialog(nullptr));
    EXPECT_EQ(title, "Video Format");

    cam.produce(8);
    QImage frame;
    EXPECT_TRUE(driver.grab(frame));
    driver.disconnect();
    EXPECT_FALSE(driver.isConnected());
    EXPECT_EQ(driver.frameSize(), QSize());
    EXPECT_FALSE(driver.sourceDialog(nullptr));
    EXPECT_FALSE(driver.formatDialog(nullptr));
    EXPECT_EQ(driver.errorString(), "Camera /d/video0 is not open");
    EXPECT_FALSE(driver.grab(frame));

    cam.openError = -EBUSY;
    EXPECT_FALSE(driver.connect());
    EXPECT_EQ(driver.errorString(), "Cannot open camera /d/video0: Device or resource busy");

    // Without widgets the driver offers no dialogs.
    cam.openError = 0;
    V4l2CaptureDriver bare{"/d/video0", io};
    ASSERT_TRUE(bare.connect());
    EXPECT_FALSE(bare.caps().fHasDlgVideoSource || bare.caps().fHasDlgVideoFormat);
    EXPECT_FALSE(bare.sourceDialog(nullptr) || bare.formatDialog(nullptr));
    EXPECT_EQ(bare.frameSize(), QSize(640, 480));
}
