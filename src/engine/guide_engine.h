#pragma once

#include "darks/dark_library.h"
#include "darks/dark_run.h"
#include "darks/dark_stage.h"
#include "engine/assistant_run.h"
#include "engine/equipment_report.h"
#include "engine/main_state.h"
#include "engine/settle.h"
#include "engine/status_notes.h"
#include "guiding/calibration_pointing.h"
#include "guiding/calibrator.h"
#include "guiding/corrections.h"
#include "guiding/guide_history.h"
#include "guiding/law_corrections.h"
#include "guiding/laws/backlash_comp.h"
#include "guiding/laws/guide_law.h"
#include "measure/frame_image.h"
#include "mount/pulse_wait.h"
#include "platform/capture/capture_window.h"
#include "platform/capture/frame_slot.h"
#include "platform/platform.h"
#include "platform/reconnect/reconnector.h"
#include "platform/store/profile_store.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <random>

class GuideLogObserver;
class PortIO;
class QWidget;

// The guider: the run-time record, the exposure loop, the guide cycle, the lock and its target,
// calibration, corrections and their pulses, the guide history, pause, the camera and the mount.
// Told what to do by plain calls (each the work of one of the window's controls, with its rules),
// it tells what happened by signals; it never asks anyone anything. One engine per process: the
// star search shares its last centre through Globals.
class GuideEngine : public QObject {
    Q_OBJECT
public:
    // Exposure lengths of the loop's own choice, whole seconds, and the aggressiveness range,
    // percent.
    static constexpr int kMinExposureSec = 1;
    static constexpr int kMaxExposureSec = 20;
    static constexpr int kMinAggressiveness = 50;
    static constexpr int kMaxAggressiveness = 150;
    // The size of the picture before the first frame, pixels.
    static constexpr int kPictureWidth = 633;
    static constexpr int kPictureHeight = 480;

    // `platform` must be complete and outlive the engine.
    explicit GuideEngine(const Platform& platform, QObject* parent = nullptr);
    ~GuideEngine() override;

    MainState state;

    const Platform& platform() const { return platform_; }
    // Settings are written to `store` from now on (a store that batches writes, or back).
    void setStore(SettingsStore* store) { platform_.store = store; }
    // Dialogs a capture driver opens (its Source and Format) open over this widget.
    void setDialogParent(QWidget* parent) { dialogParent_ = parent; }
    PortIO& portIO() { return *portIO_; }
    // Where capture windows put the frames they grab.
    FrameSlot& frameSlot() { return clipboard_; }

    // Start-up after the settings are loaded: the LX lines at rest, the loop stopped with the
    // slider's exposure, the cameras listed and the saved one connected, the saved telescope
    // chosen (unconnected), lost equipment watched, the stored calibration read.
    void startUp();
    // Loads every setting from the store into the record and applies it (LX port, image scale,
    // the camera's rest lines). startingUp: the parallel data register is cleared right after.
    void loadSettings(bool startingUp);
    // Shut-down: no more exposures or attempts; a telescope this program connected is told to
    // disconnect.
    void shutDown();

    // Status: passing notes and lasting conditions (see StatusNotes).
    void note(const QString& text);
    void showCondition(const QString& key, const QString& text);
    void clearCondition(const QString& key);
    bool hasCondition(const QString& key) const { return notes_.has(key); }
    const StatusNotes& statusNotes() const { return notes_; }
    void saveSetting(const char* section, const char* key, const QString& text);
    void settingsSaved(bool saved);

    // The loop (Preview): on, off, or toggled. The exposure timer ticks every 500 ms; tick()
    // is its tick, run by the timer (tests call it directly).
    void toggleLoop();
    void tick();
    QTimer& exposureTimer() { return exposureTimer_; }
    // One guide cycle at the end of an exposure.
    void PostLX();
    // The slider's length, whole seconds in kMinExposureSec..kMaxExposureSec; saved.
    void setSliderExposure(int seconds);
    int sliderExposure() const { return sliderExposureSec_; }
    // Any length > 0 ms for the next exposures; one the slider holds moves the slider.
    void setExposureMs(int ms);
    // A length set by an imaging program that the slider cannot show; 0 when none.
    double exposureSetSec() const { return exposureSetSec_; }
    // The pulse wait before the next exposure: running, one poll of it, cancelled.
    bool waitingForPulses() const { return pulseTimer_.isActive(); }
    void pollPulses();

