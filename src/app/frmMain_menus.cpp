#include "app/frmMain.h"

#include "app/button_colour.h"
#include "app/frame_picture.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {
QAction* checkable(QMenu* menu, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setCheckable(true);
    return item;
}
} // namespace

void frmMain::buildMenus() {
    mnuFile = menuBar()->addMenu("File");
    mnuOpenLogFolder = mnuFile->addAction("Open Log Folder");
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction("Exit");
    buildCameraMenu();

    mnuGuiding = menuBar()->addMenu("Guiding");
    mnuAscom = checkable(mnuGuiding, "ASCOM");
    mnuAscom->setChecked(true);
    mnuParallel = checkable(mnuGuiding, "Parallel");
    mnuSerial = checkable(mnuGuiding, "Serial");
    mnuSerial->setEnabled(false);
    buildCalibrationMenu();
    buildAssistantMenu();
    mnuGuiding->addSeparator();
    mnuSelectStarAutomatically = mnuGuiding->addAction("Select Star Automatically");
    mnuGuideLaws = mnuGuiding->addAction("Guide Law Options...");
    mnuDither = mnuGuiding->addAction(QStringLiteral("Dither..."));

    buildTelescopeMenu();
    buildViewMenu();
    mnuOptions = menuBar()->addAction("Options");
    mnuHelp = menuBar()->addMenu("Help");
    mnuUserGuide = mnuHelp->addAction(QStringLiteral("User Guide"));
    mnuAbout = mnuHelp->addAction("About...");
}

void frmMain::buildCameraMenu() {
    mnuCamera = menuBar()->addMenu("Camera");
    mnuSource = mnuCamera->addAction("Source...");
    mnuFormat = mnuCamera->addAction("Format...");
    mnuOverlay = mnuCamera->addAction("Overlay");
    mnuDisplay = mnuCamera->addAction("Display");
    for (QAction* item : {mnuSource, mnuFormat, mnuOverlay, mnuDisplay})
        item->setEnabled(false);
    mnuCamera->addSeparator();
    mnuTakeDarks = mnuCamera->addAction("Take Darks...");
    mnuUseDarks = checkable(mnuCamera, "Use Darks");
    mnuUseBadPixelMap = checkable(mnuCamera, "Use Bad Pixel Map");
    mnuCamera->addSeparator();
    driverMenuEntry(0)->setText("<none>");
}

void frmMain::buildTelescopeMenu() {
    mnuTelescope = menuBar()->addMenu("Telescope");
    mnuScope = mnuTelescope->addAction("Scope <none>");
    mnuScope->setEnabled(false);
    mnuChooseTelescope = mnuTelescope->addAction("Choose Telescope...");
    mnuTelescopeConnected = checkable(mnuTelescope, "Connected");
    mnuTelescopeProperties = mnuTelescope->addAction("Properties...");
    mnuTelescope->addSeparator();
    mnuEquipment = mnuTelescope->addAction("Equipment...");
}

// Value changes run their reaction whether the operator or the program made them, and only
// when the value really changes.
void frmMain::connectHandlers() {
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuOpenLogFolder, &QAction::triggered, this, &frmMain::mnuOpenLogFolder_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(mnuOptions, &QAction::triggered, this, &frmMain::mnuOptions_Click);
    connect(mnuSource, &QAction::triggered, this, &frmMain::mnuSource_Click);
    connect(mnuFormat, &QAction::triggered, this, &frmMain::mnuFormat_Click);
    connectDarkMenu();
    connect(mnuChooseTelescope, &QAction::triggered, this, &frmMain::mnuChooseTelescope_Click);
    connect(mnuTelescopeConnected, &QAction::triggered, this,
            &frmMain::mnuTelescopeConnected_Click);
    connect(mnuTelescopeProperties, &QAction::triggered, this,
            &frmMain::mnuTelescopeProperties_Click);
    connect(mnuAscom, &QAction::triggered, this, &frmMain::mnuAscom_Click);
    connect(mnuParallel, &QAction::triggered, this, &frmMain::mnuParallel_Click);
    connect(mnuSerial, &QAction::triggered, this, &frmMain::mnuSerial_Click);
    connect(mnuSelectStarAutomatically, &QAction::triggered, this,
            &frmMain::mnuSelectStarAutomatically_Click);
    connect(mnuGuideLaws, &QAction::triggered, this, &frmMain::mnuGuideLaws_Click);
    connect(mnuEquipment, &QAction::triggered, this, &frmMain::mnuEquipment_Click);
    connect(mnuDither, &QAction::triggered, this, &frmMain::mnuDither_Click);
    connect(mnuUserGuide, &QAction::triggered, this, &frmMain::mnuUserGuide_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmMain::cmdPreview_Click);
    connect(cmdFocus, &QPushButton::clicked, this, &frmMain::cmdFocus_Click);
    connect(cmdGuide, &QPushButton::clicked, this, &frmMain::cmdGuide_Click);
    connect(cmdNorth, &QPushButton::clicked, this, &frmMain::cmdNorth_Click);
    connect(cmdSouth, &QPushButton::clicked, this, &frmMain::cmdSouth_Click);
    connect(cmdEast, &QPushButton::clicked, this, &frmMain::cmdEast_Click);
    connect(cmdWest, &QPushButton::clicked, this, &frmMain::cmdWest_Click);
    connect(chkLogErrors, &QCheckBox::toggled, this, &frmMain::chkLogErrors_Click);
    connect(cmdLock, &QPushButton::clicked, this, &frmMain::cmdLock_Click);
    connect(cmdCenter, &QPushButton::clicked, this, &frmMain::cmdCenter_Click);
    connect(picFrame, &FramePicture::mouseUp, this, &frmMain::picFrame_MouseUp);
    connect(sldExposure, &QSlider::valueChanged, this, &frmMain::sldExposure_Change);
    connect(sldExposure, &QSlider::sliderReleased, this, &frmMain::sldExposure_Released);
    connect(sldAggressiveness, &QSlider::valueChanged, this, &frmMain::sldAggressiveness_Change);
    connect(sldAggressiveness, &QSlider::sliderMoved, this, &frmMain::showAggressivenessValue);
    connect(chkRevNS, &QCheckBox::toggled, this, &frmMain::chkRevNS_Click);
    connect(chkRevEW, &QCheckBox::toggled, this, &frmMain::chkRevEW_Click);
}

