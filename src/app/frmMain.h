#pragma once

#include "engine/guide_engine.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>

class ConditionsPanel;
class DitherWindow;
class frmEquipment;
class FramePicture;
class GuidePanel;
class PicturePane;
class frmAssistant;
class frmDarks;
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
class QSplitter;
class StretchWindow;
class QTimer;

// The main window: owns the guider (its engine, with the run-time state), its controls and
// menus, start-up and shut-down. Handlers translate clicks into engine calls; slots show what the
// engine reports. Handlers of each subsystem are in frmMain_<subsystem>.cpp beside this file.
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
    // The controls that show settings show what the engine loaded.
    void showLoadedSettings();
    void showSwitchedProfile();

    // A one-line passing operator note in the status bar; the last few stay readable in its
    // tooltip.
    void note(const QString& text) { engine_.note(text); }
    // A condition that lasts until cleared: shown in a permanent status-bar indicator (its
    // tooltip lists every condition), never hidden by a passing note.
    void showCondition(const QString& key, const QString& text) {
        engine_.showCondition(key, text);
    }
    void clearCondition(const QString& key) { engine_.clearCondition(key); }
    bool hasCondition(const QString& key) const { return engine_.hasCondition(key); }
    // Raises the "settings not saved" condition after a failed write, ends it after a good one.
    void settingsSaved(bool saved) { engine_.settingsSaved(saved); }
    // The guider this window shows and works.
    GuideEngine& engine() { return engine_; }

    // Picks the guide star an operator would (see chooseGuideStar), in `roi` when given, and
    // locks it as a click on it after Lock would. false, with a note, when there is none.
    bool selectStarAutomatically(const std::optional<QRect>& roi = std::nullopt) {
        return engine_.selectStarAutomatically(roi);
    }
    // Pausing stops the corrections (full: the exposures too); the Guide button shows it in
    // yellow while guiding. Resuming restores both.
    void setGuidingPaused(bool paused, bool full) { engine_.setGuidingPaused(paused, full); }
    // The exposure loop's length from the next exposure on, ms (> 0): whole seconds the slider
    // holds move the slider; any other length is used as it is, shown beside the slider until
    // the slider is moved.
    void setExposureMs(int ms) { engine_.setExposureMs(ms); }
    // The guiding server, or null before start-up ends.
    ServerLink* server() const { return server_.get(); }

    // Brings a new frame from the grab window into picFrame: grab, copy into the frame slot,
    // show. A failed grab shows a black frame of the last size.
    void transferFrame() { engine_.transferFrame(); }

    // Calibration measures how guide pulses move the star, so that guiding can follow the
    // mount's axes. startCalibration() starts one when a star is locked, the exposure loop
    // runs and the guide output can pulse (switching guiding off); otherwise a status note
    // says what is missing and it returns false. It then runs one step per exposure.
    // quiet: a failure is a status note only, no message box (an imaging program asked).
    bool startCalibration(bool quiet = false) { return engine_.startCalibration(quiet); }
    bool calibrating() const { return engine_.calibrating(); }
    // Ends a running calibration at once, the star left where it is; nothing is stored.
    void stopCalibration() { engine_.stopCalibration(); }
    // Started, each step, completed (stored by then) and failed, as signals.
    Calibrator& calibrator() { return engine_.calibrator(); }
    // The stored calibration, if any.
    const std::optional<Calibration>& calibration() const { return engine_.calibration(); }
    // What corrections use: with "Use Calibration" ticked, the stored calibration when it was
    // made with the current image scale and guide output (else a status note says why not);
    // otherwise null. Also brings the status bar's calibration condition up to date.
    const Calibration* calibrationInUse() { return engine_.calibrationInUse(); }
    // The guide output as a calibration records it: "ASCOM <driver id>", "Parallel", "Serial".
    QString guideOutputName() { return engine_.guideOutputName(); }

    const Platform& platform() const { return engine_.platform(); }
    // The frame last shown at the camera's own depth; null when its driver gives only pictures.
    std::shared_ptr<const RawFrame> rawFrame() const { return engine_.rawFrame(); }
    // Every guide cycle run with the lock on, for the graph and for imaging programs.
    GuideHistory& guideHistory() { return engine_.guideHistory(); }
    // The parallel-port access the LX lines and the relay box share.
    PortIO& portIO() { return engine_.portIO(); }
    // The Camera menu's entry for driver `index`, created (enabled, unchecked) when missing.
    QAction* driverMenuEntry(int index);

private:
    GuideEngine engine_;

