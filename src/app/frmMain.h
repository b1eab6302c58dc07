#pragma once

#include "app/main_state.h"
#include "app/status_notes.h"
#include "guiding/calibrator.h"
#include "guiding/guide_history.h"
#include "mount/pulse_wait.h"
#include "platform/capture/frame_slot.h"
#include "platform/platform.h"
#include "platform/reconnect/reconnector.h"

#include <QElapsedTimer>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>

class FramePicture;
class GuidePanel;
class frmCalibration;
class PortIO;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QRect;
class ServerLink;
class QPushButton;
class QSlider;
class QTimer;

// The main window: owns the run-time state, its controls and menus, start-up and shut-down.
// Handlers of each subsystem are defined in that subsystem's folder.
class frmMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the start-up sequence. `platform` must be complete and
    // outlive the window.
    explicit frmMain(const Platform& platform, QWidget* parent = nullptr);
    ~frmMain() override;

    // One guide cycle, run by the exposure loop at the end of every exposure.
    void PostLX();

    // Loads every setting from the store into the state and controls, then applies it: guide
    // output, LX port, image scale and the camera's rest lines.
    void setDefaults();

    // A one-line passing operator note in the status bar; the last few stay readable in its
    // tooltip.
    void note(const QString& text);
    // A condition that lasts until cleared: shown in a permanent status-bar indicator (its
    // tooltip lists every condition), never hidden by a passing note.
    void showCondition(const QString& key, const QString& text);
    void clearCondition(const QString& key);
    bool hasCondition(const QString& key) const;
    // Raises the "settings not saved" condition after a failed write, ends it after a good one.
    void settingsSaved(bool saved);

    // Picks the guide star an operator would (see chooseGuideStar), in `roi` when given, and
    // locks it as a click on it after Lock would. false, with a note, when there is none.
    bool selectStarAutomatically(const std::optional<QRect>& roi = std::nullopt);
    // Pausing stops the corrections (full: the exposures too); the Guide button shows it in
    // yellow while guiding. Resuming restores both.
    void setGuidingPaused(bool paused, bool full);
    // The exposure loop's length from the next exposure on, ms (> 0): whole seconds the slider
    // holds move the slider; any other length is used as it is, shown beside the slider until
    // the slider is moved.
    void setExposureMs(int ms);
    // The guiding server, or null before start-up ends.
    ServerLink* server() const { return server_.get(); }

    // Brings a new frame from the grab window into picFrame: grab, copy into the frame slot,
    // show. A failed grab shows a black frame of the last size.
    void transferFrame();

    // Calibration measures how guide pulses move the star, so that guiding can follow the
    // mount's axes. startCalibration() starts one when a star is locked, the exposure loop
    // runs and the guide output can pulse (switching guiding off); otherwise a status note
    // says what is missing and it returns false. It then runs one step per exposure.
    // quiet: a failure is a status note only, no message box (an imaging program asked).
    bool startCalibration(bool quiet = false);
    bool calibrating() const { return calibrator_.running(); }
    // Ends a running calibration at once, the star left where it is; nothing is stored.
    void stopCalibration();
    // Started, each step, completed (stored by then) and failed, as signals.
    Calibrator& calibrator() { return calibrator_; }
    // The stored calibration, if any.
    const std::optional<Calibration>& calibration() const { return calibration_; }
    // What corrections use: with "Use Calibration" ticked, the stored calibration when it was
    // made with the current image scale and guide output (else a status note says why not);
    // otherwise null. Also brings the status bar's calibration condition up to date.
    const Calibration* calibrationInUse();
    // The guide output as a calibration records it: "ASCOM <driver id>", "Parallel", "Serial".
    QString guideOutputName();

    const Platform& platform() const { return platform_; }
    // The frame last shown at the camera's own depth; null when its driver gives only pictures.
    std::shared_ptr<const RawFrame> rawFrame() const { return clipboard_.raw(); }
    // Every guide cycle run with the lock on, for the graph and for imaging programs.
    GuideHistory& guideHistory() { return guideHistory_; }
    // The parallel-port access the LX lines and the relay box share.
    PortIO& portIO();
    // The Camera menu's entry for driver `index`, created (enabled, unchecked) when missing.
    QAction* driverMenuEntry(int index);

    MainState state;

    FramePicture* picFrame = nullptr;
    // Holds picFrame, and the focus preview in its place while focusing.
    QWidget* picPlace = nullptr;
    QPushButton* cmdPreview = nullptr;
    QPushButton* cmdFocus = nullptr;
    QPushButton* cmdLock = nullptr;
    QPushButton* cmdCenter = nullptr;
    QPushButton* cmdGuide = nullptr;
    QPushButton* cmdNorth = nullptr;
    QPushButton* cmdSouth = nullptr;
    QPushButton* cmdEast = nullptr;
    QPushButton* cmdWest = nullptr;
    QLineEdit* txtSlewPulseTime = nullptr;
    QCheckBox* chkRevNS = nullptr;
    QCheckBox* chkRevEW = nullptr;
    QCheckBox* chkLogErrors = nullptr;
    QSlider* sldExposure = nullptr;
    QSlider* sldAggressiveness = nullptr;
    QLabel* lblAggressivness = nullptr;
    QLabel* lblExposure = nullptr;
    QLabel* lblLX = nullptr;
    QProgressBar* ExposureProgress = nullptr;
    QLabel* lblDeltaX = nullptr;
    QLabel* lblDeltaY = nullptr;
    QLabel* lblDx = nullptr;
    QLabel* lblDy = nullptr;
    // Units and values beside the controls above.
    QLabel* lblExposureUnit = nullptr;
    // Beside the slider: an exposure length set by an imaging program that the slider cannot
    // show ("0.5 s"); hidden otherwise.
    QLabel* lblExposureSet = nullptr;
    QLabel* lblAggressivenessValue = nullptr;
    QLabel* lblErrorUnit = nullptr;
    // The guide graph, statistics and star view beside the frame.
    GuidePanel* guidePanel = nullptr;
    // Exposure timing: ticks every 500 ms while an exposure runs; stopped at load.
    QTimer* HalfSecTimer = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuCamera = nullptr;
    QAction* mnuSource = nullptr;
    QAction* mnuFormat = nullptr;
    QAction* mnuOverlay = nullptr;
    QAction* mnuDisplay = nullptr;
    QList<QAction*> mnuDriver;
    QMenu* mnuGuiding = nullptr;
    QAction* mnuAscom = nullptr;
    QAction* mnuParallel = nullptr;
    QAction* mnuSerial = nullptr;
    QAction* mnuSelectStarAutomatically = nullptr;
    QAction* mnuCalibrate = nullptr;
    QAction* mnuUseCalibration = nullptr;
    QAction* mnuClearCalibration = nullptr;
    QAction* mnuCalibrationWindow = nullptr;
    QMenu* mnuTelescope = nullptr;
    QAction* mnuScope = nullptr;
    QAction* mnuChooseTelescope = nullptr;
    QAction* mnuTelescopeConnected = nullptr;
    QAction* mnuTelescopeProperties = nullptr;
    QAction* mnuOptions = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuAbout = nullptr;

    // The options dialog while it is loaded; shut-down unloads it.
    QPointer<QWidget> optionsDialog;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Lets tests run handlers that only timers and the guide cycle reach.
    friend struct MainWindowProbe;
    // The imaging programs' server works the window as its controls do.
    friend class ServerLink;