// What the engine reports, shown.
void frmMain::followEngine() {
    connect(&engine_, &GuideEngine::changed, this, &frmMain::showState);
    connect(&engine_, &GuideEngine::profileSwitched, this, &frmMain::showSwitchedProfile);
    for (auto signal : {&GuideEngine::changed, &GuideEngine::calibrationChanged})
        connect(&engine_, signal, this, &frmMain::showNextStep);
    connect(&engine_, &GuideEngine::calibrationUseChanged, this, &frmMain::showNextStep);
    connect(&engine_, &GuideEngine::noted, this, &frmMain::showNote);
    connect(&engine_, &GuideEngine::conditionsChanged, this, &frmMain::showStatusNotes);
    connect(&engine_, &GuideEngine::frameShown, this, &frmMain::showFrame);
    connect(&engine_, &GuideEngine::referenceMarkShown, this, &frmMain::drawReferenceMark);
    connect(&engine_, &GuideEngine::starCircled, this, &frmMain::drawStarCircles);
    connect(&engine_, &GuideEngine::progressChanged, this, &frmMain::showProgress);
    connect(&engine_, &GuideEngine::exposureLengthShown, this,
            [this](double seconds) { lblLX->setText(QString::number(seconds)); });
    connect(&engine_, &GuideEngine::exposureSetChanged, this, &frmMain::showExposureSet);
    connect(&engine_, &GuideEngine::errorShown, this, &frmMain::showError);
    connect(&engine_, &GuideEngine::errorCleared, this, &frmMain::clearErrorLabels);
    connect(&engine_, &GuideEngine::pulsing, this, &frmMain::showPulse);
    connect(&engine_, &GuideEngine::loggingChanged, this, [this](bool on) {
        const QSignalBlocker quiet(chkLogErrors);
        chkLogErrors->setChecked(on);
    });
    connect(&engine_, &GuideEngine::calibrationUseChanged, this, &frmMain::showCalibrationUse);
    connect(&engine_, &GuideEngine::calibrationChanged, this, &frmMain::showCalibration);
    connect(&engine_, &GuideEngine::calibrationAdjusted, this, &frmMain::showCalibration);
    connect(&engine_, &GuideEngine::cameraChanged, this, &frmMain::showCameraMenu);
    connect(&engine_, &GuideEngine::telescopeChanged, this, &frmMain::showTelescopeMenu);
    // Re-checks the item too: a click on a checked item has just toggled its mark off.
    connect(&engine_, &GuideEngine::guideOutputChanged, this, [this] {
        mnuAscom->setChecked(state.modeAscom);
        mnuParallel->setChecked(state.modeParallel);
        mnuSerial->setChecked(state.modeSerial);
    });
}

// The buttons' colours: red off, green on, yellow between (armed or lost, paused).
void frmMain::showState() {
    setButtonColour(cmdPreview, state.previewing ? Colour::Green : Colour::Red);
    const bool starHeld = state.locked && !state.lockLost;
    setButtonColour(cmdLock, starHeld                            ? Colour::Green
                             : state.lockArmed || state.lockLost ? Colour::Yellow
                                                                 : Colour::Red);
    setButtonColour(cmdCenter, state.targetCentred ? Colour::Green : Colour::Red);
    setButtonColour(cmdGuide, !state.guiding ? Colour::Red
                              : state.paused ? Colour::Yellow
                                             : Colour::Green);
}