public:
    // The run-time record: the engine's.
    MainState& state;

    FramePicture* picFrame = nullptr;
    // Holds picFrame, and the focus preview in its place while focusing.
    QWidget* picPlace = nullptr;
    // picPlace as what it is: it also shows the next-step hint over the picture.
    PicturePane* picturePane = nullptr;
    // Under the controls: every lasting condition in full, with a link to act where there is one.
    ConditionsPanel* conditionsPanel = nullptr;
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
    // Exposure timing: ticks every 500 ms while an exposure runs (the engine's timer).
    QTimer* HalfSecTimer = nullptr;
    // The guide graph, statistics and star view beside the frame.
    GuidePanel* guidePanel = nullptr;

    QMenu* mnuFile = nullptr;
    QAction* mnuOpenLogFolder = nullptr;
    QAction* mnuExit = nullptr;
    QMenu* mnuCamera = nullptr;
    QAction* mnuSource = nullptr;
    QAction* mnuFormat = nullptr;
    QAction* mnuOverlay = nullptr;
    QAction* mnuDisplay = nullptr;
    QAction* mnuTakeDarks = nullptr;
    QAction* mnuUseDarks = nullptr;
    QAction* mnuUseBadPixelMap = nullptr;
    QList<QAction*> mnuDriver;
    QMenu* mnuGuiding = nullptr;
    QAction* mnuAscom = nullptr;
    QAction* mnuParallel = nullptr;
    QAction* mnuSerial = nullptr;
    QAction* mnuSelectStarAutomatically = nullptr;
    QAction* mnuGuideLaws = nullptr;
    QAction* mnuDither = nullptr;
    QAction* mnuCalibrate = nullptr;
    QAction* mnuUseCalibration = nullptr;
    QAction* mnuClearCalibration = nullptr;
    QAction* mnuCalibrationWindow = nullptr;
    QAction* mnuGuidingAssistant = nullptr;
    QMenu* mnuTelescope = nullptr;
    QAction* mnuScope = nullptr;
    QAction* mnuChooseTelescope = nullptr;
    QAction* mnuTelescopeConnected = nullptr;
    QAction* mnuTelescopeProperties = nullptr;
    QAction* mnuOptions = nullptr;
    // The picture's zoom and display stretch.
    QMenu* mnuView = nullptr;
    QAction* mnuZoomFit = nullptr;
    QAction* mnuZoom100 = nullptr;
    QAction* mnuZoom200 = nullptr;
    QAction* mnuStretch = nullptr;
    // Dark red on black for the whole program, kept in "View Options" "Night Mode".
    QAction* mnuNightMode = nullptr;
    // The picture's place and the guide panel, side by side.
    QSplitter* splitView = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuUserGuide = nullptr;
    QAction* mnuAbout = nullptr;

    // The options dialog while it is loaded; shut-down unloads it.
    QPointer<QWidget> optionsDialog;
    QPointer<QWidget> guideLawsDialog;
    QPointer<DitherWindow> ditherWindow;
    // Telescope > Equipment...: camera, guide output and mount in one place.
    QAction* mnuEquipment = nullptr;
    QPointer<frmEquipment> equipmentWindow;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // Lets tests run handlers that only timers and the guide cycle reach.
    friend struct MainWindowProbe;

private:
    void buildControls();
    QWidget* buildControlColumn();
    QWidget* buildNudgeCross();
    QWidget* buildGuidePanel();
    void buildMenus();
    void buildCameraMenu();
    void buildTelescopeMenu();
    void buildCalibrationMenu();
    void buildAssistantMenu();
    void buildViewMenu();
    void restoreView();
    void fitToScreen(bool natural);
    void fitWithFrame();
    void zoomChosen(double scale);
    void viewZoomed();
    void mnuStretch_Click();
    void stretchChosen();
    void buildNightMenu();
    void mnuNightMode_Click();
    void setNightMode(bool on);
    void showNextStep();
    void conditionActed(const QString& action);
    void mnuDither_Click();
    void mnuEquipment_Click();
    void disconnectAll();
    QString ditherNow(double amount, bool raOnly);
    void mnuUserGuide_Click();
    void connectHandlers();
    void followEngine();

    void Form_Load();
    void Form_Unload();
    void mnuExit_Click();
    void mnuOpenLogFolder_Click();
    void mnuAbout_Click();
    void mnuOptions_Click();

    void cmdPreview_Click();
    void HalfSecTimer_Timer();
    void showProgress(float elapsedSec, float maximumSec);
    void cmdFocus_Click();
    void setDriverEntriesEnabled(bool enabled);
    void sldExposure_Change();
    void sldExposure_Released();
    void showExposureSet();

    void cmdGuide_Click();
    void sldAggressiveness_Change();
    void showAggressivenessValue(int percent);
    void chkLogErrors_Click();
    void cmdNorth_Click();
    void cmdSouth_Click();
    void cmdEast_Click();
    void cmdWest_Click();
    void showPulse(GuideDirection direction, bool on);
    QPushButton* nudgeButton(GuideDirection direction) const;

    void cmdLock_Click();
    void cmdCenter_Click();
    void picFrame_MouseUp(int button, float x, float y);
    void mnuSelectStarAutomatically_Click();
    void mnuGuideLaws_Click();
    void showFrame();
    void drawReferenceMark();
    void drawStarCircles(float x, float y);
    void showError(double raArcsec, double decArcsec);
    void clearErrorLabels();

    void mnuDriver_Click(int index);
    void showCameraMenu();
    void mnuSource_Click();
    void mnuFormat_Click();
    void mnuTakeDarks_Click();
    void connectDarkMenu();

    void mnuAscom_Click();
    void mnuParallel_Click();
    void mnuSerial_Click();
    void chkRevNS_Click();
    void chkRevEW_Click();
    void mnuChooseTelescope_Click();
    void mnuTelescopeConnected_Click();
    void mnuTelescopeProperties_Click();
    void showTelescopeMenu();

    void mnuCalibrate_Click();
    void mnuUseCalibration_Click();
    void mnuClearCalibration_Click();
    void mnuCalibrationWindow_Click();
    void showCalibrationUse(bool used);
    void showCalibration();
    void mnuGuidingAssistant_Click();

    // Colours and check marks from the engine's record.
    void showState();
    void showNote(const QString& text);
    void showStatusNotes();

    std::unique_ptr<ServerLink> server_;
    QLabel* lblConditions_ = nullptr;
    QLabel* lblClients_ = nullptr;
    QPointer<frmCalibration> calibrationWindow_;
    QPointer<frmAssistant> assistantWindow_;
    QPointer<StretchWindow> stretchWindow_;
    QPointer<frmDarks> darksWindow_;
    bool startingUp_ = false;
    bool shownOnce_ = false;
    // Fitted again with the frame the window manager added.
    bool frameFitted_ = false;
    // The zoom as last stored ("Fit" or percent).
    QString savedZoom_ = QStringLiteral("Fit");
};
