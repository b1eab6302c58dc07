#include "app/frmMain.h"

#include "app/frmAbout.h"
#include "platform/tools/system_tools.h"
#include "server/server_link.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QStatusBar>

// Start-up, in order; nothing is exposed until the operator presses Preview.
void frmMain::Form_Load() {
    // picFrame shows one frame pixel per screen pixel, so every position in it is a frame pixel.
    startingUp_ = true;
    setDefaults();
    startingUp_ = false;
    engine_.startUp();
    mnuTelescopeProperties->setEnabled(false);
    server_ = std::make_unique<ServerLink>(engine_);
    connect(server_.get(), &ServerLink::listening, this, [this](quint16 port) {
        lblClients_ = new QLabel(statusBar());
        statusBar()->addPermanentWidget(lblClients_);
        lblClients_->setToolTip(QStringLiteral("Imaging programs connected on port %1").arg(port));
    });
    connect(server_.get(), &ServerLink::clientsChanged, this, [this](int count) {
        if (lblClients_)
            lblClients_->setText(QStringLiteral("Server: %1 clients").arg(count));
    });
    connect(server_.get(), &ServerLink::shutdownRequested, this, &QWidget::close,
            Qt::QueuedConnection);
    server_->start();
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// Shut-down: the timer, capture windows, serial port and an open log end with the process.
void frmMain::Form_Unload() {
    if (optionsDialog)
        delete optionsDialog.data();
    server_.reset();
    if (lblClients_)
        delete lblClients_;
    lblClients_ = nullptr;
    engine_.shutDown();
}

void frmMain::mnuExit_Click() {
    close();
}

// The folder is made when missing, so it opens before the first log is written.
void frmMain::mnuOpenLogFolder_Click() {
    const QString folder = engine_.guideLogFolder();
    if (!QDir().mkpath(folder) || !platform().tools->openUrl(QUrl::fromLocalFile(folder)))
        note(QStringLiteral("The log folder %1 could not be opened").arg(folder));
}

void frmMain::mnuAbout_Click() {
    auto* about = new frmAbout(*platform().messages, *platform().tools, this);
    about->show();
}
