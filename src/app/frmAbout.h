#pragma once

#include <QDialog>
#include <array>

class MessageBoxes;
class SystemTools;
class QFrame;
class QLabel;
class QPushButton;

// The About window: program title, version and legal notice, and a button starting the
// desktop's system-information program. It deletes itself when closed, so each opening builds
// a fresh one. The controls are public, named after their objectName, for the main window and
// the tests.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    // messages and tools are not owned and must outlive the window.
    frmAbout(MessageBoxes& messages, SystemTools& tools, QWidget* parent = nullptr);

    // Starts the system-information program; tells the operator when there is none.
    void StartSysInfo();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    std::array<QFrame*, 2> Line1{};
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

private:
    void createControls();
    void layOutControls();

    MessageBoxes& messages_;
    SystemTools& tools_;
};

// "Version <major>.<minor>.<patch>" of this build.
QString aboutVersionText();
