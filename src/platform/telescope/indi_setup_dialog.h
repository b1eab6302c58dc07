#pragma once

#include "platform/telescope/indi_device_access.h"

#include <QDialog>
#include <QStringList>
#include <map>

class IndiPropertyPanel;
class QLabel;
class QTabWidget;
class QTimer;

// The settings of one INDI device: a tab per property group, a panel per property. It re-reads
// the device five times a second; changes made in a panel go to the server at once, and a
// failure to send shows below the tabs.
class IndiSetupDialog : public QDialog {
    Q_OBJECT
public:
    explicit IndiSetupDialog(IndiDeviceAccess& device, QWidget* parent = nullptr);

    // New or removed properties rebuild the tabs; new values only refresh the panels.
    void refresh();
    QTabWidget* tabs() const { return tabs_; }
    QString statusText() const;

private:
    void rebuild(const std::vector<IndiVector>& properties);
    void send(const IndiVector& changed);

    IndiDeviceAccess& device_;
    QTabWidget* tabs_;
    QLabel* status_;
    QTimer* timer_;
    std::map<QString, IndiPropertyPanel*> panels_;
    QStringList layout_; // "group/name" of every property shown, in the driver's order
    quint64 revision_ = 0;
    bool sendFailed_ = false;
};

// Shows the dialog modally over the active window; returns when it has closed.
void runIndiSetupDialog(IndiDeviceAccess& device);
