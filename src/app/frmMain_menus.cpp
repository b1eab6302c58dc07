#include "app/frmMain.h"

#include "app/frame_picture.h"

#include <QAction>
#include <QCheckBox>
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
    mnuExit = mnuFile->addAction("Exit");
    buildCameraMenu();

    mnuGuiding = menuBar()->addMenu("Guiding");
    mnuAscom = checkable(mnuGuiding, "ASCOM");
    mnuAscom->setChecked(true);
    mnuParallel = checkable(mnuGuiding, "Parallel");
    mnuSerial = checkable(mnuGuiding, "Serial");
    mnuSerial->setEnabled(false);
    buildCalibrationMenu();
    mnuGuiding->addSeparator();
    mnuSelectStarAutomatically = mnuGuiding->addAction("Select Star Automatically");

    buildTelescopeMenu();
    mnuOptions = menuBar()->addAction("Options");
    mnuHelp = menuBar()->addMenu("Help");
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
    driverMenuEntry(0)->setText("<none>");
}

void frmMain::buildTelescopeMenu() {
    mnuTelescope = menuBar()->addMenu("Telescope");
    mnuScope = mnuTelescope->addAction("Scope <none>");
    mnuScope->setEnabled(false);
    mnuChooseTelescope = mnuTelescope->addAction("Choose Telescope...");
    mnuTelescopeConnected = checkable(mnuTelescope, "Connected");
    mnuTelescopeProperties = mnuTelescope->addAction("Properties...");
}

// Value changes run their reaction whether the operator or the program made them, and only
// when the value really changes.
void frmMain::connectHandlers() {
    connect(mnuExit, &QAction::triggered, this, &frmMain::mnuExit_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmMain::mnuAbout_Click);
    connect(mnuOptions, &QAction::triggered, this, &frmMain::mnuOptions_Click);
    connect(mnuSource, &QAction::triggered, this, &frmMain::mnuSource_Click);
    connect(mnuFormat, &QAction::triggered, this, &frmMain::mnuFormat_Click);
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
    connect(cmdPreview, &QPushButton::clicked, this, &frmMain::cmdPreview_Click);
    connect(cmdFocus, &QPushButton::clicked, this, &frmMain::cmdFocus_Click);
    connect(cmdGuide, &QPushButton::clicked, this, &frmMain::cmdGuide_Click);
    connect(HalfSecTimer, &QTimer::timeout, this, &frmMain::HalfSecTimer_Timer);
    connect(pulseTimer_, &QTimer::timeout, this, &frmMain::pollPulses);
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