private:
    void buildControls();
    QWidget* buildControlColumn();
    QWidget* buildNudgeCross();
    QWidget* buildGuidePanel();
    void buildMenus();
    void buildCameraMenu();
    void buildTelescopeMenu();
    void connectHandlers();

    void Form_Load();
    void Form_Unload();
    void mnuExit_Click();
    void mnuAbout_Click();
    void mnuOptions_Click();

    void cmdPreview_Click();
    void HalfSecTimer_Timer();
    void setProgressMaximumSec(float seconds);
    float progressMaximumSec() const;
    void setProgressValueSec(float seconds);
    void cmdFocus_Click();
    void setDriverEntriesEnabled(bool enabled);
    void startLXExposure();
    void endLXExposure();
    void scheduleNextExposure();
    void pollPulses();
    bool pulsesRunning();
    void startNextExposure();
    void cancelPulseWait();

    void cmdGuide_Click();
    bool telescopeConnected();
    void measureLockedStar();
    void drawReferenceMark();
    void clearErrorLabels();
    Corrections makeCorrections();
    GuideRecord newCycleRecord(bool found);

    void chkLogErrors_Click();
    bool openErrorLog();
    void writeErrorLogLine(double raArcsec, double decArcsec);

    struct Axis;
    Axis axisOf(GuideDirection direction);
    // true when the pulse reached an output without an error.
    bool pulse(GuideDirection direction, int32_t ms);
    bool relayPulse(uint8_t bit, int32_t holdMs);
    bool telescopePulse(const Axis& axis, int32_t ms);
    void nudge(GuideDirection normal, GuideDirection reversed, bool reverse);
    void cmdNorth_Click();
    void cmdSouth_Click();
    void cmdEast_Click();
    void cmdWest_Click();

    void cmdLock_Click();
    void cmdCenter_Click();
    void picFrame_MouseUp(int button, float x, float y);
    void drawStarCircles();
    // The raw frame stars are measured on: the shown frame's, when it has the picture's size;
    // null when the driver gave only the picture, which is then measured instead.
    const RawFrame* measuredRawFrame() const;
    // The star search of the lock and the guide cycle on the shown frame (see star_search.h):
    // the centre in Globals::starX/starY as findStar leaves it.
    void searchStar(const float& x, const float& y);

    void detectCaptureHardware();
    void mnuDriver_Click(int index);
    void restoreCaptureDriver();
    void saveDriverName();
    QString savedDriverName() const;
    void reportConnectFailure(const CaptureWindow& window);
    void mnuSource_Click();
    void mnuFormat_Click();

    void loadCameraSettings();
    void loadGuidingSettings();
    void applyLXPort();
    void setRestLines(bool withAmpOff);
    void raiseParallelRestBits(bool withAmpOff);

    void mnuAscom_Click();
    void mnuParallel_Click();
    void mnuSerial_Click();
    void selectGuideOutput(QAction* item);
    void chkRevNS_Click();
    void chkRevEW_Click();
    void disconnectTelescope();
    void mnuChooseTelescope_Click();
    void mnuTelescopeConnected_Click();
    void mnuTelescopeProperties_Click();
    void restoreTelescope();
    void disconnectDriver();
    // Connects the chosen telescope (state.telescope set) as Telescope > Connected does, without
    // its message box: the mark goes on and a lost link's condition ends. The driver's error
    // text when it did not connect.
    std::optional<QString> connectChosenTelescope();
    void telescopeConnectionFailed(const QString& why);
    void telescopeFailed(const QString& what, const std::exception& error);
    void showNoTelescope();
    void showTelescope(const QString& identifier);
    void saveDriverId(const QString& identifier);

    void buildCalibrationMenu();
    void mnuCalibrate_Click();
    void mnuUseCalibration_Click();
    void mnuClearCalibration_Click();
    void mnuCalibrationWindow_Click();
    void loadCalibration();
    QString whyCalibrationCannotStart();
    void calibrationStep();
    void calibrationCompleted(const Calibration& result);
    void calibrationFailed(const QString& failure);
    std::optional<double> mountDeclination();
    void showCalibrationUse(bool used, const QString& condition);

    void sldExposure_Change();
    void sldExposure_Released();
    void sldAggressiveness_Change();
    void showAggressivenessValue(int percent);
    void openLXSerialPort();

    void saveSetting(const char* section, const char* key, const QString& text);

    void showStatusNotes();

    // Network equipment that went away comes back by itself (equipment_recovery.cpp).
    void watchEquipment();
    void pollEquipment();
    // Brings the Connected mark and the notes up to date without any attempt; never waits.
    void checkEquipment();
    // One attempt at once for whatever is gone.
    void retryLostEquipment();
    void followEquipment(const std::vector<Reconnector::Event>& events);
    void resumeExposure();
    QString mountLabel() const;
    void mnuSelectStarAutomatically_Click();

    Platform platform_;
    std::unique_ptr<ServerLink> server_;
    FrameSlot clipboard_;
    StatusNotes statusNotes_;
    QLabel* lblConditions_ = nullptr;
    std::unique_ptr<PortIO> portIO_;
    GuideHistory guideHistory_;
    bool startingUp_ = false;
    bool relayNoted_ = false;
    Calibrator calibrator_;
    std::optional<Calibration> calibration_;
    QPointer<frmCalibration> calibrationWindow_;
    bool calibrationQuiet_ = false;
    // The next exposure waits for the pulses still moving the mount; pulseTimer_ polls them.
    PulseWait pulseWait_;
    QTimer* pulseTimer_ = nullptr;
    QElapsedTimer clock_;
    qint64 exposureEndedMs_ = 0;
    // The guide record of the cycle whose next exposure has not started yet.
    bool timingPending_ = false;
    Reconnector reconnector_;
    QTimer* reconnectTimer_ = nullptr;
    // The operator (or an imaging program) connected the telescope and has not disconnected it.
    bool mountWanted_ = false;
    // The camera was switched off in its Source dialog.
    bool cameraSwitchedOff_ = false;
};