    // Lock: arm, release, or (armed) lock on the star nearest (x, y), frame pixels.
    void toggleLock();
    void clickFrame(int button, float x, float y);
    // Lock on the star at (x, y) as Lock and a click would; false (lock released) on empty sky.
    bool lockAt(double x, double y);
    void centerTarget();
    // The target moves to (x, y), frame pixels, the star staying locked; the guide laws are told
    // so that the jump in the error is not taken for the mount's motion.
    void moveTarget(float x, float y);
    // Picks and locks a guide star as an operator would, in `roi` when given; false with a note.
    bool selectStarAutomatically(const std::optional<QRect>& roi = std::nullopt);
    // The frame being measured and its full-depth values (null: measured on the picture).
    const FrameImage& frame() const { return frame_; }
    const RawFrame* measuredRawFrame() const;
    std::shared_ptr<const RawFrame> rawFrame() const { return clipboard_.raw(); }

    // Guide: on or off with the Guide button's rules; startGuiding without its message box.
    void toggleGuide();
    bool startGuiding();
    void stopGuiding();
    void setGuidingPaused(bool paused, bool full);
    void setAggressiveness(int percent);
    int aggressiveness() const { return aggressivenessPercent_; }
    void setReverse(bool northSouth, bool on);
    // A nudge of the pulse length typed (ms, as text) towards `direction` (before reversing).
    void nudge(GuideDirection direction, const QString& lengthText);
    // One pulse on the guide output; true when it reached an output without an error.
    // backlashMs, when given, replaces the axis's backlash setting on a reversal.
    bool pulse(GuideDirection direction, int32_t ms,
               std::optional<float> backlashMs = std::nullopt);
    // The corrections of this cycle, sent; `record` gets what the laws acted on.
    Corrections makeCorrections(GuideRecord* record = nullptr);
    CorrectionSettings correctionSettings() const;

    // Guide laws per axis (dec false: RA), chosen by name and stored; a parameter of the
    // axis's law set and stored (false: unknown or out of range). See guide_law.h.
    const GuideLaw& law(bool dec) const;
    bool chooseLaw(bool dec, const QString& name);
    bool setLawParam(bool dec, const QString& name, double value);
    // With Dec corrections on: both ways, North or South only; stored.
    DecGuideMode decGuideMode() const { return decGuideMode_; }
    void setDecGuideMode(DecGuideMode mode);
    // What a Dec reversal adds now, ms: Options' "Dec Backlash" for the standard law, else the
    // law's compensation of the measured backlash.
    double decBacklashInUse() const { return decLawBacklash().value_or(state.decBacklash); }
    GuideHistory& guideHistory() { return guideHistory_; }
    void setLogging(bool on);

    // Settling after a guide start or a dither: every guide cycle while guiding is one frame
    // of it (see SettleTracker), told by settlingStep() until settleDone().
    void beginSettle(const SettleParams& settle);
    bool settleRunning() const { return settle_.active(); }
    // Ends a running settle with a failure; its result, none when none runs.
    std::optional<SettleResult> stopSettle(const QString& reason);
    // Moves the target by a random offset (see ditherOffset; along the calibrated RA axis when
    // a calibration is in use), kept inside the frame. The move made, frame pixels.
    QPointF dither(double amount, bool raOnly);

    // Calibration (see Calibrator). quiet: a failure is a note only, no message box.
    bool startCalibration(bool quiet = false);
    bool calibrating() const { return calibrator_.running(); }
    void stopCalibration();
    QString whyCalibrationCannotStart();
    Calibrator& calibrator() { return calibrator_; }
    const std::optional<Calibration>& calibration() const { return calibration_; }
    bool usingCalibration() const { return useCalibration_; }
    void setUseCalibration(bool use);
    void clearCalibration();
    // The calibration corrections use now (see the window's "Use Calibration"), else null;
    // brings the calibration condition up to date.
    const Calibration* calibrationInUse();
    QString guideOutputName();

