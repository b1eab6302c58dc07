#pragma once

#include <QWidget>

class GuideEngine;
class ProfileBar;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

// One place for the equipment: the equipment set in use, the camera, the guide output and the
// mount with their states, connecting and disconnecting all of them, connecting at start-up,
// and the pixel sizes, focal length and guide rates the camera and mount state beside those in
// use, taken on one click or always. Non-modal; it reads the equipment anew on refresh().
class frmEquipment : public QWidget {
    Q_OBJECT
public:
    frmEquipment(GuideEngine& engine, QWidget* parent);
    // Reads states and stated values again (the mount may be asked over the network).
    void refresh();

    ProfileBar* profileBar = nullptr;
    QLabel* lblCamera = nullptr;
    QLabel* lblMount = nullptr;
    QLabel* lblScale = nullptr;
    QLabel* lblOutcome = nullptr;
    QPushButton* cmdConnectAll = nullptr;
    QPushButton* cmdDisconnectAll = nullptr;
    QPushButton* cmdUseStated = nullptr;
    QCheckBox* chkConnectAtStartup = nullptr;
    QCheckBox* chkAlwaysUse = nullptr;
    QTableWidget* tblValues = nullptr;

signals:
    // Disconnect All asks the window to stop the loop and guiding first.
    void disconnectAllClicked();

private:
    void connectAll();
    void useStated();
    void showValues();

    GuideEngine& engine_;
};
