#include "settings/frmOptions.h"

#include "app/button_colour.h"
#include "settings/options_rules.h"
#include "settings/setting_keys.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <initializer_list>

// The controls as they stand before the first load: the load replaces their contents and,
// where a value changes, runs their reactions.

namespace {

// The port list shows this many entries and scrolls through the rest.
constexpr int kPortListRows = 5;

template <class W> W* named(W* widget, const char* name, const QString& tip = QString()) {
    widget->setObjectName(QLatin1String(name));
    if (!tip.isEmpty())
        widget->setToolTip(tip);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QString& tip = {}) {
    return named(new QLabel(text, parent), name, tip);
}

QLineEdit* textBox(QWidget* parent, const char* name, const QString& text,
                   const QString& tip = {}) {
    return named(new QLineEdit(text, parent), name, tip);
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption,
                    const QString& tip = {}) {
    return named(new QCheckBox(caption, parent), name, tip);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QString& tip) {
    auto* b = named(new QPushButton(caption, parent), name, tip);
    b->setAutoDefault(false);
    return b;
}

// A labelled text box of a grid: label in `column`, box right of it.
struct TextField {
    QLabel** label;
    QLineEdit** box;
    const char* labelName;
    const char* boxName;
    const char* caption;
    const char* text;
    const char* tip;
    int row;
    int column;
};

// A label above its box, both at the top of the column.
QVBoxLayout* stacked(QWidget* top, QWidget* bottom) {
    auto* column = new QVBoxLayout;
    column->addWidget(top);
    column->addWidget(bottom);
    column->addStretch();
    return column;
}

} // namespace

QGroupBox* frmOptions::buildBitGroup(QWidget* parent, const char* name, const char* buttonName,
                                     const QString& caption, BitButtons& buttons) {
    auto* frame = named(new QGroupBox(caption, parent), name);
    auto* row = new QHBoxLayout(frame);
    auto* exclusive = new QButtonGroup(frame);
    for (int bit = 7; bit >= 0; --bit) {
        auto* b = new QRadioButton(QStringLiteral("D%1").arg(bit), frame);
        b->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(buttonName)).arg(bit));
        setButtonColour(b, Colour::Red);
        exclusive->addButton(b, bit);
        row->addWidget(b);
        buttons[static_cast<size_t>(bit)] = b;
    }
    return frame;
}

QWidget* frmOptions::buildCameraTab() {
    auto* tab = new QWidget(this);
    auto* v = new QVBoxLayout(tab);
    const QString pixelTip = QStringLiteral("Size of pixel to determine image scale");
    lblHrzPixelSize = label(tab, "lblHrzPixelSize", "Horizontal Pixel Size (microns)", pixelTip);
    txtHrzPixelSize = textBox(tab, "txtHrzPixelSize", "5.6", pixelTip);
    lblVrtPixelSize = label(tab, "lblVrtPixelSize", "Vertical Pixel Size (microns)", pixelTip);
    txtVrtPixelSize = textBox(tab, "txtVrtPixelSize", "5.6", pixelTip);
    auto* sizes = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{lblHrzPixelSize, txtHrzPixelSize,
                                                      lblVrtPixelSize, txtVrtPixelSize})
        sizes->addWidget(w);
    v->addLayout(sizes);

    chkVXModified = checkBox(tab, "chkVXModified", "VX Modified");
    chkAdvancedMod = checkBox(tab, "chkAdvancedMod", "Advanced");
    chkAmpOff = checkBox(tab, "chkAmpOff", "AmpOff");
    auto* mods = new QHBoxLayout;
    for (QCheckBox* c : {chkVXModified, chkAdvancedMod, chkAmpOff})
        mods->addWidget(c);
    chkAdvancedMod->setEnabled(false);
    chkAmpOff->setEnabled(false);
    v->addLayout(mods);
    v->addWidget(buildCameraPortRow(tab));

    fraLXFrameA = buildBitGroup(tab, "fraLXFrameA", "optLXA", "LX Frame A", optLXA);
    fraLXFrameB = buildBitGroup(tab, "fraLXFrameB", "optLXB", "LX Frame B", optLXB);
    fraLXAmpOff = buildBitGroup(tab, "fraLXAmpOff", "optAmpOff", "AmpOff", optAmpOff);
    for (QGroupBox* frame : {fraLXFrameA, fraLXFrameB, fraLXAmpOff}) {
        frame->setEnabled(false);
        v->addWidget(frame);
    }
    for (BitButtons* group : {&optLXA, &optLXB, &optAmpOff})
        for (QRadioButton* b : *group)
            b->setEnabled(false);
    return tab;
}