    // The guiding assistant: with the star locked and the loop running, corrections off, it
    // records the star for `seconds` (10..7200) of the assistant clock, then (measureBacklash)
    // measures the Dec backlash, and works out the seeing, drift, periodic error, polar
    // alignment and its advice. Guiding, a calibration, Lock and Preview end a run; a run
    // ended early gives results from the frames so far.
    static constexpr double kAssistantDefaultSec = 120;
    static constexpr double kAssistantMinSec = 10;
    static constexpr double kAssistantMaxSec = 7200;
    QString whyAssistantCannotStart();
    bool startAssistant(double seconds = kAssistantDefaultSec, bool measureBacklash = false);
    void stopAssistant();
    AssistantState assistantState() const { return assistant_.state; }
    bool assisting() const { return assistant_.state == AssistantState::Running; }
    bool assistantMeasuringBacklash() const { return assistant_.meter.running(); }
    double assistantElapsedSec() const { return assistant_.elapsedSec; }
    double assistantDurationSec() const { return assistant_.durationSec; }
    // The last run's results; kept until the next run starts.
    const std::optional<AssistantResults>& assistantResults() const { return assistant_.results; }
    // Stores the advised exposure, law of both axes and their minimum moves; false (with a
    // note) when there are no results.
    bool applyAssistantAdvice();
    // The assistant's clock, seconds (default: the engine's own).
    void setAssistantClock(std::function<double()> secondsNow);
    // The Dec backlash last measured (by a calibration or the assistant), ms.
    std::optional<double> measuredDecBacklash() const;

    // Darks (see DarkStage): the library, whether frames are corrected with them (saved), and
    // taking them. The library's folder is read at start-up.
    DarkLibrary& darkLibrary() { return darkLibrary_; }
    const DarkStage& darkStage() const { return darkStage_; }
    void setUseDarks(bool on);
    void setUseBadPixelMap(bool on);
    // The length of the exposure under way, or of the last one, seconds (0 before any).
    double exposureInUseSec() const { return exposureRunningSec_; }
    // Why darks cannot be taken now; empty when they can.
    QString whyDarksCannotStart() const;
    // Takes the darks of `plan` with the camera in use and stores them; the loop runs meanwhile
    // (started for them when it was not, and stopped after) and nothing is measured. false,
    // with a note, when they cannot be taken now.
    bool startDarks(const DarkPlan& plan);
    // Ends a run early; darks already combined stay stored.
    void stopDarks();
    bool takingDarks() const { return darkRun_.has_value(); }

    // Guide output: "ASCOM", "Parallel" or "Serial"; saved.
    void selectGuideOutput(const QString& output);

    // Camera: the drivers' captions by index (empty where none answers), connecting one.
    const QStringList& driverCaptions() const { return driverCaptions_; }
    void detectCameras();
    bool connectCamera(int index);
    // Connects driver `index` in `window` (the grab window, or focus mode's preview); the
    // driver's dialogs are then offered as it says.
    bool connectCaptureWindow(CaptureWindow* window, int index);
    bool reconnectCamera();
    void reportConnectFailure(const CaptureWindow& window);
    // The connected driver's index (-1: none) and what it offers.
    int checkedDriver() const { return checkedDriver_; }
    const CAPDRIVERCAPS& cameraCaps() const { return cameraCaps_; }
    void restoreCamera();
    bool cameraConnected() const;
    QString cameraName() const;
    // The Source dialog's aftermath: a camera switched off there stays off.
    void cameraSourceChanged();
    void cameraFormatChanged();
    void transferFrame();

    // Connects the chosen camera and guide output where they are not connected; empty when all
    // are, else what failed, in words. disconnectEquipment lets both go (the loop stopped first).
    QString connectEquipment();
    void disconnectEquipment();

