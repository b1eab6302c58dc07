#include "app/frmEquipment.h"

#include "app/profile_bar.h"
#include "engine/guide_engine.h"
#include "platform/telescope/mount_words.h"
#include "settings/setting_keys.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
QString state(bool connected) {
    return connected ? QStringLiteral("connected") : QStringLiteral("not connected");
}

QString number(double v) {
    return QString::number(v, 'g', 6);
}
} // namespace

frmEquipment::frmEquipment(GuideEngine& engine, QWidget* parent)
    : QWidget(parent, Qt::Tool), engine_(engine) {
    setWindowTitle(QStringLiteral("Equipment"));
    auto* layout = new QVBoxLayout(this);
    profileBar = new ProfileBar(engine_, this);
    lblCamera = new QLabel(this);
    lblMount = new QLabel(this);
    lblMount->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    cmdConnectAll = new QPushButton(QStringLiteral("Connect All"), this);
    cmdDisconnectAll = new QPushButton(QStringLiteral("Disconnect All"), this);
    buttons->addWidget(cmdConnectAll);
    buttons->addWidget(cmdDisconnectAll);
    chkConnectAtStartup = new QCheckBox(QStringLiteral("Connect at start-up"), this);
    tblValues = new QTableWidget(0, 3, this);
    tblValues->setHorizontalHeaderLabels(
        {QStringLiteral("Setting"), QStringLiteral("In use"), QStringLiteral("Stated")});
    tblValues->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblValues->verticalHeader()->hide();
    tblValues->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lblScale = new QLabel(this);
    cmdUseStated = new QPushButton(QStringLiteral("Use Stated Values"), this);
    chkAlwaysUse =
        new QCheckBox(QStringLiteral("Always use the values the equipment states"), this);
    lblOutcome = new QLabel(this);
    lblOutcome->setWordWrap(true);
    layout->addWidget(profileBar);
    layout->addWidget(lblCamera);
    layout->addWidget(lblMount);
    layout->addLayout(buttons);
    layout->addWidget(chkConnectAtStartup);
    layout->addWidget(tblValues);
    layout->addWidget(lblScale);
    layout->addWidget(cmdUseStated);
    layout->addWidget(chkAlwaysUse);
    layout->addWidget(lblOutcome);

    connect(profileBar, &ProfileBar::outcome, lblOutcome, &QLabel::setText);
    connect(&engine_, &GuideEngine::profileSwitched, this, &frmEquipment::refresh);
    connect(cmdConnectAll, &QPushButton::clicked, this, &frmEquipment::connectAll);
    connect(cmdDisconnectAll, &QPushButton::clicked, this, [this] {
        emit disconnectAllClicked();
        lblOutcome->setText(QStringLiteral("Disconnected"));
        refresh();
    });
    connect(cmdUseStated, &QPushButton::clicked, this, &frmEquipment::useStated);
    connect(chkConnectAtStartup, &QCheckBox::toggled, this,
            [this](bool on) { engine_.setConnectsAtStartup(on); });
    connect(chkAlwaysUse, &QCheckBox::toggled, this, [this](bool on) {
        engine_.setUsesReportedValues(on);
        refresh();
    });
    refresh();
}

void frmEquipment::refresh() {
    profileBar->refresh();
    {
        const QSignalBlocker quietStartup(chkConnectAtStartup);
        const QSignalBlocker quietAlways(chkAlwaysUse);
        chkConnectAtStartup->setChecked(engine_.connectsAtStartup());
        chkAlwaysUse->setChecked(engine_.usesReportedValues());
    }
    const QString camera = engine_.cameraName();
    lblCamera->setText(QStringLiteral("Camera: %1, %2")
                           .arg(camera.isEmpty() ? QStringLiteral("none chosen") : camera,
                                state(engine_.cameraConnected())));
    const MainState& s = engine_.state;
    QString mount;
    if (s.modeParallel)
        mount = QStringLiteral("Guide output: relay box on the parallel port");
    else if (s.modeSerial)
        mount = QStringLiteral("Guide output: Serial (sends no corrections)");
    else if (engine_.telescopeId().isEmpty())
        mount = QStringLiteral("Guide output: Mount (INDI/Alpaca), none chosen");
    else
        mount = QStringLiteral("Guide output: Mount (INDI/Alpaca), %1, %2")
                    .arg(mountInWords(engine_.telescopeId()), state(engine_.telescopeMarked()));
    lblMount->setText(mount);
    showValues();
}

void frmEquipment::showValues() {
    const std::vector<ReportedSetting> values = engine_.reportedSettingsNow(true);
    tblValues->setRowCount(int(values.size()));
    for (int row = 0; row < int(values.size()); ++row) {
        const ReportedSetting& v = values[size_t(row)];
        const QString unit = QStringLiteral(" ") + v.unit;
        tblValues->setItem(row, 0, new QTableWidgetItem(v.label));
        tblValues->setItem(row, 1, new QTableWidgetItem(number(v.inUse) + unit));
        tblValues->setItem(row, 2, new QTableWidgetItem(number(v.reported) + unit));
    }
    const auto pixels = engine_.equipmentReport(false).camera;
    lblScale->setText(
        QStringLiteral("Image scale: %1\"/px%2")
            .arg(engine_.state.arcsecPerPixelX, 0, 'f', 2)
            .arg(pixels ? QStringLiteral(" (binning %1 x %2)").arg(pixels->binX).arg(pixels->binY)
                        : QString()));
    const bool anyDiffers =
        std::any_of(values.begin(), values.end(), [](const auto& v) { return v.differs(); });
    cmdUseStated->setEnabled(anyDiffers);
    cmdUseStated->setToolTip(values.empty() ? QStringLiteral("The equipment states no values")
                             : anyDiffers   ? QString()
                                            : QStringLiteral("The values in use are those stated"));
}

void frmEquipment::connectAll() {
    const QString why = engine_.connectEquipment();
    lblOutcome->setText(why.isEmpty() ? QStringLiteral("All connected")
                                      : QStringLiteral("Not all connected: ") + why);
    refresh();
}

void frmEquipment::useStated() {
    const int taken = engine_.takeReportedSettings(true);
    lblOutcome->setText(QStringLiteral("%1 value(s) taken from the equipment").arg(taken));
    refresh();
}