// The port list at the left, the serial line logic in the middle, the post-exposure wait at
// the right. RTS and DTR are children of the frame here; every rule that changes the frame's
// enabled state sets theirs too, so they never depend on it.
QWidget* frmOptions::buildCameraPortRow(QWidget* tab) {
    auto* row = new QWidget(tab);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    lblLXPort = label(row, "lblLXPort", "LX Control Port");
    LXPortList = named(new QListWidget(row), "LXPortList");
    LXPortList->setSelectionMode(QAbstractItemView::SingleSelection);
    LXPortList->setFixedHeight(LXPortList->fontMetrics().height() * (kPortListRows + 1));
    h->addLayout(stacked(lblLXPort, LXPortList));

    frameSerialControl = named(new QGroupBox("Serial Control Logic", row), "frameSerialControl");
    RTScontrol = named(new QRadioButton("RTS", frameSerialControl), "RTScontrol");
    DTRcontrol = named(new QRadioButton("DTR", frameSerialControl), "DTRcontrol");
    chkSerialActive = checkBox(frameSerialControl, "chkSerialActive", "Active");
    auto* logic = new QGridLayout(frameSerialControl);
    logic->addWidget(RTScontrol, 0, 0);
    logic->addWidget(DTRcontrol, 1, 0);
    logic->addWidget(chkSerialActive, 0, 1, 2, 1);
    RTScontrol->setChecked(true);
    RTScontrol->setEnabled(false);
    DTRcontrol->setEnabled(false);
    chkSerialActive->setChecked(true);
    h->addWidget(frameSerialControl);

    lblPostLXTime = label(row, "lblPostLXTime", "Post LX Time (ms)");
    txtPostLXTime = textBox(row, "txtPostLXTime", "20");
    h->addLayout(stacked(lblPostLXTime, txtPostLXTime));
    for (QWidget* w :
         std::initializer_list<QWidget*>{lblLXPort, LXPortList, lblPostLXTime, txtPostLXTime})
        w->setEnabled(false);
    return row;
}

QWidget* frmOptions::buildGuideScopeTab() {
    auto* tab = new QWidget(this);
    auto* v = new QVBoxLayout(tab);
    const QString tip = QStringLiteral("Focal Length of Guidescope to determine image scale");
    lblGuideFocalLength = label(tab, "lblGuideFocalLength", "Focal Length (mm)", tip);
    txtGuideFocalLength = textBox(tab, "txtGuideFocalLength", "1440", tip);
    auto* row = new QHBoxLayout;
    row->addWidget(lblGuideFocalLength);
    row->addWidget(txtGuideFocalLength);
    v->addLayout(row);
    lblImageScale = label(tab, "lblImageScale", QString(),
                          QStringLiteral("From the pixel sizes on the Camera tab and this focal "
                                         "length; guiding and calibration use it"));
    v->addWidget(lblImageScale);
    v->addStretch();
    return tab;
}

