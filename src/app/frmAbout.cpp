#include "app/frmAbout.h"

#include "app/program_icon.h"
#include "app/sys_info.h"
#include "platform/dialogs/message_boxes.h"
#include "version.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

// Wrapped texts are laid out at this width (pixels) so the window height follows the text.
constexpr int kTextWidth = 300;

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QFrame* makeLine(QWidget* parent, int index) {
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("Line1_%1").arg(index));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

QString aboutVersionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(ORVALIS_VERSION_MAJOR)
        .arg(ORVALIS_VERSION_MINOR)
        .arg(ORVALIS_VERSION_PATCH);
}

frmAbout::frmAbout(MessageBoxes& messages, SystemTools& tools, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      messages_(messages), tools_(tools) {
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About ") + QStringLiteral(ORVALIS_TITLE));
    createControls();
    layOutControls();
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
}

void frmAbout::createControls() {
    picIcon = makeLabel(this, "picIcon", QString());
    picIcon->setPixmap(programIcon());
    lblTitle = makeLabel(this, "lblTitle", QStringLiteral(ORVALIS_TITLE));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    lblTitle->setFont(titleFont);
    lblVersion = makeLabel(this, "lblVersion", aboutVersionText());
    lblDescription =
        makeLabel(this, "lblDescription",
                  QStringLiteral("Dedicated autoguiding with a long-exposure modified webcams."));
    lblDisclaimer = makeLabel(
        this, "lblDisclaimer",
        QStringLiteral("This program is provided as is, without warranty of any kind. Guiding a "
                       "telescope moves real hardware: watch your mount."));
    for (QLabel* wrapped : {lblDescription, lblDisclaimer}) {
        wrapped->setWordWrap(true);
        wrapped->setFixedWidth(kTextWidth);
    }
    for (int i = 0; i < int(Line1.size()); ++i)
        Line1[i] = makeLine(this, i);
    cmdOK = makeButton(this, "cmdOK", QStringLiteral("OK"));
    cmdOK->setDefault(true);
    cmdSysInfo = makeButton(this, "cmdSysInfo", QStringLiteral("&System Info..."));
}

void frmAbout::layOutControls() {
    auto* grid = new QGridLayout(this);
    grid->addWidget(picIcon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(Line1[0], 2, 0, 1, 2);
    grid->addWidget(lblDescription, 3, 1);
    grid->addWidget(Line1[1], 4, 0, 1, 2);
    grid->addWidget(lblDisclaimer, 5, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    grid->addLayout(buttons, 6, 0, 1, 2);
    // A fixed size: the window cannot be resized, minimised or maximised.
    grid->setSizeConstraint(QLayout::SetFixedSize);
    cmdOK->setFocus();
}

void frmAbout::StartSysInfo() {
    if (!startSystemInfo(tools_))
        messages_.show(QStringLiteral("System Information Is Unavailable At This Time"),
                       MessageIcon::None);
}
