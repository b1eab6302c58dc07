#include "app/frmMain.h"

#include "app/button_colour.h"
#include "app/conditions_panel.h"
#include "app/control_scroll.h"
#include "app/frame_picture.h"
#include "app/picture_pane.h"
#include "app/view_splitter.h"
#include "graph/guide_panel.h"
#include "server/server_link.h"
#include "settings/options_rules.h"
#include "version.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QPushButton* colouredButton(const QString& caption, const QString& tip, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(tip);
    button->setFocusPolicy(Qt::TabFocus);
    setButtonColour(button, Colour::Red);
    return button;
}

QSlider* slider(int min, int max, int value, const QString& tip, QWidget* parent) {
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setRange(min, max);
    s->setValue(value);
    s->setToolTip(tip);
    s->setTickPosition(QSlider::TicksBelow);
    // Like a value typed in, a drag counts as one change when it ends.
    s->setTracking(false);
    return s;
}
} // namespace

frmMain::frmMain(const Platform& platform, QWidget* parent)
    : QMainWindow(parent), engine_(platform), state(engine_.state) {
    engine_.setDialogParent(this);
    setWindowTitle(QStringLiteral(ORVALIS_TITLE " " ORVALIS_VERSION));
    buildControls();
    buildMenus();
    connectHandlers();
    followEngine();
    Form_Load();
    restoreView();
    fitToScreen(true);
}

// The guide panel follows the history, a member: it goes first, not with the other children
// after the members.
frmMain::~frmMain() {
    if (mnuNightMode->isChecked())
        setNightMode(false);
    delete guidePanel;
}

void frmMain::showNote(const QString& text) {
    statusBar()->showMessage(text);
    showStatusNotes();
}

// The indicator shows the newest condition (and how many more there are); its tooltip lists
// them all. The status bar's tooltip keeps the recent passing notes.
void frmMain::showStatusNotes() {
    if (!lblConditions_)
        return;
    const StatusNotes& notes = engine_.statusNotes();
    const QStringList conditions = notes.conditions();
    lblConditions_->setVisible(!conditions.isEmpty());
    if (!conditions.isEmpty()) {
        QString text = QStringLiteral("\u26A0 ") + conditions.last();
        if (conditions.size() > 1)
            text += QStringLiteral(" (+%1)").arg(conditions.size() - 1);
        lblConditions_->setText(text);
        lblConditions_->setToolTip(conditions.join(QLatin1Char('\n')));
    }
    conditionsPanel->showConditions(notes.conditionKeys(), conditions);
    // The image scale in use heads the tooltip: it decides every arcsecond shown.
    QString tip = imageScaleCaption(state.arcsecPerPixelX, state.arcsecPerPixelY);
    if (const QStringList recent = notes.recentNotes(); !recent.isEmpty())
        tip += QStringLiteral("\n\nRecent notes:\n") + recent.join(QLatin1Char('\n'));
    statusBar()->setToolTip(tip);
}

// The control column at the left (scrolled when the window is too short for it); beside it
// the picture and the guide panel share the rest of the window, split where the operator drags.
void frmMain::buildControls() {
    auto* central = new QWidget(this);
    auto* outer = new QVBoxLayout(central);
    auto* layout = new QHBoxLayout;
    outer->addLayout(layout, 1);
    layout->addWidget(new ControlScroll(buildControlColumn(), central));
    splitView = new ViewSplitter(Qt::Horizontal, central);
    splitView->setChildrenCollapsible(false);
    // The handle takes the place of the gap the layout leaves between its items.
    const int gap = layout->spacing();
    splitView->setHandleWidth(gap >= 0 ? gap : 6);
    // The picture's place: focus mode shows its live preview here while the picture is hidden,
    // and the place keeps its size so no other control moves.
    auto* pane = new PicturePane(splitView);
    picPlace = pane;
    picturePane = pane;
    picFrame = pane->picture;
    QSizePolicy keep = picFrame->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    picFrame->setSizePolicy(keep);
    picFrame->setImage(engine_.frame().image());
    splitView->addWidget(picPlace);
    splitView->addWidget(buildGuidePanel());
    splitView->setStretchFactor(0, 1);
    splitView->setStretchFactor(1, 1);
    layout->addWidget(splitView, 1);
    conditionsPanel = new ConditionsPanel(central);
    outer->addWidget(conditionsPanel);
    connect(conditionsPanel, &ConditionsPanel::acted, this, &frmMain::conditionActed);
    setCentralWidget(central);
    lblConditions_ = new QLabel(this);
    lblConditions_->setObjectName(QStringLiteral("lblConditions"));
    lblConditions_->setStyleSheet(QStringLiteral("QLabel { color: #b00000; }"));
    lblConditions_->setMaximumWidth(420);
    lblConditions_->hide();
    statusBar()->addPermanentWidget(lblConditions_);
    HalfSecTimer = &engine_.exposureTimer();
}