    // Telescope: the chosen driver's identifier (empty: none) and whether this program has it
    // connected (the Connected mark).
    QString telescopeId() const { return telescopeId_; }
    bool telescopeMarked() const { return mountMarked_; }
    bool telescopeConnected();
    // Forgets the telescope (none chosen, saved so), then creates and connects driver
    // `identifier` (empty: none).
    void forgetTelescope();
    void chooseTelescope(const QString& identifier);
    // Connects the chosen telescope; its error text when it did not.
    std::optional<QString> connectChosenTelescope();
    // Connected's click: connects or disconnects the chosen telescope; false when there is
    // none or it did not connect.
    bool toggleTelescopeConnection();
    void disconnectDriver();
    void disconnectTelescope();
    void followTelescopeSetup();
    void restoreTelescope();
    QString mountName() const;
    QString mountLabel() const;
    std::optional<double> mountDeclination();
    // Where the guide output's mount points, read now; all unknown for other outputs or when
    // the mount cannot say.
    MountPointing mountPointing();
    // The pointing as last read for the calibration (at guide and calibration starts, and every
    // kPointingReadMs while guiding).
    const MountPointing& lastPointing() const { return pointing_; }
    // How the calibration in use is adjusted to the mount's pointing (see calibration_pointing.h).
    PointingAdjustment calibrationAdjustment() const;
    static constexpr qint64 kPointingReadMs = 5000;

    // The pixel sizes, focal length and guide rates the camera and mount state (askMount: ask
    // the mount too, which may wait for the network), beside the values in use.
    EquipmentReport equipmentReport(bool askMount);
    std::vector<ReportedSetting> reportedSettingsNow(bool askMount);
    // Stores every stated value that differs from the one in use and applies them; how many.
    int takeReportedSettings(bool askMount);
    // "Use Reported Values": stated values are taken as they come (on connecting, and as the
    // camera states them).
    bool usesReportedValues() const { return useReportedValues_; }
    void setUsesReportedValues(bool on);
    // "Connect At Startup": start-up connects the chosen mount too (the camera it always does).
    bool connectsAtStartup() const;
    void setConnectsAtStartup(bool on);
    void telescopeFailed(const QString& what, const std::exception& error);

    // The named equipment sets; one, "Orvalis", when the platform keeps no others.
    std::vector<Profile> profiles();
    Profile currentProfile();
    // Each returns "" when done, else why not. A switch needs the loop stopped and the equipment
    // disconnected; the new set's settings, camera, mount and calibration then come in as at
    // start-up. A new set starts as a copy of the settings in use and is switched to.
    QString switchProfile(int id);
    QString addProfile(const QString& name);
    QString renameProfile(int id, const QString& name);
    // The set in use is left for the first one first.
    QString removeProfile(int id);

    // Lost network equipment: looked at now, retried now.
    void checkEquipment();
    void retryLostEquipment();
    bool equipmentGone(const QString& key) const { return reconnector_.gone(key); }
    void setCameraSwitchedOff(bool off) { cameraSwitchedOff_ = off; }

    // Milliseconds since the engine started.
    qint64 elapsedMs() const { return clock_.elapsed(); }