QWidget* frmOptions::buildGuidingTab() {
    auto* tab = new QWidget(this);
    auto* g = new QGridLayout(tab);
    const char* rateTip = "The guding rate of the mount/scope";
    // Radius, the rates and the error limits down the left; the backlashes at the right, level
    // with the rates.
    const TextField fields[] = {
        {&lblRadius, &txtRadius, "lblRadius", "txtRadius", "Radius (pixels)", "24",
         "Sets the area searched for a star centroid (in pixels)", 0, 0},
        {&lblRAGuideRate, &txtRAGuideRate, "lblRAGuideRate", "txtRAGuideRate",
         "RA Guide Rate (ArcSecs/Second)", "15", rateTip, 1, 0},
        {&lblDecGuideRate, &txtDecGuideRate, "lblDecGuideRate", "txtDecGuideRate",
         "Dec Guide Rate (ArcSecs/Second)", "15", rateTip, 2, 0},
        {&lblMaxError, &txtMaxError, "lblMaxError", "txtMaxError", "Maximum Error (ArcSecs)",
         "10.0", "Don't Make corrections if the error is greater than this (ArcSecs)", 3, 0},
        {&lblMinError, &txtMinError, "lblMinError", "txtMinError", "Minimum Error (ArcSecs)", "2.5",
         "Don't make guiding corrections if error is less than this (ArcSecs)", 4, 0},
        {&lblRABacklash, &txtRABacklash, "lblRABacklash", "txtRABacklash", "RA Backlash (ms)", "0",
         "RA Backlash in milliseconds", 1, 2},
        {&lblDecBacklash, &txtDecBacklash, "lblDecBacklash", "txtDecBacklash", "Dec Backlash (ms)",
         "0", "Dec Backlash in milliseconds", 2, 2},
    };
    for (const TextField& f : fields) {
        *f.label = label(tab, f.labelName, f.caption, f.tip);
        *f.box = textBox(tab, f.boxName, f.text, f.tip);
        g->addWidget(*f.label, f.row, f.column);
        g->addWidget(*f.box, f.row, f.column + 1);
    }
    chkDecCorrect = checkBox(tab, "chkDecCorrect", "Declination Corrections",
                             "Check to enable guding corrections in declination as well as RA");
    chkAutostarPulseGuide = checkBox(tab, "chkAutostarPulseGuide", "Use Autostar Pulseguide",
                                     "Check to make use of the new Autostar guiding commands");
    g->addWidget(chkDecCorrect, 5, 0, 1, 2);
    g->addWidget(chkAutostarPulseGuide, 5, 2, 1, 2);
    return tab;
}

QWidget* frmOptions::buildRelayBoxTab() {
    auto* tab = new QWidget(this);
    auto* v = new QVBoxLayout(tab);
    cmdClrParPort = button(tab, "cmdClrParPort", "Clear // Port",
                           "Set the parallel port bits for the relay guider to zeros");
    v->addWidget(cmdClrParPort, 0, Qt::AlignLeft);
    fraPPNorth = buildBitGroup(tab, "fraPPNorth", "optPPNorth", "North (Dec +)", optPPNorth);
    fraPPSouth = buildBitGroup(tab, "fraPPSouth", "optPPSouth", "South (Dec -)", optPPSouth);
    fraPPEast = buildBitGroup(tab, "fraPPEast", "optPPEast", "East (RA +)", optPPEast);
    fraPPWest = buildBitGroup(tab, "fraPPWest", "optPPWest", "West (RA -)", optPPWest);
    for (QGroupBox* frame : {fraPPNorth, fraPPSouth, fraPPEast, fraPPWest})
        v->addWidget(frame);
    return tab;
}

QWidget* frmOptions::buildLoggingTab() {
    auto* tab = new QWidget(this);
    auto* v = new QVBoxLayout(tab);
    const QString tip = QStringLiteral("Enter the filename for logging");
    lblLogFilename = label(tab, "lblLogFilename", "Log Filename", tip);
    txtLogFilename = textBox(tab, "txtLogFilename", defaultLogFilename(), tip);
    auto* row = new QHBoxLayout;
    row->addWidget(lblLogFilename);
    row->addWidget(txtLogFilename, 1);
    v->addLayout(row);
    chkAppendLog =
        checkBox(tab, "chkAppendLog", "Append Log Entries",
                 "Check to append to the existing file, otherwise the file will be overwritten");
    v->addWidget(chkAppendLog);
    v->addStretch();
    return tab;
}

// OK, Apply and Cancel below the tabs, left to right. Enter presses OK.
QHBoxLayout* frmOptions::buildButtonRow() {
    cmdOptionsOK = button(this, "cmdOptionsOK", "OK", "Apply changes and exit options");
    cmdOptionsApply = button(this, "cmdOptionsApply", "Apply", "Apply changes");
    cmdOptionsCancel =
        button(this, "cmdOptionsCancel", "Cancel", "Revert changes and exit options");
    cmdOptionsOK->setDefault(true);
    cmdOptionsApply->setEnabled(false);
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : {cmdOptionsOK, cmdOptionsApply, cmdOptionsCancel})
        row->addWidget(b);
    return row;
}

void frmOptions::fillPortList() {
    for (int index = 0; index < kLXPortEntries; ++index) {
        auto* entry = new QListWidgetItem(lxPortCaption(index), LXPortList);
        entry->setToolTip(lxPortDevice(index));
    }
    // Marks the current entry as set, so giving the list the focus does not pick the first
    // entry by itself.
    LXPortList->setCurrentIndex(QModelIndex());
}