QWidget* frmMain::buildControlColumn() {
    auto* column = new QWidget(this);
    auto* v = new QVBoxLayout(column);
    v->setContentsMargins(0, 0, 0, 0);
    cmdPreview = colouredButton("Preview", "Preview image from Camera", column);
    cmdFocus = colouredButton("Focus", "Preview at 5fps for focusing", column);
    cmdLock = colouredButton("Lock", "Lock on Star", column);
    cmdCenter = colouredButton("Center", "Set Target to Center of Frame", column);
    cmdGuide = colouredButton("Guide", "Guide the Scope", column);
    for (QWidget* w : {cmdPreview, cmdFocus, cmdLock, cmdCenter, cmdGuide})
        v->addWidget(w);

    auto* exposureRow = new QHBoxLayout;
    lblExposure = new QLabel("Exposure:->", column);
    lblLX = new QLabel("0", column);
    lblExposureUnit = new QLabel("s", column);
    exposureRow->addWidget(lblExposure);
    exposureRow->addWidget(lblLX);
    exposureRow->addWidget(lblExposureUnit);
    exposureRow->addStretch(1);
    v->addLayout(exposureRow);
    ExposureProgress = new QProgressBar(column);
    ExposureProgress->setTextVisible(false);
    ExposureProgress->setRange(0, 1);
    ExposureProgress->setValue(0);
    v->addWidget(ExposureProgress);
    sldExposure = slider(GuideEngine::kMinExposureSec, GuideEngine::kMaxExposureSec, 1,
                         "Set Exposure/Guiding Interval in Seconds", column);
    lblExposureSet = new QLabel(column);
    lblExposureSet->setToolTip(QStringLiteral("Exposure set by an imaging program; moving the "
                                              "slider goes back to the slider's value"));
    lblExposureSet->hide();
    auto* sliderRow = new QHBoxLayout;
    sliderRow->addWidget(sldExposure, 1);
    sliderRow->addWidget(lblExposureSet);
    v->addLayout(sliderRow);
    auto* aggressivenessRow = new QHBoxLayout;
    lblAggressivness = new QLabel("Aggressivness", column);
    lblAggressivenessValue = new QLabel(column);
    aggressivenessRow->addWidget(lblAggressivness);
    aggressivenessRow->addStretch(1);
    aggressivenessRow->addWidget(lblAggressivenessValue);
    v->addLayout(aggressivenessRow);
    sldAggressiveness = slider(
        GuideEngine::kMinAggressiveness, GuideEngine::kMaxAggressiveness, 100,
        "Adjust the aggressiveness of the move from 50-150% of the calcualated value", column);
    showAggressivenessValue(sldAggressiveness->value());
    v->addWidget(sldAggressiveness);
    v->addWidget(buildNudgeCross());

    chkRevNS = new QCheckBox("Reverse N<->S", column);
    chkRevEW = new QCheckBox("Reverse E<->W", column);
    chkLogErrors = new QCheckBox("Log Errors", column);
    for (QWidget* w : {chkRevNS, chkRevEW, chkLogErrors})
        v->addWidget(w);

    auto* errors = new QGridLayout;
    lblDeltaX = new QLabel("dX:", column);
    lblDeltaY = new QLabel("dY:", column);
    lblDx = new QLabel(column);
    lblDy = new QLabel(column);
    lblDx->setToolTip("RA Error in ArcSecs");
    lblDy->setToolTip("Dec Error in ArcSecs");
    errors->addWidget(lblDeltaX, 0, 0);
    errors->addWidget(lblDx, 0, 1);
    errors->addWidget(lblDeltaY, 1, 0);
    errors->addWidget(lblDy, 1, 1);
    lblErrorUnit = new QLabel("arcsec", column);
    errors->addWidget(lblErrorUnit, 0, 2, 2, 1, Qt::AlignVCenter);
    errors->setColumnStretch(1, 1);
    v->addLayout(errors);
    column->setFixedWidth(132);
    return column;
}

// North above the pulse length, South below, West to its left, East to its right.
QWidget* frmMain::buildNudgeCross() {
    auto* cross = new QWidget(this);
    auto* grid = new QGridLayout(cross);
    grid->setContentsMargins(0, 4, 0, 4);
    cmdNorth = colouredButton("N", "Nudge North", cross);
    cmdSouth = colouredButton("S", "Nudge South", cross);
    cmdEast = colouredButton("E", "Nudge East", cross);
    cmdWest = colouredButton("W", "Nudge West", cross);
    txtSlewPulseTime = new QLineEdit("500", cross);
    txtSlewPulseTime->setToolTip("Pulse Duration in Milliseconds");
    txtSlewPulseTime->setAlignment(Qt::AlignCenter);
    for (QWidget* w : {static_cast<QWidget*>(cmdNorth), static_cast<QWidget*>(cmdSouth),
                       static_cast<QWidget*>(cmdEast), static_cast<QWidget*>(cmdWest),
                       static_cast<QWidget*>(txtSlewPulseTime)})
        w->setFixedWidth(40);
    grid->addWidget(cmdNorth, 0, 1);
    grid->addWidget(cmdWest, 1, 0);
    grid->addWidget(txtSlewPulseTime, 1, 1);
    grid->addWidget(cmdEast, 1, 2);
    grid->addWidget(cmdSouth, 2, 1);
    return cross;
}