    // The guide log's folder: the settings' (read now), else defaultGuideLogFolder(). The log
    // itself is made at start-up unless switched off; null then.
    QString guideLogFolder() const;
    const GuideLogObserver* guideLog() const { return guideLog_.get(); }
    // How the guide log describes the law of each axis (dec: the Dec axis), "<name>,
    // <parameter> = <value>, ...", and the Dec guide mode.
    QString lawLogText(bool dec) const;
    QString decGuideModeLogText() const;

signals:
    // After every operation that may have changed the record (once, at its end).
    void changed();
    // Another equipment set's settings are in use: controls showing settings read them anew.
    void profileSwitched();
    void noted(const QString& text);
    void conditionsChanged();
    // A new frame to show; the overlay follows (reference mark, star circles).
    void frameShown();
    void referenceMarkShown();
    void starCircled(float x, float y);
    // Exposure progress, seconds; the length shown beside the exposure caption.
    void progressChanged(float elapsedSec, float maximumSec);
    void exposureLengthShown(double seconds);
    void exposureSetChanged();
    // The error of the locked star this cycle, arcsec; cleared when there is none.
    void errorShown(double raArcsec, double decArcsec);
    void errorCleared();
    void pulsing(GuideDirection direction, bool on);
    void loggingChanged(bool on);
    void calibrationUseChanged(bool used);
    void cameraChanged();
    void guideOutputChanged();
    void telescopeChanged();
    // The end of a guide cycle, after its record; then its settle frame, if any; then
    // cycleFinished().
    void cycleEnded();
    void settlingStep(const SettlingStep& step);
    void settleDone(const SettleResult& result);
    void cycleFinished();
    // A calibration was stored, read or cleared.
    void calibrationChanged();
    // The calibration in use was adjusted anew to where the mount points (text: what changed).
    void calibrationAdjusted(const QString& text);
    // Guiding was switched on or off; a pause began or ended (see setGuidingPaused).
    void guidingChanged(bool on);
    void pausedChanged(bool paused);
    // A dither moved the target by `offset` to `newLock`, frame pixels.
    void dithered(QPointF offset, QPointF newLock);
    // A settle began (see beginSettle).
    void settlingStarted();
    // A guiding assistant run recorded a frame or made a backlash step; it ended (results,
    // if any, readable).
    void assistantProgress(double elapsedSec, double durationSec);
    void assistantDone();
    // Darks taken so far of those a run wants, and the exposure they are taken at.
    void darksProgress(int taken, int wanted, double exposureSec);
    // A dark run ended, all taken or not; `text` says what was stored.
    void darksDone(bool completed, const QString& text);

private:
    friend class EngineChange;
    void loadLaws();
    // `axes`: this cycle's error along the axes the corrections use (see lawAxes).
    Corrections lawCorrections(const Corrections& standard, const LawAxes& axes,
                               const CorrectionSettings& s, GuideRecord* record);
    void lawsSent(const Corrections& sent, const LawAxes& axes);
    void lawsTargetMoved(QPointF offsetPx);
    void lawsRestart();
    void lawsReset();
    void startLawGuiding();
    // The backlash a Dec pulse of the law adds on a reversal: none for the standard law (it
    // keeps the Options setting), else the measured backlash when compensation is on.
    std::optional<float> decLawBacklash() const;
    struct Axis;

    void beginChange() { ++changeDepth_; }
    void endChange();

    void setProgressMaximumSec(float seconds);
    void startLXExposure();
    void endLXExposure();
    void setRestLines(bool withAmpOff);
    void raiseParallelRestBits(bool withAmpOff);
    void openLXSerialPort();
    void applyLXPort();
    void loadCameraSettings();
    // The stored camera connected and the stored mount chosen, as at start-up.
    void restoreEquipment();
    void releaseTelescope();
    // Why the equipment set cannot change now, or "".
    QString profileSwitchRefusal();
    void loadGuidingSettings();
    void stopLoop();
    void startLoop();
    void scheduleNextExposure();
    bool pulsesRunning();
    void startNextExposure();
    void cancelPulseWait();
    void resumeExposure();

    void setGuiding(bool on);
    void startGuideLog();
    void advanceSettle();
    void searchStar(const float& x, const float& y);
    void measureFrame();
    void measureLockedStar();
    GuideRecord newCycleRecord(bool found);
    void releaseLock();
    void writeErrorLogLine(double raArcsec, double decArcsec);

    Axis axisOf(GuideDirection direction);
    bool relayPulse(uint8_t bit, int32_t holdMs);
    bool telescopePulse(const Axis& axis, int32_t ms);

    void loadCalibration();
    void readPointing(bool force);
    void applyImageScale();
    void followCameraPixels();
    void tellAdjustment(const QString& text);
    void calibrationStep();
    void calibrationCompleted(Calibration result);
    void calibrationFailed(const QString& failure);
    void showCalibrationUse(bool used, const QString& condition);
    QString storeCalibrationBacklash();

    std::optional<PulseRequest> assistantFrame(const GuideRecord& record);
    std::optional<PulseRequest> endRecording(const GuideRecord& record, double now);
    std::optional<PulseRequest> backlashStep(const GuideRecord& record, double now);
    std::optional<BacklashPlan> backlashPlan(QString& why);
    QString whyNoPulses();
    void finishAssistant();
    void storeMeasuredBacklash(double ms);

