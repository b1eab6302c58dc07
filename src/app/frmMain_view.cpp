#include "app/dialog_place.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "app/stretch_window.h"
#include "settings/setting_keys.h"
#include "view/view_settings.h"

#include <QAction>
#include <QActionGroup>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace {
// How long the hint about a click beside the frame stays, ms.
constexpr int kHintMs = 4000;
} // namespace

void frmMain::buildViewMenu() {
    mnuView = menuBar()->addMenu(QStringLiteral("View"));
    auto* zoom = new QActionGroup(mnuView);
    // The wheel's zooms are none of the three.
    zoom->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    mnuZoomFit = zoom->addAction(QStringLiteral("Zoom to Fit"));
    mnuZoom100 = zoom->addAction(QStringLiteral("Zoom 100%"));
    mnuZoom200 = zoom->addAction(QStringLiteral("Zoom 200%"));
    for (QAction* item : {mnuZoomFit, mnuZoom100, mnuZoom200}) {
        item->setCheckable(true);
        mnuView->addAction(item);
    }
    mnuZoomFit->setChecked(true);
    mnuView->addSeparator();
    mnuStretch = mnuView->addAction(QStringLiteral("Display Stretch..."));
    buildNightMenu();
    connect(mnuZoomFit, &QAction::triggered, this, [this] { zoomChosen(0); });
    connect(mnuZoom100, &QAction::triggered, this, [this] { zoomChosen(1); });
    connect(mnuZoom200, &QAction::triggered, this, [this] { zoomChosen(2); });
    connect(mnuStretch, &QAction::triggered, this, &frmMain::mnuStretch_Click);
    connect(picFrame, &FramePicture::viewChanged, this, &frmMain::viewZoomed);
    connect(picFrame, &FramePicture::clickOutside, this, [this] {
        statusBar()->showMessage(QStringLiteral("Click on the frame: the space beside it is not "
                                                "part of it"),
                                 kHintMs);
    });
    connect(picFrame, &FramePicture::stretched, this, [this] {
        if (stretchWindow_)
            stretchWindow_->showFrame(picFrame->histogram(), picFrame->levels());
    });
}

void frmMain::restoreView() {
    const ViewChoice choice = readViewChoice(*platform().store);
    savedZoom_ = zoomText(choice.zoom);
    picFrame->setStretch(choice.stretch);
    if (choice.zoom)
        picFrame->setZoom(*choice.zoom);
    if (choice.night) {
        mnuNightMode->setChecked(true);
        setNightMode(true);
    }
}

// scale 0: Fit.
void frmMain::zoomChosen(double scale) {
    if (scale > 0)
        picFrame->setZoom(scale);
    else
        picFrame->zoomToFit();
}

// Marks the zoom in use and keeps it in the settings when the operator changed it.
void frmMain::viewZoomed() {
    const ViewMapping& map = picFrame->mapping();
    const std::optional<double> zoom =
        map.fitting() ? std::nullopt : std::optional<double>(map.scale());
    mnuZoomFit->setChecked(map.fitting());
    mnuZoom100->setChecked(!map.fitting() && map.scale() == 1.0);
    mnuZoom200->setChecked(!map.fitting() && map.scale() == 2.0);
    if (const QString text = zoomText(zoom); text != savedZoom_) {
        savedZoom_ = text;
        engine_.saveSetting(keys::ViewZoom.section, keys::ViewZoom.key, text);
    }
}

void frmMain::mnuStretch_Click() {
    if (!stretchWindow_) {
        stretchWindow_ = new StretchWindow(picFrame->stretch(), this);
        stretchWindow_->setAttribute(Qt::WA_DeleteOnClose);
        connect(stretchWindow_, &StretchWindow::changed, this, &frmMain::stretchChosen);
        stretchWindow_->showFrame(picFrame->histogram(), picFrame->levels());
        placeDialog(*stretchWindow_, *this);
    }
    stretchWindow_->show();
    stretchWindow_->raise();
}

void frmMain::stretchChosen() {
    const StretchChoice choice = stretchWindow_->choice();
    picFrame->setStretch(choice);
    saveStretch(choice, [this](const SettingKey& key, const QString& text) {
        engine_.saveSetting(key.section, key.key, text);
    });
}

// The window opens at its natural size where the screen's free area has room for it, else
// as large as that area allows; its frame stays inside the area. `natural`: from the natural
// size, else from the present one.
void frmMain::fitToScreen(bool natural) {
    const QScreen* shownOn = screen();
    if (!shownOn || isMaximized() || isFullScreen())
        return;
    const QRect room = shownOn->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    const QSize wanted = natural ? sizeHint() : size();
    resize(wanted.boundedTo(room.size() - frame).expandedTo(minimumSizeHint()));
    QRect outer = frameGeometry();
    outer.moveRight(std::min(outer.right(), room.right()));
    outer.moveBottom(std::min(outer.bottom(), room.bottom()));
    outer.moveLeft(std::max(outer.left(), room.left()));
    outer.moveTop(std::max(outer.top(), room.top()));
    if (outer.topLeft() != frameGeometry().topLeft())
        move(outer.topLeft());
}

void frmMain::fitWithFrame() {
    frameFitted_ = frameGeometry().size() != size();
    fitToScreen(false);
}

// The window manager adds the frame when the window is first shown: fitted again with it.
void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        QTimer::singleShot(0, this, [this] { fitWithFrame(); });
    }
}

// An X window manager frames the window only after a round trip through the server, later
// than the first pass of the event loop; the window then moves into its frame.
void frmMain::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (shownOnce_ && !frameFitted_ && frameGeometry().size() != size())
        fitWithFrame();
}