    void loadDarkSettings();
    void correctFrame();
    void takeDarkFrame();
    void finishDarks(bool completed, const QString& text);

    void saveDriverName();
    QString savedDriverName() const;
    void saveDriverId(const QString& identifier);
    void dropTelescope();
    void telescopeConnectionFailed(const QString& why);
    void setMountMarked(bool marked);

    void watchEquipment();
    void followEquipment(const std::vector<Reconnector::Event>& events);

    Platform platform_;
    QWidget* dialogParent_ = nullptr;
    std::unique_ptr<PortIO> portIO_;
    StatusNotes notes_;
    FrameSlot clipboard_;
    FrameImage frame_;
    GuideHistory guideHistory_;
    Calibrator calibrator_;
    std::optional<Calibration> calibration_;
    // The calibration as adjusted to pointing_, and the adjustment last told to the operator.
    Calibration adjusted_;
    QString adjustmentTold_;
    MountPointing pointing_;
    std::optional<CameraPixels> cameraPixels_; // as the camera last stated them
    bool useReportedValues_ = false;           // "Use Reported Values", read with the settings
    qint64 pointingReadMs_ = -1;               // clock_ time of the last read; -1: none yet
    bool flipKeepsDec_ = false;
    bool useCalibration_ = false;
    bool calibrationQuiet_ = false;
    AssistantRun assistant_;
    std::function<double()> assistantClock_;
    QStringList driverCaptions_{QStringLiteral("<none>")};
    int checkedDriver_ = -1;
    CAPDRIVERCAPS cameraCaps_;
    QString telescopeId_;
    // This program connected the telescope (the Connected mark).
    bool mountMarked_ = false;
    // The operator (or an imaging program) connected the telescope and has not disconnected it.
    bool mountWanted_ = false;
    // The camera was switched off in its Source dialog.
    bool cameraSwitchedOff_ = false;
    bool relayNoted_ = false;
    int sliderExposureSec_ = kMinExposureSec;
    int aggressivenessPercent_ = 100;
    double exposureSetSec_ = 0;
    // The running exposure's length as progress counts it: whole half seconds.
    float progressMaxSec_ = 0;
    QTimer exposureTimer_;
    // The next exposure waits for the pulses still moving the mount; pulseTimer_ polls them.
    PulseWait pulseWait_;
    QTimer pulseTimer_;
    QElapsedTimer clock_;
    qint64 exposureEndedMs_ = 0;
    // The guide record of the cycle whose next exposure has not started yet.
    bool timingPending_ = false;
    SettleTracker settle_;
    std::mt19937 random_{std::random_device{}()};
    std::unique_ptr<GuideLaw> laws_[2]{makeGuideLaw(kStandardLaw), makeGuideLaw(kStandardLaw)};
    DecGuideMode decGuideMode_ = DecGuideMode::Auto;
    BacklashCompensator decBacklash_;
    bool backlashCompensation_ = true;
    Reconnector reconnector_;
    QTimer reconnectTimer_;
    int changeDepth_ = 0;
    DarkLibrary darkLibrary_;
    DarkStage darkStage_{darkLibrary_};
    std::optional<DarkRun> darkRun_;
    QStringList darksStored_;
    bool darksStartedLoop_ = false;
    float darksRestoreExposureSec_ = 0;
    QString darkNote_;
    double exposureRunningSec_ = 0;
    // Last, so it goes first: it follows the members above.
    std::unique_ptr<GuideLogObserver> guideLog_;
};

// Marks one operation of the engine: changed() goes out when the outermost one ends.
class EngineChange {
public:
    explicit EngineChange(GuideEngine& engine) : engine_(engine) { engine_.beginChange(); }
    ~EngineChange() { engine_.endChange(); }
    EngineChange(const EngineChange&) = delete;
    EngineChange& operator=(const EngineChange&) = delete;

private:
    GuideEngine& engine_;
};
